// Picking: the owner map finds the shape, its lines are rewritten for each
// change and the journal redrawn with them on page 1; keeping puts the new
// lines in the journal and the redraw on page 0.
#include "editor/pick.h"

#include <string>
#include <vector>

#include "editor/editor_routines.h"
#include "editor/history.h"
#include "gfx/keyboard.h"
#include "gfx/keys.h"
#include "gfx/pages.h"
#include "gfx/screen.h"
#include "imageformat/journal.h"
#include "imageformat/owners.h"
#include "imageformat/statement_edit.h"
#include "runtime/cp437.h"
#include "runtime/sound.h"
#include "strokefont/text_state.h"
#include "texttool/colour_chooser.h"

namespace {

struct Pick {
  Scene scene;
  int probe_x = 0, probe_y = 0;
  size_t depth = 0;  // 0: the last writer of the probe pixel
  size_t action = 0;
  Statement was, now;
  bool deleted = false;
  std::vector<std::string> old_lines, lines;  // the action's lines, and as changed
  PageCopy shown;                             // page 1 without outline and cursor
  std::vector<uint8_t> mark;                  // the pixels the changed shape wrote
  // A drag of the shape with the left button: where it began, and the
  // shape then; dragging is false while no drag is under way.
  bool dragging = false;
  int drag_x = 0, drag_y = 0;
  Statement drag_start;
};

void Choose(Pick& p) {
  const std::vector<int>& w = p.scene.writers;
  p.action = static_cast<size_t>(w[w.size() - 1 - p.depth]);
  const DrawnAction& a = p.scene.actions[p.action];
  p.was = a.shape;
  p.now = ResolvedFill(a.shape);
  p.deleted = false;
  p.dragging = false;
  p.old_lines.clear();
  for (size_t i = a.first; i < a.first + a.count; ++i) {
    p.old_lines.emplace_back(SceneLine(p.scene, i));
  }
  p.lines = p.old_lines;
}

bool Changed(const Pick& p) {
  return p.deleted || p.lines != p.old_lines;
}

// Pixels next to the shape's and not its own, inside the frame, in black
// and white by turns.
void DrawOutline(const std::vector<uint8_t>& mark) {
  DrawContext* c = draw_context();
  auto at = [&mark](int x, int y) { return mark[static_cast<size_t>(y * 640 + x)] != 0; };
  for (int y = 1; y <= 192; ++y) {
    for (int x = 1; x <= 638; ++x) {
      if (at(x, y) || !(at(x - 1, y) || at(x + 1, y) || at(x, y - 1) || at(x, y + 1))) continue;
      c->rows[static_cast<size_t>(y)][x] = (x + y) % 2 ? 15 : 0;
    }
  }
}

void Show(Editor& ed, Pick& p) {
  const TextState pen = text_state();
  lock_screen();
  ShowScratchPage();
  RedrawChanged(p.scene, p.action, p.deleted ? std::vector<std::string>{} : p.lines, &p.mark);
  // The frame and the help line stay as page 0 has them.
  copy_page_area(0, 1, 0, 0, 639, 0);
  copy_page_area(0, 1, 0, 193, 639, 199);
  copy_page_area(0, 1, 0, 1, 0, 192);
  copy_page_area(0, 1, 639, 1, 639, 192);
  p.shown = copy_page_out(1);
  DrawOutline(p.mark);
  unlock_screen(0, 199);
  text_state() = pen;
  DrawCursor(ed);
  const std::string statement = TidyStatement(p.deleted ? p.old_lines : p.lines);
  ShowWindowTitleWith(ed, cp437_to_utf8((p.deleted ? "(deleted) " : "") + statement));
}

// Moves the shape to `moved`; false (nothing changed) when a coordinate
// would leave the screen.
bool MoveTo(Pick& p, const Statement& moved) {
  if (p.deleted || !OnScreen(moved)) return false;
  p.now = moved;
  p.lines = EditActionLines(p.old_lines, p.was, p.now);
  return true;
}

void Move(Editor& ed, Pick& p, int dx, int dy) {
  if (p.deleted) return;
  if (!MoveTo(p, Moved(p.now, dx, dy))) {
    BEEP();
    return;
  }
  MoveCursor(ed, dx, dy);
}

void Recolour(Editor& ed, Pick& p) {
  if (p.deleted) return;
  const int drawing_colour = ed.DrawColor;
  ed.DrawColor = p.now.colour & 15;
  {
    ModalPages pages;
    ShowScratchPage();
    ChooseColor(ed);
  }
  const int colour = ed.DrawColor;
  ed.DrawColor = drawing_colour;
  p.now = Recoloured(p.now, colour);
  p.lines = EditActionLines(p.old_lines, p.was, p.now);
}

std::string Joined(const std::vector<std::string>& lines) {
  std::string bytes;
  for (const std::string& line : lines) bytes.append(line).append("\r\n");
  return bytes;
}

// Puts the change in the journal and its redraw on page 0.
void Keep(Editor& ed, Pick& p) {
  if (!Changed(p)) return;
  const DrawnAction& a = p.scene.actions[p.action];
  const size_t offset = ActionOffset(p.scene, a);
  std::string old = p.scene.bytes.substr(offset, ActionLength(p.scene, a));
  std::string now = p.deleted ? std::string() : Joined(p.lines);
  const PageCopy before = copy_page_out(0);
  if (!PrepareEdit(ed) ||
      !JournalReplace(static_cast<long long>(offset), static_cast<long long>(old.size()), now)) {
    return;
  }
  copy_page_in(1, p.shown);
  copy_page_area(1, 0, 1, 1, 638, 192);
  RecordEdit(ed, static_cast<long long>(offset), std::move(old), std::move(now), before.pixels);
  ed.Saved = 0;
}

// Draws the journal on page 1 with page 0 shown, learning who wrote the
// cursor's pixel. False (with page 1 wiped) when nothing did.
bool Build(Editor& ed, Pick& p) {
  const TextState pen = text_state();
  DrawScratchUnseen();
  const bool read = BuildScene(&p.scene, ed.CursorX, ed.CursorY);
  text_state() = pen;
  ShowPicture();
  if (!read || p.scene.writers.empty()) return false;
  p.probe_x = ed.CursorX, p.probe_y = ed.CursorY;
  Choose(p);
  return true;
}

// The left button pressed on the shape starts a drag, and the shape
// follows the pointer until the button comes up; pressed elsewhere it
// keeps the change. The right button puts the shape back. True when the
// pick ends.
bool ActOnPointer(Editor& ed, Pick& p, const PointerEvent& e) {
  const bool on_screen = e.x >= 0 && e.x <= 639 && e.y >= 0 && e.y <= 199;
  switch (e.kind) {
    case PointerKind::Press:
      if (!p.deleted && on_screen && p.mark[static_cast<size_t>(e.y * 640 + e.x)] != 0) {
        p.dragging = true;
        p.drag_x = e.x, p.drag_y = e.y, p.drag_start = p.now;
        PlaceCursor(ed, e.x, e.y);
        return false;
      }
      Keep(ed, p);
      return true;
    case PointerKind::Move:
      if (p.dragging && MoveTo(p, Moved(p.drag_start, e.x - p.drag_x, e.y - p.drag_y))) {
        PlaceCursor(ed, e.x, e.y);
      }
      return false;
    case PointerKind::Release:
    case PointerKind::DragRelease:
      p.dragging = false;
      return false;
    case PointerKind::RightPress:
      return true;
    default:
      return false;
  }
}

}  // namespace

void PickLoop(Editor& ed) {
  Pick p;
  if (!Build(ed, p)) {
    BEEP();
    return;
  }
  for (;;) {
    Show(ed, p);
    PointerEvent pointer;
    const std::string key = wait_input(pointer);
    if (pointer.kind != PointerKind::None) {
      if (ActOnPointer(ed, p, pointer)) break;
    } else if (key == kKeyUp) {
      Move(ed, p, 0, -1);
    } else if (key == kKeyDown) {
      Move(ed, p, 0, 1);
    } else if (key == kKeyLeft) {
      Move(ed, p, -1, 0);
    } else if (key == kKeyRight) {
      Move(ed, p, 1, 0);
    } else if (key == CtrlKey('C')) {
      Recolour(ed, p);
    } else if (key == kKeyDelete || key == kKeyBackspace) {
      p.deleted = true;
    } else if (key == "." || key == kKeyEnter) {
      Keep(ed, p);
      break;
    } else if (key == kKeyEsc) {
      break;
    } else if (key == CtrlKey('X') || key == kKeyClose) {
      ShowPicture();
      ExitRequest(ed);
      break;
    } else if (key == kKeyTab) {
      p.depth = (p.depth + 1) % p.scene.writers.size();
      ed.CursorX = p.probe_x, ed.CursorY = p.probe_y;
      Choose(p);
    }
  }
  ShowPicture();
  ReadCursorColours(ed);
}
