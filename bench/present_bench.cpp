// The SDL back-end's presentation cost, as its window thread times its own
// cycles: one cycle after a full-screen change (all 200 rows converted,
// uploaded and presented), one cycle with nothing changed, and the time from
// a key reaching the window thread to the frame that shows the program's
// answer (a cursor of five pixels moved). The figures are the thread's, not
// the benchmark loop's, so each iteration waits for the thread and reports
// its time; the iteration counts are fixed, as the thread sets the pace.
//
// Needs an X display of 24-bit colour (SDL opens no window on xvfb-run's
// 8-bit default screen); the screen's size sets the window's scale:
//   xvfb-run -a -s "-screen 0 1024x768x24" build/present_bench     (scale 1)
//   xvfb-run -a -s "-screen 0 1600x1000x24" build/present_bench    (scale 2)
//   xvfb-run -a -s "-screen 0 1920x1200x24" build/present_bench    (scale 3; the
//   zoomed benchmark then fills 1920 x 1200 at 8 times, with the grid)
// On a 16-bit screen the window falls back to SDL's renderer, the software
// one unless SDL_RENDER_DRIVER names another.
#include <SDL.h>
#include <benchmark/benchmark.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "backends/backends.h"
#include "backends/sdl_backend.h"
#include "gfx/display_driver.h"
#include "gfx/draw.h"
#include "gfx/keyboard.h"
#include "gfx/screen.h"

namespace {

// Waits up to 2 s for the window thread to finish a cycle that counted
// `counter` up from `from`; returns the stats after it.
template <typename Counter>
bool WaitForCycle(Counter counter, uint64_t from, SdlCycleStats* after) {
  auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(2);
  do {
    *after = sdl_cycle_stats();
    if (counter(*after) > from) return true;
    std::this_thread::sleep_for(std::chrono::microseconds(200));
  } while (std::chrono::steady_clock::now() < deadline);
  return false;
}

void BM_PresentFullScreenChange(benchmark::State& state) {
  uint32_t colour = 1;
  for (auto _ : state) {
    SdlCycleStats before = sdl_cycle_stats(), after;
    LINE(0, 0, 639, 199, colour, kLineBoxFilled, 0xFFFF, kCoordAbsolute);  // flags all rows
    colour = colour % 15 + 1;
    if (!WaitForCycle([](const SdlCycleStats& s) { return s.presented; }, before.presented,
                      &after)) {
      state.SkipWithError("no frame was presented");
      break;
    }
    uint64_t cycles = after.presented - before.presented;
    state.SetIterationTime(static_cast<double>(after.presented_ns - before.presented_ns) / 1e9 /
                           static_cast<double>(cycles));
  }
}
BENCHMARK(BM_PresentFullScreenChange)
    ->UseManualTime()
    ->Iterations(300)
    ->Unit(benchmark::kMicrosecond);

// A cycle woken by an event that changes nothing.
void BM_PresentUnchangedFrame(benchmark::State& state) {
  for (auto _ : state) {
    SdlCycleStats before = sdl_cycle_stats(), after;
    SDL_Event nothing{};
    nothing.type = SDL_USEREVENT;
    SDL_PushEvent(&nothing);
    if (!WaitForCycle([](const SdlCycleStats& s) { return s.unchanged; }, before.unchanged,
                      &after)) {
      state.SkipWithError("the window thread ran no cycle");
      break;
    }
    uint64_t cycles = after.unchanged - before.unchanged;
    state.SetIterationTime(static_cast<double>(after.unchanged_ns - before.unchanged_ns) / 1e9 /
                           static_cast<double>(cycles));
  }
}
BENCHMARK(BM_PresentUnchangedFrame)
    ->UseManualTime()
    ->Iterations(300)
    ->Unit(benchmark::kMicrosecond);

// A plus of five pixels at x, y in a colour, as the editor's cursor.
void Plus(int x, int y, uint32_t colour) {
  const int arms[5][2] = {{0, -1}, {0, 1}, {1, 0}, {-1, 0}, {0, 0}};
  for (auto [dx, dy] : arms)
    PSET(static_cast<float>(x + dx), static_cast<float>(y + dy), colour, 0, 0);
}

// Another thread presses Right at random moments 3 to 15 ms apart; this
// thread waits for each key as the editor does and moves the cursor.
void BM_KeyToPresent(benchmark::State& state) {
  std::atomic<bool> done{false};
  std::atomic<int> pressed{0};
  std::thread presser([&] {
    std::mt19937 random(13);
    std::uniform_int_distribution<int> pause_us(3000, 15000);
    while (!done) {
      std::this_thread::sleep_for(std::chrono::microseconds(pause_us(random)));
      if (pressed > 0) continue;  // the last one is not yet shown
      SDL_Event e{};
      e.type = SDL_KEYDOWN;
      e.key.state = SDL_PRESSED;
      e.key.keysym.scancode = SDL_SCANCODE_RIGHT;
      e.key.keysym.sym = SDLK_RIGHT;
      ++pressed;
      SDL_PushEvent(&e);
    }
  });
  int x = 10;
  std::vector<double> us;
  for (auto _ : state) {
    SdlCycleStats before = sdl_cycle_stats(), after;
    wait_key();
    Plus(x, 33, 0);
    x = x < 600 ? x + 1 : 10;
    Plus(x, 33, 15);
    if (!WaitForCycle([](const SdlCycleStats& s) { return s.keys_shown; }, before.keys_shown,
                      &after)) {
      state.SkipWithError("the answer to a key was not presented");
      break;
    }
    --pressed;
    const double ns = static_cast<double>(after.key_to_shown_ns - before.key_to_shown_ns) /
                      static_cast<double>(after.keys_shown - before.keys_shown);
    state.SetIterationTime(ns / 1e9);
    us.push_back(ns / 1e3);
  }
  done = true;
  presser.join();
  while (!INKEY().empty()) {
  }
  if (us.empty()) return;
  std::sort(us.begin(), us.end());
  state.counters["median_us"] = us[us.size() / 2];
  state.counters["p90_us"] = us[us.size() * 9 / 10];
}
BENCHMARK(BM_KeyToPresent)->UseManualTime()->Iterations(300)->Unit(benchmark::kMicrosecond);

// The window's own zoom keys, as the window thread gets them from SDL.
void PressZoomKey(SDL_Scancode key) {
  SDL_Event e{};
  e.type = SDL_KEYDOWN;
  e.key.keysym.scancode = key;
  e.key.keysym.mod = KMOD_LCTRL;
  SDL_PushEvent(&e);
}

// A full-screen change shown zoomed: every window pixel of the visible part
// scaled from the picture, and the grid over it.
void BM_PresentZoomed(benchmark::State& state) {
  for (int i = 0; i < 5; ++i) PressZoomKey(SDL_SCANCODE_EQUALS);  // 1 to 8 times
  std::this_thread::sleep_for(std::chrono::milliseconds(300));
  BM_PresentFullScreenChange(state);
  PressZoomKey(SDL_SCANCODE_0);
  std::this_thread::sleep_for(std::chrono::milliseconds(300));
}
BENCHMARK(BM_PresentZoomed)->UseManualTime()->Iterations(300)->Unit(benchmark::kMicrosecond);

}  // namespace

int main(int argc, char** argv) {
  setenv("SDL_RENDER_DRIVER", "software", 0);
  setenv("TRVGFX", "sdl", 1);
  register_standard_backends();
  if (SCREEN(8, 4, 2, 0, 0) != 0 || std::string(gfx_screen()->driver->name) != "SDL") {
    std::fprintf(stderr, "present_bench: no SDL window (is there an X display?)\n");
    return 1;
  }
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  SCREEN(0, 0, 0, 0, 0);
  return 0;
}
