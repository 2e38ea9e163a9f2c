// The fill tool: the area is found on the journal's own redraw, painted
// there, and the painted picture inside the frame shown on page 0.
#include "editor/fill.h"

#include <algorithm>
#include <string>
#include <utility>
#include <vector>

#include "editor/editor_routines.h"
#include "gfx/draw.h"
#include "gfx/pages.h"
#include "gfx/screen.h"
#include "imageformat/format.h"
#include "imageformat/journal.h"
#include "runtime/sound.h"
#include "strokefont/text_state.h"

FillArea FindFillArea(const uint8_t* pixels, int pitch, int width, int height, int x, int y) {
  auto row_at = [&](int row) {
    return pixels + static_cast<size_t>(row) * static_cast<size_t>(pitch);
  };
  const uint8_t colour = row_at(y)[x];
  FillArea area{colour, kNoBorder};
  // Notes a touching colour; false once there are two.
  auto touch = [&area](uint8_t c) {
    if (area.border == kNoBorder) area.border = c;
    if (area.border != c) area.border = kSeveralBorders;
    return area.border != kSeveralBorders;
  };
  std::vector<uint8_t> seen(static_cast<size_t>(width) * static_cast<size_t>(height));
  auto seen_at = [&](int sx, int sy) {
    return seen.begin() + static_cast<std::ptrdiff_t>(sy) * width + sx;
  };
  // Each seed is a pixel of the area; its whole run along the row is taken
  // at once, and the rows above and below are searched along the run.
  std::vector<std::pair<int, int>> seeds = {{x, y}};
  while (!seeds.empty()) {
    const auto [sx, sy] = seeds.back();
    seeds.pop_back();
    if (*seen_at(sx, sy)) continue;
    const uint8_t* row = row_at(sy);
    int x1 = sx, x2 = sx;
    while (x1 > 0 && row[x1 - 1] == colour) --x1;
    while (x2 < width - 1 && row[x2 + 1] == colour) ++x2;
    std::fill(seen_at(x1, sy), seen_at(x2 + 1, sy), uint8_t{1});
    if (x1 > 0 && !touch(row[x1 - 1])) return area;
    if (x2 < width - 1 && !touch(row[x2 + 1])) return area;
    for (const int ny : {sy - 1, sy + 1}) {
      if (ny < 0 || ny >= height) continue;
      const uint8_t* next = row_at(ny);
      for (int nx = x1; nx <= x2; ++nx) {
        if (next[nx] != colour) {
          if (!touch(next[nx])) return area;
        } else if ((nx == x1 || next[nx - 1] != colour) && !*seen_at(nx, ny)) {
          seeds.push_back({nx, ny});  // a run is seen whole or not at all
        }
      }
    }
  }
  return area;
}

namespace {

// Draws the journal on page 1 as a load draws it, on a cleared page from a
// fresh text pen, while page 0 stays shown; the pen is then as before. False
// when the journal could not be read (the error handler has told the user).
bool DrawJournalOnPageOne() {
  DrawScratchUnseen();
  // Cleared with a filled box rather than CLS, which would also move the
  // text cursor of the dialogs.
  LINE(0, 0, 639, 199, 0, kLineBoxFilled, 0xFFFF, 0);
  TextPenScope pen;
  text_state() = TextState{};
  return JournalDraw();
}

}  // namespace

void FillAtCursor(Editor& ed) {
  if (!DrawJournalOnPageOne()) {
    ShowPicture();
    return;
  }
  const GfxScreen* s = gfx_screen();  // mode 8: one byte a pixel
  const FillArea area =
      FindFillArea(s->pages[1], s->pitch, s->width, s->height, ed.CursorX, ed.CursorY);
  if (area.border == kSeveralBorders || area.colour == ed.DrawColor) {
    ShowPicture();
    BEEP();
    return;
  }
  const int border = area.border == kNoBorder ? ed.DrawColor : area.border;
  PAINT(static_cast<float>(ed.CursorX), static_cast<float>(ed.CursorY),
        static_cast<uint32_t>(ed.DrawColor), static_cast<uint32_t>(border), {}, 0, kCoordPoint);
  // A fill whose line cannot be written is dropped, so that the picture
  // never shows what the saved drawing would not redraw.
  const bool recorded = JournalAppend(PaintStatement(ed.CursorX, ed.CursorY, ed.DrawColor, border));
  if (recorded) copy_page_area(1, 0, 1, 1, 638, 192);
  ShowPicture();
  if (!recorded) return;
  ReadCursorColours(ed);
  ed.Saved = 0;
}
