// Helpers for the tests of the real window: a private Xvfb server started for
// the test program, outside X11 tools run with a time limit, screenshots, and
// key reading with a deadline. Nothing here waits without a limit.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#if defined(__SANITIZE_THREAD__) || defined(__SANITIZE_ADDRESS__)
constexpr bool kSanitized = true;
#else
constexpr bool kSanitized = false;
#endif

// Starts Xvfb (-screen 0 1920x1200x24) on a free display before the first
// test and stops it after the last; DISPLAY names it meanwhile. The usable
// area of the desktop is set to 1024 x 768, where a window of 640 x 400 is
// the largest whole scale that fits.
class XvfbEnvironment : public ::testing::Environment {
 public:
  void SetUp() override;
  void TearDown() override;
};

// Sets the usable area of the desktop (the root window's _NET_WORKAREA, as a
// desktop's panels leave it) to w x h at the top left; true on success.
bool SetUsableArea(int w, int h);

// Runs a shell command with a 10-second limit; returns its exit status and
// puts its standard output and error into out.
int RunCommand(const std::string& command, std::string* out = nullptr);

// Opens SCREEN 8 with two pages through TRVGFX=sdl and finds its window.
class SdlWindowTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;
  std::string window_;  // X11 window id, decimal
};

// The shown window of the program (its window class), as an X11 window id
// in decimal; "" when none shows within 5 s.
std::string FindWindow(const std::string& program = "sdl_window_test");

struct Picture {
  int width = 0, height = 0;
  std::vector<uint8_t> rgb;
  uint32_t At(int x, int y) const;  // 0xRRGGBB
};

// A screenshot of the window, or an empty picture when none could be taken.
Picture Screenshot(const std::string& window);

// Takes screenshots until check accepts one or 5 seconds have passed; returns
// the last screenshot.
Picture ScreenshotUntil(const std::string& window, bool (*check)(const Picture&));

// Reads keys through INKEY until n have come or 5 seconds have passed, then
// goes on reading for another 300 ms, so that a key that came twice shows.
std::vector<std::string> ReadKeys(size_t n);

// The window's size in the form "WIDTHxHEIGHT" and its map state, from xwininfo.
std::string WindowGeometry(const std::string& window);

// Runs ms milliseconds of the program's key-waiting loop, reading no key.
void IdleMs(int ms);
