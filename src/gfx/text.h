// text.h - text in 8 x 8 cells on the graphics screen: PRINT, LOCATE,
// COLOR, CLS.
//
// print_run draws bytes at the text cursor of the open screen, obeying
// BEL, BS, TAB, LF and CR, wrapping at the right edge and scrolling the text
// view; text that exactly fills the bottom line defers its line feed until
// the next print (LOCATE cancels it). PRINT is the statement: the text, then
// CR LF unless a semicolon ends it. Without a graphics screen these act on
// the text console.
#pragma once

#include <cstdint>
#include <string_view>

#include "gfx/fonts.h"

void print_run(std::string_view bytes);
void PRINT(std::string_view text, bool line_end = true);

// row/column 1-based, 0 = omitted. Returns (row << 8) | column of the new
// position. An invalid row or column records error 1 (gfx_last_error) and
// moves nothing: the call is repeated with both omitted.
int LOCATE(int row, int column, int cursor = 0);
constexpr int kColorFgOmitted = 1, kColorBgOmitted = 2;
uint32_t COLOR(int foreground, int background, int flags);
constexpr uint32_t kClsNoArgument = 0xFFFF0000u;
void CLS(uint32_t mode = kClsNoArgument);

int text_cursor_column();  // 1-based
int text_cursor_row();     // 1-based
