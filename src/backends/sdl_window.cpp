// The SDL back-end's window: the visible page in a desktop window (X11 or
// Wayland, as SDL chooses), shown by a window thread. The lock protocol it
// shares with the program thread is stated in sdl_shared.h; the events are
// handled in sdl_events.cpp.
//
// The window thread owns all of SDL's video: it starts and stops the video
// subsystem (never SDL_Quit: the sound may be using SDL's audio), creates the
// window and its presenter (sdl_present.h), and handles the events. It sleeps
// in SDL's event wait until a window event comes or the program wakes it,
// and then runs one cycle: under the screen lock it applies a palette change,
// converts the flagged rows of the visible page, clears the flags and writes
// keys into the ring; after releasing the lock it shows the changed rows. A
// cycle with no flagged row and no palette change shows nothing. Without any
// event the thread still wakes every few seconds, so that SDL can keep the
// screen saver off.
//
// The window's icon and title are handed over like the palette: the program
// thread leaves a copy under the lock and the window thread sets it in its
// next cycle, so the title changes at most once per presented frame. The
// window thread also times its cycles, for the benchmarks.
//
// Rows are converted to 32-bit pixels in the display's channel order; a
// display of another depth is shown through SDL's renderer, which converts
// them, so converters to 15-, 16- and 24-bit pixels are left out.
#include <SDL.h>
#include <langinfo.h>

#include <algorithm>
#include <clocale>
#include <cstdlib>
#include <cstring>

#include "backends/backends.h"
#include "backends/sdl_shared.h"
#include "gfx/display_driver.h"
#include "gfx/screen.h"
#include "runtime/clock.h"

namespace {

// The longest event wait; SDL keeps the screen saver off from its event pump.
constexpr int kIdleWakeMs = 10000;

SdlWindow g_win;
std::string g_saved_ctype;  // the locale's character type before the window opened

bool has_display() {
  const char* x11 = std::getenv("DISPLAY");
  const char* wayland = std::getenv("WAYLAND_DISPLAY");
  return (x11 && *x11) || (wayland && *wayland);
}

void set_phase(SdlPhase phase) {
  {
    std::lock_guard<std::mutex> guard(g_sdl.run_mutex);
    g_sdl.phase = phase;
  }
  g_sdl.run_cv.notify_all();
}

// --- window thread: set-up and tear-down ---

// The largest whole multiple of the presented size that fits the usable area
// of the display the window opens on (at least 1).
int opening_scale(const SdlWindow& w) {
  SDL_Rect usable{};
  if (SDL_GetDisplayUsableBounds(0, &usable) != 0) return 1;
  return std::max(1, std::min(usable.w / w.width, usable.h / w.height));
}

bool create_window(SdlWindow& w) {
  if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) return false;
  w.video_started = true;
  g_sdl.wake_event = SDL_RegisterEvents(1);
  if (g_sdl.wake_event == static_cast<Uint32>(-1)) return false;
  Uint32 flags = 0;
  if (!(w.flags & kScreenNoSwitch)) flags |= SDL_WINDOW_RESIZABLE;
  if (w.flags & kScreenNoFrame) flags |= SDL_WINDOW_BORDERLESS;
  if (w.flags & kScreenOnTop) flags |= SDL_WINDOW_ALWAYS_ON_TOP;
  if (w.flags & kScreenFullScreen) flags |= SDL_WINDOW_FULLSCREEN_DESKTOP;
  const int scale = opening_scale(w);
  w.window = SDL_CreateWindow(w.title.c_str(), SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED,
                              w.width * scale, w.height * scale, flags);
  if (!w.window) return false;
  SDL_SetWindowMinimumSize(w.window, w.width, w.height);
  if (!sdl_present_create(w.presenter, w.window, w.width, w.rows, w.scanline)) return false;
  // A crosshair whose hot spot is the pixel the drawing cursor marks.
  w.crosshair = SDL_CreateSystemCursor(SDL_SYSTEM_CURSOR_CROSSHAIR);
  if (w.crosshair) SDL_SetCursor(w.crosshair);
  SDL_DisableScreenSaver();
  SDL_StartTextInput();
  w.repaint = true;
  return true;
}

void destroy_window(SdlWindow& w) {
  sdl_present_destroy(w.presenter);
  if (w.crosshair) SDL_FreeCursor(w.crosshair);
  w.crosshair = nullptr;
  if (w.window) {
    SDL_EnableScreenSaver();
    SDL_DestroyWindow(w.window);
  }
  if (w.video_started) SDL_QuitSubSystem(SDL_INIT_VIDEO);
  w.window = nullptr, w.video_started = false;
}

// --- window thread: the work done under the lock ---

// Converts the flagged rows of the visible page.
void convert_flagged_rows(SdlWindow& w, GfxScreen* s) {
  for (int y = 0; y < w.rows; ++y) {
    if (s->row_flags[y])
      sdl_present_convert_row(w.presenter, y, s->visible + static_cast<size_t>(y) * s->pitch);
  }
  std::fill(s->row_flags.begin(), s->row_flags.end(), 0);
}

// --- window thread: the work done after releasing the lock ---

void set_icon(SdlWindow& w) {
  SDL_Surface* icon = SDL_CreateRGBSurfaceWithFormatFrom(w.icon.data(), w.icon_w, w.icon_h, 32,
                                                         w.icon_w * 4, SDL_PIXELFORMAT_ARGB8888);
  if (icon) {
    SDL_SetWindowIcon(w.window, icon);
    SDL_FreeSurface(icon);
  }
  w.icon.clear();
}

uint64_t ns_between(std::chrono::steady_clock::time_point a,
                    std::chrono::steady_clock::time_point b) {
  return static_cast<uint64_t>(std::chrono::duration_cast<std::chrono::nanoseconds>(b - a).count());
}

// A frame presented by a cycle that began after a key was written is the
// first that can show the program's answer to it.
void count_cycle(SdlWindow& w, bool presented, std::chrono::steady_clock::time_point start) {
  const auto end = std::chrono::steady_clock::now();
  std::lock_guard<std::mutex> guard(g_sdl.stats_mutex);
  SdlCycleStats& st = g_sdl.stats;
  (presented ? st.presented : st.unchanged) += 1;
  (presented ? st.presented_ns : st.unchanged_ns) += ns_between(start, end);
  if (presented && w.key_at != std::chrono::steady_clock::time_point{} && w.key_at < start) {
    st.keys_shown += 1;
    st.key_to_shown_ns += ns_between(w.key_at, end);
    w.key_at = {};
  }
}

void toggle_fullscreen(SdlWindow& w) {
  bool full = SDL_GetWindowFlags(w.window) & SDL_WINDOW_FULLSCREEN;
  SDL_SetWindowFullscreen(w.window, full ? 0 : SDL_WINDOW_FULLSCREEN_DESKTOP);
  w.repaint = true;
}

// A zoomed view scrolls to keep the program's cursor in sight.
void follow_focus(SdlWindow& w) {
  View& v = w.presenter.view;
  const int x = v.scroll_x, y = v.scroll_y;
  view_follow(v, w.focus_x, w.focus_y);
  if (v.scroll_x != x || v.scroll_y != y) w.repaint = true;
}

void run_cycle(SdlWindow& w, const SDL_Event* first) {
  const auto start = std::chrono::steady_clock::now();
  g_sdl.wake_pending = false;  // from here on, a change sends a new wake-up
  {
    std::lock_guard<std::recursive_mutex> guard(g_sdl.lock);
    GfxScreen* s = g_sdl.screen;
    if (g_sdl.icon_changed) {
      w.icon = g_sdl.icon, w.icon_w = g_sdl.icon_w, w.icon_h = g_sdl.icon_h;
      g_sdl.icon_changed = false;
    }
    if (g_sdl.focus_changed) {
      w.focus_x = g_sdl.focus_x, w.focus_y = g_sdl.focus_y;
      g_sdl.focus_changed = false;
      follow_focus(w);
    }
    if (g_sdl.title_changed) {
      w.title = g_sdl.title;
      w.title_changed = true;
      g_sdl.title_changed = false;
    }
    if (g_sdl.palette_changed) {
      sdl_present_set_palette(w.presenter, g_sdl.palette);
      g_sdl.palette_changed = false;
      std::fill(s->row_flags.begin(), s->row_flags.end(), 1);
    }
    convert_flagged_rows(w, s);
    sdl_handle_events(w, s, first);
  }
  if (w.keys_written) {
    w.keys_written = false;
    sdl_signal_keys();
  }
  if (w.toggle_fullscreen) {
    w.toggle_fullscreen = false;
    toggle_fullscreen(w);
  }
  if (!w.icon.empty()) set_icon(w);
  const bool presented = sdl_present_show(w.presenter, w.repaint);
  w.repaint = false;
  if (presented) g_sdl.presents.fetch_add(1, std::memory_order_relaxed);
  if (w.title_changed) {
    w.title_changed = false;
    SDL_SetWindowTitle(w.window, sdl_shown_title(w).c_str());
  }
  count_cycle(w, presented, start);
}

int window_thread(void* data) {
  auto* w = static_cast<SdlWindow*>(data);
  if (w->flags & kScreenHighPriority) SDL_SetThreadPriority(SDL_THREAD_PRIORITY_HIGH);
  bool ok = create_window(*w);
  g_sdl.running = ok;
  set_phase(ok ? SdlPhase::Running : SdlPhase::Failed);
  SDL_Event event;
  bool have_event = false;
  while (ok && !g_sdl.stop) {
    run_cycle(*w, have_event ? &event : nullptr);
    have_event = SDL_WaitEventTimeout(&event, kIdleWakeMs) == 1;
  }
  destroy_window(*w);
  return 0;
}

// --- the driver entries (program thread) ---

// Xlib converts a window's title through the character type of the C
// library's locale, and in one that is not UTF-8 SDL cannot set a title
// with letters outside ASCII. While the window exists the character type is
// therefore UTF-8; closing puts back what was there.
void use_utf8_ctype() {
  if (std::strcmp(nl_langinfo(CODESET), "UTF-8") == 0) return;
  g_saved_ctype = std::setlocale(LC_CTYPE, nullptr);
  if (!std::setlocale(LC_CTYPE, "C.UTF-8")) g_saved_ctype.clear();
}

void restore_ctype() {
  if (!g_saved_ctype.empty()) std::setlocale(LC_CTYPE, g_saved_ctype.c_str());
  g_saved_ctype.clear();
}

void sdl_close();

void sdl_wait_for_retrace() {
  sleep_ms(g_sdl.refresh_rate > 0 ? 1000 / g_sdl.refresh_rate : 16);
}

int sdl_open(GfxScreen* screen, const char* title, int width, int height, int depth,
             int refresh_rate, int flags) {
  if (!has_display()) return 1;
  // Only 8-bit pixels have a converter; the OpenGL flag belongs to another back-end.
  if (depth > 8 || (flags & kScreenOpenGl) || g_sdl.thread) return 1;
  if (width != screen->width || height != screen->height * screen->scanline_size) return 1;
  if (flags & kScreenShaped) flags |= kScreenNoSwitch | kScreenNoFrame;
  // So that SIGINT and SIGTERM end the program instead of becoming close requests.
  SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
  SDL_SetHint(SDL_HINT_RENDER_SCALE_QUALITY, "nearest");
  // The window's surface in the display's own memory (shared with the X
  // server where it can be), not one that SDL draws through a renderer:
  // only the changed row bands then travel to the display.
  SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
  g_win = SdlWindow{};
  g_win.title = title;
  g_win.width = width, g_win.height = height;
  g_win.rows = screen->height, g_win.scanline = screen->scanline_size;
  g_win.flags = flags;
  {
    std::lock_guard<std::recursive_mutex> guard(g_sdl.lock);
    g_sdl.screen = screen;
    std::fill(std::begin(g_sdl.palette), std::end(g_sdl.palette), 0xFF000000u);
    g_sdl.palette_changed = true;
    g_sdl.icon_changed = !g_sdl.icon.empty();
    g_sdl.title = title;
    g_sdl.title_changed = false;
  }
  g_sdl.refresh_rate = refresh_rate;
  g_sdl.focus_changed = false;
  g_sdl.phase = SdlPhase::Starting;
  g_sdl.stop = false;
  g_sdl.wake_pending = false;
  use_utf8_ctype();
  g_sdl.thread = SDL_CreateThread(window_thread, "window", &g_win);
  if (!g_sdl.thread) return 1;
  std::unique_lock<std::mutex> lk(g_sdl.run_mutex);
  g_sdl.run_cv.wait(lk, [] { return g_sdl.phase != SdlPhase::Starting; });
  bool ok = g_sdl.phase == SdlPhase::Running;
  lk.unlock();
  if (!ok) sdl_close();
  return ok ? 0 : 1;
}

void sdl_close() {
  sdl_release_holds();
  if (!g_sdl.thread) {
    restore_ctype();
    return;
  }
  g_sdl.stop = true;
  if (g_sdl.running.exchange(false)) sdl_push_wake_event();
  SDL_WaitThread(g_sdl.thread, nullptr);
  restore_ctype();
  g_sdl.thread = nullptr;
  g_sdl.phase = SdlPhase::Closed;
  std::lock_guard<std::recursive_mutex> guard(g_sdl.lock);
  g_sdl.screen = nullptr;
}

}  // namespace

uint64_t sdl_present_count() {
  return g_sdl.presents.load(std::memory_order_relaxed);
}

SdlCycleStats sdl_cycle_stats() {
  std::lock_guard<std::mutex> guard(g_sdl.stats_mutex);
  return g_sdl.stats;
}

const DisplayDriver kSdlDriver = {
    .name = "SDL",
    .open = sdl_open,
    .close = sdl_close,
    .lock = sdl_lock,
    .unlock = sdl_unlock,
    .set_palette_entry = sdl_set_palette_entry,
    .wait_for_retrace = sdl_wait_for_retrace,
    .list_modes = nullptr,
    .on_empty_ring = nullptr,
    .wait_for_key = sdl_wait_for_key,
    .set_icon = sdl_set_icon,
    .set_title = sdl_set_title,
    .set_view_focus = sdl_set_view_focus,
    .virtual_time = false,
};
