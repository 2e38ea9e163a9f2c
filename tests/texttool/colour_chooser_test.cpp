// The colour chooser: its picture on a headless screen, and its keys fed
// straight into the key ring.
#include "texttool/colour_chooser.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "gfx/draw.h"
#include "gfx/keys.h"
#include "gfx/screen.h"
#include "gfx_test_util.h"
#include "strokefont/text_state.h"
#include "text_test_util.h"

namespace {

using Rows = std::vector<std::string>;

// clang-format off
// Over a background of 2 from (2, 97): the frame at x 4 and y 99, the grey
// panel, swatch 0 (black inside its grey outline) and the left of swatch 1.
const Rows kPanelLeft = {
    "22222222222222222222222222222222",
    "22222222222222222222222222222222",
    "22..............................",
    "22.77777777777777777777777777777",
    "22.77777777777777777777777777777",
    "22.77777777777777777777777777777",
    "22.77777777777777777777777777777",
    "22.77777777777777777777777777777",
    "22.77777777777777777777777777777",
    "22.777777.........77777777777111",
    "22.777777.........77777777777111",
    "22.777777.........77777777777111",
    "22.777777.........77777777777111",
    "22.777777.........77777777777111",
    "22.777777.........77777777777111",
    "22.777777.........77777777777111",
    "22.777777.........77777777777111",
    "22.777777.........77777777777111",
    "22.77777777777777777777777777777",
    "22.77777777777777777777777777777",
};
// From (322, 126): the bottom-right corner of the frame, then the
// checkered shadow to x 331.
const Rows kPanelCorner = {
    "7777..2.2.22",
    "7777.2.2.222",
    "7777..2.2.22",
    "7777.2.2.222",
    "7777..2.2.22",
    ".....2.2.222",
    "2.2.2.2.2.22",
    ".2.2.2.2.222",
    "2.2.2.2.2.22",
    ".2.2.2.2.222",
    "222222222222",
};
// From (287, 103): frames 14 (x 289..301) and 15 (x 308..321) with 15 selected.
const Rows kFifteenSelected = {
    "7777777777777777777777777777777777777",
    "77.............777777EEEEEEEEEEEEEE77",
    "77.77777777777.777777E777777777777E77",
    "77.7EEEEEEEEE7.777777E77FFFFFFFFF7E77",
    "77.7EEEEEEEEE7.777777E77FFFFFFFFF7E77",
    "77.7EEEEEEEEE7.777777E77FFFFFFFFF7E77",
    "77.7EEEEEEEEE7.777777E77FFFFFFFFF7E77",
    "77.7EEEEEEEEE7.777777E77FFFFFFFFF7E77",
    "77.7EEEEEEEEE7.777777E77FFFFFFFFF7E77",
    "77.7EEEEEEEEE7.777777E77FFFFFFFFF7E77",
    "77.7EEEEEEEEE7.777777E77FFFFFFFFF7E77",
    "77.7EEEEEEEEE7.777777E77FFFFFFFFF7E77",
    "77.77777777777.777777E777777777777E77",
    "77.............777777EEEEEEEEEEEEEE77",
    "7777777777777777777777777777777777777",
};
// The same with 14 selected: all of frame 15 is cleared, its column 308 too.
const Rows kFourteenSelected = {
    "7777777777777777777777777777777777777",
    "77EEEEEEEEEEEEE777777..............77",
    "77E77777777777E777777.777777777777.77",
    "77E7EEEEEEEEE7E777777.77FFFFFFFFF7.77",
    "77E7EEEEEEEEE7E777777.77FFFFFFFFF7.77",
    "77E7EEEEEEEEE7E777777.77FFFFFFFFF7.77",
    "77E7EEEEEEEEE7E777777.77FFFFFFFFF7.77",
    "77E7EEEEEEEEE7E777777.77FFFFFFFFF7.77",
    "77E7EEEEEEEEE7E777777.77FFFFFFFFF7.77",
    "77E7EEEEEEEEE7E777777.77FFFFFFFFF7.77",
    "77E7EEEEEEEEE7E777777.77FFFFFFFFF7.77",
    "77E7EEEEEEEEE7E777777.77FFFFFFFFF7.77",
    "77E77777777777E777777.777777777777.77",
    "77EEEEEEEEEEEEE777777..............77",
    "7777777777777777777777777777777777777",
};
// clang-format on

class ColourChooserTest : public Mode8TextTest {
 protected:
  void SetUp() override {
    Mode8TextTest::SetUp();
    // A background of colour 2 makes the black frame and shadow visible.
    set_pages(1, 1);
    LINE(0, 0, 639, 199, 2, kLineBoxFilled, 0xFFFF, 0);
  }
};

// Queues keys as a user typing ahead would.
void Press(const std::vector<uint32_t>& codes) {
  lock_screen();
  for (uint32_t code : codes) key_ring_write(gfx_screen()->keys, code);
  unlock_screen_unflagged();
}

int Choose(int colour, const std::vector<uint32_t>& codes) {
  Editor ed;
  ed.DrawColor = colour;
  Press(codes);
  ChooseColor(ed);
  return ed.DrawColor;
}

}  // namespace

TEST_F(ColourChooserTest, PanelSwatchesAndOutlines) {
  DrawColourChooser();
  EXPECT_TRUE(PageMatches(1, 2, 97, kPanelLeft));
  EXPECT_TRUE(PageMatches(1, 322, 126, kPanelCorner));
  for (int k = 0; k < 16; ++k) {
    EXPECT_EQ(PixelAt(1, 15 + 20 * k, 110), k) << k;
    EXPECT_EQ(PixelAt(1, 10 + 20 * k, 105), 7) << k;
    EXPECT_EQ(PixelAt(1, 20 + 20 * k, 115), 7) << k;
  }
}

TEST_F(ColourChooserTest, PromptFillsTheHelpLineInTheCurrentColours) {
  TextState& t = text_state();
  t.Fcolor = 14;
  t.Bcolor = 3;
  DrawColourChooser();
  // "Us" at (1, 195); the final "." at x 596; five blank cells to x 638.
  EXPECT_TRUE(PageMatches(1, 0, 195,
                          {"2E333E333E", "2E333E33E3", "2E333E333E", "2E333E3333", "23EEE333EE"}));
  EXPECT_EQ(PixelAt(1, 598, 199), 14);
  for (int x = 603; x <= 638; ++x) ASSERT_EQ(PixelAt(1, x, 197), 3) << x;
  EXPECT_EQ(PixelAt(1, 639, 197), 2);
  EXPECT_EQ(t.Fcolor, 14);
  EXPECT_EQ(t.Bcolor, 3);
}

TEST_F(ColourChooserTest, FrameOfFifteenIsOneColumnWider) {
  DrawColourChooser();
  DrawColourSelection(15);
  EXPECT_TRUE(PageMatches(1, 287, 103, kFifteenSelected));

  DrawColourSelection(14);
  EXPECT_TRUE(PageMatches(1, 287, 103, kFourteenSelected));

  // Frame 0 spans x 9..21; back on 15, frame 0 is black again.
  DrawColourSelection(0);
  EXPECT_TRUE(PageMatches(1, 8, 104, {"7EEEEEEEEEEEEE7", "7E77777777777E7", "7E7.........7E7"}));
  DrawColourSelection(15);
  EXPECT_TRUE(PageMatches(1, 8, 104, {"7.............7", "7.77777777777.7", "7.7.........7.7"}));
  EXPECT_TRUE(PageMatches(1, 287, 103, kFifteenSelected));
}

TEST_F(ColourChooserTest, ArrowsWrapRoundAndOtherKeysChangeNothing) {
  EXPECT_EQ(Choose(15, {kCodeRight, kCodeEnter}), 0);
  EXPECT_EQ(Choose(0, {kCodeLeft, kCodeEnter}), 15);
  EXPECT_EQ(Choose(1, {kCodeLeft, kCodeLeft, kCodeEnter}), 15);
  EXPECT_EQ(Choose(1, {kCodeLeft, kCodeLeft, kCodeEsc}), 1);
  EXPECT_EQ(Choose(5, {kCodeRight, kCodeRight, kCodeRight, kCodeEsc}), 5);
  EXPECT_EQ(Choose(9, {kCodeUp, kCodeDown, 'a', 'M', 0xFF, 8, 3, kCodeEnter}), 9);
}

TEST_F(ColourChooserTest, EndsOnPageOneWithTheChosenFrame) {
  text_state().Fcolor = 12;
  EXPECT_EQ(Choose(14, {kCodeRight, kCodeEnter}), 15);
  EXPECT_EQ(draw_context()->work_page, 1);
  EXPECT_EQ(gfx_screen()->visible_page, 1);
  EXPECT_EQ(PixelAt(1, 308, 110), 14);
  EXPECT_EQ(PixelAt(1, 301, 110), 0);
  EXPECT_EQ(text_state().Fcolor, 12);
}

TEST_F(ColourChooserTest, RedrawRequestIsClearedAndDropsTheKeyReadWithIt) {
  Editor ed;
  ed.DrawColor = 3;
  ed.RedrawRequest = 1;
  Press({kCodeRight, kCodeRight, kCodeEnter});
  ChooseColor(ed);
  EXPECT_EQ(ed.DrawColor, 4);
  EXPECT_EQ(ed.RedrawRequest, 0);
}
