// Choosing the drawing colour, end to end: the chooser's keys and the colour
// that the next shape records.
#include <gtest/gtest.h>

#include "editor_run.h"

namespace {

using Rows = std::vector<std::string>;

}  // namespace

TEST(ColourTest, ArrowsWrapRoundAndEnterColoursTheNextShapes) {
  // 7 + 9 wraps past 15 to 0; 0 - 2 wraps past 0 to 14.
  EditorRun run =
      RunEditor(FromMainLoop({"CTRL-C", "RIGHT * 9", "ENTER", ".", "RIGHT * 3", ".", "CTRL-C",
                              "LEFT * 2", "ENTER", "DOWN * 2", ".", "LEFT * 3", "."}));
  EXPECT_EQ(run.File("image.img"), CrLf({"SCREEN 8", "line ( 2,  33)-( 5, 33),     0",
                                         "line ( 5,  35)-( 2, 35),     14"}));
}

TEST(ColourTest, EscPutsBackTheColourOnEntry) {
  EditorRun run = RunEditor(FromMainLoop(
      {"snap before", "CTRL-C", "LEFT", "LEFT", "snap open", "ESC", "snap after", ".", "."}));
  EXPECT_EQ(run.File("image.img"), CrLf({"SCREEN 8", "line ( 2,  33)-( 2, 33),     7"}));
  // While open: the frame of swatch 5 yellow, the frame of 7 black again.
  auto open = run.Pixels("open");
  EXPECT_EQ(Region(open, 108, 103, 15, 3),
            (Rows{"777777777777777", "7EEEEEEEEEEEEE7", "7E77777777777E7"}));
  EXPECT_EQ(Region(open, 148, 103, 15, 3),
            (Rows{"777777777777777", "7.............7", "7.77777777777.7"}));
  EXPECT_EQ(run.Pixels("after"), run.Pixels("before"));
}

TEST(ColourTest, CtrlXWithNothingUnsavedEnds) {
  EditorRun run = RunEditor(FromMainLoop({"CTRL-C", "RIGHT", "CTRL-X"}));
  EXPECT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(run.out, "Edit ended.\n");
  EXPECT_EQ(run.File("image.img"), CrLf({"SCREEN 8"}));
}

TEST(ColourTest, CtrlXWithdrawnAtThePromptReturnsToTheChooser) {
  // A line makes unsaved work; ESC at the prompt withdraws the exit.
  EditorRun run = RunEditor(FromMainLoop(
      {".", ".", "CTRL-C", "LEFT", "CTRL-X", "ESC", "snap again", "ENTER", "DOWN", ".", "."}));
  EXPECT_EQ(run.File("image.img"),
            CrLf({"SCREEN 8", "line ( 2,  33)-( 2, 33),     7", "line ( 2,  34)-( 2, 34),     6"}));
  // The chooser is whole again, the frame on swatch 6 (x 129..141).
  EXPECT_EQ(Region(run.Pixels("again"), 128, 103, 15, 3),
            (Rows{"777777777777777", "7EEEEEEEEEEEEE7", "7E77777777777E7"}));
}
