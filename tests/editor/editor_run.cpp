#include "editor_run.h"

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace fs = std::filesystem;

namespace {

std::string ReadAll(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

}  // namespace

std::string EditorRun::File(const std::string& name) const {
  return ReadAll(dir + "/" + name);
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
  std::string base = fs::temp_directory_path() / "kov1-e2e-XXXXXX";
  std::vector<char> name(base.begin(), base.end());
  name.push_back('\0');
  if (!mkdtemp(name.data())) std::abort();
  return name.data();
}

EditorRun RunEditor(const std::string& dir, const std::vector<std::string>& script,
                    const std::vector<std::string>& env, const std::vector<std::string>& args) {
  EditorRun run;
  run.dir = dir;
  std::string script_path = dir + "/../" + fs::path(dir).filename().string() + ".script";
  {
    std::ofstream out(script_path);
    for (const std::string& line : script) out << line << "\n";
  }
  std::string out_path = script_path + ".out", err_path = script_path + ".err";
  std::vector<char*> argv{const_cast<char*>(KOV1_PATH)};
  for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
  argv.push_back(nullptr);
  pid_t pid = fork();
  if (pid == 0) {
    if (chdir(dir.c_str()) != 0) _exit(127);
    setenv("TRVGFX", "script", 1);
    setenv("TRVGFX_SCRIPT", script_path.c_str(), 1);
    setenv("TRVGFX_SNAPSHOTS", dir.c_str(), 1);
    uid_t uid = getuid();
    for (const std::string& e : env) {
      if (e.starts_with("@uid=")) {
        uid = static_cast<uid_t>(std::stoul(e.substr(5)));
        continue;
      }
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
    if (uid != getuid() && setuid(uid) != 0) _exit(127);
    execv(KOV1_PATH, argv.data());
    _exit(127);
  }
  int status = 0;
  waitpid(pid, &status, 0);
  run.status = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
  run.out = ReadAll(out_path);
  run.err = ReadAll(err_path);
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

std::string CrLf(const std::vector<std::string>& lines) {
  std::string all;
  for (const std::string& line : lines) all += line + "\r\n";
  return all;
}
