// PAINT against the straightforward flood fill it replaced, kept here as the
// reference: spans found one by one through a queue on the unchanged
// picture, remembered per row, then written row by row. Both must leave the
// same pixels and flag the same rows, over random pictures, views, colours
// and start points, in several modes.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <deque>
#include <random>
#include <string>
#include <vector>

#include "backends/backends.h"
#include "gfx/draw.h"
#include "gfx/screen.h"

namespace {

struct Picture {
  int width, height;
  std::vector<uint32_t> px;
  uint32_t& at(int x, int y) { return px[static_cast<size_t>(y) * width + x]; }
};

struct View {
  int x, y, w, h;
};

struct RefSpan {
  int y, x1, x2;
};

// The replaced fill, on a plain picture; returns the flagged rows as
// first..last, or an empty range when nothing was filled.
std::pair<int, int> ReferencePaint(Picture& pic, View v, int sx, int sy, uint32_t paint,
                                   uint32_t border, std::string_view tile, uint32_t background) {
  if (sx < v.x || sx >= v.x + v.w || sy < v.y || sy >= v.y + v.h) return {0, -1};
  if (pic.at(sx, sy) == border) return {0, -1};
  std::vector<std::vector<RefSpan>> rows(static_cast<size_t>(v.y + v.h));
  std::deque<RefSpan> queue;
  auto open = [&](int x, int y) { return pic.at(x, y) != border; };
  auto scan_span = [&](int x, int y) {
    int x1 = x, x2 = x;
    while (x1 > v.x && open(x1 - 1, y)) --x1;
    while (x2 < v.x + v.w - 1 && open(x2 + 1, y)) ++x2;
    for (const RefSpan& s : rows[y]) {
      if (s.x1 == x1 && s.x2 == x2) return x2;
    }
    rows[y].push_back({y, x1, x2});
    queue.push_back({y, x1, x2});
    return x2;
  };
  auto scan_row = [&](const RefSpan& s, int y) {
    for (int x = s.x1; x <= s.x2; ++x) {
      if (open(x, y)) x = scan_span(x, y);
    }
  };
  scan_span(sx, sy);
  for (size_t i = 0; i < queue.size(); ++i) {
    RefSpan span = queue[i];
    if (span.y > v.y) scan_row(span, span.y - 1);
    if (span.y + 1 < v.y + v.h) scan_row(span, span.y + 1);
  }
  int first = v.y + v.h, last = -1;
  for (int row = v.y; row < v.y + v.h; ++row) {
    auto& spans = rows[row];
    if (!spans.empty()) first = std::min(first, row), last = row;
    for (auto it = spans.rbegin(); it != spans.rend(); ++it) {
      auto bits = tile.empty() ? 0xFF : static_cast<uint8_t>(tile[row % tile.size()]);
      for (int px = it->x1; px <= it->x2; ++px) {
        pic.at(px, row) = (bits >> (7 - px % 8)) & 1 ? paint : background;
      }
    }
  }
  return {first, last};
}

Picture ReadWorkPage() {
  GfxScreen* s = gfx_screen();
  DrawContext* c = draw_context();
  Picture pic{s->width, s->height, std::vector<uint32_t>(size_t(s->width) * s->height)};
  for (int y = 0; y < s->height; ++y) {
    for (int x = 0; x < s->width; ++x) pic.at(x, y) = c->get_pixel(c->rows[y], x);
  }
  return pic;
}

void WriteWorkPage(Picture& pic) {
  DrawContext* c = draw_context();
  for (int y = 0; y < pic.height; ++y) {
    for (int x = 0; x < pic.width; ++x) c->put_pixel(c->rows[y], x, pic.at(x, y));
  }
}

// A picture in four colours (given as arguments and as the pixel values they
// become), so that the border colour is common: noise of some density, then
// bars with gaps, outlines and ellipses in the border colour or others.
Picture RandomPicture(std::mt19937& rng, int width, int height, const uint32_t* colours,
                      const uint32_t* pixels) {
  auto pick = [&](int n) { return static_cast<int>(rng() % static_cast<uint32_t>(n)); };
  Picture pic{width, height, std::vector<uint32_t>(size_t(width) * height)};
  const int density = pick(4) == 0 ? 0 : pick(60);
  for (uint32_t& p : pic.px) p = pick(100) < density ? pixels[pick(4)] : pixels[3];
  WriteWorkPage(pic);
  for (int n = pick(12); n > 0; --n) {
    const float x = float(pick(width)), y = float(pick(height));
    const uint32_t colour = colours[pick(3)];
    switch (pick(4)) {
      case 0:  // a comb of bars with one gap each
        for (int bx = pick(4); bx < width; bx += 2 + pick(3)) {
          LINE(float(bx), 0, float(bx), float(height - 1), colour, kLineLine, 0xFFFF, 0);
          PSET(float(bx), float(pick(height)), colours[3], kCoordPoint, 0);
        }
        break;
      case 1:
        LINE(x, y, float(pick(width)), float(pick(height)), colour, kLineBox, 0xFFFF, 0);
        break;
      case 2:
        LINE(x, y, float(pick(width)), float(pick(height)), colour, kLineLine, 0xFFFF, 0);
        break;
      default:
        CIRCLE(x, y, float(1 + pick(width / 2)), colour, float(pick(30)) / 10.0f, 0, kFullTurn, 0,
               kCoordPoint);
    }
  }
  return ReadWorkPage();
}

void RunCases(int mode, int depth, int cases, uint32_t seed) {
  setenv("TRVGFX", "null", 1);
  register_standard_backends();
  ASSERT_EQ(SCREEN(mode, depth, 1, 0, 0), 0);
  GfxScreen* s = gfx_screen();
  DrawContext* c = draw_context();
  c->view_screen_coords = true;  // the start point is given in screen pixels
  const int width = s->width, height = s->height;
  std::mt19937 rng(seed);
  auto pick = [&](int n) { return static_cast<int>(rng() % static_cast<uint32_t>(n)); };
  for (int i = 0; i < cases; ++i) {
    // Border, another outline colour, paint, background.
    uint32_t colours[4];
    for (uint32_t& colour : colours) colour = static_cast<uint32_t>(rng());
    if (pick(3) == 0) colours[2] = colours[0];  // border colour equal to the paint colour
    uint32_t pixels[4];
    for (int k = 0; k < 4; ++k) pixels[k] = mask_colour(s, colours[k]);
    c->view_x = 0, c->view_y = 0, c->view_w = width, c->view_h = height;
    Picture pic = RandomPicture(rng, width, height, colours, pixels);
    View v{0, 0, width, height};
    if (pick(3) == 0) {
      v.x = pick(width), v.y = pick(height);
      v.w = 1 + pick(width - v.x), v.h = 1 + pick(height - v.y);
    }
    c->view_x = v.x, c->view_y = v.y, c->view_w = v.w, c->view_h = v.h;
    // Mostly inside the view; sometimes anywhere, off the screen included.
    int sx = v.x + pick(v.w), sy = v.y + pick(v.h);
    if (pick(4) == 0) sx = pick(width + 2) - 1, sy = pick(height + 2) - 1;
    const std::string tile = pick(8) == 0 ? std::string(1 + pick(9), char(rng())) : "";
    auto [first, last] = ReferencePaint(pic, v, sx, sy, pixels[2], pixels[0], tile, c->background);
    std::memset(s->row_flags.data(), 0, s->row_flags.size());
    PAINT(float(sx), float(sy), colours[2], colours[0], tile, tile.empty() ? 0 : 1, kCoordPoint);

    const std::string what = "mode " + std::to_string(mode) + " case " + std::to_string(i);
    ASSERT_TRUE(ReadWorkPage().px == pic.px) << what;
    for (int y = 0; y < height; ++y) {
      ASSERT_EQ(s->row_flags[y] != 0, y >= first && y <= last) << what << " row " << y;
    }
  }
  SCREEN(0, 0, 0, 0, 0);
}

TEST(PaintDifferentialTest, OneBytePixels) {
  RunCases(8, 4, 400, 1);
}

// 320 columns; 640 x 480 in two colours.
TEST(PaintDifferentialTest, OtherModes) {
  RunCases(7, 0, 100, 2);
  RunCases(11, 0, 60, 3);
}

}  // namespace
