// Runs of the Script back-end: opening, pacing, the clock, snapshots, the end.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "backends/backends.h"
#include "gfx/display_driver.h"
#include "gfx/draw.h"
#include "gfx/keyboard.h"
#include "gfx/screen.h"
#include "runtime/clock.h"
#include "runtime/files.h"
#include "scratch_folder.h"

namespace {

const std::string kPgmHeader = "P5\n640 200\n255\n";
const std::string kPpmHeader = "P6\n640 200\n255\n";

class ScriptRun : public ::testing::Test {
 protected:
  void SetUp() override {
    setenv("TRVGFX", "script", 1);
    setenv("TRVGFX_SCRIPT", Path("keys.txt").c_str(), 1);
    setenv("TRVGFX_SNAPSHOTS", dir_.c_str(), 1);
    register_standard_backends();
  }
  void TearDown() override {
    if (gfx_screen()) SCREEN(0, 0, 0, 0, 0);
    file_close_all();
  }
  std::string Path(const std::string& name) const { return (dir_ / name).string(); }
  // Writes the script and opens SCREEN 8 on it.
  void Open(const std::string& script) {
    std::ofstream(Path("keys.txt"), std::ios::binary) << script;
    ASSERT_EQ(SCREEN(8, 4, 2, 0, 0), 0);
    ASSERT_STREQ(gfx_screen()->driver->name, "Script");
  }
  std::string Read(const std::string& name) const {
    std::ifstream in(Path(name), std::ios::binary);
    std::ostringstream out;
    out << in.rdbuf();
    return out.str();
  }
  // Leaves graphics and returns what the back-end printed meanwhile.
  static std::string CloseScreen() {
    ::testing::internal::CaptureStderr();
    SCREEN(0, 0, 0, 0, 0);
    return ::testing::internal::GetCapturedStderr();
  }

  ScratchFolder scratch_{"kov1-script"};
  const std::filesystem::path dir_ = scratch_.dir();
};

std::vector<std::string> Polls(int n) {
  std::vector<std::string> got;
  for (int i = 0; i < n; ++i) got.push_back(INKEY());
  return got;
}

int64_t NowMs() {
  return std::llround(TIMER() * 1000.0);
}

uint8_t At(const std::string& bytes, size_t offset) {
  return static_cast<uint8_t>(bytes.at(offset));
}

TEST_F(ScriptRun, KeysArriveOnePerEmptyRingMoment) {
  Open("a\nUP\nCODE 27\ntext \"h\xC3\xA9\"\nENTER * 2\nwait 250\nclose\n");
  EXPECT_TRUE(clock_is_virtual());
  const std::string up = "\xFF\x48", close = "\xFF\x6B";
  const std::vector<std::string> want = {"", "a",    "", up,   "", "\x1B", "", "h",
                                         "", "\x82", "", "\r", "", "\r",   "", close};
  const int64_t t0 = NowMs();
  EXPECT_EQ(Polls(16), want);
  EXPECT_EQ(NowMs() - t0, 80 + 250);  // 10 ms for each of the eight empty polls, and the wait
  EXPECT_EQ(CloseScreen(), "");       // every line used
}

TEST_F(ScriptRun, BurstOverflowsTheRingLikeTypingAhead) {
  Open("burst a b c d e f g h i j k l m n o p q\nz\n");
  EXPECT_EQ(INKEY(), "");
  std::string got;
  for (int i = 0; i < 15; ++i) got += INKEY();
  EXPECT_EQ(got, "cdefghijklmnopq");  // a and b overwritten
  EXPECT_EQ(Polls(2), (std::vector<std::string>{"", "z"}));
}

TEST_F(ScriptRun, KeyTestKeyWaitAndSleepSeeTheScriptedKeys) {
  Open("a\nb\nwait 1000\nc\nd\n");
  EXPECT_FALSE(key_test());  // the moment writes a; the call still finds the ring empty
  EXPECT_TRUE(key_test());
  EXPECT_EQ(INKEY(), "a");
  EXPECT_EQ(key_wait(), static_cast<uint32_t>('b'));

  // SLEEP 1000: the first test of the ring is an empty moment (10 ms), which
  // lets the wait line pass (1000 ms) and writes c; one 50 ms step later the
  // sleep sees the key and returns, leaving it in the ring.
  int64_t t0 = NowMs();
  SLEEP(1000);
  EXPECT_EQ(NowMs() - t0, 1060);
  EXPECT_EQ(INKEY(), "c");

  t0 = NowMs();
  SLEEP(60);  // short sleeps do not look at keys
  EXPECT_EQ(NowMs() - t0, 60);
  SLEEP(-1);
  EXPECT_EQ(INKEY(), "d");
}

TEST_F(ScriptRun, SnapshotsHoldThePagesAsTheProgramLeftThem) {
  Open("snap one\npages two\nx\nsnap three\n");
  PSET(10, 5, 4, kCoordPoint, 0);      // red (170, 0, 0)
  PSET(639, 199, 14, kCoordPoint, 0);  // yellow (255, 255, 85)
  PSET(20, 7, 3, kCoordPoint, 0);
  PSET(21, 7, 200, kCoordPoint, 0);       // a value beyond the colours shows black
  gfx_screen()->palette[3] = 0x00112233;  // 0x00BBGGRR
  set_pages(1, 0);
  PSET(0, 0, 9, kCoordPoint, 0);
  EXPECT_EQ(INKEY(), "");

  const std::string ppm = Read("one.ppm");
  ASSERT_EQ(ppm.size(), kPpmHeader.size() + 640 * 200 * 3);
  EXPECT_EQ(ppm.substr(0, kPpmHeader.size()), kPpmHeader);
  auto rgb = [&](int x, int y) {
    size_t at = kPpmHeader.size() + (static_cast<size_t>(y) * 640 + x) * 3;
    return std::vector<int>{At(ppm, at), At(ppm, at + 1), At(ppm, at + 2)};
  };
  EXPECT_EQ(rgb(10, 5), (std::vector<int>{170, 0, 0}));
  EXPECT_EQ(rgb(639, 199), (std::vector<int>{255, 255, 85}));
  EXPECT_EQ(rgb(20, 7), (std::vector<int>{0x33, 0x22, 0x11}));
  EXPECT_EQ(rgb(21, 7), (std::vector<int>{0, 0, 0}));
  EXPECT_EQ(rgb(0, 0), (std::vector<int>{0, 0, 0}));  // drawn on the hidden page

  const std::string pgm = Read("one.pgm");
  ASSERT_EQ(pgm.size(), kPgmHeader.size() + 640 * 200);
  EXPECT_EQ(pgm.substr(0, kPgmHeader.size()), kPgmHeader);
  const size_t h = kPgmHeader.size();
  EXPECT_EQ(At(pgm, h + 5 * 640 + 10), 4);
  EXPECT_EQ(At(pgm, h + 199 * 640 + 639), 14);
  EXPECT_EQ(At(pgm, h + 7 * 640 + 21), 200);
  EXPECT_EQ(At(pgm, h), 0);

  EXPECT_EQ(Read("two-0.pgm"), pgm);
  const std::string page1 = Read("two-1.pgm");
  ASSERT_EQ(page1.size(), pgm.size());
  EXPECT_EQ(page1.substr(0, h), kPgmHeader);
  EXPECT_EQ(At(page1, h), 9);
  EXPECT_EQ(At(page1, h + 5 * 640 + 10), 0);

  // The snapshot is taken when the program next waits: after x was handled.
  EXPECT_EQ(INKEY(), "x");
  set_pages(1, 1);
  EXPECT_EQ(INKEY(), "");
  EXPECT_EQ(Read("three.pgm"), page1);
  EXPECT_FALSE(std::filesystem::exists(Path("final.pgm")));
  EXPECT_EQ(CloseScreen(), "");
}

TEST_F(ScriptRun, UnusedLinesAreReportedWhenTheProgramEndsFirst) {
  Open("a\n# comment\nb * 3\nsnap x\nwait 5\n");
  EXPECT_EQ(Polls(2), (std::vector<std::string>{"", "a"}));
  EXPECT_EQ(CloseScreen(), "script: 3 lines not used, from line 3\n");

  Open("a\nb * 3\nsnap x\n");
  EXPECT_EQ(Polls(4), (std::vector<std::string>{"", "a", "", "b"}));  // b * 3 only begun
  EXPECT_EQ(CloseScreen(), "script: 2 lines not used, from line 2\n");
}

TEST_F(ScriptRun, AtExitTheProgramsOwnStatusStands) {
  EXPECT_EXIT(
      {
        Open("a\nb\n");
        std::exit(5);
      },
      ::testing::ExitedWithCode(5), "script: 2 lines not used, from line 1\n");
}

TEST_F(ScriptRun, TheEndWritesFinalFlushesFilesAndExitsWithThree) {
  EXPECT_EXIT(
      {
        Open("a\n");
        file_open(1, Path("out.txt"), FileMode::Output, FileBuffering::Buffered);
        file_print(1, "kept");
        PSET(3, 2, 12, kCoordPoint, 0);
        while (INKEY() != "a") {
        }
        for (;;) INKEY();
      },
      ::testing::ExitedWithCode(3), "^script ended\n$");
  EXPECT_EQ(Read("out.txt"), "kept\r\n");
  const std::string pgm = Read("final.pgm");
  ASSERT_EQ(pgm.size(), kPgmHeader.size() + 640 * 200);
  EXPECT_EQ(At(pgm, kPgmHeader.size() + 2 * 640 + 3), 12);
  const std::string ppm = Read("final.ppm");
  ASSERT_EQ(ppm.size(), kPpmHeader.size() + 640 * 200 * 3);
  const size_t at = kPpmHeader.size() + (2 * 640 + 3) * 3;
  EXPECT_EQ((std::vector<int>{At(ppm, at), At(ppm, at + 1), At(ppm, at + 2)}),
            (std::vector<int>{255, 85, 85}));
}

TEST_F(ScriptRun, FaultsEndTheProcessWithTwoBeforeTheProgramGoesOn) {
  EXPECT_EXIT(Open("UP\n\nbogus key\n"), ::testing::ExitedWithCode(2),
              "keys.txt:3: one key per line");
  EXPECT_EXIT(Open("UP\nwait soon\n"), ::testing::ExitedWithCode(2), "keys.txt:2: wait");
  setenv("TRVGFX_SCRIPT", Path("missing.txt").c_str(), 1);
  EXPECT_EXIT(SCREEN(8, 4, 2, 0, 0), ::testing::ExitedWithCode(2), "missing.txt: cannot read");
  setenv("TRVGFX_SCRIPT", dir_.c_str(), 1);  // a folder is no script
  EXPECT_EXIT(SCREEN(8, 4, 2, 0, 0), ::testing::ExitedWithCode(2), "cannot read");
  setenv("TRVGFX_SCRIPT", Path("keys.txt").c_str(), 1);
  setenv("TRVGFX_SNAPSHOTS", Path("no/such/folder").c_str(), 1);
  EXPECT_EXIT(Open("UP\n"), ::testing::ExitedWithCode(2), "cannot write snapshots");
  setenv("TRVGFX_SNAPSHOTS", Path("keys.txt").c_str(), 1);  // a file is no folder
  EXPECT_EXIT(Open("UP\n"), ::testing::ExitedWithCode(2), "cannot write snapshots");
}

TEST_F(ScriptRun, ASnapshotThatCannotBeWrittenEndsTheRunWithTwo) {
  EXPECT_EXIT(
      {
        Open("x\nsnap late\n");
        std::filesystem::remove_all(dir_);
        for (;;) INKEY();
      },
      ::testing::ExitedWithCode(2), "keys.txt:2: cannot write .*late.ppm");
}

TEST_F(ScriptRun, ChosenByNameInAnyCase) {
  setenv("TRVGFX", "ScRiPt", 1);
  Open("a\n");
  EXPECT_TRUE(gfx_screen()->driver->virtual_time);
  EXPECT_EQ(CloseScreen(), "script: 1 line not used, from line 1\n");
}

}  // namespace
