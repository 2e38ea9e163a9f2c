#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <limits>
#include <random>

#include "gfx/draw.h"
#include "gfx/screen.h"
#include "gfx/text.h"
#include "gfx_test_util.h"

using PrimitivesTest = Mode8Test;

namespace {
void Line(float x1, float y1, float x2, float y2, uint32_t c, uint32_t style = 0xFFFF) {
  LINE(x1, y1, x2, y2, c, kLineLine, style, 0);
}
}  // namespace

TEST_F(PrimitivesTest, CoordinatesRoundHalfAwayFromZero) {
  EXPECT_EQ(round_coordinate(2.5f), 3);
  EXPECT_EQ(round_coordinate(2.4999998f), 2);
  EXPECT_EQ(round_coordinate(0.49999997f), 0);
  EXPECT_EQ(round_coordinate(-2.5f), -3);
  EXPECT_EQ(round_coordinate(-0.5f), -1);
  EXPECT_EQ(round_coordinate(-0.4f), 0);
  PSET(2.5f, 1.5f, 9, 4, 0);
  EXPECT_EQ(PixelAt(0, 3, 2), 9);
}

TEST_F(PrimitivesTest, PsetAndPointWithColourRules) {
  PSET(4, 4, 12, 4, 0);
  EXPECT_EQ(POINT(4, 4), 12);
  PSET(5, 4, 0x1234, 4, 0);  // masked to the low 8 bits
  EXPECT_EQ(POINT(5, 4), 0x34);
  PSET(6, 4, 3, kColourOmitted | 4, 0);  // foreground
  EXPECT_EQ(POINT(6, 4), 15);
  PSET(6, 4, 3, kColourOmitted | 4, 1);  // preset: background
  EXPECT_EQ(POINT(6, 4), 0);
  EXPECT_EQ(POINT(-1, 0), -1);
  EXPECT_EQ(POINT(640, 0), -1);
  EXPECT_EQ(POINT(0, 200), -1);
  PSET(700, 4, 2, 4, 0);
  EXPECT_TRUE(LitPixels(0) == (PixelSet{{4, 4}, {5, 4}}));
}

TEST_F(PrimitivesTest, RelativeCoordinatesFollowTheLastPoint) {
  PSET(10, 10, 1, kCoordPoint, 0);
  PSET(2, 3, 2, kCoordPointRel, 0);  // (12, 13)
  EXPECT_EQ(PixelAt(0, 12, 13), 2);
  LINE(1, 0, 0, 0, 3, kLineLine, 0xFFFF, kCoordFirstRel);  // (13,13)-(0,0)
  EXPECT_EQ(PixelAt(0, 13, 13), 3);
  EXPECT_EQ(PixelAt(0, 0, 0), 3);
  LINE(0, 0, 4, 0, 4, kLineLine, 0xFFFF, kCoordBothRel);  // (0,0)-(4,0)
  EXPECT_TRUE(PageMatches(0, 0, 0, {"44444"}));
  LINE(20, 20, 2, 1, 5, kLineLine, 0xFFFF, kCoordSecondRel);  // (20,20)-(22,21)
  EXPECT_TRUE(PageMatches(0, 20, 20, {"5..", ".55"}));
  EXPECT_EQ(draw_context()->last_x, 22.0f);
}

TEST_F(PrimitivesTest, LineShapes) {
  Line(5, 5, 5, 5, 7);
  EXPECT_TRUE(LitPixels(0) == (PixelSet{{5, 5}}));
  Line(0, 0, 2, 1, 1);
  EXPECT_TRUE(PageMatches(0, 0, 0, {"1..", ".11"}));
  // Steep line: y is the major axis; ties stay with x.
  Line(20, 0, 22, 4, 2);
  EXPECT_TRUE(PageMatches(0, 20, 0, {"2..", ".2.", ".2.", "..2", "..2"}));
  Line(40, 0, 44, 4, 3);
  EXPECT_TRUE(PageMatches(0, 40, 0, {"3....", ".3...", "..3..", "...3.", "....3"}));
  // Drawn from the right end toward the left end: no exchange.
  Line(63, 1, 60, 0, 4);
  EXPECT_TRUE(PageMatches(0, 60, 0, {"44..", "..44"}));
}

// A solid line is drawn by its own loop; the two complementary dotted
// styles, drawn pixel by pixel, must together light exactly its pixels, in
// every direction and slope and clipped at any edge.
TEST_F(PrimitivesTest, SolidLinesLightTheirDottedHalvesTogether) {
  std::mt19937 rng(3);
  auto pick = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };
  for (int i = 0; i < 1000; ++i) {
    const float x1 = static_cast<float>(pick(-40, 680)), y1 = static_cast<float>(pick(-40, 240));
    const int reach = pick(0, 2) == 0 ? 700 : 40;
    const float x2 = x1 + static_cast<float>(pick(-reach, reach));
    const float y2 = y1 + static_cast<float>(pick(-reach, reach));
    CLS(0);
    Line(x1, y1, x2, y2, 5);
    const PixelSet solid = LitPixels(0);
    CLS(0);
    Line(x1, y1, x2, y2, 5, 0xAAAA);
    Line(x1, y1, x2, y2, 5, 0x5555);
    ASSERT_TRUE(LitPixels(0) == solid) << x1 << "," << y1 << " - " << x2 << "," << y2;
  }
}

TEST_F(PrimitivesTest, VerticalLineStylesAnchorAtTheFirstPoint) {
  Line(3, 10, 3, 15, 1, 0xAAAA);
  EXPECT_TRUE(LitPixels(0) == (PixelSet{{3, 10}, {3, 12}, {3, 14}}));
  SCREEN(8, 4, 2, 0, 0);
  Line(3, 10, 3, 15, 1, 0x5555);
  EXPECT_TRUE(LitPixels(0) == (PixelSet{{3, 11}, {3, 13}, {3, 15}}));
  SCREEN(8, 4, 2, 0, 0);
  Line(3, 15, 3, 10, 1, 0xAAAA);
  EXPECT_TRUE(LitPixels(0) == (PixelSet{{3, 11}, {3, 13}, {3, 15}}));
}

TEST_F(PrimitivesTest, StyleRotatesAcrossSixteenPixels) {
  Line(0, 0, 19, 0, 6, 0xF0F1);  // 1111 0000 1111 0001, then wraps
  EXPECT_TRUE(PageMatches(0, 0, 0, {"6666....6666...66666"}));
  Line(19, 2, 0, 2, 6, 0x8000);  // reversed horizontal: anchored at x = 19
  EXPECT_TRUE(PageMatches(0, 0, 2, {"...6...............6"}));
}

TEST_F(PrimitivesTest, LinesAreClippedToTheView) {
  ClearRowFlags();
  Line(-10, 5, 700, 5, 2);
  PixelSet lit = LitPixels(0);
  EXPECT_EQ(lit.size(), 640u);
  EXPECT_TRUE(lit.count({0, 5}) && lit.count({639, 5}));
  EXPECT_EQ(FlaggedRows(), 1);
  ClearRowFlags();
  Line(-50, -10, 600, -3, 2);
  Line(10, -5, 10, -1, 2);
  EXPECT_EQ(FlaggedRows(), 0);
  EXPECT_EQ(LitPixels(0).size(), 640u);
  // Clipped at the top: the entry point is computed with truncation.
  Line(-3, -1, 7, 4, 9);  // enters at y = trunc(0.5) = 0
  EXPECT_TRUE(PageMatches(0, 0, 0, {"9.......", ".99.....", "...99...", ".....99.", ".......9"}));
}

TEST_F(PrimitivesTest, VerticalLineOutsideVerticallyIsClippedNotHung) {
  Line(7, -1000, 7, 1000, 11);
  PixelSet lit = LitPixels(0);
  EXPECT_EQ(lit.size(), 200u);
  EXPECT_TRUE(lit.count({7, 0}) && lit.count({7, 199}));
}

TEST_F(PrimitivesTest, FilledBoxIsInclusiveInAnyCornerOrder) {
  LINE(10, 10, 3, 3, 4, kLineBoxFilled, 0xFFFF, 0);
  PixelSet lit = LitPixels(0);
  EXPECT_EQ(lit.size(), 64u);
  EXPECT_TRUE(lit.count({3, 3}) && lit.count({10, 10}) && !lit.count({11, 10}));
}

TEST_F(PrimitivesTest, BoxOutlineClippedSidesStayOpen) {
  LINE(-5, 2, 4, 6, 3, kLineBox, 0xFFFF, 0);
  EXPECT_TRUE(
      PageMatches(0, 0, 1, {"......", "33333.", "....3.", "....3.", "....3.", "33333.", "......"}));
  LINE(636, 190, 645, 205, 5, kLineBox, 0xFFFF, 0);
  EXPECT_TRUE(PageMatches(0, 635, 189, {".....", ".5555", ".5...", ".5..."}));
  EXPECT_EQ(PixelAt(0, 636, 199), 5);
  EXPECT_EQ(PixelAt(0, 639, 199), 0);
  ClearRowFlags();
  LINE(-20, -20, -1, 300, 5, kLineBox, 0xFFFF, 0);
  EXPECT_EQ(FlaggedRows(), 0);
}

TEST_F(PrimitivesTest, BadNumbersDrawNothingOrSaturate) {
  const float nan = std::numeric_limits<float>::quiet_NaN();
  const float inf = std::numeric_limits<float>::infinity();
  PSET(nan, 3, 4, 4, 0);
  Line(nan, 0, 10, 10, 4);
  Line(0, 0, 10, nan, 4);
  LINE(0, 0, nan, 10, 4, kLineBoxFilled, 0xFFFF, 0);
  CIRCLE(nan, 50, 10, 4, 1, 0, kFullTurn, 0, 4);
  CIRCLE(50, 50, nan, 4, 1, 0, kFullTurn, 0, 4);
  CIRCLE(50, 50, 10, 4, nan, 0, kFullTurn, 0, 4);
  CIRCLE(50, 50, 10, 4, 1, nan, 1, 0, 4);
  PAINT(nan, 5, 4, 4, "", 0, 4);
  EXPECT_EQ(POINT(nan, 0), -1);
  EXPECT_TRUE(LitPixels(0).empty());
  // Saturated: the far end is clipped away, the line is drawn.
  Line(0, 5, inf, 5, 4);
  Line(0, 6, 1e30f, 6, 4);
  Line(-inf, 7, 5, 7, 4);
  LINE(-1e30f, -1e30f, 1e30f, 1e30f, 2, kLineBox, 0xFFFF, 0);
  EXPECT_EQ(PixelAt(0, 639, 5), 4);
  EXPECT_EQ(PixelAt(0, 639, 6), 4);
  EXPECT_EQ(PixelAt(0, 0, 7), 4);
  EXPECT_EQ(PixelAt(0, 6, 7), 0);
  Line(-1e30f, -1e30f, 1e30f, 1e30f, 9);  // the diagonal through the screen
  EXPECT_EQ(PixelAt(0, 100, 100), 9);
}

TEST_F(PrimitivesTest, SaturatedEndsTwoToThe31ApartClipExactly) {
  // The ends saturate to -2^30 and 2^30. The first line crosses x = 0 and
  // x = 639 at y = 99.5 and a hair, both truncated to row 99; the second
  // crosses y = 199 and y = 0 at x = 319.5 less a hair and 319 and a hair.
  Line(-1e30f, 0, 1e30f, 199, 3);
  EXPECT_EQ(LitPixels(0).size(), 640u);
  EXPECT_EQ(PixelAt(0, 0, 99), 3);
  EXPECT_EQ(PixelAt(0, 639, 99), 3);
  Line(0, 1e30f, 639, -1e30f, 5);
  EXPECT_EQ(LitPixels(0).size(), 640u + 199u);
  EXPECT_EQ(PixelAt(0, 319, 0), 5);
  EXPECT_EQ(PixelAt(0, 319, 199), 5);
  EXPECT_EQ(PixelAt(0, 320, 50), 0);
}

TEST_F(PrimitivesTest, HugeArgumentsReturnQuickly) {
  auto start = std::chrono::steady_clock::now();
  for (float r : {1e9f, 3e6f, 1.9e6f, 1e30f, 3.4e38f}) {
    CIRCLE(320, 100, r, 4, 1, 0, kFullTurn, 0, 4);
    CIRCLE(320, 100, r, 4, 1e-9f, 0, kFullTurn, 0, 4);
    CIRCLE(320, 100, r, 4, 1e9f, 0, kFullTurn, 0, 4);
    CIRCLE(-r, 100, r, 4, 1, 0, kFullTurn, 0, 4);
    CIRCLE(320, 100, r, 4, 1, 0.5f, 1.5f, 0, 4);
    CIRCLE(320, 100, r, 4, 1, -1e30f, 1e30f, 0, 4);
  }
  CIRCLE(320, 100, 50, 4, 1, -1e30f, 1e30f, 0, 4);
  CIRCLE(320, 100, 50, 4, 1, 1e30f, -3.4e38f, 0, 4);
  double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  // Generous, for sanitizer builds: without the guards this takes minutes.
  EXPECT_LT(seconds, 5.0);
}
