// Typing text into the drawing, end to end: the journal's lines, the
// preview on page 1 and the text kept on page 0.
#include <gtest/gtest.h>

#include "editor_run.h"

namespace {

using Rows = std::vector<std::string>;

constexpr size_t kBlockLines = 328;

// clang-format off
// From (1, 32): HELLO at (2, 33) in yellow.
const Rows kHello = {
    "......................................",
    ".E...E..EEEEE..EEE....EEE.....EEE.....",
    ".E...E...E..E...E......E.....E...E....",
    ".EEEEE...EEE....E......E.....E...E....",
    ".E...E...E..E...E..E...E..E..E...E....",
    ".E...E..EEEEE..EEEEE..EEEEE...EEE.....",
    "......................................",
    "......................................",
};
// From (1, 32): A and D in the first two cells at (2, 33).
const Rows kAD = {
    "..................",
    "...7....7777......",
    "..7.7....7..7.....",
    "..7.7....7..7.....",
    ".77777...7..7.....",
    ".7...7..7777......",
    "..................",
    "..................",
};
// From (1, 32): AD at (2, 33) and A+B at (22, 33).
const Rows kADAndPlus = {
    "............................................",
    "...7....7777...........7......7....7777.....",
    "..7.7....7..7.........7.7.....7....7...7....",
    "..7.7....7..7.........7.7...77777..7777.....",
    ".77777...7..7........77777....7....7...7....",
    ".7...7..7777.........7...7....7....7777.....",
    "............................................",
    "............................................",
};
// From (1, 32): "  X" at (2, 33) over a filled box (2, 33)-(32, 39).
const Rows kBlanksAndX = {
    ".................................",
    "...............7...7...777777777.",
    "................7.7....777777777.",
    ".................7.....777777777.",
    "................7.7....777777777.",
    "...............7...7...777777777.",
    ".......................777777777.",
    ".......................777777777.",
    ".................................",
};
// From (622, 169): A at (624, 170) on page 1 after a refusal, its row
// cleared to the frame at x 639.
const Rows kRefused = {
    ".................F",
    "....7.............",
    "...7.7............",
    "...7.7............",
    "..77777...........",
    "..7...7...........",
    "..................",
    "..................",
    ".................F",
};
// The same area of page 0 after ENTER: the frame is untouched.
const Rows kKept = {
    ".................F",
    "....7............F",
    "...7.7...........F",
    "...7.7...........F",
    "..77777..........F",
    "..7...7..........F",
    ".................F",
    ".................F",
    ".................F",
};
// clang-format on

// The journal split at its CR LF line ends.
Rows JournalLines(const EditorRun& run) {
  std::string all = run.File("image.img");
  Rows lines;
  for (size_t at = 0, end; (end = all.find("\r\n", at)) != std::string::npos; at = end + 2) {
    lines.push_back(all.substr(at, end - at));
  }
  return lines;
}

Rows Last(const Rows& lines, size_t n) {
  return lines.size() < n ? lines : Rows(lines.end() - static_cast<std::ptrdiff_t>(n), lines.end());
}

Rows Group(const std::string& text, const std::string& colour, const std::string& y,
           const std::string& x) {
  return {"PrintFlarp$ = \"" + text + "\"", "Fcolor = " + colour, "wy = " + y, "wx = " + x,
          "gosub Dprint"};
}

}  // namespace

TEST(TextToolTest, TextIsRecordedAfterTheBlockWrittenOnceAndKeptOnPageZero) {
  EditorRun run = RunEditor(
      FromMainLoop({"CTRL-C", "RIGHT * 7", "ENTER", "CTRL-T", ".", "text \"hello\"", "ENTER",
                    "RIGHT * 40", "snap hello", "DOWN * 20", ".", "text \"ok\"", "ENTER"}));
  Rows lines = JournalLines(run);
  ASSERT_EQ(lines.size(), 1 + kBlockLines + 10) << run.err;
  EXPECT_EQ(lines[1], "GoTo EndAbc");
  EXPECT_EQ(lines[kBlockLines], "EndAbc:");
  EXPECT_EQ(Rows(lines.begin() + 1 + kBlockLines, lines.end() - 5),
            Group("HELLO", " 14", " 33", " 2"));
  EXPECT_EQ(Last(lines, 5), Group("OK", " 14", " 53", " 42"));
  EXPECT_EQ(Region(run.Pixels("hello"), 1, 32, 38, 8), kHello);
}

TEST(TextToolTest, BackspaceAndDoubleQuote) {
  EditorRun run = RunEditor(
      FromMainLoop({"CTRL-T", ".", "A", "B", "BS", "D", "pages typing", "ENTER", "RIGHT * 20", ".",
                    "text \"a\"b\"", "ENTER", "DOWN * 20", "snap both"}));
  Rows lines = JournalLines(run);
  ASSERT_EQ(lines.size(), 1 + kBlockLines + 10) << run.err;
  EXPECT_EQ(Rows(lines.end() - 10, lines.end() - 5), Group("AD", " 7", " 33", " 2"));
  EXPECT_EQ(Last(lines, 5), Group("A+B", " 7", " 33", " 22"));
  // The preview shows A and D in the first two cells, on page 1 only.
  EXPECT_EQ(Region(run.Pixels("typing-1"), 1, 32, 18, 8), kAD);
  EXPECT_EQ(Region(run.Pixels("typing-0"), 1, 32, 18, 8), Rows(8, std::string(18, '.')));
  EXPECT_EQ(Region(run.Pixels("both"), 1, 32, 44, 8), kADAndPlus);
}

TEST(TextToolTest, LeadingBlanksClearTheirCellsTrailingBlanksAreDropped) {
  // A filled box under the text, then Backspace as the first key.
  EditorRun run = RunEditor(
      FromMainLoop({"CTRL-F", ".", "RIGHT * 30", "DOWN * 6", ".", "LEFT * 30", "UP * 6", "CTRL-T",
                    ".", "BS", "text \"  x  \"", "ENTER", "DOWN * 20", "snap done"}));
  EXPECT_EQ(Last(JournalLines(run), 5), Group("  X", " 7", " 33", " 2"));
  EXPECT_EQ(Region(run.Pixels("done"), 1, 32, 33, 9), kBlanksAndX);
}

TEST(TextToolTest, ACellMayNotStartRightOf630) {
  EditorRun run = RunEditor(FromMainLoop({"RIGHT * 622", "DOWN * 137", "CTRL-T", ".", "A", "B",
                                          "pages refused", "ENTER", "UP * 20", "snap done"}));
  EXPECT_EQ(Last(JournalLines(run), 5), Group("A", " 7", " 170", " 624"));
  // The refusal redraws all 110 positions: the cells reach the frame at x
  // 639 on page 1; the text kept on page 0 is the one character.
  EXPECT_EQ(Region(run.Pixels("refused-1"), 622, 169, 18, 9), kRefused);
  EXPECT_EQ(Region(run.Pixels("refused-0"), 622, 169, 18, 9), Rows(9, std::string(17, '.') + "F"));
  EXPECT_EQ(Region(run.Pixels("done"), 622, 169, 18, 9), kKept);
}

TEST(TextToolTest, EscLeavesPictureAndJournalAsBefore) {
  EditorRun run = RunEditor(FromMainLoop({".", "RIGHT * 5", ".", "CTRL-T", "snap before", ".",
                                          "text \"abc\"", "pages typed", "ESC", "snap after"}));
  Rows lines = JournalLines(run);
  ASSERT_EQ(lines.size(), 2 + kBlockLines);
  EXPECT_EQ(lines[1], "line ( 2,  33)-( 7, 33),     7");
  EXPECT_EQ(lines.back(), "EndAbc:");
  EXPECT_NE(run.Pixels("typed-1"), run.Pixels("before"));
  EXPECT_EQ(run.Pixels("after"), run.Pixels("before"));
}

TEST(TextToolTest, CtrlXWithNothingUnsavedEndsWithoutRecording) {
  EditorRun run = RunEditor(FromMainLoop({"CTRL-T", ".", "text \"ab\"", "CTRL-X"}));
  EXPECT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(run.out, "Edit ended.\n");
  EXPECT_EQ(JournalLines(run).size(), 1 + kBlockLines);
}

TEST(TextToolTest, CtrlXWithdrawnAtThePromptDropsTheText) {
  // A line makes unsaved work; "Do not exit" returns to the drawing.
  EditorRun run =
      RunEditor(FromMainLoop({".", "RIGHT * 5", ".", "CTRL-T", "snap before", ".", "text \"ab\"",
                              "CTRL-X", "RIGHT", "RIGHT", "ENTER", "snap after"}));
  Rows lines = JournalLines(run);
  ASSERT_EQ(lines.size(), 2 + kBlockLines) << run.err;
  EXPECT_EQ(lines.back(), "EndAbc:");
  EXPECT_EQ(run.Pixels("after"), run.Pixels("before"));
}

// Line feed and Ctrl-Z (byte 26, which ends a file for older tools) are
// refused, so the saved program holds neither; Ctrl-Y is typed.
TEST(TextToolTest, ExtendedKeysAreTypedAsTwoCharactersLineFeedAndCtrlZAreRefused) {
  EditorRun run = RunEditor(
      FromMainLoop({"CTRL-T", ".", "a", "RIGHT", "CTRL-J", "CTRL-Z", "CTRL-Y", "b", "ENTER"}));
  EXPECT_EQ(Last(JournalLines(run), 5), Group(std::string("A\xFFM\x19") + "B", " 7", " 33", " 2"));
}

TEST(TextToolTest, AnEmptyTextIsRecordedWithTwoDoubleQuotes) {
  EditorRun run = RunEditor(FromMainLoop({"CTRL-T", ".", "x", "BS", "ENTER"}));
  EXPECT_EQ(Last(JournalLines(run), 5), Group("", " 7", " 33", " 2"));
}
