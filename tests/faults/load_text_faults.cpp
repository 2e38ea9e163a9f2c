// Loads and texts against faults: a load that runs out of room (a full
// disk, a file-size limit) says that the load failed and keeps the drawing;
// names that are no plain file are refused by name; a text keeps its place
// through a failed write of its subroutine block, and is not shown when it
// cannot be recorded.
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <filesystem>

#include "fault_harness.h"

namespace {

using Lines = std::vector<std::string>;

const std::string kLine = "line ( 2,  33)-( 12, 33),    7";
const std::string kLoadFailed = "      The drawing could not be loaded: the disk has";

// Draws a line, then loads `name` over it ("No" in the unsaved-work prompt).
Lines DrawThenLoad(const std::string& name) {
  return FromMainLoop({".", "RIGHT * 10", ".", "snap before", "CTRL-S", "DOWN", "ENTER",
                       "text \"" + name + "\"", "ENTER", "RIGHT", "ENTER", "snap box", "ESC",
                       "snap after"});
}

// The load failed for room: it said so, and the journal and the picture are
// as they were, with no new journal left behind.
void ExpectLoadFailedAndDrawingKept(const EditorRun& shown, const std::string& dir) {
  EXPECT_TRUE(ShowsLineOf(shown.Pixels("box"), 3, kLoadFailed));
  EXPECT_TRUE(shown.Pixels("after") == shown.Pixels("before"));
  EXPECT_EQ(ReadFile(dir + "/image.img"), CrLf({"SCREEN 8", kLine}));
  EXPECT_FALSE(std::filesystem::exists(dir + "/image.img.load"));
}

}  // namespace

TEST(LoadFaults, AFileSizeLimitFailsTheLoadAndKeepsTheDrawing) {
  const std::string dir = NewFolder();
  WriteFile(dir + "/BIG", Drawing(20000));
  Launch limited;
  limited.file_size_limit = 512 << 10;  // room for the snapshots, not for BIG
  const EditorRun run = RunEditor(dir, DrawThenLoad("BIG"), {}, {}, limited);
  EXPECT_EQ(run.status, 3) << run.err;
  ExpectLoadFailedAndDrawingKept(run, dir);
}

TEST(LoadFaults, AFullDiskFailsTheLoadAndKeepsTheDrawing) {
  REQUIRE(NeedMounts());
  const std::string dir = SmallDisk(256 << 10), elsewhere = NewFolder();
  WriteFile(elsewhere + "/BIG", Drawing(20000));
  FillDisk(dir, 4096);  // room for the journal alone
  const EditorRun run =
      RunEditor(dir, DrawThenLoad(elsewhere + "/BIG"), {"TRVGFX_SNAPSHOTS=" + elsewhere});
  EditorRun shown;
  shown.dir = elsewhere;
  ExpectLoadFailedAndDrawingKept(shown, dir);
}

// A folder, a FIFO or a device as the drawing, named on the command line
// or in Load Image, gets a message that names it; Esc closes it and the
// editor goes on.
TEST(LoadFaults, NamesThatAreNoPlainFileAreRefusedByName) {
  const std::string dir = NewFolder();
  ASSERT_EQ(mkdir((dir + "/DIR").c_str(), 0755), 0);
  ASSERT_EQ(mkfifo((dir + "/FIFO").c_str(), 0644), 0);
  std::vector<std::pair<std::string, std::string>> names = {
      {"DIR/", "      This name is a folder, not a file:"},
      {"FIFO", "      This name is a device or a pipe, not a file:"}};
  if (NeedDeviceNodes().empty()) {
    ASSERT_EQ(mknod((dir + "/NULL").c_str(), S_IFCHR | 0666, makedev(1, 3)), 0);
    names.emplace_back("NULL", "      This name is a device or a pipe, not a file:");
  }
  for (const auto& [name, words] : names) {
    const EditorRun run =
        RunEditor(dir, FromMainLoop({"snap box", "ESC", "snap after"}), {}, {name});
    EXPECT_TRUE(ShowsLineOf(run.Pixels("box"), 3, words)) << name;
    EXPECT_TRUE(ShowsLineOf(run.Pixels("box"), 4, "      " + name)) << name;
    EXPECT_FALSE(MessageBoxShown(run.Pixels("after"))) << name;
  }
  const EditorRun run = RunEditor(
      dir, FromMainLoop({"CTRL-S", "DOWN", "ENTER", "text \"DIR\"", "ENTER", "snap box", "ESC"}));
  EXPECT_TRUE(ShowsLineOf(run.Pixels("box"), 3, "      This name is a folder, not a file:"));
  EXPECT_TRUE(ShowsLineOf(run.Pixels("box"), 4, "      DIR"));
}

namespace {

// Places a text at (52, 73), types HI and ends it; when the subroutine
// block could not be written, ENTER first closes the message.
Lines PlaceText(bool block_fails) {
  Lines keys = {"CTRL-T", "RIGHT * 50", "DOWN * 40", ".", "snap box"};
  if (block_fails) keys.push_back("ENTER");
  return FromMainLoop(Join({keys, {"text \"HI\"", "ENTER", "snap after"}}));
}

}  // namespace

// The block's write fails, the message closes, and the text is drawn and
// recorded where it was placed: just as when nothing failed.
TEST(TextFaults, ATextKeepsItsPlaceWhenTheBlockCannotBeWritten) {
  REQUIRE(NeedStrace());
  const std::string clean = NewFolder(), trace = clean + ".trace";
  const EditorRun reference = RunEditor(clean, PlaceText(false), {}, {}, Traced(trace));
  const std::vector<Step> block = StepsFrom(trace, "\"GoTo EndAbc\\r\\n");
  ASSERT_FALSE(block.empty());
  ASSERT_EQ(block[0].call, "write");
  const EditorRun run = RunEditor(NewFolder(), PlaceText(true), {}, {}, FailAt(block[0], "ENOSPC"));
  EXPECT_TRUE(
      ShowsLineOf(run.Pixels("box"), 3, "      You have tried to save a image on disk that"));
  const std::string journal = run.File("image.img");
  EXPECT_TRUE(journal.ends_with(CrLf(
      {"EndAbc:", "PrintFlarp$ = \"HI\"", "Fcolor =  7", "wy =  73", "wx =  52", "gosub Dprint"})));
  EXPECT_TRUE(journal == reference.File("image.img"));
  EXPECT_TRUE(run.Pixels("after") == reference.Pixels("after"));
}

// On a full disk neither the block nor the text can be written: the text
// is dropped from the picture too, and the journal stays whole.
TEST(TextFaults, OnAFullDiskATextIsNeitherRecordedNorShown) {
  REQUIRE(NeedMounts());
  const std::string dir = SmallDisk(64 << 10), snapshots = NewFolder();
  FillDisk(dir, 4096);  // one page: the journal's header, not the block
  RunEditor(dir,
            FromMainLoop({"snap before", "CTRL-T", ".", "ENTER", "text \"HI\"", "ENTER", "snap box",
                          "ENTER", "snap after"}),
            {"TRVGFX_SNAPSHOTS=" + snapshots});
  EditorRun shown;
  shown.dir = snapshots;
  EXPECT_TRUE(
      ShowsLineOf(shown.Pixels("box"), 3, "      You have tried to save a image on disk that"));
  EXPECT_TRUE(shown.Pixels("after") == shown.Pixels("before"));
  EXPECT_EQ(ReadFile(dir + "/image.img"), CrLf({"SCREEN 8"}));
}

// The same under a file-size limit below the block's size: the journal,
// and a drawing saved from it, hold what the picture shows. (Snapshots
// would pass the limit: the run ends through the save and Ctrl-X.)
TEST(TextFaults, UnderAFileSizeLimitATextThatCannotBeWrittenLeavesTheJournalWhole) {
  Launch limited;
  limited.file_size_limit = 2048;
  const EditorRun run =
      RunEditor(NewFolder(),
                FromMainLoop({"CTRL-T", ".", "ENTER", "text \"HI\"", "ENTER", "ENTER", "CTRL-S",
                              "ENTER", "text \"PIC\"", "ENTER", "CTRL-X"}),
                {}, {}, limited);
  EXPECT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(run.File("image.img"), CrLf({"SCREEN 8"}));
  EXPECT_EQ(run.File("PIC"), CrLf({"SCREEN 8"}));
}
