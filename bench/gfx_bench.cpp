// Speed of the graphics runtime on a headless mode-8 screen, with plain
// memcpy and memset of one page as the baselines.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "backends/backends.h"
#include "gfx/draw.h"
#include "gfx/screen.h"
#include "gfx/text.h"

namespace {

constexpr size_t kPageBytes = 640 * 200;

void OpenScreen() {
  setenv("TRVGFX", "null", 1);
  register_standard_backends();
  if (SCREEN(8, 4, 2, 0, 0) != 0) std::abort();
}

void BM_MemcpyPage(benchmark::State& state) {
  std::vector<uint8_t> a(kPageBytes, 1), b(kPageBytes);
  for (auto _ : state) {
    std::memcpy(b.data(), a.data(), kPageBytes);
    benchmark::DoNotOptimize(b.data());
    benchmark::ClobberMemory();
  }
}
BENCHMARK(BM_MemcpyPage);

void BM_MemsetPage(benchmark::State& state) {
  std::vector<uint8_t> a(kPageBytes);
  int v = 0;
  for (auto _ : state) {
    std::memset(a.data(), ++v & 15, kPageBytes);
    benchmark::DoNotOptimize(a.data());
    benchmark::ClobberMemory();
  }
}
BENCHMARK(BM_MemsetPage);

void BM_Pcopy(benchmark::State& state) {
  OpenScreen();
  for (auto _ : state) PCOPY(0, 1);
}
BENCHMARK(BM_Pcopy);

void BM_BoxFilledFullScreen(benchmark::State& state) {
  OpenScreen();
  uint32_t c = 0;
  for (auto _ : state) LINE(0, 0, 639, 199, ++c & 15, 2, 0xFFFF, 0);
}
BENCHMARK(BM_BoxFilledFullScreen);

void BM_LineDiagonal(benchmark::State& state) {
  OpenScreen();
  for (auto _ : state) LINE(0, 0, 639, 199, 7, 0, 0xFFFF, 0);
}
BENCHMARK(BM_LineDiagonal);

void BM_Pset(benchmark::State& state) {
  OpenScreen();
  int i = 0;
  for (auto _ : state) {
    PSET(static_cast<float>(i % 640), static_cast<float>(i % 200), 7, 4, 0);
    ++i;
  }
}
BENCHMARK(BM_Pset);

void BM_CircleR90(benchmark::State& state) {
  OpenScreen();
  for (auto _ : state) CIRCLE(320, 100, 90, 7, 1, 0, kFullTurn, 0, 4);
}
BENCHMARK(BM_CircleR90);

void BM_PaintEmptyScreen(benchmark::State& state) {
  OpenScreen();
  uint32_t c = 0;
  for (auto _ : state) {
    state.PauseTiming();
    CLS();
    state.ResumeTiming();
    PAINT(320, 100, ++c % 15 + 1, 15, "", 0, 4);
  }
}
BENCHMARK(BM_PaintEmptyScreen);

// 1-pixel bars of the border colour in every odd column, joined alternately
// at the bottom and the top, so that the fill winds down and up through all
// 320 even columns: 64,000 one-pixel spans.
void BM_PaintComb(benchmark::State& state) {
  OpenScreen();
  for (int x = 1; x < 640; x += 2) {
    const float top = x % 4 == 1 ? 0 : 1;
    LINE(static_cast<float>(x), top, static_cast<float>(x), top + 198, 15, 0, 0xFFFF, 0);
  }
  uint32_t c = 0;
  for (auto _ : state) PAINT(0, 0, ++c % 14 + 1, 15, "", 0, 4);
}
BENCHMARK(BM_PaintComb)->Unit(benchmark::kMillisecond);

void BM_Print80(benchmark::State& state) {
  OpenScreen();
  std::string line(80, 'K');
  for (auto _ : state) {
    LOCATE(1, 1);
    PRINT(line);
  }
}
BENCHMARK(BM_Print80);

}  // namespace

BENCHMARK_MAIN();
