// file_menu.h - the file menu: Save Image, Load Image, New Image.
//
// FileMenu runs the menu and does Save Image and Load Image itself. New
// Image it leaves to its caller, which records it as an undoable action:
// NewImage clears the drawing, and is false (the drawing kept, the error
// handler having said why) when the journal could not be replaced.
//
// Drawn on page 1 over a copy of the picture; the menu holds the pages
// while it runs, so an error message leaves them as the menu chose them.
#pragma once

#include "editorstate/editor.h"

enum class MenuResult { Done, NewImage };

MenuResult FileMenu(Editor& ed);
bool NewImage(Editor& ed);
