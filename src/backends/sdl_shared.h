// sdl_shared.h - the state the SDL back-end's files share, and its lock
// protocol. Private to src/backends.
//
// Two threads. The program thread draws, reads keys and calls the driver's
// entries; the window thread (sdl_window.cpp) owns all of SDL's video, turns
// SDL's events into key codes and pointer events (sdl_events.cpp) and presents the flagged rows.
//
// The lock protocol (sdl_lock.cpp):
// - The screen lock is a recursive mutex. The program takes it, nested,
//   through the driver's lock and unlock; a per-thread depth counts its
//   holds, so that the outermost release is known.
// - Releasing the outermost hold with work left for the window thread
//   (flagged rows, or a new palette, icon or title) wakes the thread: the
//   program pushes one wake-up event of its own into SDL's queue, which ends
//   the thread's event wait. At most one wake-up is on its way (wake_pending);
//   the thread clears that mark before it takes the lock, so a change made
//   after it looked always sends a new one. A wake-up still unanswered after
//   250 ms is sent again (under load one can be lost): by the next release,
//   or by the key wait, which wakes every 250 ms while work waits.
// - The window thread holds the lock for the work of one cycle: taking the
//   palette, icon and title, converting the flagged rows, and writing keys
//   into the ring. It presents only after releasing it, so that a present
//   waiting for the display never stalls the program's drawing.
// - The key-arrived signal is a plain mutex (key_mutex) with a condition
//   variable. The lock order is key_mutex, then the screen lock: the key wait
//   holds key_mutex while it looks at the ring under the screen lock; the
//   window thread never takes key_mutex while it holds the screen lock.
// - Closing releases every hold the closing thread has (the forced unlock),
//   so that the window thread can finish its cycle and end.
#pragma once

#include <SDL.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <string>
#include <vector>

#include "backends/sdl_backend.h"
#include "backends/sdl_present.h"

struct GfxScreen;

enum class SdlPhase { Closed, Starting, Running, Failed };

// State shared by the program thread and the window thread.
struct SdlShared {
  std::recursive_mutex lock;  // the screen lock; guards screen, palette, icon, title
  GfxScreen* screen = nullptr;
  uint32_t palette[256] = {};  // ARGB
  bool palette_changed = false;

  std::mutex key_mutex;  // the key-arrived signal
  std::condition_variable key_cv;

  std::mutex run_mutex;  // start-up handshake
  std::condition_variable run_cv;
  SdlPhase phase = SdlPhase::Closed;
  std::atomic<bool> stop{false};
  // The window thread waits for events, and the program may wake it with an
  // event of the type wake_event; wake_pending while one is on its way.
  std::atomic<bool> running{false};
  std::atomic<bool> wake_pending{false};
  std::atomic<int64_t> wake_sent_ns{0};  // steady clock, when the last was pushed
  std::atomic<Uint32> wake_event{0};
  // An SDL thread, so that SDL frees what it keeps per thread when it ends.
  SDL_Thread* thread = nullptr;

  std::vector<uint32_t> icon;  // ARGB; kept for a reopened window
  int icon_w = 0, icon_h = 0;
  bool icon_changed = false;

  std::string title;  // UTF-8
  bool title_changed = false;

  int focus_x = 0, focus_y = 0;  // the program's cursor, which the zoomed view follows
  bool focus_changed = false;

  int refresh_rate = 0;
  std::atomic<uint64_t> presents{0};
  std::mutex stats_mutex;  // guards stats
  SdlCycleStats stats;
};

// State of the window thread alone (set up by open before the thread starts).
struct SdlWindow {
  std::string title;
  int width = 0, height = 0;   // presented size
  int rows = 0, scanline = 1;  // framebuffer rows, presented rows per row
  int flags = 0;
  bool video_started = false;
  SDL_Window* window = nullptr;
  SdlPresenter presenter;
  SDL_Cursor* crosshair = nullptr;
  std::vector<uint32_t> icon;  // taken from SdlShared, not yet set
  int icon_w = 0, icon_h = 0;
  bool title_changed = false;  // title taken from SdlShared, not yet set
  bool repaint = false;
  bool toggle_fullscreen = false;
  bool keys_written = false;
  int focus_x = 0, focus_y = 0;  // taken from SdlShared
  // The pointer: the picture pixel last written, the left button's press
  // (window pixels) and whether it has moved 3 pixels since; a press within
  // kFocusClickMs of the window gaining the focus is the focus click, which
  // is ignored with its release.
  int pointer_px = -1, pointer_py = -1;
  bool left_down = false, dragged = false, focus_click = false;
  int press_wx = 0, press_wy = 0;
  uint32_t focus_gained_ms = 0;
  // When the oldest key not yet followed by a presented frame was written.
  std::chrono::steady_clock::time_point key_at{};
};

extern SdlShared g_sdl;

// --- the lock protocol (sdl_lock.cpp) ---

void sdl_lock();
void sdl_unlock();
// Releases every hold of the calling thread (closing).
void sdl_release_holds();
// Pushes a wake-up event unconditionally (closing, or a lost one).
void sdl_push_wake_event();
// Whether the wake-up on its way was sent more than 250 ms ago.
bool sdl_wake_overdue();
// Tells the key wait that keys arrived (the window thread, outside the lock).
void sdl_signal_keys();
void sdl_wait_for_key(int ms);
void sdl_set_palette_entry(int index, int r, int g, int b);
void sdl_set_icon(const uint32_t* argb, int w, int h);
void sdl_set_title(const char* utf8);
void sdl_set_view_focus(int x, int y);

// --- events (sdl_events.cpp), on the window thread under the lock ---

// Handles the event the wait returned (if any) and all others queued; keys,
// the close request and pointer events go into the ring, zoom keys and
// Ctrl + wheel change the presenter's view.
void sdl_handle_events(SdlWindow& w, GfxScreen* s, const SDL_Event* first);
// The window's title: the program's, and the zoom when it is not 1.
std::string sdl_shown_title(const SdlWindow& w);
