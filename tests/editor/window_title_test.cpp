// The window's title through a session: it follows the cursor, names the
// drawing last saved or loaded (typed in code page 437, shown in UTF-8),
// keeps the name through a load that fails and loses it with New Image.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "editor_run.h"

namespace {

using Lines = std::vector<std::string>;

const std::string kName = "Caf\xC3\xA9.bas";  // é is typed as code page 437's 0x82

Lines Save(const std::string& name) {
  return {"CTRL-S", "ENTER", "text \"" + name + "\"", "ENTER"};
}
Lines Load(const std::string& name) {
  return {"CTRL-S", "DOWN", "ENTER", "text \"" + name + "\"", "ENTER"};
}
const Lines kNewImage = {"CTRL-S", "DOWN", "DOWN", "ENTER"};

TEST(WindowTitle, FollowsTheCursorAndNamesTheDrawing) {
  EditorRun run = RunEditor(FromMainLoop(Join({
      {"title start", "RIGHT * 5", "DOWN * 2", "title moved"},
      Save(kName),
      {"title saved"},
      Load("NONE.BAS"),
      {"ENTER", "title failed"},  // the message box
      kNewImage,
      {"UP", "title new"},
      Load(kName),
      {"title loaded"},
  })));
  ASSERT_EQ(run.status, 3) << run.err;
  EXPECT_TRUE(run.Exists(kName));
  const std::string dash = " \xE2\x80\x94 ";
  EXPECT_EQ(run.File("start.txt"), "kov1" + dash + "2, 33\n");
  EXPECT_EQ(run.File("moved.txt"), "kov1" + dash + "7, 35\n");
  EXPECT_EQ(run.File("saved.txt"), "kov1" + dash + kName + dash + "7, 35\n");
  EXPECT_EQ(run.File("failed.txt"), "kov1" + dash + kName + dash + "7, 35\n");
  EXPECT_EQ(run.File("new.txt"), "kov1" + dash + "7, 34\n");
  EXPECT_EQ(run.File("loaded.txt"), "kov1" + dash + kName + dash + "7, 34\n");
}

}  // namespace
