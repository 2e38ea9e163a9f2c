// Text in character cells on the graphics screen.
#include "gfx/text.h"

#include <algorithm>
#include <cstring>

#include "gfx/display_driver.h"
#include "gfx/screen.h"
#include "runtime/console.h"
#include "runtime/sound.h"

namespace {

// The pixel rows touched by one print run, for the row flags.
struct Touched {
  int first = 1 << 30, last = -1;
  void add(int a, int b) { first = std::min(first, a), last = std::max(last, b); }
};

TextCell blank_cell(const DrawContext* c) {
  return TextCell{' ', c->foreground, c->background};
}

void draw_cell(GfxScreen* s, DrawContext* c, int col, int row, uint8_t ch, bool bottom_only) {
  const int h = s->font_height;
  const uint8_t* glyph = s->font + static_cast<size_t>(ch) * h;
  int x0 = col * 8, y0 = row * h;
  for (int dy = bottom_only ? h - 1 : 0; dy < h; ++dy) {
    uint8_t* line = c->rows[y0 + dy];
    for (int dx = 0; dx < 8; ++dx) {
      bool on = bottom_only || ((glyph[dy] >> dx) & 1);
      c->put_pixel(line, x0 + dx, on ? c->foreground : c->background);
    }
  }
  s->mirrors[c->work_page][static_cast<size_t>(row) * s->text_cols + col] =
      TextCell{ch, c->foreground, c->background};
}

// Scrolls the text view (0-based rows top..bottom) up by k lines.
void scroll_up(GfxScreen* s, DrawContext* c, int k, Touched* touched) {
  int top = s->view_top - 1, bottom = s->view_bottom - 1, h = s->font_height;
  int lines = bottom - top + 1;
  k = std::min(k, lines);
  size_t width = static_cast<size_t>(s->text_cols) * 8 * c->bytes_per_pixel;
  for (int y = (top + k) * h; y < (bottom + 1) * h; ++y) {
    std::memmove(c->rows[y - k * h], c->rows[y], width);
  }
  for (int y = (bottom + 1 - k) * h; y < (bottom + 1) * h; ++y) {
    c->fill_run(c->rows[y], 0, s->text_cols * 8 - 1, c->background);
  }
  auto& mirror = s->mirrors[c->work_page];
  auto cols = static_cast<size_t>(s->text_cols);
  auto first = mirror.begin() + static_cast<std::ptrdiff_t>(top * cols);
  auto end = mirror.begin() + static_cast<std::ptrdiff_t>((bottom + 1) * cols);
  std::move(first + static_cast<std::ptrdiff_t>(k * cols), end, first);
  std::fill(end - static_cast<std::ptrdiff_t>(k * cols), end, blank_cell(c));
  s->cursor_row = bottom;
  touched->add(top * h, (bottom + 1) * h - 1);
}

void scroll_if_below(GfxScreen* s, DrawContext* c, Touched* touched) {
  int bottom = s->view_bottom - 1;
  if (s->cursor_row > bottom) scroll_up(s, c, s->cursor_row - bottom, touched);
}

// Writes printable bytes at the cursor, wrapping at the right edge.
void write_run(GfxScreen* s, DrawContext* c, std::string_view bytes, Touched* touched) {
  const int right = s->text_cols - 1, h = s->font_height;
  while (!bytes.empty()) {
    scroll_if_below(s, c, touched);
    size_t piece = std::min<size_t>(bytes.size(), static_cast<size_t>(right - s->cursor_col + 1));
    for (size_t i = 0; i < piece; ++i) {
      draw_cell(s, c, s->cursor_col + static_cast<int>(i), s->cursor_row,
                static_cast<uint8_t>(bytes[i]), false);
    }
    touched->add(s->cursor_row * h, s->cursor_row * h + h - 1);
    s->cursor_col += static_cast<int>(piece);
    if (s->cursor_col > right) s->cursor_col = 0, ++s->cursor_row;
    bytes.remove_prefix(piece);
  }
}

void print_on_screen(GfxScreen* s, DrawContext* c, std::string_view bytes) {
  Touched touched;
  const int bottom = s->view_bottom - 1;
  if (s->pending_line_feed) {
    s->pending_line_feed = false;
    s->cursor_col = 0;
    ++s->cursor_row;
    if (s->cursor_row > bottom) scroll_up(s, c, 1, &touched);
  }
  if (bytes.size() == 1 && static_cast<uint8_t>(bytes[0]) == 255) {
    scroll_if_below(s, c, &touched);
    draw_cell(s, c, s->cursor_col, s->cursor_row, 255, true);
    touched.add(s->cursor_row * s->font_height,
                s->cursor_row * s->font_height + s->font_height - 1);
    if (++s->cursor_col > s->text_cols - 1) s->cursor_col = 0, ++s->cursor_row;
    bytes = {};
  }
  bool moved_last = false;
  size_t start = 0;
  for (size_t i = 0; i <= bytes.size(); ++i) {
    auto b = i < bytes.size() ? static_cast<uint8_t>(bytes[i]) : 0;
    bool control = b == 7 || b == 8 || b == 9 || b == 10 || b == 13;
    if (i < bytes.size() && !control) continue;
    if (i > start) write_run(s, c, bytes.substr(start, i - start), &touched), moved_last = false;
    start = i + 1;
    if (i == bytes.size()) break;
    if (b == 7) {
      BEEP();
    } else if (b == 9) {
      int spaces = 8 - s->cursor_col % 8;
      write_run(s, c, std::string(static_cast<size_t>(spaces), ' '), &touched);
      moved_last = false;
    } else {
      if (b == 8 && s->cursor_col > 0) --s->cursor_col;
      if (b == 10) s->cursor_col = 0, ++s->cursor_row;
      if (b == 13) s->cursor_col = 0;
      moved_last = true;
    }
  }
  if (moved_last) scroll_if_below(s, c, &touched);
  if (s->cursor_col == 0 && s->cursor_row == bottom + 1) {
    s->pending_line_feed = true;
    s->cursor_row = bottom;
    s->cursor_col = s->text_cols - 1;
  } else {
    scroll_if_below(s, c, &touched);
  }
  unlock_screen(touched.first, touched.last < 0 ? touched.first - 1 : touched.last);
}

}  // namespace

void print_run(std::string_view bytes) {
  GfxScreen* s = gfx_screen();
  if (!s) {
    console_print(bytes);
    return;
  }
  DrawContext* c = draw_context();
  lock_screen();
  print_on_screen(s, c, bytes);
}

void PRINT(std::string_view text, bool line_end) {
  print_run(text);
  if (line_end) print_run("\r\n");
}

int LOCATE(int row, int column, int /*cursor*/) {
  GfxScreen* s = gfx_screen();
  if (!s) return 0;
  if ((row != 0 && (row < s->view_top || row > s->view_bottom)) ||
      (column != 0 && (column < 1 || column > s->text_cols))) {
    gfx_record_error(1);
    row = column = 0;  // repeated with both omitted
  }
  s->pending_line_feed = false;
  if (row != 0) s->cursor_row = row - 1;
  if (column != 0) s->cursor_col = column - 1;
  return ((s->cursor_row + 1) << 8) | (s->cursor_col + 1);
}

uint32_t COLOR(int foreground, int background, int flags) {
  GfxScreen* s = gfx_screen();
  if (!s) return 0;
  DrawContext* c = draw_context();
  uint32_t previous = (c->background << 16) | (c->foreground & 0xFFFF);
  bool ega = s->mode == 7 || s->mode == 8 || s->mode == 9;
  if (!(flags & kColorFgOmitted)) {
    c->foreground = ega ? static_cast<uint32_t>(foreground) & 15
                        : mask_colour(s, static_cast<uint32_t>(foreground));
  }
  if (!(flags & kColorBgOmitted)) {
    if (ega) {
      int count = s->mode == 9 ? 64 : 16;
      int index = ((background % count) + count) % count;
      uint32_t colour = s->device_palette[index];
      lock_screen();
      s->palette[0] = colour;
      if (s->driver->set_palette_entry) {
        s->driver->set_palette_entry(0, colour & 0xFF, (colour >> 8) & 0xFF, (colour >> 16) & 0xFF);
      }
      flag_rows(s, 0, s->height - 1);
      unlock_screen(0, -1);
    } else {
      c->background = mask_colour(s, static_cast<uint32_t>(background));
    }
  }
  return previous;
}

void CLS(uint32_t mode) {
  GfxScreen* s = gfx_screen();
  if (!s) {
    console_clear();
    return;
  }
  DrawContext* c = draw_context();
  if (mode == kClsNoArgument) {
    bool full_text_view = s->view_top == 1 && s->view_bottom == s->text_rows;
    mode = c->view_set ? 1 : full_text_view ? 0 : 2;
  }
  auto centre = [c] {
    c->last_x = static_cast<float>(c->view_x + c->view_w / 2);
    c->last_y = static_cast<float>(c->view_y + c->view_h / 2);
  };
  auto home = [s] {
    s->pending_line_feed = false;
    s->cursor_row = s->view_top - 1;
    s->cursor_col = 0;
  };
  auto& mirror = s->mirrors[c->work_page];
  auto cols = static_cast<size_t>(s->text_cols);
  lock_screen();
  if (mode == 0) {
    for (int y = 0; y < s->height; ++y) c->fill_run(c->rows[y], 0, s->width - 1, c->background);
    centre();
    std::fill(mirror.begin(), mirror.end(), blank_cell(c));
    home();
    unlock_screen(0, -1);
  } else if (mode == 2) {
    int first = (s->view_top - 1) * s->font_height, last = s->view_bottom * s->font_height - 1;
    for (int y = first; y <= last; ++y) c->fill_run(c->rows[y], 0, s->width - 1, c->background);
    std::fill(mirror.begin() + static_cast<std::ptrdiff_t>((s->view_top - 1) * cols),
              mirror.begin() + static_cast<std::ptrdiff_t>(s->view_bottom * cols), blank_cell(c));
    home();
    unlock_screen(first, last);
  } else {
    for (int y = c->view_y; y < c->view_y + c->view_h; ++y) {
      c->fill_run(c->rows[y], c->view_x, c->view_x + c->view_w - 1, c->background);
    }
    centre();
    unlock_screen(c->view_y, c->view_y + c->view_h - 1);
  }
}

int text_cursor_column() {
  GfxScreen* s = gfx_screen();
  return s ? s->cursor_col + 1 : 1;
}

int text_cursor_row() {
  GfxScreen* s = gfx_screen();
  return s ? s->cursor_row + 1 : 1;
}
