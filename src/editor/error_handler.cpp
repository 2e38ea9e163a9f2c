// The program's error handler: failures of runtime operations arrive here
// with their error number. It shows a message, and the failed operation
// then counts as done without effect; the operation's result tells its
// caller that it failed. A file that may not be used, or is no plain file,
// gets a message that names it.
#include <string>

#include "editor/editor_routines.h"
#include "gfx/keyboard.h"
#include "gfx/keys.h"
#include "gfx/pages.h"
#include "gfx/screen.h"
#include "gfx/text.h"
#include "runtime/cp437.h"
#include "runtime/errors.h"
#include "runtime/sound.h"
#include "runtime/system.h"
#include "screens/dialogs.h"
#include "screens/load.h"

namespace {

constexpr const char* kErrorTitle = "                      * ERROR *";

struct Message {
  int number;
  const char* lines[4];
};

const Message kMessages[] = {
    {53,
     {"      You have tried to open a file that does not",
      "      exist. You may be looking in the wrong ",
      "      place or you may have misspelled the file's", "      name."}},
    {61,
     {"      You have tried to save a image on disk that",
      "      does not have room for it. You should save", "      your file on another disk.", ""}},
    {64,
     {"   The file name you entered is not allowed. Make",
      "   your file name no more than 8 letters long. Only",
      "   use letters & numbers. Do not use spaces. JOESFILE", "   is an ok name for a file."}},
    {67,
     {"      You have tried to put more files in a directory",
      "      than you are allowed to put in it. Try putting",
      "      your file in a different directory. (A directory",
      "      can also be called a folder.)"}},
    {71,
     {"      Please remember to put a disk into your floppy",
      "      disk drive before you use it, and don't", "      forget to close the drive door!",
      ""}},
    {76,
     {"      You may have mistyped something. you told us",
      "      to use a nonexistat directory. (A directory",
      "      is the same thing as a folder.) Try that", "      again please."}},
};

const char* const kCatchAll[11] = {
    "\xDA\xC4\xC4\xC4\xC4\xC4\xC4\xC4\xC4\xC4\xC4\xC4\xC4\xC4\xC4\xC4\xC4\xC4\xC4\xC4\xC4"
    "\xC4\xC4\xC4\xC4\xC4\xC4\xC4\xC4\xC4\xC4\xC4\xC4\xC4\xC4\xC4\xC4\xC4\xC4\xC4\xC4"
    "\xC4\xC4\xC4\xC4\xC4\xC4\xC4\xC4\xC4\xC4\xC4\xBF",
    "\xB3                     *ERROR*                       \xB3",
    "\xB3                                                   \xB3",
    "\xB3 This program has sucsesfully produced an error!   \xB3",
    "\xB3 This error is probaly not a common one or we      \xB3",
    "\xB3 would have a message for it. If KOV1 does this    \xB3",
    "\xB3 often contact Hollis Vantreck. If this program is \xB3",
    "\xB3 hopelessly crashing choose the EXIT option to     \xB3",
    "\xB3 shut it down.                                     \xB3",
    "\xB3       < Ignore >            < Exit >              \xB3",
    "\xC0\xC4\xC4\xC4\xC4\xC4\xC4\xC4\xC4\xC4\xC4\xC4\xC4\xC4\xC4\xC4\xC4\xC4\xC4\xC4\xC4"
    "\xC4\xC4\xC4\xC4\xC4\xC4\xC4\xC4\xC4\xC4\xC4\xC4\xC4\xC4\xC4\xC4\xC4\xC4\xC4\xC4"
    "\xC4\xC4\xC4\xC4\xC4\xC4\xC4\xC4\xC4\xC4\xC4\xD9",
};

void PrintAt(int row, int column, const std::string& text) {
  LOCATE(row, column);
  PRINT(text);
}

// The box for a failure without a message of its own: Ignore goes on,
// Exit ends the program at once (the journal stays).
void CatchAllBox() {
  ShowScratchPage();
  LOCATE(1, 0);
  for (const char* line : kCatchAll) PRINT(line);
  LOCATE(23, 0);
  PRINT("Use the arrow keys to change options and then press enter to accept your choice.");
  int choice = 1;
  LOCATE(10, 11, 1);
  for (;;) {
    const std::string key = wait_key();
    if (key == kKeyLeft) choice -= 1;
    if (key == kKeyRight) choice += 1;
    if (choice > 2) choice = 1;
    if (choice < 1) choice = 2;
    PrintAt(10, choice == 1 ? 10 : 32, choice == 1 ? "\x05" : "\x06");
    PrintAt(10, choice == 1 ? 32 : 10, " ");
    if (key == kKeyEnter) {
      if (choice == 2) {
        SCREEN(0, 0, 0, 0, 0);
        runtime_end(0);
      }
      return;
    }
  }
}

// Failures of a named file: what happened, the name, and what to do.
struct FileMessage {
  const char* what;
  const char* todo[2];
};

const FileMessage kNoPermission = {"      You are not allowed to use this file:",
                                   {"      Its owner has not given you the right to. Use",
                                    "      another file, or ask the owner to allow it."}};
const FileMessage kNoNewFile = {"      You are not allowed to make files in the folder",
                                {"      so nothing was saved, and no file changed. Save",
                                 "      your drawing in another folder."}};
const FileMessage kReadOnlyFile = {"      This file is on a disk that can only be read:",
                                   {"      Nothing was written to it. Save your drawing",
                                    "      on another disk or in another folder."}};
const FileMessage kReadOnlyFolder = {"      This folder is on a disk that can only be read:",
                                     {"      Nothing was written to it. Save your drawing",
                                      "      on another disk or in another folder."}};
const FileMessage kAFolder = {"      This name is a folder, not a file:",
                              {"      Type the name of a file instead; for a file in",
                               "      this folder, type the folder, a / and the name."}};
const FileMessage kNotAFile = {"      This name is a device or a pipe, not a file:",
                               {"      KOV1 reads and writes plain files only, and has",
                                "      left this one alone. Type the name of a file."}};
const FileMessage kInUse = {
    "      This file cannot be used just now:",
    {"      Another program may be using it. Try again, or", "      use another file."}};

const FileMessage& MessageFor(const ErrorSubject& s) {
  switch (s.fault) {
    case FileFault::NoPermission:
      return s.folder ? kNoNewFile : kNoPermission;
    case FileFault::ReadOnly:
      return s.folder ? kReadOnlyFolder : kReadOnlyFile;
    case FileFault::Folder:
      return kAFolder;
    case FileFault::NotAFile:
      return kNotAFile;
    default:
      return kInUse;
  }
}

// A file-system name as a message line shows it, indented like the other
// lines: in code page 437, control bytes as ?, and of a long name its end.
std::string NameLine(const std::string& name) {
  constexpr size_t kWidth = 50;
  std::string shown = controls_as_question_marks(utf8_to_cp437(name));
  if (shown.size() > kWidth) shown = "..." + shown.substr(shown.size() - (kWidth - 3));
  return "      " + shown;
}

void ShowFileMessage(const ErrorSubject& subject) {
  const FileMessage& m = MessageFor(subject);
  MessageBox(kErrorTitle, "", m.what, NameLine(subject.name), m.todo[0], m.todo[1]);
}

// A load writes the new journal before it replaces the old one; when the
// disk has no room for it, the load fails and the drawing stays.
void ShowLoadDiskFull() {
  MessageBox(kErrorTitle, "", "      The drawing could not be loaded: the disk has",
             "      no room for the editor's copy of it, image.img.",
             "      Your drawing on the screen was kept. Make room",
             "      on the disk, then load it again.");
}

void ShowErrorMessage(int number) {
  const ErrorSubject& subject = error_subject();
  if (number == kErrDiskFull && LoadRunning()) {
    ShowLoadDiskFull();
    return;
  }
  if ((number == kErrPermissionDenied || number == kErrPathFileAccess) && !subject.name.empty()) {
    ShowFileMessage(subject);
    return;
  }
  for (const Message& m : kMessages) {
    if (m.number == number) {
      MessageBox(kErrorTitle, "", m.lines[0], m.lines[1], m.lines[2], m.lines[3]);
      return;
    }
  }
  CatchAllBox();
}

// While the handler runs, a failure only sounds the beep.
void InnerHandler(int) {
  BEEP();
}

// Before the graphics screen is up (and after it is gone) nothing can be
// shown: the failure only reaches its caller.
void EditorErrorHandler(int number) {
  if (gfx_screen() == nullptr) return;
  set_error_handler(InnerHandler);
  ShowErrorMessage(number);
  PagesAfterMessage();
  set_error_handler(EditorErrorHandler);
}

}  // namespace

void InstallErrorHandler() {
  set_error_handler(EditorErrorHandler);
}
