// PSET, LINE (line, box, filled box) and POINT.
#include "gfx/draw.h"

#include <algorithm>
#include <cmath>
#include <cstddef>

#include "gfx/frame.h"

namespace {

constexpr int kLeft = 1, kRight = 2, kBelow = 4, kAbove = 8;

uint16_t reverse16(uint16_t v) {
  uint16_t r = 0;
  for (int i = 0; i < 16; ++i) r = static_cast<uint16_t>(r | (((v >> i) & 1) << (15 - i)));
  return r;
}

uint16_t rotate_right(uint16_t mask) {
  return static_cast<uint16_t>((mask >> 1) | (mask << 15));
}

int region(const DrawContext* c, int x, int y) {
  int code = 0;
  if (x < c->view_x) code |= kLeft;
  if (x >= c->view_x + c->view_w) code |= kRight;
  if (y < c->view_y) code |= kAbove;
  if (y >= c->view_y + c->view_h) code |= kBelow;
  return code;
}

int trunc_int(long double v) {
  return static_cast<int>(static_cast<long long>(v));
}

// Cohen-Sutherland: moves end points onto the view's edges, one edge per
// step. False when nothing of the line is inside. The step count is bounded
// so that rounding can never make it cycle.
bool clip_line(const DrawContext* c, FramePoint* p1, FramePoint* p2) {
  const int left = c->view_x, right = c->view_x + c->view_w - 1;
  const int top = c->view_y, bottom = c->view_y + c->view_h - 1;
  for (int step = 0; step < 16; ++step) {
    int c1 = region(c, p1->x, p1->y), c2 = region(c, p2->x, p2->y);
    if ((c1 | c2) == 0) return true;
    if (c1 & c2) return false;
    // Saturated ends lie up to 2^31 apart: their differences need 64 bits.
    long double m = 1;
    if (p1->x != p2->x) {
      m = static_cast<long double>(int64_t{p2->y} - p1->y) / (int64_t{p2->x} - p1->x);
    }
    bool vertical = p1->x == p2->x;
    FramePoint* p = c1 ? p1 : p2;
    int code = c1 ? c1 : c2;
    if (code & kLeft) {
      p->y = trunc_int(p->y + m * (left - p->x));
      p->x = left;
    } else if (code & kRight) {
      p->y = trunc_int(p->y + m * (right - p->x));
      p->x = right;
    } else if (code & kAbove) {
      if (!vertical) p->x = trunc_int(p->x + (top - p->y) / m);
      p->y = top;
    } else {
      if (!vertical) p->x = trunc_int(p->x + (bottom - p->y) / m);
      p->y = bottom;
    }
  }
  return false;
}

// Plots the pixels of a clipped line from p1 toward p2 under the style.
void draw_line(DrawContext* c, FramePoint p1, FramePoint p2, uint32_t colour, uint16_t style) {
  uint16_t mask = 0x8000;
  if (p1.x == p2.x || p1.y == p2.y) {
    bool vertical = p1.x == p2.x;
    int a1 = vertical ? p1.y : p1.x, a2 = vertical ? p2.y : p2.x;
    if (a1 > a2) {
      std::swap(a1, a2);
      style = reverse16(style);
      mask = static_cast<uint16_t>(1u << ((a2 - a1) % 16));
    }
    if (style == 0xFFFF) {
      if (vertical) {
        column(c, p1.x, a1, a2, colour);
      } else {
        run(c, p1.y, a1, a2, colour);
      }
      return;
    }
    for (int a = a1; a <= a2; ++a, mask = rotate_right(mask)) {
      if (!(mask & style)) continue;
      if (vertical)
        put(c, p1.x, a, colour);
      else
        put(c, a, p1.y, colour);
    }
    return;
  }
  int dx = std::abs(p2.x - p1.x), dy = std::abs(p2.y - p1.y);
  int sx = p2.x > p1.x ? 1 : -1, sy = p2.y > p1.y ? 1 : -1;
  // Walk along the major axis a, stepping the minor axis b.
  bool x_major = dx >= dy;
  int& major = x_major ? p1.x : p1.y;
  int& minor = x_major ? p1.y : p1.x;
  int d_major = x_major ? dx : dy, d_minor = x_major ? dy : dx;
  int s_major = x_major ? sx : sy, s_minor = x_major ? sy : sx;
  int err = 2 * d_minor - d_major;
  if (style == 0xFFFF && c->bytes_per_pixel == 1) {
    // A solid line of byte pixels: one pointer steps through the page.
    const std::ptrdiff_t down = p2.y > p1.y ? c->row_stride : -c->row_stride;
    const std::ptrdiff_t step_major = x_major ? sx : down, step_minor = x_major ? down : sx;
    const auto value = static_cast<uint8_t>(colour);
    uint8_t* px = c->rows[p1.y] + p1.x;
    for (int i = 0;; ++i) {
      *px = value;
      if (i == d_major) return;
      if (err >= 0) px += step_minor, err -= 2 * d_major;
      err += 2 * d_minor;
      px += step_major;
    }
  }
  for (int i = 0; i <= d_major; ++i) {
    if (mask & style) put(c, p1.x, p1.y, colour);
    mask = rotate_right(mask);
    if (err >= 0) minor += s_minor, err -= 2 * d_major;
    if (i == d_major) break;
    err += 2 * d_minor;
    major += s_major;
  }
}

uint16_t rotate_right_by(uint16_t mask, long long n) {
  for (int i = 0; i < n % 16; ++i) mask = rotate_right(mask);
  return mask;
}

// Draws one edge from..to of a styled box outline, clipped to lo..hi; the
// mask runs on over the whole edge, clipped pixels included.
void styled_edge(DrawContext* c, bool vertical, int fixed, int from, int to, int lo, int hi,
                 uint32_t colour, uint16_t style, uint16_t* mask) {
  for (int a = std::max(from, lo); a <= std::min(to, hi); ++a) {
    if (!(rotate_right_by(*mask, a - from) & style)) continue;
    if (vertical)
      put(c, fixed, a, colour);
    else
      put(c, a, fixed, colour);
  }
  *mask = rotate_right_by(*mask, static_cast<long long>(to) - from + 1);
}

void draw_box(GfxScreen* s, DrawContext* c, FramePoint p1, FramePoint p2, uint32_t colour,
              bool filled, uint16_t style) {
  int x1 = std::min(p1.x, p2.x), x2 = std::max(p1.x, p2.x);
  int y1 = std::min(p1.y, p2.y), y2 = std::max(p1.y, p2.y);
  int vx2 = c->view_x + c->view_w, vy2 = c->view_y + c->view_h;
  if (x2 < c->view_x || y2 < c->view_y || x1 >= vx2 || y1 >= vy2) return;
  int cx1 = std::max(x1, c->view_x), cy1 = std::max(y1, c->view_y);
  int cx2 = std::min(x2, vx2 - 1), cy2 = std::min(y2, vy2 - 1);
  lock_open_screen(s);
  if (filled) {
    block(c, cy1, cy2, cx1, cx2, colour);
  } else if (style == 0xFFFF) {
    if (y2 < vy2) run(c, y2, cx1, cx2, colour);
    if (y1 >= c->view_y) run(c, y1, cx1, cx2, colour);
    if (x2 < vx2) column(c, x2, cy1, cy2, colour);
    if (x1 >= c->view_x) column(c, x1, cy1, cy2, colour);
  } else {
    uint16_t mask = 0x8000;
    if (y2 < vy2) styled_edge(c, false, y2, x1, x2, cx1, cx2, colour, style, &mask);
    if (y1 >= c->view_y) styled_edge(c, false, y1, x1, x2, cx1, cx2, colour, style, &mask);
    if (x2 < vx2) styled_edge(c, true, x2, y1, y2, cy1, cy2, colour, style, &mask);
    if (x1 >= c->view_x) styled_edge(c, true, x1, y1, y2, cy1, cy2, colour, style, &mask);
  }
  unlock_drawn(s, c, cy1, cy2);
}

}  // namespace

void PSET(float x, float y, uint32_t colour, int flags, int preset) {
  GfxScreen* s = gfx_screen();
  if (!s) return;
  DrawContext* c = draw_context();
  uint32_t value = resolve_colour(s, c, colour, flags, preset != 0);
  FramePoint p;
  if (!frame_point(c, flags, x, y, &p) || !in_view(c, p.x, p.y)) return;
  lock_open_screen(s);
  put(c, p.x, p.y, value);
  unlock_drawn(s, c, p.y, p.y);
}

void LINE(float x1, float y1, float x2, float y2, uint32_t colour, int kind, uint32_t style,
          int flags) {
  GfxScreen* s = gfx_screen();
  if (!s) return;
  DrawContext* c = draw_context();
  uint32_t value = resolve_colour(s, c, colour, flags);
  FramePoint p1, p2;
  if (!frame_points(c, flags, x1, y1, x2, y2, &p1, &p2)) return;
  uint16_t style16 = static_cast<uint16_t>(style & 0xFFFF);
  if (kind == kLineBox || kind == kLineBoxFilled) {
    draw_box(s, c, p1, p2, value, kind == kLineBoxFilled, style16);
    return;
  }
  if (!clip_line(c, &p1, &p2)) return;
  lock_open_screen(s);
  draw_line(c, p1, p2, value, style16);
  unlock_drawn(s, c, std::min(p1.y, p2.y), std::max(p1.y, p2.y));
}

int POINT(float x, float y) {
  GfxScreen* s = gfx_screen();
  if (!s) return -1;
  DrawContext* c = draw_context();
  if (std::isnan(x) || std::isnan(y)) return -1;
  int px = round_coordinate(x) + (c->view_screen_coords ? 0 : c->view_x);
  int py = round_coordinate(y) + (c->view_screen_coords ? 0 : c->view_y);
  if (!in_view(c, px, py)) return -1;
  uint32_t v = get(c, px, py);
  if (s->depth > 8 && s->depth <= 16) {
    uint32_t r = (v >> 11) & 31, g = (v >> 5) & 63, b = v & 31;
    v = ((r << 3 | r >> 2) << 16) | ((g << 2 | g >> 4) << 8) | (b << 3 | b >> 2);
  }
  return static_cast<int>(v);
}
