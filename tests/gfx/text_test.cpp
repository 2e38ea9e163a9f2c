#include "gfx/text.h"

#include <gtest/gtest.h>

#include <string>

#include "gfx/draw.h"
#include "gfx/screen.h"
#include "gfx_test_util.h"

using TextTest = Mode8Test;

namespace {

// True when cell (col, row) shows glyph ch in white on black.
::testing::AssertionResult CellShows(int page, int col, int row, uint8_t ch) {
  for (int dy = 0; dy < 8; ++dy) {
    for (int dx = 0; dx < 8; ++dx) {
      int want = (kFont8x8[ch][dy] >> dx) & 1 ? 15 : 0;
      int got = PixelAt(page, col * 8 + dx, row * 8 + dy);
      if (got != want) {
        return ::testing::AssertionFailure()
               << "cell " << col << "," << row << " pixel " << dx << "," << dy << " is " << got;
      }
    }
  }
  return ::testing::AssertionSuccess();
}

const TextCell& Mirror(int page, int col, int row) {
  return gfx_screen()->mirrors[page][static_cast<size_t>(row) * 80 + col];
}

}  // namespace

TEST_F(TextTest, PrintDrawsCellsAndMovesTheCursor) {
  CLS();
  PRINT("AB");
  EXPECT_TRUE(CellShows(0, 0, 0, 'A'));
  EXPECT_TRUE(CellShows(0, 1, 0, 'B'));
  EXPECT_EQ(text_cursor_row(), 2);
  EXPECT_EQ(text_cursor_column(), 1);
  EXPECT_EQ(Mirror(0, 1, 0).ch, 'B');
  EXPECT_EQ(Mirror(0, 1, 0).fg, 15u);
  PRINT("AB", false);
  EXPECT_EQ(text_cursor_row(), 2);
  EXPECT_EQ(text_cursor_column(), 3);
}

TEST_F(TextTest, CellsOverwriteTheDrawingBeneath) {
  LINE(0, 0, 639, 199, 4, kLineBoxFilled, 0xFFFF, 0);
  PRINT("\xDA\xC4", false);
  EXPECT_TRUE(CellShows(0, 0, 0, 0xDA));
  EXPECT_TRUE(CellShows(0, 1, 0, 0xC4));
  EXPECT_EQ(PixelAt(0, 16, 0), 4);
}

TEST_F(TextTest, ControlBytes) {
  PRINT("\tx", false);
  EXPECT_EQ(Mirror(0, 8, 0).ch, 'x');  // column 9, 1-based
  PRINT("\x0C\x0B\x01", false);        // drawn as glyphs, not obeyed
  EXPECT_TRUE(CellShows(0, 9, 0, 12));
  EXPECT_TRUE(CellShows(0, 10, 0, 11));
  EXPECT_EQ(text_cursor_column(), 13);
  PRINT("ab\bc", false);  // backspace steps back over b
  EXPECT_EQ(Mirror(0, 13, 0).ch, 'c');
  EXPECT_EQ(text_cursor_column(), 15);
  PRINT("\b", false);
  LOCATE(0, 1);
  PRINT("\b\bz\rq\nw", false);  // backspace stops at the left edge
  EXPECT_EQ(Mirror(0, 0, 0).ch, 'q');
  EXPECT_EQ(Mirror(0, 0, 1).ch, 'w');
}

TEST_F(TextTest, LongTextWrapsToTheNextRow) {
  PRINT(std::string(85, 'k'), false);
  EXPECT_EQ(Mirror(0, 79, 0).ch, 'k');
  EXPECT_EQ(Mirror(0, 4, 1).ch, 'k');
  EXPECT_EQ(Mirror(0, 5, 1).ch, ' ');
  EXPECT_EQ(text_cursor_row(), 2);
  EXPECT_EQ(text_cursor_column(), 6);
}

TEST_F(TextTest, TwentyFifthLineEndScrollsEverything) {
  PSET(300, 197, 9, 4, 0);
  for (int i = 0; i < 25; ++i) PRINT("x");
  EXPECT_EQ(text_cursor_row(), 25);
  EXPECT_EQ(Mirror(0, 0, 0).ch, 'x');
  EXPECT_EQ(Mirror(0, 0, 23).ch, 'x');
  EXPECT_EQ(Mirror(0, 0, 24).ch, ' ');
  EXPECT_TRUE(CellShows(0, 0, 23, 'x'));
  EXPECT_EQ(PixelAt(0, 300, 189), 9);  // graphics move with the text
  EXPECT_TRUE(PageMatches(0, 0, 192,
                          {"........", "........", "........", "........", "........", "........",
                           "........", "........"}));
}

TEST_F(TextTest, FilledBottomLineDefersItsScroll) {
  LOCATE(25, 1);
  PRINT(std::string(80, 'e'), false);
  EXPECT_EQ(Mirror(0, 79, 24).ch, 'e');
  EXPECT_EQ(Mirror(0, 0, 23).ch, ' ');
  EXPECT_EQ(text_cursor_row(), 25);
  EXPECT_EQ(text_cursor_column(), 80);
  PRINT("n", false);  // the deferred line feed scrolls first
  EXPECT_EQ(Mirror(0, 0, 23).ch, 'e');
  EXPECT_EQ(Mirror(0, 0, 24).ch, 'n');
  EXPECT_EQ(Mirror(0, 1, 24).ch, ' ');
}

TEST_F(TextTest, LocateCancelsTheDeferredLineFeed) {
  LOCATE(25, 1);
  PRINT(std::string(80, 'e'), false);
  EXPECT_EQ(LOCATE(3, 0), (3 << 8) | 80);
  PRINT("m", false);
  EXPECT_EQ(Mirror(0, 79, 2).ch, 'm');
  EXPECT_EQ(Mirror(0, 0, 24).ch, 'e');  // nothing scrolled
}

TEST_F(TextTest, LocateRefusesPositionsOutsideTheGridWithErrorOne) {
  gfx_record_error(0);
  EXPECT_EQ(LOCATE(10, 32), (10 << 8) | 32);
  EXPECT_EQ(LOCATE(0, 5), (10 << 8) | 5);
  EXPECT_EQ(gfx_last_error(), 0);
  EXPECT_EQ(LOCATE(26, 1), (10 << 8) | 5);
  EXPECT_EQ(gfx_last_error(), 1);
  gfx_record_error(0);
  EXPECT_EQ(LOCATE(1, 81), (10 << 8) | 5);
  EXPECT_EQ(gfx_last_error(), 1);
  EXPECT_EQ(LOCATE(23, 0), (23 << 8) | 5);
}

TEST_F(TextTest, ByteTwoFiftyFiveAloneDrawsOnlyTheBottomRow) {
  LINE(0, 0, 7, 7, 3, kLineBoxFilled, 0xFFFF, 0);
  PRINT("\xFF", false);
  EXPECT_TRUE(PageMatches(0, 0, 0,
                          {"33333333", "33333333", "33333333", "33333333", "33333333", "33333333",
                           "33333333", "FFFFFFFF"}));
  EXPECT_EQ(Mirror(0, 0, 0).ch, 255);
  EXPECT_EQ(text_cursor_column(), 2);
}

TEST_F(TextTest, ClsVariants) {
  PRINT("hello");
  LINE(0, 0, 639, 199, 2, kLineBox, 0xFFFF, 0);
  CLS(1);
  EXPECT_TRUE(LitPixels(0).empty());
  EXPECT_EQ(Mirror(0, 0, 0).ch, 'h');
  EXPECT_EQ(text_cursor_row(), 2);
  EXPECT_EQ(draw_context()->last_x, 320.0f);
  EXPECT_EQ(draw_context()->last_y, 100.0f);
  PRINT("x");
  CLS();
  EXPECT_TRUE(LitPixels(0).empty());
  EXPECT_EQ(Mirror(0, 0, 0).ch, ' ');
  EXPECT_EQ(text_cursor_row(), 1);
  EXPECT_EQ(text_cursor_column(), 1);
  PSET(1, 1, 5, 4, 0);
  CLS(2);
  EXPECT_TRUE(LitPixels(0).empty());
  EXPECT_EQ(draw_context()->last_x, 1.0f);
}

TEST_F(TextTest, ColorInModeEightSetsPaletteEntryZero) {
  uint32_t previous = COLOR(12, 1, 0);
  EXPECT_EQ(previous, 15u);
  EXPECT_EQ(gfx_screen()->palette[0], 0xAA0000u);
  EXPECT_EQ(draw_context()->foreground, 12u);
  EXPECT_EQ(draw_context()->background, 0u);
  COLOR(0, 17, kColorFgOmitted);  // 17 modulo 16
  EXPECT_EQ(gfx_screen()->palette[0], 0xAA0000u);
  EXPECT_EQ(draw_context()->foreground, 12u);
}
