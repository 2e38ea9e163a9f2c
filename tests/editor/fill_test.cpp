// The fill tool, end to end: which areas it fills, the PAINT line it
// records, and the refusals that record nothing.
#include <gtest/gtest.h>

#include "editor_run.h"

namespace {

using Rows = std::vector<std::string>;

}  // namespace

// A box in 7 and a point in 4 (Ctrl-C, Left * 3). Outside the box the area
// touches both: refused. Inside, it touches only the box: painted up to 7.
// Painted again in the same colour: refused.
TEST(FillTest, OneBorderColourIsPaintedSeveralAndTheSameColourAreRefused) {
  EditorRun run = RunEditor(
      FromMainLoop({"CTRL-R",     ".",          "RIGHT * 6", "DOWN * 4", ".",  // box (2,33)-(8,37)
                    "CTRL-C",     "LEFT * 3",   "ENTER",     "CTRL-L",   "RIGHT * 12",
                    ".",          ".",                             // point (20,37)
                    "CTRL-P",     "RIGHT * 10", ".",               // at (30,37)
                    "LEFT * 25",  "UP * 2",     ".",         ".",  // at (5,35), twice
                    "RIGHT * 30", "snap done"}));
  EXPECT_EQ(run.status, 3) << run.err;
  EXPECT_EQ(run.File("image.img"),
            CrLf({"SCREEN 8", "line ( 2,  33)-( 8, 37),     7,b", "line ( 20,  37)-( 20, 37),   4",
                  "paint ( 5,  35),             4,            7"}));
  EXPECT_EQ(Region(run.Pixels("done"), 1, 32, 21, 7), (Rows{
                                                          ".....................",
                                                          ".7777777.............",
                                                          ".7444447.............",
                                                          ".7444447.............",
                                                          ".7444447.............",
                                                          ".7777777...........4.",
                                                          ".....................",
                                                      }));
}

// On an empty drawing the area reaches only the screen's edges: it is
// painted up to the drawing colour. The saved program paints the whole
// screen; page 0 shows it inside the frame, and the frame and the help line
// stay. Ctrl-P drops the line under way.
TEST(FillTest, AnAreaReachingOnlyTheScreenEdgesIsPaintedUpToItsOwnColour) {
  EditorRun run = RunEditor(FromMainLoop(
      {"snap before", "CTRL-L", ".", "RIGHT * 5", "CTRL-P", ".", "RIGHT * 100", "snap done"}));
  EXPECT_EQ(run.status, 3) << run.err;
  EXPECT_EQ(run.File("image.img"),
            CrLf({"SCREEN 8", "paint ( 7,  33),             7,            7"}));
  const std::vector<unsigned char> before = run.Pixels("before"), done = run.Pixels("done");
  ASSERT_EQ(done.size(), 640u * 200u);
  int inside = 0;
  for (int y = 0; y < 200; ++y) {
    for (int x = 0; x < 640; ++x) {
      const size_t i = static_cast<size_t>(y) * 640 + static_cast<size_t>(x);
      const bool in_frame = x >= 1 && x <= 638 && y >= 1 && y <= 192;
      if (in_frame) {
        inside += done[i] == 7;
      } else {
        EXPECT_EQ(done[i], before[i]) << x << "," << y;
      }
    }
  }
  EXPECT_EQ(inside, 638 * 192 - 5);  // all but the cursor, black over colour
  EXPECT_EQ(Region(done, 106, 32, 3, 3), (Rows{"7.7", "...", "7.7"}));
}
