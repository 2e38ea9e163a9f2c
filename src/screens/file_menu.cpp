// The file menu: Save Image, Load Image, New Image.
#include "screens/file_menu.h"

#include "gfx/draw.h"
#include "gfx/keyboard.h"
#include "gfx/keys.h"
#include "gfx/pages.h"
#include "gfx/screen.h"
#include "gfx/text.h"
#include "imageformat/journal.h"
#include "screens/dialogs.h"
#include "screens/editor_screen.h"
#include "screens/file_dialog.h"
#include "screens/prompt.h"
#include "strokefont/stroke_font.h"
#include "strokefont/text_state.h"

namespace {

const char* const kItems[3] = {"Save Image", "Load Image", "New Image "};
const char* const kHelp[3] = {
    "If you press ENTER now KOV1 will ask you to name your drawing, so it can save it on a disk.",
    "If you press ENTER now KOV1 will let you open a file you saved, so you can edit it.       ",
    "If you press ENTER now KOV1 will clear the screen so you can make a new image.            ",
};

void DrawMenu() {
  TextState& t = text_state();
  t.wx = 10, t.wy = 150;
  DrawStrokeText("Use the arrow keys to choose a command to do and then press enter to do it.");
  t.wx = 10;
  DrawStrokeText("Press then ESC key if you don't want to be using this menu.");
  DrawScratchUnseen();
  DrawBox(100, 100, 180, 140, 7, 0);
}

void DrawItems(int selection) {
  TextState& t = text_state();
  t.Fcolor = 0, t.Bcolor = 7;
  for (int i = 0; i < 3; ++i) {
    t.wx = 105, t.wy = 110 + 10 * i;
    DrawStrokeText(kItems[i]);
  }
  ShowScratchPage();
  ResetTextPen();
  t.wx = 105, t.wy = 100 + 10 * selection;
  DrawStrokeText(kItems[selection - 1]);
  t.wx = 1, t.wy = 195;
  DrawStrokeText(kHelp[selection - 1]);
}

// The item under a left click (1-3; its line across the menu), else 0.
int ClickedItem(const PointerEvent& p) {
  for (int i = 1; i <= 3; ++i) {
    if (clicked_in(p, 100, 98 + 10 * i, 180, 107 + 10 * i)) return i;
  }
  return 0;
}

}  // namespace

// The journal is replaced with its header alone, whole or not at all; when
// that fails the drawing stays. The next text writes the subroutine block
// again.
bool NewImage(Editor& ed) {
  TextPenScope pen;
  if (!JournalReplace(kJournalHeader)) return false;
  ed.DprintWritten = 0;
  ed.DrawingName.clear();
  ShowPicturePage();
  DrawEditorScreen(true);
  WipeScratch();
  return true;
}

MenuResult FileMenu(Editor& ed) {
  HeldPages held;  // an error message leaves the menu's pages
  TextPenScope pen;
  for (;;) {
    int selection = 1;
    DrawMenu();
    for (;;) {
      DrawItems(selection);
      PointerEvent pointer;
      std::string key = wait_input(pointer);
      // A click on an item chooses it as the arrows and ENTER do; the right
      // button is ESC.
      if (const int item = ClickedItem(pointer); item != 0) {
        selection = item;
        DrawItems(selection);
        key = kKeyEnter;
      } else if (pointer.kind == PointerKind::RightPress) {
        key = kKeyEsc;
      }
      if (key == kKeyUp) {
        selection = selection == 1 ? 3 : selection - 1;
      } else if (key == kKeyDown) {
        selection = selection == 3 ? 1 : selection + 1;
      } else if (key == kKeyEnter) {
        if (selection == 1) {
          FileNameDialog(ed, kDialogSave);
        } else if (selection == 2) {
          FileNameDialog(ed, kDialogLoad);
          WipeScratch();
        } else {
          return MenuResult::NewImage;
        }
        return MenuResult::Done;
      } else if (key == kKeyEsc) {
        WipeScratch();
        return MenuResult::Done;
      } else if (key == CtrlKey('X')) {
        ExitRequest(ed);
        break;  // drawn again from the start
      }
    }
  }
}
