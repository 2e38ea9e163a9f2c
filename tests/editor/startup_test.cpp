// Starting and ending the editor, end to end.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <fstream>

#include "editor_run.h"

namespace {

const std::string kHeaderOnly = "SCREEN 8\r\n";

}  // namespace

TEST(StartupTest, CtrlXAtOnceEndsWithTheJournalLeftBehind) {
  EditorRun run = RunEditor(FromMainLoop({"CTRL-X"}));
  EXPECT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(run.out, "Edit ended.\n");
  EXPECT_EQ(run.File("image.img"), kHeaderOnly);
}

TEST(StartupTest, TheCloseButtonActsAsCtrlX) {
  EditorRun run = RunEditor(FromMainLoop({"CLOSE"}));
  EXPECT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(run.out, "Edit ended.\n");
  EXPECT_EQ(run.File("image.img"), kHeaderOnly);
}

TEST(StartupTest, TheEditorScreenHasItsFrameAndHelpLine) {
  EditorRun run = RunEditor(FromMainLoop({"snap editor", "CTRL-X"}));
  auto px = run.Pixels("editor");
  ASSERT_EQ(px.size(), 640u * 200u);
  // The frame from (0, 0) to (639, 193) in colour 15, the cursor at (2, 33).
  EXPECT_EQ(Region(px, 0, 0, 3, 2), (std::vector<std::string>{"FFF", "F.."}));
  EXPECT_EQ(Region(px, 637, 192, 3, 3), (std::vector<std::string>{"..F", "FFF", "..."}));
  EXPECT_EQ(Region(px, 0, 31, 5, 5),
            (std::vector<std::string>{"F....", "F.F..", "FFFF.", "F.F..", "F...."}));
  // The help line starts with a U at (1, 195) in colour 7.
  EXPECT_EQ(Region(px, 0, 195, 7, 5),
            (std::vector<std::string>{".7...7.", ".7...7.", ".7...7.", ".7...7.", "..777.."}));
}

TEST(StartupTest, WarningBoxNamesTheDriveAndWaitsForEnter) {
  std::vector<std::string> script = BeforeWarning();
  script.insert(script.end(), {"snap warning", "x", "snap still", "ENTER", "snap gone", "CTRL-X"});
  EditorRun run = RunEditor(script);
  EXPECT_EQ(run.status, 0);
  auto warning = run.Pixels("warning"), still = run.Pixels("still"), gone = run.Pixels("gone");
  // The box body (100,100)-(500,170) in colour 7 with its border in 0.
  EXPECT_EQ(Region(warning, 99, 99, 3, 2), (std::vector<std::string>{"...", ".77"}));
  EXPECT_EQ(warning, still);
  EXPECT_EQ(Region(gone, 100, 100, 3, 1), (std::vector<std::string>{"..."}));
}

TEST(StartupTest, EarlierJournalIsKeptUnderAFreeName) {
  std::string dir = NewFolder();
  const std::string earlier = "SCREEN 8\r\nline ( 1,  2)-( 3, 4),       7\r\n";
  WriteFile(dir + "/image.img", earlier);
  WriteFile(dir + "/image.img.1", "someone's file");
  EditorRun run = RunEditor(dir, FromMainLoop({"snap kept", "ENTER", "CTRL-X"}));
  EXPECT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(run.File("image.img.1"), "someone's file");
  EXPECT_EQ(run.File("image.img.2"), earlier);
  EXPECT_EQ(run.File("image.img"), kHeaderOnly);
  EXPECT_EQ(Region(run.Pixels("kept"), 98, 99, 4, 2), (std::vector<std::string>{"....", "..77"}));
}

TEST(StartupTest, AnEmptyEarlierJournalIsSimplyReplaced) {
  std::string dir = NewFolder();
  WriteFile(dir + "/image.img", kHeaderOnly);
  EditorRun run = RunEditor(dir, FromMainLoop({"CTRL-X"}));
  EXPECT_EQ(run.status, 0);
  EXPECT_FALSE(run.Exists("image.img.1"));
  EXPECT_EQ(run.File("image.img"), kHeaderOnly);
}

// In a folder the editor may not write into, with or without a journal of
// an earlier run: it says so in a box and ends, and nothing is lost.
TEST(StartupTest, AFolderThatCannotHoldTheJournalIsLeftAsItWas) {
  const std::string earlier = "SCREEN 8\r\nline ( 1,  2)-( 3, 4),       7\r\n";
  for (bool with_earlier : {true, false}) {
    std::string dir = NewFolder(), snaps = NewFolder();
    if (with_earlier) WriteFile(dir + "/image.img", earlier);
    chmod((dir + "/image.img").c_str(), 0666);
    chmod(snaps.c_str(), 0777);
    chmod(dir.c_str(), 0555);
    // As root, permissions bind only another user.
    std::vector<std::string> env = {"TRVGFX_SNAPSHOTS=" + snaps};
    if (geteuid() == 0) env.push_back("@uid=65534");
    EditorRun run = RunEditor(dir, {"snap refused", "ENTER", "CTRL-X"}, env);
    chmod(dir.c_str(), 0755);
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, "");
    run.dir = snaps;
    EXPECT_EQ(Region(run.Pixels("refused"), 98, 99, 4, 2),
              (std::vector<std::string>{"....", "..77"}));
    run.dir = dir;
    EXPECT_EQ(run.File("image.img"), with_earlier ? earlier : "");
    EXPECT_EQ(run.Exists("image.img"), with_earlier);
    EXPECT_FALSE(run.Exists("image.img.1"));
  }
}

TEST(StartupTest, ASecondEditorInTheSameFolderIsRefused) {
  std::string dir = NewFolder();
  WriteFile(dir + "/image.img", "SCREEN 8\r\nwork in progress\r\n");
  int fd = open(dir.c_str(), O_RDONLY | O_DIRECTORY);
  ASSERT_EQ(flock(fd, LOCK_EX | LOCK_NB), 0);
  EditorRun run = RunEditor(dir, {"snap refused", "ENTER"});
  close(fd);
  EXPECT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(run.File("image.img"), "SCREEN 8\r\nwork in progress\r\n");
  EXPECT_FALSE(run.Exists("image.img.1"));
  EXPECT_EQ(Region(run.Pixels("refused"), 98, 99, 4, 2),
            (std::vector<std::string>{"....", "..77"}));
}

TEST(StartupTest, WithoutGraphicsTheConsoleBoxShowsAndNoJournalIsMade) {
  std::string dir = NewFolder();
  EditorRun run =
      RunEditor(dir, {}, {"TRVGFX=sdl", "DISPLAY", "WAYLAND_DISPLAY", "LC_ALL=C", "LANG=C"});
  EXPECT_EQ(run.status, 0) << run.err;
  EXPECT_FALSE(run.Exists("image.img"));
  const std::string expected =
      "\xDA\xC4\xC4\xC4\xC4\xC4\xC4\xC4\xC4\xC4\xC4\xC4\xC4\xC4\xC4\xC4\xC4\xC4\xC4\xC4\xC4"
      "\xC4\xC4\xC4\xC4\xC4\xC4\xC4\xC4\xC4\xC4\xC4\xC4\xC4\xC4\xBF\n"
      "\xB3                                  \xB3\n"
      "\xB3             *ERROR*              \xB3\n"
      "\xB3 This program requires graphics   \xB3\n"
      "\xB3 capability which your computer   \xB3\n"
      "\xB3 seems not to have. You should    \xB3\n"
      "\xB3 use a version of KOV1 that fits  \xB3\n"
      "\xB3 your computer's capability if    \xB3\n"
      "\xB3 such a version exists.           \xB3\n"
      "\xB3                                  \xB3\n"
      "\xB3  --Press any key to exit KOV1--  \xB3\n"
      "\xC0\xC4\xC4\xC4\xC4\xC4\xC4\xC4\xC4\xC4\xC4\xC4\xC4\xC4\xC4\xC4\xC4\xC4\xC4\xC4\xC4"
      "\xC4\xC4\xC4\xC4\xC4\xC4\xC4\xC4\xC4\xC4\xC4\xC4\xC4\xC4\xD9\n";
  EXPECT_EQ(run.out, expected);  // not a UTF-8 locale: the bytes as they are
}
