// Reading scripts: key names, line forms and malformed lines.
#include "backends/script_parse.h"

#include <gtest/gtest.h>

#include <utility>

namespace {

std::vector<ScriptStep> Parse(std::string_view text) {
  std::vector<ScriptStep> steps;
  ScriptError error;
  EXPECT_TRUE(parse_script(text, steps, error)) << "line " << error.line << ": " << error.reason;
  return steps;
}

TEST(ScriptKeys, NamesInAnyCaseGiveTheKeyboardCodes) {
  const std::pair<const char*, uint32_t> cases[] = {
      {"UP", 0x48FF},      {"down", 0x50FF},     {"Left", 0x4BFF},
      {"RIGHT", 0x4DFF},   {"home", 0x47FF},     {"END", 0x4FFF},
      {"PgUp", 0x49FF},    {"pgdn", 0x51FF},     {"INS", 0x52FF},
      {"del", 0x53FF},     {"F1", 0x3BFF},       {"f2", 0x3CFF},
      {"F10", 0x44FF},     {"F11", 0x85FF},      {"F12", 0x86FF},
      {"ENTER", 13},       {"esc", 27},          {"Bs", 8},
      {"TAB", 9},          {"space", 32},        {"CLOSE", 0x6BFF},
      {"ctrl-a", 1},       {"CTRL-L", 12},       {"Ctrl-Z", 26},
      {"alt-x", 0x2DFF},   {"ALT-A", 0x1EFF},    {"Alt-Q", 0x10FF},
      {"ALT-M", 0x32FF},   {"shift-f1", 0x54FF}, {"SHIFT-F12", 0x88FF},
      {"ctrl-f2", 0x5FFF}, {"CTRL-F11", 0x89FF}, {"ALT-F4", 0x6BFF},
      {"alt-f12", 0x8CFF}, {"a", 'a'},           {"A", 'A'},
      {".", '.'},          {"*", '*'},           {"~", '~'},
      {"!", '!'},
  };
  for (auto [name, code] : cases) EXPECT_EQ(script_key_code(name), code) << name;
  for (const char* bad : {"#", " ", "F0", "F13", "F01", "CTRL-1", "ALT-", "CTRLA", "SHIFT-A", "ab",
                          "\xC3\xA9", "\x7F", "UP2", ""}) {
    EXPECT_EQ(script_key_code(bad), 0u) << bad;
  }
}

TEST(ScriptParse, EveryLineFormWithItsLineNumberAndWordsInAnyCase) {
  const std::vector<ScriptStep> steps = Parse(
      "# a comment\r\n"
      "\r\n"
      "  UP  \r\n"
      "\tx * 3\n"
      "TEXT \"h\xC3\xA9\xE2\x98\xBA\xE2\x8C\x82 \"\"\"\n"
      "Burst a ESC alt-x\n"
      "CODE 65\n"
      "code 27647\n"
      "   # indented comment\n"
      "WAIT 250\n"
      "snap first.step\n"
      "Pages both\n"
      "* * 2\n"
      "ENTER");  // the last line needs no LF
  ASSERT_EQ(steps.size(), 11u);
  const int lines[] = {3, 4, 5, 6, 7, 8, 10, 11, 12, 13, 14};
  for (size_t i = 0; i < steps.size(); ++i) EXPECT_EQ(steps[i].line, lines[i]) << i;

  EXPECT_EQ(steps[0].kind, StepKind::Press);
  EXPECT_EQ(steps[0].keys, std::vector<uint32_t>{0x48FF});
  EXPECT_EQ(steps[0].repeat, 1);
  EXPECT_EQ(steps[1].keys, std::vector<uint32_t>{'x'});
  EXPECT_EQ(steps[1].repeat, 3);
  // The string runs to the last quote; é is 130 in code page 437, and ☺ and
  // ⌂ (1 and 127) would be Ctrl keys, so they are typed as ?.
  EXPECT_EQ(steps[2].kind, StepKind::Press);
  EXPECT_EQ(steps[2].keys, (std::vector<uint32_t>{'h', 130, '?', '?', ' ', '"', '"'}));
  EXPECT_EQ(steps[3].kind, StepKind::Burst);
  EXPECT_EQ(steps[3].keys, (std::vector<uint32_t>{'a', 27, 0x2DFF}));
  EXPECT_EQ(steps[4].keys, std::vector<uint32_t>{65});
  EXPECT_EQ(steps[5].keys, std::vector<uint32_t>{0x6BFF});
  EXPECT_EQ(steps[6].kind, StepKind::Wait);
  EXPECT_EQ(steps[6].ms, 250);
  EXPECT_EQ(steps[7].kind, StepKind::Snap);
  EXPECT_EQ(steps[7].name, "first.step");
  EXPECT_EQ(steps[8].kind, StepKind::Pages);
  EXPECT_EQ(steps[8].name, "both");
  EXPECT_EQ(steps[9].keys, std::vector<uint32_t>{'*'});
  EXPECT_EQ(steps[9].repeat, 2);
  EXPECT_EQ(steps[10].keys, std::vector<uint32_t>{13});
  EXPECT_TRUE(Parse("\n\n  \r\n# only comments\n").empty());

  const std::vector<ScriptStep> more = Parse("Copy image.img j1\nKILL\n");
  ASSERT_EQ(more.size(), 2u);
  EXPECT_EQ(more[0].kind, StepKind::Copy);
  EXPECT_EQ(more[0].file, "image.img");
  EXPECT_EQ(more[0].name, "j1");
  EXPECT_EQ(more[1].kind, StepKind::Kill);
}

TEST(ScriptParse, MalformedLinesAreReportedWithTheirNumber) {
  const std::pair<const char*, int> cases[] = {
      {"UP\n\nFOO\n", 3},   {"a b\n", 1},
      {"# c\na * 0\n", 2},  {"a * -1\n", 1},
      {"a * x\n", 1},       {"a * 99999999999\n", 1},
      {"a *\n", 1},         {"FOO * 2\n", 1},
      {"#\n", 0},  // a comment, not a key: no error
      {"burst\n", 1},       {"burst a # b\n", 1},
      {"burst a XYZ\n", 1}, {"CODE 0\n", 1},
      {"CODE 256\n", 1},    {"CODE 65535\n", 0},
      {"CODE 65791\n", 1},  {"CODE 0x48FF\n", 1},
      {"CODE 12 13\n", 1},  {"CODE\n", 1},
      {"wait\n", 1},        {"wait -5\n", 1},
      {"wait 1.5\n", 1},    {"snap\n", 1},
      {"snap a b\n", 1},    {"snap ../x\n", 1},
      {"pages sub/x\n", 1}, {"snap .hidden\n", 1},
      {"text abc\n", 1},    {"text \"\"\n", 1},
      {"text \"abc\n", 1},  {"text \"abc\" x\n", 1},
      {"text\n", 1},        {"copy a\n", 1},
      {"copy ../a b\n", 1}, {"copy a .b\n", 1},
      {"kill now\n", 1},
  };
  for (auto [text, line] : cases) {
    std::vector<ScriptStep> steps;
    ScriptError error;
    const bool ok = parse_script(text, steps, error);
    EXPECT_EQ(ok, line == 0) << text;
    if (line == 0) continue;
    EXPECT_EQ(error.line, line) << text;
    EXPECT_FALSE(error.reason.empty()) << text;
  }
}

}  // namespace

// Pointer lines give pointer codes; a release after a point line that moved
// the pointer ends a drag. The codes are written out here, not built.
TEST(ScriptParse, PointerLinesGiveTheirEvents) {
  const std::vector<ScriptStep> steps =
      Parse("press\nPOINT 3 5\nrelease\nclick\npoint 639 199\nrclick\nwheel -2\nclick\n");
  ASSERT_EQ(steps.size(), 8u);
  const std::vector<std::vector<uint32_t>> codes = {
      {0xA8002000},              // press at 0, 0 (coordinates biased by 0x2000)
      {0x9800E005},              // move to 3, 5
      {0xC800E005},              // a drag's release
      {0xA800E005, 0xB800E005},  // a click: press and plain release
      {0x989FE0C7},              // move to 639, 199
      {0xD89FE0C7},              // right press
      {0xE8001FFE},              // two steps towards the user
      {0xA89FE0C7, 0xB89FE0C7},
  };
  for (size_t i = 0; i < steps.size(); ++i) {
    EXPECT_EQ(steps[i].kind, StepKind::Press) << i;
    EXPECT_EQ(steps[i].keys, codes[i]) << i;
  }
  for (const char* bad : {"point 1\n", "point -1 2\n", "press 3\n", "wheel 0\n", "wheel x\n"}) {
    ScriptError error;
    std::vector<ScriptStep> s;
    EXPECT_FALSE(parse_script(bad, s, error)) << bad;
    EXPECT_EQ(error.line, 1) << bad;
  }
}
