#include "imageformat/format.h"

#include <gtest/gtest.h>

#include <cfloat>
#include <chrono>
#include <climits>
#include <cstdlib>
#include <random>
#include <string>

namespace {

// What the ellipse tool's aspect becomes after `presses` steps of the double
// `step`, each sum rounded to single precision.
float Drift(int presses, double step) {
  float aspect = 1.0f;
  for (int i = 0; i < presses; ++i) aspect = static_cast<float>(aspect + step);
  return aspect;
}

std::string Blanks(int n) {
  return std::string(static_cast<size_t>(n), ' ');
}

}  // namespace

TEST(NumberForms, IntegersHaveASignPosition) {
  EXPECT_EQ(I(7), " 7");
  EXPECT_EQ(I(150), " 150");
  EXPECT_EQ(I(0), " 0");
  EXPECT_EQ(I(-5), "-5");
  EXPECT_EQ(I(LLONG_MIN), "-9223372036854775808");
}

TEST(NumberForms, SinglesWithSevenDigitsAndThreeDigitExponents) {
  EXPECT_EQ(S(1.0f), " 1");
  EXPECT_EQ(S(0.5f), " 0.5");
  EXPECT_EQ(S(34.0f), " 34");
  EXPECT_EQ(S(0.0f), " 0");
  EXPECT_EQ(S(-0.5f), "-0.5");
  EXPECT_EQ(S(Drift(3, -0.1)), " 0.6999999");
  EXPECT_EQ(S(Drift(10, -0.1)), "-7.301569e-008");
  EXPECT_EQ(S(Drift(140, 0.1)), " 15.00002");
  EXPECT_EQ(S(1e12f), " 1e+012");
  EXPECT_EQ(S(1e7f), " 1e+007");
  EXPECT_EQ(S(1234567.0f), " 1234567");
  EXPECT_EQ(S(12345678.0f), " 1.234568e+007");
  EXPECT_EQ(S(0.0001f), " 0.0001");
  EXPECT_EQ(S(0.00001f), " 1e-005");
  EXPECT_EQ(S(2.5e-5f), " 2.5e-005");
  EXPECT_EQ(S(1e-40f), " 9.999946e-041");
  EXPECT_EQ(S(FLT_MAX), " 3.402823e+038");
}

TEST(NumberForms, PadFillsToTheNextFourteenColumnZone) {
  EXPECT_EQ(PAD(27), " ");
  EXPECT_EQ(PAD(28), std::string(14, ' '));
  EXPECT_EQ(PAD(0), std::string(14, ' '));
  EXPECT_EQ(PAD(14), std::string(14, ' '));
  EXPECT_EQ(PAD(20), std::string(8, ' '));
  EXPECT_EQ(PAD(32), std::string(10, ' '));
}

TEST(Statements, WorkedLines) {
  EXPECT_EQ(LineStatement(10, 20, 100, 50, 7), "line ( 10,  20)-( 100, 50),  7");
  EXPECT_EQ(BoxStatement(10, 20, 100, 50, 7), "line ( 10,  20)-( 100, 50),  7,b");
  EXPECT_EQ(FilledBoxStatement(10, 20, 100, 50, 7), "line ( 10,  20)-( 100, 50),  7,bf");
  // 28 characters before the pad: a full zone, the colour's sign in column 43.
  std::string wide = LineStatement(10, 20, 300, 150, 7);
  EXPECT_EQ(wide, "line ( 10,  20)-( 300, 150)," + Blanks(14) + " 7");
  EXPECT_EQ(wide.find(" 7"), 42u);
  EXPECT_EQ(BoxStatement(0, 0, 639, 199, 15), "line ( 0,  0)-( 639, 199)," + Blanks(2) + " 15,b");
  // Coordinates are written as given, unsorted and signed.
  EXPECT_EQ(LineStatement(-5, 3, 2, -1, 0), "line (-5,  3)-( 2,-1)," + Blanks(6) + " 0");
}

TEST(Statements, Ellipses) {
  const std::string centre = "circle ( 320,  100),";  // 20 characters
  EXPECT_EQ(CircleStatement(320, 100, 50, 14, 1.0f),
            centre + Blanks(8) + " 50," + Blanks(10) + " 14, , , 1");
  EXPECT_EQ(CircleStatement(5, 7, 1, 7, 1.0f),
            "circle ( 5,  7)," + Blanks(12) + " 1," + Blanks(11) + " 7, , , 1");
  EXPECT_EQ(CircleStatement(320, 100, 50, 14, Drift(10, -0.1)),
            centre + Blanks(8) + " 50," + Blanks(10) + " 14, , ,-7.301569e-008");
  EXPECT_EQ(CircleStatement(320, 100, 50, 14, Drift(140, 0.1)),
            centre + Blanks(8) + " 50," + Blanks(10) + " 14, , , 15.00002");
}

TEST(Statements, Paint) {
  EXPECT_EQ(PaintStatement(150, 80, 4, 7), "paint ( 150,  80),           4,            7");
  EXPECT_EQ(PaintStatement(1, 1, 15, 0), "paint ( 1,  1),              15,           0");
  EXPECT_EQ(PaintStatement(638, 192, 7, 7), "paint ( 638,  192),          7,            7");
}

TEST(Statements, TextGroup) {
  std::vector<std::string> want = {"PrintFlarp$ = \"HELLO\"", "Fcolor =  7", "wy =  34", "wx =  12",
                                   "gosub Dprint"};
  EXPECT_EQ(TextGroup("HELLO", 7, 34, 12), want);
  // Leading and inner blanks stay; an empty text is still recorded.
  EXPECT_EQ(TextGroup("  A B", 15, 1, 1)[0], "PrintFlarp$ = \"  A B\"");
  EXPECT_EQ(TextGroup("", 0, 195, 1)[0], "PrintFlarp$ = \"\"");
  EXPECT_EQ(TextGroup("", 0, 195, 1)[2], "wy =  195");
}

TEST(Val, Grammar) {
  EXPECT_EQ(VAL("12"), 12.0);
  EXPECT_EQ(VAL("   -7"), -7.0);
  EXPECT_EQ(VAL("+3"), 3.0);
  EXPECT_EQ(VAL(".5"), 0.5);
  EXPECT_EQ(VAL("5."), 5.0);
  EXPECT_EQ(VAL("-.25"), -0.25);
  EXPECT_EQ(VAL("20,"), 20.0);
  EXPECT_EQ(VAL("1.5e2"), 150.0);
  EXPECT_EQ(VAL("25D-1"), 2.5);
  EXPECT_EQ(VAL("25d-1"), 2.5);
  EXPECT_EQ(VAL("4E"), 4.0);
  EXPECT_EQ(VAL("4E+"), 4.0);
  EXPECT_EQ(VAL("0007"), 7.0);
  EXPECT_EQ(VAL("0.000"), 0.0);
  EXPECT_EQ(VAL("-7.301569E-008"), -7.301569e-8);
  EXPECT_EQ(static_cast<float>(VAL("0.6999999")), 0.6999999f);
  EXPECT_EQ(VAL("0.1"), 0.1);
  EXPECT_EQ(VAL("123456789012345678901234567890"), 1.2345678901234568e29);
}

// Plain decimals of up to 18 digits, with the point anywhere, round to the
// nearest double exactly as the C library's conversion does.
TEST(Val, PlainDecimalsRoundCorrectly) {
  std::mt19937_64 rng(13);
  for (int i = 0; i < 100000; ++i) {
    std::string text = std::to_string(rng() % 1000000000000000000ull);
    text.resize(1 + rng() % text.size());
    text.insert(rng() % (text.size() + 1), ".");
    if (rng() % 2) text.insert(0, "-");
    ASSERT_EQ(VAL(text), std::strtod(text.c_str(), nullptr)) << text;
  }
}

TEST(Val, NoNumberGivesZero) {
  for (const char* text : {"", " ", "-", "+", ".", "-.", "E5", "D5", "X1", "- 5", "\t5", "0x10",
                           "INF", "inf", "NAN", "nan", "&H10", "\r"}) {
    EXPECT_EQ(VAL(text), 0.0) << text;
  }
  EXPECT_EQ(VAL("1 2"), 1.0);
}

TEST(Val, SaturatesBeyondTheDoubleRange) {
  EXPECT_EQ(VAL("1D400"), DBL_MAX);
  EXPECT_EQ(VAL("-1e400"), -DBL_MAX);
  EXPECT_EQ(VAL("1e-400"), 0.0);
  EXPECT_EQ(VAL("1e30"), 1e30);
  EXPECT_EQ(VAL("-1e30"), -1e30);
  EXPECT_EQ(VAL("1e-310"), 1e-310);
  EXPECT_EQ(VAL("1.7976931348623157e308"), DBL_MAX);
  EXPECT_EQ(VAL("1e99999999999999999999999"), DBL_MAX);
  EXPECT_EQ(VAL("1e-99999999999999999999999"), 0.0);
  EXPECT_EQ(VAL("0.0000000000000000000000000000001e31"), 1.0);
}

TEST(Val, LongDigitStringsInLinearTime) {
  auto start = std::chrono::steady_clock::now();
  std::string ones(1 << 20, '1');
  EXPECT_EQ(VAL(ones), DBL_MAX);
  EXPECT_EQ(VAL("0." + ones), VAL("0.1111111111111111111111"));
  EXPECT_EQ(VAL("0." + std::string(1 << 20, '0') + "1"), 0.0);
  EXPECT_EQ(VAL(std::string(1 << 20, '0') + "1.5"), 1.5);
  EXPECT_EQ(VAL("1e" + ones), DBL_MAX);
  // A dropped non-zero digit far out still rounds the kept ones up.
  EXPECT_EQ(VAL("9007199254740993"), 9007199254740992.0);  // a tie, to even
  EXPECT_EQ(VAL("9007199254740993." + std::string(1000, '0') + "1"), 9007199254740994.0);
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(2));
}
