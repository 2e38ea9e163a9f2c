#include "screens/dialogs.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "gfx/draw.h"
#include "gfx/screen.h"
#include "strokefont/text_state.h"
#include "text_test_util.h"

namespace {

using DialogsTest = Mode8TextTest;

std::vector<uint8_t> Page(int page) {
  GfxScreen* s = gfx_screen();
  return {s->pages[page], s->pages[page] + static_cast<size_t>(s->pitch) * s->height};
}

TEST_F(DialogsTest, ShadowIsACheckerboardOverThePicture) {
  Fill(8, 18, 18, 25, 2);
  DrawShadow(10, 20, 13, 23, 8);  // odd width: columns 10..13
  EXPECT_TRUE(PageMatches(
      0, 9, 19, {"22222222", "28282222", "22828222", "28282222", "22828222", "22222222"}));

  Fill(8, 18, 18, 25, 2);
  DrawShadow(10, 20, 14, 23, 8);  // even width: the last pair reaches column 15
  EXPECT_TRUE(PageMatches(
      0, 9, 19, {"22222222", "28282822", "22828282", "28282822", "22828282", "22222222"}));

  // Taller than the 16-bit line style: the rows keep alternating.
  Fill(0, 0, 639, 199, 0);
  DrawShadow(10, 20, 11, 90, 8);
  for (int y = 20; y <= 90; ++y) {
    ASSERT_EQ(PixelAt(0, 10, y), (y - 20) % 2 == 0 ? 8 : 0) << y;
    ASSERT_EQ(PixelAt(0, 11, y), (y - 20) % 2 == 1 ? 8 : 0) << y;
  }
  EXPECT_EQ(LitPixels(0).size(), 71u);
}

TEST_F(DialogsTest, BoxIsShadowThenBorderThenBody) {
  Fill(18, 18, 31, 28, 4);
  DrawBox(20, 20, 24, 22, 7, 0);
  EXPECT_TRUE(PageMatches(0, 18, 18,
                          {
                              "44444444444444",
                              "4.......444444",
                              "4.77777.444444",
                              "4.77777.444444",
                              "4.77777.444444",
                              "4.......444444",
                              "44444444444444",
                              "4444444.4.4.44",
                              "44444444.4.4.4",
                              "4444444.4.4.44",
                              "44444444444444",
                          }));
  // A shadow that reaches under the body is covered by it.
  Fill(0, 0, 639, 199, 0);
  DrawBox(50, 50, 60, 60, 15, 9);
  EXPECT_EQ(PixelAt(0, 56, 56), 15);
  EXPECT_EQ(PixelAt(0, 61, 55), 0);
  EXPECT_EQ(PixelAt(0, 62, 57), 0);
  EXPECT_EQ(PixelAt(0, 62, 56), 9);
}

TEST_F(DialogsTest, HelpLineDrawsAtTheBottomRow) {
  Fill(0, 190, 639, 199, 9);
  TextState& t = text_state();
  t.wx = 300;
  t.wy = 20;
  DrawHelpLine("a");
  EXPECT_TRUE(PageMatches(
      0, 0, 194,
      {"9999999999", "9..7.....9", "9.7.7....9", "9.7.7....9", "977777...9", "97...7...9"}));
  EXPECT_EQ(t.wx, 1);
  EXPECT_EQ(t.wy, 1);
}

class MessageBoxDrawing : public DialogsTest {
 protected:
  void SetUp() override {
    DialogsTest::SetUp();
    Fill(0, 0, 639, 199, 9);
    PCOPY(0, 1);
    before_ = Page(0);
    line1_ = "ok";
    line3_ = "  .";
    line6_ = std::string(57, 'I');
    DrawMessageBox(line1_, line2_, line3_, line4_, line5_, line6_);
  }
  std::vector<uint8_t> before_;
  std::string line1_, line2_, line3_, line4_, line5_, line6_;
};

TEST_F(MessageBoxDrawing, DrawsOnPageOneAndShowsIt) {
  EXPECT_EQ(Page(0), before_);
  EXPECT_EQ(draw_context()->work_page, 1);
  EXPECT_EQ(gfx_screen()->visible_page, 1);
  const TextState& t = text_state();
  EXPECT_EQ(t.wx, 1);
  EXPECT_EQ(t.wy, 147);
  EXPECT_EQ(line1_, "OK");
  EXPECT_EQ(line6_, std::string(57, 'I'));
}

TEST_F(MessageBoxDrawing, BoxLayers) {
  EXPECT_EQ(PixelAt(1, 99, 99), 0);  // border corners
  EXPECT_EQ(PixelAt(1, 501, 171), 0);
  EXPECT_EQ(PixelAt(1, 98, 98), 9);  // picture around the box
  EXPECT_EQ(PixelAt(1, 502, 102), 9);
  EXPECT_EQ(PixelAt(1, 300, 150), 7);  // body
  EXPECT_EQ(PixelAt(1, 505, 175), 0);  // shadow corner
  EXPECT_EQ(PixelAt(1, 506, 175), 9);
  EXPECT_EQ(PixelAt(1, 106, 174), 0);
  EXPECT_EQ(PixelAt(1, 506, 174), 0);  // one column past the right edge
  EXPECT_EQ(PixelAt(1, 106, 175), 9);
  EXPECT_EQ(PixelAt(1, 104, 173), 9);
}

TEST_F(MessageBoxDrawing, ButtonIsHighlighted) {
  // "<" of "< Ok >" at (280, 154), white on black, in the body.
  EXPECT_TRUE(PageMatches(1, 279, 154,
                          {"7....7...", "7..77....", "777......", "7..77....", "7....7...",
                           "7........", "7........", "777777777"}));
  // The last cell's box ends at 322.
  EXPECT_EQ(PixelAt(1, 322, 160), 0);
  EXPECT_EQ(PixelAt(1, 323, 160), 7);
}

TEST_F(MessageBoxDrawing, LinesStandSevenApartFrom105) {
  // "OK" in black on the body colour.
  EXPECT_TRUE(PageMatches(1, 104, 105,
                          {"77...777..77.7", "7.777.777.7.77", "7.777.777..777", "7.777.777.7.77",
                           "77...777..77.7", "77777777777777"}));
  // Line 3, indented by two blanks: its point at (121, 123).
  EXPECT_EQ(PixelAt(1, 121, 123), 0);
  EXPECT_EQ(PixelAt(1, 121, 122), 7);
  // The 57th cell of line 6 spans 497..504 over the border; the shadow
  // beside it is untouched.
  EXPECT_TRUE(PageMatches(1, 496, 140, {"7.....7779.", "777.77777.9"}));
}

TEST_F(MessageBoxDrawing, HelpLineCoversTheWholeRow) {
  for (int y = 195; y < 200; ++y) {
    ASSERT_EQ(PixelAt(1, 0, y), 9);
    for (int x = 1; x < 640; ++x) ASSERT_NE(PixelAt(1, x, y), 9) << x << "," << y;
  }
  EXPECT_EQ(PixelAt(1, 1, 195), 7);  // the top-left of "P"
}

}  // namespace
