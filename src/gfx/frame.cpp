#include "gfx/frame.h"

#include <cmath>

#include "gfx/draw.h"

namespace {

// Pixel coordinates saturate here, far outside any screen, so that adding
// the view origin never overflows (differences of two of them need 64 bits).
constexpr double kCoordinateLimit = 1 << 30;

int to_pixel(const DrawContext* c, float v, int origin) {
  int p = round_coordinate(v);
  return c->view_screen_coords ? p : p + origin;
}

}  // namespace

int round_coordinate(float v) {
  double d = v;
  if (std::isnan(d)) return 0;
  d = d > 0 ? d + 0.5 : d - 0.5;
  if (d > kCoordinateLimit) d = kCoordinateLimit;
  if (d < -kCoordinateLimit) d = -kCoordinateLimit;
  return static_cast<int>(d);  // truncates toward zero
}

uint32_t resolve_colour(const GfxScreen* s, const DrawContext* c, uint32_t colour, int flags,
                        bool preset) {
  if (flags & kColourOmitted) return preset ? c->background : c->foreground;
  return mask_colour(s, colour);
}

bool frame_point(DrawContext* c, int flags, float x, float y, FramePoint* out) {
  if (std::isnan(x) || std::isnan(y)) return false;
  if ((flags & 7) == kCoordPointRel) x += c->last_x, y += c->last_y;
  c->last_x = x;
  c->last_y = y;
  *out = {to_pixel(c, x, c->view_x), to_pixel(c, y, c->view_y)};
  return true;
}

bool frame_points(DrawContext* c, int flags, float x1, float y1, float x2, float y2, FramePoint* p1,
                  FramePoint* p2) {
  if (std::isnan(x1) || std::isnan(y1) || std::isnan(x2) || std::isnan(y2)) return false;
  int kind = flags & 7;
  if (kind == kCoordFirstRel || kind == kCoordBothRel) x1 += c->last_x, y1 += c->last_y;
  if (kind == kCoordSecondRel || kind == kCoordBothRel) x2 += x1, y2 += y1;
  if (std::isnan(x1) || std::isnan(y1) || std::isnan(x2) || std::isnan(y2)) return false;
  c->last_x = x2;
  c->last_y = y2;
  *p1 = {to_pixel(c, x1, c->view_x), to_pixel(c, y1, c->view_y)};
  *p2 = {to_pixel(c, x2, c->view_x), to_pixel(c, y2, c->view_y)};
  return true;
}
