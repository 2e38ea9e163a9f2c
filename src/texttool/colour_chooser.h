// colour_chooser.h - choosing the drawing colour from the sixteen swatches.
//
// ChooseColor shows a grey panel with the 16 colours of the palette on page
// 1 (work and visible page) and a yellow frame round the swatch of DrawColor.
// The left and right arrows move the frame (wrapping round) and change
// DrawColor at once; ENTER keeps the framed colour, ESC puts back the colour
// on entry. A RedrawRequest found set while waiting for a key is cleared and
// the whole chooser drawn again. Ctrl-X asks to end the program. The caller
// restores its pages and copies page 0 over page 1 afterwards. Only wx and
// wy change besides DrawColor.
#pragma once

#include "editorstate/editor.h"

void ChooseColor(Editor& ed);

// The prompt, panel, swatches and outlines, on page 1 shown.
void DrawColourChooser();
// All selection frames cleared, then the frame of colour in yellow.
void DrawColourSelection(int colour);
