#include "gfx/screen.h"

#include <gtest/gtest.h>

#include "gfx/draw.h"
#include "gfx_test_util.h"

using ScreenTest = Mode8Test;

TEST_F(ScreenTest, Mode8OpensTwoEmptyPagesWithDefaults) {
  GfxScreen* s = gfx_screen();
  ASSERT_NE(s, nullptr);
  EXPECT_EQ(s->width, 640);
  EXPECT_EQ(s->height, 200);
  EXPECT_EQ(s->depth, 4);
  EXPECT_EQ(s->colour_mask, 15u);
  EXPECT_EQ(s->pitch, 640);
  EXPECT_EQ(s->page_count, 2);
  EXPECT_EQ(s->scanline_size, 2);
  EXPECT_EQ(s->text_cols, 80);
  EXPECT_EQ(s->text_rows, 25);
  EXPECT_FLOAT_EQ(s->aspect, 0.41666666f);
  EXPECT_EQ(s->visible_page, 0);
  EXPECT_EQ(s->cursor_col, 0);
  EXPECT_EQ(s->cursor_row, 0);
  for (int p = 0; p < 2; ++p) {
    EXPECT_EQ(reinterpret_cast<uintptr_t>(s->pages[p]) % 16, 0u);
    EXPECT_TRUE(LitPixels(p).empty());
  }
  DrawContext* c = draw_context();
  EXPECT_EQ(c->work_page, 0);
  EXPECT_EQ(c->foreground, 15u);
  EXPECT_EQ(c->background, 0u);
  EXPECT_EQ(c->view_x, 0);
  EXPECT_EQ(c->view_y, 0);
  EXPECT_EQ(c->view_w, 640);
  EXPECT_EQ(c->view_h, 200);
  // The 16-colour palette, 0x00BBGGRR; values 16-255 show black.
  EXPECT_EQ(s->palette[0], 0x000000u);
  EXPECT_EQ(s->palette[1], 0xAA0000u);
  EXPECT_EQ(s->palette[6], 0x0055AAu);
  EXPECT_EQ(s->palette[9], 0xFF5555u);
  EXPECT_EQ(s->palette[14], 0x55FFFFu);
  EXPECT_EQ(s->palette[15], 0xFFFFFFu);
  EXPECT_EQ(s->palette[16], 0u);
}

TEST_F(ScreenTest, ModesThatDoNotExistOrLackColoursAreRefused) {
  GfxScreen* before = gfx_screen();
  PSET(3, 3, 9, 4, 0);
  for (uint32_t mode : {3u, 6u, 9u, 12u, 13u, 21u, 22u, 1000u}) {
    EXPECT_EQ(SCREEN(mode, 4, 2, 0, 0), 1) << mode;
    EXPECT_EQ(gfx_last_error(), 1);
  }
  EXPECT_EQ(gfx_screen(), before);
  EXPECT_EQ(POINT(3, 3), 9);
}

TEST_F(ScreenTest, NewModeSetRebuildsTheContext) {
  set_pages(1, 0);
  PSET(1, 1, 2, 4, 0);
  ASSERT_EQ(SCREEN(8, 4, 2, 0, 0), 0);
  DrawContext* c = draw_context();
  EXPECT_EQ(c->work_page, 0);
  EXPECT_EQ(c->last_x, 0.0f);
  EXPECT_TRUE(LitPixels(1).empty());
  ASSERT_EQ(SCREEN(0, 0, 0, 0, 0), 0);
  EXPECT_EQ(gfx_screen(), nullptr);
  EXPECT_EQ(draw_context(), nullptr);
  EXPECT_EQ(POINT(1, 1), -1);
  PSET(1, 1, 2, 4, 0);  // no screen: nothing happens
  EXPECT_EQ(SCREEN(0, 0, 0, 0, 0), 0);
}

TEST_F(ScreenTest, OtherModesOpenWithTheirGeometry) {
  ASSERT_EQ(SCREEN(11, 0, 1, 0, 0), 0);
  GfxScreen* s = gfx_screen();
  EXPECT_EQ(s->width, 640);
  EXPECT_EQ(s->height, 480);
  EXPECT_EQ(s->colour_mask, 1u);
  EXPECT_EQ(s->page_count, 1);
  EXPECT_EQ(s->font_height, 16);
  EXPECT_EQ(s->palette[1], 0xFFFFFFu);
  EXPECT_EQ(draw_context()->foreground, 1u);
  ASSERT_EQ(SCREEN(7, 0, 0, 0, 0), 0);
  EXPECT_EQ(gfx_screen()->width, 320);
  EXPECT_FLOAT_EQ(gfx_screen()->aspect, 0.8333333f);
}

TEST_F(ScreenTest, DrawingOnTheHiddenPageFlagsNothingUntilShown) {
  ClearRowFlags();
  set_pages(1, 0);
  LINE(0, 10, 100, 10, 4, kLineLine, 0xFFFF, 0);
  EXPECT_EQ(FlaggedRows(), 0);
  EXPECT_EQ(PixelAt(1, 50, 10), 4);
  EXPECT_EQ(PixelAt(0, 50, 10), 0);
  set_pages(1, 1);
  EXPECT_EQ(FlaggedRows(), 200);
  EXPECT_EQ(gfx_screen()->visible, gfx_screen()->pages[1]);
}

TEST_F(ScreenTest, DrawingOnTheVisiblePageFlagsItsRows) {
  ClearRowFlags();
  LINE(5, 20, 9, 24, 3, kLineLine, 0xFFFF, 0);
  EXPECT_EQ(FlaggedRows(), 5);
  EXPECT_EQ(gfx_screen()->row_flags[19], 0);
  EXPECT_EQ(gfx_screen()->row_flags[20], 1);
  EXPECT_EQ(gfx_screen()->row_flags[24], 1);
}

TEST_F(ScreenTest, SetPagesReturnsThePreviousPagesAndIgnoresBadNumbers) {
  EXPECT_EQ(set_pages(1, 1), 0x00000);
  EXPECT_EQ(set_pages(5, 7), 0x10001);
  EXPECT_EQ(set_pages(-1, 0), 0x10001);
  EXPECT_EQ(set_pages(-1, -1), 0x10000);
  EXPECT_EQ(draw_context()->work_page, 0);
  EXPECT_EQ(gfx_screen()->visible_page, 0);
}

TEST_F(ScreenTest, PcopyRoundTripRestoresPageAndMirror) {
  LINE(0, 0, 639, 199, 5, kLineBoxFilled, 0xFFFF, 0);
  PSET(7, 7, 1, 4, 0);
  gfx_screen()->mirrors[0][3] = TextCell{'Q', 2, 3};
  EXPECT_EQ(PCOPY(0, 1), 0);
  LINE(0, 0, 639, 199, 0, kLineBoxFilled, 0xFFFF, 0);
  gfx_screen()->mirrors[0][3] = TextCell{'Z', 1, 1};
  EXPECT_EQ(PCOPY(1, 0), 0);
  EXPECT_EQ(POINT(7, 7), 1);
  EXPECT_EQ(POINT(8, 7), 5);
  EXPECT_EQ(gfx_screen()->mirrors[0][3].ch, 'Q');
  EXPECT_EQ(gfx_screen()->mirrors[0][3].fg, 2u);
  EXPECT_EQ(PCOPY(0, 2), 1);
  EXPECT_EQ(PCOPY(2, 0), 1);
}

TEST_F(ScreenTest, PointReadsTheWorkPageNotTheVisiblePage) {
  PSET(10, 10, 12, 4, 0);
  set_pages(1, 0);
  EXPECT_EQ(POINT(10, 10), 0);
  PSET(10, 10, 3, 4, 0);
  set_pages(0, 1);
  EXPECT_EQ(POINT(10, 10), 12);
}

TEST_F(ScreenTest, LockNests) {
  GfxScreen* s = gfx_screen();
  lock_screen();
  lock_screen();
  EXPECT_EQ(s->lock_count, 2);
  unlock_screen(0, 0);
  unlock_screen_unflagged();
  EXPECT_EQ(s->lock_count, 0);
}
