// The shape tools: line, box and filled box with their rubber band, the
// modal ellipse loop, placing text, and handing "." to the fill tool.
#include <algorithm>
#include <cstdlib>
#include <string>

#include "editor/editor_routines.h"
#include "editor/fill.h"
#include "gfx/draw.h"
#include "gfx/keyboard.h"
#include "gfx/keys.h"
#include "gfx/pages.h"
#include "gfx/screen.h"
#include "help/help.h"
#include "imageformat/format.h"
#include "imageformat/journal.h"
#include "runtime/files.h"
#include "strokefont/stroke_font.h"
#include "strokefont/text_state.h"
#include "texttool/text_tool.h"

namespace {

int LineKind(int tool) {
  return tool == kToolBox ? kLineBox : tool == kToolFilledBox ? kLineBoxFilled : kLineLine;
}

void DrawShape(const Editor& ed) {
  LINE(static_cast<float>(ed.StartX), static_cast<float>(ed.StartY), static_cast<float>(ed.CursorX),
       static_cast<float>(ed.CursorY), static_cast<uint32_t>(ed.DrawColor), LineKind(ed.Tool),
       0xFFFF, 0);
}

std::string ShapeStatement(const Editor& ed) {
  auto make = ed.Tool == kToolBox         ? BoxStatement
              : ed.Tool == kToolFilledBox ? FilledBoxStatement
                                          : LineStatement;
  return make(ed.StartX, ed.StartY, ed.CursorX, ed.CursorY, ed.DrawColor);
}

void DrawEllipse(const Editor& ed) {
  CIRCLE(static_cast<float>(ed.CursorX), static_cast<float>(ed.CursorY),
         static_cast<float>(ed.Radius), static_cast<uint32_t>(ed.DrawColor),
         RecordedAspect(ed.Aspect), 0, kFullTurn, 0, kCoordPoint);
}

// Ends a finished shape drawn on page 1. A recorded shape is copied over
// the picture; one whose journal line could not be written is dropped (the
// user has been told), so the picture never shows what the saved drawing
// would not redraw.
void EndShape(Editor& ed, bool recorded) {
  EndPageOneDrawing(recorded);
  ReadCursorColours(ed);
  ed.Saved = 0;
}

void FinishLineShape(Editor& ed) {
  ed.Stage = 0;
  DrawShape(ed);
  EndShape(ed, JournalAppend(ShapeStatement(ed)));
}

// Adds a step of 0.1 in double precision and rounds the sum to single.
float StepAspect(float aspect, double step) {
  return static_cast<float>(static_cast<double>(aspect) + step);
}

void ResetEllipse(Editor& ed) {
  ed.Radius = 1;
  ed.Aspect = 1.0f;
}

// The pointer sizes the ellipse by its distance across from the centre; the
// wheel steps the aspect as Up and Down do; a click, or a release away from
// the press that began the ellipse, ends it as "."; the right button is Esc.
// Returns the key the event stands for ("" for none).
std::string EllipsePointerKey(Editor& ed, const PointerEvent& p) {
  switch (p.kind) {
    case PointerKind::Move:
      ed.Radius = std::max(1, std::abs(p.x - ed.CursorX));
      return "";
    case PointerKind::Wheel:
      for (int i = 0; i < std::abs(p.y); ++i) {
        if (p.y > 0 && ed.Aspect > 0) ed.Aspect = StepAspect(ed.Aspect, -0.1);
        if (p.y < 0 && ed.Aspect < 15) ed.Aspect = StepAspect(ed.Aspect, 0.1);
      }
      return "";
    case PointerKind::Press:
      return ".";
    case PointerKind::Release:
    case PointerKind::DragRelease:
      return ed.PressX >= 0 && (p.x != ed.PressX || p.y != ed.PressY) ? "." : "";
    case PointerKind::RightPress:
      return kKeyEsc;
    default:
      return "";
  }
}

// The ellipse is centred on the cursor and sized here until "." or Esc.
void EllipseLoop(Editor& ed) {
  ShowScratchPage();
  for (;;) {
    PointerEvent pointer;
    std::string key = wait_input(pointer);
    if (pointer.kind != PointerKind::None) key = EllipsePointerKey(ed, pointer);
    if (key == kKeyF2) {
      QuickReference(ed);
    } else if (key == kKeyUp) {
      if (ed.Aspect > 0) ed.Aspect = StepAspect(ed.Aspect, -0.1);
    } else if (key == kKeyDown) {
      if (ed.Aspect < 15) ed.Aspect = StepAspect(ed.Aspect, 0.1);
    } else if (key == kKeyRight) {
      ed.Radius += 1;
    } else if (key == kKeyLeft) {
      if (ed.Radius > 1) ed.Radius -= 1;
    } else if (key == CtrlKey('X') || key == kKeyClose) {
      ExitRequest(ed);
      continue;  // the prompt returned: no redraw
    } else if (key == ".") {
      ed.Stage = 0;
      DrawEllipse(ed);
      EndShape(ed, JournalAppend(CircleStatement(ed.CursorX, ed.CursorY, ed.Radius, ed.DrawColor,
                                                 ed.Aspect)));
      ResetEllipse(ed);
      return;
    } else if (key == kKeyEsc || key == CtrlKey('Z')) {
      ed.Stage = 0;
      ShowPicture();
      ResetEllipse(ed);
      return;
    }
    WipeScratch();
    DrawEllipse(ed);
  }
}

void PlaceText(Editor& ed) {
  // When the block cannot be written now, the text's own lines bring it.
  if (ed.DprintWritten == 0 && JournalAppendLines(DprintBlockLines())) ed.DprintWritten = 1;
  TextState& t = text_state();
  t.wx = ed.CursorX;
  t.wy = ed.CursorY;
  TextTool(ed);
  ReadCursorColours(ed);
  ed.Saved = 0;
}

}  // namespace

void DrawPreview(const Editor& ed) {
  if (ed.Tool == kToolLine || ed.Tool == kToolBox || ed.Tool == kToolFilledBox) DrawShape(ed);
}

void DotKey(Editor& ed) {
  if (ed.Tool == kToolEllipse) {
    EllipseLoop(ed);
    return;
  }
  if (ed.Tool == kToolText) {
    PlaceText(ed);
    return;
  }
  if (ed.Tool == kToolFill) {
    FillAtCursor(ed);
    return;
  }
  ed.Stage += 1;
  if (ed.Stage == 1) {
    ed.StartX = ed.CursorX;
    ed.StartY = ed.CursorY;
    ShowScratchPage();
    return;
  }
  FinishLineShape(ed);
}
