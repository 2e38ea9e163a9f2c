// Picking end to end: Tab picks the shape drawn last over the cursor's
// pixel and, again, the one under it; a move and a recolour show on page 1
// only, with the statement in the title, until the change is kept; the
// drawing colour stays; Esc puts a deletion back.
#include <gtest/gtest.h>

#include "editor_run.h"

TEST(PickTest, TabPicksTheTopShapeThenTheOneUnderItAndKeepsTheChange) {
  const EditorRun run = RunEditor(FromMainLoop({
      "CTRL-R",
      ".",
      "RIGHT * 10",
      "DOWN * 5",
      ".",  // a box (2, 33)-(12, 38)
      "CTRL-L",
      ".",
      "LEFT * 10",
      ".",  // a line over its bottom edge
      "TAB",
      "title top",
      "TAB",
      "title under",  // the line, then the box
      "RIGHT",
      "CTRL-C",
      "RIGHT * 2",
      "ENTER",
      "title changed",
      "pages changed",
      "ENTER",  // kept
      ".",
      "RIGHT * 2",
      ".",  // a line in the drawing colour
      "TAB",
      "DEL",
      "ESC",  // a deletion put back
      "copy image.img kept",
      "CTRL-Z",
      "CTRL-Z",
      "copy image.img undone",
  }));
  EXPECT_EQ(run.status, 3) << run.err;
  EXPECT_EQ(run.File("top.txt"), "kov1 \u2014 line (12, 38)-(2, 38), 7 \u2014 2, 38\n");
  EXPECT_EQ(run.File("under.txt"), "kov1 \u2014 line (2, 33)-(12, 38), 7,b \u2014 2, 38\n");
  EXPECT_EQ(run.File("changed.txt"), "kov1 \u2014 line (3, 33)-(13, 38), 9,b \u2014 3, 38\n");
  const std::vector<unsigned char> page0 = run.Pixels("changed-0"), page1 = run.Pixels("changed-1");
  auto at = [](const std::vector<unsigned char>& page, int x, int y) {
    return static_cast<int>(page[static_cast<size_t>(y * 640 + x)]);
  };
  EXPECT_EQ(at(page0, 2, 35), 7);  // the picture as it was
  EXPECT_EQ(at(page0, 13, 35), 0);
  EXPECT_EQ(at(page1, 13, 35), 9);   // the box moved and recoloured
  EXPECT_EQ(at(page1, 14, 35), 15);  // outlined in white and black by turns
  EXPECT_EQ(at(page1, 14, 34), 0);
  const std::string drawn =
      CrLf({"SCREEN 8", "line ( 2,  33)-( 12, 38),    7,b", "line ( 12,  38)-( 2, 38),    7"});
  EXPECT_EQ(run.File("kept"),
            CrLf({"SCREEN 8", "line ( 3,  33)-( 13, 38),    9,b", "line ( 12,  38)-( 2, 38),    7",
                  "line ( 3,  38)-( 5, 38),     7"}));
  EXPECT_EQ(run.File("undone"), drawn);
}

// The pointer drags the picked shape by where it was pressed, and a click
// off it keeps the change.
TEST(PickTest, ThePointerDragsTheShapeAndAClickElsewhereKeepsIt) {
  const EditorRun run = RunEditor(FromMainLoop({
      "CTRL-R",
      ".",
      "RIGHT * 50",
      "DOWN * 20",
      ".",  // a box (2, 33)-(52, 53)
      "point 30 33",
      "TAB",
      "press",
      "point 35 40",
      "point 40 43",
      "release",
      "point 300 100",
      "copy image.img dragged",
      "click",
      "title kept",
  }));
  EXPECT_EQ(run.status, 3) << run.err;
  EXPECT_EQ(run.File("dragged"), CrLf({"SCREEN 8", "line ( 2,  33)-( 52, 53),    7,b"}));
  EXPECT_EQ(run.File("image.img"), CrLf({"SCREEN 8", "line ( 12,  43)-( 62, 63),   7,b"}));
  EXPECT_EQ(run.File("kept.txt"), "kov1 \u2014 40, 43\n");
}
