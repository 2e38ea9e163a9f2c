// The SDL back-end's lock protocol and the program thread's entries that
// hand work to the window thread (the protocol: sdl_shared.h).
#include <algorithm>
#include <cstring>

#include "backends/sdl_shared.h"
#include "gfx/keyboard.h"
#include "gfx/screen.h"

SdlShared g_sdl;

namespace {

// A change still waiting this long after its wake-up was sent sends another:
// under load a wake-up event can be lost, and the change would otherwise wait
// for the thread's idle wake-up.
constexpr auto kWakeRetry = std::chrono::milliseconds(250);

thread_local int t_lock_depth = 0;  // how often this thread holds g_sdl.lock

// Wakes the window thread unless a wake-up is already on its way. Should the
// push fail (SDL's queue full), the thread is awake anyway and clears the
// mark in its next cycle.
void wake_window_thread() {
  if (g_sdl.running && !g_sdl.wake_pending.exchange(true)) sdl_push_wake_event();
}

// Whether the window thread has work waiting (the caller holds the lock).
bool work_waiting() {
  const GfxScreen* s = g_sdl.screen;
  if (g_sdl.palette_changed || g_sdl.icon_changed || g_sdl.title_changed) return true;
  if (g_sdl.focus_changed) return true;
  return s && std::memchr(s->row_flags.data(), 1, s->row_flags.size()) != nullptr;
}

// A change made without holding the lock wakes the window thread at once;
// under the lock, the outermost release does.
void after_change() {
  if (t_lock_depth == 0) wake_window_thread();
}

bool key_pending() {
  std::lock_guard<std::recursive_mutex> guard(g_sdl.lock);
  return g_sdl.screen && !key_ring_empty(g_sdl.screen->keys);
}

bool change_waiting() {
  std::lock_guard<std::recursive_mutex> guard(g_sdl.lock);
  return g_sdl.running && work_waiting();
}

}  // namespace

void sdl_push_wake_event() {
  g_sdl.wake_sent_ns = std::chrono::steady_clock::now().time_since_epoch().count();
  SDL_Event e{};
  e.type = g_sdl.wake_event;
  SDL_PushEvent(&e);
}

bool sdl_wake_overdue() {
  const auto sent = std::chrono::steady_clock::time_point(
      std::chrono::steady_clock::duration(g_sdl.wake_sent_ns.load()));
  return g_sdl.wake_pending && std::chrono::steady_clock::now() - sent > kWakeRetry;
}

void sdl_lock() {
  g_sdl.lock.lock();
  ++t_lock_depth;
}

// Releasing the outermost hold wakes the window thread for what was left.
void sdl_unlock() {
  const bool outermost = --t_lock_depth == 0 && g_sdl.running;
  const bool wake = outermost && !g_sdl.wake_pending.load() && work_waiting();
  const bool again = outermost && !wake && sdl_wake_overdue() && work_waiting();
  g_sdl.lock.unlock();
  if (wake) wake_window_thread();
  if (again) sdl_push_wake_event();
}

void sdl_release_holds() {
  for (; t_lock_depth > 0; --t_lock_depth) g_sdl.lock.unlock();
}

void sdl_signal_keys() {
  { std::lock_guard<std::mutex> guard(g_sdl.key_mutex); }
  g_sdl.key_cv.notify_all();
}

void sdl_set_palette_entry(int index, int r, int gr, int b) {
  if (index < 0 || index > 255) return;
  {
    std::lock_guard<std::recursive_mutex> guard(g_sdl.lock);
    g_sdl.palette[index] = 0xFF000000u | (r & 0xFF) << 16 | (gr & 0xFF) << 8 | (b & 0xFF);
    g_sdl.palette_changed = true;
  }
  after_change();
}

void sdl_set_icon(const uint32_t* argb, int w, int h) {
  if (!argb || w <= 0 || h <= 0) return;
  {
    std::lock_guard<std::recursive_mutex> guard(g_sdl.lock);
    g_sdl.icon.assign(argb, argb + static_cast<size_t>(w) * h);
    g_sdl.icon_w = w, g_sdl.icon_h = h;
    g_sdl.icon_changed = true;
  }
  after_change();
}

void sdl_set_title(const char* utf8) {
  {
    std::lock_guard<std::recursive_mutex> guard(g_sdl.lock);
    g_sdl.title = utf8;
    g_sdl.title_changed = true;
  }
  after_change();
}

void sdl_set_view_focus(int x, int y) {
  {
    std::lock_guard<std::recursive_mutex> guard(g_sdl.lock);
    if (g_sdl.focus_x == x && g_sdl.focus_y == y) return;
    g_sdl.focus_x = x, g_sdl.focus_y = y;
    g_sdl.focus_changed = true;
  }
  after_change();
}

// While a change of the program's waits for the window thread, the wait
// wakes every kWakeRetry to send a lost wake-up again; otherwise it sleeps
// until a key comes or the time is up.
void sdl_wait_for_key(int ms) {
  using Clock = std::chrono::steady_clock;
  const auto end = ms < 0 ? Clock::time_point::max() : Clock::now() + std::chrono::milliseconds(ms);
  std::unique_lock<std::mutex> lk(g_sdl.key_mutex);
  while (!key_pending()) {
    const bool waiting = change_waiting();
    const auto until = waiting ? std::min(end, Clock::now() + kWakeRetry) : end;
    if (until == Clock::time_point::max()) {
      g_sdl.key_cv.wait(lk, key_pending);
    } else if (g_sdl.key_cv.wait_until(lk, until, key_pending)) {
      return;
    }
    if (Clock::now() >= end) return;
    if (waiting && sdl_wake_overdue() && change_waiting()) sdl_push_wake_event();
  }
}
