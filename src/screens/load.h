// load.h - loading a drawing: it is read, drawn, and made the new journal.
//
// LoadImage opens the named file before touching anything. The picture is
// drawn on page 0 while page 1 shows the dialog, and the new journal
// replaces the journal only once the whole drawing has been read; when the
// file cannot be opened or read, the journal, the picture, the text state
// and Saved stay as they were (the error handler has shown why).
#pragma once

#include <string>

#include "editorstate/editor.h"

// True when the drawing was loaded. A name that was not typed (the command
// line's) is given as file_system_name, in the file system's own bytes;
// typed_name then only names the drawing.
bool LoadImage(Editor& ed, const std::string& typed_name, const std::string& file_system_name = "");

// True while a drawing is read in: a failure then fails the load.
bool LoadRunning();
