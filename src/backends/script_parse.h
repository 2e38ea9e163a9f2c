// script_parse.h - the key script of the Script back-end, read into steps.
//
// One step per line; a CR before the LF and blanks around a line are ignored,
// empty lines and lines starting with # are skipped. The line forms:
//   KEY | KEY * N | text "STRING" | burst KEY ... | CODE n | wait MS |
//   snap NAME | pages NAME | title NAME | copy FILE NAME | kill
// KEY is a printable ASCII character other than # and blank (itself), or a
// key name compared without regard to case (script_key_code). The words of
// the forms are compared without regard to case too. parse_script stops at
// the first malformed line and reports its number and the reason.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

enum class StepKind {
  Press,  // keys[i % keys.size()] for i < keys.size() * repeat, one per empty-ring moment
  Burst,  // all keys written into the ring at one moment
  Wait,   // ms of the program's clock
  Snap,   // NAME.ppm and NAME.pgm of the visible page
  Pages,  // NAME-0.pgm and NAME-1.pgm
  Title,  // NAME.txt: the window's title
  Copy,   // NAME: a copy of FILE of the working folder as it is (none when missing)
  Kill,   // the process ends at once by SIGKILL, as in a crash
};

struct ScriptStep {
  StepKind kind = StepKind::Press;
  int line = 0;  // 1-based line of the script
  std::vector<uint32_t> keys;
  int repeat = 1;
  int ms = 0;
  std::string name;
  std::string file;  // Copy
};

struct ScriptError {
  int line = 0;
  std::string reason;
};

// Reads a whole script; false with the first malformed line in error.
bool parse_script(std::string_view text, std::vector<ScriptStep>& steps, ScriptError& error);

// The code INKEY gives for a KEY of the script, or 0 when it is none.
uint32_t script_key_code(std::string_view key);
