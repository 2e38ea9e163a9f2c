// start_file.h - the drawing named on the command line.
//
// EnterFileFolder runs before start-up: it makes FILE's folder the current
// one, so the journal, the folder lock and the names typed in the file
// dialog belong there, as if the editor had been started in that folder.
// When that folder cannot be entered the editor stays where it is and FILE
// keeps its whole name, so its load fails as Load Image's would. It also
// notes whether FILE is that folder's journal, which start-up keeps aside
// as image.img.N before it starts a new one. Without FILE, --pictures
// makes KOV1 in the pictures folder the current folder
// (editor/pictures_folder.h), and its journal the FILE to resume, under no
// name: the drawing of the last start goes on.
//
// LoadStartFile runs after start-up and loads FILE through LoadImage, as
// Load Image does (journal, picture, DprintWritten, Saved); when FILE was
// the journal, the drawing start-up kept aside is loaded, and once it is in
// the new journal the copy kept aside is removed. A file that cannot be loaded gets Load Image's
// message, and the editor goes on with its empty drawing; an earlier journal it failed to open
// stays kept aside, and a box says so.
#pragma once

#include <string>

#include "editor/command_line.h"
#include "editorstate/editor.h"

struct StartFile {
  bool given = false;
  std::string name;  // from the current folder, in the file system's bytes
  bool is_journal = false;
  bool resume = false;  // the journal of the pictures folder; no FILE was given
};

StartFile EnterFileFolder(const CommandLine& line);
// kept_journal: where start-up put an earlier journal ("" when nowhere).
void LoadStartFile(Editor& ed, const StartFile& file, const std::string& kept_journal);
