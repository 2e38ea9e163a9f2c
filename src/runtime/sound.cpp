// Tones through SDL's audio. The sound device is opened for each tone and
// closed after it, with SDL's audio subsystem, so that no audio thread runs
// (and wakes the processor) between tones. A tone takes its full duration
// whether or not it could be heard: with no sound device, the time passes in
// silence.
#include "runtime/sound.h"

#include <SDL.h>
#include <dlfcn.h>

#include <algorithm>
#include <chrono>
#include <climits>
#include <cstdint>
#include <thread>
#include <vector>

#include "runtime/clock.h"

namespace {

constexpr int kRate = 44100;
constexpr int16_t kAmplitude = 6000;
constexpr int64_t kChunkFrames = kRate / 10;  // 100 ms of sound queued at a time

struct Audio {
  SDL_AudioDeviceID device = 0;
  Uint32 buffer_ms = 0;  // what the device holds beyond the queue
};

void quiet_alsa(const char*, int, const char*, int, const char*, ...) {}

// ALSA, which SDL loads for sound on Linux, prints its errors on standard
// error, many lines of them on a machine without a sound card. Giving it a
// handler that drops them keeps the terminal to the program's own messages.
// The library stays loaded from here on, so the handler holds for every
// later load of it by SDL.
void silence_alsa() {
  static const bool done = [] {
    void* alsa = dlopen("libasound.so.2", RTLD_NOW | RTLD_LOCAL);
    using Handler = void (*)(const char*, int, const char*, int, const char*, ...);
    auto set_handler =
        alsa ? reinterpret_cast<int (*)(Handler)>(dlsym(alsa, "snd_lib_error_set_handler"))
             : nullptr;
    if (set_handler) set_handler(quiet_alsa);
    return true;
  }();
  (void)done;
}

// Opens the sound device; a device of 0 when there is none (and SDL's audio
// is then stopped again).
Audio open_audio() {
  silence_alsa();
  // The program handles its own signals; SDL must not take SIGINT/SIGTERM.
  SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
  if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) return {};
  SDL_AudioSpec want{};
  want.freq = kRate;
  want.format = AUDIO_S16SYS;
  want.channels = 1;
  want.samples = 512;
  SDL_AudioSpec have{};
  Audio a;
  a.device = SDL_OpenAudioDevice(nullptr, 0, &want, &have, 0);
  if (a.device == 0) {
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
    return {};
  }
  a.buffer_ms = static_cast<Uint32>(have.samples) * 1000u / kRate + 1;
  return a;
}

void close_audio(const Audio& a) {
  SDL_CloseAudioDevice(a.device);
  SDL_QuitSubSystem(SDL_INIT_AUDIO);
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

// Queues the tone and waits until the device has played it.
void sound(const Audio& a, int freq, int ms) {
  const SDL_AudioDeviceID dev = a.device;
  const int64_t total = int64_t{kRate} * ms / 1000;
  const Uint64 deadline = SDL_GetTicks64() + static_cast<Uint64>(ms) + 1000;
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
      SDL_Delay(a.buffer_ms);
      break;
    }
    SDL_Delay(5);
  }
}

}  // namespace

void play_tone_ms(int freq, int ms) {
  if (ms <= 0 || clock_is_virtual()) return;
  const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
  const Audio a = open_audio();
  if (a.device != 0) {
    sound(a, freq, ms);
    close_audio(a);
  }
  std::this_thread::sleep_until(end);
}

void PlayTone(int freq, int ticks) {
  const int64_t ms = int64_t{ticks} * 50;
  play_tone_ms(freq, static_cast<int>(std::min<int64_t>(ms, INT_MAX)));
}

void BEEP() {
  play_tone_ms(1000, 250);
}
