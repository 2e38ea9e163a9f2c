#include "drawing_generator.h"

#include "imageformat/format.h"
#include "strokefont/stroke_font.h"

namespace {

// A small linear congruential generator: the same numbers on every
// platform, unlike the standard distributions.
struct Random {
  uint32_t state;
  uint32_t Next() {
    state = state * 1664525u + 1013904223u;
    return state >> 8;
  }
  int Range(int lo, int hi) {
    return lo + static_cast<int>(Next() % static_cast<uint32_t>(hi - lo + 1));
  }
};

struct Shape {
  int x1, y1, x2, y2;
};

// Mostly small shapes near a random point; one in 50 spans the screen.
Shape RandomShape(Random& r) {
  if (r.Range(0, 49) == 0)
    return {r.Range(0, 20), r.Range(0, 20), r.Range(600, 639), r.Range(170, 193)};
  int x = r.Range(1, 638), y = r.Range(1, 192);
  return {x, y, x + r.Range(-30, 30), y + r.Range(-15, 15)};
}

const char* const kWords[] = {"HELLO", "KOV1", "BOX 12", "A+B=C", "TITLE", "X"};

}  // namespace

std::vector<std::string> GenerateDrawing(size_t lines, uint32_t seed) {
  Random r{seed};
  std::vector<std::string> out = {"SCREEN 8"};
  const std::vector<std::string>& block = DprintBlockLines();
  out.insert(out.end(), block.begin(), block.end());
  while (out.size() < lines) {
    Shape s = RandomShape(r);
    int colour = r.Range(1, 15), kind = r.Range(0, 99);
    if (kind < 55) {
      out.push_back(LineStatement(s.x1, s.y1, s.x2, s.y2, colour));
    } else if (kind < 70) {
      out.push_back(BoxStatement(s.x1, s.y1, s.x2, s.y2, colour));
    } else if (kind < 80) {
      out.push_back(FilledBoxStatement(s.x1, s.y1, s.x2, s.y2, colour));
    } else if (kind < 94) {
      bool big = r.Range(0, 49) == 0;
      int radius = big ? r.Range(100, 400) : r.Range(1, 25);
      float aspect = static_cast<float>(r.Range(1, 30)) / 10.0f;
      out.push_back(CircleStatement(s.x1, s.y1, radius, colour, aspect));
    } else {
      for (std::string& line : TextGroup(kWords[r.Range(0, 5)], colour, s.y1, s.x1)) {
        out.push_back(std::move(line));
      }
    }
  }
  return out;
}

std::vector<std::string> GenerateShapes(size_t shapes, uint32_t seed) {
  std::vector<std::string> out;
  size_t count = 0;
  for (std::string& line : GenerateDrawing(shapes * 3, seed)) {
    if (count == shapes) break;
    if (line.starts_with("line") || line.starts_with("circle") || line == "gosub Dprint") ++count;
    out.push_back(std::move(line));
  }
  return out;
}
