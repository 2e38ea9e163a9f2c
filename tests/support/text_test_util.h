// A headless mode-8 screen with the stroke-font text state at its start
// values before and after each test, and a filled-box helper.
#pragma once

#include <cstdint>

#include "gfx/draw.h"
#include "gfx_test_util.h"
#include "strokefont/text_state.h"

class Mode8TextTest : public Mode8Test {
 protected:
  void SetUp() override {
    Mode8Test::SetUp();
    text_state() = TextState{};
  }
  void TearDown() override {
    text_state() = TextState{};
    Mode8Test::TearDown();
  }
};

inline void Fill(int x1, int y1, int x2, int y2, int colour) {
  LINE(static_cast<float>(x1), static_cast<float>(y1), static_cast<float>(x2),
       static_cast<float>(y2), static_cast<uint32_t>(colour), kLineBoxFilled, 0xFFFF, 0);
}
