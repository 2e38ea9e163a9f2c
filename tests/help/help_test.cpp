#include "help/help.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <initializer_list>
#include <string>
#include <vector>

#include "gfx/display_driver.h"
#include "gfx/draw.h"
#include "gfx/keyboard.h"
#include "gfx/keys.h"
#include "gfx/screen.h"
#include "gfx_test_util.h"
#include "strokefont/text_state.h"
#include "text_test_util.h"

namespace {

// A key no help screen acts on.
constexpr uint32_t kOther = 'x';

using Picture = std::vector<std::string>;

// Glyph cells in colour 8 on 15, and help-line cells in 7 on 0: the seven
// columns up to the next cell, whose glyph starts on the eighth.
const Picture kCellK = {"88FF8FF", "F8F8FFF", "F88FFFF", "F8F8FFF",
                        "88FF8FF", "FFFFFFF", "FFFFFFF"};
const Picture kCellI = {"88888FF", "FF8FFFF", "FF8FFFF", "FF8FFFF",
                        "88888FF", "FFFFFFF", "FFFFFFF"};
const Picture kCellT = {"88888FF", "8F8F8FF", "FF8FFFF", "FF8FFFF",
                        "F888FFF", "FFFFFFF", "FFFFFFF"};
const Picture kCellC = {"F8888FF", "8FFFFFF", "8FFFFFF", "8FFFFFF",
                        "F8888FF", "FFFFFFF", "FFFFFFF"};
const Picture kCellF = {"88888FF", "F8FFFFF", "F888FFF", "F8FFFFF",
                        "888FFFF", "FFFFFFF", "FFFFFFF"};
// The bottom row is 199, so a help-line cell shows five rows.
const Picture kHelpW = {"7...7..", "7.7.7..", "7.7.7..", "7.7.7..", ".7.7..."};
const Picture kHelpP = {"7777...", "7...7..", "7777...", "7......", "7......"};
const Picture kHelpD = {"7777...", ".7..7..", ".7..7..", ".7..7..", "7777..."};
const Picture kHelpU = {"7...7..", "7...7..", "7...7..", "7...7..", ".777..."};

// Drives a key loop from inside: each time the loop finds no key waiting,
// the next step checks the screen and then presses its keys. A loop that
// outlives its steps gets ESC.
struct Step {
  std::function<void()> check;
  std::vector<uint32_t> keys;
};
std::vector<Step> g_steps;
size_t g_steps_taken = 0;
DisplayDriver g_driver;
const DisplayDriver* g_original_driver = nullptr;

void OnEmptyRing() {
  std::vector<uint32_t> keys = {kCodeEsc};
  if (g_steps_taken < g_steps.size()) {
    Step& step = g_steps[g_steps_taken++];
    if (step.check) step.check();
    keys = step.keys;
  }
  for (uint32_t code : keys) key_ring_write(gfx_screen()->keys, code);
}

class HelpTest : public Mode8TextTest {
 protected:
  void SetUp() override {
    Mode8TextTest::SetUp();
    g_original_driver = gfx_screen()->driver;
    g_driver = *g_original_driver;
    g_driver.on_empty_ring = OnEmptyRing;
    g_driver.wait_for_key = [](int) {};
    gfx_screen()->driver = &g_driver;
    g_steps.clear();
    g_steps_taken = 0;
  }
  void TearDown() override {
    gfx_screen()->driver = g_original_driver;
    Mode8TextTest::TearDown();
  }
};

void FillPage(int page, int colour) {
  int old = set_pages(page, -1);
  LINE(0, 0, 639, 199, static_cast<uint32_t>(colour), kLineBoxFilled, 0xFFFF, kCoordAbsolute);
  set_pages(old >> 16, -1);
}

std::vector<uint8_t> Page(int page) {
  GfxScreen* s = gfx_screen();
  return {s->pages[page], s->pages[page] + static_cast<size_t>(s->pitch) * s->height};
}

// The title's first glyph "*" (13 pixels of colour 12 in any rasterisation
// of its two diagonals) in a cell otherwise cleared to 15.
::testing::AssertionResult TitleStarAt(int page, int x, int y) {
  int lit = 0;
  for (int dy = 0; dy < 7; ++dy) {
    for (int dx = 0; dx < 7; ++dx) {
      int c = PixelAt(page, x + dx, y + dy);
      bool glyph_area = dx < 5 && dy < 5;
      if (c == 12 && glyph_area) {
        ++lit;
      } else if (c != 15) {
        return ::testing::AssertionFailure() << "(" << x + dx << "," << y + dy << ") is " << c;
      }
    }
  }
  if (lit != 13) return ::testing::AssertionFailure() << lit << " pixels of colour 12";
  return ::testing::AssertionSuccess();
}

int CountInRect(int page, int x1, int y1, int x2, int y2, int colour) {
  int n = 0;
  for (int y = y1; y <= y2; ++y) {
    for (int x = x1; x <= x2; ++x) n += PixelAt(page, x, y) == colour;
  }
  return n;
}

void Press(std::initializer_list<uint32_t> codes) {
  for (uint32_t code : codes) key_ring_write(gfx_screen()->keys, code);
}

TEST_F(HelpTest, PageBoxIsShadowBodyAndBorderOverThePicture) {
  FillPage(1, 4);
  DrawHelpPage(1, true);
  EXPECT_EQ(gfx_screen()->visible_page, 1);
  EXPECT_EQ(draw_context()->work_page, 1);
  EXPECT_TRUE(PageMatches(
      1, 46, 46,
      {"44444444444444", "44444444444444", "44444444444444", "444...........", "444.FFFFFFFFFF",
       "444.FFFFFFFFFF", "444.FFFFFFFFFF", "444.FFFFFFFFFF", "444.FFFFFFFFFF", "444.FFFFFFFFFF"}));
  // Bottom-right corner: body to (500, 180), border at 501 and 181, and the
  // checkered shadow in colour 7 to (510, 185), the picture between.
  EXPECT_TRUE(PageMatches(
      1, 496, 176,
      {"FFFFF.74747474744", "FFFFF.47474747444", "FFFFF.74747474744", "FFFFF.47474747444",
       "FFFFF.74747474744", "......47474747444", "74747474747474744", "47474747474747444",
       "74747474747474744", "47474747474747444", "44444444444444444", "44444444444444444"}));
  // The shadow starts at (55, 55) under the body: on its left edge the
  // picture is untouched.
  EXPECT_EQ(CountInRect(1, 0, 182, 54, 186, 7), 0);
  EXPECT_TRUE(PageMatches(1, 53, 182, {"44474", "44747"}));
}

TEST_F(HelpTest, PageTextsStandAtTheirRowsInTheirColours) {
  DrawHelpPage(1, true);
  EXPECT_TRUE(TitleStarAt(1, 55 + 18 * 7, 62));
  EXPECT_TRUE(PageMatches(1, 83, 76, kCellK));  // "    KOV1 is ..."
  EXPECT_TRUE(PageMatches(1, 1, 195, kHelpW));
  EXPECT_EQ(text_state().Fcolor, 8);
  EXPECT_EQ(text_state().Bcolor, 15);

  DrawHelpPage(2, true);
  EXPECT_TRUE(TitleStarAt(1, 55 + 21 * 7, 62));
  EXPECT_TRUE(PageMatches(1, 83, 76, kCellI));  // "    if you see ..."
  EXPECT_TRUE(PageMatches(1, 1, 195, kHelpW));
  // The empty eleventh row leaves its line blank; the next row follows.
  EXPECT_EQ(CountInRect(1, 50, 76 + 11 * 7, 500, 76 + 11 * 7 + 6, 8), 0);
  EXPECT_TRUE(PageMatches(1, 83, 76 + 12 * 7, {"8888FFF", "8FFF8FF", "8888FFF"}));  // "Press"
}

TEST_F(HelpTest, PageThreeStandsHigherAndKeepsABottomLineWhenAsked) {
  DrawHelpPage(4, true);
  EXPECT_TRUE(PageMatches(0, 57, 195, kHelpU));  // "Press PGUP"
  EXPECT_TRUE(PageMatches(0, 83, 76, kCellT));   // "    To Load ..."

  DrawHelpPage(3, false);
  EXPECT_TRUE(TitleStarAt(0, 55 + 16 * 7, 55));
  EXPECT_TRUE(PageMatches(0, 83, 69, kCellT));  // "    To draw lines: ..."
  EXPECT_TRUE(PageMatches(0, 57, 195, kHelpU));

  DrawHelpPage(3, true);
  EXPECT_TRUE(PageMatches(0, 1, 195, kHelpP));
  EXPECT_TRUE(PageMatches(0, 57, 195, kHelpD));  // "Press PGDN"
  // Pages 3 and 4 draw on the page in use.
  EXPECT_EQ(CountInRect(1, 0, 0, 639, 199, 0), 640 * 200);
}

TEST_F(HelpTest, EveryLineStaysInsideItsBox) {
  for (int page = 1; page <= 4; ++page) {
    FillPage(1, 4);
    DrawHelpPage(page, true);
    // Text and cells end at x = 482 at the latest; the body edge is 500.
    EXPECT_EQ(CountInRect(1, 483, 50, 500, 180, 15), 18 * 131) << page;
    EXPECT_EQ(CountInRect(1, 50, 50, 54, 180, 15), 5 * 131) << page;
    // The padded help line covers the whole bottom row of the screen.
    EXPECT_EQ(CountInRect(1, 1, 195, 639, 199, 4), 0) << page;
  }
  // The longest line (61 characters, page 4) ends with "N" at x = 475.
  EXPECT_TRUE(PageMatches(
      1, 475, 83, {"8FFF8FFF", "88FF8FFF", "8F8F8FFF", "8FF88FFF", "8FFF8FFF", "FFFFFFFF"}));
}

TEST_F(HelpTest, QuickReferenceCardInTheCorner) {
  FillPage(1, 4);
  DrawQuickReference();
  EXPECT_EQ(gfx_screen()->visible_page, 1);
  EXPECT_TRUE(PageMatches(1, 0, 0, {".....", ".FFFF", ".FFFF", ".FFFF", ".FFFF"}));
  // The shadow is in colour 0 and reaches column 166.
  EXPECT_TRUE(PageMatches(1, 156, 76,
                          {"FFFFF..4.4.444", "FFFFF.4.4.4444", "FFFFF..4.4.444", "FFFFF.4.4.4444",
                           "FFFFF..4.4.444", "......4.4.4444", ".4.4.4.4.4.444", "4.4.4.4.4.4444",
                           ".4.4.4.4.4.444", "4.4.4.4.4.4444", "44444444444444"}));
  EXPECT_TRUE(PageMatches(1, 5, 5, kCellC));   // "CTRL-E = ELLIPSE"
  EXPECT_TRUE(PageMatches(1, 5, 68, kCellF));  // "F2 = QUICK REFRENCE"
  EXPECT_TRUE(PageMatches(1, 1, 195, kHelpP));
  EXPECT_EQ(CountInRect(1, 1, 195, 639, 199, 4), 0);
  EXPECT_EQ(CountInRect(1, 160, 1, 160, 80, 15), 80);  // the widest line ends inside
}

TEST_F(HelpTest, HelpPagesFollowTheKeysAndRestoreThePicture) {
  LINE(10, 10, 600, 150, 4, kLineBoxFilled, 0xFFFF, kCoordAbsolute);
  PCOPY(0, 1);
  std::vector<uint8_t> picture = Page(0);
  auto page2 = [] {
    EXPECT_TRUE(PageMatches(1, 83, 76, kCellI));
    EXPECT_TRUE(PageMatches(1, 1, 195, kHelpW));
    EXPECT_EQ(gfx_screen()->visible_page, 1);
  };
  auto page3 = [](const Picture& help_at_57) {
    return [&help_at_57] {
      EXPECT_TRUE(PageMatches(1, 83, 69, kCellT));
      EXPECT_TRUE(PageMatches(1, 57, 195, help_at_57));
    };
  };
  auto page4 = [] {
    EXPECT_TRUE(PageMatches(1, 83, 76, kCellT));
    EXPECT_TRUE(PageMatches(1, 57, 195, kHelpU));
  };
  g_steps = {
      {page2, {kCodePageUp}},  // nothing before page 2
      {page2, {kCodePageDown}},
      {page3(kHelpD), {kCodePageDown}},
      {page4, {kCodePageDown, kCodeEnter, kOther}},  // nothing after page 4
      {page4, {kCodePageUp}},
      {page3(kHelpU), {kCodePageUp}},  // back on page 3 the help line of page 4 stays
      {page2, {kCodeEsc, 'a'}},
  };
  Editor ed;
  HelpPages(ed);
  EXPECT_EQ(g_steps_taken, g_steps.size());
  EXPECT_EQ(Page(0), picture);
  EXPECT_EQ(Page(1), picture);
  EXPECT_EQ(ed.RedrawRequest, 1);
  EXPECT_EQ(text_state().Fcolor, 7);
  EXPECT_EQ(text_state().Bcolor, 0);
  EXPECT_EQ(INKEY(), "a");  // keys after ESC stay for the editor
}

TEST_F(HelpTest, WelcomePageLeadsToTheHelpOrStays) {
  Editor ed;
  Press({kCodePageDown, kCodeEsc});
  WelcomePage(ed);
  EXPECT_TRUE(PageMatches(1, 83, 76, kCellK));  // ESC leaves the welcome page on page 1
  EXPECT_EQ(ed.RedrawRequest, 0);
  EXPECT_EQ(text_state().Fcolor, 7);
  EXPECT_EQ(text_state().Bcolor, 0);

  Press({kCodeEnter, kCodePageDown, kCodeEsc});
  WelcomePage(ed);
  EXPECT_EQ(Page(1), Page(0));
  EXPECT_EQ(ed.RedrawRequest, 1);
  EXPECT_EQ(text_state().Fcolor, 7);
  EXPECT_EQ(text_state().Bcolor, 0);

  // A pending redraw request is taken by the next screen that waits.
  Press({kOther, kCodeEsc});
  WelcomePage(ed);
  EXPECT_EQ(ed.RedrawRequest, 0);
  EXPECT_TRUE(PageMatches(1, 83, 76, kCellK));
}

TEST_F(HelpTest, QuickReferenceClosesWithEnterOrEscAndTakesTheRedrawRequest) {
  LINE(10, 10, 600, 150, 4, kLineBoxFilled, 0xFFFF, kCoordAbsolute);
  std::vector<uint8_t> picture = Page(0);
  Editor ed;
  ed.RedrawRequest = 1;
  Press({kOther, kCodePageDown, kCodeEnter});
  QuickReference(ed);
  EXPECT_EQ(ed.RedrawRequest, 0);
  EXPECT_EQ(Page(1), picture);
  EXPECT_EQ(text_state().Fcolor, 7);
  EXPECT_EQ(text_state().Bcolor, 0);

  // ESC with the request still set closes at once; the request stays.
  ed.RedrawRequest = 1;
  Press({kCodeEsc});
  QuickReference(ed);
  EXPECT_EQ(ed.RedrawRequest, 1);
  EXPECT_EQ(Page(1), picture);
}

}  // namespace
