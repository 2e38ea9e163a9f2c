#include <gtest/gtest.h>

#include "gfx/draw.h"
#include "gfx/screen.h"
#include "gfx_test_util.h"

using CirclePaintTest = Mode8Test;

namespace {
void Ellipse(float x, float y, float r, uint32_t c, float aspect, int fill = 0) {
  CIRCLE(x, y, r, c, aspect, 0, kFullTurn, fill, kCoordPoint);
}
}  // namespace

TEST_F(CirclePaintTest, FullTurnConstantIsOneStepAbove2Pi) {
  EXPECT_EQ(kFullTurn, 6.283185958862305f);
}

TEST_F(CirclePaintTest, SmallCircle) {
  Ellipse(10, 10, 2, 7, 1);
  EXPECT_TRUE(LitPixels(0) ==
              (PixelSet{{10, 8}, {9, 9}, {11, 9}, {8, 10}, {12, 10}, {9, 11}, {11, 11}, {10, 12}}));
  EXPECT_EQ(draw_context()->last_x, 10.0f);
}

TEST_F(CirclePaintTest, DefaultAspectOfModeEight) {
  ClearRowFlags();
  Ellipse(100, 50, 10, 14, 0);
  PixelSet lit = LitPixels(0);
  int top = 200, bottom = -1;
  for (auto [x, y] : lit) top = std::min(top, y), bottom = std::max(bottom, y);
  EXPECT_EQ(top, 46);
  EXPECT_EQ(bottom, 54);
  for (int x = 96; x <= 104; ++x) EXPECT_TRUE(lit.count({x, 46}) && lit.count({x, 54})) << x;
  EXPECT_FALSE(lit.count({95, 46}) || lit.count({105, 54}));
  PixelSet row50;
  for (auto p : lit) {
    if (p.second == 50) row50.insert(p);
  }
  EXPECT_TRUE(row50 == (PixelSet{{90, 50}, {110, 50}}));
  EXPECT_EQ(FlaggedRows(), 10);  // trunc(45.83) .. trunc(54.17)
}

TEST_F(CirclePaintTest, RadiusOneAndNonPositiveRadius) {
  Ellipse(50, 50, 0, 7, 1);
  Ellipse(50, 50, -3, 7, 1);
  EXPECT_TRUE(LitPixels(0).empty());
  Ellipse(50, 50, 1, 7, 1);
  EXPECT_TRUE(LitPixels(0) == (PixelSet{{49, 50}, {51, 50}, {50, 49}, {50, 51}}));
}

TEST_F(CirclePaintTest, AspectAboveOneNarrowsTheEllipse) {
  Ellipse(20, 20, 4, 2, 2);  // a = 2, b = 4
  PixelSet lit = LitPixels(0);
  EXPECT_TRUE(lit.count({18, 20}) && lit.count({22, 20}));
  EXPECT_TRUE(lit.count({20, 16}) && lit.count({20, 24}));
  EXPECT_FALSE(lit.count({17, 20}) || lit.count({20, 15}));
}

TEST_F(CirclePaintTest, TinyNegativeAspectDrawsAFlatRowOfPoints) {
  // The aspect an ellipse tool reaches after ten steps of -0.1 from 1.
  Ellipse(30, 30, 3, 5, -7.301569e-08f);
  EXPECT_TRUE(LitPixels(0) ==
              (PixelSet{{27, 30}, {28, 30}, {29, 30}, {30, 30}, {31, 30}, {32, 30}, {33, 30}}));
}

TEST_F(CirclePaintTest, FilledEllipseWritesRuns) {
  Ellipse(10, 10, 2, 6, 1, 1);
  EXPECT_TRUE(PageMatches(
      0, 7, 7, {".......", "...6...", "..666..", ".66666.", "..666..", "...6...", "......."}));
}

TEST_F(CirclePaintTest, EllipseIsClippedAtTheEdges) {
  Ellipse(0, 0, 2, 7, 1);
  EXPECT_TRUE(LitPixels(0) == (PixelSet{{2, 0}, {1, 1}, {0, 2}}));
}

TEST_F(CirclePaintTest, ArcWithNegativeAnglesDrawsRadiusLines) {
  CIRCLE(50, 50, 10, 3, 1, -0.0001f, -1.5707964f, 0, kCoordPoint);
  PixelSet lit = LitPixels(0);
  for (int x = 50; x <= 60; ++x) EXPECT_TRUE(lit.count({x, 50})) << x;
  for (int y = 40; y <= 50; ++y) EXPECT_TRUE(lit.count({50, y})) << y;
  EXPECT_TRUE(lit.count({57, 43}));  // on the arc, 45 degrees
  EXPECT_FALSE(lit.count({43, 57}));
  EXPECT_EQ(draw_context()->last_x, 50.0f);
}

TEST_F(CirclePaintTest, ArcPointsRoundEachProductOnce) {
  // b = 57.5: the top of the arc is 163 - R(57.5) = 105, not 106.
  CIRCLE(516, 163, 138, 9, 0, 1.0766f, -10.4626f, 0, kCoordPoint);
  PixelSet lit = LitPixels(0);
  EXPECT_TRUE(lit.count({516, 105}));
  EXPECT_FALSE(lit.count({516, 106}));
}

TEST_F(CirclePaintTest, ArcsFarFromZeroEnd) {
  // Adding the step no longer changes such angles; each call must return.
  CIRCLE(320, 100, 50, 7, 1, 1e15f, 1e15f + 1e9f, 0, kCoordPoint);
  CIRCLE(320, 100, 100, 7, 1, 1e14f, 0.5f, 0, kCoordPoint);
  CIRCLE(320, 100, 1000, 7, 1, 1e13f, 2, 0, kCoordPoint);
  EXPECT_FALSE(LitPixels(0).empty());
}

TEST_F(CirclePaintTest, PaintFillsInsideAClosedOutline) {
  LINE(10, 10, 20, 16, 6, kLineBox, 0xFFFF, 0);
  PSET(15, 13, 6, 4, 0);  // an island of the border colour
  PSET(12, 12, 3, 4, 0);  // another colour is filled over
  PAINT(14, 12, 6, 6, "", 0, 4);
  for (int y = 10; y <= 16; ++y) {
    for (int x = 10; x <= 20; ++x) EXPECT_EQ(PixelAt(0, x, y), 6) << x << "," << y;
  }
  EXPECT_EQ(PixelAt(0, 9, 12), 0);
  EXPECT_EQ(PixelAt(0, 21, 12), 0);
  EXPECT_EQ(LitPixels(0).size(), 77u);
}

TEST_F(CirclePaintTest, PaintDiscoversSpansOnTheUnchangedPicture) {
  // A U shape: the fill runs down one arm and up the other.
  LINE(0, 0, 8, 0, 1, kLineLine, 0xFFFF, 0);
  LINE(0, 0, 0, 6, 1, kLineLine, 0xFFFF, 0);
  LINE(8, 0, 8, 6, 1, kLineLine, 0xFFFF, 0);
  LINE(0, 6, 8, 6, 1, kLineLine, 0xFFFF, 0);
  LINE(4, 0, 4, 4, 1, kLineLine, 0xFFFF, 0);
  PAINT(2, 2, 2, 1, "", 0, 4);
  EXPECT_TRUE(PageMatches(
      0, 0, 0,
      {"111111111", "122212221", "122212221", "122212221", "122212221", "122222221", "111111111"}));
}

TEST_F(CirclePaintTest, PaintThroughAGapReachesTheViewEdges) {
  LINE(10, 10, 20, 16, 6, kLineBox, 0xFFFF, 0);
  PSET(20, 13, 0, 4, 0);
  PAINT(14, 12, 6, 6, "", 0, 4);
  EXPECT_EQ(PixelAt(0, 0, 0), 6);
  EXPECT_EQ(PixelAt(0, 639, 199), 6);
  EXPECT_EQ(LitPixels(0).size(), 640u * 200u);
}

TEST_F(CirclePaintTest, PaintOnTheBorderOrOutsideDoesNothing) {
  LINE(10, 10, 20, 16, 6, kLineBox, 0xFFFF, 0);
  ClearRowFlags();
  PAINT(10, 12, 6, 6, "", 0, 4);
  PAINT(-1, 12, 6, 6, "", 0, 4);
  PAINT(5, 200, 6, 6, "", 0, 4);
  EXPECT_EQ(FlaggedRows(), 0);
  EXPECT_EQ(LitPixels(0).size(), 32u);
}

TEST_F(CirclePaintTest, PaintColourOmittedAndBorderOmittedFlags) {
  LINE(0, 0, 4, 4, 15, kLineBox, 0xFFFF, 0);
  PAINT(2, 2, 3, 0, "", 0, kCoordPoint | kColourOmitted | kBorderOmitted);
  EXPECT_EQ(PixelAt(0, 2, 2), 15);
  EXPECT_EQ(PixelAt(0, 6, 6), 0);
}
