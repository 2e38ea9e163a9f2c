// CIRCLE: whole ellipses by a scan-line walk in 64-bit integers, and arcs.
#include <algorithm>
#include <bit>
#include <climits>
#include <cmath>
#include <cstring>
#include <vector>

#include "gfx/draw.h"
#include "gfx/ellipse_walk.h"
#include "gfx/frame.h"

const float kFullTurn = std::bit_cast<float>(0x40C90FDCu);

namespace {

constexpr double kTwoPi = 6.283185307179586;
// Beyond these the products of the scan-line walk could leave 64 bits, or
// the walk (one step per pixel of a + b) would take too long; such an
// ellipse draws nothing.
constexpr double kProductLimit = 1e18;
constexpr double kMaxHalfAxes = 2e6;
// Arcs with more steps than this draw only their radius lines: their
// points would lie far outside any screen and take too long to walk.
constexpr double kMaxArcSteps = 1 << 18;

struct ScanLines {
  DrawContext* c;
  uint32_t colour;
  bool filled;
  std::vector<uint8_t> row_done;  // one per view row; only a filled ellipse needs it

  void plot(int x, int row) {
    if (c->bytes_per_pixel == 1) {
      c->rows[row][x] = static_cast<uint8_t>(colour);
    } else {
      put(c, x, row, colour);
    }
  }
  void emit(int64_t y, int64_t xa, int64_t xb, bool fill) {
    if (y < c->view_y || y >= c->view_y + c->view_h) return;
    int64_t left = c->view_x, right = c->view_x + c->view_w - 1;
    int row = static_cast<int>(y);
    if (fill) {
      if (xb < left || xa > right) return;
      if (!row_done.empty()) {
        if (row_done[row - c->view_y]) return;
        row_done[row - c->view_y] = 1;
      }
      run(c, row, static_cast<int>(std::max(xa, left)), static_cast<int>(std::min(xb, right)),
          colour);
      return;
    }
    if (xa >= left && xa <= right) plot(static_cast<int>(xa), row);
    if (xb >= left && xb <= right) plot(static_cast<int>(xb), row);
  }
  void emit(int64_t y, int64_t xa, int64_t xb) { emit(y, xa, xb, filled); }
};

// Steps that cannot draw anything are taken at once: steps moving the row
// ends while the rows are outside the view (or filled already), or while
// the ends stay outside it, and steps moving the rows while they stay
// outside the view.
void skip_hidden_steps(EllipseWalk& w, const ScanLines& out) {
  const DrawContext* c = out.c;
  const int64_t top = c->view_y, bottom = c->view_y + c->view_h - 1;
  const int64_t left = c->view_x, right = c->view_x + c->view_w - 1;
  constexpr int64_t kAll = INT64_MAX;
  if (w.r > 0) {
    int64_t y1_hidden = w.y1 >= bottom ? kAll : top - 1 - w.y1;  // y1 only grows
    int64_t y2_hidden = w.y2 <= top ? kAll : w.y2 - 1 - bottom;  // y2 only falls
    skip_row_steps(w, std::min(y1_hidden, y2_hidden));
    return;
  }
  auto hidden = [&](int64_t y) {
    return y < top || y > bottom || (out.filled && out.row_done[y - top]);
  };
  int64_t limit = kAll;
  if (!hidden(w.y1) || !hidden(w.y2)) {
    // x1 only grows and x2 only falls.
    bool apart = w.x2 < left || w.x1 > right;  // a run between them misses the view
    int64_t x1_hidden = w.x1 > right ? kAll : left - 1 - w.x1;
    int64_t x2_hidden = w.x2 < left ? kAll : w.x2 - 1 - right;
    limit = out.filled ? (apart ? kAll : 0) : std::min(x1_hidden, x2_hidden);
  }
  skip_column_steps(w, limit);
}

void whole_ellipse(GfxScreen* s, DrawContext* c, int cx, int cy, float a, float b, uint32_t colour,
                   bool fill) {
  double ad = a, bd = std::fabs(b);
  if (ad + bd > kMaxHalfAxes) return;
  if (2 * ad * bd * bd + 2 * ad * ad * bd + ad * ad + bd * bd > kProductLimit) return;
  // The one scan line of a flat ellipse is filled without the table: no
  // row can come twice.
  ScanLines out{c, colour, fill, std::vector<uint8_t>(fill ? c->view_h : 0, 0)};
  EllipseWalk w = start_ellipse_walk(cx, cy, a, b);
  const int64_t top = c->view_y, bottom = c->view_y + c->view_h - 1;
  const int64_t left = c->view_x, right = c->view_x + c->view_w - 1;
  // While both scan lines and both ends are inside the view, no step is
  // hidden and skipping would take none.
  auto all_in_view = [&] {
    return w.y1 >= top && w.y1 <= bottom && w.y2 >= top && w.y2 <= bottom && w.x1 >= left &&
           w.x1 <= right && w.x2 >= left && w.x2 <= right;
  };
  lock_open_screen(s);
  if (b == 0) {
    out.emit(cy, w.x1, w.x2, true);
  } else {
    out.emit(cy, w.x1, w.x2);
    // An outline of byte pixels inside the view: the four ends straight in.
    const bool direct = !fill && c->bytes_per_pixel == 1;
    const auto value = static_cast<uint8_t>(colour);
    // Byte stores may alias anything, so every value the four stores need
    // is read before them; otherwise each store makes the next reread it.
    uint8_t* const* const rows = c->rows.data();
    bool inside = all_in_view();
    while (w.d > 0) {
      if (!inside) {
        skip_hidden_steps(w, out);
        if (w.d <= 0) break;
      }
      step_ellipse_walk(w);
      // A step moves y1 down, y2 up, x1 right and x2 left, so from inside
      // the view only those four bounds can be crossed.
      inside =
          inside ? w.y1 <= bottom && w.y2 >= top && w.x1 <= right && w.x2 >= left : all_in_view();
      if (inside && direct) {
        uint8_t *const row1 = rows[w.y1], *const row2 = rows[w.y2];
        const int64_t x1 = w.x1, x2 = w.x2;
        row1[x1] = value, row1[x2] = value, row2[x1] = value, row2[x2] = value;
        continue;
      }
      out.emit(w.y1, w.x1, w.x2);
      out.emit(w.y2, w.x1, w.x2);
      if (w.y1 > bottom && w.y2 < top) break;  // nothing further can be in view
    }
  }
  float low = static_cast<float>(cy) - b, high = static_cast<float>(cy) + b;
  auto row_of = [&](float v) {
    return static_cast<int>(std::clamp<double>(std::trunc(v), top - 1.0, bottom + 1.0));
  };
  unlock_screen(std::max<int>(top, row_of(std::min(low, high))),
                std::min<int>(bottom, row_of(std::max(low, high))));
}

struct ArcPoint {
  int x, y;
};

ArcPoint arc_point(int cx, int cy, float a, float b, double t) {
  // Each product is rounded to single precision once.
  float px = static_cast<float>(std::cos(t) * static_cast<double>(a));
  float py = static_cast<float>(std::sin(t) * static_cast<double>(b));
  return {cx + round_coordinate(px), cy - round_coordinate(py)};
}

// Adds whole turns to v until it is no longer below limit, at once when it
// would take many.
double add_turns_until(double v, double limit) {
  if (limit - v > 64 * kTwoPi) v += std::floor((limit - v) / kTwoPi - 1) * kTwoPi;
  while (v < limit) v += kTwoPi;
  return v;
}

void arc(DrawContext* c, int cx, int cy, float a, float b, uint32_t colour, int flags, double start,
         double end) {
  float last_x = c->last_x, last_y = c->last_y;
  for (double* angle : {&start, &end}) {
    if (*angle >= 0) continue;
    *angle = -*angle;
    ArcPoint p = arc_point(cx, cy, a, b, *angle);
    LINE(static_cast<float>(cx - c->view_x), static_cast<float>(cy - c->view_y),
         static_cast<float>(p.x - c->view_x), static_cast<float>(p.y - c->view_y), colour, 0,
         0xFFFF, flags & kColourOmitted);
  }
  c->last_x = last_x, c->last_y = last_y;
  end = add_turns_until(end, start);
  start = add_turns_until(start, end - kTwoPi);
  double step = 1 / (std::sqrt(a) * std::sqrt(b) * 1.5);
  if (!((end - start) / step <= kMaxArcSteps)) return;
  // Far from 0 adding the step may no longer change t, so the number of
  // steps is fixed before the walk.
  const double steps = std::ceil((end + step / 2 - start) / step);
  uint32_t value = resolve_colour(gfx_screen(), c, colour, flags);
  int low = c->view_y + c->view_h, high = c->view_y - 1;
  lock_screen();
  double t = start;
  for (double i = 0; i <= steps && t < end + step / 2; i += 1, t += step) {
    ArcPoint p = arc_point(cx, cy, a, b, t);
    if (!in_view(c, p.x, p.y)) continue;
    put(c, p.x, p.y, value);
    low = std::min(low, p.y), high = std::max(high, p.y);
  }
  unlock_screen(low, high);
}

}  // namespace

void CIRCLE(float x, float y, float radius, uint32_t colour, float aspect, float start, float end,
            int fill, int flags) {
  GfxScreen* s = gfx_screen();
  if (!s || !(radius > 0) || std::isnan(aspect) || std::isnan(start) || std::isnan(end)) return;
  DrawContext* c = draw_context();
  FramePoint centre;
  if (!frame_point(c, (flags & 7) == kCoordPointRel ? kCoordPointRel : kCoordPoint, x, y,
                   &centre)) {
    return;
  }
  if (aspect == 0) aspect = s->aspect;
  float a = radius, b = radius * aspect;
  if (aspect > 1) a = radius / aspect, b = radius;
  if (std::isinf(a) || std::isinf(b)) return;
  if (start == 0 && std::bit_cast<uint32_t>(end) == std::bit_cast<uint32_t>(kFullTurn)) {
    whole_ellipse(s, c, centre.x, centre.y, a, b, resolve_colour(s, c, colour, flags), fill != 0);
    return;
  }
  if (std::isinf(start) || std::isinf(end)) return;
  arc(c, centre.x, centre.y, a, b, colour, flags, start, end);
}
