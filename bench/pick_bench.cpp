// Speed of picking a shape and moving it, on generated drawings of 10,000
// and 100,000 shapes with a fill every 100 shapes (an outlined box filled
// inside): a pick is the journal redrawn with the owner of every pixel
// and the first preview drawn; a move step is the preview redrawn from the
// last checkpoint before the shape with the shape's line rewritten. The
// picked shape is the one in the middle of the drawing. Keeping a change
// is the journal rewritten beside itself, synced and renamed into place,
// on a journal of 100,000 lines.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>

#include "backends/backends.h"
#include "drawing_generator.h"
#include "gfx/screen.h"
#include "imageformat/format.h"
#include "imageformat/journal.h"
#include "imageformat/owners.h"
#include "imageformat/statement_edit.h"

namespace {

// `shapes` shapes of the generated drawing with every hundredth shape a box
// filled inside.
std::vector<std::string> Drawing(size_t shapes) {
  std::vector<std::string> out;
  size_t count = 0;
  for (std::string& line : GenerateShapes(shapes, 1)) {
    const bool shape = line.starts_with("line") || line.starts_with("circle");
    if (shape && ++count % 100 == 0) {
      const int x = static_cast<int>(count * 37 % 560) + 10, y = static_cast<int>(count % 150) + 10;
      out.push_back(BoxStatement(x, y, x + 40, y + 20, 12));
      out.push_back(PaintStatement(x + 20, y + 10, 9, 12));
      continue;
    }
    out.push_back(std::move(line));
  }
  return out;
}

struct Setup {
  std::filesystem::path dir;
  explicit Setup(const std::vector<std::string>& drawing) {
    namespace fs = std::filesystem;
    dir = fs::temp_directory_path() / ("kov1-pick-" + std::to_string(getpid()));
    fs::create_directories(dir);
    fs::current_path(dir);
    setenv("TRVGFX", "null", 1);
    register_standard_backends();
    SCREEN(8, 4, 2, 0, 0);
    JournalStart();
    JournalAppendLines({drawing.begin() + 1, drawing.end()});
    set_pages(1, 0);
  }
  ~Setup() {
    JournalClose();
    SCREEN(0, 0, 0, 0, 0);
    std::filesystem::current_path(std::filesystem::temp_directory_path());
    std::filesystem::remove_all(dir);
  }
};

// A pixel the middle action wrote last, found once.
bool MiddlePixel(int* x, int* y, size_t* action) {
  Scene scene;
  if (!BuildScene(&scene, 0, 0)) return false;
  for (size_t k = scene.actions.size() / 2; k < scene.actions.size(); ++k) {
    for (size_t i = 0; i < scene.owners.size(); ++i) {
      if (scene.owners[i] != static_cast<int>(k)) continue;
      *x = static_cast<int>(i % 640), *y = static_cast<int>(i / 640), *action = k;
      return true;
    }
  }
  return false;
}

std::vector<std::string> Lines(const Scene& s, const DrawnAction& a) {
  std::vector<std::string> lines;
  for (size_t i = a.first; i < a.first + a.count; ++i) lines.emplace_back(SceneLine(s, i));
  return lines;
}

void BM_Pick(benchmark::State& state) {
  Setup setup(Drawing(static_cast<size_t>(state.range(0))));
  int x = 0, y = 0;
  size_t k = 0;
  if (!MiddlePixel(&x, &y, &k)) state.SkipWithError("no middle shape");
  std::vector<uint8_t> mark;
  Scene scene;  // its storage used again, as the editor does
  for (auto _ : state) {
    BuildScene(&scene, x, y);
    const size_t picked = static_cast<size_t>(scene.writers.back());
    RedrawChanged(scene, picked, Lines(scene, scene.actions[picked]), &mark);
  }
}
BENCHMARK(BM_Pick)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);

void BM_MoveStep(benchmark::State& state) {
  Setup setup(Drawing(static_cast<size_t>(state.range(0))));
  int x = 0, y = 0;
  size_t k = 0;
  if (!MiddlePixel(&x, &y, &k)) state.SkipWithError("no middle shape");
  Scene scene;
  BuildScene(&scene, x, y);
  const DrawnAction& a = scene.actions[k];
  const std::vector<std::string> old = Lines(scene, a);
  std::vector<uint8_t> mark;
  int step = 0;
  for (auto _ : state) {
    Statement moved = a.shape;
    const int d = ++step % 2;  // right and back
    moved.x1 += d, moved.x2 += d;
    RedrawChanged(scene, k, EditActionLines(old, a.shape, moved), &mark);
  }
}
BENCHMARK(BM_MoveStep)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);

void BM_Keep100kLines(benchmark::State& state) {
  Setup setup(GenerateDrawing(100000, 1));
  std::string bytes;
  JournalBytesFrom(0, &bytes);
  const long long middle = static_cast<long long>(bytes.find('\n', bytes.size() / 2) + 1);
  const long long length = static_cast<long long>(bytes.find('\n', middle) + 1) - middle;
  const std::string line = bytes.substr(static_cast<size_t>(middle), static_cast<size_t>(length));
  for (auto _ : state) {
    if (!JournalReplace(middle, length, line)) state.SkipWithError("the change was not kept");
  }
}
BENCHMARK(BM_Keep100kLines)->Unit(benchmark::kMillisecond);

}  // namespace
