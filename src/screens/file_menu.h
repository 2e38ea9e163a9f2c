// file_menu.h - the file menu: Save Image, Load Image, New Image.
//
// Drawn on page 1 over a copy of the picture; the menu holds the pages
// while it runs, so an error message leaves them as the menu chose them.
#pragma once

#include "editorstate/editor.h"

void FileMenu(Editor& ed);
