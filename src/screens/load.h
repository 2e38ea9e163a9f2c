// load.h - loading a drawing: it is read, drawn, and made the new journal.
//
// LoadImage opens the named file before touching anything. The picture is
// drawn on page 0 while page 1 shows the dialog, and the new journal is
// written to a temporary file that replaces "image.img" only once the
// whole drawing has been read; when the file cannot be opened or read, the
// journal, the picture, the text state and Saved stay as they were (the
// error handler has shown why). On return the journal is open for appending.
#pragma once

#include <string>

#include "editorstate/editor.h"

// The temporary journal of a load under way.
inline constexpr const char* kLoadTempName = "image.img.load";

// True when the drawing was loaded. A name that was not typed (the command
// line's) is given as file_system_name, in the file system's own bytes;
// typed_name then only names the drawing.
bool LoadImage(Editor& ed, const std::string& typed_name, const std::string& file_system_name = "");

// Removes a temporary journal left by a load that never finished.
void RemoveStaleLoadFile();
