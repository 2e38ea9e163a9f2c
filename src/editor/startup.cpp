// Start-up: the screen, the journal, the editor screen and the first boxes.
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>

#include "editor/editor_routines.h"
#include "editor/title.h"
#include "gfx/draw.h"
#include "gfx/keyboard.h"
#include "gfx/pages.h"
#include "gfx/screen.h"
#include "gfx/text.h"
#include "help/help.h"
#include "imageformat/journal.h"
#include "runtime/console.h"
#include "runtime/sound.h"
#include "runtime/system.h"
#include "screens/dialogs.h"
#include "strokefont/stroke_font.h"
#include "strokefont/text_state.h"

namespace {

const char* const kNoGraphicsBox[12] = {
    "\xDA\xC4\xC4\xC4\xC4\xC4\xC4\xC4\xC4\xC4\xC4\xC4\xC4\xC4\xC4\xC4\xC4\xC4\xC4\xC4\xC4"
    "\xC4\xC4\xC4\xC4\xC4\xC4\xC4\xC4\xC4\xC4\xC4\xC4\xC4\xC4\xBF",
    "\xB3                                  \xB3",
    "\xB3             *ERROR*              \xB3",
    "\xB3 This program requires graphics   \xB3",
    "\xB3 capability which your computer   \xB3",
    "\xB3 seems not to have. You should    \xB3",
    "\xB3 use a version of KOV1 that fits  \xB3",
    "\xB3 your computer's capability if    \xB3",
    "\xB3 such a version exists.           \xB3",
    "\xB3                                  \xB3",
    "\xB3  --Press any key to exit KOV1--  \xB3",
    "\xC0\xC4\xC4\xC4\xC4\xC4\xC4\xC4\xC4\xC4\xC4\xC4\xC4\xC4\xC4\xC4\xC4\xC4\xC4\xC4\xC4"
    "\xC4\xC4\xC4\xC4\xC4\xC4\xC4\xC4\xC4\xC4\xC4\xC4\xC4\xC4\xD9",
};

[[noreturn]] void NoGraphics() {
  BEEP();
  BEEP();
  console_clear();
  for (const char* line : kNoGraphicsBox) console_print_line(line);
  wait_key();
  runtime_end(0);
}

// Another editor drawing in this folder holds an exclusive lock on the
// folder itself; the lock is kept (the descriptor stays open) for the run.
bool LockFolder() {
  int fd = open(".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return true;
  if (flock(fd, LOCK_EX | LOCK_NB) == 0) return true;
  bool held = errno == EWOULDBLOCK;
  close(fd);
  return !held;
}

[[noreturn]] void RefuseSecondEditor() {
  MessageBox("                      * Warning *", "",
             "      Another KOV1 is already drawing in this",
             "      folder with its file image.img. Finish that",
             "      one first, or start KOV1 in another folder.", "");
  SCREEN(0, 0, 0, 0, 0);
  runtime_end(0);
}

// The folder as it fits on a line of a message box.
std::string ShortFolder(const std::string& folder) {
  constexpr size_t kRoom = 44;
  return folder.size() <= kRoom ? folder : "..." + folder.substr(folder.size() - (kRoom - 3));
}

// The journal cannot be set up: the folder is left as it is, the user is
// told which folder, why and what to do, and the run ends before anything
// can be drawn and lost.
[[noreturn]] void RefuseFolder(const char* problem, const std::string& folder,
                               const std::string& reason, const char* advice) {
  MessageBox("                      * Warning *", "", problem, "      " + ShortFolder(folder),
             "      (" + reason + ").", advice);
  SCREEN(0, 0, 0, 0, 0);
  runtime_end(0);
}

}  // namespace

void ShowKeptBox(const std::string& kept) {
  MessageBox("                  * Earlier drawing kept *", "",
             "      KOV1 found an image.img from an earlier run",
             "      in this folder and kept it as " + kept,
             "      so that no work is lost. Load it with CTRL-S", "      to go on drawing it.");
}

std::string StartUp(Editor& ed, bool opens_earlier) {
  runtime_init();
  InstallErrorHandler();
  if (SCREEN(8, 4, 2, 0, 0) != 0) NoGraphics();
  std::string folder = current_directory();
  ed.DriveLetter = folder.substr(0, 1);
  if (!LockFolder()) RefuseSecondEditor();
  const EarlierJournal earlier = KeepEarlierJournal();
  if (earlier.error != 0 || earlier.what != nullptr) {
    // A pipe or a device there is never opened: reading one could wait for ever.
    const std::string reason = earlier.what != nullptr
                                   ? "image.img is " + std::string(earlier.what) + ", not a file"
                                   : std::strerror(earlier.error);
    RefuseFolder("      KOV1 cannot keep the image.img of an earlier run in", folder, reason,
                 "      Move that file away, then start KOV1 again.");
  }
  if (!JournalWritable()) {
    RefuseFolder("      KOV1 cannot create its file image.img in", folder, std::strerror(errno),
                 "      Start KOV1 in a folder you may write into.");
  }
  const std::string& kept = earlier.kept;
  JournalStart();

  DrawPictureUnseen();
  DrawEditorScreen(false);
  ShowPicture();
  ShowTitle(ed);
  WelcomePage(ed);
  MessageBox("                      * Warning *", "",
             "      KOV1 has created a temporary file on the " + ed.DriveLetter,
             "      drive. If the disk in this drive can be",
             "      removed do not remove it or KOV1 will not", "      be able to find its file.");
  // An earlier drawing about to be opened needs no word on where it was kept.
  if (!kept.empty() && !opens_earlier) ShowKeptBox(kept);
  ShowPicturePage();
  return kept;
}
