#include "editor_run.h"

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>

#include "scratch_folder.h"

namespace fs = std::filesystem;

std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

void WriteFile(const std::string& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary) << bytes;
}

std::vector<std::string> Join(std::initializer_list<std::vector<std::string>> parts) {
  std::vector<std::string> all;
  for (const std::vector<std::string>& p : parts) all.insert(all.end(), p.begin(), p.end());
  return all;
}

std::string EditorRun::File(const std::string& name) const {
  return ReadFile(dir + "/" + name);
}

bool EditorRun::Exists(const std::string& name) const {
  return fs::exists(dir + "/" + name);
}

std::vector<unsigned char> EditorRun::Pixels(const std::string& snapshot) const {
  std::string data = File(snapshot + ".pgm");
  const std::string header = "P5\n640 200\n255\n";
  if (data.compare(0, header.size(), header) != 0) return {};
  return {data.begin() + static_cast<std::ptrdiff_t>(header.size()), data.end()};
}

std::string NewFolder() {
  return NewScratchFolder("kov1-e2e").string();
}

int RunProgram(const std::vector<std::string>& argv, const std::string& dir,
               const std::vector<std::string>& env, const Launch& launch,
               const std::string& out_path, const std::string& err_path) {
  std::vector<char*> args;
  for (const std::string& a : launch.wrapper) args.push_back(const_cast<char*>(a.c_str()));
  for (const std::string& a : argv) args.push_back(const_cast<char*>(a.c_str()));
  args.push_back(nullptr);
  pid_t pid = fork();
  if (pid == 0) {
    if (chdir(dir.c_str()) != 0) _exit(127);
    for (const std::string& e : env) {
      size_t eq = e.find('=');
      if (eq == std::string::npos)
        unsetenv(e.c_str());
      else
        setenv(e.substr(0, eq).c_str(), e.substr(eq + 1).c_str(), 1);
    }
    int in = open("/dev/null", O_RDONLY);
    int out = open(out_path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    int err = open(err_path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    dup2(in, 0), dup2(out, 1), dup2(err, 2);
    if (launch.file_size_limit >= 0) {
      const rlim_t bytes = static_cast<rlim_t>(launch.file_size_limit);
      const rlimit limit{bytes, bytes};
      if (setrlimit(RLIMIT_FSIZE, &limit) != 0) _exit(127);
    }
    if (launch.uid >= 0 && setuid(static_cast<uid_t>(launch.uid)) != 0) _exit(127);
    execvp(args[0], args.data());
    _exit(127);
  }
  int status = 0;
  if (launch.kill_after_us >= 0) {
    const auto deadline =
        std::chrono::steady_clock::now() + std::chrono::microseconds(launch.kill_after_us);
    while (waitpid(pid, &status, WNOHANG) == 0) {
      if (std::chrono::steady_clock::now() >= deadline) {
        kill(pid, SIGKILL);
        waitpid(pid, &status, 0);
        break;
      }
      std::this_thread::sleep_for(std::chrono::microseconds(100));
    }
  } else {
    waitpid(pid, &status, 0);
  }
  return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

EditorRun RunEditor(const std::string& dir, const std::vector<std::string>& script,
                    const std::vector<std::string>& env, const std::vector<std::string>& args,
                    const Launch& launch) {
  EditorRun run;
  run.dir = dir;
  std::string script_path = dir + "/../" + fs::path(dir).filename().string() + ".script";
  {
    std::ofstream out(script_path);
    for (const std::string& line : script) out << line << "\n";
  }
  std::vector<std::string> settings = {"TRVGFX=script", "TRVGFX_SCRIPT=" + script_path,
                                       "TRVGFX_SNAPSHOTS=" + dir};
  Launch how = launch;
  for (const std::string& e : env) {
    if (e.starts_with("@uid="))
      how.uid = std::stoi(e.substr(5));
    else
      settings.push_back(e);
  }
  std::vector<std::string> argv = {KOV1_PATH};
  argv.insert(argv.end(), args.begin(), args.end());
  const std::string out_path = script_path + ".out", err_path = script_path + ".err";
  run.status = RunProgram(argv, dir, settings, how, out_path, err_path);
  run.out = ReadFile(out_path);
  run.err = ReadFile(err_path);
  return run;
}

EditorRun RunEditor(const std::vector<std::string>& script) {
  return RunEditor(NewFolder(), script);
}

std::vector<std::string> BeforeWarning() {
  return {
      "SPACE",  // the title
      "ESC",    // the welcome page
  };
}

std::vector<std::string> StartKeys() {
  std::vector<std::string> keys = BeforeWarning();
  keys.push_back("ENTER");  // the warning about the temporary file
  return keys;
}

std::vector<std::string> FromMainLoop(const std::vector<std::string>& lines) {
  std::vector<std::string> all = StartKeys();
  all.insert(all.end(), lines.begin(), lines.end());
  return all;
}

std::vector<std::string> Region(const std::vector<unsigned char>& pixels, int x, int y, int w,
                                int h) {
  std::vector<std::string> rows;
  for (int r = y; r < y + h; ++r) {
    std::string row;
    for (int c = x; c < x + w; ++c) {
      size_t i = static_cast<size_t>(r) * 640 + c;
      int v = i < pixels.size() ? pixels[i] : 0;
      row += v == 0 ? '.' : "0123456789ABCDEF"[v & 15];
    }
    rows.push_back(row);
  }
  return rows;
}

bool MessageBoxShown(const std::vector<unsigned char>& pixels) {
  using Rows = std::vector<std::string>;
  return Region(pixels, 99, 99, 3, 2) == Rows{"...", ".77"} &&
         Region(pixels, 500, 170, 2, 2) == Rows{"7.", ".."};
}

std::pair<int, int> LineExtent(const std::vector<unsigned char>& pixels, int line) {
  int first = -1, last = -1, y0 = 105 + 7 * (line - 1);
  for (int x = 101; x < 500; ++x) {
    for (int y = y0; y < y0 + 5; ++y) {
      const size_t at = static_cast<size_t>(y) * 640 + static_cast<size_t>(x);
      if (at >= pixels.size() || pixels[at] != 0) continue;
      if (first < 0) first = x;
      last = x;
    }
  }
  return {first, last};
}

bool ShowsLineOf(const std::vector<unsigned char>& pixels, int line, const std::string& text) {
  const size_t from = text.find_first_not_of(' '), to = text.find_last_not_of(' ');
  const auto [first, last] = LineExtent(pixels, line);
  if (from == std::string::npos) return first < 0;
  const int first_cell = 105 + 7 * static_cast<int>(from),
            last_cell = 105 + 7 * static_cast<int>(to);
  return first >= first_cell && first < first_cell + 7 && last >= last_cell && last < last_cell + 7;
}

std::string CrLf(const std::vector<std::string>& lines) {
  std::string all;
  for (const std::string& line : lines) all += line + "\r\n";
  return all;
}
