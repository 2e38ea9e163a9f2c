// pick.h - picking a drawn shape and changing it: move, recolour, delete.
//
// Tab in the main loop, with no shape under way, picks the action (line,
// box, filled box, ellipse, fill or text) that last wrote the pixel under
// the cursor in the journal's frameless redraw; Tab again the next earlier
// action that wrote it, round and round (an unkept change is put back
// first); nothing there: the plain beep. PickLoop runs until the pick
// ends. Page 1 is shown meanwhile: the journal redrawn with the change,
// later shapes and fills included, inside the frame; the changed shape
// outlined in black and white, so that it shows on every colour; and the
// cursor. The title shows the statement in the drawing name's place.
//
// Arrows move the shape one pixel with the cursor (refused with the beep
// when a coordinate would leave 0-639 x 0-199); Ctrl-C recolours it through
// the colour chooser (the drawing colour stays); Delete or Backspace
// removes it; "." or ENTER keeps the change: its lines rewritten in the
// journal in one atomic step, page 0 the new redraw, one action for undo,
// Saved 0. Esc puts it back; Ctrl-X puts it back and asks to exit. Other
// keys do nothing. Page 0 changes only when a change is kept.
#pragma once

#include "editorstate/editor.h"

void PickLoop(Editor& ed);
