// The screens around the picture, end to end: the start-up sequence with
// keys typed ahead, the help pages and the quick-reference card.
#include <gtest/gtest.h>

#include "editor_run.h"

namespace {

using Rows = std::vector<std::string>;
using Pixels = std::vector<unsigned char>;

// The help pages' titles are red (12) on white, on row 62, or on row 55 for
// the page about shapes.
int TitleRow(const Pixels& px) {
  for (int y : {55, 62}) {
    for (int x = 55; x < 500; ++x) {
      if (px[static_cast<size_t>(y) * 640 + x] == 12) return y;
    }
  }
  return -1;
}

// The ninth character of the help line (x = 57): the D of "PGDN" and the U of
// "PGUP" tell the help lines of pages 3 and 4 apart.
std::string NinthHelpCharacterTop(const Pixels& px) {
  return Region(px, 57, 195, 5, 1)[0];
}

const std::string kTopOfD = "7777.", kTopOfU = "7...7";

}  // namespace

TEST(ScreensTest, KeysTypedAheadReachTitleWelcomeAndWarningInTurn) {
  EditorRun run = RunEditor({"burst SPACE ESC ENTER .", "RIGHT * 5", ".", "snap drawn"});
  EXPECT_EQ(run.status, 3) << run.err;
  EXPECT_EQ(run.File("image.img"), CrLf({"SCREEN 8", "line ( 2,  33)-( 7, 33),     7"}));
}

TEST(ScreensTest, TitleLeavesNoTraceOnEitherPage) {
  EditorRun fresh = RunEditor(FromMainLoop({"pages start", "CTRL-X"}));
  EXPECT_EQ(fresh.status, 0) << fresh.err;
  Pixels page0 = fresh.Pixels("start-0"), page1 = fresh.Pixels("start-1");
  ASSERT_EQ(page0.size(), 640u * 200u);
  // Nothing but the frame and the help line (the cursor is drawn on page 0).
  for (int y = 1; y < 193; ++y) {
    for (int x = 1; x < 639; ++x) {
      bool cursor = (x >= 1 && x <= 3 && y == 33) || (x == 2 && y >= 32 && y <= 34);
      ASSERT_EQ(page1[static_cast<size_t>(y) * 640 + x], 0) << x << "," << y;
      if (!cursor) {
        ASSERT_EQ(page0[static_cast<size_t>(y) * 640 + x], 0) << x << "," << y;
      }
    }
  }
}

TEST(ScreensTest, HelpPagesForwardBackAndOut) {
  EditorRun run = RunEditor(
      FromMainLoop({".",    "RIGHT * 30",   ".",    "snap before",  "F1",   "snap p2",
                    "PGUP", "snap p2still", "PGDN", "snap p3",      "PGDN", "snap p4",
                    "PGDN", "snap p4still", "PGUP", "snap p3again", "PGUP", "snap p2again",
                    "ESC",  "snap after"}));
  EXPECT_EQ(run.status, 3) << run.err;
  EXPECT_EQ(TitleRow(run.Pixels("p2")), 62);
  EXPECT_EQ(Region(run.Pixels("p2"), 0, 195, 3, 1), (Rows{".7."}));  // the W of "When"
  EXPECT_EQ(run.Pixels("p2still"), run.Pixels("p2"));
  EXPECT_EQ(TitleRow(run.Pixels("p3")), 55);
  EXPECT_EQ(NinthHelpCharacterTop(run.Pixels("p3")), kTopOfD);
  EXPECT_EQ(TitleRow(run.Pixels("p4")), 62);
  EXPECT_EQ(NinthHelpCharacterTop(run.Pixels("p4")), kTopOfU);
  EXPECT_EQ(run.Pixels("p4still"), run.Pixels("p4"));
  // Back on page 3 the help line of page 4 stays.
  EXPECT_EQ(TitleRow(run.Pixels("p3again")), 55);
  EXPECT_EQ(NinthHelpCharacterTop(run.Pixels("p3again")), kTopOfU);
  EXPECT_EQ(run.Pixels("p2again"), run.Pixels("p2"));
  EXPECT_EQ(run.Pixels("after"), run.Pixels("before"));
}

TEST(ScreensTest, EnterOnTheWelcomePageLeadsToTheHelpPages) {
  EditorRun run = RunEditor({"SPACE", "snap welcome", "ENTER", "snap help", "ESC", "snap warning"});
  EXPECT_EQ(Region(run.Pixels("welcome"), 0, 195, 3, 1), (Rows{".7."}));
  EXPECT_EQ(TitleRow(run.Pixels("help")), 62);
  EXPECT_NE(run.Pixels("help"), run.Pixels("welcome"));
  EXPECT_EQ(Region(run.Pixels("warning"), 99, 99, 3, 2), (Rows{"...", ".77"}));
}

TEST(ScreensTest, QuickReferenceOpensWithF2AlsoWhileSizingAnEllipse) {
  EditorRun run = RunEditor(
      FromMainLoop({"snap before", "F2", "snap card", "x", "snap still", "ENTER", "snap after",
                    "CTRL-E", ".", "RIGHT * 3", "F2", "snap card2", "ESC", "snap sizing", "."}));
  // The card's white body from (1, 1) to (160, 80) with its border.
  EXPECT_EQ(Region(run.Pixels("card"), 159, 79, 4, 4), (Rows{"FF..", "FF..", "....", "...."}));
  EXPECT_EQ(run.Pixels("still"), run.Pixels("card"));
  EXPECT_EQ(run.Pixels("after"), run.Pixels("before"));
  EXPECT_EQ(Region(run.Pixels("card2"), 159, 79, 2, 2), (Rows{"FF", "FF"}));
  // Back in the ellipse loop: the card is gone and the sizing goes on.
  EXPECT_EQ(Region(run.Pixels("sizing"), 159, 79, 2, 2), (Rows{"..", ".."}));
  EXPECT_EQ(run.File("image.img"),
            CrLf({"SCREEN 8", "circle ( 2,  33),            4,            7, , , 1"}));
}
