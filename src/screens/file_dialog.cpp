// The file-name dialog and the save.
#include "screens/file_dialog.h"

#include <algorithm>

#include "gfx/draw.h"
#include "gfx/keyboard.h"
#include "gfx/keys.h"
#include "gfx/pages.h"
#include "gfx/screen.h"
#include "gfx/text.h"
#include "imageformat/journal.h"
#include "runtime/clock.h"
#include "runtime/cp437.h"
#include "runtime/errors.h"
#include "runtime/files.h"
#include "runtime/sound.h"
#include "screens/load.h"
#include "screens/prompt.h"
#include "screens/text_boxes.h"

namespace {

struct NameField {
  std::string name = std::string(80, ' ');
  int pos = 1;  // 1..77: where the next character goes
  int blink = 0;
};

void DrawDialog(int mode) {
  const std::string h = "\xC4";
  LOCATE(3, 0);
  if (mode == kDialogLoad) {
    PRINT("\xDA" + Repeat(h, 29) + "Load Image" + Repeat(h, 38) + "\xBF");
    PRINT("\xB3Type the name of the file you are loading and hit enter. Hit ESC to cancel.  \xB3");
  } else {
    PRINT("\xDA" + Repeat(h, 30) + "Save Image" + Repeat(h, 37) + "\xBF");
    PRINT("\xB3Type a name to save the image under and then hit enter. Hit ESC to cancel.   \xB3");
  }
  PRINT("\xB3\xDA" + Repeat(h, 75) + "\xBF\xB3");
  PRINT("\xB3\xB3" + std::string(75, ' ') + "\xB3\xB3");
  PRINT("\xB3\xC0" + Repeat(h, 75) + "\xD9\xB3");
  PRINT("\xC0" + Repeat(h, 77) + "\xD9");
}

// The input cursor: a line on pixel row 48, below the character at pos.
void DrawInputCursor(int pos, int colour) {
  LINE(static_cast<float>(8 * pos + 8), 48, static_cast<float>(8 * pos + 16), 48,
       static_cast<uint32_t>(colour), kLineLine, 0xFFFF, 0);
}

// Waits for a key with the input cursor blinking every 0.2 seconds. ""
// means a help page has just closed and the dialog must start over.
std::string WaitNameKey(Editor& ed, NameField& f) {
  double noted = TIMER();
  for (;;) {
    std::string key = INKEY();
    DrawInputCursor(f.pos, f.blink);
    if (TIMER() - noted > 0.2) {
      noted = TIMER();
      f.blink = f.blink == 7 ? 0 : 7;
    }
    if (ed.RedrawRequest == 1) {
      ed.RedrawRequest = 0;
      return "";
    }
    if (!key.empty()) return key;
    // Until the next blink, unless a key comes first.
    wait_for_key_signal(std::max(1, static_cast<int>((noted + 0.2 - TIMER()) * 1000) + 1));
  }
}

// Asks about unsaved work, then loads.
void Load(Editor& ed, const std::string& typed) {
  int answer = kPromptLoad;
  if (ed.Saved == 0) UnsavedPrompt(ed, answer);
  if (answer == kPromptDeclined) return;
  if (LoadImage(ed, typed)) BEEP();
}

// Acts on one key of the name field; true when the key ends the dialog.
enum class Step { Next, StartOver, Done };

Step ActOnNameKey(Editor& ed, int mode, NameField& f, const std::string& key) {
  if (key == kKeyBackspace) {
    DrawInputCursor(f.pos, 0);
    if (f.pos > 1) f.pos -= 1;
    LOCATE(6, f.pos + 2);
    PRINT(" ");
    f.name[f.pos - 1] = ' ';
  } else if (key == kKeyEsc) {
    ShowPicture();
    return Step::Done;
  } else if (key == kKeyEnter && mode == kDialogSave) {
    if (SaveJournalAs(ed, f.name)) return Step::Done;
    // Start over, drawn on page 1 whatever pages the error handler left.
    ShowScratchPage();
    return Step::StartOver;
  } else if (key == kKeyEnter) {
    Load(ed, f.name);
    return Step::Done;
  } else if (key == kKeyRight) {
    DrawInputCursor(f.pos, 0);
    if (f.pos > 76)
      PlayTone(1000, 0);
    else
      f.pos += 1;
  } else if (key == kKeyLeft) {
    DrawInputCursor(f.pos, 0);
    if (f.pos < 2)
      PlayTone(1000, 0);
    else
      f.pos -= 1;
  } else if (f.pos > 76) {
    PlayTone(1000, 0);
  } else {
    LOCATE(6, f.pos + 2);
    PRINT(key);
    f.name[f.pos - 1] = key[0];
    DrawInputCursor(f.pos, 0);
    f.pos += 1;
  }
  return Step::Next;
}

}  // namespace

bool SaveJournalAs(Editor& ed, const std::string& typed) {
  PrintSmallBox(4, "     Saving...    ");
  std::string path;
  if (!FileSystemName(typed, &path) || IsJournal(path)) {
    raise_error(kErrBadFileName);
    return false;
  }
  // The named file takes the copy only once all of it is on disk; until
  // then, and after any failure, it is as it was.
  if (!file_open(kUserFile, path, FileMode::Replace, FileBuffering::Buffered)) return false;
  if (!JournalCopyTo(kUserFile)) {
    file_close(kUserFile);
    return false;
  }
  if (!file_commit(kUserFile)) return false;
  BEEP();
  ed.Saved = 1;
  ed.DrawingName = trim_file_name(typed);
  WipeScratch();
  return true;
}

bool FileSystemName(const std::string& typed, std::string* name) {
  std::string trimmed = trim_file_name(typed);
  for (unsigned char c : trimmed) {
    if (c < 32 || c == 127 || c == 255) return false;
  }
  *name = cp437_to_utf8(trimmed);
  return true;
}

void FileNameDialog(Editor& ed, int mode) {
  for (;;) {
    NameField field;
    DrawDialog(mode);
    Step step = Step::Next;
    while (step == Step::Next) {
      std::string key = WaitNameKey(ed, field);
      step = key.empty() ? Step::StartOver : ActOnNameKey(ed, mode, field, key);
    }
    if (step == Step::Done) return;
  }
}
