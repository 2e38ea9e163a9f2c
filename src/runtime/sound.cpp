#include "runtime/sound.h"

#include <SDL.h>

#include <algorithm>
#include <climits>
#include <cstdint>
#include <vector>

#include "runtime/clock.h"

namespace {

constexpr int kRate = 44100;
constexpr int16_t kAmplitude = 6000;
constexpr int64_t kChunkFrames = kRate / 10;  // 100 ms of sound queued at a time

struct Audio {
  bool tried = false;
  SDL_AudioDeviceID device = 0;
  Uint32 buffer_ms = 0;  // what the device holds beyond the queue
};

Audio g_audio;

// Opens the sound device on first use; 0 when there is none.
SDL_AudioDeviceID audio_device() {
  if (g_audio.tried) return g_audio.device;
  g_audio.tried = true;
  // The program handles its own signals; SDL must not take SIGINT/SIGTERM.
  SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
  if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) return 0;
  SDL_AudioSpec want{};
  want.freq = kRate;
  want.format = AUDIO_S16SYS;
  want.channels = 1;
  want.samples = 512;
  SDL_AudioSpec have{};
  g_audio.device = SDL_OpenAudioDevice(nullptr, 0, &want, &have, 0);
  g_audio.buffer_ms = static_cast<Uint32>(have.samples) * 1000u / kRate + 1;
  return g_audio.device;
}

// Frames [first, first + count) of a square wave; silence for a frequency
// the sample rate cannot carry.
std::vector<int16_t> square_wave(int freq, int64_t first, int64_t count) {
  std::vector<int16_t> samples(static_cast<size_t>(count), 0);
  if (freq <= 0 || freq > kRate / 2) return samples;
  for (int64_t i = 0; i < count; ++i) {
    const bool high = ((first + i) * 2 * freq / kRate) % 2 == 0;
    samples[static_cast<size_t>(i)] = high ? kAmplitude : static_cast<int16_t>(-kAmplitude);
  }
  return samples;
}

}  // namespace

void play_tone_ms(int freq, int ms) {
  if (ms <= 0 || clock_is_virtual()) return;
  const SDL_AudioDeviceID dev = audio_device();
  if (dev == 0) return;
  const int64_t total = int64_t{kRate} * ms / 1000;
  const Uint64 deadline = SDL_GetTicks64() + static_cast<Uint64>(ms) + 1000;
  SDL_ClearQueuedAudio(dev);
  SDL_PauseAudioDevice(dev, 0);
  int64_t queued = 0;
  constexpr Uint32 kChunkBytes = kChunkFrames * sizeof(int16_t);
  while (SDL_GetTicks64() < deadline) {
    // Keeps at most two chunks waiting, so a long tone needs little memory.
    if (queued < total && SDL_GetQueuedAudioSize(dev) < 2 * kChunkBytes) {
      const int64_t count = std::min(kChunkFrames, total - queued);
      const std::vector<int16_t> chunk = square_wave(freq, queued, count);
      if (SDL_QueueAudio(dev, chunk.data(), static_cast<Uint32>(count) * sizeof(int16_t)) != 0) {
        break;
      }
      queued += count;
      continue;
    }
    if (queued >= total && SDL_GetQueuedAudioSize(dev) == 0) {
      SDL_Delay(g_audio.buffer_ms);
      break;
    }
    SDL_Delay(5);
  }
  SDL_PauseAudioDevice(dev, 1);
  SDL_ClearQueuedAudio(dev);
}

void PlayTone(int freq, int ticks) {
  const int64_t ms = int64_t{ticks} * 50;
  play_tone_ms(freq, static_cast<int>(std::min<int64_t>(ms, INT_MAX)));
}

void BEEP() {
  play_tone_ms(1000, 250);
}
