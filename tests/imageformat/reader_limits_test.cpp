// Loading ends, and in time proportional to the size of the file, whatever
// the file holds: not-quite numbers, shapes far too big for the screen, a
// long text drawn again and again, 100,000 shapes, a block without its end.
// The time limits are only a safety net, generous even for sanitizer builds;
// the load benchmark measures the real speed.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdint>
#include <string>
#include <vector>

#include "gfx/screen.h"
#include "gfx/text.h"
#include "gfx_test_util.h"
#include "imageformat/format.h"
#include "read_lines.h"
#include "strokefont/text_state.h"
#include "text_test_util.h"

namespace {

class ReaderLimitsTest : public Mode8TextTest {
 protected:
  // Reads the lines and returns the seconds it took; every line must have
  // reached the copy.
  double Read(const std::vector<std::string>& input) {
    size_t copied = 0;
    auto start = std::chrono::steady_clock::now();
    ReadLines(input, [&](std::string_view) { ++copied; });
    std::chrono::duration<double> taken = std::chrono::steady_clock::now() - start;
    EXPECT_EQ(copied, input.size());
    return taken.count();
  }
};

std::vector<std::string> Times(int n, const std::string& line) {
  return std::vector<std::string>(static_cast<size_t>(n), line);
}

// A fixed sequence of pseudo-random numbers below n.
struct Dice {
  uint32_t state = 12345;
  int operator()(int n) {
    state = state * 1103515245u + 12345u;
    return static_cast<int>((state >> 8) % static_cast<uint32_t>(n));
  }
};

}  // namespace

TEST_F(ReaderLimitsTest, HundredThousandShapesThenABlockWithoutEnd) {
  Dice dice;
  std::vector<std::string> file = {"SCREEN 8"};
  for (int i = 0; i < 100000; ++i) {
    bool wide = i % 50 == 0;
    int x = dice(640), y = dice(200), c = 1 + dice(14);
    int x2 = x + dice(wide ? 640 : 40) - 20, y2 = y + dice(wide ? 200 : 30) - 15;
    if (i % 3 == 0) file.push_back(LineStatement(x, y, x2, y2, c));
    if (i % 3 == 1) file.push_back(BoxStatement(x, y, x2, y2, c));
    if (i % 3 == 2) file.push_back(FilledBoxStatement(x, y, x2, y2, c));
  }
  file.push_back("line ( 0,  0)-( 639, 199),  15,b");
  EXPECT_LT(Read(file), 10.0);
  EXPECT_EQ(PixelAt(0, 0, 0), 15);
  EXPECT_EQ(PixelAt(0, 639, 199), 15);

  // Everything after "GoTo EndAbc" is copied and nothing drawn.
  CLS(0);
  file = Times(100000, "line ( 0,  0)-( 639, 199),  4,bf");
  file.insert(file.begin(), "GoTo EndAbc");
  EXPECT_LT(Read(file), 5.0);
  EXPECT_TRUE(LitPixels(0).empty());
}

TEST_F(ReaderLimitsTest, CostlyLinesStayCheap) {
  const std::vector<std::string> costly = {
      "line ( 0,  0)-( 639, 199),  4,bf",           // the whole screen
      "line (-1e30, 1e30)-( 1D400,-1D400),  4,bf",  // saturated corners
      "line (-1e30, 1e30)-( 1D400,-1D400),  4",
      "circle ( 320,  100),  1e9,  4, , , 1",
      "circle ( 320,  100),  1900000,  4, , , 1",
      "circle ( 320,  100),  1900000,  4, , , 1e-6",  // flat: the longest walk
      "circle ( 320,  100),  1900000,  4, , , 1e6",
      "circle ( 320,  100),  1e30,  4, , ,-1e30",
  };
  // The flat ellipse walks 1.9 million steps, a few milliseconds each time.
  for (const std::string& line : costly) EXPECT_LT(Read(Times(20, line)), 5.0) << line;
}

TEST_F(ReaderLimitsTest, ALongTextDrawnManyTimes) {
  // Each "gosub Dprint" draws the whole pending text: only the cells on the
  // screen may cost anything.
  std::vector<std::string> file = {"PrintFlarp$ = \"" + std::string(1 << 20, 'W') + "\"",
                                   "Fcolor = 3", "wy = 10"};
  for (int i = 0; i < 1000; ++i) {
    file.push_back(i % 2 ? "wx = -1000000" : "wx = 1");
    file.push_back("gosub Dprint");
  }
  EXPECT_LT(Read(file), 5.0);
}

TEST_F(ReaderLimitsTest, NotQuiteNumbersReadAsNumbersOrZero) {
  // NAN, INF, "." and a sign without digits read as 0, "1E+" as 1: a line
  // from (0, 0) to (1, 0), a box from (0, 0) to (0, 1), and an aspect of 0,
  // which stands for the screen's own.
  Read({"line (NAN,INF)-(1E+,--5),  5", "line (-0,+-1)-(.,1E+),  6,b",
        "circle ( 320,  100),  10,  7, , ,NAN"});
  EXPECT_TRUE(PageMatches(0, 0, 0, {"65..", "6...", "...."}));
  EXPECT_EQ(PixelAt(0, 330, 100), 7);
  EXPECT_EQ(PixelAt(0, 310, 100), 7);
  EXPECT_EQ(PixelAt(0, 320, 100), 0);
}
