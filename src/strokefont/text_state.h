// text_state.h - the stroke-font text state shared by everything that draws
// text: the position of the next character cell and the colours.
//
// wx, wy: top-left corner of the next character cell; Fcolor: glyph colour;
// Bcolor: colour each cell is cleared to. The names are those of the
// variables of the generated text subroutine, which play the same roles in
// a saved program.
#pragma once

struct TextState {
  int wx = 1, wy = 195;
  int Fcolor = 7, Bcolor = 0;
};

TextState& text_state();

// The pen between screens: grey (7) on black (0). A screen sets it before
// it draws in those colours.
void ResetTextPen();

// Puts the text state back as it found it (position and colours) on every
// way out of a scope, so that a screen, a fill or a load leaves the pen of
// whoever called it.
struct TextPenScope {
  TextPenScope() : found(text_state()) {}
  TextPenScope(const TextPenScope&) = delete;
  TextPenScope& operator=(const TextPenScope&) = delete;
  ~TextPenScope() { text_state() = found; }
  const TextState found;
};
