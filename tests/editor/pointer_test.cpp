// The pointer against the keyboard: a drawing made with the pointer is byte
// for byte the drawing made with the same cursor positions and keys.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "editor_run.h"

namespace {

using Lines = std::vector<std::string>;

// The same actions as pointer lines and as key lines; the cursor starts
// where the editor puts it.
struct TwoWays {
  Lines pointer = StartKeys(), keys = StartKeys();
  int x = 2, y = 33;

  void Both(const std::string& line) {
    pointer.push_back(line);
    keys.push_back(line);
  }
  void Each(const std::string& by_pointer, const std::string& by_keys) {
    if (!by_pointer.empty()) pointer.push_back(by_pointer);
    if (!by_keys.empty()) keys.push_back(by_keys);
  }
  // The pointer goes to (nx, ny); the arrow keys walk the cursor there.
  void To(int nx, int ny) {
    pointer.push_back("point " + std::to_string(nx) + " " + std::to_string(ny));
    Walk(nx - x, "RIGHT", "LEFT");
    Walk(ny - y, "DOWN", "UP");
    x = nx, y = ny;
  }
  void Walk(int d, const char* plus, const char* minus) {
    if (d != 0)
      keys.push_back(std::string(d > 0 ? plus : minus) + " * " + std::to_string(std::abs(d)));
  }
};

TEST(Pointer, DrawsWhatTheSameKeysDraw) {
  TwoWays t;
  // Colour 12 by a click on its swatch.
  t.Both("CTRL-C");
  t.Each("point 255 110", "RIGHT * 5");
  t.Each("click", "ENTER");
  // A box by click and click.
  t.Both("CTRL-R");
  t.To(100, 50);
  t.Each("click", ".");
  t.To(200, 90);
  t.Each("click", ".");
  // A filled box by press, drag and release.
  t.Both("CTRL-F");
  t.To(300, 60);
  t.Each("press", ".");
  t.To(350, 120);
  t.Each("release", ".");
  // An ellipse: press at the centre, drag to size, the wheel for the
  // aspect, release; the cursor stays at the centre.
  t.Both("CTRL-E");
  t.To(450, 100);
  t.Each("press", ".");
  t.Each("point 420 130", "RIGHT * 29");
  t.Each("wheel 2", "UP * 2");
  t.Each("wheel -1", "DOWN");
  t.Each("release", ".");
  // A line dropped by the right button, then one drawn.
  t.Both("CTRL-L");
  t.To(10, 10);
  t.Each("click", ".");
  t.To(20, 30);
  t.Each("rclick", "ESC");
  t.To(5, 150);
  t.Each("click", ".");
  t.To(600, 180);
  t.Each("click", ".");
  // Text placed by a click; the right button does nothing there, a left
  // click finishes it.
  t.Both("CTRL-T");
  t.To(50, 160);
  t.Each("click", ".");
  t.Both("text \"HI\"");
  t.Each("rclick", "");
  t.Each("click", "ENTER");
  // A fill inside the box; the pointer beyond the picture holds the
  // cursor in range.
  t.Both("CTRL-P");
  t.To(150, 70);
  t.Each("click", ".");
  t.pointer.push_back("point 639 199");
  t.keys.push_back("RIGHT * 488");
  t.keys.push_back("DOWN * 122");
  // Saved through the file menu's first item.
  t.Both("CTRL-S");
  t.Each("point 140 112", "");
  t.Each("click", "ENTER");
  t.Both("text \"HOUSE\"");
  t.Both("ENTER");

  const EditorRun by_pointer = RunEditor(t.pointer);
  const EditorRun by_keys = RunEditor(t.keys);
  ASSERT_EQ(by_keys.status, 3) << by_keys.err;
  ASSERT_EQ(by_pointer.status, 3) << by_pointer.err;
  const std::string journal = by_keys.File("image.img");
  EXPECT_NE(journal.find("circle ( 450,  100),         30,           12, , , 0.9"),
            std::string::npos);
  EXPECT_NE(journal.find("paint ( 150,  70)"), std::string::npos);
  // Compared as truth values: a journal is too long to print.
  EXPECT_TRUE(by_pointer.File("image.img") == journal);
  EXPECT_TRUE(by_keys.File("HOUSE") == journal);
  EXPECT_TRUE(by_pointer.File("HOUSE") == journal);
  EXPECT_EQ(by_pointer.Pixels("final"), by_keys.Pixels("final"));
}

}  // namespace
