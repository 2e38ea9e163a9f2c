// Runs the editor as a user would, headless: the Script back-end feeds it
// keys from a script and writes snapshots; the test then reads the journal,
// the snapshots and what the editor printed.
#pragma once

#include <initializer_list>
#include <string>
#include <utility>
#include <vector>

struct EditorRun {
  std::string dir;  // the folder the editor ran in
  int status = -1;  // exit status
  std::string out, err;

  // A file of the folder, whole ("" when missing).
  std::string File(const std::string& name) const;
  bool Exists(const std::string& name) const;
  // A snapshot of raw pixel values (NAME.pgm, or NAME-0.pgm for a page).
  std::vector<unsigned char> Pixels(const std::string& snapshot) const;
};

// A file's bytes ("" when it cannot be read).
std::string ReadFile(const std::string& path);
// Makes or replaces a file with the bytes.
void WriteFile(const std::string& path, const std::string& bytes);
// The lists one after the other.
std::vector<std::string> Join(std::initializer_list<std::vector<std::string>> parts);

// A fresh empty folder for one run.
std::string NewFolder();

// How a program is started, for the fault tests: under a wrapper (strace
// and its options) that runs it, with a limit on the size of the files it
// writes, as another user, killed with SIGKILL after a delay.
struct Launch {
  std::vector<std::string> wrapper;
  long long file_size_limit = -1;  // bytes; -1: none
  int uid = -1;                    // -1: this process's
  int kill_after_us = -1;          // -1: never
};

// Runs argv in dir with the environment settings ("NAME=value", or "NAME"
// alone to unset), stdin empty and stdout and stderr into files; returns
// its exit status, 128 + the signal that ended it.
int RunProgram(const std::vector<std::string>& argv, const std::string& dir,
               const std::vector<std::string>& env, const Launch& launch,
               const std::string& out_path, const std::string& err_path);

// Runs the editor in dir with the script lines; stdin is empty. Extra
// environment settings ("NAME=value", or "NAME" alone to unset) go last;
// "@uid=N" runs the editor as that user instead. args are the editor's
// command-line arguments.
EditorRun RunEditor(const std::string& dir, const std::vector<std::string>& script,
                    const std::vector<std::string>& env = {},
                    const std::vector<std::string>& args = {}, const Launch& launch = {});
EditorRun RunEditor(const std::vector<std::string>& script);

// The key presses that take a fresh start to the warning box.
std::vector<std::string> BeforeWarning();
// The key presses that take a fresh start to the main loop.
std::vector<std::string> StartKeys();
// StartKeys() followed by the lines.
std::vector<std::string> FromMainLoop(const std::vector<std::string>& lines);

// The pixels of a region of a 640 x 200 snapshot as rows of hex digits
// ('.' for 0), for comparison with pictures written out in the tests.
std::vector<std::string> Region(const std::vector<unsigned char>& pixels, int x, int y, int w,
                                int h);

// The message box is up: its body at (100, 100)-(500, 170) on the shown page.
bool MessageBoxShown(const std::vector<unsigned char>& pixels);
// First and last column of the dark text on a message line (1-6), or -1.
std::pair<int, int> LineExtent(const std::vector<unsigned char>& pixels, int line);
// Whether a message line holds text of the length and indent of `text`:
// its first glyph starts in the cell of the first non-blank character and
// its last ends in the cell of the last.
bool ShowsLineOf(const std::vector<unsigned char>& pixels, int line, const std::string& text);

// Lines joined with CR LF after each, as the journal holds them.
std::string CrLf(const std::vector<std::string>& lines);
