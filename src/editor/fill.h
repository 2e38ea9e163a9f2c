// fill.h - the fill tool: "." fills the area under the cursor with the
// drawing colour, as one PAINT statement in the journal.
//
// The area is decided on the drawing as the saved program draws it (the
// journal redrawn on a cleared page, without the editor's frame and help
// line): the 4-connected pixels of the cursor's colour that hold the
// cursor. When every pixel touching the area has one colour B, the fill is
// PAINT at the cursor with the drawing colour up to B, which paints exactly
// the area; an area that nothing touches (it reaches only the screen's
// edges) is painted up to the drawing colour itself. An area that touches
// several colours, or already has the drawing colour, is refused with the
// beep: nothing is drawn or recorded.
#pragma once

#include <cstdint>

#include "editorstate/editor.h"

inline constexpr int kNoBorder = -1, kSeveralBorders = -2;

struct FillArea {
  int colour;  // of the area
  int border;  // the one colour touching it, kNoBorder or kSeveralBorders
};

// The area at (x, y) of a picture of width x height pixels of one byte
// each, rows `pitch` bytes apart. Stops looking once a second border
// colour turns up.
FillArea FindFillArea(const uint8_t* pixels, int pitch, int width, int height, int x, int y);

// "." with the fill tool. The main loop has erased the cursor; page 0 is the
// work and visible page on return, and page 1 equals it.
void FillAtCursor(Editor& ed);
