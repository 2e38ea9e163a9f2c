// Speed of loading a large drawing: LoadImage reads and draws 100,000
// lines on a headless screen and writes them as the new journal.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "backends/backends.h"
#include "drawing_generator.h"
#include "editorstate/editor.h"
#include "gfx/screen.h"
#include "imageformat/journal.h"
#include "screens/load.h"

namespace {

void BM_Load100kLines(benchmark::State& state) {
  namespace fs = std::filesystem;
  fs::path dir = fs::temp_directory_path() / ("kov1-bench-" + std::to_string(getpid()));
  fs::create_directories(dir);
  fs::current_path(dir);
  {
    std::ofstream out("BIG", std::ios::binary);
    for (const std::string& line : GenerateDrawing(100000, 1)) out << line << "\r\n";
  }
  setenv("TRVGFX", "null", 1);
  register_standard_backends();
  SCREEN(8, 4, 2, 0, 0);
  Editor ed;
  for (auto _ : state) {
    // Each load starts from a fresh journal, as after start-up. Emptying the
    // previous load's journal frees its blocks, which on a file system that
    // discards freed blocks takes milliseconds of waiting that belong to no
    // load, so it is not timed.
    state.PauseTiming();
    JournalStart();
    set_pages(1, 1);
    state.ResumeTiming();
    if (!LoadImage(ed, "BIG")) state.SkipWithError("load failed");
  }
  SCREEN(0, 0, 0, 0, 0);
  fs::current_path(fs::temp_directory_path());
  fs::remove_all(dir);
}
BENCHMARK(BM_Load100kLines)->Unit(benchmark::kMillisecond);

}  // namespace
