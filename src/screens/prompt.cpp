// "Do you want to save it now?"
#include "screens/prompt.h"

#include "gfx/keyboard.h"
#include "gfx/keys.h"
#include "gfx/pages.h"
#include "gfx/screen.h"
#include "imageformat/journal.h"
#include "runtime/console.h"
#include "runtime/system.h"
#include "screens/dialogs.h"
#include "screens/file_dialog.h"
#include "strokefont/stroke_font.h"
#include "strokefont/text_state.h"

namespace {

enum : int { kYes = 1, kNo = 2, kDecline = 3 };

void DrawButtons(int mode, int choice) {
  TextState& t = text_state();
  t = {.wx = 110, .wy = 130, .Fcolor = 0, .Bcolor = 7};
  DrawStrokeText(mode == kPromptLoad ? "< Yes > < No > < Do not load >"
                                     : "< Yes > < No > < Do not exit >");
  ResetTextPen();
  t.wy = 130;
  const char* decline = mode == kPromptLoad ? "< Do not load >" : "< Do not exit >";
  const int x[4] = {0, 110, 166, 215};
  t.wx = x[choice];
  DrawStrokeText(choice == kYes ? "< Yes >" : choice == kNo ? "< No >" : decline);
  ShowScratchPage();
}

void DrawPrompt() {
  DrawBox(100, 100, 330, 150, 7, 0);
  TextState& t = text_state();
  t = {.wx = 105, .wy = 105, .Fcolor = 0, .Bcolor = 7};
  DrawStrokeText("You have not saved your file.");
  t.wx = 105;
  DrawStrokeText("Do you want to save it now?");
}

// Both ending paths of the prompt delete the journal.
[[noreturn]] void EndDiscardingJournal() {
  JournalDelete();
  EndEditor();
}

void Decline(int& mode) {
  WipeScratch();
  mode = kPromptDeclined;
}

// The button under a left click (kYes, kNo, kDecline), else 0.
int ClickedButton(const PointerEvent& p) {
  if (clicked_in(p, 110, 128, 158, 137)) return kYes;
  if (clicked_in(p, 166, 128, 207, 137)) return kNo;
  if (clicked_in(p, 215, 128, 319, 137)) return kDecline;
  return 0;
}

}  // namespace

void UnsavedPrompt(Editor& ed, int& mode) {
  DrawScratchUnseen();
  int choice = kYes;
  DrawHelpLine(
      "Use the arrow keys to select your answer and press enter when it is highlighted.          ");
  DrawPrompt();
  for (;;) {
    DrawButtons(mode, choice);
    PointerEvent pointer;
    std::string key = wait_input(pointer);
    // A click on a button chooses it as the arrows and ENTER do; the right
    // button is ESC.
    if (const int button = ClickedButton(pointer); button != 0) {
      choice = button;
      DrawButtons(mode, choice);
      key = kKeyEnter;
    } else if (pointer.kind == PointerKind::RightPress) {
      key = kKeyEsc;
    }
    if (key == kKeyRight) {
      if (choice < 3) choice += 1;
    } else if (key == kKeyLeft) {
      if (choice > 1) choice -= 1;
    } else if (key == kKeyEnter && choice == kYes) {
      FileNameDialog(ed, kDialogSave);
      // Nothing was saved (ESC, or the save failed): the work is kept, and
      // the pages are left as every other return leaves them, whatever
      // the dialog chose.
      if (ed.Saved == 0) {
        ShowScratchPage();
        return Decline(mode);
      }
      // Here and after No, a load goes on and puts the pages back itself.
      if (mode == kPromptLoad) return;
      EndDiscardingJournal();
    } else if (key == kKeyEnter && choice == kNo) {
      if (mode == kPromptLoad) return;
      EndDiscardingJournal();
    } else if (key == kKeyEnter) {
      return Decline(mode);
    } else if (key == kKeyEsc) {
      // ESC cancels: no load, no exit.
      if (mode == kPromptLoad) return Decline(mode);
      WipeScratch();
      return;
    }
  }
}
