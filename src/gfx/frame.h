// frame.h - the frame every drawing operation shares (internal to gfx):
// colour resolution, coordinate kinds with the last point, conversion of
// float coordinates to pixels, and pixel access through the context.
#pragma once

#include <cstdint>

#include "gfx/screen.h"

struct FramePoint {
  int x, y;
};

// The colour to draw with: the foreground (or, with preset, the background)
// colour when bit 31 of flags says the colour is omitted, else the masked
// argument.
uint32_t resolve_colour(const GfxScreen* s, const DrawContext* c, uint32_t colour, int flags,
                        bool preset = false);

// Applies the coordinate kind of a one-point operation and updates the last
// point; false when a coordinate is NaN (nothing is drawn then).
bool frame_point(DrawContext* c, int flags, float x, float y, FramePoint* out);
// The same for a two-point operation.
bool frame_points(DrawContext* c, int flags, float x1, float y1, float x2, float y2, FramePoint* p1,
                  FramePoint* p2);

// Releases the screen lock after drawing rows first..last of c's work page,
// flagging them when that page is shown: unlock_screen without looking the
// context up again.
inline void unlock_drawn(GfxScreen* s, const DrawContext* c, int first, int last) {
  if (c->work_page == s->visible_page) flag_rows(s, first, last);
  unlock_screen_unflagged();
}

inline bool in_view(const DrawContext* c, int x, int y) {
  return x >= c->view_x && x < c->view_x + c->view_w && y >= c->view_y && y < c->view_y + c->view_h;
}
inline void put(DrawContext* c, int x, int y, uint32_t colour) {
  c->put_pixel(c->rows[y], x, colour);
}
inline uint32_t get(const DrawContext* c, int x, int y) {
  return c->get_pixel(c->rows[y], x);
}
inline void run(DrawContext* c, int y, int x1, int x2, uint32_t colour) {
  c->fill_run(c->rows[y], x1, x2, colour);
}
// Column x from row y1 down to y2.
inline void column(DrawContext* c, int x, int y1, int y2, uint32_t colour) {
  if (c->bytes_per_pixel != 1) {
    for (int y = y1; y <= y2; ++y) put(c, x, y, colour);
    return;
  }
  const auto value = static_cast<uint8_t>(colour);
  for (int y = y1; y <= y2; ++y) c->rows[y][x] = value;
}
