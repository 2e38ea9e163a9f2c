// display_driver.h - the one table of operations between the graphics runtime
// and a display back-end.
//
// A back-end fills a DisplayDriver record; the runtime reaches the desktop (or
// a test harness) only through it. Entries a back-end does not offer are null.
// Back-ends register themselves with register_display_driver() before the
// first SCREEN; SCREEN then asks them in turn (drivers.cpp). Any back-end may
// decline by failing its open (no display, a depth it cannot show); one
// marked only_by_name is asked only when TRVGFX names it, and then alone.
#pragma once

#include <cstdint>

struct GfxScreen;

struct DisplayDriver {
  const char* name = nullptr;
  // Opens the window (and its thread) for the screen; 0 on success.
  int (*open)(GfxScreen* screen, const char* title, int width, int height, int depth,
              int refresh_rate, int flags) = nullptr;
  void (*close)() = nullptr;
  // The lock shared with the window thread.
  void (*lock)() = nullptr;
  void (*unlock)() = nullptr;
  // Records a colour; the window thread applies it on its next cycle.
  void (*set_palette_entry)(int index, int r, int g, int b) = nullptr;
  void (*wait_for_retrace)() = nullptr;
  // Fills out[] with the display's resolutions for a depth as
  // (width << 16) | height; returns how many were written.
  int (*list_modes)(int depth, uint32_t* out, int max) = nullptr;
  // Called by the key reader whenever it finds the key ring empty; a headless
  // back-end that feeds keys from a script acts here.
  void (*on_empty_ring)() = nullptr;
  // Waits up to ms milliseconds for a key to arrive, or with ms < 0 until one
  // is pending (the idle wait of every key-polling loop); null means sleep
  // the time.
  void (*wait_for_key)(int ms) = nullptr;
  // Sets the window's icon: w x h pixels as 0xAARRGGBB, row by row. The
  // back-end keeps its own copy.
  void (*set_icon)(const uint32_t* argb, int w, int h) = nullptr;
  // Sets the window's title (UTF-8). The back-end keeps its own copy.
  void (*set_title)(const char* utf8) = nullptr;
  // The picture pixel of the program's cursor, which a zoomed window keeps
  // in view; the back-end keeps its own copy.
  void (*set_view_focus)(int x, int y) = nullptr;
  // True when the back-end keeps the program's clock itself (no real time passes).
  bool virtual_time = false;
  // Asked only when TRVGFX names it, and then no other back-end is tried
  // (the Null and Script back-ends, which show nothing).
  bool only_by_name = false;
};

// Flags of SCREEN passed on to the back-end.
enum : int {
  kScreenFullScreen = 1,
  kScreenOpenGl = 2,
  kScreenNoSwitch = 4,
  kScreenNoFrame = 8,
  kScreenShaped = 16,
  kScreenOnTop = 0x20,
  kScreenHighPriority = 0x80,
};

// The back-end that SCREEN with flags -1 uses: no window, no keys.
inline constexpr const char* kNullDriverName = "Null";

// Makes a back-end known to SCREEN; back-ends are asked in the order they
// were registered. A second back-end of the same name is ignored.
void register_display_driver(const DisplayDriver* driver);
