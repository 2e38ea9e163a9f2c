// The SDL back-end: the visible page in a desktop window (X11 or Wayland, as
// SDL chooses), shown by a window thread that also turns keys into codes.
//
// The window thread owns all of SDL's video: it starts and stops the video
// subsystem (never SDL_Quit: the sound may be using SDL's audio), creates the
// window and its presenter (sdl_present.h), and handles the events. It sleeps in SDL's
// event wait until a window event comes or the program wakes it, and then
// runs one cycle: it takes the lock shared with the program thread, applies a
// palette change, converts the flagged rows of the visible page, clears the
// flags and writes keys into the ring. It then releases the lock, and only
// then shows the changed rows. Presenting outside the lock,
// rather than holding it for the whole cycle, is deliberate: a present that
// waits for the display's vertical blank must never stall the program's
// drawing. What the lock still guarantees is that no row is converted while a
// drawing operation changes it. A cycle with no flagged row and no palette
// change shows nothing.
//
// The program wakes the thread when it releases the lock with work left for
// it (flagged rows, or a new palette, icon or title): it pushes one event of
// its own into SDL's queue, which ends the event wait. At most one such event
// is on its way at a time; the thread clears that mark before it takes the
// lock, so a change made after it looked always sends a new one, and no
// change waits for a later event. Without any event the thread still wakes
// every few seconds, so that SDL can keep the screen saver off.
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
#include <atomic>
#include <chrono>
#include <clocale>
#include <condition_variable>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <string>
#include <vector>

#include "backends/backends.h"
#include "backends/sdl_backend.h"
#include "backends/sdl_keys.h"
#include "backends/sdl_present.h"
#include "gfx/display_driver.h"
#include "gfx/keyboard.h"
#include "gfx/keycodes.h"
#include "gfx/screen.h"
#include "runtime/clock.h"

namespace {

// The longest event wait; SDL keeps the screen saver off from its event pump.
constexpr int kIdleWakeMs = 10000;
// A change still waiting this long after its wake-up was sent sends another:
// under load a wake-up event can be lost, and the change would otherwise wait
// for the thread's idle wake-up.
constexpr auto kWakeRetry = std::chrono::milliseconds(250);

enum class Phase { Closed, Starting, Running, Failed };

// State shared by the program thread and the window thread.
struct Shared {
  std::recursive_mutex lock;  // the screen lock; guards screen, palette
  GfxScreen* screen = nullptr;
  uint32_t palette[256] = {};  // ARGB
  bool palette_changed = false;

  std::mutex key_mutex;  // the key-arrived signal
  std::condition_variable key_cv;

  std::mutex run_mutex;  // start-up handshake
  std::condition_variable run_cv;
  Phase phase = Phase::Closed;
  std::atomic<bool> stop{false};
  // The window thread waits for events, and the program may wake it with an
  // event of the type wake_event; wake_pending while one is on its way.
  std::atomic<bool> running{false};
  std::atomic<bool> wake_pending{false};
  std::atomic<int64_t> wake_sent_ns{0};  // steady clock, when the last was pushed
  std::atomic<Uint32> wake_event{0};
  // An SDL thread, so that SDL frees what it keeps per thread when it ends.
  SDL_Thread* thread = nullptr;

  std::vector<uint32_t> icon;  // ARGB, guarded by lock; kept for a reopened window
  int icon_w = 0, icon_h = 0;
  bool icon_changed = false;

  std::string title;  // UTF-8, guarded by lock
  bool title_changed = false;

  int refresh_rate = 0;
  std::atomic<uint64_t> presents{0};
  std::mutex stats_mutex;  // guards stats
  SdlCycleStats stats;
};

// State of the window thread alone (set up by open before the thread starts).
struct Window {
  std::string title;
  int width = 0, height = 0;   // presented size
  int rows = 0, scanline = 1;  // framebuffer rows, presented rows per row
  int flags = 0;
  bool video_started = false;
  SDL_Window* window = nullptr;
  SdlPresenter presenter;
  std::vector<uint32_t> icon;  // taken from Shared, not yet set
  int icon_w = 0, icon_h = 0;
  bool title_changed = false;  // title taken from Shared, not yet set
  bool repaint = false;
  bool toggle_fullscreen = false;
  bool keys_written = false;
  // When the oldest key not yet followed by a presented frame was written.
  std::chrono::steady_clock::time_point key_at{};
};

Shared g;
Window g_win;
std::string g_saved_ctype;          // the locale's character type before the window opened
thread_local int t_lock_depth = 0;  // how often this thread holds g.lock

bool has_display() {
  const char* x11 = std::getenv("DISPLAY");
  const char* wayland = std::getenv("WAYLAND_DISPLAY");
  return (x11 && *x11) || (wayland && *wayland);
}

void set_phase(Phase phase) {
  {
    std::lock_guard<std::mutex> guard(g.run_mutex);
    g.phase = phase;
  }
  g.run_cv.notify_all();
}

// Ends the window thread's event wait.
void push_wake_event() {
  g.wake_sent_ns = std::chrono::steady_clock::now().time_since_epoch().count();
  SDL_Event e{};
  e.type = g.wake_event;
  SDL_PushEvent(&e);
}

// Wakes the window thread unless a wake-up is already on its way. Should the
// push fail (SDL's queue full), the thread is awake anyway and clears the
// mark in its next cycle.
void wake_window_thread() {
  if (g.running && !g.wake_pending.exchange(true)) push_wake_event();
}

// Whether the wake-up on its way was sent longer than kWakeRetry ago.
bool wake_overdue() {
  const auto sent = std::chrono::steady_clock::time_point(
      std::chrono::steady_clock::duration(g.wake_sent_ns.load()));
  return g.wake_pending && std::chrono::steady_clock::now() - sent > kWakeRetry;
}

// --- window thread: set-up and tear-down ---

// The largest whole multiple of the presented size that fits the usable area
// of the display the window opens on (at least 1).
int opening_scale(const Window& w) {
  SDL_Rect usable{};
  if (SDL_GetDisplayUsableBounds(0, &usable) != 0) return 1;
  return std::max(1, std::min(usable.w / w.width, usable.h / w.height));
}

bool create_window(Window& w) {
  if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) return false;
  w.video_started = true;
  g.wake_event = SDL_RegisterEvents(1);
  if (g.wake_event == static_cast<Uint32>(-1)) return false;
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
  SDL_DisableScreenSaver();
  SDL_StartTextInput();
  w.repaint = true;
  return true;
}

void destroy_window(Window& w) {
  sdl_present_destroy(w.presenter);
  if (w.window) {
    SDL_EnableScreenSaver();
    SDL_DestroyWindow(w.window);
  }
  if (w.video_started) SDL_QuitSubSystem(SDL_INIT_VIDEO);
  w.window = nullptr, w.video_started = false;
}

// --- window thread: the work done under the lock ---

// Converts the flagged rows of the visible page.
void convert_flagged_rows(Window& w, GfxScreen* s) {
  for (int y = 0; y < w.rows; ++y) {
    if (s->row_flags[y])
      sdl_present_convert_row(w.presenter, y, s->visible + static_cast<size_t>(y) * s->pitch);
  }
  std::fill(s->row_flags.begin(), s->row_flags.end(), 0);
}

void write_key(Window& w, GfxScreen* s, uint32_t code) {
  if (code == 0) return;
  key_ring_write(s->keys, code);
  w.keys_written = true;
  if (w.key_at == std::chrono::steady_clock::time_point{})
    w.key_at = std::chrono::steady_clock::now();
}

void write_text(Window& w, GfxScreen* s, const char* text) {
  for (char c : translate_text(text)) write_key(w, s, static_cast<uint8_t>(c));
}

void handle_key_down(Window& w, GfxScreen* s, const SDL_KeyboardEvent& key) {
  const SDL_Keysym& k = key.keysym;
  if (is_fullscreen_toggle(k.scancode, k.mod)) {
    if (!key.repeat && !(w.flags & kScreenNoSwitch)) w.toggle_fullscreen = true;
    return;
  }
  // SDL queues the text a key types right behind its key-down.
  SDL_Event next;
  bool has_text = SDL_PeepEvents(&next, 1, SDL_PEEKEVENT, SDL_FIRSTEVENT, SDL_LASTEVENT) == 1 &&
                  next.type == SDL_TEXTINPUT;
  if (has_text) SDL_PeepEvents(&next, 1, SDL_GETEVENT, SDL_TEXTINPUT, SDL_TEXTINPUT);
  KeyDownResult r =
      translate_key_down(k.scancode, k.sym, k.mod, has_text ? next.text.text : nullptr);
  write_key(w, s, r.code);
  if (has_text && !r.drop_text) write_text(w, s, next.text.text);
}

void handle_window_event(Window& w, GfxScreen* s, const SDL_WindowEvent& e) {
  switch (e.event) {
    case SDL_WINDOWEVENT_CLOSE:  // the window stays; the program decides
      write_key(w, s, kCloseKey);
      break;
    case SDL_WINDOWEVENT_EXPOSED:
    case SDL_WINDOWEVENT_SIZE_CHANGED:
    case SDL_WINDOWEVENT_MAXIMIZED:
    case SDL_WINDOWEVENT_RESTORED:
      w.repaint = true;
      break;
    default:
      break;
  }
}

void handle_event(Window& w, GfxScreen* s, const SDL_Event& e) {
  switch (e.type) {
    case SDL_KEYDOWN:
      handle_key_down(w, s, e.key);
      break;
    case SDL_TEXTINPUT:  // text of no key-down (an input method's)
      if (!(SDL_GetModState() & (KMOD_CTRL | KMOD_LALT))) write_text(w, s, e.text.text);
      break;
    case SDL_WINDOWEVENT:
      handle_window_event(w, s, e.window);
      break;
    default:  // the program's wake-up, and SDL_QUIT after a close request
      break;
  }
}

// Handles the event the wait returned (if any) and all others queued.
void handle_events(Window& w, GfxScreen* s, const SDL_Event* first) {
  if (first) handle_event(w, s, *first);
  SDL_Event e;
  while (SDL_PollEvent(&e)) handle_event(w, s, e);
}

// --- window thread: the work done after releasing the lock ---

void set_icon(Window& w) {
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
void count_cycle(Window& w, bool presented, std::chrono::steady_clock::time_point start) {
  const auto end = std::chrono::steady_clock::now();
  std::lock_guard<std::mutex> guard(g.stats_mutex);
  SdlCycleStats& st = g.stats;
  (presented ? st.presented : st.unchanged) += 1;
  (presented ? st.presented_ns : st.unchanged_ns) += ns_between(start, end);
  if (presented && w.key_at != std::chrono::steady_clock::time_point{} && w.key_at < start) {
    st.keys_shown += 1;
    st.key_to_shown_ns += ns_between(w.key_at, end);
    w.key_at = {};
  }
}

void toggle_fullscreen(Window& w) {
  bool full = SDL_GetWindowFlags(w.window) & SDL_WINDOW_FULLSCREEN;
  SDL_SetWindowFullscreen(w.window, full ? 0 : SDL_WINDOW_FULLSCREEN_DESKTOP);
  w.repaint = true;
}

void run_cycle(Window& w, const SDL_Event* first) {
  const auto start = std::chrono::steady_clock::now();
  g.wake_pending = false;  // from here on, a change sends a new wake-up
  {
    std::lock_guard<std::recursive_mutex> guard(g.lock);
    GfxScreen* s = g.screen;
    if (g.icon_changed) {
      w.icon = g.icon, w.icon_w = g.icon_w, w.icon_h = g.icon_h;
      g.icon_changed = false;
    }
    if (g.title_changed) {
      w.title = g.title;
      w.title_changed = true;
      g.title_changed = false;
    }
    if (g.palette_changed) {
      sdl_present_set_palette(w.presenter, g.palette);
      g.palette_changed = false;
      std::fill(s->row_flags.begin(), s->row_flags.end(), 1);
    }
    convert_flagged_rows(w, s);
    handle_events(w, s, first);
  }
  if (w.keys_written) {
    w.keys_written = false;
    { std::lock_guard<std::mutex> guard(g.key_mutex); }
    g.key_cv.notify_all();
  }
  if (w.toggle_fullscreen) {
    w.toggle_fullscreen = false;
    toggle_fullscreen(w);
  }
  if (!w.icon.empty()) set_icon(w);
  const bool presented = sdl_present_show(w.presenter, w.repaint);
  w.repaint = false;
  if (presented) g.presents.fetch_add(1, std::memory_order_relaxed);
  if (w.title_changed) {
    w.title_changed = false;
    SDL_SetWindowTitle(w.window, w.title.c_str());
  }
  count_cycle(w, presented, start);
}

int window_thread(void* data) {
  auto* w = static_cast<Window*>(data);
  if (w->flags & kScreenHighPriority) SDL_SetThreadPriority(SDL_THREAD_PRIORITY_HIGH);
  bool ok = create_window(*w);
  g.running = ok;
  set_phase(ok ? Phase::Running : Phase::Failed);
  SDL_Event event;
  bool have_event = false;
  while (ok && !g.stop) {
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

int sdl_open(GfxScreen* screen, const char* title, int width, int height, int depth,
             int refresh_rate, int flags) {
  if (!has_display()) return 1;
  // Only 8-bit pixels have a converter; the OpenGL flag belongs to another back-end.
  if (depth > 8 || (flags & kScreenOpenGl) || g.thread) return 1;
  if (width != screen->width || height != screen->height * screen->scanline_size) return 1;
  if (flags & kScreenShaped) flags |= kScreenNoSwitch | kScreenNoFrame;
  // So that SIGINT and SIGTERM end the program instead of becoming close requests.
  SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
  SDL_SetHint(SDL_HINT_RENDER_SCALE_QUALITY, "nearest");
  // The window's surface in the display's own memory (shared with the X
  // server where it can be), not one that SDL draws through a renderer:
  // only the changed row bands then travel to the display.
  SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
  g_win = Window{};
  g_win.title = title;
  g_win.width = width, g_win.height = height;
  g_win.rows = screen->height, g_win.scanline = screen->scanline_size;
  g_win.flags = flags;
  {
    std::lock_guard<std::recursive_mutex> guard(g.lock);
    g.screen = screen;
    std::fill(std::begin(g.palette), std::end(g.palette), 0xFF000000u);
    g.palette_changed = true;
    g.icon_changed = !g.icon.empty();
    g.title = title;
    g.title_changed = false;
  }
  g.refresh_rate = refresh_rate;
  g.phase = Phase::Starting;
  g.stop = false;
  g.wake_pending = false;
  use_utf8_ctype();
  g.thread = SDL_CreateThread(window_thread, "window", &g_win);
  if (!g.thread) return 1;
  std::unique_lock<std::mutex> lk(g.run_mutex);
  g.run_cv.wait(lk, [] { return g.phase != Phase::Starting; });
  bool ok = g.phase == Phase::Running;
  lk.unlock();
  if (!ok) sdl_close();
  return ok ? 0 : 1;
}

void sdl_close() {
  for (; t_lock_depth > 0; --t_lock_depth) g.lock.unlock();
  if (!g.thread) {
    restore_ctype();
    return;
  }
  g.stop = true;
  if (g.running.exchange(false)) push_wake_event();
  SDL_WaitThread(g.thread, nullptr);
  restore_ctype();
  g.thread = nullptr;
  g.phase = Phase::Closed;
  std::lock_guard<std::recursive_mutex> guard(g.lock);
  g.screen = nullptr;
}

void sdl_lock() {
  g.lock.lock();
  ++t_lock_depth;
}

// Whether the window thread has work waiting (the caller holds the lock).
bool work_waiting() {
  const GfxScreen* s = g.screen;
  if (g.palette_changed || g.icon_changed || g.title_changed) return true;
  return s && std::memchr(s->row_flags.data(), 1, s->row_flags.size()) != nullptr;
}

// Releasing the outermost hold wakes the window thread for what was left.
void sdl_unlock() {
  const bool outermost = --t_lock_depth == 0 && g.running;
  const bool wake = outermost && !g.wake_pending.load() && work_waiting();
  const bool again = outermost && !wake && wake_overdue() && work_waiting();
  g.lock.unlock();
  if (wake) wake_window_thread();
  if (again) push_wake_event();
}

// A change made without holding the lock wakes the window thread at once;
// under the lock, the outermost release does.
void after_change() {
  if (t_lock_depth == 0) wake_window_thread();
}

void sdl_set_palette_entry(int index, int r, int gr, int b) {
  if (index < 0 || index > 255) return;
  {
    std::lock_guard<std::recursive_mutex> guard(g.lock);
    g.palette[index] = 0xFF000000u | (r & 0xFF) << 16 | (gr & 0xFF) << 8 | (b & 0xFF);
    g.palette_changed = true;
  }
  after_change();
}

void sdl_set_icon(const uint32_t* argb, int w, int h) {
  if (!argb || w <= 0 || h <= 0) return;
  {
    std::lock_guard<std::recursive_mutex> guard(g.lock);
    g.icon.assign(argb, argb + static_cast<size_t>(w) * h);
    g.icon_w = w, g.icon_h = h;
    g.icon_changed = true;
  }
  after_change();
}

void sdl_set_title(const char* utf8) {
  {
    std::lock_guard<std::recursive_mutex> guard(g.lock);
    g.title = utf8;
    g.title_changed = true;
  }
  after_change();
}

void sdl_wait_for_retrace() {
  sleep_ms(g.refresh_rate > 0 ? 1000 / g.refresh_rate : 16);
}

bool key_pending() {
  std::lock_guard<std::recursive_mutex> guard(g.lock);
  return g.screen && !key_ring_empty(g.screen->keys);
}

bool change_waiting() {
  std::lock_guard<std::recursive_mutex> guard(g.lock);
  return g.running && work_waiting();
}

// While a change of the program's waits for the window thread, the wait
// wakes every kWakeRetry to send a lost wake-up again; otherwise it sleeps
// until a key comes or the time is up.
void sdl_wait_for_key(int ms) {
  using Clock = std::chrono::steady_clock;
  const auto end = ms < 0 ? Clock::time_point::max() : Clock::now() + std::chrono::milliseconds(ms);
  std::unique_lock<std::mutex> lk(g.key_mutex);
  while (!key_pending()) {
    const bool waiting = change_waiting();
    const auto until = waiting ? std::min(end, Clock::now() + kWakeRetry) : end;
    if (until == Clock::time_point::max()) {
      g.key_cv.wait(lk, key_pending);
    } else if (g.key_cv.wait_until(lk, until, key_pending)) {
      return;
    }
    if (Clock::now() >= end) return;
    if (waiting && wake_overdue() && change_waiting()) push_wake_event();
  }
}

}  // namespace

uint64_t sdl_present_count() {
  return g.presents.load(std::memory_order_relaxed);
}

SdlCycleStats sdl_cycle_stats() {
  std::lock_guard<std::mutex> guard(g.stats_mutex);
  return g.stats;
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
    .virtual_time = false,
};
