// editor_routines.h - the routines of the editor core, called from the
// start-up, the main loop and the screens of the other subsystems.
//
// Cursor: a plus of five pixels drawn white over black and black over any
// other colour, erased by writing back the five saved colours. Shapes: "."
// starts and finishes a line, box or filled box (rubber band on page 1),
// runs the modal ellipse loop, or places text. Exit: EndEditor closes the
// files, leaves graphics and prints "Edit ended."; ExitRequest does that
// when nothing is unsaved and asks first otherwise.
#pragma once

#include <string>

#include "editor/editor.h"

void DrawCursor(Editor& ed);
void EraseCursor(Editor& ed);
void ReadCursorColours(Editor& ed);
void MoveCursor(Editor& ed, int dx, int dy);

void DrawPreview(const Editor& ed);
void DotKey(Editor& ed);

// Ends the program as on Ctrl-X with nothing unsaved; the journal stays.
[[noreturn]] void EndEditor();
// Ctrl-X: ends the program, asking first when there is unsaved work;
// returns when the user chose not to exit.
void ExitRequest(Editor& ed);

// Returns where an earlier journal was kept ("" when there was none).
std::string StartUp(Editor& ed);
[[noreturn]] void MainLoop(Editor& ed);

// The error handler, installed at start-up; it reaches the record given here.
void InstallErrorHandler(Editor& ed);

// The help line of the drawing screen ("help" or "Help").
void DrawEditorHelpLine(bool capital_help);
// Clears the work page and draws the help line and the border.
void DrawEditorScreen(bool capital_help);
