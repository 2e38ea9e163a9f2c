#include "runtime/console.h"

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <clocale>
#include <cstdlib>
#include <functional>

#include "runtime/system.h"
#include "test_support.h"

namespace {

struct ChildRun {
  std::string out;
  int status = -1;
};

// Runs body in a child whose standard output is a pipe and whose standard
// input holds input (closed after it, or /dev/null when input is empty).
ChildRun run_child(const std::function<void()>& body, const std::string& input = "") {
  int out[2], in[2];
  if (pipe(out) != 0 || pipe(in) != 0) return {};
  const pid_t pid = fork();
  if (pid == 0) {
    dup2(out[1], STDOUT_FILENO);
    if (input.empty()) {
      dup2(open("/dev/null", O_RDONLY), STDIN_FILENO);
    } else {
      dup2(in[0], STDIN_FILENO);
    }
    close(out[0]);
    close(in[1]);
    body();
    std::_Exit(99);
  }
  close(out[1]);
  close(in[0]);
  if (!input.empty() && write(in[1], input.data(), input.size()) < 0) return {};
  close(in[1]);
  ChildRun run;
  char buf[256];
  for (ssize_t n; (n = read(out[0], buf, sizeof buf)) > 0;) run.out.append(buf, size_t(n));
  close(out[0]);
  waitpid(pid, &run.status, 0);
  return run;
}

TEST(Console, OutputThatIsNoTerminalHoldsExactlyThePrintedLines) {
  const ChildRun run = run_child([] {
    std::setlocale(LC_CTYPE, "C");
    console_clear();
    console_print_line("Edit ended.");
    runtime_end(0);
  });
  EXPECT_EQ(run.out, "Edit ended.\n");
  EXPECT_TRUE(WIFEXITED(run.status) && WEXITSTATUS(run.status) == 0);
}

TEST(Console, BoxCharactersBecomeUtf8OnlyInAUtf8Locale) {
  const auto box = [] {
    console_print_line("\xDA\xC4\xBF");
    console_print("\xB3\x05");
    std::_Exit(0);
  };
  EXPECT_EQ(run_child([&] {
              std::setlocale(LC_CTYPE, "C.UTF-8");
              box();
            }).out,
            "\xE2\x94\x8C\xE2\x94\x80\xE2\x94\x90\n\xE2\x94\x82\x05");
  EXPECT_EQ(run_child([&] {
              std::setlocale(LC_CTYPE, "C");
              box();
            }).out,
            "\xDA\xC4\xBF\n\xB3\x05");
}

// Each key the child reads is printed between brackets, in UTF-8.
void print_keys(int polls) {
  std::setlocale(LC_CTYPE, "C.UTF-8");
  for (int i = 0; i < polls; ++i) console_print("[" + console_inkey() + "]");
  std::_Exit(0);
}

TEST(Console, KeyPollOnInputThatIsNoTerminalNeverWaits) {
  EXPECT_EQ(run_child([] { print_keys(2); }).out, "[\r][\r]");  // at its end: Enter
  EXPECT_EQ(run_child([] { print_keys(5); }, "a\x7F\x1B[D\xE2\x94\x80").out,
            "[a][\b][\xC2\xA0K][\xE2\x94\x80][\r]");  // CHR$(255) shows as U+00A0
}

TEST_F(RuntimeFiles, EndingClosesTheFiles) {
  const std::string name = path("saved.bas");
  const ChildRun run = run_child([&] {
    file_open(2, name, FileMode::Output, FileBuffering::Buffered);
    file_print(2, "SCREEN 8");
    runtime_end(0);
  });
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(read_raw("saved.bas"), "SCREEN 8\r\n");
}

}  // namespace
