// The cursor: five pixels drawn over the picture and erased by writing the
// saved colours back, so the picture itself is never redrawn.
#include "editor/editor_routines.h"
#include "gfx/draw.h"

namespace {

struct CursorPixel {
  int dx, dy;
  int Editor::*under;
};

// In the order up, down, right, left, centre.
constexpr CursorPixel kPixels[5] = {
    {0, -1, &Editor::UnderUp},   {0, 1, &Editor::UnderDown},   {1, 0, &Editor::UnderRight},
    {-1, 0, &Editor::UnderLeft}, {0, 0, &Editor::UnderCentre},
};

float PixelX(const Editor& ed, const CursorPixel& p) {
  return static_cast<float>(ed.CursorX + p.dx);
}
float PixelY(const Editor& ed, const CursorPixel& p) {
  return static_cast<float>(ed.CursorY + p.dy);
}

void ReadUnder(Editor& ed, int Editor::*under) {
  for (const CursorPixel& p : kPixels) {
    if (p.under == under) ed.*under = POINT(PixelX(ed, p), PixelY(ed, p));
  }
}

}  // namespace

// The saved colours are read from the page the cursor is drawn on, and so
// erased on: pages may have changed since they were last read (a shape
// begun or dropped, a dialog closed), and colours of another page written
// back would leave a preview or a stale cursor in the picture.
void DrawCursor(Editor& ed) {
  ReadCursorColours(ed);
  for (const CursorPixel& p : kPixels) {
    if (ed.*p.under == 0) {
      PSET(PixelX(ed, p), PixelY(ed, p), 0, kColourOmitted | kCoordPoint, 0);
    } else {
      PSET(PixelX(ed, p), PixelY(ed, p), 0, kCoordPoint, 0);
    }
  }
}

void EraseCursor(Editor& ed) {
  for (const CursorPixel& p : kPixels) {
    PSET(PixelX(ed, p), PixelY(ed, p), static_cast<uint32_t>(ed.*p.under), kCoordPoint, 0);
  }
}

void ReadCursorColours(Editor& ed) {
  for (const CursorPixel& p : kPixels) ReadUnder(ed, p.under);
}

// Moves one pixel; two saved colours are taken over from the old position
// and three read afresh.
void MoveCursor(Editor& ed, int dx, int dy) {
  if (dy < 0 && ed.CursorY > 1) {
    ed.CursorY -= 1;
    ed.UnderDown = ed.UnderCentre, ed.UnderCentre = ed.UnderUp;
    for (auto u : {&Editor::UnderUp, &Editor::UnderLeft, &Editor::UnderRight}) ReadUnder(ed, u);
  } else if (dy > 0 && ed.CursorY < 192) {
    ed.CursorY += 1;
    ed.UnderUp = ed.UnderCentre, ed.UnderCentre = ed.UnderDown;
    for (auto u : {&Editor::UnderDown, &Editor::UnderLeft, &Editor::UnderRight}) ReadUnder(ed, u);
  } else if (dx > 0 && ed.CursorX < 638) {
    ed.CursorX += 1;
    ed.UnderLeft = ed.UnderCentre, ed.UnderCentre = ed.UnderRight;
    for (auto u : {&Editor::UnderUp, &Editor::UnderDown, &Editor::UnderRight}) ReadUnder(ed, u);
  } else if (dx < 0 && ed.CursorX > 1) {
    ed.CursorX -= 1;
    ed.UnderRight = ed.UnderCentre, ed.UnderCentre = ed.UnderLeft;
    for (auto u : {&Editor::UnderUp, &Editor::UnderLeft, &Editor::UnderDown}) ReadUnder(ed, u);
  }
}
