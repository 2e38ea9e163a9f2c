#include <gtest/gtest.h>
#include <sys/resource.h>

#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

#include "gfx/draw.h"
#include "gfx/screen.h"
#include "gfx_test_util.h"
#include "imageformat/journal.h"
#include "runtime/errors.h"
#include "runtime/files.h"
#include "scratch_folder.h"
#include "strokefont/stroke_font.h"
#include "strokefont/text_state.h"

namespace {

// The 64 characters, in the order the block must test them.
const std::string kTableOrder =
    "ABLTNE"
    "WMFZXI"
    "HKV!.Y"
    "/\\><[]"
    "147-+=_"
    "%,'?D0O2"
    "UPR*#JS"
    "3GCQ5689;$^&:@()}{";
// The first character of groups 2 to 8.
const std::string kGroupStarts = "WH/1%U3";

const std::vector<std::string>& Block() {
  return DprintBlockLines();
}

size_t IndexOf(const std::string& line) {
  const auto& b = Block();
  for (size_t i = 0; i < b.size(); ++i) {
    if (b[i] == line) return i;
  }
  ADD_FAILURE() << "no line " << line;
  return 0;
}

std::vector<std::string> LinesAfter(const std::string& line, size_t n) {
  size_t i = IndexOf(line) + 1;
  const auto& b = Block();
  return {b.begin() + static_cast<long>(i),
          b.begin() + static_cast<long>(std::min(i + n, b.size()))};
}

std::string Case(char c) {
  return std::string("CASE \"") + c + "\"";
}

TEST(DprintBlock, HeaderAndLength) {
  const auto& b = Block();
  ASSERT_EQ(b.size(), 328u);
  const std::vector<std::string> head = {
      "GoTo EndAbc",
      "Dprint:",
      "PrintFlarp$ = UCASE$(PrintFlarp$)",
      "FOR I = 1 TO LEN(PrintFlarp$)",
      "Line (wx, wy)-(wx+7, wy+6), Bcolor, BF",
      "Trint$ = LEFT$(PrintFlarp$, I)",
      "Trint$ = RIGHT$(Trint$, 1)",
      "IF Trint$ <> \" \" THEN A$ = Trint$: collom = wx: row = wy: GOSUB ABC",
      "wx = wx + 7",
      "NEXT",
      "wy = wy + 7",
      "IF wy > 24 * 7 THEN wy = 1",
      "wx = 1",
      "return",
      "Abc:",
      "SELECT CASE a$",
  };
  EXPECT_EQ(std::vector<std::string>(b.begin(), b.begin() + 16), head);
}

TEST(DprintBlock, EveryCharacterHasOneCaseInTableOrder) {
  std::string cases;
  int selects = 0, elses = 0;
  for (const std::string& line : Block()) {
    if (line.starts_with("CASE \"")) {
      ASSERT_EQ(line.size(), 8u) << line;
      ASSERT_EQ(line.back(), '"') << line;
      cases += line[6];
    }
    selects += line == "SELECT CASE A$";
    elses += line == "CASE ELSE";
  }
  EXPECT_EQ(cases, kTableOrder);
  EXPECT_EQ(selects, 7);
  EXPECT_EQ(elses, 8);
  for (char c : kGroupStarts) {
    size_t i = IndexOf(Case(c));
    EXPECT_EQ(Block()[i - 2], "CASE ELSE") << c;
    EXPECT_EQ(Block()[i - 1], "SELECT CASE A$") << c;
  }
}

TEST(DprintBlock, StatementText) {
  EXPECT_EQ(LinesAfter(Case('A'), 9),
            (std::vector<std::string>{
                "PSET (collom + 2, row), Fcolor",
                "PSET (collom + 1, row + 1), Fcolor",
                "PSET (collom + 3, row + 1), Fcolor",
                "PSET (collom + 1, row + 2), Fcolor",
                "PSET (collom + 3, row + 2), Fcolor",
                "LINE (collom + 1, row + 3)-(collom + 3, row + 3), Fcolor",
                "LINE (collom, row + 3)-(collom, row + 4), Fcolor",
                "LINE (collom + 4, row + 3)-(collom + 4, row + 4), Fcolor",
                Case('B'),
            }));
  EXPECT_EQ(LinesAfter(Case('B'), 6),
            (std::vector<std::string>{
                "LINE (collom, row)-(collom + 3, row), Fcolor",
                "LINE (collom, row)-(collom, row + 4), Fcolor",
                "LINE (collom, row + 2)-(collom + 3, row + 2), Fcolor",
                "LINE (collom, row + 4)-(collom + 3, row + 4), Fcolor",
                "PSET (collom + 4, row + 1), Fcolor: PSET (collom + 4, row + 3), Fcolor",
                Case('L'),
            }));
  EXPECT_EQ(LinesAfter(Case('5'), 6), (std::vector<std::string>{
                                          "LINE (collom + 4, row)-(collom, row), Fcolor",
                                          "LINE -(collom, row + 2), Fcolor",
                                          "LINE -(collom + 3, row + 2), Fcolor",
                                          "LINE (collom, row + 4)-(collom + 3, row + 4), Fcolor",
                                          "PSET (collom + 4, row + 3), Fcolor",
                                          Case('6'),
                                      }));
  // The last entry, the fallback and the closing lines.
  std::vector<std::string> tail = {
      "LINE (collom + 3, row)-(collom + 1, row + 2), Fcolor",
      "LINE -(collom + 3, row + 4), Fcolor",
      "PSET (collom + 2, row), Fcolor: PSET (collom + 2, row + 4), Fcolor",
      "CASE ELSE",
      "LINE (collom + 1, row + 2)-(collom + 3, row + 2), Fcolor",
      "LINE (collom + 2, row + 1)-(collom + 2, row + 3), Fcolor",
  };
  tail.insert(tail.end(), 8, "END SELECT");
  tail.push_back("Return");
  tail.push_back("EndAbc:");
  EXPECT_EQ(LinesAfter(Case('{'), 100), tail);
}

// --- A tiny interpreter of the statements the Abc part uses ---

struct Abc {
  std::string a;  // A$
  int collom, row;
  uint32_t fcolor;
  bool draw;  // false inside a CASE that does not run: parse only
};

bool Eat(std::string_view& s, std::string_view literal) {
  if (!s.starts_with(literal)) return false;
  s.remove_prefix(literal.size());
  return true;
}

// "collom", "row", "collom + d" or "row + d" with d 1..9 (0 is never written).
bool Term(std::string_view& s, const Abc& m, float& out) {
  int v;
  if (Eat(s, "collom")) {
    v = m.collom;
  } else if (Eat(s, "row")) {
    v = m.row;
  } else {
    return false;
  }
  if (Eat(s, " + ")) {
    if (s.empty() || s[0] < '1' || s[0] > '9') return false;
    v += s[0] - '0';
    s.remove_prefix(1);
  }
  out = static_cast<float>(v);
  return true;
}

bool Point(std::string_view& s, const Abc& m, float& x, float& y) {
  return Eat(s, "(") && Term(s, m, x) && Eat(s, ", ") && Term(s, m, y) && Eat(s, ")");
}

// One statement: PSET (p), Fcolor | LINE (p)-(q), Fcolor | LINE -(q), Fcolor.
bool Statement(std::string_view& s, const Abc& m) {
  float x1, y1, x2, y2;
  if (Eat(s, "PSET ")) {
    if (!Point(s, m, x1, y1) || !Eat(s, ", Fcolor")) return false;
    if (m.draw) PSET(x1, y1, m.fcolor, kCoordPoint, 0);
  } else if (Eat(s, "LINE -")) {
    if (!Point(s, m, x2, y2) || !Eat(s, ", Fcolor")) return false;
    if (m.draw) LINE(0, 0, x2, y2, m.fcolor, kLineLine, 0xFFFF, kCoordFirstRel);
  } else if (Eat(s, "LINE ")) {
    if (!Point(s, m, x1, y1) || !Eat(s, "-") || !Point(s, m, x2, y2) || !Eat(s, ", Fcolor")) {
      return false;
    }
    if (m.draw) LINE(x1, y1, x2, y2, m.fcolor, kLineLine, 0xFFFF, kCoordAbsolute);
  } else {
    return false;
  }
  return true;
}

// Runs the lines from "Abc:" to "Return" with A$ = a.
void RunAbc(const std::vector<std::string>& lines, const std::string& a, int collom, int row,
            uint32_t fcolor) {
  struct Select {
    bool outer_runs, taken, runs;
  };
  std::vector<Select> stack;
  size_t i = 0;
  while (i < lines.size() && lines[i] != "Abc:") ++i;
  ASSERT_LT(i, lines.size());
  for (++i; i < lines.size() && lines[i] != "Return"; ++i) {
    const std::string& line = lines[i];
    bool running = stack.empty() || stack.back().runs;
    if (line == "SELECT CASE a$" || line == "SELECT CASE A$") {
      stack.push_back({running, false, false});
    } else if (line == "END SELECT") {
      ASSERT_FALSE(stack.empty());
      stack.pop_back();
    } else if (line == "CASE ELSE") {
      ASSERT_FALSE(stack.empty());
      Select& s = stack.back();
      s.runs = s.outer_runs && !s.taken;
      s.taken = true;
    } else if (line.starts_with("CASE \"")) {
      ASSERT_FALSE(stack.empty());
      ASSERT_TRUE(line.size() >= 7 && line.back() == '"') << line;
      Select& s = stack.back();
      s.runs = s.outer_runs && !s.taken && a == line.substr(6, line.size() - 7);
      s.taken = s.taken || s.runs;
    } else {
      Abc m{a, collom, row, fcolor, running};
      std::string_view rest = line;
      bool ok = Statement(rest, m);
      while (ok && Eat(rest, ": ")) ok = Statement(rest, m);
      ASSERT_TRUE(ok && rest.empty()) << "cannot run: " << line;
    }
  }
  ASSERT_LT(i, lines.size());
  EXPECT_TRUE(stack.empty());
}

class AbcMatchesTheEditor : public Mode8Test {};

TEST_F(AbcMatchesTheEditor, EveryGlyphPixelForPixel) {
  std::vector<std::string> chars;
  for (char c : kTableOrder) chars.push_back(std::string(1, c));
  for (const char* other : {"~", "\"", " ", "a", "AB", ""}) chars.push_back(other);
  text_state().Fcolor = 13;
  int n = 0;
  for (const std::string& ch : chars) {
    int x = 3 + (n % 20) * 31, y = 2 + (n / 20) * 45;
    ++n;
    set_pages(0, 0);
    LINE(0, 0, 639, 199, 0, kLineBoxFilled, 0xFFFF, 0);
    PCOPY(0, 1);
    DrawStrokeGlyph(ch, x, y);
    set_pages(1, 1);
    RunAbc(Block(), ch, x, y, 13);
    PixelSet editor = LitPixels(0);
    EXPECT_FALSE(editor.empty()) << ch;
    EXPECT_EQ(editor, LitPixels(1)) << "glyph \"" << ch << "\"";
    for (const auto& [px, py] : editor) ASSERT_EQ(PixelAt(1, px, py), 13);
  }
  text_state() = TextState{};
}

// --- Writing the block into the journal ---

std::vector<int> g_errors;
void RecordError(int number) {
  g_errors.push_back(number);
}

TEST(WriteDprintBlock, AppendsEveryLineWithCrLf) {
  ScratchFolder scratch("kov1-dprint");
  std::string path = scratch.path("image.img");
  std::ofstream(path, std::ios::binary) << "SCREEN 8\r\n";
  ASSERT_TRUE(JournalUse(path, false));
  JournalAppendLines(DprintBlockLines());
  JournalClose();
  std::ifstream in(path, std::ios::binary);
  std::ostringstream bytes;
  bytes << in.rdbuf();
  std::string want = "SCREEN 8\r\n";
  for (const std::string& line : Block()) want += line + "\r\n";
  EXPECT_EQ(bytes.str(), want);
  EXPECT_TRUE(bytes.str().ends_with("END SELECT\r\nReturn\r\nEndAbc:\r\n"));
}

// In a child: appends the block under a file-size limit that stops it part
// way, as a filling disk does; exits with 0 when it failed once, wholly.
[[noreturn]] void WriteBlockPastSizeLimit(const std::string& path) {
  std::signal(SIGXFSZ, SIG_IGN);
  const rlimit limit{4000, 4000};
  setrlimit(RLIMIT_FSIZE, &limit);
  set_error_handler(RecordError);
  JournalUse(path, false);
  const bool written = JournalAppendLines(DprintBlockLines());
  JournalClose();
  std::_Exit(!written && g_errors == std::vector<int>{kErrDiskFull} ? 0 : 1);
}

TEST(WriteDprintBlock, AFailedWriteLeavesNoneOfTheBlockAndIsReportedOnce) {
  ScratchFolder scratch("kov1-dprint");
  std::string path = scratch.path("image.img");
  std::ofstream(path, std::ios::binary) << "SCREEN 8\r\n";
  EXPECT_EXIT(WriteBlockPastSizeLimit(path), ::testing::ExitedWithCode(0), "");
  std::ifstream in(path, std::ios::binary);
  std::ostringstream bytes;
  bytes << in.rdbuf();
  EXPECT_EQ(bytes.str(), "SCREEN 8\r\n");
}

}  // namespace
