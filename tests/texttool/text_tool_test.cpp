// The text tool's 110-position limit, which the editor's cursor never lets
// a text reach: keys are fed one at a time whenever the key ring runs empty.
#include "texttool/text_tool.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <fstream>
#include <sstream>
#include <string>

#include "editor/editor_routines.h"
#include "gfx/display_driver.h"
#include "gfx/keys.h"
#include "gfx/screen.h"
#include "gfx_test_util.h"
#include "imageformat/journal.h"
#include "runtime/errors.h"
#include "runtime/files.h"
#include "strokefont/stroke_font.h"
#include "strokefont/text_state.h"
#include "text_test_util.h"

namespace {

std::string g_keys;
size_t g_next = 0;

void feed_key() {
  if (g_next >= g_keys.size()) return;
  lock_screen();
  key_ring_write(gfx_screen()->keys, static_cast<uint8_t>(g_keys[g_next++]));
  unlock_screen_unflagged();
}

class TextToolTest : public Mode8TextTest {
 protected:
  void SetUp() override {
    Mode8TextTest::SetUp();
    null_driver_ = gfx_screen()->driver;
    feeding_driver_ = *null_driver_;
    feeding_driver_.on_empty_ring = feed_key;
    feeding_driver_.wait_for_key = [](int) {};  // the key is already there
    gfx_screen()->driver = &feeding_driver_;
    // One name per test process: ctest runs the tests of this file side by side.
    path_ = ::testing::TempDir() + "text_tool_journal_" + std::to_string(getpid()) + ".img";
    ASSERT_TRUE(JournalUse(path_, true));
  }
  void TearDown() override {
    JournalClose();
    file_delete(path_);
    gfx_screen()->driver = null_driver_;
    Mode8TextTest::TearDown();
  }
  std::string Journal() {
    JournalClose();
    std::ostringstream s;
    s << std::ifstream(path_, std::ios::binary).rdbuf();
    return s.str();
  }
  const DisplayDriver* null_driver_ = nullptr;
  DisplayDriver feeding_driver_;
  std::string path_;
};

}  // namespace

TEST_F(TextToolTest, HoldsAtMost110Characters) {
  Editor ed;
  ed.DrawColor = 12;
  ed.DprintWritten = 1;
  // Far left of the screen, so that the width never stops the text.
  text_state().wx = -800;
  text_state().wy = 20;
  std::string letters;
  for (int i = 0; i < 112; ++i) letters += static_cast<char>('a' + i % 26);
  g_keys = letters + kKeyEnter;
  g_next = 0;
  TextTool(ed);

  std::string kept;
  for (int i = 0; i < 110; ++i) kept += static_cast<char>('A' + i % 26);
  // The journal was empty: its header comes first.
  EXPECT_EQ(Journal(), std::string(kJournalHeader) + "PrintFlarp$ = \"" + kept +
                           "\"\r\nFcolor =  12\r\nwy =  20\r\nwx = -800\r\ngosub Dprint\r\n");
  EXPECT_EQ(text_state().Fcolor, 7);
  EXPECT_EQ(draw_context()->work_page, 0);
  EXPECT_EQ(gfx_screen()->visible_page, 0);
}

namespace {

int g_failures = 0;
void CountFailure(int) {
  ++g_failures;
}

}  // namespace

// A text or a shape whose journal lines cannot be written is reported once
// and left out of the picture; the subroutine block comes with the first
// text that is recorded, before it.
TEST_F(TextToolTest, WhatCannotBeRecordedIsNotKept) {
  ErrorHandler previous = set_error_handler(CountFailure);
  g_failures = 0;
  JournalClose();
  ASSERT_TRUE(JournalUse("/dev/full", false));
  Editor ed;
  text_state().wx = 20, text_state().wy = 20;
  g_keys = "AB" + kKeyEnter, g_next = 0;
  TextTool(ed);
  ed.CursorX = 40, ed.Tool = kToolBox;
  DotKey(ed);
  ed.CursorY = 60;
  DotKey(ed);
  EXPECT_EQ(g_failures, 2);
  EXPECT_EQ(ed.DprintWritten, 0);
  EXPECT_TRUE(LitPixels(0).empty());
  EXPECT_TRUE(LitPixels(1).empty());
  EXPECT_EQ(draw_context()->work_page, 0);
  EXPECT_EQ(gfx_screen()->visible_page, 0);

  JournalClose();
  ASSERT_TRUE(JournalUse(path_, true));
  text_state().wx = 20, text_state().wy = 20;
  g_keys = "C" + kKeyEnter, g_next = 0;
  TextTool(ed);
  set_error_handler(previous);
  std::string want(kJournalHeader);
  for (const std::string& line : DprintBlockLines()) want += line + "\r\n";
  want += "PrintFlarp$ = \"C\"\r\nFcolor =  7\r\nwy =  20\r\nwx =  20\r\ngosub Dprint\r\n";
  EXPECT_EQ(Journal(), want);
  EXPECT_EQ(ed.DprintWritten, 1);
  EXPECT_FALSE(LitPixels(0).empty());
}
