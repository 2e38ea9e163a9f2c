// The main loop's rule and who may keep the pages through an error message.
#include "editor/main_loop_rule.h"

#include <gtest/gtest.h>

#include "gfx/pages.h"
#include "gfx/screen.h"
#include "strokefont/text_state.h"
#include "text_test_util.h"

namespace {

using MainLoopRuleTest = Mode8TextTest;

void ExpectPages(int work, int visible) {
  EXPECT_EQ(draw_context()->work_page, work);
  EXPECT_EQ(gfx_screen()->visible_page, visible);
}

// An error message shows the picture unless a holder keeps the pages;
// holders nest, and the pages go back to the picture only when none is left.
TEST_F(MainLoopRuleTest, AnErrorMessageKeepsHeldPagesOnly) {
  ShowScratchPage();
  {
    HeldPages menu;
    {
      HeldPages shape(true), nobody(false);
      PagesAfterMessage();
      ExpectPages(1, 1);
    }
    PagesAfterMessage();
    ExpectPages(1, 1);
  }
  PagesAfterMessage();
  ExpectPages(0, 0);
  EXPECT_TRUE(MainLoopPages());
}

#ifdef KOV1_CHECK_INVARIANTS
// Each part of the rule, broken alone, ends the program with a message
// naming it; a shape under way is not checked.
TEST_F(MainLoopRuleTest, EachBrokenPartEndsTheProgram) {
  Editor ed;
  CheckMainLoopRule(ed);
  EXPECT_DEATH((ShowScratchPage(), CheckMainLoopRule(ed)), "the pages");
  EXPECT_DEATH((DrawPictureUnseen(), CheckMainLoopRule(ed)), "the pages");
  EXPECT_DEATH((DrawScratchUnseen(), Fill(3, 3, 4, 4, 9), ShowPicturePage(), CheckMainLoopRule(ed)),
               "the pages");
  EXPECT_DEATH((text_state().Bcolor = 7, CheckMainLoopRule(ed)), "the text pen");
  ed.Stage = 1;
  ShowScratchPage();
  CheckMainLoopRule(ed);
}
#endif

}  // namespace
