// The journal against faults: what stands at image.img at start-up (a
// folder, a pipe, a device, a socket, a symbolic link), the journal removed
// or replaced while the editor draws, a header that could not be written,
// New Image on a full disk, at a failed write and killed at every step.
// The drawing is always whole, and where the user was told it is.
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/un.h>
#include <unistd.h>

#include <functional>
#include <iostream>

#include "fault_harness.h"

namespace {

using Lines = std::vector<std::string>;

const std::string kHeader = "SCREEN 8\r\n";
const std::string kLine1 = "line ( 2,  33)-( 12, 33),    7";
const std::string kLine2 = "line ( 12,  33)-( 22, 33),   7";
const Lines kDrawLine = {".", "RIGHT * 10", "."};
const Lines kNewImage = {"CTRL-S", "UP", "ENTER"};
// In a trace: the call that makes a new journal beside the journal.
const std::string kMakingNewJournal = "\"image.img.load\", O_RDWR";

Lines SaveAs(const std::string& name) {
  return {"CTRL-S", "ENTER", "text \"" + name + "\"", "ENTER"};
}

mode_t TypeAt(const std::string& path) {
  struct stat st {};
  return lstat(path.c_str(), &st) == 0 ? st.st_mode & S_IFMT : 0;
}

std::string LinkTarget(const std::string& path) {
  char target[4096];
  const ssize_t n = readlink(path.c_str(), target, sizeof target);
  return n < 0 ? "" : std::string(target, static_cast<size_t>(n));
}

void MakeSocket(const std::string& path) {
  const int fd = socket(AF_UNIX, SOCK_STREAM, 0);
  sockaddr_un address{};
  address.sun_family = AF_UNIX;
  ASSERT_LT(path.size(), sizeof address.sun_path);
  path.copy(address.sun_path, path.size());
  ASSERT_EQ(bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
  close(fd);
}

}  // namespace

// Start-up never opens what is no file at image.img, so a pipe cannot make
// it wait for ever: it says it cannot keep it, naming the folder and what
// stands there, and ends; the folder stays as it was.
TEST(JournalFaults, WhatIsNoFileAtImageImgStopsStartUpWithABox) {
  struct Case {
    std::string what;
    std::function<void(const std::string&)> make;
  };
  std::vector<Case> cases = {
      {"a folder", [](const std::string& p) { ASSERT_EQ(mkdir(p.c_str(), 0755), 0); }},
      {"a pipe", [](const std::string& p) { ASSERT_EQ(mkfifo(p.c_str(), 0644), 0); }},
      {"a socket", MakeSocket},
  };
  if (NeedDeviceNodes().empty()) {
    cases.push_back({"a device", [](const std::string& p) {
                       ASSERT_EQ(mknod(p.c_str(), S_IFCHR | 0666, makedev(1, 3)), 0);
                     }});
  }
  for (const Case& c : cases) {
    const std::string dir = NewFolder(), snaps = NewFolder(), journal = dir + "/image.img";
    c.make(journal);
    const mode_t type = TypeAt(journal);
    Launch launch;
    launch.kill_after_us = 30'000'000;  // a start-up that waits is killed, and fails
    EditorRun run =
        RunEditor(dir, {"snap refused", "ENTER"}, {"TRVGFX_SNAPSHOTS=" + snaps}, {}, launch);
    EXPECT_EQ(run.status, 0) << c.what << ": " << run.err;
    run.dir = snaps;
    EXPECT_TRUE(ShowsLineOf(run.Pixels("refused"), 3,
                            "      KOV1 cannot keep the image.img of an earlier run in"))
        << c.what;
    EXPECT_TRUE(
        ShowsLineOf(run.Pixels("refused"), 5, "      (image.img is " + c.what + ", not a file)."))
        << c.what;
    EXPECT_EQ(FolderNames(dir), Lines{"image.img"}) << c.what;
    EXPECT_EQ(TypeAt(journal), type) << c.what;
  }
}

// A symbolic link at image.img is kept aside itself; the file it names,
// even one holding just the header, and a link to nothing stay as they were.
TEST(JournalFaults, ALinkAtImageImgIsKeptAsideAndNeverFollowed) {
  const std::string outside = NewFolder();
  const std::vector<std::string> contents = {kHeader, kHeader + kLine1 + "\r\n", ""};
  for (size_t i = 0; i < contents.size(); ++i) {
    const std::string dir = NewFolder(), target = outside + "/T" + std::to_string(i);
    if (!contents[i].empty()) WriteFile(target, contents[i]);
    ASSERT_EQ(symlink(target.c_str(), (dir + "/image.img").c_str()), 0);
    const EditorRun run = RunEditor(dir, FromMainLoop({"ENTER", "CTRL-X"}));
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(LinkTarget(dir + "/image.img.1"), target) << i;
    EXPECT_EQ(TypeAt(dir + "/image.img"), S_IFREG) << i;
    EXPECT_EQ(run.File("image.img"), kHeader) << i;
    EXPECT_EQ(ReadFile(target), contents[i]) << i;
    EXPECT_EQ(access(target.c_str(), F_OK) == 0, !contents[i].empty()) << i;
  }
}

// Another program removes image.img, or puts a file, a link or a folder in
// its place, while a drawing is under way: the next shape keeps what stands
// there as image.img.1, puts the drawing back under the name and says so;
// undo, redo and a save go on as before.
TEST(JournalFaults, AJournalRemovedOrReplacedWhileDrawingIsPutBack) {
  REQUIRE(NeedStrace());
  const std::string outside = NewFolder();
  WriteFile(outside + "/OUT", "someone else's\r\n");
  struct Case {
    const char* what;
    std::function<void(const std::string&)> change;
    mode_t kept;  // what image.img.1 is; 0 when nothing was kept
  };
  const std::vector<Case> cases = {
      {"removed", [](const std::string& j) { unlink(j.c_str()); }, 0},
      {"replaced",
       [](const std::string& j) {
         WriteFile(j + ".x", "someone else's\r\n");
         rename((j + ".x").c_str(), j.c_str());
       },
       S_IFREG},
      {"replaced",
       [&outside](const std::string& j) {
         unlink(j.c_str());
         symlink((outside + "/OUT").c_str(), j.c_str());
       },
       S_IFLNK},
      {"replaced",
       [](const std::string& j) {
         unlink(j.c_str());
         mkdir(j.c_str(), 0755);
       },
       S_IFDIR},
  };
  for (const Case& c : cases) {
    const std::string dir = NewFolder(), journal = dir + "/image.img";
    std::thread change = WhenCreated(dir + "/mark", [&] { c.change(journal); });
    const EditorRun run = RunEditor(
        dir,
        FromMainLoop(Join({kDrawLine,
                           {"copy image.img mark"},
                           kDrawLine,
                           {"snap box", "ENTER", "CTRL-Z", "copy image.img undone", "CTRL-Y"},
                           SaveAs("PIC"),
                           {"CTRL-X"}})),
        {}, {}, PauseAt(dir + "/mark"));
    change.join();
    const std::string drawing = CrLf({"SCREEN 8", kLine1, kLine2});
    EXPECT_EQ(run.status, 0) << c.what << ": " << run.err;
    EXPECT_TRUE(
        ShowsLineOf(run.Pixels("box"), 3,
                    std::string("      Another program ") + c.what + " image.img. KOV1 has"))
        << c.what;
    EXPECT_EQ(TypeAt(journal), S_IFREG) << c.what;
    EXPECT_EQ(run.File("image.img"), drawing) << c.what;
    EXPECT_EQ(run.File("undone"), CrLf({"SCREEN 8", kLine1})) << c.what;
    EXPECT_EQ(run.File("PIC"), drawing) << c.what;
    EXPECT_EQ(TypeAt(journal + ".1"), c.kept) << c.what;
    if (c.kept == S_IFREG) {
      EXPECT_EQ(run.File("image.img.1"), "someone else's\r\n");
    }
  }
  EXPECT_EQ(ReadFile(outside + "/OUT"), "someone else's\r\n");
}

// With the disk full at start-up the journal's header cannot be written;
// once room is made, a save of the empty journal writes it, the first shape
// brings it, and undoing that shape leaves it: a saved drawing is always a
// program.
TEST(JournalFaults, AHeaderThatFoundNoRoomComesWithTheFirstShape) {
  REQUIRE(NeedMounts());
  REQUIRE(NeedStrace());
  const std::string dir = SmallDisk(64 << 10), snaps = NewFolder();
  FillDisk(dir, 0);
  std::thread room = WhenCreated(snaps + "/mark", [&] { unlink((dir + "/FILLER").c_str()); });
  const EditorRun run =
      RunEditor(dir,
                Join({{"snap full", "ENTER", "copy image.img mark"},
                      FromMainLoop(Join({SaveAs("EMPTY"),
                                         kDrawLine,
                                         {"CTRL-Z", "copy image.img undone", "CTRL-Y"},
                                         SaveAs("PIC"),
                                         {"CTRL-X"}}))}),
                {"TRVGFX_SNAPSHOTS=" + snaps}, {}, PauseAt(snaps + "/mark"));
  room.join();
  EXPECT_EQ(run.status, 0) << run.err;
  EditorRun shown;
  shown.dir = snaps;
  EXPECT_TRUE(
      ShowsLineOf(shown.Pixels("full"), 3, "      You have tried to save a image on disk that"));
  EXPECT_EQ(shown.File("mark"), "");
  EXPECT_EQ(shown.File("undone"), kHeader);
  EXPECT_EQ(ReadFile(dir + "/EMPTY"), kHeader);  // saved before anything was drawn
  EXPECT_EQ(ReadFile(dir + "/image.img"), CrLf({"SCREEN 8", kLine1}));
  EXPECT_EQ(ReadFile(dir + "/PIC"), CrLf({"SCREEN 8", kLine1}));
}

namespace {

// Draws a line (undone and redone), New Image, and after it a line (undone
// and redone); saves and ends. ENTER closes the box of a failed New Image
// (else it does nothing).
Lines DrawNewImageDraw() {
  return FromMainLoop(Join({kDrawLine,
                            {"CTRL-Z", "copy image.img undone1", "CTRL-Y"},
                            kNewImage,
                            {"ENTER"},
                            kDrawLine,
                            {"CTRL-Z", "copy image.img undone2", "CTRL-Y"},
                            SaveAs("PIC"),
                            {"CTRL-X"}}));
}

// The writes of the header: at start-up and New Image's.
std::vector<Step> HeaderWrites() {
  const std::string dir = NewFolder(), trace = dir + ".trace";
  const EditorRun run = RunEditor(dir, DrawNewImageDraw(), {}, {}, Traced(trace));
  EXPECT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(run.File("PIC"), CrLf({"SCREEN 8", kLine2}));
  std::vector<Step> writes;
  // New Image's begins with the new journal's making; start-up also
  // removes one left behind, by the same name.
  for (const std::string& from : {std::string("SCREEN 8"), kMakingNewJournal}) {
    for (const Step& step : StepsFrom(trace, from)) {
      if (step.call == "write" && step.line.find("\"SCREEN 8\\r\\n\"") != std::string::npos) {
        writes.push_back(step);
        break;
      }
    }
  }
  return writes;
}

}  // namespace

// The header's write fails as on a full disk or at a file-size limit: at
// start-up the first shape brings it; in New Image the drawing stays, and
// its undo history with it.
TEST(JournalFaults, AFailedHeaderWriteLeavesNoDrawingWithoutItsHeader) {
  REQUIRE(NeedStrace());
  const std::vector<Step> writes = HeaderWrites();
  ASSERT_EQ(writes.size(), 2u);
  for (const char* error : {"ENOSPC", "EFBIG"}) {
    const EditorRun start = RunEditor(NewFolder(), Join({{"ENTER"}, DrawNewImageDraw()}), {}, {},
                                      FailAt(writes[0], error));
    EXPECT_EQ(start.status, 0) << start.err;
    EXPECT_EQ(start.File("undone1"), kHeader) << error;
    EXPECT_EQ(start.File("PIC"), CrLf({"SCREEN 8", kLine2})) << error;

    const EditorRun fresh =
        RunEditor(NewFolder(), DrawNewImageDraw(), {}, {}, FailAt(writes[1], error));
    EXPECT_EQ(fresh.status, 0) << fresh.err;
    EXPECT_EQ(fresh.File("undone2"), CrLf({"SCREEN 8", kLine1})) << error;
    EXPECT_EQ(fresh.File("PIC"), CrLf({"SCREEN 8", kLine1, kLine2})) << error;
    EXPECT_FALSE(fresh.Exists("image.img.load")) << error;
  }
}

// On a full disk New Image says so and changes nothing: the journal, the
// picture and the undo history stay, and nothing is left behind.
TEST(JournalFaults, NewImageOnAFullDiskKeepsTheDrawing) {
  REQUIRE(NeedMounts());
  const std::string dir = SmallDisk(64 << 10), snaps = NewFolder();
  FillDisk(dir, 4096);  // the journal's one page
  RunEditor(dir,
            FromMainLoop(Join({kDrawLine,
                               {"snap before"},
                               kNewImage,
                               {"snap box", "ENTER", "snap after", "CTRL-Z"},
                               {"copy image.img undone"}})),
            {"TRVGFX_SNAPSHOTS=" + snaps});
  EditorRun shown;
  shown.dir = snaps;
  EXPECT_TRUE(
      ShowsLineOf(shown.Pixels("box"), 3, "      You have tried to save a image on disk that"));
  EXPECT_TRUE(shown.Pixels("after") == shown.Pixels("before"));
  EXPECT_EQ(shown.File("undone"), kHeader);
  EXPECT_EQ(FolderNames(dir), (Lines{"FILLER", "image.img"}));
}

// A kill at any step of New Image leaves the old journal or the new one,
// whole, and the next start keeps the old one and removes a half-made new one.
TEST(JournalFaults, AKillDuringNewImageLeavesTheOldJournalOrTheNew) {
  REQUIRE(NeedStrace());
  const Lines keys = FromMainLoop(Join({kDrawLine, SaveAs("A"), kNewImage, {"CTRL-X"}}));
  const std::string reference = NewFolder(), trace = reference + ".trace";
  ASSERT_EQ(RunEditor(reference, keys, {}, {}, Traced(trace)).status, 0);
  const std::vector<Step> steps = StepsFrom(trace, kMakingNewJournal);
  ASSERT_GT(steps.size(), 4u);
  const std::string old = CrLf({"SCREEN 8", kLine1});
  int old_kept = 0, new_in_place = 0;
  for (const Step& step : steps) {
    const std::string dir = NewFolder();
    const EditorRun run = RunEditor(dir, keys, {}, {}, KillAt(step));
    EXPECT_EQ(run.status, 128 + SIGKILL) << step.line;
    const std::string journal = run.File("image.img");
    EXPECT_TRUE(journal == old || journal == kHeader) << "killed at " << step.line;
    old_kept += journal == old ? 1 : 0;
    new_in_place += journal == kHeader ? 1 : 0;
    // The next start keeps an old drawing and clears the half-made journal.
    const EditorRun next = RunEditor(dir, FromMainLoop({"CTRL-X"}));
    EXPECT_FALSE(next.Exists("image.img.load")) << step.line;
    EXPECT_EQ(next.File("image.img.1"), journal == old ? old : "") << step.line;
  }
  std::cout << steps.size() << " kills in New Image: " << old_kept << " kept the old journal, "
            << new_in_place << " left the new one\n";
  EXPECT_GT(old_kept, 0);
  EXPECT_GT(new_in_place, 0);
}
