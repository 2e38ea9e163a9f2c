// ellipse_walk.h - the scan-line walk of a whole ellipse (internal to gfx).
//
// The walk runs in 64-bit integers from the two ends of the middle row
// toward the top and bottom: each step moves the two scan lines one row
// apart (y1 down, y2 up), or their ends one column inward, or both. Long
// stretches of steps that only move along rows outside the view, or only
// move the ends of rows already drawn, can be taken at once: the state
// after n such steps has a closed form, so a huge or far-off ellipse costs
// no more than the part of it that can be seen.
#pragma once

#include <cstdint>

struct EllipseWalk {
  int64_t x1, x2, y1, y2;  // the scan lines (y1, x1..x2) and (y2, x1..x2)
  int64_t r, rx, ry, dx, dy;
  int32_t d;  // steps inward left
};

EllipseWalk start_ellipse_walk(int cx, int cy, float a, float b);
// One step of the walk.
inline void step_ellipse_walk(EllipseWalk& w) {
  if (w.r > 0) w.y1 += 1, w.y2 -= 1, w.ry += w.dx, w.r -= w.ry;
  if (w.r <= 0) w.d -= 1, w.x1 += 1, w.x2 -= 1, w.rx -= w.dy, w.r += w.rx;
}
// How many of the next steps move only x1 and x2 (at most limit), and
// takes them.
int64_t skip_column_steps(EllipseWalk& w, int64_t limit);
// How many of the next steps move only y1 and y2 (at most limit), and
// takes them.
int64_t skip_row_steps(EllipseWalk& w, int64_t limit);
