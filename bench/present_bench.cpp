// The SDL back-end's presentation cost, as its window thread times its own
// cycles: one cycle after a full-screen change (all 200 rows converted,
// uploaded and presented) and one cycle with nothing changed. The figures
// are the thread's, not the benchmark loop's, so each iteration waits for the
// next cycle (about 10 ms) and reports that cycle's time; the iteration
// counts are fixed, as the thread sets the pace.
//
// Needs an X display; on a machine without one:
//   xvfb-run -a build/present_bench
// SDL draws with its software renderer unless SDL_RENDER_DRIVER names another.
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <thread>

#include "gfx/backends/backends.h"
#include "gfx/backends/sdl_backend.h"
#include "gfx/display_driver.h"
#include "gfx/draw.h"
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

void BM_PresentUnchangedFrame(benchmark::State& state) {
  for (auto _ : state) {
    SdlCycleStats before = sdl_cycle_stats(), after;
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
