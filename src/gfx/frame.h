// frame.h - the frame every drawing operation shares (internal to gfx):
// colour resolution, coordinate kinds with the last point, conversion of
// float coordinates to pixels, and pixel access through the context.
#pragma once

#include <cmath>
#include <cstdint>
#include <cstring>

#include "gfx/display_driver.h"
#include "gfx/draw.h"
#include "gfx/screen.h"

struct FramePoint {
  int x, y;
};

// The colour to draw with: the foreground (or, with preset, the background)
// colour when bit 31 of flags says the colour is omitted, else the masked
// argument.
inline uint32_t resolve_colour(const GfxScreen* s, const DrawContext* c, uint32_t colour, int flags,
                               bool preset = false) {
  if (flags & kColourOmitted) return preset ? c->background : c->foreground;
  return s->depth <= 8 ? colour & 0xFF : mask_colour(s, colour);
}

inline int to_pixel(const DrawContext* c, float v, int origin) {
  int p = round_coordinate(v);
  return c->view_screen_coords ? p : p + origin;
}

// Applies the coordinate kind of a one-point operation and updates the last
// point; false when a coordinate is NaN (nothing is drawn then).
bool frame_point(DrawContext* c, int flags, float x, float y, FramePoint* out);

// The same for a two-point operation; inline, since every line and box
// comes through here.
inline bool frame_points(DrawContext* c, int flags, float x1, float y1, float x2, float y2,
                         FramePoint* p1, FramePoint* p2) {
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

// The screen lock of the open screen s: lock_screen and
// unlock_screen_unflagged without looking the screen up.
inline void lock_open_screen(GfxScreen* s) {
  if (s->lock_count++ == 0 && s->driver->lock) s->driver->lock();
}
inline void unlock_open_screen(GfxScreen* s) {
  if (--s->lock_count == 0 && s->driver->unlock) s->driver->unlock();
}

// Releases the screen lock after drawing rows first..last of c's work page,
// flagging them when that page is shown: unlock_screen without looking the
// context up again.
inline void unlock_drawn(GfxScreen* s, const DrawContext* c, int first, int last) {
  if (c->work_page == s->visible_page) flag_rows(s, first, last);
  unlock_open_screen(s);
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
// Rows y1..y2 from x1 to x2; rows filled across their whole width are one
// block of memory and filled at once.
inline void block(DrawContext* c, int y1, int y2, int x1, int x2, uint32_t colour) {
  const int width = c->row_stride / c->bytes_per_pixel;
  if (c->bytes_per_pixel == 1 && x1 == 0 && x2 == width - 1) {
    std::memset(c->rows[y1], static_cast<int>(colour & 0xFF),
                static_cast<size_t>(y2 - y1 + 1) * static_cast<size_t>(c->row_stride));
    return;
  }
  for (int y = y1; y <= y2; ++y) run(c, y, x1, x2, colour);
}
// Column x from row y1 down to y2.
inline void column(DrawContext* c, int x, int y1, int y2, uint32_t colour) {
  if (c->bytes_per_pixel != 1) {
    for (int y = y1; y <= y2; ++y) put(c, x, y, colour);
    return;
  }
  const auto value = static_cast<uint8_t>(colour);
  uint8_t* const* const rows = c->rows.data();  // not reread after each byte stored
  for (int y = y1; y <= y2; ++y) rows[y][x] = value;
}
