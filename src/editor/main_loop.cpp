// The main loop: preview, cursor, one key or pointer event, and the key table.
#include <cstring>
#include <string>

#include "editor/editor_routines.h"
#include "editor/history.h"
#include "editor/pick.h"
#include "editor/main_loop_rule.h"
#include "gfx/keyboard.h"
#include "gfx/keys.h"
#include "gfx/pages.h"
#include "gfx/screen.h"
#include "help/help.h"
#include "imageformat/journal.h"
#include "screens/dialogs.h"
#include "screens/file_menu.h"
#include "texttool/colour_chooser.h"

namespace {

// After a modal screen: page 0 again, unless a shape's rubber band is being
// drawn on page 1.
void ShowPageZeroUnlessBanding(const Editor& ed) {
  if (ed.Stage == 0) ShowPicturePage();
}

// Acts on one key; keys not in the table do nothing.
void ActOnKey(Editor& ed) {
  const std::string& key = ed.Key;
  if (key == kKeyUp) {
    MoveCursor(ed, 0, -1);
  } else if (key == kKeyDown) {
    MoveCursor(ed, 0, 1);
  } else if (key == kKeyRight) {
    MoveCursor(ed, 1, 0);
  } else if (key == kKeyLeft) {
    MoveCursor(ed, -1, 0);
  } else if (key == CtrlKey('X') || key == kKeyClose) {
    ExitRequest(ed);
    ShowPageZeroUnlessBanding(ed);
  } else if (key == CtrlKey('L')) {
    ed.Tool = kToolLine;
  } else if (key == CtrlKey('R')) {
    ed.Tool = kToolBox;
  } else if (key == CtrlKey('C')) {
    ModalPages pages;
    ShowScratchPage();
    ChooseColor(ed);
    ShowPageZeroUnlessBanding(ed);
  } else if (key == kKeyEsc || (key == CtrlKey('Z') && ed.Stage == 1)) {
    // Ctrl-Z with a shape under way drops only the shape.
    ed.Stage = 0;
    ShowPicture();
  } else if (key == CtrlKey('E')) {
    ed.Tool = kToolEllipse;
  } else if (key == CtrlKey('F')) {
    ed.Tool = kToolFilledBox;
  } else if (key == CtrlKey('S')) {
    ed.Stage = 0;  // the menu drops a shape under way
    WipeScratch();
    DrawScratchUnseen();
    const MenuResult chosen = FileMenu(ed);
    if (chosen == MenuResult::NewImage) RecordNewImage(ed, NewImage);
    ShowPicturePage();
    ReadCursorColours(ed);
  } else if (key == CtrlKey('T') || key == CtrlKey('P')) {
    ed.Tool = key == CtrlKey('T') ? kToolText : kToolFill;
    ShowPicture();
    ed.Stage = 0;
  } else if (key == kKeyF2) {
    QuickReference(ed);
    ShowPageZeroUnlessBanding(ed);
  } else if (key == kKeyF1) {
    HelpPages(ed);
    ShowPageZeroUnlessBanding(ed);
  } else if (key == ".") {
    RecordAction(ed, DotKey);
  } else if (key == kKeyTab && ed.Stage == 0) {
    PickLoop(ed);
  } else if (key == CtrlKey('Z')) {
    UndoAction(ed);
  } else if (key == CtrlKey('Y')) {
    RedoAction(ed);
  }
}

bool IsLineTool(int tool) {
  return tool == kToolLine || tool == kToolBox || tool == kToolFilledBox;
}

// The pointer moves the cursor; the left button acts as ".", and its release
// after a drag ends a line, box or filled box there; the right button acts
// as Esc.
void ActOnPointer(Editor& ed, const PointerEvent& p) {
  switch (p.kind) {
    case PointerKind::Move:
      PlaceCursor(ed, p.x, p.y);
      return;
    case PointerKind::Press:
      PlaceCursor(ed, p.x, p.y);
      ed.PressX = ed.CursorX, ed.PressY = ed.CursorY;
      ed.Key = ".";
      break;
    case PointerKind::DragRelease:
      if (ed.Stage != 1 || !IsLineTool(ed.Tool)) return;
      PlaceCursor(ed, p.x, p.y);
      ed.Key = ".";
      break;
    case PointerKind::RightPress:
      ed.Key = kKeyEsc;
      break;
    default:
      return;
  }
  ActOnKey(ed);
}

// Another program removed or replaced image.img while the editor ran; the
// journal put it back (or could not) before its next write.
void TellOfRestoredJournal(const Editor& ed) {
  const JournalRestore news = JournalTakeRestore();
  if (!news.happened) return;
  const std::string how = news.kept.empty() ? "removed" : "replaced";
  if (news.error != 0) {
    MessageBox("                      * Warning *", "",
               "      Another program " + how + " image.img. KOV1 could",
               "      not put it back (" + std::string(std::strerror(news.error)) + ").",
               "      Nothing is lost while KOV1 runs: save your",
               "      drawing now with CTRL-S.");
  } else {
    MessageBox("                      * Warning *", "",
               "      Another program " + how + " image.img. KOV1 has",
               "      put your drawing back there, whole.",
               news.kept.empty() ? "" : "      What stood there is kept as " + news.kept + ".", "");
  }
  ShowPageZeroUnlessBanding(ed);
}

}  // namespace

void MainLoop(Editor& ed) {
  for (;;) {
    CheckMainLoopRule(ed);
    if (ed.Stage == 1) {
      WipeScratch();
      DrawPreview(ed);
    }
    DrawCursor(ed);
    ShowWindowTitle(ed);
    set_view_focus(ed.CursorX, ed.CursorY);
    PointerEvent pointer;
    ed.Key = wait_input(pointer);
    EraseCursor(ed);
    // A shape's rubber band keeps its pages through an error message.
    HeldPages held(ed.Stage == 1);
    if (pointer.kind != PointerKind::None) {
      ActOnPointer(ed, pointer);
    } else {
      ed.PressX = ed.PressY = -1;
      ActOnKey(ed);
    }
    TellOfRestoredJournal(ed);
  }
}
