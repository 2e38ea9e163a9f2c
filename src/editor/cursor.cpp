// The cursor: five pixels drawn over the picture and erased by writing the
// saved colours back, so the picture itself is never redrawn.
#include <algorithm>

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
  for (const CursorPixel& p : kPixels) ed.*p.under = POINT(PixelX(ed, p), PixelY(ed, p));
}

// Moves one pixel within 1..638 and 1..192; the colours under the cursor
// are read when it is next drawn.
void MoveCursor(Editor& ed, int dx, int dy) {
  PlaceCursor(ed, ed.CursorX + dx, ed.CursorY + dy);
}

void PlaceCursor(Editor& ed, int x, int y) {
  ed.CursorX = std::clamp(x, 1, 638);
  ed.CursorY = std::clamp(y, 1, 192);
}
