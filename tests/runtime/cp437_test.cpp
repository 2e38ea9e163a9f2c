#include "runtime/cp437.h"

#include <gtest/gtest.h>

namespace {

TEST(Cp437, ConvertsToUtf8AndKeepsControlBytes) {
  EXPECT_EQ(cp437_to_utf8("\xDA\xC4\xBF"), "\xE2\x94\x8C\xE2\x94\x80\xE2\x94\x90");  // ┌─┐
  EXPECT_EQ(cp437_to_utf8("caf\x82 \xEC"), "caf\xC3\xA9 \xE2\x88\x9E");              // café ∞
  EXPECT_EQ(cp437_to_utf8("\xFF\xE1"), "\xC2\xA0\xC3\x9F");                          // nbsp ß
  EXPECT_EQ(cp437_to_utf8(std::string("a\r\n\x05\x7F\0", 6)), std::string("a\r\n\x05\x7F\0", 6));
  EXPECT_EQ(cp437_to_unicode(0x01), 0x263Au);  // ☺
  EXPECT_EQ(cp437_to_unicode(0x1F), 0x25BCu);  // ▼
  EXPECT_EQ(cp437_to_unicode(0x7F), 0x2302u);  // ⌂
  EXPECT_EQ(cp437_to_unicode(0x00), 0u);
}

TEST(Cp437, ConvertsTypedUtf8) {
  EXPECT_EQ(utf8_to_cp437("\xE2\x94\x8C\xE2\x94\x80 \xC3\xA9\xE2\x88\x9E"), "\xDA\xC4 \x82\xEC");
  EXPECT_EQ(utf8_to_cp437("\xE2\x82\xAC"), "?");        // € has no byte
  EXPECT_EQ(utf8_to_cp437("\xF0\x9F\x98\x80x"), "?x");  // neither has an emoji
  EXPECT_EQ(utf8_to_cp437("\xCE\xB2"), "\xE1");         // β typed for ß
  EXPECT_EQ(unicode_to_cp437(0x263A), 0x01);
}

TEST(Cp437, InvalidUtf8BecomesQuestionMarks) {
  EXPECT_EQ(utf8_to_cp437(std::string("a\xFF") + "b"), "a?b");
  EXPECT_EQ(utf8_to_cp437(std::string("\xE2\x94") + "a"), "?a");  // cut short
  EXPECT_EQ(utf8_to_cp437("\xC0\xAF"), "??");                     // overlong
  EXPECT_EQ(utf8_to_cp437("\xED\xA0\x80"), "???");                // surrogate
  EXPECT_EQ(utf8_to_cp437("\x80\xE9"), "??");  // stray continuation, Latin-1 byte
}

TEST(Cp437, EveryByteSurvivesTheRoundTrip) {
  for (int b = 0; b < 256; ++b) {
    const auto byte = static_cast<uint8_t>(b);
    EXPECT_EQ(unicode_to_cp437(cp437_to_unicode(byte)), byte) << b;
    const std::string one(1, static_cast<char>(byte));
    EXPECT_EQ(utf8_to_cp437(cp437_to_utf8(one)), one) << b;
  }
}

}  // namespace
