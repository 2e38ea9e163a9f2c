#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <chrono>
#include <climits>
#include <random>
#include <string>
#include <vector>

#include "gfx/draw.h"
#include "gfx/screen.h"
#include "gfx_test_util.h"
#include "imageformat/format.h"
#include "imageformat/reader_internal.h"
#include "read_lines.h"
#include "strokefont/stroke_font.h"
#include "strokefont/text_state.h"
#include "text_test_util.h"

namespace {

std::string Blanks(int n) {
  return std::string(static_cast<size_t>(n), ' ');
}

std::string Blanked(std::string s) {
  RemoveBlanks(s);
  return s;
}

void ClearPage() {
  LINE(0, 0, 639, 199, 0, kLineBoxFilled, 0xFFFF, 0);
}

class ReaderTest : public Mode8TextTest {
 protected:
  // Reads `input` and checks that the copy received every line once, in order.
  ReadResult Read(const std::vector<std::string>& input) {
    std::vector<std::string> copies;
    ReadResult result = ReadLines(input, [&](std::string_view line) { copies.emplace_back(line); });
    EXPECT_EQ(copies, input);
    return result;
  }

  // Every lit pixel of page 0 has colour c; returns how many there are.
  size_t LitIn(int c) {
    PixelSet lit = LitPixels(0);
    for (auto [x, y] : lit) EXPECT_EQ(PixelAt(0, x, y), c) << x << "," << y;
    return lit.size();
  }
};

}  // namespace

TEST(RemoveBlanks, SkipsTheCharacterMovingIntoADeletedBlank) {
  EXPECT_EQ(Blanked("LINE ( 10,  20)-( 100, 50),  7"), "LINE(10, 20)-(100,50), 7");
  EXPECT_EQ(Blanked("LINE ( 10,  20)-( 300, 150)," + Blanks(14) + " 7"),
            "LINE(10, 20)-(300,150)," + Blanks(7) + "7");
  EXPECT_EQ(Blanked("CIRCLE ( 320,  100)," + Blanks(8) + " 50," + Blanks(10) + " 14, , , 1"),
            "CIRCLE(320, 100),    50,     14,,,1");
  EXPECT_EQ(Blanked("WX =  12"), "WX= 12");
  EXPECT_EQ(Blanked("FCOLOR =  7"), "FCOLOR= 7");
  EXPECT_EQ(Blanked("GOSUB DPRINT"), "GOSUBDPRINT");
  EXPECT_EQ(Blanked("A B"), "AB");
  EXPECT_EQ(Blanked("A  B"), "A B");
  EXPECT_EQ(Blanked("A    B"), "A  B");
  EXPECT_EQ(Blanked("A     B"), "A  B");
  // The first and the last position are never examined.
  EXPECT_EQ(Blanked(" A "), " A ");
  EXPECT_EQ(Blanked("  "), "  ");
  EXPECT_EQ(Blanked("X  "), "X ");
  EXPECT_EQ(Blanked(""), "");
  EXPECT_EQ(Blanked(" "), " ");
}

TEST_F(ReaderTest, WrittenLinesDrawTheirShapes) {
  Read({"SCREEN 8", "line ( 10,  20)-( 100, 50),  7"});
  EXPECT_EQ(LitIn(7), 91u);
  EXPECT_EQ(PixelAt(0, 10, 20), 7);
  EXPECT_EQ(PixelAt(0, 100, 50), 7);
  ClearPage();
  Read({"line ( 10,  20)-( 300, 150)," + Blanks(14) + " 7"});
  EXPECT_EQ(LitIn(7), 291u);
  EXPECT_EQ(PixelAt(0, 300, 150), 7);
  ClearPage();
  Read({"line ( 10,  20)-( 100, 50),  7,b"});
  EXPECT_EQ(LitIn(7), 2 * 91u + 2 * 29u);
  EXPECT_EQ(PixelAt(0, 100, 20), 7);
  EXPECT_EQ(PixelAt(0, 10, 50), 7);
  EXPECT_EQ(PixelAt(0, 11, 21), 0);
  ClearPage();
  Read({"line ( 10,  20)-( 100, 50),  7,bf"});
  EXPECT_EQ(LitIn(7), 91u * 31u);
  ClearPage();
  Read({"line (-5,  3)-( 2,-1)," + Blanks(6) + " 9,bf"});
  EXPECT_EQ(LitIn(9), 3u * 4u);
}

TEST_F(ReaderTest, WrittenEllipseDrawsLikeCircle) {
  Read({"circle ( 320,  100)," + Blanks(8) + " 50," + Blanks(10) + " 14, , , 1"});
  EXPECT_EQ(PixelAt(0, 370, 100), 14);
  EXPECT_EQ(PixelAt(0, 270, 100), 14);
  PixelSet read = LitPixels(0);
  set_pages(1, 0);
  CIRCLE(320, 100, 50, 14, 1.0f, 0, kFullTurn, 0, kCoordPoint);
  EXPECT_EQ(read, LitPixels(1));
  EXPECT_EQ(LitIn(14), read.size());

  // A drifted aspect reads back from its exponent form.
  float drift = 1.0f;
  for (int i = 0; i < 10; ++i) drift = static_cast<float>(drift + -0.1);
  set_pages(0, 0);
  ClearPage();
  Read({"circle ( 320,  100)," + Blanks(8) + " 50," + Blanks(10) + " 14, , ,-7.301569e-008"});
  read = LitPixels(0);
  set_pages(1, 0);
  ClearPage();
  CIRCLE(320, 100, 50, 14, drift, 0, kFullTurn, 0, kCoordPoint);
  EXPECT_EQ(read, LitPixels(1));
  EXPECT_FALSE(read.empty());
}

TEST_F(ReaderTest, HandWrittenLines) {
  // The colour is read from the second character after the comma on.
  Read({"LINE (1,2)-(3,4),15"});
  EXPECT_TRUE(PageMatches(0, 0, 1, {".....", ".5...", "..5..", "...5.", "....."}));
  EXPECT_EQ(LitIn(5), 3u);
  ClearPage();
  Read({"CIRCLE (100,50),20,15,,,1"});
  EXPECT_EQ(PixelAt(0, 120, 50), 5);
  EXPECT_GT(LitIn(5), 40u);
  ClearPage();
  Read({"Line(1,2)-(3,4),7,B"});
  EXPECT_TRUE(PageMatches(0, 0, 1, {".....", ".777.", ".7.7.", ".777.", "....."}));
  ClearPage();
  // Fields round half to even: 2.5 -> 2, 5.5 -> 6.
  Read({"LINE (2.5,1)-(5.5,3),2.5,B"});
  EXPECT_TRUE(PageMatches(0, 1, 0, {".......", ".22222.", ".2...2.", ".22222.", "......."}));
}

// A paint line reads alike however it is spaced, with QuickBASIC's omitted
// colours; one whose fields are no numbers draws nothing.
TEST_F(ReaderTest, PaintLinesAreReadByTheirDelimiters) {
  const std::vector<std::string> kFilled = {".....", ".777.", ".747.", ".777.", "....."};
  for (const char* paint :
       {"paint (2,2),4,7", "paint (2,2)  ,4,7", "paint   (2,2),4,7", "PAINT ( 2 , 2 ) , 4 , 7",
        "paint ( 2,  2),           4,            7", "Paint(2.4,1.6),4.4,7"}) {
    ClearPage();
    Read({"LINE (1,1)-(3,3),7,B", paint});
    EXPECT_TRUE(PageMatches(0, 0, 0, kFilled)) << paint;
  }
  // Omitted: the colour is the foreground (15), the border the colour.
  ClearPage();
  Read({"LINE (1,1)-(3,3),7,B", "PAINT (2,2), , 7"});
  EXPECT_TRUE(PageMatches(0, 0, 0, {".....", ".777.", ".7F7.", ".777.", "....."}));
  ClearPage();
  Read({"LINE (1,1)-(3,3),4,B", "PAINT (2,2),4"});
  EXPECT_EQ(LitIn(4), 9u);
  for (const char* unread :
       {"PAINT (2,2), c, 7", "PAINT (x,2),4", "PAINT (2,2),4,7,CHR$(0)", "PAINT (2,2),\"AB\"",
        "PAINT STEP (2,2),4", "PAINT (2,2) 4", "PAINTER, 4"}) {
    ClearPage();
    Read({unread});
    EXPECT_EQ(LitIn(0), 0u) << unread;
  }
}

// Only a LINE statement draws a box: other statements that hold ",B" or
// ",BF" draw nothing, even in colour 0 over a drawing.
TEST_F(ReaderTest, OnlyLineStatementsDrawBoxes) {
  for (const char* line :
       {"DIM x, B", "LOCATE 5, B", "PUT (20, 20), buf, PSET", "DECLARE SUB S (a$, B$)",
        "IF a THEN LINE (3,1)-(4,2), 0, BF", "PrintFlarp$ = \"1,BF\"", "X = 1 ,B"}) {
    LINE(0, 0, 9, 4, 7, kLineBoxFilled, 0xFFFF, 0);
    Read({line});
    EXPECT_EQ(LitIn(7), 50u) << line;
  }
}

TEST_F(ReaderTest, TextGroupInAnyOrderDrawsAtItsPosition) {
  const std::vector<std::string> ab = {
      "..4....4444.", ".4.4...4...4", ".4.4...4444.", "44444..4...4",
      "4...4..4444.", "............", "............",
  };
  Read({"PrintFlarp$ = \"AB\"", "wx =  8", "wy =  15", "Fcolor =  4", "gosub Dprint"});
  EXPECT_TRUE(PageMatches(0, 8, 15, ab));
  EXPECT_EQ(LitIn(4), 28u);
  EXPECT_EQ(text_state().wx, 1);
  EXPECT_EQ(text_state().wy, 22);

  ClearPage();
  text_state() = TextState{};
  Read({"Fcolor =  4", "wy =  15", "PrintFlarp$ = \"ab\"", "wx =  8", "gosub Dprint"});
  EXPECT_TRUE(PageMatches(0, 8, 15, ab));
  EXPECT_EQ(LitIn(4), 28u);

  // The older PRINT$ form, hand-written without blanks.
  ClearPage();
  Read({"PRINT$ = \"AB\"", "WX=8", "WY=15", "FCOLOR=4", "GOSUBDPRINT"});
  EXPECT_TRUE(PageMatches(0, 8, 15, ab));
  EXPECT_EQ(LitIn(4), 28u);
}

TEST_F(ReaderTest, TextAcrossTheScreenEdgesDrawsItsVisibleCells) {
  // Cells every 7 pixels from x = -12: A wholly off the screen, B's cell
  // reaching x = 2 (its glyph clipped away), then A at 2 and B at 9. The
  // background colour 1 shows which cells were cleared.
  text_state().Bcolor = 1;
  Read({"PrintFlarp$ = \"ABAB\"", "wx = -12", "wy = 20", "Fcolor = 4", "gosub Dprint"});
  EXPECT_TRUE(PageMatches(
      0, 0, 20,
      {"11114111144441111.", "11141411141114111.", "11141411144441111.", "11444441141114111.",
       "11411141144441111.", "11111111111111111.", "11111111111111111.", ".................."}));
  EXPECT_EQ(LitPixels(0).size(), 17u * 7u);
  EXPECT_EQ(text_state().wx, 1);
  EXPECT_EQ(text_state().wy, 27);

  // From x = 626: A, then B in the cell 633..640, then A off the right edge.
  ClearPage();
  Read({"PrintFlarp$ = \"ABA\"", "wx = 626", "wy = 40", "gosub Dprint"});
  EXPECT_TRUE(
      PageMatches(0, 625, 40,
                  {".11411114444111", ".14141114111411", ".14141114444111", ".44444114111411",
                   ".41114114444111", ".11111111111111", ".11111111111111", "..............."}));
  EXPECT_EQ(LitPixels(0).size(), 14u * 7u);
}

TEST_F(ReaderTest, TextStateNumbersAreSafe) {
  TextState& t = text_state();
  Read({"wx = 3e9", "wy = -1e30", "Fcolor = 1D400"});
  EXPECT_EQ(t.wx, 1000000);
  EXPECT_EQ(t.wy, -1000000);
  EXPECT_EQ(t.Fcolor, INT_MAX);
  Read({"wx = 0x10", "wy = 3.5", "Fcolor = -2.5"});
  EXPECT_EQ(t.wx, 0);
  EXPECT_EQ(t.wy, 4);
  EXPECT_EQ(t.Fcolor, -2);
  Read({"wx = 2.5", "wy = 1e-400"});
  EXPECT_EQ(t.wx, 2);
  EXPECT_EQ(t.wy, 0);
  // Text far outside the screen is clipped, and moving along it cannot overflow.
  Read({"PrintFlarp$ = \"" + std::string(1000, 'W') + "\"", "Fcolor = 3", "wx = 1e300",
        "wy = -1e300", "gosub Dprint", "wx = -9e9", "wy = 9e9", "gosub Dprint"});
  EXPECT_TRUE(LitPixels(0).empty());
}

TEST_F(ReaderTest, TheBlockIsSkippedToEndAbc) {
  ReadResult r = Read({"SCREEN 8", "GoTo EndAbc", "line ( 1,  1)-( 5, 1),  2",
                       " EndAbc:", "EndAbc: ", "endabc:", "line ( 1,  3)-( 5, 3),  4"});
  EXPECT_TRUE(r.had_block);
  EXPECT_TRUE(PageMatches(0, 0, 0, {".......", ".......", ".......", ".44444.", "......."}));
  EXPECT_EQ(LitIn(4), 5u);

  // The generated block itself, then a text group after it.
  ClearPage();
  std::vector<std::string> file = {"SCREEN 8"};
  file.insert(file.end(), DprintBlockLines().begin(), DprintBlockLines().end());
  for (const char* line : {"PrintFlarp$ = \"-\"", "Fcolor =  6", "wy =  1", "wx =  1",
                           "gosub Dprint", "line ( 1,  10)-( 5, 10),  6"}) {
    file.push_back(line);
  }
  EXPECT_TRUE(Read(file).had_block);
  EXPECT_TRUE(PageMatches(0, 1, 3, {"66666"}));
  EXPECT_TRUE(PageMatches(0, 1, 10, {"66666"}));
  EXPECT_EQ(LitIn(6), 10u);

  EXPECT_FALSE(Read({"SCREEN 8", "line ( 1,  3)-( 5, 3),  4"}).had_block);
}

TEST_F(ReaderTest, ABlockWithoutEndIsSkippedToTheEndOfTheFile) {
  ReadResult r = Read({"SCREEN 8", "GoTo EndAbc", "Dprint:", "line ( 1,  1)-( 5, 1),  2", "EndAbc",
                       "gosub Dprint"});
  EXPECT_TRUE(r.had_block);
  EXPECT_TRUE(LitPixels(0).empty());
  EXPECT_TRUE(Read({"GoTo EndAbc"}).had_block);
}

TEST_F(ReaderTest, OddLinesNeverCrash) {
  const std::string mb(1 << 20, '7');
  std::string pairs;
  for (int i = 0; i < (1 << 19); ++i) pairs += "A ";
  std::string binary;
  for (int c = 0; c < 256; ++c) binary += static_cast<char>(c);
  std::vector<std::string> odd = {
      "PrintFlarp$ = \"1,B\"",
      "PrintFlarp$ = \",BF(\"",
      "gosub Dprint",
      "LINE(",
      "LINE",
      "CIRCLE",
      "CIRCLE(",
      ",BF",
      ",B",
      ")",
      "(",
      ",",
      "\"",
      "PRINT$",
      "PRINTFLARP$",
      "WX=",
      "FCOLOR",
      "",
      " ",
      Blanks(40),
      "LINE(1,2)-(3,4),7\r",
      "line ( 1,  2)-( 3, 4),  7\r",
      "\rLINE (1,2)-(3,4),7",
      "LINE )(,,)(,,B",
      "CIRCLE)),,,,,",
      "CIRCLE (1e30,-1e30),1D400,5,,,1",
      "LINE (1e30,-1e30)-(1D400,-1D400), 5",
      "CIRCLE (100,50),1e9,4,,,1",
      "CIRCLE (100,50),20,4,,,1e300",
      "CIRCLE (100,50),20,4,,,-1e300",
      "LINE(" + mb,
      mb,
      "CIRCLE(" + mb + "," + mb + ")," + mb,
      "PrintFlarp$ = \"" + mb,
      pairs,
      "wx = " + mb,
      binary,
      std::string(1000, '\0'),
      std::string(1000, '\xff'),
      "GoTo EndAbc",
  };
  auto start = std::chrono::steady_clock::now();
  EXPECT_TRUE(Read(odd).had_block);
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5));
}

// Lines in the editor's own form are read in one pass; upper-cased, the
// same lines take the reading rules step by step. Both must draw the same
// and leave the same text state, for written lines of every size and sign
// and for near misses.
TEST_F(ReaderTest, WrittenLinesReadAsTheRulesReadThem) {
  std::mt19937 rng(5);
  auto pick = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };
  auto number = [&] {
    const int kinds[] = {pick(0, 639), pick(-99, 99), pick(0, 999999999), -pick(0, 999999999)};
    return kinds[std::max(0, pick(-6, 3))];
  };
  auto num = [&] { return Blanks(pick(0, 3)) + std::to_string(std::abs(number()) % 1000); };
  auto random_line = [&]() -> std::string {
    const int x1 = number(), y1 = number(), x2 = number(), y2 = number(), colour = pick(-2, 300);
    switch (pick(0, 7)) {
      case 0:
        return LineStatement(x1, y1, x2, y2, colour);
      case 1:
        return BoxStatement(x1, y1, x2, y2, colour);
      case 2:
        return FilledBoxStatement(x1, y1, x2, y2, colour);
      case 3:
        return CircleStatement(pick(-50, 700), pick(-50, 250), pick(-5, 300), colour,
                               std::uniform_real_distribution<float>(-2, 4)(rng));
      case 4:  // the line form with other blank runs
        return "line (" + num() + "," + num() + ")-(" + num() + "," + num() + ")," + num() +
               std::vector<std::string>{"", ",b", ",bf", ",B", ",b "}[pick(0, 4)];
      case 5:
        return "circle (" + num() + "," + num() + ")," + num() + "," + num() + ", , ," + num();
      case 6: {
        std::string text;
        for (int n = pick(0, 6); n > 0; --n) text += "AB,b c\""[pick(0, 6)];
        return TextGroup(text, colour, x1, x2)[static_cast<size_t>(pick(0, 4))];
      }
      default:
        return "gosub Dprint";
    }
  };
  const std::string kAlphabet = " ,()-+.0123456789bBfFeEdD\"";
  auto near_miss = [&](std::string& line) {
    for (int n = pick(-3, 3); n > 0 && !line.empty(); --n) {
      size_t at = static_cast<size_t>(pick(0, static_cast<int>(line.size()) - 1));
      if (pick(0, 1)) at = std::min(line.find(' ', at), line.size() - 1);  // blanks matter most
      const char c =
          kAlphabet[static_cast<size_t>(pick(0, static_cast<int>(kAlphabet.size()) - 1))];
      if (pick(0, 2) == 0)
        line.erase(at, 1);
      else if (pick(0, 1) == 0)
        line.insert(at, 1, c);
      else
        line[at] = c;
    }
  };
  GfxScreen* screen = gfx_screen();
  const size_t page_bytes = static_cast<size_t>(screen->pitch) * screen->height;
  for (int i = 0; i < 2000; ++i) {
    std::vector<std::string> lines[2];
    for (int n = pick(1, 5); n > 0; --n) {
      std::string line = random_line();
      near_miss(line);
      lines[0].push_back(line);
    }
    lines[0].push_back("gosub Dprint");
    for (std::string line : lines[0]) {
      for (char& c : line) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
      lines[1].push_back(line);
    }
    std::vector<uint8_t> pages[2];
    std::vector<double> state[2];
    for (int pass = 0; pass < 2; ++pass) {
      text_state() = TextState{};
      LINE(0, 0, 639, 199, 3, kLineBoxFilled, 0xFFFF, 0);
      Read(lines[pass]);
      pages[pass].assign(screen->pages[0], screen->pages[0] + page_bytes);
      const TextState& t = text_state();
      state[pass] = {draw_context()->last_x, draw_context()->last_y, static_cast<double>(t.wx),
                     static_cast<double>(t.wy), static_cast<double>(t.Fcolor)};
    }
    ASSERT_TRUE(pages[0] == pages[1] && state[0] == state[1]) << ::testing::PrintToString(lines[0]);
  }
}
