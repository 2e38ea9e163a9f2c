// Speed of undo and redo on a drawing of 1,000 shapes (lines, boxes and
// filled boxes at random, recorded through the "." key as a user draws
// them) on a headless screen. Each iteration undoes the last shape and
// redoes it: the journal cut back and written again, the pixels put back
// and in again.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <random>

#include "backends/backends.h"
#include "editor/editor_routines.h"
#include "editor/history.h"
#include "gfx/screen.h"
#include "imageformat/journal.h"

namespace {

namespace fs = std::filesystem;

void DrawShape(Editor& ed, int tool, int x1, int y1, int x2, int y2) {
  ed.Tool = tool;
  ed.CursorX = x1, ed.CursorY = y1;
  RecordAction(ed, DotKey);
  ed.CursorX = x2, ed.CursorY = y2;
  RecordAction(ed, DotKey);
}

// last: the tool of the last shape, drawn across the whole frame.
void UndoRedo(benchmark::State& state, int last) {
  const fs::path dir = fs::temp_directory_path() / ("kov1-undo-" + std::to_string(getpid()));
  fs::create_directories(dir);
  fs::current_path(dir);
  setenv("TRVGFX", "null", 1);
  register_standard_backends();
  SCREEN(8, 4, 2, 0, 0);
  Editor ed;
  JournalStart();
  std::mt19937 rng(1);
  auto x = [&] { return 1 + static_cast<int>(rng() % 638); };
  auto y = [&] { return 1 + static_cast<int>(rng() % 192); };
  for (int i = 0; i < 999; ++i) {
    ed.DrawColor = static_cast<int>(rng() % 16);
    static const int kTools[] = {kToolLine, kToolBox, kToolFilledBox};
    DrawShape(ed, kTools[i % 3], x(), y(), x(), y());
  }
  DrawShape(ed, last, 1, 1, 638, 192);
  if (UndoCount() != 1000) state.SkipWithError("the shapes were not all recorded");
  for (auto _ : state) {
    UndoAction(ed);
    RedoAction(ed);
  }
  state.counters["history_MB"] = static_cast<double>(HistorySize()) / 1e6;
  JournalClose();
  SCREEN(0, 0, 0, 0, 0);
  fs::current_path(fs::temp_directory_path());
  fs::remove_all(dir);
}

void BM_UndoRedoLine(benchmark::State& state) {
  UndoRedo(state, kToolLine);
}
void BM_UndoRedoFilledBox(benchmark::State& state) {
  UndoRedo(state, kToolFilledBox);
}
BENCHMARK(BM_UndoRedoLine)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_UndoRedoFilledBox)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
