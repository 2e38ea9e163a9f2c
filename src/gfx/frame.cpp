#include "gfx/frame.h"

#include <cmath>

#include "gfx/draw.h"

bool frame_point(DrawContext* c, int flags, float x, float y, FramePoint* out) {
  if (std::isnan(x) || std::isnan(y)) return false;
  if ((flags & 7) == kCoordPointRel) x += c->last_x, y += c->last_y;
  c->last_x = x;
  c->last_y = y;
  *out = {to_pixel(c, x, c->view_x), to_pixel(c, y, c->view_y)};
  return true;
}
