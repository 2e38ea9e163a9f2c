#include "editor/start_file.h"

#include <sys/stat.h>
#include <unistd.h>

#include "editor/editor_routines.h"
#include "editor/pictures_folder.h"
#include "gfx/pages.h"
#include "gfx/screen.h"
#include "imageformat/journal.h"
#include "runtime/cp437.h"
#include "screens/load.h"

namespace {

// The last part of a path, as the drawing's name.
std::string LastPart(const std::string& path) {
  const size_t slash = path.find_last_of('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

}  // namespace

StartFile EnterFileFolder(const CommandLine& line) {
  StartFile file;
  if (!line.has_file) {
    // The journal is the file, under no name: what start-up keeps of it is loaded.
    if (line.pictures && EnterPicturesFolder()) file = {true, "", true, true};
    return file;
  }
  file.given = true;
  file.name = line.file;
  const size_t slash = line.file.find_last_of('/');
  // "dir/" names no file in dir: it stays whole and fails as a folder.
  if (slash != std::string::npos && slash + 1 < line.file.size()) {
    const std::string folder = slash == 0 ? "/" : line.file.substr(0, slash);
    if (chdir(folder.c_str()) == 0) file.name = line.file.substr(slash + 1);
  }
  file.is_journal = IsJournal(file.name);
  return file;
}

void LoadStartFile(Editor& ed, const StartFile& file, const std::string& kept_journal) {
  // A journal with nothing drawn in it was not kept: there is nothing to resume.
  if (!file.given || (file.resume && kept_journal.empty())) return;
  const bool earlier = file.is_journal && !kept_journal.empty();
  const std::string& name = earlier ? kept_journal : file.name;
  // The "Loading..." box shows over the editor screen while page 0 is drawn.
  WipeScratch();
  ShowScratchPage();
  const bool loaded = LoadImage(ed, utf8_to_cp437(LastPart(file.name)), name);
  ShowPicture();
  if (earlier && loaded) unlink(kept_journal.c_str());
  if (earlier && !loaded) ShowKeptBox(kept_journal);
  ReadCursorColours(ed);
}
