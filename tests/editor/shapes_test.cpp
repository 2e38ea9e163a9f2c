// Drawing the shapes, end to end: the journal's bytes and the picture. The
// scripts stop while the editor waits for a key, with the work unsaved and
// every finished shape already in the journal.
#include <gtest/gtest.h>

#include "editor_run.h"

namespace {

using Rows = std::vector<std::string>;

// The line from (2, 33) to (12, 38), as Bresenham sets it.
const Rows kLine = {
    "..............", ".7............", "..77..........", "....77........",
    "......77......", "........77....", "..........77..", "..............",
};

}  // namespace

TEST(ShapesTest, LineIsRecordedAndDrawn) {
  EditorRun run =
      RunEditor(FromMainLoop({".", "RIGHT * 10", "DOWN * 5", ".", "RIGHT * 30", "snap done"}));
  EXPECT_EQ(run.status, 3) << run.err;  // the script ran out, work unsaved
  EXPECT_EQ(run.File("image.img"), CrLf({"SCREEN 8", "line ( 2,  33)-( 12, 38),    7"}));
  EXPECT_EQ(Region(run.Pixels("done"), 1, 32, 14, 8), kLine);
}

TEST(ShapesTest, BoxAndFilledBoxAreRecordedWithTheirSuffixes) {
  EditorRun run =
      RunEditor(FromMainLoop({"CTRL-R", ".", "RIGHT * 4", "DOWN * 2", ".", "CTRL-F", ".",
                              "LEFT * 3", "UP * 4", ".", "RIGHT * 20", "snap done"}));
  EXPECT_EQ(run.status, 3) << run.err;  // the script ran out, work unsaved
  EXPECT_EQ(run.File("image.img"), CrLf({"SCREEN 8", "line ( 2,  33)-( 6, 35),     7,b",
                                         "line ( 6,  35)-( 3, 31),     7,bf"}));
  EXPECT_EQ(Region(run.Pixels("done"), 1, 30, 8, 7), (Rows{
                                                         "........",
                                                         "..7777..",
                                                         "..7777..",
                                                         ".77777..",
                                                         ".77777..",
                                                         ".77777..",
                                                         "........",
                                                     }));
}

TEST(ShapesTest, RubberBandIsShownOnPageOneOnly) {
  EditorRun run = RunEditor(FromMainLoop({".", "RIGHT * 3", "pages band", "ESC", "snap after"}));
  EXPECT_EQ(run.status, 3) << run.err;  // the script ran out, work unsaved
  EXPECT_EQ(run.File("image.img"), CrLf({"SCREEN 8"}));
  // Page 1: the band from (2, 33) to (5, 33) under the cursor at (5, 33),
  // which is black where it covers the band.
  EXPECT_EQ(Region(run.Pixels("band-1"), 1, 32, 7, 3), (Rows{
                                                           "....F..",
                                                           ".77..F.",
                                                           "....F..",
                                                       }));
  EXPECT_EQ(Region(run.Pixels("band-0"), 1, 32, 7, 3), (Rows{".......", ".......", "......."}));
  EXPECT_EQ(Region(run.Pixels("after"), 1, 32, 7, 3), (Rows{"....F..", "...FFF.", "....F.."}));
}

TEST(ShapesTest, ChangingToolBetweenTheDotsFinishesWithTheNewTool) {
  EditorRun run = RunEditor(FromMainLoop({".", "RIGHT * 5", "CTRL-R", "DOWN * 3", "."}));
  EXPECT_EQ(run.File("image.img"), CrLf({"SCREEN 8", "line ( 2,  33)-( 7, 36),     7,b"}));
}

TEST(ShapesTest, CtrlSAndCtrlTDropAShapeUnderWay) {
  EditorRun run = RunEditor(
      FromMainLoop({".", "RIGHT * 5", "CTRL-T", "CTRL-L", ".", "DOWN", "CTRL-S", "ESC", ".", "."}));
  EXPECT_EQ(run.File("image.img"), CrLf({"SCREEN 8", "line ( 7,  34)-( 7, 34),     7"}));
}

TEST(ShapesTest, CursorStopsAtTheEdgesOfItsRange) {
  EditorRun run = RunEditor(FromMainLoop(
      {"LEFT * 5", "UP * 40", ".", ".", "RIGHT * 700", "DOWN * 300", ".", ".", "snap corner"}));
  EXPECT_EQ(run.File("image.img"), CrLf({"SCREEN 8", "line ( 1,  1)-( 1, 1),       7",
                                         "line ( 638,  192)-( 638, 192),             7"}));
  // The cursor at (638, 192) over the point just drawn: black centre.
  EXPECT_EQ(Region(run.Pixels("corner"), 636, 190, 4, 4), (Rows{
                                                              "...F",
                                                              "..FF",
                                                              ".F..",
                                                              "FF.F",
                                                          }));
}

TEST(ShapesTest, EllipseAtOnceIsARadiusOneCircle) {
  EditorRun run = RunEditor(FromMainLoop({"CTRL-E", ".", ".", "RIGHT * 10", "snap done"}));
  EXPECT_EQ(run.File("image.img"),
            CrLf({"SCREEN 8", "circle ( 2,  33),            1,            7, , , 1"}));
  EXPECT_EQ(Region(run.Pixels("done"), 1, 32, 3, 3), (Rows{".7.", "7.7", ".7."}));
}

TEST(ShapesTest, EllipseSizingAndItsRecordedAspect) {
  EditorRun run = RunEditor(
      FromMainLoop({"RIGHT * 98", "DOWN * 17", "CTRL-E", ".", "RIGHT * 9", "LEFT", "RIGHT",
                    "snap sizing", "DOWN", ".", "CTRL-E", ".", "UP * 11", "LEFT * 3", "."}));
  EXPECT_EQ(run.File("image.img"),
            CrLf({"SCREEN 8", "circle ( 100,  50),          10,           7, , , 1.1",
                  "circle ( 100,  50),          1,            7, , ,-7.301569e-008"}));
  // While sizing: radius 10, aspect 1 on page 1; the cursor stays erased.
  auto sizing = run.Pixels("sizing");
  EXPECT_EQ(Region(sizing, 89, 49, 3, 3), (Rows{".7.", ".7.", ".7."}));
  EXPECT_EQ(Region(sizing, 99, 49, 3, 3), (Rows{"...", "...", "..."}));
}

TEST(ShapesTest, EscInTheEllipseLoopRecordsNothing) {
  EditorRun run = RunEditor(FromMainLoop({"CTRL-E", ".", "RIGHT * 4", "ESC", "snap after"}));
  EXPECT_EQ(run.File("image.img"), CrLf({"SCREEN 8"}));
  EXPECT_EQ(Region(run.Pixels("after"), 5, 32, 3, 3), (Rows{"...", "...", "..."}));
}

// The journal is cut back the moment an undo is done: a crash right after
// leaves exactly the actions done, and a new run has nothing to redo.
TEST(ShapesTest, ACrashAfterAnUndoLeavesTheActionsDone) {
  const std::string dir = NewFolder();
  const std::string line = "line ( 2,  33)-( 12, 33),    7";
  EditorRun crashed = RunEditor(dir, FromMainLoop({".", "RIGHT * 10", ".", "CTRL-R", ".",
                                                   "DOWN * 5", ".", "CTRL-Z", "kill"}));
  EXPECT_EQ(crashed.File("image.img"), CrLf({"SCREEN 8", line}));

  EditorRun next = RunEditor(dir, FromMainLoop({"CTRL-Y", "CTRL-Z", "."}));
  EXPECT_EQ(next.status, 3) << next.err;
  EXPECT_EQ(next.File("image.img.1"), CrLf({"SCREEN 8", line}));
  EXPECT_EQ(next.File("image.img"), CrLf({"SCREEN 8"}));
}
