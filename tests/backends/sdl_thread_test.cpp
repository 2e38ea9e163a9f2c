// The window thread and the key ring: key events pushed into SDL's queue from
// another thread, the key-arrived wait, the cost of an idle window, drawing
// while keys arrive, and opening the screen again.
#include <SDL.h>
#include <sys/resource.h>

#include <atomic>
#include <chrono>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

#include "backends/sdl_backend.h"
#include "gfx/display_driver.h"
#include "gfx/draw.h"
#include "gfx/keyboard.h"
#include "gfx/screen.h"
#include "sdl_test_x11.h"

namespace {

using Clock = std::chrono::steady_clock;
using std::chrono::milliseconds;

SDL_Event KeyDown(SDL_Scancode sc, SDL_Keycode kc, uint16_t mods = KMOD_NONE, bool repeat = false) {
  SDL_Event e{};
  e.type = SDL_KEYDOWN;
  e.key.state = SDL_PRESSED;
  e.key.repeat = repeat;
  e.key.keysym.scancode = sc;
  e.key.keysym.sym = kc;
  e.key.keysym.mod = mods;
  return e;
}

SDL_Event Text(const char* utf8) {
  SDL_Event e{};
  e.type = SDL_TEXTINPUT;
  std::strncpy(e.text.text, utf8, sizeof e.text.text - 1);
  return e;
}

// Adds the events to SDL's queue at once, as one X11 key event adds its
// key-down and its text.
void Push(std::vector<SDL_Event> events) {
  int n = static_cast<int>(events.size());
  ASSERT_EQ(SDL_PeepEvents(events.data(), n, SDL_ADDEVENT, 0, 0), n) << SDL_GetError();
}

double CpuSeconds() {
  rusage u{};
  getrusage(RUSAGE_SELF, &u);
  return static_cast<double>(u.ru_utime.tv_sec + u.ru_stime.tv_sec) +
         static_cast<double>(u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1e6;
}

TEST_F(SdlWindowTest, KeyEventsFollowTheTextRules) {
  Push({KeyDown(SDL_SCANCODE_X, 'x', KMOD_LALT), Text("x")});  // Alt+X: its text dropped
  Push({KeyDown(SDL_SCANCODE_A, 'a'), Text("a")});
  Push({KeyDown(SDL_SCANCODE_Q, 'q', KMOD_RALT), Text("@")});  // AltGr+Q
  Push({Text("\xC3\xA9")});                                    // é from an input method
  Push({KeyDown(SDL_SCANCODE_UP, SDLK_UP), KeyDown(SDL_SCANCODE_UP, SDLK_UP, 0, true),
        KeyDown(SDL_SCANCODE_UP, SDLK_UP, 0, true)});  // held: one code per repeat
  SDL_Event quit{};
  quit.type = SDL_QUIT;
  Push({quit});
  Push({KeyDown(SDL_SCANCODE_L, 'l', KMOD_LCTRL), Text("l")});
  Push({KeyDown(SDL_SCANCODE_RETURN, SDLK_RETURN, KMOD_LALT)});  // switches, writes nothing
  std::vector<std::string> want = {"\xFF-", "a", "@", "\x82", "\xFFH", "\xFFH", "\xFFH", "\x0C"};
  EXPECT_EQ(ReadKeys(want.size()), want);
}

TEST_F(SdlWindowTest, SixteenUnreadKeysLoseTheFirst) {
  std::vector<SDL_Event> keys;
  for (const char* k :
       {"a", "b", "c", "d", "e", "f", "g", "h", "i", "j", "k", "l", "m", "n", "o", "p"}) {
    keys.push_back(Text(k));
  }
  Push(keys);
  std::this_thread::sleep_for(milliseconds(100));
  std::vector<std::string> want = {"b", "c", "d", "e", "f", "g", "h", "i",
                                   "j", "k", "l", "m", "n", "o", "p"};
  EXPECT_EQ(ReadKeys(want.size()), want);
}

TEST_F(SdlWindowTest, KeyArrivalEndsTheWaitWithinACycle) {
  // Nothing pending: the wait lasts its time.
  auto start = Clock::now();
  wait_for_key_signal(60);
  EXPECT_GE(Clock::now() - start, milliseconds(55));

  std::atomic<int64_t> pushed_at{0};
  std::thread pusher([&] {
    std::this_thread::sleep_for(milliseconds(150));
    pushed_at = Clock::now().time_since_epoch().count();
    Push({KeyDown(SDL_SCANCODE_F1, SDLK_F1)});
  });
  start = Clock::now();
  wait_for_key_signal(3000);
  auto woke = Clock::now();
  pusher.join();
  EXPECT_LT(woke - start, milliseconds(1000)) << "the wait did not end when the key came";
  // One window cycle (10 ms) and the scheduler's delays.
  auto limit = milliseconds(kSanitized ? 200 : 60);
  EXPECT_LT(woke.time_since_epoch().count() - pushed_at.load(),
            std::chrono::duration_cast<Clock::duration>(limit).count());
  // A pending key ends the wait at once; reading it empties the ring again.
  start = Clock::now();
  wait_for_key_signal(1000);
  EXPECT_LT(Clock::now() - start, milliseconds(20));
  EXPECT_EQ(INKEY(), "\xFF;");
}

TEST_F(SdlWindowTest, IdleWindowPresentsNothingAndUsesLittleProcessor) {
  // The first frames are shown: wait until 300 ms pass without one (a busy
  // machine may take long to show them).
  uint64_t presents = sdl_present_count();
  for (auto give_up = Clock::now() + milliseconds(5000); Clock::now() < give_up;) {
    IdleMs(300);
    if (sdl_present_count() == presents) break;
    presents = sdl_present_count();
  }
  double cpu = CpuSeconds();
  IdleMs(2000);
  double used = CpuSeconds() - cpu;
  EXPECT_EQ(sdl_present_count(), presents);
  if (!kSanitized) {
    EXPECT_LT(used, 0.02 * 2.0) << "seconds of processor time in 2 s idle";
  }
  // Shown within a few re-sent wake-ups even on a busy machine, and long
  // before the thread's own ten-second wake-up.
  PSET(1, 1, 15, 4, 0);
  auto deadline = Clock::now() + milliseconds(5000);
  while (sdl_present_count() == presents && Clock::now() < deadline) IdleMs(10);
  EXPECT_GT(sdl_present_count(), presents);
}

// The program draws on the shown page without pause while keys arrive: the
// keys come in order, none twice, and the last one arrives. (Keys may be lost
// to the ring's overflow when the machine is busy.) Under ThreadSanitizer this
// also checks the lock between drawing and converting.
TEST_F(SdlWindowTest, DrawingWhileKeysArrive) {
  constexpr int kKeys = 200;
  std::thread pusher([] {
    for (int i = 0; i < kKeys; ++i) {
      char key[2] = {static_cast<char>('a' + i % 26), 0};
      Push({Text(key)});
      std::this_thread::sleep_for(milliseconds(2));
    }
    Push({KeyDown(SDL_SCANCODE_ESCAPE, SDLK_ESCAPE)});
  });
  std::string read;
  bool ended = false;
  auto deadline = Clock::now() + std::chrono::seconds(20);
  for (int i = 0; !ended && Clock::now() < deadline; ++i) {
    float y = static_cast<float>(i % 200);
    LINE(0, y, 639, 199 - y, i % 16, 0, 0xFFFF, 0);
    std::string k = INKEY();
    ended = k == "\x1B";
    if (!ended) read += k;
  }
  pusher.join();
  EXPECT_TRUE(ended);
  EXPECT_FALSE(read.empty());
  for (size_t i = 1; i < read.size(); ++i) {
    ASSERT_NE(read[i], read[i - 1]) << "a key came twice or 26 were lost: " << read;
  }
}

TEST_F(SdlWindowTest, ReopeningGivesAFreshWindowAndRing) {
  for (int i = 0; i < 3; ++i) {
    Push({Text("z")});
    std::this_thread::sleep_for(milliseconds(50));
    ASSERT_EQ(SCREEN(8, 4, 2, 0, 0), 0);
    ASSERT_STREQ(gfx_screen()->driver->name, "SDL");
    EXPECT_EQ(INKEY(), "");
    Push({Text("y")});
    EXPECT_EQ(ReadKeys(1), std::vector<std::string>{"y"});
  }
}

}  // namespace
