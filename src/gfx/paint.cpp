// PAINT: flood fill up to a border colour, without recursion.
//
// All spans are found first on the picture as it is, then written; so the
// result does not depend on the fill order, and pixels already in the paint
// colour are filled through like any other.
#include <algorithm>
#include <deque>
#include <vector>

#include "gfx/draw.h"
#include "gfx/frame.h"

namespace {

struct Span {
  int y, x1, x2;
};

struct SpanSearch {
  DrawContext* c;
  uint32_t border;
  std::vector<std::vector<Span>> rows;  // per row, most recent first at the back
  std::deque<Span> queue;

  bool open(int x, int y) const { return get(c, x, y) != border; }

  // Finds the span through (x, y) and returns its last column.
  int scan_span(int x, int y) {
    int x1 = x, x2 = x;
    int left = c->view_x, right = c->view_x + c->view_w - 1;
    while (x1 > left && open(x1 - 1, y)) --x1;
    while (x2 < right && open(x2 + 1, y)) ++x2;
    for (const Span& s : rows[y]) {
      if (s.x1 == x1 && s.x2 == x2) return x2;
    }
    rows[y].push_back({y, x1, x2});
    queue.push_back({y, x1, x2});
    return x2;
  }

  void scan_row(const Span& s, int y) {
    for (int x = s.x1; x <= s.x2; ++x) {
      if (open(x, y)) x = scan_span(x, y);
    }
  }
};

}  // namespace

void PAINT(float x, float y, uint32_t paint_colour, uint32_t border_colour,
           std::string_view pattern, int mode, int flags) {
  GfxScreen* s = gfx_screen();
  if (!s) return;
  DrawContext* c = draw_context();
  uint32_t paint = resolve_colour(s, c, paint_colour, flags);
  uint32_t border = (flags & kBorderOmitted) ? paint : mask_colour(s, border_colour);
  FramePoint p;
  int kind = (flags & 7) == kCoordPointRel ? kCoordPointRel : kCoordPoint;
  if (!frame_point(c, kind, x, y, &p) || !in_view(c, p.x, p.y)) return;
  std::string_view tile = pattern.substr(0, 256);
  if (get(c, p.x, p.y) == border) return;

  SpanSearch search{c, border, std::vector<std::vector<Span>>(c->view_y + c->view_h), {}};
  search.scan_span(p.x, p.y);
  for (size_t i = 0; i < search.queue.size(); ++i) {
    Span span = search.queue[i];
    if (span.y > c->view_y) search.scan_row(span, span.y - 1);
    if (span.y + 1 < c->view_y + c->view_h) search.scan_row(span, span.y + 1);
  }

  int first = c->view_y + c->view_h, last = -1;
  lock_screen();
  for (int row = c->view_y; row < c->view_y + c->view_h; ++row) {
    auto& spans = search.rows[row];
    if (!spans.empty()) first = std::min(first, row), last = row;
    for (auto it = spans.rbegin(); it != spans.rend(); ++it) {
      if (mode != 1 || tile.empty()) {
        run(c, row, it->x1, it->x2, paint);
        continue;
      }
      // Tiles: one byte per row of the tile, its bits from the left.
      auto bits = static_cast<uint8_t>(tile[row % tile.size()]);
      for (int px = it->x1; px <= it->x2; ++px) {
        put(c, px, row, (bits >> (7 - px % 8)) & 1 ? paint : c->background);
      }
    }
  }
  unlock_screen(first, last);
}
