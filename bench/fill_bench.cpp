// Speed of the fill tool: "." with the fill tool, from the key to page 0
// showing the result: the journal redrawn on page 1, the area found,
// painted and copied inside the frame. Both cases fill the whole screen:
// an empty drawing, and a drawing of 1,000 shapes under a filled box that
// covers the screen, so that the redraw costs all the shapes. The journal
// is cut back after each fill, so every round does the same work.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>

#include "backends/backends.h"
#include "drawing_generator.h"
#include "editor/fill.h"
#include "editorstate/editor.h"
#include "gfx/screen.h"
#include "imageformat/format.h"
#include "imageformat/journal.h"
#include "runtime/clock.h"

namespace {

void FillOnce(benchmark::State& state, const std::vector<std::string>& drawing) {
  namespace fs = std::filesystem;
  const fs::path dir = fs::temp_directory_path() / ("kov1-fill-" + std::to_string(getpid()));
  fs::create_directories(dir);
  fs::current_path(dir);
  setenv("TRVGFX", "null", 1);
  register_standard_backends();
  clock_use_virtual(true);
  SCREEN(8, 4, 2, 0, 0);
  JournalStart();
  JournalAppendLines({drawing.begin() + 1, drawing.end()});
  const long long length = JournalLength();
  Editor ed;
  ed.CursorX = 320, ed.CursorY = 100, ed.DrawColor = 4;
  for (auto _ : state) {
    FillAtCursor(ed);
    if (JournalLength() == length) state.SkipWithError("the fill was not recorded");
    JournalCut(length);
  }
  JournalClose();
  SCREEN(0, 0, 0, 0, 0);
  fs::current_path(fs::temp_directory_path());
  fs::remove_all(dir);
}

void BM_FillEmptyDrawing(benchmark::State& state) {
  FillOnce(state, {"SCREEN 8"});
}
BENCHMARK(BM_FillEmptyDrawing)->Unit(benchmark::kMillisecond);

void BM_Fill1000Shapes(benchmark::State& state) {
  std::vector<std::string> drawing = GenerateShapes(1000, 1);
  drawing.push_back(FilledBoxStatement(0, 0, 639, 199, 1));
  FillOnce(state, drawing);
}
BENCHMARK(BM_Fill1000Shapes)->Unit(benchmark::kMillisecond);

}  // namespace
