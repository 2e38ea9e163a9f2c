// file_dialog.h - asking for a file name, and saving the journal under it.
//
// FileNameDialog draws its box in 8 x 8 text cells near the top of page 1
// and reads a name of up to 76 characters. In the save mode ENTER copies the
// journal line for line into the named file; a failure shows its message
// and starts the dialog over, leaving the named file as it was. In the
// load mode ENTER asks about unsaved work and loads the file.
#pragma once

#include <string>

#include "editorstate/editor.h"

enum : int { kDialogSave = 1, kDialogLoad = 2 };

void FileNameDialog(Editor& ed, int mode);

// Copies the journal into the typed name, through a temporary file that
// replaces the named one only when complete. False after a failure, whose
// message the error handler has shown; the named file is then as it was,
// and Saved is left as it was.
bool SaveJournalAs(Editor& ed, const std::string& typed);

// The file-system name of a typed name: trailing blanks removed, code page
// 437 letters as UTF-8. False (nothing converted) when the name holds a byte
// the file system must not see: below 32, 127 or 255.
bool FileSystemName(const std::string& typed, std::string* name);
