// stroke_font.h - the 5 x 5 stroke font of the editor's texts, and the
// generated QuickBASIC subroutine block that draws it in a saved program.
//
// DrawStrokeGlyph draws one character's strokes at (x, y) in Fcolor (a
// string that is not exactly one of the 64 characters gets a small plus).
// DrawStrokeText upper-cases the caller's string, then draws it at (wx, wy):
// each cell (8 x 7 pixels) is cleared to Bcolor and its glyph drawn, 7
// pixels apart; afterwards wy moves down a row of 7 (back to 1 past 168)
// and wx to 1. DprintBlockLines is the 328-line block (Dprint and Abc),
// which draws exactly what DrawStrokeText draws; it goes into the journal
// with one write, so that a reader never meets a block that is not closed.
#pragma once

#include <string>
#include <string_view>
#include <vector>

void DrawStrokeGlyph(std::string_view character, int x, int y);
void DrawStrokeText(std::string& text);
// For texts that are not variables of the caller.
void DrawStrokeText(const char* text);

// The lines of the generated block, without line ends.
const std::vector<std::string>& DprintBlockLines();
