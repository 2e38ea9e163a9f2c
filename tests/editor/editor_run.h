// Runs the editor as a user would, headless: the Script back-end feeds it
// keys from a script and writes snapshots; the test then reads the journal,
// the snapshots and what the editor printed.
#pragma once

#include <string>
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

// A fresh empty folder for one run.
std::string NewFolder();

// Runs the editor in dir with the script lines; stdin is empty. Extra
// environment settings ("NAME=value", or "NAME" alone to unset) go last;
// "@uid=N" runs the editor as that user instead. args are the editor's
// command-line arguments.
EditorRun RunEditor(const std::string& dir, const std::vector<std::string>& script,
                    const std::vector<std::string>& env = {},
                    const std::vector<std::string>& args = {});
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

// Lines joined with CR LF after each, as the journal holds them.
std::string CrLf(const std::vector<std::string>& lines);
