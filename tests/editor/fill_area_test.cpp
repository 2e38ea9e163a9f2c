// FindFillArea against a plain pixel-by-pixel search, on many small random
// pictures of few colours, where areas wind around and touch in every way.
#include <gtest/gtest.h>

#include <random>
#include <set>
#include <vector>

#include "editor/fill.h"

namespace {

// The colours touching the area at (x, y), found one pixel at a time.
std::set<int> TouchingColours(const std::vector<uint8_t>& px, int w, int h, int x, int y) {
  const uint8_t colour = px[static_cast<size_t>(y * w + x)];
  std::vector<bool> seen(px.size());
  std::vector<std::pair<int, int>> todo = {{x, y}};
  seen[static_cast<size_t>(y * w + x)] = true;
  std::set<int> touching;
  while (!todo.empty()) {
    const auto [cx, cy] = todo.back();
    todo.pop_back();
    for (auto [dx, dy] : {std::pair{1, 0}, {-1, 0}, {0, 1}, {0, -1}}) {
      const int nx = cx + dx, ny = cy + dy;
      if (nx < 0 || ny < 0 || nx >= w || ny >= h) continue;
      const size_t i = static_cast<size_t>(ny * w + nx);
      if (px[i] != colour) {
        touching.insert(px[i]);
      } else if (!seen[i]) {
        seen[i] = true;
        todo.push_back({nx, ny});
      }
    }
  }
  return touching;
}

TEST(FillAreaTest, AgreesWithAPixelByPixelSearch) {
  std::mt19937 g(12);
  for (int round = 0; round < 20000; ++round) {
    const int w = 1 + static_cast<int>(g() % 24), h = 1 + static_cast<int>(g() % 12);
    const int pitch = w + static_cast<int>(g() % 3), colours = 2 + static_cast<int>(g() % 3);
    std::vector<uint8_t> px(static_cast<size_t>(w * h)), rows(static_cast<size_t>(pitch * h), 99);
    for (int y = 0; y < h; ++y) {
      for (int x = 0; x < w; ++x) {
        const auto c = static_cast<uint8_t>(g() % 10 < 6 ? 0 : 1 + g() % (colours - 1));
        px[static_cast<size_t>(y * w + x)] = rows[static_cast<size_t>(y * pitch + x)] = c;
      }
    }
    const int x = static_cast<int>(g() % w), y = static_cast<int>(g() % h);
    const std::set<int> touching = TouchingColours(px, w, h, x, y);
    const int want = touching.empty()       ? kNoBorder
                     : touching.size() == 1 ? *touching.begin()
                                            : kSeveralBorders;
    const FillArea area = FindFillArea(rows.data(), pitch, w, h, x, y);
    ASSERT_EQ(area.colour, px[static_cast<size_t>(y * w + x)]) << "round " << round;
    ASSERT_EQ(area.border, want) << "round " << round << ": " << w << "x" << h << " at " << x << ","
                                 << y;
  }
}

}  // namespace
