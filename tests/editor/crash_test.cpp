// The editor in a real window on a private Xvfb server, typed at with
// xdotool: every finished shape survives a SIGKILL while the editor waits for
// a key, a load killed half-way leaves the earlier journal as it was, the
// window's icon is the title's pencil, and a whole session ends cleanly (in
// the ThreadSanitizer build: without a report). Every wait has a limit.
#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <fstream>
#include <functional>
#include <sstream>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "editor_run.h"
#include "sdl_test_x11.h"

namespace {

using Clock = std::chrono::steady_clock;
using Lines = std::vector<std::string>;

::testing::Environment* const g_xvfb = ::testing::AddGlobalTestEnvironment(new XvfbEnvironment);

// ThreadSanitizer ends the editor with status 66 at its first report.
constexpr const char* kTsanOptions = "halt_on_error=1 exitcode=66";
constexpr int kJournalBlockLines = 328;  // "GoTo EndAbc" to "EndAbc:"

bool WaitUntil(const std::function<bool()>& done, int seconds) {
  auto deadline = Clock::now() + std::chrono::seconds(seconds);
  while (!done()) {
    if (Clock::now() > deadline) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  return true;
}

size_t CountLines(const std::string& path) {
  std::string all = ReadFile(path);
  size_t n = 0;
  for (size_t at = 0; (at = all.find("\r\n", at)) != std::string::npos; at += 2) ++n;
  return n;
}

// The editor started in a fresh folder with the SDL back-end; killed with
// SIGKILL when the test ends without having ended it.
struct WindowedEditor {
  std::string dir;
  pid_t pid = -1;
  std::string window;  // X11 window id, decimal
  int status = -1;     // exit status, or 128 + signal

  explicit WindowedEditor(const std::string& folder) : dir(folder) {
    pid = fork();
    if (pid == 0) {
      if (chdir(dir.c_str()) != 0) _exit(127);
      setenv("TRVGFX", "sdl", 1);
      setenv("TSAN_OPTIONS", kTsanOptions, 1);
      setenv("LSAN_OPTIONS", "suppressions=" LSAN_SUPPRESSIONS, 1);
      int in = open("/dev/null", O_RDONLY);
      int out = open((dir + ".out").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
      int err = open((dir + ".err").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
      dup2(in, 0), dup2(out, 1), dup2(err, 2);
      execl(KOV1_PATH, KOV1_PATH, static_cast<char*>(nullptr));
      _exit(127);
    }
  }
  ~WindowedEditor() {
    if (pid > 0) Kill();
  }

  // Finds the editor's window and gives it the keyboard focus. The journal
  // is made once the window is set up (SDL may replace its first window
  // while it sets up the renderer).
  bool FindWindow() {
    struct stat st {};
    std::string journal = dir + "/image.img";
    if (!WaitUntil([&] { return stat(journal.c_str(), &st) == 0 && st.st_size > 0; }, 30)) {
      return false;
    }
    return WaitUntil(
        [&] {
          std::string out;
          if (RunCommand("xdotool search --onlyvisible --pid " + std::to_string(pid), &out) != 0) {
            return false;
          }
          window = out.substr(0, out.find('\n'));
          return RunCommand("xdotool windowfocus --sync " + window) == 0;
        },
        30);
  }
  // Types the keys (xdotool key names) 25 ms apart.
  ::testing::AssertionResult Keys(const std::string& keys) {
    std::string out;
    if (RunCommand("xdotool key --delay 25 " + keys, &out) == 0) {
      return ::testing::AssertionSuccess();
    }
    return ::testing::AssertionFailure() << "xdotool: " << out;
  }
  bool Running() {
    if (pid <= 0) return false;
    int st = 0;
    if (waitpid(pid, &st, WNOHANG) != pid) return true;
    Reap(st);
    return false;
  }
  void Kill() {
    kill(pid, SIGKILL);
    int st = 0;
    waitpid(pid, &st, 0);
    Reap(st);
  }
  void Reap(int st) {
    status = WIFEXITED(st) ? WEXITSTATUS(st) : 128 + WTERMSIG(st);
    pid = -1;
  }
  std::string File(const std::string& name) const { return ReadFile(dir + "/" + name); }
  std::string Err() const { return ReadFile(dir + ".err"); }
  bool JournalHolds(size_t lines) const { return CountLines(dir + "/image.img") == lines; }
};

// Types keys and waits until the journal holds the number of lines.
::testing::AssertionResult Draw(WindowedEditor& ed, const std::string& keys, size_t lines) {
  ::testing::AssertionResult typed = ed.Keys(keys);
  if (!typed) return typed;
  if (WaitUntil([&] { return ed.JournalHolds(lines); }, 30)) return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure() << "after " << keys << ":\n"
                                       << ed.File("image.img") << ed.Err();
}

// Takes the editor past the title, the welcome page and the warning; keys
// typed while the tune plays wait in the key ring.
::testing::AssertionResult Start(WindowedEditor& ed) {
  if (!ed.FindWindow()) return ::testing::AssertionFailure() << "no window: " << ed.Err();
  return ed.Keys("space Escape Return");
}

const Lines kTextGroup = {"PrintFlarp$ = \"HI\"", "Fcolor =  7", "wy =  34", "wx =  9",
                          "gosub Dprint"};

TEST(CrashTest, EveryFinishedShapeSurvivesAKillWhileWaitingForAKey) {
  WindowedEditor ed(NewFolder());
  ASSERT_TRUE(Start(ed));
  ASSERT_TRUE(Draw(ed, "ctrl+r period Right Right Right Right Down Down period", 2));
  ASSERT_TRUE(Draw(ed, "ctrl+f period Left Left Left Up Up Up Up period", 3));
  ASSERT_TRUE(
      Draw(ed, "ctrl+l period Right Right Right Right Right Right Down Down Down period", 4));
  ASSERT_TRUE(Draw(ed, "ctrl+e period Right Right Right Right period", 5));
  ASSERT_TRUE(Draw(ed, "ctrl+t period h i Return", 5 + kJournalBlockLines + 5));
  // A line under way is not finished: it is not in the journal.
  ASSERT_TRUE(ed.Keys("ctrl+l period Right Right"));
  std::this_thread::sleep_for(std::chrono::milliseconds(300));
  ASSERT_TRUE(ed.Running()) << ed.Err();
  ed.Kill();
  EXPECT_EQ(ed.status, 128 + SIGKILL);

  const std::string journal = ed.File("image.img");
  const std::string shapes = CrLf({
      "SCREEN 8",
      "line ( 2,  33)-( 6, 35),     7,b",
      "line ( 6,  35)-( 3, 31),     7,bf",
      "line ( 3,  31)-( 9, 34),     7",
      "circle ( 9,  34),            5,            7, , , 1",
  });
  const std::string text = CrLf(kTextGroup);
  ASSERT_GT(journal.size(), shapes.size() + text.size());
  EXPECT_EQ(journal.substr(0, shapes.size()), shapes);
  EXPECT_EQ(journal.substr(journal.size() - text.size()), text);
  // Between them, the text subroutine block, whole.
  std::string block = journal.substr(shapes.size(), journal.size() - shapes.size() - text.size());
  EXPECT_EQ(block.substr(0, 13), "GoTo EndAbc\r\n");
  EXPECT_EQ(block.substr(block.size() - 9), "EndAbc:\r\n");
  EXPECT_EQ(CountLines(ed.dir + "/image.img"), 5u + kJournalBlockLines + 5u);
}

// A drawing of 300,000 shapes in the editor's own format.
void WriteLargeDrawing(const std::string& path) {
  std::string all = "SCREEN 8\r\n";
  const char* const kShapes[] = {
      "line ( 10,  20)-( 300, 150),  4\r\n",
      "line ( 20,  30)-( 40, 50),    2,b\r\n",
      "line ( 600,  10)-( 630, 20),  9,bf\r\n",
      "circle ( 320,  100),         60,           14, , , 1\r\n",
  };
  for (int i = 0; i < 300000; ++i) all += kShapes[i % 4];
  std::ofstream(path, std::ios::binary) << all;
}

TEST(CrashTest, AKillDuringALoadLeavesTheEarlierJournalIntact) {
  WindowedEditor ed(NewFolder());
  WriteLargeDrawing(ed.dir + "/big");
  ASSERT_TRUE(Start(ed));
  ASSERT_TRUE(Draw(ed, "ctrl+r period Right Right Right Right Down Down period", 2));
  ASSERT_TRUE(
      Draw(ed, "ctrl+l period Right Right Right Right Right Right Down Down Down period", 3));
  const std::string earlier = CrLf({
      "SCREEN 8",
      "line ( 2,  33)-( 6, 35),     7,b",
      "line ( 6,  35)-( 12, 38),    7",
  });
  ASSERT_EQ(ed.File("image.img"), earlier);

  // File menu, Load Image, the name, and "No" to saving the work first.
  ASSERT_TRUE(ed.Keys("ctrl+s Down Return b i g Return Right Return"));
  struct stat st {};
  const std::string temp = ed.dir + "/image.img.load";
  auto deadline = Clock::now() + std::chrono::seconds(30);
  while (stat(temp.c_str(), &st) != 0 && Clock::now() < deadline) {
    std::this_thread::sleep_for(std::chrono::microseconds(500));
  }
  ed.Kill();
  EXPECT_EQ(stat(temp.c_str(), &st), 0) << "the load did not start: " << ed.Err();
  EXPECT_EQ(ed.status, 128 + SIGKILL);
  const std::string journal = ed.File("image.img");
  EXPECT_TRUE(journal == earlier) << journal.size() << " bytes, starting:\n"
                                  << journal.substr(0, 200);
}

// The title's pencil as the icon shows it, one row of the icon's 50 x 25
// drawing per string, each shown twice: '.' transparent, else the colour.
// clang-format off
const Lines kPencil = {
    "..........D.......................................",
    ".........DDDD.....................................",
    "........DDDDDDD...................................",
    ".......DDDDDDDDD8.................................",
    "......DDDDDDDDD8EEE...............................",
    ".....DDDDDDDDD8EEEEEE.............................",
    "......DDDDDDD8EEEEEEEEE...........................",
    "........DDDD8EEEEEEEEEEEE.........................",
    "..........D8EEEEEEEEEEEEEE........................",
    "............EEEEEEEEEEEEEEEE......................",
    "..............EEEEEEEEEEEEEEEE....................",
    "................EEEEEEEEEEEEEEEE..................",
    "..................EEEEEEEEEEEEEEE.................",
    "....................EEEEEEEEEEEEEEE...............",
    ".....................EEEEEEEEEEEEEEEE.............",
    ".......................EEEEEEEEEEEEEEEE...........",
    ".........................EEEEEEEEEEEEEEEE.........",
    "...........................EEEEEEEEEEEEEEE........",
    "............................EEEEEEEEEEEEE66.......",
    "..............................EEEEEEEEEE666.......",
    "................................EEEEEE666666......",
    "..................................EEE6666666......",
    "....................................666666666.....",
    ".......................................666666.....",
    "...........................................660....",
};
// clang-format on

// The colours the window shows for the pencil's palette entries, as ARGB.
const std::pair<char, uint32_t> kIconColours[] = {
    {'0', 0xFF000000u},  // the lead
    {'6', 0xFFAA5500u},  // the tip
    {'8', 0xFF555555u},  // the band
    {'D', 0xFFFF55FFu},  // the eraser
    {'E', 0xFFFFFF55u},  // the body
};

uint32_t IconColour(char c) {
  for (auto [digit, argb] : kIconColours) {
    if (digit == c) return argb;
  }
  return 0;  // transparent
}

// The window's _NET_WM_ICON: width, height, then ARGB pixels; empty when
// the window has none.
std::vector<uint32_t> WindowIcon(const std::string& window) {
  std::string out;
  if (RunCommand("xprop -id " + window + " -notype -f _NET_WM_ICON 32x ' $0+' _NET_WM_ICON",
                 &out) != 0) {
    return {};
  }
  std::vector<uint32_t> values;
  size_t at = out.find(' ');
  if (at == std::string::npos || out.find("not found") != std::string::npos) return {};
  std::istringstream list(out.substr(at));
  for (std::string item; std::getline(list, item, ',');) {
    values.push_back(static_cast<uint32_t>(std::stoul(item, nullptr, 16)));
  }
  return values;
}

TEST(EditorWindowTest, IconIsTheTitlesPencil) {
  WindowedEditor ed(NewFolder());
  ASSERT_TRUE(ed.FindWindow()) << "no window: " << ed.Err();
  std::vector<uint32_t> icon;
  WaitUntil([&] { return !(icon = WindowIcon(ed.window)).empty(); }, 20);
  ASSERT_EQ(icon.size(), 2u + 50 * 50);
  EXPECT_EQ(icon[0], 50u);
  EXPECT_EQ(icon[1], 50u);
  for (int y = 0; y < 50; ++y) {
    for (int x = 0; x < 50; ++x) {
      ASSERT_EQ(icon[2 + static_cast<size_t>(y) * 50 + x], IconColour(kPencil[y / 2][x]))
          << x << "," << y;
    }
  }
}

// Start-up, shapes, the file menu, the colour chooser, the help pages, and
// Ctrl-X with "No" to saving: in the ThreadSanitizer build, any race ends
// the editor with status 66 instead.
TEST(EditorWindowTest, AWholeSessionEndsCleanly) {
  WindowedEditor ed(NewFolder());
  ASSERT_TRUE(Start(ed));
  ASSERT_TRUE(Draw(ed, "period Right Right Right Right Right Right period", 2));
  ASSERT_TRUE(ed.Keys("ctrl+s Down Down Escape ctrl+c Right Return F1 Next Escape"));
  ASSERT_TRUE(Draw(ed, "ctrl+e period Right Right period", 3));
  EXPECT_EQ(ed.File("image.img"), CrLf({"SCREEN 8", "line ( 2,  33)-( 8, 33),     7",
                                        "circle ( 8,  33),            3,            8, , , 1"}));
  ASSERT_TRUE(ed.Keys("ctrl+x Right Return"));
  EXPECT_TRUE(WaitUntil([&] { return !ed.Running(); }, 30)) << "the editor did not end";
  EXPECT_EQ(ed.status, 0) << ed.Err();
  EXPECT_EQ(ed.Err().find("ThreadSanitizer"), std::string::npos) << ed.Err();
  EXPECT_EQ(ReadFile(ed.dir + ".out"), "Edit ended.\n");
  EXPECT_FALSE(std::ifstream(ed.dir + "/image.img").good()) << "the journal was not deleted";
}

// The pointer in a real window: the whole drawing (colour, box, filled box,
// ellipse, line, text, fill, and a save through the file menu) made with
// the mouse gives the journal, byte for byte, that the same drawing made
// with keys gives.
TEST(EditorWindowTest, TheMouseDrawsWhatTheKeysDraw) {
  WindowedEditor ed(NewFolder());
  ASSERT_TRUE(Start(ed));
  std::string geometry;
  ASSERT_EQ(RunCommand("xdotool getwindowgeometry --shell " + ed.window, &geometry), 0);
  const int width = std::stoi(geometry.substr(geometry.find("WIDTH=") + 6));
  const int height = std::stoi(geometry.substr(geometry.find("HEIGHT=") + 7));
  const int scale = std::max(1, std::min(width / 640, height / 400));
  // The middle of picture pixel (x, y) in the window.
  auto at = [&](int x, int y) {
    return "mousemove --window " + ed.window + " " + std::to_string(scale * x + scale / 2) + " " +
           std::to_string(2 * scale * y + scale) + " sleep 0.05 ";
  };
  auto mouse = [&](const std::string& actions, size_t lines) -> ::testing::AssertionResult {
    EXPECT_EQ(RunCommand("xdotool " + actions), 0) << actions;
    if (WaitUntil([&] { return ed.JournalHolds(lines); }, 30)) return ::testing::AssertionSuccess();
    std::string title;
    RunCommand("xdotool getwindowname " + ed.window, &title);
    return ::testing::AssertionFailure()
           << "after " << actions << ", the title is " << title << "and the journal ends "
           << ed.File("image.img").substr(0, 200);
  };
  // The main loop titles the window with the cursor's position; the pointer
  // events of a drawing would overflow the key ring if sent during the tune.
  ASSERT_TRUE(WaitUntil(
      [&] {
        std::string title;
        RunCommand("xdotool getwindowname " + ed.window, &title);
        return title.find(", ") != std::string::npos;
      },
      30));
  ASSERT_TRUE(ed.Keys("ctrl+c"));
  ASSERT_TRUE(mouse(at(255, 110) + "click 1", 1));
  ASSERT_TRUE(ed.Keys("ctrl+r"));
  ASSERT_TRUE(mouse(at(100, 50) + "click 1 " + at(200, 90) + "click 1", 2));
  ASSERT_TRUE(ed.Keys("ctrl+f"));
  ASSERT_TRUE(mouse(at(300, 60) + "mousedown 1 " + at(350, 120) + "mouseup 1", 3));
  ASSERT_TRUE(ed.Keys("ctrl+e"));
  ASSERT_TRUE(
      mouse(at(450, 100) + "mousedown 1 " + at(480, 100) + "click 4 sleep 0.05 mouseup 1", 4));
  ASSERT_TRUE(ed.Keys("ctrl+l"));
  ASSERT_TRUE(mouse(at(5, 150) + "click 1 " + at(600, 180) + "click 1", 5));
  ASSERT_TRUE(ed.Keys("ctrl+t"));
  ASSERT_TRUE(mouse(at(50, 160) + "click 1 sleep 0.1 key h i sleep 0.1 click 1",
                    5 + kJournalBlockLines + 5));
  ASSERT_TRUE(ed.Keys("ctrl+p"));
  ASSERT_TRUE(mouse(at(150, 70) + "click 1", 5 + kJournalBlockLines + 6));
  ASSERT_TRUE(ed.Keys("ctrl+s"));
  EXPECT_EQ(RunCommand("xdotool " + at(140, 112) + "click 1 sleep 0.3"), 0);
  ASSERT_TRUE(ed.Keys("H O U S E Return"));
  ASSERT_TRUE(WaitUntil([&] { return ed.File("HOUSE") == ed.File("image.img"); }, 30));

  const EditorRun keys = RunEditor(FromMainLoop({
      "CTRL-C",      "RIGHT * 5",   "ENTER",                                            // colour 12
      "CTRL-R",      "RIGHT * 98",  "DOWN * 17", ".", "RIGHT * 100", "DOWN * 40", ".",  // box
      "CTRL-F",      "RIGHT * 100", "UP * 30",   ".", "RIGHT * 50",  "DOWN * 60", ".",
      "CTRL-E",      "RIGHT * 100", "UP * 20",   ".", "RIGHT * 29",  "UP",        ".",
      "CTRL-L",      "LEFT * 445",  "DOWN * 50", ".", "RIGHT * 595", "DOWN * 30", ".",
      "CTRL-T",      "LEFT * 550",  "UP * 20",   ".", "text \"HI\"", "ENTER",     "CTRL-P",
      "RIGHT * 100", "UP * 90",     ".",
  }));
  ASSERT_EQ(keys.status, 3) << keys.err;
  EXPECT_TRUE(ed.File("image.img") == keys.File("image.img"))
      << ed.File("image.img").substr(0, 300) << "\n--- by keys:\n"
      << keys.File("image.img").substr(0, 300);
  EXPECT_TRUE(ed.File("HOUSE") == keys.File("image.img"));
}

}  // namespace
