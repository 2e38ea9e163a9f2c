// file_menu.h - the file menu: Save Image, Load Image, New Image.
#pragma once

#include "editorstate/editor.h"

void FileMenu(Editor& ed);
