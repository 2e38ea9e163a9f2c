// The window's title: the program's name, the drawing's name when there is
// one, and the cursor's position, as "kov1 — HOUSE.BAS — 123, 45". The
// runtime passes it on only when it differs from the title shown.
#include <string>

#include "editor/editor_routines.h"
#include "gfx/screen.h"
#include "runtime/cp437.h"

namespace {

constexpr const char* kDash = " \xE2\x80\x94 ";  // an em dash between blanks

}  // namespace

void ShowWindowTitle(const Editor& ed) {
  ShowWindowTitleWith(ed, cp437_to_utf8(ed.DrawingName));
}

void ShowWindowTitleWith(const Editor& ed, const std::string& utf8_middle) {
  std::string title = program_name() + kDash;
  if (!utf8_middle.empty()) title += utf8_middle + kDash;
  title += std::to_string(ed.CursorX) + ", " + std::to_string(ed.CursorY);
  set_window_title(title);
}
