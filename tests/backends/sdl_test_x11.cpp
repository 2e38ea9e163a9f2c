#include "sdl_test_x11.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>
#include <thread>

#include "backends/backends.h"
#include "gfx/display_driver.h"
#include "gfx/keyboard.h"
#include "gfx/screen.h"

namespace {

using Clock = std::chrono::steady_clock;
pid_t g_xvfb = -1;
std::string g_xvfb_error = "Xvfb was not started";

// Reads the display number Xvfb writes to the pipe once it accepts clients.
std::string ReadDisplayNumber(int fd, int timeout_ms) {
  std::string number;
  auto deadline = Clock::now() + std::chrono::milliseconds(timeout_ms);
  while (Clock::now() < deadline) {
    pollfd p{fd, POLLIN, 0};
    if (poll(&p, 1, 100) <= 0) continue;
    char c;
    if (read(fd, &c, 1) != 1) break;
    if (c == '\n') return number;
    number += c;
  }
  return "";
}

// Starts Xvfb; an empty string on success, else what went wrong.
std::string StartXvfb() {
  int fds[2];
  if (pipe2(fds, O_CLOEXEC) != 0) return "no pipe";
  g_xvfb = fork();
  if (g_xvfb < 0) return "no fork";
  if (g_xvfb == 0) {
    prctl(PR_SET_PDEATHSIG, SIGTERM);  // the server ends with the test, however it ends
    int quiet = open("/dev/null", O_WRONLY);
    dup2(quiet, 1);
    dup2(quiet, 2);
    std::string fd = std::to_string(dup(fds[1]));  // without close-on-exec
    // -noreset: the desktop's properties stay while no client is connected.
    execlp("Xvfb", "Xvfb", "-displayfd", fd.c_str(), "-noreset", "-screen", "0", "1920x1200x24",
           "-nolisten", "tcp", static_cast<char*>(nullptr));
    _exit(127);
  }
  close(fds[1]);
  std::string number = ReadDisplayNumber(fds[0], 10000);
  close(fds[0]);
  if (number.empty()) {
    int status = 0;
    kill(g_xvfb, SIGKILL);
    waitpid(g_xvfb, &status, 0);
    g_xvfb = -1;
    return WIFEXITED(status) && WEXITSTATUS(status) == 127
               ? "Xvfb is not installed (Debian package xvfb; tools/setup.sh installs it)"
               : "Xvfb did not start within 10 seconds";
  }
  setenv("DISPLAY", (":" + number).c_str(), 1);
  unsetenv("WAYLAND_DISPLAY");
  setenv("SDL_VIDEODRIVER", "x11", 1);
  if (kSanitized) {
    // SDL draws without OpenGL here: Mesa's driver is not instrumented, runs
    // threads of its own and is unloaded with every window, which would leave
    // its allocations and races in the reports without a name to tell them by.
    setenv("SDL_RENDER_DRIVER", "software", 0);
    setenv("SDL_FRAMEBUFFER_ACCELERATION", "0", 0);
  }
  for (const char* tool : {"xdotool", "xwininfo", "xprop"}) {
    if (RunCommand(std::string("sh -c 'command -v ") + tool + "'") != 0) {
      return std::string(tool) + " is not installed (tools/setup.sh installs it)";
    }
  }
  return SetUsableArea(1024, 768) ? "" : "the usable area could not be set";
}

}  // namespace

#if defined(__SANITIZE_ADDRESS__)
// SDL's video start-up connects to the D-Bus session bus (for the screen saver
// and input methods); libdbus keeps one allocation for the rest of the process.
extern "C" const char* __lsan_default_suppressions() {
  return "leak:libdbus-1.so\n";
}
#endif

void XvfbEnvironment::SetUp() {
  g_xvfb_error = StartXvfb();
}

void XvfbEnvironment::TearDown() {
  if (g_xvfb <= 0) return;
  kill(g_xvfb, SIGTERM);
  waitpid(g_xvfb, nullptr, 0);
  g_xvfb = -1;
}

bool SetUsableArea(int w, int h) {
  return RunCommand("xprop -root -f _NET_WORKAREA 32c -set _NET_WORKAREA '0, 0, " +
                    std::to_string(w) + ", " + std::to_string(h) + "'") == 0;
}

int RunCommand(const std::string& command, std::string* out) {
  FILE* p = popen(("timeout 10 " + command + " 2>&1").c_str(), "r");
  if (!p) return -1;
  std::string text;
  char buf[4096];
  size_t n;
  while ((n = fread(buf, 1, sizeof buf, p)) > 0) text.append(buf, n);
  int status = pclose(p);
  if (out) *out = text;
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

void SdlWindowTest::SetUp() {
  ASSERT_EQ(g_xvfb_error, "");
  setenv("TRVGFX", "sdl", 1);
  register_standard_backends();
  ASSERT_EQ(SCREEN(8, 4, 2, 0, 0), 0);
  ASSERT_STREQ(gfx_screen()->driver->name, "SDL");
  window_ = FindWindow();
  ASSERT_FALSE(window_.empty()) << "no window of sdl_window_test";
}

std::string FindWindow(const std::string& program) {
  auto deadline = Clock::now() + std::chrono::seconds(5);
  std::string out;
  while (Clock::now() < deadline) {
    if (RunCommand("xdotool search --onlyvisible --classname '^" + program + "$'", &out) == 0) {
      break;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  }
  std::istringstream lines(out);
  std::string window;
  std::getline(lines, window);
  return window;
}

void SdlWindowTest::TearDown() {
  SCREEN(0, 0, 0, 0, 0);
}

uint32_t Picture::At(int x, int y) const {
  size_t i = (static_cast<size_t>(y) * width + x) * 3;
  return static_cast<uint32_t>(rgb[i] << 16 | rgb[i + 1] << 8 | rgb[i + 2]);
}

// Reads a binary PPM; an empty picture when it is not one.
Picture ReadPpm(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  Picture pic;
  std::string magic;
  int max = 0;
  in >> magic >> pic.width >> pic.height >> max;
  in.get();
  if (magic != "P6" || max != 255 || pic.width <= 0 || pic.height <= 0) return Picture{};
  pic.rgb.resize(static_cast<size_t>(pic.width) * pic.height * 3);
  in.read(reinterpret_cast<char*>(pic.rgb.data()), static_cast<std::streamsize>(pic.rgb.size()));
  return in ? pic : Picture{};
}

Picture Screenshot(const std::string& window) {
  // One file per process: the window tests run in parallel.
  std::string path = ::testing::TempDir() + "sdl_window_shot_" + std::to_string(getpid()) + ".ppm";
  Picture pic;
  if (RunCommand(std::string(SDL_X11_TOOL) + " shot " + window + " " + path) == 0) {
    pic = ReadPpm(path);
  }
  std::remove(path.c_str());
  return pic;
}

Picture ScreenshotUntil(const std::string& window, bool (*check)(const Picture&)) {
  auto deadline = Clock::now() + std::chrono::seconds(5);
  Picture pic;
  do {
    pic = Screenshot(window);
    if (!pic.rgb.empty() && check(pic)) break;
    std::this_thread::sleep_for(std::chrono::milliseconds(30));
  } while (Clock::now() < deadline);
  return pic;
}

// Appends the keys INKEY gives until there are n or the deadline passes.
void ReadUntil(std::vector<std::string>& keys, size_t n, Clock::time_point deadline) {
  while (keys.size() < n && Clock::now() < deadline) {
    std::string k = INKEY();
    if (k.empty()) {
      wait_for_key_signal(5);
    } else {
      keys.push_back(k);
    }
  }
}

std::vector<std::string> ReadKeys(size_t n) {
  std::vector<std::string> keys;
  ReadUntil(keys, n, Clock::now() + std::chrono::seconds(5));
  ReadUntil(keys, SIZE_MAX, Clock::now() + std::chrono::milliseconds(300));
  return keys;
}

std::string WindowGeometry(const std::string& window) {
  std::string out;
  if (RunCommand("xwininfo -id " + window, &out) != 0) return "xwininfo failed: " + out;
  std::string width, height, state;
  std::istringstream lines(out);
  for (std::string line; std::getline(lines, line);) {
    auto value = [&](const char* key) { return line.substr(line.find(key) + strlen(key)); };
    if (line.find("  Width: ") == 0) width = value("Width: ");
    if (line.find("  Height: ") == 0) height = value("Height: ");
    if (line.find("  Map State: ") == 0) state = value("Map State: ");
  }
  return width + "x" + height + " " + state;
}

void IdleMs(int ms) {
  auto end = Clock::now() + std::chrono::milliseconds(ms);
  while (Clock::now() < end) {
    EXPECT_EQ(INKEY(), "");
    wait_for_key_signal(5);
  }
}
