// editor_routines.h - the routines of the editor core, called from the
// start-up, the main loop and the screens of the other subsystems.
//
// Cursor: a plus of five pixels drawn white over black and black over any
// other colour, erased by writing back the five saved colours. Shapes: "."
// starts and finishes a line, box or filled box (rubber band on page 1),
// runs the modal ellipse loop, places text, or fills (editor/fill.h). The
// ways out (EndEditor, ExitRequest) and the drawing screen's frame sit with
// the screens that call them too (screens/prompt.h,
// screens/editor_screen.h).
#pragma once

#include <string>

#include "editorstate/editor.h"
#include "screens/editor_screen.h"
#include "screens/prompt.h"

void DrawCursor(Editor& ed);
void EraseCursor(Editor& ed);
void ReadCursorColours(Editor& ed);
void MoveCursor(Editor& ed, int dx, int dy);
// Puts the cursor on a picture pixel, held to the range the arrow keys keep.
void PlaceCursor(Editor& ed, int x, int y);

void DrawPreview(const Editor& ed);
void DotKey(Editor& ed);

// Returns where an earlier journal was kept ("" when there was none);
// opens_earlier: that drawing is opened next, so no box tells where it is.
std::string StartUp(Editor& ed, bool opens_earlier);
// The box that says where the earlier journal was kept, and how to load it.
void ShowKeptBox(const std::string& kept);
[[noreturn]] void MainLoop(Editor& ed);

// The error handler, installed at start-up. Its page restore follows the
// pages' holders (gfx/pages.h); a disk-full failure during a load gets a
// message of its own.
void InstallErrorHandler();

// Titles the window with the drawing's name and the cursor's position.
void ShowWindowTitle(const Editor& ed);
// The same with another text (UTF-8) in the drawing name's place.
void ShowWindowTitleWith(const Editor& ed, const std::string& utf8_middle);
