// The graphics screen: SCREEN, the pages, the lock and the drawing context.
#include "gfx/screen.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "gfx/display_driver.h"
#include "gfx/fonts.h"
#include "gfx/frame.h"
#include "runtime/console.h"

namespace {

GfxScreen* g_screen = nullptr;
uint32_t g_serial = 0;
int g_last_error = 0;
bool g_exit_handler_registered = false;
thread_local DrawContext t_context{};
thread_local bool t_context_valid = false;

template <typename T>
void put_pixel_t(uint8_t* row, int x, uint32_t colour) {
  reinterpret_cast<T*>(row)[x] = static_cast<T>(colour);
}
template <typename T>
uint32_t get_pixel_t(const uint8_t* row, int x) {
  return reinterpret_cast<const T*>(row)[x];
}
template <typename T>
void fill_run_t(uint8_t* row, int x1, int x2, uint32_t colour) {
  if (sizeof(T) == 1) {
    std::memset(row + x1, static_cast<int>(colour & 0xFF), static_cast<size_t>(x2 - x1 + 1));
    return;
  }
  T* p = reinterpret_cast<T*>(row);
  for (int x = x1; x <= x2; ++x) p[x] = static_cast<T>(colour);
}

void release_screen(GfxScreen* s) {
  for (uint8_t* page : s->pages) std::free(page);
  delete s;
}

void close_screen() {
  if (!g_screen) return;
  GfxScreen* s = g_screen;
  if (s->driver && s->driver->close) s->driver->close();
  g_screen = nullptr;
  release_screen(s);
  t_context_valid = false;
}

void close_screen_at_exit() {
  close_screen();
}

const uint8_t* font_for_height(int height) {
  if (height == 14) return &kFont8x14[0][0];
  if (height == 16) return &kFont8x16[0][0];
  return &kFont8x8[0][0];
}

GfxScreen* build_screen(const ModeEntry& m, int depth, int pages, int flags) {
  auto* s = new GfxScreen{};
  s->id = ++g_serial;
  s->width = m.width;
  s->height = m.height;
  s->depth = m.depth;
  if (depth == 8 || depth == 15 || depth == 16 || depth == 24 || depth == 32) {
    if (m.depth == 8) s->depth = depth;  // modes 14 and above
  }
  if ((flags & kScreenOpenGl) && s->depth < 16) s->depth = 16;
  if (s->depth <= 8) {
    s->colour_mask = (1u << s->depth) - 1;
    s->bytes_per_pixel = (s->depth + 7) / 8;
  } else if (s->depth <= 16) {
    s->colour_mask = 0xFFFF;
    s->bytes_per_pixel = 2;
  } else {
    s->colour_mask = 0xFFFFFFFF;
    s->bytes_per_pixel = 4;
  }
  s->pitch = s->bytes_per_pixel * s->width;
  s->page_count = pages < 1 ? 1 : pages;
  size_t page_bytes = (static_cast<size_t>(s->pitch) * s->height + 15) / 16 * 16;
  for (int i = 0; i < s->page_count; ++i) {
    auto* page = static_cast<uint8_t*>(std::aligned_alloc(16, page_bytes));
    std::memset(page, 0, page_bytes);
    s->pages.push_back(page);
  }
  s->visible_page = 0;
  s->visible = s->pages[0];
  s->scanline_size = m.scanline_size;
  s->row_flags.assign(static_cast<size_t>(s->height) * s->scanline_size, 0);
  s->font_height = m.font_height;
  s->font = font_for_height(m.font_height);
  s->text_cols = m.text_cols;
  s->text_rows = m.text_rows;
  s->aspect = m.aspect != 0
                  ? m.aspect
                  : static_cast<float>(static_cast<double>(s->height) / s->width * 4.0 / 3.0);
  s->view_top = 1;
  s->view_bottom = s->text_rows;
  return s;
}

// The colour set of a mode as R, G, B triples.
void mode_colours(const ModeEntry& m, int index, uint8_t rgb[3]) {
  if (m.colours == 2) {
    uint8_t v = index ? 255 : 0;
    rgb[0] = rgb[1] = rgb[2] = v;
    return;
  }
  std::memcpy(rgb, kPalette16[index], 3);
}

void reset_palette(GfxScreen* s, const ModeEntry& m) {
  for (int i = 0; i < m.colours; ++i) {
    uint8_t rgb[3];
    mode_colours(m, i, rgb);
    s->device_palette[i] = rgb[0] | (rgb[1] << 8) | (rgb[2] << 16);
  }
  for (int i = 0; i < 16; ++i) s->attribute_map[i] = static_cast<uint8_t>(i % m.colours);
  int shown = s->depth >= 8 ? 256 : 1 << s->depth;
  for (int i = 0; i < shown && i < m.colours; ++i) {
    uint32_t c = s->device_palette[i < 16 ? s->attribute_map[i] : i];
    s->palette[i] = c;
    if (s->driver->set_palette_entry) {
      s->driver->set_palette_entry(i, c & 0xFF, (c >> 8) & 0xFF, (c >> 16) & 0xFF);
    }
  }
  flag_rows(s, 0, s->height - 1);
}

void reset_mirrors(GfxScreen* s) {
  size_t cells = static_cast<size_t>(s->text_cols) * s->text_rows;
  s->mirrors.assign(s->page_count, std::vector<TextCell>(cells, TextCell{0, 0, 0}));
  DrawContext* c = draw_context();
  for (TextCell& cell : s->mirrors[0]) cell = TextCell{' ', c->foreground, c->background};
}

}  // namespace

std::string program_name() {
  std::string name = program_invocation_short_name;
  if (name.size() > 127) name.resize(127);
  size_t dot = name.rfind('.');
  if (dot != std::string::npos && dot > 0) name.resize(dot);
  return name;
}

// Defined in drivers.cpp: the back-end choice.
const DisplayDriver* open_display_driver(GfxScreen* screen, const char* title, int flags,
                                         int refresh_rate);

GfxScreen* gfx_screen() {
  return g_screen;
}

int gfx_last_error() {
  return g_last_error;
}

void gfx_record_error(int number) {
  g_last_error = number;
}

DrawContext* draw_context() {
  GfxScreen* s = g_screen;
  if (!s) return nullptr;
  DrawContext& c = t_context;
  if (t_context_valid && c.screen_id == s->id) return &c;
  c = DrawContext{};
  c.screen_id = s->id;
  c.work_page = 0;
  c.bytes_per_pixel = s->bytes_per_pixel;
  c.row_stride = s->pitch;
  c.rows.resize(s->height);
  for (int y = 0; y < s->height; ++y) c.rows[y] = s->pages[0] + static_cast<size_t>(y) * s->pitch;
  c.view_w = s->width;
  c.view_h = s->height;
  c.foreground = (s->depth > 4 && s->depth <= 8) ? 15 : s->colour_mask;
  c.background = s->colour_mask & 0xFF000000u;
  switch (s->bytes_per_pixel) {
    case 1:
      c.put_pixel = put_pixel_t<uint8_t>, c.get_pixel = get_pixel_t<uint8_t>;
      c.fill_run = fill_run_t<uint8_t>;
      break;
    case 2:
      c.put_pixel = put_pixel_t<uint16_t>, c.get_pixel = get_pixel_t<uint16_t>;
      c.fill_run = fill_run_t<uint16_t>;
      break;
    default:
      c.put_pixel = put_pixel_t<uint32_t>, c.get_pixel = get_pixel_t<uint32_t>;
      c.fill_run = fill_run_t<uint32_t>;
      break;
  }
  t_context_valid = true;
  return &c;
}

int SCREEN(uint32_t mode, int depth, int pages, int flags, int refresh_rate) {
  const ModeEntry* m = mode <= 21 ? mode_entry(static_cast<int>(mode)) : nullptr;
  if (mode != 0 && !m) return g_last_error = 1;
  if (m && m->colours > 16) return g_last_error = 1;  // colour set not given
  close_screen();
  if (mode == 0) {
    console_clear();
    return g_last_error = 0;
  }
  if (!g_exit_handler_registered) {
    std::atexit(close_screen_at_exit);
    g_exit_handler_registered = true;
  }
  GfxScreen* s = build_screen(*m, depth, pages, flags);
  s->mode = static_cast<int>(mode);
  s->title = program_name();
  s->driver = open_display_driver(s, s->title.c_str(), flags, refresh_rate);
  if (!s->driver) {
    release_screen(s);
    return g_last_error = 1;
  }
  g_screen = s;
  lock_screen();
  reset_palette(s, *m);
  reset_mirrors(s);
  unlock_screen(0, -1);
  return g_last_error = 0;
}

void flag_rows(GfxScreen* s, int first, int last) {
  if (first < 0) first = 0;
  if (last >= s->height) last = s->height - 1;
  if (first > last) return;
  std::memset(s->row_flags.data() + first, 1, static_cast<size_t>(last - first + 1));
}

void lock_screen() {
  if (g_screen) lock_open_screen(g_screen);
}

void unlock_screen(int first_row, int last_row) {
  GfxScreen* s = g_screen;
  if (!s) return;
  if (last_row < 0) last_row = s->height - 1;
  DrawContext* c = draw_context();
  if (c->work_page == s->visible_page) flag_rows(s, first_row, last_row);
  unlock_screen_unflagged();
}

void unlock_screen_unflagged() {
  if (g_screen) unlock_open_screen(g_screen);
}

int set_pages(int work, int visible) {
  GfxScreen* s = g_screen;
  if (!s) return 0;
  DrawContext* c = draw_context();
  int previous = (c->work_page << 16) | s->visible_page;
  if (work < 0 && visible < 0) work = visible = 0;
  if (work >= 0 && work < s->page_count) {
    c->work_page = work;
    for (int y = 0; y < s->height; ++y) {
      c->rows[y] = s->pages[work] + static_cast<size_t>(y) * s->pitch;
    }
  }
  if (visible >= 0 && visible < s->page_count && visible != s->visible_page) {
    lock_screen();
    s->visible_page = visible;
    s->visible = s->pages[visible];
    flag_rows(s, 0, s->height - 1);
    unlock_screen_unflagged();
  }
  return previous;
}

int PCOPY(int src, int dst) {
  GfxScreen* s = g_screen;
  if (!s) return 1;
  DrawContext* c = draw_context();
  if (src < 0) src = c->work_page;
  if (dst < 0) dst = s->visible_page;
  if (src >= s->page_count || dst >= s->page_count) return 1;
  if (src == dst) return 0;
  bool shown = dst == s->visible_page;
  if (shown) lock_screen();
  size_t offset = static_cast<size_t>(c->view_x) * s->bytes_per_pixel;
  size_t bytes = static_cast<size_t>(c->view_w) * s->bytes_per_pixel;
  for (int y = c->view_y; y < c->view_y + c->view_h; ++y) {
    size_t row = static_cast<size_t>(y) * s->pitch + offset;
    std::memcpy(s->pages[dst] + row, s->pages[src] + row, bytes);
  }
  s->mirrors[dst] = s->mirrors[src];
  if (shown) {
    flag_rows(s, c->view_y, c->view_y + c->view_h - 1);
    unlock_screen_unflagged();
  }
  return 0;
}

void copy_page_area(int src, int dst, int x1, int y1, int x2, int y2) {
  GfxScreen* s = g_screen;
  if (!s || src < 0 || dst < 0 || src >= s->page_count || dst >= s->page_count || src == dst)
    return;
  x1 = std::max(x1, 0), y1 = std::max(y1, 0);
  x2 = std::min(x2, s->width - 1), y2 = std::min(y2, s->height - 1);
  if (x1 > x2 || y1 > y2) return;
  const bool shown = dst == s->visible_page;
  if (shown) lock_screen();
  const size_t offset = static_cast<size_t>(x1) * s->bytes_per_pixel;
  const size_t bytes = static_cast<size_t>(x2 - x1 + 1) * s->bytes_per_pixel;
  for (int y = y1; y <= y2; ++y) {
    const size_t row = static_cast<size_t>(y) * s->pitch + offset;
    std::memcpy(s->pages[dst] + row, s->pages[src] + row, bytes);
  }
  if (shown) {
    flag_rows(s, y1, y2);
    unlock_screen_unflagged();
  }
}

void set_window_icon(int x, int y, int w, int h, uint32_t transparent) {
  GfxScreen* s = g_screen;
  if (!s || !s->driver->set_icon || s->depth > 8 || x < 0 || y < 0 || w <= 0 || h <= 0 ||
      x + w > s->width || y + h > s->height) {
    return;
  }
  DrawContext* c = draw_context();
  const int k = s->scanline_size;
  std::vector<uint32_t> argb(static_cast<size_t>(w) * h * k);
  lock_screen();
  for (int row = 0; row < h; ++row) {
    for (int col = 0; col < w; ++col) {
      uint32_t v = c->get_pixel(c->rows[y + row], x + col);
      uint32_t bgr = s->palette[v & 0xFF];  // 0x00BBGGRR
      uint32_t pixel = 0xFF000000u | (bgr & 0xFF) << 16 | (bgr & 0xFF00) | (bgr >> 16 & 0xFF);
      if (v == transparent) pixel = 0;
      for (int r = 0; r < k; ++r) argb[(static_cast<size_t>(row) * k + r) * w + col] = pixel;
    }
  }
  unlock_screen_unflagged();
  s->driver->set_icon(argb.data(), w, h * k);
}

void set_window_title(const std::string& utf8) {
  GfxScreen* s = g_screen;
  if (!s || !s->driver->set_title || s->title == utf8) return;
  s->title = utf8;
  s->driver->set_title(utf8.c_str());
}

void set_view_focus(int x, int y) {
  GfxScreen* s = g_screen;
  if (s && s->driver->set_view_focus) s->driver->set_view_focus(x, y);
}

uint32_t mask_colour(const GfxScreen* s, uint32_t colour) {
  if (s->depth <= 8) return colour & 0xFF;
  if (s->depth <= 16) {
    return ((colour >> 8) & 0xF800) | ((colour >> 5) & 0x07E0) | ((colour >> 3) & 0x001F);
  }
  return colour;
}

PageCopy copy_page_out(int page) {
  GfxScreen* s = g_screen;
  if (!s || page < 0 || page >= s->page_count) return {};
  size_t bytes = static_cast<size_t>(s->pitch) * s->height;
  return {std::vector<uint8_t>(s->pages[page], s->pages[page] + bytes), s->mirrors[page]};
}

void copy_page_in(int page, const PageCopy& copy) {
  GfxScreen* s = g_screen;
  size_t bytes = s ? static_cast<size_t>(s->pitch) * s->height : 0;
  if (!s || page < 0 || page >= s->page_count || copy.pixels.size() != bytes) return;
  lock_screen();
  std::memcpy(s->pages[page], copy.pixels.data(), bytes);
  s->mirrors[page] = copy.mirror;
  if (page == s->visible_page) flag_rows(s, 0, s->height - 1);
  unlock_screen_unflagged();
}
