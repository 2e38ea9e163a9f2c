// screen.h - screen modes, the graphics screen with its pages, and the
// per-thread drawing context.
//
// SCREEN(m, ...) opens mode m (or leaves graphics with m = 0) and returns 0 or
// 1. While a screen is open, gfx_screen() returns it; every drawing operation
// goes through the calling thread's DrawContext (draw_context()), which is
// rebuilt whenever a new screen was opened. Drawing happens between
// lock_screen() and unlock_screen(), which nest and flag the changed rows when
// the work page is the visible page; the window thread presents flagged rows.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "gfx/keyboard.h"

struct DisplayDriver;

struct ModeEntry {
  uint16_t width, height;
  uint8_t depth;          // bits per pixel
  uint8_t scanline_size;  // presented rows per framebuffer row
  uint16_t colours;       // size of the mode's colour set
  uint8_t font_height;    // 8, 14 or 16
  uint8_t text_cols, text_rows;
  float aspect;  // 0: height / width * 4/3
};

// The entry of mode 1..21, or null when the mode does not exist.
const ModeEntry* mode_entry(int mode);

// The 16-colour set of modes 1, 2, 7 and 8 as R, G, B bytes.
extern const uint8_t kPalette16[16][3];

struct TextCell {
  uint16_t ch;
  uint32_t fg, bg;
};

struct GfxScreen {
  uint32_t id;
  int mode;
  int width, height, depth;
  uint32_t colour_mask;
  int bytes_per_pixel;
  int pitch;
  std::vector<uint8_t*> pages;  // each pitch * height bytes, 16-byte aligned
  int page_count;
  int visible_page;
  uint8_t* visible;
  std::vector<uint8_t> row_flags;  // one per presented row; row y flagged at y
  uint32_t palette[256];           // 0x00BBGGRR shown for each pixel value
  uint32_t device_palette[256];    // the mode's colour set
  uint8_t attribute_map[16];
  int scanline_size;
  const uint8_t* font;  // 256 glyphs of font_height bytes
  int font_height;
  int text_cols, text_rows;
  float aspect;
  int cursor_col, cursor_row;  // 0-based
  bool pending_line_feed;
  int view_top, view_bottom;                   // text view rows, 1-based
  std::vector<std::vector<TextCell>> mirrors;  // one per page
  const DisplayDriver* driver;
  int lock_count;
  KeyRing keys;
  std::string title;  // the window's title, UTF-8
};

using PutPixelFn = void (*)(uint8_t* row, int x, uint32_t colour);
using GetPixelFn = uint32_t (*)(const uint8_t* row, int x);
using FillRunFn = void (*)(uint8_t* row, int x1, int x2, uint32_t colour);

struct DrawContext {
  uint32_t screen_id;
  int work_page;
  std::vector<uint8_t*> rows;  // work page rows
  int bytes_per_pixel, row_stride;
  float last_x, last_y;
  int view_x, view_y, view_w, view_h;
  float window_x1, window_y1, window_x2, window_y2;
  uint32_t foreground, background;
  PutPixelFn put_pixel;
  GetPixelFn get_pixel;
  FillRunFn fill_run;
  bool view_set, view_screen_coords, window_set, window_y_up;
};

// The open screen, or null.
GfxScreen* gfx_screen();

// The calling thread's context for the open screen (rebuilt when the screen
// changed), or null when no screen is open.
DrawContext* draw_context();

// Opens mode m with the given depth, page count, flags and refresh rate;
// mode 0 leaves graphics. Returns 0 on success, 1 on failure.
int SCREEN(uint32_t mode, int depth, int pages, int flags, int refresh_rate);

// Selects the work and visible page (negative: unchanged; both negative:
// page 0 for both). Returns the previous (work << 16) | visible.
int set_pages(int work, int visible);

// Copies page src to page dst (negative src: the work page; negative dst:
// the visible page). Returns 0, or 1 for a page number beyond the pages.
int PCOPY(int src, int dst);
// Copies the pixels of columns x1..x2 and rows y1..y2 (cut to the screen)
// of page src to page dst; the text mirrors stay as they are.
void copy_page_area(int src, int dst, int x1, int y1, int x2, int y2);

// The nested screen lock. unlock_screen flags rows first..last (last < 0:
// the last row) when the work page is the visible page.
void lock_screen();
void unlock_screen(int first_row, int last_row);
// Releases the lock without flagging any row.
void unlock_screen_unflagged();

// A page's pixels and text mirror, kept aside so that a failed operation
// can put the page back as it was.
struct PageCopy {
  std::vector<uint8_t> pixels;
  std::vector<TextCell> mirror;
};
PageCopy copy_page_out(int page);
void copy_page_in(int page, const PageCopy& copy);

// Flags framebuffer rows first..last of the visible page as changed.
void flag_rows(GfxScreen* screen, int first, int last);

// Makes the rectangle of w x h pixels at (x, y) of the work page the window's
// icon, in the colours the window shows, each row repeated as the window
// repeats it (w x h * scanline size icon pixels); pixels of the value
// `transparent` are left transparent. Nothing happens without a screen, when
// the rectangle is not wholly on it, or when the back-end shows no icon.
void set_window_icon(int x, int y, int w, int h, uint32_t transparent);

// The program's file name without its extension: the window's title when
// the screen opens.
std::string program_name();

// Sets the window's title (UTF-8). Nothing happens without a screen, when
// the title is already this, or when the back-end has no title.
void set_window_title(const std::string& utf8);

// Tells the window which picture pixel the program's cursor is on, so that a
// zoomed window keeps it in view. Nothing happens without a screen, or when
// the back-end has no zoom.
void set_view_focus(int x, int y);

// A colour value masked to the width of one framebuffer pixel.
uint32_t mask_colour(const GfxScreen* screen, uint32_t colour);

// The runtime's last error number (SCREEN stores its result here, LOCATE
// its error 1). Recording one does not call the error handler.
int gfx_last_error();
void gfx_record_error(int number);
