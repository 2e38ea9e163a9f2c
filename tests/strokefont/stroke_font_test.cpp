#include "strokefont/stroke_font.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <random>
#include <string>
#include <vector>

#include "gfx/draw.h"
#include "gfx/screen.h"
#include "strokefont/text_state.h"
#include "text_test_util.h"

namespace {

using StrokeFontTest = Mode8TextTest;

size_t Lit(const std::vector<std::string>& rows) {
  size_t n = 0;
  for (const std::string& r : rows) n += r.size() - std::count(r.begin(), r.end(), '.');
  return n;
}

// Draws one glyph alone at (20, 30) in colour 12 and compares it, with a
// blank border, to a 5 x 5 picture; nothing else may be lit.
::testing::AssertionResult GlyphIs(std::string_view ch, const std::vector<std::string>& rows) {
  Fill(0, 0, 639, 199, 0);
  text_state().Fcolor = 12;
  DrawStrokeGlyph(ch, 20, 30);
  std::vector<std::string> framed = {"......."};
  for (const std::string& r : rows) framed.push_back("." + r + ".");
  framed.push_back(".......");
  ::testing::AssertionResult same = PageMatches(0, 19, 29, framed);
  if (!same) return same << " (glyph \"" << std::string(ch) << "\")";
  if (LitPixels(0).size() != Lit(rows)) {
    return ::testing::AssertionFailure() << "stray pixels for \"" << std::string(ch) << "\"";
  }
  return ::testing::AssertionSuccess();
}

const std::vector<std::string> kPlus = {".....", "..C..", ".CCC.", "..C..", "....."};

TEST_F(StrokeFontTest, GlyphPixels) {
  EXPECT_TRUE(GlyphIs("A", {"..C..", ".C.C.", ".C.C.", "CCCCC", "C...C"}));
  EXPECT_TRUE(GlyphIs("B", {"CCCC.", "C...C", "CCCC.", "C...C", "CCCC."}));
  EXPECT_TRUE(GlyphIs(".", {".....", ".....", ".....", ".....", "..C.."}));
  EXPECT_TRUE(GlyphIs("<", {"....C", "..CC.", "CC...", "..CC.", "....C"}));
}

TEST_F(StrokeFontTest, ContinuedSegmentsCloseTheirPaths) {
  // Top bar right to left, then down the left side and right again.
  EXPECT_TRUE(GlyphIs("5", {"CCCCC", "C....", "CCCC.", "....C", "CCCC."}));
  // The first diagonal goes on to the bottom from its end point.
  EXPECT_TRUE(GlyphIs("}", {".CC..", "..C..", "...C.", "..C..", ".CC.."}));
  EXPECT_TRUE(GlyphIs("{", {"..CC.", "..C..", ".C...", "..C..", "..CC."}));
}

TEST_F(StrokeFontTest, AnythingButOneTableCharacterDrawsThePlus) {
  const std::vector<std::string_view> others = {"\"", "~", "`",  "|",    "a",
                                                " ",  "",  "AB", "\x80", std::string_view("\0", 1)};
  for (std::string_view s : others) {
    EXPECT_TRUE(GlyphIs(s, kPlus));
  }
}

TEST_F(StrokeFontTest, TextIsUpperCasedInPlaceAndDrawnInCells) {
  TextState& t = text_state();
  t.wx = 10;
  t.wy = 20;
  std::string s = "ab";
  DrawStrokeText(s);
  EXPECT_EQ(s, "AB");
  std::vector<std::string> ab = {
      "..7....7777.", ".7.7...7...7", ".7.7...7777.", "77777..7...7", "7...7..7777.",
  };
  EXPECT_TRUE(PageMatches(0, 10, 20, ab));
  EXPECT_EQ(LitPixels(0).size(), Lit(ab));
  EXPECT_EQ(t.wx, 1);
  EXPECT_EQ(t.wy, 27);

  // Only a-z change.
  std::string other = "`z{\xE1@[";
  DrawStrokeText(other);
  EXPECT_EQ(other, "`Z{\xE1@[");
}

TEST_F(StrokeFontTest, BlankClearsItsCellAndCellBoxesAreEightWide) {
  Fill(5, 15, 30, 30, 5);
  TextState& t = text_state();
  t.Fcolor = 14;
  t.Bcolor = 1;
  t.wx = 10;
  t.wy = 20;
  DrawStrokeText(" .");
  // Two cells clear 15 columns (10..24): each box covers the first column
  // of the next.
  const std::string edge(17, '5'), clear = "5" + std::string(15, '1') + "5";
  EXPECT_TRUE(PageMatches(
      0, 9, 19,
      {edge, clear, clear, clear, clear,
       "5" + std::string(9, '1') + "E" + std::string(5, '1') + "5", clear, clear, edge}));
}

TEST_F(StrokeFontTest, CellClearsToBcolorUnderTheGlyph) {
  Fill(5, 15, 30, 30, 5);
  TextState& t = text_state();
  t.Fcolor = 14;
  t.Bcolor = 1;
  t.wx = 10;
  t.wy = 20;
  DrawStrokeText("A");
  EXPECT_TRUE(PageMatches(0, 9, 19,
                          {"5555555555", "511E111115", "51E1E11115", "51E1E11115", "5EEEEE1115",
                           "5E111E1115", "5111111115", "5111111115", "5555555555"}));
}

TEST_F(StrokeFontTest, EmptyTextOnlyMovesToTheNextRow) {
  TextState& t = text_state();
  t.Bcolor = 3;
  t.wx = 50;
  t.wy = 60;
  std::string empty;
  DrawStrokeText(empty);
  EXPECT_TRUE(LitPixels(0).empty());
  EXPECT_EQ(t.wx, 1);
  EXPECT_EQ(t.wy, 67);
}

TEST_F(StrokeFontTest, RowsWrapToTheTopPast168) {
  TextState& t = text_state();
  const int cases[][2] = {{1, 8}, {161, 168}, {162, 1}, {168, 1}, {195, 1}};
  for (const auto& c : cases) {
    t.wy = c[0];
    t.wx = 300;
    DrawStrokeText("");
    EXPECT_EQ(t.wy, c[1]) << "from " << c[0];
    EXPECT_EQ(t.wx, 1);
  }
  // The help line row: drawn at 195 (the box clipped at the bottom), then row 1.
  t.wy = 195;
  DrawStrokeText("\"");
  EXPECT_TRUE(PageMatches(0, 1, 195, {".....", "..7..", ".777.", "..7..", "....."}));
  EXPECT_EQ(t.wy, 1);
}

TEST_F(StrokeFontTest, TextBeyondTheScreenIsClipped) {
  TextState& t = text_state();
  t.Bcolor = 2;
  t.wx = 630;
  t.wy = 196;
  DrawStrokeText("WWWW");
  EXPECT_EQ(PixelAt(0, 639, 196), 2);
  EXPECT_EQ(PixelAt(0, 639, 199), 7);  // the middle stroke of the second W
  t.wx = -1000000;
  t.wy = 1000000;
  DrawStrokeText("AB");
  t.wx = 2147483000;
  t.wy = -2147483000;
  DrawStrokeText("AB");
  EXPECT_EQ(t.wy, -2147482993);
  EXPECT_EQ(LitPixels(0).size(), 10u * 4u);
}

// The page, the last point and the flagged rows after a drawing.
struct Outcome {
  std::vector<uint8_t> page;
  float last_x, last_y;
  std::vector<uint8_t> flags;
  bool operator==(const Outcome&) const = default;
};

template <typename Draw>
Outcome DrawFrom(const std::vector<uint8_t>& start, Draw draw) {
  GfxScreen* s = gfx_screen();
  std::copy(start.begin(), start.end(), s->pages[0]);
  ClearRowFlags();
  draw();
  DrawContext* c = draw_context();
  return {std::vector<uint8_t>(s->pages[0], s->pages[0] + start.size()), c->last_x, c->last_y,
          s->row_flags};
}

// DrawStrokeText draws cells inside the view straight into the page; cell by
// cell through the primitives (a filled box, then the glyph's strokes) must
// give the same page, last point and flagged rows, for every character,
// colour masking, view and position, the view's edges included.
TEST_F(StrokeFontTest, TextMatchesItsCellsDrawnStrokeByStroke) {
  std::mt19937 rng(7);
  auto pick = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };
  GfxScreen* s = gfx_screen();
  std::vector<uint8_t> start(static_cast<size_t>(s->pitch) * s->height);
  for (int round = 0; round < 300; ++round) {
    for (uint8_t& px : start) px = static_cast<uint8_t>(pick(0, 15));
    DrawContext* c = draw_context();
    const bool view = round % 3 == 0;
    c->view_x = view ? pick(0, 100) : 0, c->view_y = view ? pick(0, 50) : 0;
    c->view_w = view ? pick(1, 300) : 640, c->view_h = view ? pick(1, 100) : 200;
    c->view_screen_coords = view && pick(0, 1);
    TextState& t = text_state();
    t.Fcolor = pick(0, 300), t.Bcolor = pick(0, 20);
    const int wx = pick(-10, 640), wy = pick(-8, 200);
    std::string text;
    for (int n = pick(1, 12); n > 0; --n) text += static_cast<char>(pick(0, 255));
    text += round % 2 ? " " : "";

    t.wx = wx, t.wy = wy;
    std::string copy = text;
    Outcome at_once = DrawFrom(start, [&] { DrawStrokeText(copy); });
    t.wx = wx, t.wy = wy;
    Outcome by_stroke = DrawFrom(start, [&] {
      for (char ch : text) {
        if (ch >= 'a' && ch <= 'z') ch = static_cast<char>(ch - 'a' + 'A');
        const auto x = static_cast<float>(t.wx), y = static_cast<float>(t.wy);
        LINE(x, y, x + 7, y + 6, static_cast<uint32_t>(t.Bcolor), kLineBoxFilled, 0xFFFF, 0);
        if (ch != ' ') DrawStrokeGlyph(std::string_view(&ch, 1), t.wx, t.wy);
        t.wx += 7;
      }
    });
    ASSERT_TRUE(at_once == by_stroke) << "round " << round;
  }
}

}  // namespace
