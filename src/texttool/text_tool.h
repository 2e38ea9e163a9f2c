// text_tool.h - typing one line of text into the drawing at (wx, wy).
//
// The caller sets wx, wy to the cursor (the top-left corner of the first
// cell). The tool previews on page 1 (work and visible page) in DrawColor,
// one 7-pixel cell per character, reading one character at a time: an
// extended key is typed as its two characters. Letters are upper-cased and a
// double quote becomes "+". At most 110 characters, none starting right of
// x = 630; line feed, byte 26 (Ctrl-Z) and byte 0 are never typed, as they
// would cut the saved program. A refused character beeps and redraws the
// line. ENTER draws the text (without trailing blanks) into the picture and
// records it in the journal as five statements ending in "gosub Dprint";
// ESC abandons it; Ctrl-X asks to end the program. The tool ends on page 0
// with Fcolor 7.
#pragma once

#include "editorstate/editor.h"

void TextTool(Editor& ed);
