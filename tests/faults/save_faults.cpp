// Saves over a good file against faults: a kill or a failure at every step
// of the save, random kills, a full disk, targets that are no plain file,
// links, and folders and disks that may not be written. The good file is
// always the old one or the new one, whole.
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <chrono>
#include <iostream>
#include <random>

#include "fault_harness.h"

namespace {

using Lines = std::vector<std::string>;

const std::string kOld = "SCREEN 8\r\nline ( 1,  1)-( 9, 9),  4\r\n";
const std::string kLine = "line ( 2,  33)-( 12, 33),    7";
const Lines kDrawLine = {".", "RIGHT * 10", "."};

Lines SaveAs(const std::string& name) {
  return {"CTRL-S", "ENTER", "text \"" + name + "\"", "ENTER"};
}

// A folder with GOOD (the file saved over) and NEW, a drawing big enough
// for a save of many steps. The editor opens NEW, draws a line, saves as
// GOOD and ends: with status 0 when the save succeeded; after a failure
// ENTER closes the message, ESC the dialog, and Ctrl-X asks about the
// unsaved work until the script ends (status 3).
struct SaveOverGood {
  std::string dir = NewFolder();
  std::string drawing = Drawing(20000);
  std::string fresh = drawing + kLine + "\r\n";

  SaveOverGood() {
    WriteFile(dir + "/GOOD", kOld);
    WriteFile(dir + "/NEW", drawing);
  }
  EditorRun Run(const Launch& launch) const {
    return RunEditor(dir,
                     FromMainLoop(Join({kDrawLine, SaveAs("GOOD"), {"ENTER", "ESC", "CTRL-X"}})),
                     {}, {"NEW"}, launch);
  }
  std::string Good() const { return ReadFile(dir + "/GOOD"); }
  // Names left beside GOOD other than the run's own files.
  Lines Strays() const {
    Lines strays;
    for (const std::string& name : FolderNames(dir)) {
      if (name != "GOOD" && name != "NEW" && name != "image.img" && !name.starts_with("final."))
        strays.push_back(name);
    }
    return strays;
  }
};

::testing::AssertionResult OldOrNew(const SaveOverGood& f) {
  const std::string good = f.Good();
  if (good == kOld || good == f.fresh) return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure()
         << "GOOD has " << good.size() << " bytes, neither the " << kOld.size() << " old nor the "
         << f.fresh.size() << " new";
}

// The save's steps: from the first call that names GOOD to the end, or
// to the rename that puts the new file in its place.
std::vector<Step> SaveSteps(const std::string& until = "") {
  const SaveOverGood f;
  const std::string trace = f.dir + ".trace";
  const EditorRun run = f.Run(Traced(trace));
  EXPECT_EQ(run.status, 0) << run.err;
  EXPECT_TRUE(f.Good() == f.fresh);
  return StepsFrom(trace, "\"GOOD\"", until);
}

}  // namespace

TEST(SaveFaults, AKillAtAnyStepLeavesTheOldFileOrTheNew) {
  REQUIRE(NeedStrace());
  const std::vector<Step> steps = SaveSteps();
  ASSERT_GT(steps.size(), 20u);
  int old_kept = 0, new_in_place = 0;
  for (const Step& step : steps) {
    const SaveOverGood f;
    const EditorRun run = f.Run(KillAt(step));
    EXPECT_EQ(run.status, 128 + SIGKILL) << step.line;
    EXPECT_TRUE(OldOrNew(f)) << "killed at " << step.line;
    const std::string good = f.Good();
    old_kept += good == kOld ? 1 : 0;
    new_in_place += good == f.fresh ? 1 : 0;
  }
  std::cout << steps.size() << " kills: " << old_kept << " kept the old file, " << new_in_place
            << " left the new one\n";
  // Both sides of the rename were reached.
  EXPECT_GT(old_kept, 0);
  EXPECT_GT(new_in_place, 0);
}

// A failed call anywhere in a save leaves the old file and nothing else,
// and the work unsaved, or the save succeeds whole; writes fail as at a
// file-size limit.
TEST(SaveFaults, AFailureAtAnyStepLeavesTheOldFileOrTheNewAndSaysWhich) {
  REQUIRE(NeedStrace());
  int steps = 0, failed_saves = 0, whole = 0;
  for (const Step& step : SaveSteps(", \"GOOD\")")) {
    const SaveOverGood f;
    const EditorRun run = f.Run(FailAt(step, step.call == "write" ? "EFBIG" : "EIO"));
    EXPECT_TRUE(OldOrNew(f)) << "failed at " << step.line;
    EXPECT_EQ(f.Strays(), Lines{}) << "failed at " << step.line;
    const bool kept = f.Good() == kOld;
    EXPECT_EQ(run.status, kept ? 3 : 0) << "failed at " << step.line;
    steps += 1;
    failed_saves += kept ? 1 : 0;
    whole += OldOrNew(f) && f.Strays().empty() ? 1 : 0;
  }
  std::cout << steps << " failed calls: " << failed_saves << " failed the save, " << whole
            << " left the old file or the new and nothing else\n";
  EXPECT_GT(failed_saves, 10);
}

TEST(SaveFaults, RandomKillsLeaveTheOldFileOrTheNew) {
  const auto start = std::chrono::steady_clock::now();
  const EditorRun reference = SaveOverGood().Run({});
  ASSERT_EQ(reference.status, 0) << reference.err;
  const auto took = std::chrono::duration_cast<std::chrono::microseconds>(
      std::chrono::steady_clock::now() - start);
  std::mt19937 rng(18);
  int whole = 0;
  for (int i = 0; i < 20; ++i) {
    const SaveOverGood f;
    Launch launch;
    launch.kill_after_us =
        std::uniform_int_distribution<int>(0, static_cast<int>(took.count()))(rng);
    f.Run(launch);
    EXPECT_TRUE(OldOrNew(f)) << "killed after " << launch.kill_after_us << " us";
    whole += OldOrNew(f) ? 1 : 0;
  }
  std::cout << "20 random kills: " << whole << " left the old file or the new\n";
}

// The save fails on a full disk with the disk-full message; the old file
// stays, nothing else is left, and the work still counts as unsaved.
TEST(SaveFaults, AFullDiskKeepsTheOldFileAndTheWorkUnsaved) {
  REQUIRE(NeedMounts());
  const std::string dir = SmallDisk(256 << 10), snapshots = NewFolder();
  WriteFile(dir + "/GOOD", kOld);
  FillDisk(dir, 4096);  // room for the journal alone
  const EditorRun run = RunEditor(
      dir, FromMainLoop(Join({kDrawLine, SaveAs("GOOD"), {"snap full", "ESC", "ESC", "CTRL-X"}})),
      {"TRVGFX_SNAPSHOTS=" + snapshots});
  EditorRun shown;
  shown.dir = snapshots;
  const std::vector<unsigned char> full = shown.Pixels("full");
  EXPECT_TRUE(MessageBoxShown(full));
  EXPECT_TRUE(ShowsLineOf(full, 3, "      You have tried to save a image on disk that"));
  EXPECT_EQ(run.status, 3);  // Ctrl-X asks: unsaved
  EXPECT_EQ(ReadFile(dir + "/GOOD"), kOld);
  EXPECT_EQ(ReadFile(dir + "/image.img"), CrLf({"SCREEN 8", kLine}));
  EXPECT_EQ(FolderNames(dir), (Lines{"FILLER", "GOOD", "image.img"}));
}

// A folder, a FIFO and a device are refused by name and left alone; a link
// is written through; permission bits stay; a hard link keeps the old file.
TEST(SaveFaults, TargetsAreReplacedOnlyWhenTheyArePlainFiles) {
  const std::string dir = NewFolder();
  ASSERT_EQ(mkdir((dir + "/DIR").c_str(), 0755), 0);
  ASSERT_EQ(mkfifo((dir + "/FIFO").c_str(), 0644), 0);
  const bool device = NeedDeviceNodes().empty();
  if (device) {
    ASSERT_EQ(mknod((dir + "/DEV").c_str(), S_IFCHR | 0666, makedev(1, 3)), 0);
  }
  WriteFile(dir + "/REAL", kOld);
  ASSERT_EQ(symlink("REAL", (dir + "/LINK").c_str()), 0);
  WriteFile(dir + "/MODE", kOld);
  ASSERT_EQ(chmod((dir + "/MODE").c_str(), 0640), 0);
  WriteFile(dir + "/HARD", kOld);
  ASSERT_EQ(link((dir + "/HARD").c_str(), (dir + "/OTHER").c_str()), 0);

  Lines keys = Join({kDrawLine,
                     SaveAs("DIR"),
                     {"snap dir", "ESC", "text \"FIFO\"", "ENTER"},
                     {"snap fifo", "ESC"}});
  if (device) keys = Join({keys, {"text \"DEV\"", "ENTER", "snap dev", "ESC"}});
  keys = Join({keys, {"text \"LINK\"", "ENTER"}, SaveAs("MODE"), SaveAs("HARD"), {"CTRL-X"}});
  const EditorRun run = RunEditor(dir, FromMainLoop(keys));
  EXPECT_EQ(run.status, 0) << run.err;
  const std::string saved = CrLf({"SCREEN 8", kLine});
  EXPECT_TRUE(ShowsLineOf(run.Pixels("dir"), 3, "      This name is a folder, not a file:"));
  EXPECT_TRUE(ShowsLineOf(run.Pixels("dir"), 4, "      DIR"));
  EXPECT_TRUE(
      ShowsLineOf(run.Pixels("fifo"), 3, "      This name is a device or a pipe, not a file:"));
  EXPECT_TRUE(ShowsLineOf(run.Pixels("fifo"), 4, "      FIFO"));
  struct stat st {};
  EXPECT_TRUE(stat((dir + "/DIR").c_str(), &st) == 0 && S_ISDIR(st.st_mode));
  EXPECT_EQ(FolderNames(dir + "/DIR"), Lines{});
  EXPECT_TRUE(lstat((dir + "/FIFO").c_str(), &st) == 0 && S_ISFIFO(st.st_mode));
  if (device) {
    EXPECT_TRUE(ShowsLineOf(run.Pixels("dev"), 4, "      DEV"));
    EXPECT_TRUE(lstat((dir + "/DEV").c_str(), &st) == 0 && S_ISCHR(st.st_mode));
  }
  EXPECT_TRUE(lstat((dir + "/LINK").c_str(), &st) == 0 && S_ISLNK(st.st_mode));
  EXPECT_EQ(ReadFile(dir + "/REAL"), saved);
  EXPECT_TRUE(stat((dir + "/MODE").c_str(), &st) == 0 && (st.st_mode & 07777) == 0640);
  EXPECT_EQ(ReadFile(dir + "/MODE"), saved);
  EXPECT_EQ(ReadFile(dir + "/HARD"), saved);
  EXPECT_EQ(ReadFile(dir + "/OTHER"), kOld);
}

// Run as a user the permission bits bind: a writable file in a folder
// that may not be written is refused naming the folder (no writing in
// place), a file that may not be written naming the file, and a load of a
// file that may not be read likewise; Esc closes each message.
TEST(SaveFaults, WhatMayNotBeWrittenOrReadIsRefusedByName) {
  REQUIRE(NeedOtherUser());
  const std::string dir = NewFolder();
  ASSERT_EQ(chmod(dir.c_str(), 0777), 0);
  ASSERT_EQ(mkdir((dir + "/RO").c_str(), 0755), 0);
  WriteFile(dir + "/RO/GOOD", kOld);
  ASSERT_EQ(chmod((dir + "/RO/GOOD").c_str(), 0666), 0);
  WriteFile(dir + "/LOCKED", kOld);
  ASSERT_EQ(chmod((dir + "/LOCKED").c_str(), 0600), 0);
  const EditorRun run = RunEditor(
      dir,
      FromMainLoop(Join({kDrawLine,
                         SaveAs("RO/GOOD"),
                         {"snap folder", "ESC"},
                         {"text \"LOCKED\"", "ENTER", "snap file", "ESC", "ESC"},
                         {"CTRL-S", "DOWN", "ENTER", "text \"LOCKED\"", "ENTER", "RIGHT", "ENTER"},
                         {"snap load", "ESC", "snap after"}})),
      {}, {}, Launch{{}, -1, kNobody, -1});
  EXPECT_TRUE(ShowsLineOf(run.Pixels("folder"), 3,
                          "      You are not allowed to make files in the folder"));
  EXPECT_TRUE(ShowsLineOf(run.Pixels("folder"), 4, "      RO"));
  EXPECT_TRUE(ShowsLineOf(run.Pixels("file"), 3, "      You are not allowed to use this file:"));
  EXPECT_TRUE(ShowsLineOf(run.Pixels("file"), 4, "      LOCKED"));
  EXPECT_TRUE(ShowsLineOf(run.Pixels("load"), 4, "      LOCKED"));
  EXPECT_FALSE(MessageBoxShown(run.Pixels("after")));
  EXPECT_EQ(ReadFile(dir + "/RO/GOOD"), kOld);
  EXPECT_EQ(FolderNames(dir + "/RO"), Lines{"GOOD"});
  EXPECT_EQ(ReadFile(dir + "/LOCKED"), kOld);
  EXPECT_EQ(ReadFile(dir + "/image.img"), CrLf({"SCREEN 8", kLine}));
}

// On a read-only disk neither a file there nor a new name is written, and
// the message says why.
TEST(SaveFaults, AReadOnlyDiskIsRefusedByName) {
  REQUIRE(NeedMounts());
  const std::string disk = SmallDisk(64 << 10);
  WriteFile(disk + "/GOOD", kOld);
  RemountReadOnly(disk);
  const EditorRun run = RunEditor(FromMainLoop(Join({kDrawLine,
                                                     SaveAs(disk + "/GOOD"),
                                                     {"snap file", "ESC"},
                                                     {"text \"" + disk + "/NEW\""},
                                                     {"ENTER", "snap folder", "ESC", "ESC"}})));
  EXPECT_TRUE(
      ShowsLineOf(run.Pixels("file"), 3, "      This file is on a disk that can only be read:"));
  EXPECT_TRUE(ShowsLineOf(run.Pixels("folder"), 3,
                          "      This folder is on a disk that can only be read:"));
  EXPECT_EQ(ReadFile(disk + "/GOOD"), kOld);
  EXPECT_EQ(FolderNames(disk), Lines{"GOOD"});
}
