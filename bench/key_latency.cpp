// Key to screen, end to end: starts the editor with the SDL back-end in an
// empty temporary folder, takes it to the main loop, then presses Right (and
// later Left) through the X server's test extension at random moments and
// polls the window's pixels until the cursor stands one pixel further. Prints
// the median, 90th percentile and largest delay over all presses. With
// "pointer" after PRESSES it moves the mouse pointer one picture pixel
// instead of pressing a key: pointer motion to screen.
//
// Needs an X display without a window manager; on a machine without one:
//   xvfb-run -a -s "-screen 0 1024x768x24" build/key_latency [KOV1] [PRESSES] [pointer]
// (1600x1000x24 for scale 2)
// KOV1 defaults to kov1 beside this program, PRESSES to 200.
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <random>
#include <string>
#include <thread>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;
constexpr int kCursorRow = 33;  // the cursor's row at start; it only moves sideways here

pid_t g_editor = -1;

[[noreturn]] void Fail(const char* why) {
  std::fprintf(stderr, "key_latency: %s\n", why);
  if (g_editor > 0) kill(g_editor, SIGKILL);
  std::exit(1);
}

pid_t StartEditor(const std::string& kov1, const std::string& folder) {
  pid_t pid = fork();
  if (pid == 0) {
    if (chdir(folder.c_str()) != 0) _exit(127);
    setenv("TRVGFX", "sdl", 1);
    int quiet = open("/dev/null", O_RDWR);
    dup2(quiet, 0), dup2(quiet, 1), dup2(quiet, 2);
    execl(kov1.c_str(), kov1.c_str(), static_cast<char*>(nullptr));
    _exit(127);
  }
  return pid;
}

// The top-level window whose _NET_WM_PID is pid and that is shown; 0 if none.
Window FindWindow(Display* d, pid_t pid) {
  Atom pid_atom = XInternAtom(d, "_NET_WM_PID", False);
  Window root = DefaultRootWindow(d), parent = 0, *children = nullptr;
  unsigned count = 0;
  Window found = 0;
  if (!XQueryTree(d, root, &root, &parent, &children, &count)) return 0;
  for (unsigned i = 0; i < count && !found; ++i) {
    Atom type = 0;
    int format = 0;
    unsigned long items = 0, left = 0;
    unsigned char* data = nullptr;
    if (XGetWindowProperty(d, children[i], pid_atom, 0, 1, False, XA_CARDINAL, &type, &format,
                           &items, &left, &data) == Success &&
        data && items == 1 && static_cast<pid_t>(*reinterpret_cast<long*>(data)) == pid) {
      XWindowAttributes a;
      if (XGetWindowAttributes(d, children[i], &a) && a.map_state == IsViewable) {
        found = children[i];
      }
    }
    if (data) XFree(data);
  }
  if (children) XFree(children);
  return found;
}

void Press(Display* d, KeySym key) {
  KeyCode code = XKeysymToKeycode(d, key);
  XTestFakeKeyEvent(d, code, True, CurrentTime);
  XTestFakeKeyEvent(d, code, False, CurrentTime);
  XFlush(d);
}

// Moves the pointer over picture pixel (x, kCursorRow) of the window.
void MovePointer(Display* d, Window w, int scale, int x) {
  int rx = 0, ry = 0;
  Window child = 0;
  XTranslateCoordinates(d, w, DefaultRootWindow(d), 0, 0, &rx, &ry, &child);
  XTestFakeMotionEvent(d, -1, rx + x * scale + scale / 2, ry + 2 * kCursorRow * scale + scale,
                       CurrentTime);
  XFlush(d);
}

// The cursor's column as the window shows it: the middle of the white run
// on the cursor's row; -1 when there is none.
int CursorColumn(Display* d, Window w, int scale) {
  const int y = 2 * kCursorRow * scale;
  XImage* row = XGetImage(d, w, 0, y, 640 * scale, 1, AllPlanes, ZPixmap);
  if (!row) return -1;
  int last_white = -1;
  for (int x = 1; x < 639; ++x) {
    if ((XGetPixel(row, x * scale, 0) & 0xFFFFFF) == 0xFFFFFF) last_white = x;
  }
  XDestroyImage(row);
  return last_white < 0 ? -1 : last_white - 1;
}

// Polls until the cursor stands at column x; the time since `from` when it
// did, or -1 after `seconds` without.
double WaitForCursor(Display* d, Window w, int scale, int x, Clock::time_point from,
                     int seconds = 5) {
  auto deadline = from + std::chrono::seconds(seconds);
  while (Clock::now() < deadline) {
    if (CursorColumn(d, w, scale) == x) {
      return std::chrono::duration<double, std::milli>(Clock::now() - from).count();
    }
    std::this_thread::sleep_for(std::chrono::microseconds(100));
  }
  return -1;
}

}  // namespace

int main(int argc, char** argv) {
  const std::string kov1 =
      std::filesystem::absolute(argc > 1 ? std::filesystem::path(argv[1])
                                         : std::filesystem::path(argv[0]).parent_path() / "kov1")
          .string();
  const int presses = argc > 2 ? std::atoi(argv[2]) : 200;
  const bool pointer = argc > 3 && std::string(argv[3]) == "pointer";
  Display* d = XOpenDisplay(nullptr);
  int ev = 0, er = 0, major = 0, minor = 0;
  if (!d || !XTestQueryExtension(d, &ev, &er, &major, &minor)) Fail("no X display with XTEST");

  std::string folder = (std::filesystem::temp_directory_path() / "kov1-latency-XXXXXX").string();
  if (!mkdtemp(folder.data())) Fail("no temporary folder");
  g_editor = StartEditor(kov1, folder);
  // The journal is made once the window is set up (SDL may replace its first window).
  Window w = 0;
  struct stat st {};
  for (int i = 0; i < 300 && !w; ++i) {
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    if (stat((folder + "/image.img").c_str(), &st) == 0) w = FindWindow(d, g_editor);
  }
  if (!w) Fail("the editor's window did not appear");
  XSetInputFocus(d, w, RevertToParent, CurrentTime);
  XSync(d, False);
  XWindowAttributes a;
  XGetWindowAttributes(d, w, &a);
  const int scale = std::max(1, std::min(a.width / 640, a.height / 400));
  for (KeySym k : {XK_space, XK_Escape, XK_Return}) {
    Press(d, k);
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  }
  int x = 2;  // where the main loop starts the cursor
  if (WaitForCursor(d, w, scale, x, Clock::now(), 15) < 0) {
    Fail("the cursor did not appear at the start of the main loop");
  }

  std::mt19937 random(13);
  std::uniform_int_distribution<int> pause_us(5000, 25000);
  std::vector<double> ms;
  for (int i = 0; i < presses; ++i) {
    std::this_thread::sleep_for(std::chrono::microseconds(pause_us(random)));
    const bool right = i < presses / 2;
    x += right ? 1 : -1;
    const auto sent = Clock::now();
    if (pointer) {
      MovePointer(d, w, scale, x);
    } else {
      Press(d, right ? XK_Right : XK_Left);
    }
    double took = WaitForCursor(d, w, scale, x, sent);
    if (took < 0) Fail("the cursor did not move");
    ms.push_back(took);
  }
  kill(g_editor, SIGKILL);
  waitpid(g_editor, nullptr, 0);
  std::filesystem::remove_all(folder);

  std::sort(ms.begin(), ms.end());
  std::printf(
      "%s to screen, end to end, %zu moves at scale %d: median %.2f ms, p90 %.2f ms, "
      "largest %.2f ms\n",
      pointer ? "pointer" : "key", ms.size(), scale, ms[ms.size() / 2], ms[ms.size() * 9 / 10],
      ms.back());
  return 0;
}
