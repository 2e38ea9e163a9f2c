#include "fault_harness.h"

#include <dirent.h>
#include <sched.h>
#include <sys/mount.h>
#include <sys/statvfs.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fstream>
#include <map>

namespace {

// Mounts made by the cases stay inside this process and its children, and
// go with them: the process gets a mount namespace of its own first.
std::string g_no_mounts = "the mount namespace was not set up";

class PrivateMounts : public ::testing::Environment {
 public:
  void SetUp() override {
    if (geteuid() != 0) {
      g_no_mounts = "mounting a small file system needs root";
    } else if (unshare(CLONE_NEWNS) != 0) {
      g_no_mounts = std::string("no mount namespace of its own: ") + std::strerror(errno);
    } else if (mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0) {
      g_no_mounts = std::string("mounts cannot be made private: ") + std::strerror(errno);
    } else {
      const std::string probe = NewFolder();
      g_no_mounts = mount("tmpfs", probe.c_str(), "tmpfs", 0, "size=64k") == 0
                        ? ""
                        : std::string("tmpfs cannot be mounted: ") + std::strerror(errno);
      umount(probe.c_str());
      rmdir(probe.c_str());
    }
  }
};

::testing::Environment* const g_mounts = ::testing::AddGlobalTestEnvironment(new PrivateMounts);

std::string StraceProblem() {
  const std::string dir = NewFolder();
  Launch launch = Traced("/dev/null");
  const int status = RunProgram({"true"}, dir, {}, launch, dir + "/out", dir + "/err");
  if (status == 0) return "";
  return status == 127 ? "strace is not installed"
                       : "strace cannot trace here (ptrace refused?): " + ReadFile(dir + "/err");
}

// A sanitizer build's leak check stops the process with ptrace at its end,
// which strace already holds: it is left out under strace.
std::vector<std::string> Strace(const std::string& output) {
  return {"env", "ASAN_OPTIONS=detect_leaks=0", "strace", "-f", "-qq", "-o", output};
}

}  // namespace

std::string NeedMounts() {
  return g_no_mounts;
}

std::string NeedDeviceNodes() {
  return geteuid() == 0 ? "" : "making a device node needs root";
}

std::string NeedOtherUser() {
  return geteuid() == 0 ? "" : "running a program as another user needs root";
}

std::string NeedStrace() {
  static const std::string problem = StraceProblem();
  return problem;
}

std::string SmallDisk(long long bytes) {
  const std::string dir = NewFolder();
  const std::string options = "size=" + std::to_string(bytes) + ",mode=0755";
  EXPECT_EQ(mount("tmpfs", dir.c_str(), "tmpfs", 0, options.c_str()), 0) << std::strerror(errno);
  return dir;
}

void FillDisk(const std::string& dir, long long leave) {
  struct statvfs fs {};
  ASSERT_EQ(statvfs(dir.c_str(), &fs), 0);
  const long long free = static_cast<long long>(fs.f_bavail) * static_cast<long long>(fs.f_bsize);
  ASSERT_GE(free, leave);
  WriteFile(dir + "/FILLER", std::string(static_cast<size_t>(free - leave), 'x'));
  ASSERT_EQ(statvfs(dir.c_str(), &fs), 0);
  ASSERT_EQ(static_cast<long long>(fs.f_bavail) * static_cast<long long>(fs.f_bsize), leave);
}

void RemountReadOnly(const std::string& dir) {
  ASSERT_EQ(mount(nullptr, dir.c_str(), nullptr, MS_REMOUNT | MS_RDONLY, nullptr), 0)
      << std::strerror(errno);
}

Launch Traced(const std::string& trace_path) {
  Launch launch;
  launch.wrapper = Strace(trace_path);
  return launch;
}

std::vector<Step> StepsFrom(const std::string& trace_path, const std::string& from,
                            const std::string& until) {
  std::ifstream in(trace_path);
  std::map<std::string, int> calls;
  std::vector<Step> steps;
  bool marked = false;
  for (std::string line; std::getline(in, line);) {
    // "PID  name(arguments) = result"; signals, exits and resumed calls
    // are no new call.
    const size_t start = line.find_first_not_of("0123456789 ");
    const size_t paren = line.find('(', start);
    if (start == std::string::npos || paren == std::string::npos) continue;
    const std::string call = line.substr(start, paren - start);
    if (call.empty() || call.find_first_of(" <+-") != std::string::npos) continue;
    if (call == "execve") continue;  // the start, whose arguments name the files
    // Calls that touch no file are counted but are no step: a kill there is
    // a kill before the next call, and their number may vary from run to run.
    const bool no_file = call == "brk" || call.starts_with("mmap") || call == "munmap" ||
                         call == "mprotect" || call == "madvise" || call == "getrandom" ||
                         call.starts_with("clock_") || call == "futex";
    const int ordinal = ++calls[call];
    const bool first = !marked && line.find(from) != std::string::npos;
    marked = marked || first;
    if (marked && !no_file && call != "exit_group" && call != "exit") {
      steps.push_back({call, ordinal, line});
    }
    if (marked && !first && !until.empty() && line.find(until) != std::string::npos) break;
  }
  return steps;
}

Launch KillAt(const Step& step) {
  Launch launch;
  launch.wrapper = Strace("/dev/null");
  launch.wrapper.insert(
      launch.wrapper.end(),
      {"-e", "trace=" + step.call, "-e",
       "inject=" + step.call + ":signal=SIGKILL:when=" + std::to_string(step.ordinal)});
  return launch;
}

Launch FailAt(const Step& step, const std::string& error) {
  Launch launch;
  launch.wrapper = Strace("/dev/null");
  launch.wrapper.insert(launch.wrapper.end(), {"-e", "trace=" + step.call, "-e",
                                               "inject=" + step.call + ":error=" + error +
                                                   ":when=" + std::to_string(step.ordinal)});
  return launch;
}

Launch PauseAt(const std::string& path) {
  Launch launch;
  launch.wrapper = Strace("/dev/null");
  // Only the calls on that path are traced, so the first is the one.
  launch.wrapper.insert(launch.wrapper.end(), {"-P", path, "-e", "trace=openat", "-e",
                                               "inject=openat:delay_exit=2000000:when=1"});
  return launch;
}

std::thread WhenCreated(const std::string& path, std::function<void()> change) {
  return std::thread([path, change = std::move(change)] {
    for (int i = 0; i < 20000 && access(path.c_str(), F_OK) != 0; ++i) usleep(1000);
    change();
  });
}

std::vector<std::string> FolderNames(const std::string& dir) {
  std::vector<std::string> names;
  DIR* d = opendir(dir.c_str());
  if (d == nullptr) return names;
  while (const dirent* e = readdir(d)) {
    const std::string name = e->d_name;
    if (name != "." && name != "..") names.push_back(name);
  }
  closedir(d);
  std::sort(names.begin(), names.end());
  return names;
}

std::string Drawing(int lines) {
  std::string all = "SCREEN 8\r\n";
  unsigned v = 12345;
  auto next = [&v](unsigned range) {
    v = v * 1103515245u + 12345u;
    return std::to_string((v >> 8) % range);
  };
  for (int i = 0; i < lines; ++i) {
    all += "line ( " + next(640) + ",  " + next(200) + ")-( " + next(640) + ", " + next(200) +
           "),  " + next(16) + "\r\n";
  }
  return all;
}
