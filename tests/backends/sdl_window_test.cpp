// The SDL back-end's real window on a private Xvfb server: its size, the
// picture it shows, keys typed into it and its close request.
#include <chrono>
#include <cstdlib>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "backends/backends.h"
#include "gfx/display_driver.h"
#include "gfx/draw.h"
#include "gfx/keyboard.h"
#include "gfx/keys.h"
#include "gfx/screen.h"
#include "sdl_test_x11.h"

namespace {

using Clock = std::chrono::steady_clock;

::testing::Environment* const g_xvfb = ::testing::AddGlobalTestEnvironment(new XvfbEnvironment);

struct Dot {
  int x, y, colour;
  uint32_t rgb;  // the colour of the 16-colour set, 0xRRGGBB
};

// Dots at the corners and inside, in colours whose channels differ.
const std::vector<Dot> kDots = {
    {0, 0, 15, 0xFFFFFF},     {639, 199, 14, 0xFFFF55}, {320, 100, 4, 0xAA0000},
    {5, 3, 1, 0x0000AA},      {6, 3, 9, 0x5555FF},      {100, 150, 6, 0xAA5500},
    {101, 151, 10, 0x55FF55}, {638, 0, 13, 0xFF55FF},
};

// The picture is the window's 640 x 400 client area with the dots, each on
// window rows 2y and 2y + 1, at factor f and offset (ox, oy); black elsewhere.
bool ShowsDots(const Picture& p, int f, int ox, int oy) {
  if (ox < 0 || oy < 0 || ox + 640 * f > p.width || oy + 400 * f > p.height) return false;
  std::vector<uint32_t> want(static_cast<size_t>(p.width) * p.height, 0);
  for (const Dot& d : kDots) {
    for (int yy = 0; yy < 2 * f; ++yy) {
      for (int xx = 0; xx < f; ++xx) {
        want[static_cast<size_t>(oy + 2 * f * d.y + yy) * p.width + ox + f * d.x + xx] = d.rgb;
      }
    }
  }
  for (int y = 0; y < p.height; ++y) {
    for (int x = 0; x < p.width; ++x) {
      if (p.At(x, y) != want[static_cast<size_t>(y) * p.width + x]) return false;
    }
  }
  return true;
}

void DrawDots() {
  for (const Dot& d : kDots) PSET(static_cast<float>(d.x), static_cast<float>(d.y), d.colour, 4, 0);
}

TEST(SdlOpen, FailsAtOnceWithoutADisplay) {
  std::string display = getenv("DISPLAY") ? getenv("DISPLAY") : "";
  unsetenv("DISPLAY");
  unsetenv("WAYLAND_DISPLAY");
  setenv("TRVGFX", "sdl", 1);
  register_standard_backends();
  auto start = Clock::now();
  EXPECT_EQ(SCREEN(8, 4, 2, 0, 0), 1);
  EXPECT_EQ(gfx_screen(), nullptr);
  EXPECT_LT(Clock::now() - start, std::chrono::milliseconds(500));
  setenv("DISPLAY", display.c_str(), 1);
}

TEST_F(SdlWindowTest, ClientAreaIs640By400AndShowsEachRowTwice) {
  EXPECT_EQ(WindowGeometry(window_), "640x400 IsViewable");
  DrawDots();
  Picture p = ScreenshotUntil(window_, [](const Picture& pic) {
    return pic.width == 640 && pic.height == 400 && ShowsDots(pic, 1, 0, 0);
  });
  EXPECT_EQ(p.width, 640);
  EXPECT_EQ(p.height, 400);
  EXPECT_TRUE(ShowsDots(p, 1, 0, 0)) << "the dots are not shown as drawn";
}

// The window opens at the largest whole scale of 640 x 400 that fits the
// usable area of the desktop, and at least at scale 1.
TEST_F(SdlWindowTest, OpensAtTheLargestWholeScaleThatFits) {
  struct Case {
    int w, h;
    const char* size;
  };
  for (Case c :
       {Case{1600, 1000, "1280x800"}, Case{1920, 1200, "1920x1200"}, Case{1279, 1200, "640x400"},
        Case{1280, 799, "640x400"}, Case{600, 300, "640x400"}}) {
    SCREEN(0, 0, 0, 0, 0);
    ASSERT_TRUE(SetUsableArea(c.w, c.h));
    ASSERT_EQ(SCREEN(8, 4, 2, 0, 0), 0);
    EXPECT_EQ(WindowGeometry(FindWindow()), std::string(c.size) + " IsViewable")
        << "usable area " << c.w << " x " << c.h;
  }
  EXPECT_TRUE(SetUsableArea(1024, 768));
}

TEST_F(SdlWindowTest, HiddenPageShowsOnlyWhenMadeVisible) {
  set_pages(1, 0);
  DrawDots();
  IdleMs(200);
  Picture hidden = Screenshot(window_);
  ASSERT_EQ(hidden.width, 640);
  for (int y = 0; y < hidden.height; ++y) {
    for (int x = 0; x < hidden.width; ++x) ASSERT_EQ(hidden.At(x, y), 0u) << x << "," << y;
  }
  set_pages(1, 1);
  Picture shown = ScreenshotUntil(
      window_, [](const Picture& pic) { return pic.width == 640 && ShowsDots(pic, 1, 0, 0); });
  EXPECT_TRUE(ShowsDots(shown, 1, 0, 0));
}

TEST_F(SdlWindowTest, ResizedWindowScalesByWholeFactorsCentredOnBlack) {
  DrawDots();
  // A screenshot needs the whole window on the screen.
  ASSERT_EQ(RunCommand("xdotool windowmove --sync " + window_ + " 0 0"), 0);
  // 1280 x 850 fits twice 640 x 400: the picture is 1280 x 800 at (0, 25).
  ASSERT_EQ(RunCommand("xdotool windowsize " + window_ + " 1280 850"), 0);
  Picture p = ScreenshotUntil(window_, [](const Picture& pic) {
    return pic.width == 1280 && pic.height == 850 && ShowsDots(pic, 2, 0, 25);
  });
  EXPECT_EQ(p.width, 1280);
  EXPECT_TRUE(ShowsDots(p, 2, 0, 25));
  // 1279 x 1000 fits only once: 640 x 400 at (319, 300).
  ASSERT_EQ(RunCommand("xdotool windowsize " + window_ + " 1279 1000"), 0);
  p = ScreenshotUntil(window_, [](const Picture& pic) {
    return pic.width == 1279 && pic.height == 1000 && ShowsDots(pic, 1, 319, 300);
  });
  EXPECT_EQ(p.width, 1279);
  EXPECT_TRUE(ShowsDots(p, 1, 319, 300));
}

// The 16 colours of the screen at start, 0xRRGGBB.
constexpr uint32_t kColours[16] = {0x000000, 0x0000AA, 0x00AA00, 0x00AAAA, 0xAA0000, 0xAA00AA,
                                   0xAA5500, 0xAAAAAA, 0x555555, 0x5555FF, 0x55FF55, 0x55FFFF,
                                   0xFF5555, 0xFF55FF, 0xFFFF55, 0xFFFFFF};

// The window shows the visible page at factor 2 below a margin of 25 rows.
bool ShowsPageTwiceBelowMargin(const Picture& p) {
  if (p.width != 1280 || p.height != 850) return false;
  for (int y = 0; y < p.height; ++y) {
    const int row = (y - 25) / 4;
    for (int x = 0; x < p.width; ++x) {
      uint32_t want = y < 25 || y >= 825 ? 0 : kColours[POINT(static_cast<float>(x / 2), row)];
      if (p.At(x, y) != want) return false;
    }
  }
  return true;
}

// Many small changes, shown one cycle at a time at factor 2: each reaches the
// window as the band of rows it changed, and together they leave the window
// showing the page, first and last row included.
TEST_F(SdlWindowTest, SmallChangesAtFactorTwoShowThePage) {
  ASSERT_EQ(RunCommand("xdotool windowmove --sync " + window_ + " 0 0"), 0);
  ASSERT_EQ(RunCommand("xdotool windowsize " + window_ + " 1280 850"), 0);
  ScreenshotUntil(window_, ShowsPageTwiceBelowMargin);
  std::mt19937 random(7);
  for (int i = 0; i < 60; ++i) {
    const float y = i % 10 == 0 ? 199.0f * (i % 20 == 0) : static_cast<float>(random() % 200);
    const float x = static_cast<float>(random() % 640);
    LINE(x, y, x + static_cast<float>(random() % 40), y + static_cast<float>(random() % 3),
         random() % 16, 0, 0xFFFF, 0);
    if (i % 3 == 0) IdleMs(5);
  }
  EXPECT_TRUE(ShowsPageTwiceBelowMargin(ScreenshotUntil(window_, ShowsPageTwiceBelowMargin)));
}

TEST_F(SdlWindowTest, TypedKeysArriveOnceEachAsTheirCodes) {
  ASSERT_EQ(RunCommand("xdotool windowfocus --sync " + window_), 0);
  // Each batch stays below the 15 keys the ring holds while nobody reads.
  struct Batch {
    const char* keys;
    std::vector<std::string> codes;
  };
  const Batch batches[] = {
      {"Up F1 ctrl+l alt+x Return a period Escape",
       {"\xFFH", "\xFF;", "\x0C", "\xFF-", "\r", "a", ".", "\x1B"}},
      {"BackSpace Prior Next F2 shift+F1 ctrl+Return A KP_Home Down Left Right",
       {"\b", "\xFFI", "\xFFQ", "\xFF<", "\xFFT", "\n", "A", "\xFFG", "\xFFP", "\xFFK", "\xFFM"}},
  };
  for (const Batch& b : batches) {
    std::string out;
    ASSERT_EQ(RunCommand(std::string("xdotool key ") + b.keys, &out), 0) << out;
    EXPECT_EQ(ReadKeys(b.codes.size()), b.codes) << b.keys;
  }
}

TEST_F(SdlWindowTest, CloseRequestGivesOneCodeAndTheWindowStays) {
  std::string out;
  ASSERT_EQ(RunCommand(std::string(SDL_X11_TOOL) + " close " + window_, &out), 0) << out;
  EXPECT_EQ(ReadKeys(1), std::vector<std::string>{"\xFFk"});
  EXPECT_EQ(WindowGeometry(window_), "640x400 IsViewable");
  // The window goes on showing what is drawn.
  DrawDots();
  Picture p = ScreenshotUntil(
      window_, [](const Picture& pic) { return pic.width == 640 && ShowsDots(pic, 1, 0, 0); });
  EXPECT_TRUE(ShowsDots(p, 1, 0, 0));
}

// The window's _NET_WM_NAME as xprop shows it, once it is `title` or after 5 s.
std::string WindowTitleBecomes(const std::string& window, const std::string& title) {
  const std::string want = "_NET_WM_NAME(UTF8_STRING) = \"" + title + "\"\n";
  std::string out;
  auto deadline = Clock::now() + std::chrono::seconds(5);
  while (Clock::now() < deadline) {
    if (RunCommand("env LC_ALL=C.UTF-8 xprop -id " + window + " _NET_WM_NAME", &out) == 0 &&
        out == want) {
      break;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  return out;
}

// The window is titled with the program's name, then with what the program
// sets, in UTF-8 whatever the locale.
TEST_F(SdlWindowTest, TitleChangeReachesTheWindow) {
  EXPECT_EQ(WindowTitleBecomes(window_, "sdl_window_test"),
            "_NET_WM_NAME(UTF8_STRING) = \"sdl_window_test\"\n");
  const std::string title = "kov1 \xE2\x80\x94 HOUSE.BAS \xE2\x80\x94 123, 45";
  set_window_title(title);
  EXPECT_EQ(WindowTitleBecomes(window_, title), "_NET_WM_NAME(UTF8_STRING) = \"" + title + "\"\n");
}

TEST_F(SdlWindowTest, PaletteChangeIsShownOnTheNextCycle) {
  DrawDots();
  ScreenshotUntil(window_, [](const Picture& pic) { return ShowsDots(pic, 1, 0, 0); });
  gfx_screen()->driver->set_palette_entry(15, 0x12, 0x34, 0x56);
  Picture p = ScreenshotUntil(window_, [](const Picture& pic) { return pic.At(0, 1) == 0x123456; });
  EXPECT_EQ(p.At(0, 0), 0x123456u);
  EXPECT_EQ(p.At(0, 1), 0x123456u);
  EXPECT_EQ(p.At(639, 398), 0xFFFF55u);
}

}  // namespace

namespace {

// The zoom keys are the window's own: Ctrl-= three times shows the picture
// 4 times larger about the cursor's pixel (here the top left corner), with
// the grid between pixels and the zoom after the title, and no key reaches
// the program; the pointer then names the picture pixel under it through the
// zoom; Ctrl-0 shows the whole picture again.
TEST_F(SdlWindowTest, ZoomKeysEnlargeTheViewWithAGridAndThePointerFollows) {
  DrawDots();
  set_window_title("kov1");
  set_view_focus(0, 0);
  ASSERT_EQ(RunCommand("xdotool key --delay 25 ctrl+equal ctrl+equal ctrl+equal"), 0);
  EXPECT_EQ(WindowTitleBecomes(window_, "kov1 \xE2\x80\x94 4\xC3\x97"),
            "_NET_WM_NAME(UTF8_STRING) = \"kov1 \xE2\x80\x94 4\xC3\x97\"\n");
  const Picture p = ScreenshotUntil(
      window_, [](const Picture& pic) { return pic.width == 640 && pic.At(21, 26) == 0x0000AA; });
  EXPECT_EQ(p.At(2, 3), 0xFFFFFFu);    // pixel (0, 0): window pixels 0-3 across, 0-7 down
  EXPECT_EQ(p.At(21, 26), 0x0000AAu);  // pixel (5, 3)
  EXPECT_EQ(p.At(25, 26), 0x5555FFu);  // pixel (6, 3)
  // The grid: the first column of a pixel black on even rows, white on odd
  // ones; its first row black and white by turns.
  EXPECT_EQ(p.At(20, 26), 0x000000u);
  EXPECT_EQ(p.At(20, 27), 0xFFFFFFu);
  EXPECT_EQ(p.At(22, 24), 0x000000u);
  EXPECT_EQ(p.At(23, 24), 0xFFFFFFu);
  EXPECT_TRUE(ReadKeys(0).empty());

  ASSERT_EQ(RunCommand("xdotool mousemove --window " + window_ + " 22 29"), 0);
  PointerEvent pointer;
  for (auto end = Clock::now() + std::chrono::seconds(5);
       pointer.kind != PointerKind::Move && Clock::now() < end;) {
    read_input(pointer);
    IdleMs(5);
  }
  EXPECT_EQ(pointer.kind, PointerKind::Move);
  EXPECT_EQ(pointer.x, 5);
  EXPECT_EQ(pointer.y, 3);

  ASSERT_EQ(RunCommand("xdotool key ctrl+0"), 0);
  EXPECT_EQ(WindowTitleBecomes(window_, "kov1"), "_NET_WM_NAME(UTF8_STRING) = \"kov1\"\n");
  EXPECT_TRUE(ShowsDots(
      ScreenshotUntil(window_, [](const Picture& pic) { return ShowsDots(pic, 1, 0, 0); }), 1, 0,
      0));
}

}  // namespace
