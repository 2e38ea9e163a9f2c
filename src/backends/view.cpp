#include "backends/view.h"

#include <algorithm>
#include <iterator>

namespace {

int floor_div(int a, int b) {
  return a >= 0 ? a / b : -((-a + b - 1) / b);
}

int fitting_factor(const View& v) {
  if (v.width <= 0 || v.rows <= 0) return 1;
  return std::max(1, std::min(v.out_w / v.width, v.out_h / (v.rows * v.scanline)));
}

// The window position of a zoomed picture side of size image in an area of
// size out: centred when it fits, else scrolled.
int side_position(int image, int out, int scroll) {
  return image <= out ? (out - image) / 2 : -std::clamp(scroll, 0, image - out);
}

// The scroll that shows the cell [c0, c1) of the picture side with a margin.
int follow_side(int scroll, int image, int out, int c0, int c1) {
  if (image <= out) return 0;
  const int margin = out / 8;
  if (c0 - scroll < margin) scroll = c0 - margin;
  if (c1 - scroll > out - margin) scroll = c1 - (out - margin);
  return std::clamp(scroll, 0, image - out);
}

}  // namespace

Placement view_placement(const View& v) {
  const int f = fitting_factor(v) * v.zoom;
  return {f, side_position(v.width * f, v.out_w, v.scroll_x),
          side_position(v.rows * v.scanline * f, v.out_h, v.scroll_y)};
}

void view_clamp(View& v) {
  const int f = fitting_factor(v) * v.zoom;
  v.scroll_x = std::clamp(v.scroll_x, 0, std::max(0, v.width * f - v.out_w));
  v.scroll_y = std::clamp(v.scroll_y, 0, std::max(0, v.rows * v.scanline * f - v.out_h));
}

void view_picture_pixel(const View& v, int wx, int wy, int* px, int* py) {
  const Placement at = view_placement(v);
  *px = std::clamp(floor_div(wx - at.x, at.factor), 0, v.width - 1);
  *py = std::clamp(floor_div(wy - at.y, at.factor * v.scanline), 0, v.rows - 1);
}

void view_window_pixel(const View& v, int px, int py, int* wx, int* wy) {
  const Placement at = view_placement(v);
  *wx = at.x + px * at.factor;
  *wy = at.y + py * at.factor * v.scanline;
}

void view_follow(View& v, int px, int py) {
  const int f = fitting_factor(v) * v.zoom, h = f * v.scanline;
  v.scroll_x = follow_side(v.scroll_x, v.width * f, v.out_w, px * f, (px + 1) * f);
  v.scroll_y = follow_side(v.scroll_y, v.rows * h, v.out_h, py * h, (py + 1) * h);
}

int view_next_zoom(int zoom, int dir) {
  const int n = static_cast<int>(std::size(kZoomSteps));
  int i = 0;
  while (i < n - 1 && kZoomSteps[i] < zoom) ++i;
  return kZoomSteps[std::clamp(i + dir, 0, n - 1)];
}

void view_zoom_at(View& v, int zoom, int wx, int wy) {
  const Placement before = view_placement(v);
  const int old_zoom = v.zoom;
  v.zoom = zoom;
  // The zoomed picture's point under (wx, wy), scaled to the new zoom.
  const long ix = static_cast<long>(wx - before.x) * zoom / old_zoom;
  const long iy = static_cast<long>(wy - before.y) * zoom / old_zoom;
  v.scroll_x = static_cast<int>(ix) - wx;
  v.scroll_y = static_cast<int>(iy) - wy;
  view_clamp(v);
}
