#include "editor/title.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "gfx/draw.h"
#include "gfx/keyboard.h"
#include "gfx/screen.h"
#include "gfx_test_util.h"
#include "runtime/clock.h"
#include "strokefont/text_state.h"
#include "text_test_util.h"

namespace {

struct Box {
  int x1, y1, x2, y2, colour;
};

// The letters as designed: one box per band of a stroke.
const std::vector<Box> kLetterK = {
    {165, 101, 174, 104, 4},  {203, 101, 213, 104, 4},  {165, 105, 174, 108, 12},
    {192, 105, 202, 108, 12}, {165, 109, 191, 112, 14}, {165, 113, 191, 116, 2},
    {165, 117, 174, 120, 1},  {192, 117, 202, 120, 1},  {165, 121, 174, 124, 5},
    {203, 121, 213, 124, 5},
};
const std::vector<Box> kLetterO = {
    {241, 101, 273, 104, 4},  {230, 105, 240, 108, 12}, {274, 105, 284, 108, 12},
    {230, 109, 240, 112, 14}, {274, 109, 284, 112, 14}, {230, 113, 240, 116, 2},
    {274, 113, 284, 116, 2},  {230, 117, 240, 120, 1},  {274, 117, 284, 120, 1},
    {241, 121, 273, 124, 5},
};
const std::vector<Box> kLetterV = {
    {294, 101, 303, 104, 4},  {326, 101, 335, 104, 4},  {294, 105, 303, 108, 12},
    {326, 105, 335, 108, 12}, {298, 109, 307, 112, 14}, {322, 109, 331, 112, 14},
    {302, 113, 311, 116, 2},  {318, 113, 327, 116, 2},  {306, 117, 323, 120, 1},
    {310, 121, 319, 124, 5},
};
const std::vector<Box> kDigit1 = {
    {346, 121, 386, 124, 5},  {363, 117, 371, 120, 1},  {363, 113, 371, 116, 2},
    {363, 109, 371, 112, 14}, {363, 105, 371, 108, 12}, {355, 101, 371, 104, 4},
    {346, 105, 354, 108, 12},
};

struct Slot {
  int x1, x2;
};
const Slot kSlots[4] = {{165, 213}, {230, 284}, {294, 335}, {346, 386}};

int BandColour(int y) {
  const int colours[6] = {4, 12, 14, 2, 1, 5};
  return colours[(y - 101) / 4];
}

class TitleTest : public Mode8TextTest {
 protected:
  void TearDown() override {
    clock_use_virtual(false);
    Mode8TextTest::TearDown();
  }
};

bool InBoxes(const std::vector<Box>& boxes, int x, int y) {
  for (const Box& b : boxes) {
    if (x >= b.x1 && x <= b.x2 && y >= b.y1 && y <= b.y2) return true;
  }
  return false;
}

std::vector<uint8_t> Page(int page) {
  GfxScreen* s = gfx_screen();
  return {s->pages[page], s->pages[page] + static_cast<size_t>(s->pitch) * s->height};
}

TEST_F(TitleTest, PanelAndOutline) {
  DrawTitle();
  EXPECT_TRUE(
      PageMatches(0, 136, 69, {"......", "......", "..FFFF", "..FBBB", "..FBBB", "..FBBB"}));
  EXPECT_TRUE(PageMatches(0, 459, 141, {"BBBF..", "BBBF..", "BBBF..", "FFFF..", "......"}));
  EXPECT_EQ(PixelAt(0, 462, 71), 15);
  EXPECT_EQ(PixelAt(0, 138, 144), 15);
  // Nothing outside the outline.
  for (auto [x, y] : LitPixels(0)) {
    ASSERT_TRUE(x >= 138 && x <= 462 && y >= 71 && y <= 144) << x << "," << y;
  }
}

TEST_F(TitleTest, LogoIsTheLetterBoxesInTheirBands) {
  DrawTitle();
  std::vector<Box> logo;
  for (const auto* letter : {&kLetterK, &kLetterO, &kLetterV, &kDigit1}) {
    logo.insert(logo.end(), letter->begin(), letter->end());
  }
  for (const Box& b : logo) {
    ASSERT_EQ(b.y2 - b.y1, 3);
    ASSERT_EQ((b.y1 - 101) % 4, 0);
    ASSERT_EQ(b.colour, BandColour(b.y1));
    for (int y = b.y1; y <= b.y2; ++y) {
      for (int x = b.x1; x <= b.x2; ++x) ASSERT_EQ(PixelAt(0, x, y), b.colour) << x << "," << y;
    }
  }
  // Elsewhere the panel shows (the pencil starts right of x = 384).
  for (int y = 95; y <= 128; ++y) {
    for (int x = 150; x <= 384; ++x) {
      if (InBoxes(logo, x, y)) continue;
      ASSERT_EQ(PixelAt(0, x, y), 11) << x << "," << y;
    }
  }
}

TEST_F(TitleTest, LogoStrokesAreNineToElevenWideAndStayInTheirSlots) {
  DrawTitle();
  for (int y = 101; y <= 124; ++y) {
    int x = 150;
    while (x <= 384) {
      if (PixelAt(0, x, y) == 11) {
        ++x;
        continue;
      }
      int start = x;
      while (x <= 384 && PixelAt(0, x, y) != 11) {
        ASSERT_EQ(PixelAt(0, x, y), BandColour(y)) << x << "," << y;
        ++x;
      }
      int width = x - start;
      // A stroke is 9 to 11 wide; wider runs are bars and joins.
      EXPECT_TRUE((width >= 9 && width <= 11) || width >= 16) << start << "," << y << ": " << width;
      bool in_slot = false;
      for (const Slot& s : kSlots) in_slot |= start >= s.x1 && x - 1 <= s.x2;
      EXPECT_TRUE(in_slot) << start << "-" << x - 1 << "," << y;
    }
  }
  // The digit's stem and short stroke are 9 wide.
  EXPECT_TRUE(PageMatches(0, 345, 105, {"BCCCCCCCCCBBBBBBBBCCCCCCCCCB"}));
  EXPECT_TRUE(PageMatches(0, 362, 117, {"B111111111B"}));
}

TEST_F(TitleTest, VersionIsYellowOnLightCyan) {
  DrawTitle();
  int yellow = 0;
  for (int y = 130; y <= 136; ++y) {
    for (int x = 396; x <= 423; ++x) {
      int c = PixelAt(0, x, y);
      ASSERT_TRUE(c == 14 || c == 11) << x << "," << y;
      yellow += c == 14;
    }
  }
  EXPECT_GT(yellow, 10);
  // "." at 403 and "0" at 410.
  EXPECT_TRUE(
      PageMatches(0, 403, 130, {"BBBBBBB", "BBBBBBB", "BBBBBBB", "BBBBBBB", "BBEBBBB", "BBBBBBB"}));
  EXPECT_TRUE(
      PageMatches(0, 410, 130, {"BEEEBBB", "EBBEEBB", "EBEBEBB", "EEBBEBB", "BEEEBBB", "BBBBBBB"}));
  EXPECT_EQ(PixelAt(0, 396, 129), 11);
  EXPECT_EQ(PixelAt(0, 396, 137), 11);

  const TextState& t = text_state();
  EXPECT_EQ(t.Fcolor, 7);
  EXPECT_EQ(t.Bcolor, 0);
  EXPECT_EQ(t.wx, 1);
  EXPECT_EQ(t.wy, 137);
}

TEST_F(TitleTest, PencilFillsStayInsideTheirOutlines) {
  DrawTitle();
  EXPECT_EQ(PixelAt(0, 425, 122), 0);  // the lead
  for (auto [x, y] : {std::pair{406, 110}, {401, 107}, {411, 113}}) {
    EXPECT_EQ(PixelAt(0, x, y), 14) << x << "," << y;  // body
  }
  for (auto [x, y] : {std::pair{420, 119}, {421, 119}, {420, 120}}) {
    EXPECT_EQ(PixelAt(0, x, y), 6) << x << "," << y;  // tip
  }
  for (auto [x, y] : {std::pair{390, 102}, {388, 102}, {392, 101}}) {
    EXPECT_EQ(PixelAt(0, x, y), 13) << x << "," << y;  // eraser
  }
  for (int i = 0; i <= 5; ++i) EXPECT_EQ(PixelAt(0, 396 - i, 101 + i), 8) << i;  // band
  // Around the pencil the panel is untouched.
  for (auto [x, y] : {std::pair{430, 118},
                      {415, 125},
                      {424, 112},
                      {384, 103},
                      {390, 96},
                      {400, 99},
                      {395, 112}}) {
    EXPECT_EQ(PixelAt(0, x, y), 11) << x << "," << y;
  }
}

TEST(TitleTune, ScaleIsRoundedToSinglePrecisionAtEveryStep) {
  const std::array<float, 7> expected = {0x1.b8p+8f,    0x1.ede22p+8f,  0x1.05a026p+9f,
                                         0x1.25aa3p+9f, 0x1.49a0aap+9f, 0x1.5d3a7p+9f,
                                         0x1.87fed8p+9f};
  EXPECT_EQ(TitleScale(), expected);
  std::array<Note, 5> tune = TitleTune();
  const int want[5][2] = {{784, 18}, {587, 18}, {698, 18}, {659, 18}, {37, 0}};
  for (int i = 0; i < 5; ++i) {
    EXPECT_EQ(tune[i].freq, want[i][0]) << i;
    EXPECT_EQ(tune[i].ticks, want[i][1]) << i;
  }
}

TEST_F(TitleTest, ShowTitleLeavesNoTraceAndKeepsTypedAheadKeys) {
  clock_use_virtual(true);  // the tune takes no time
  LINE(0, 0, 639, 193, 15, kLineBox, 0xFFFF, kCoordAbsolute);
  PCOPY(0, 1);
  std::vector<uint8_t> screen = Page(0);
  Editor ed;
  lock_screen();
  key_ring_write(gfx_screen()->keys, 'a');
  key_ring_write(gfx_screen()->keys, 'b');
  unlock_screen_unflagged();

  ShowTitle(ed);
  EXPECT_EQ(Page(0), screen);
  EXPECT_EQ(Page(1), screen);
  EXPECT_EQ(gfx_screen()->visible_page, 0);
  EXPECT_EQ(draw_context()->work_page, 0);
  EXPECT_EQ(INKEY(), "b");  // only the first key was taken
  EXPECT_EQ(text_state().Fcolor, 7);
  EXPECT_EQ(text_state().wy, 137);
}

}  // namespace
