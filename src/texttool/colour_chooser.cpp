// The colour chooser: a panel of sixteen swatches and a frame moved over
// them with the arrow keys.
#include "texttool/colour_chooser.h"

#include <cstdint>
#include <string>

#include "gfx/draw.h"
#include "gfx/keyboard.h"
#include "gfx/keys.h"
#include "gfx/pages.h"
#include "gfx/screen.h"
#include "screens/dialogs.h"
#include "screens/prompt.h"
#include "strokefont/stroke_font.h"

namespace {

// Five blanks take the prompt to the right edge, over the help line.
constexpr const char* kPrompt =
    "Use the arrow keys to choose a color and press ENTER to draw with it or ESC to cancel.     ";

void ChooserBox(int x1, int y1, int x2, int y2, int colour, int kind) {
  LINE(static_cast<float>(x1), static_cast<float>(y1), static_cast<float>(x2),
       static_cast<float>(y2), static_cast<uint32_t>(colour), kind, 0xFFFF, kCoordAbsolute);
}

int SwatchX(int k) {
  return 10 + 20 * k;
}

void SelectionFrame(int k, int colour) {
  // The last frame is one pixel wider on the left.
  int left = k == 15 ? 308 : SwatchX(k) - 1;
  ChooserBox(left, 104, SwatchX(k) + 11, 116, colour, kLineBox);
}

// The swatch under a left click, else -1.
int ClickedSwatch(const PointerEvent& p) {
  for (int k = 0; k < 16; ++k) {
    if (clicked_in(p, SwatchX(k), 105, SwatchX(k) + 10, 115)) return k;
  }
  return -1;
}

// Reads a key without waiting until one comes; "" when a redraw was
// requested meanwhile (a key read at that moment is dropped). A click on a
// swatch chooses it (returned as ENTER, with the swatch in *swatch); the
// right button is ESC; other pointer events do nothing.
std::string WaitChooserKey(Editor& ed, int* swatch) {
  for (;;) {
    PointerEvent pointer;
    std::string key = read_input(pointer);
    *swatch = ClickedSwatch(pointer);
    if (*swatch >= 0) key = kKeyEnter;
    if (pointer.kind == PointerKind::RightPress) key = kKeyEsc;
    if (ed.RedrawRequest != 0) {
      ed.RedrawRequest = 0;
      return "";
    }
    if (!key.empty()) return key;
    wait_for_input_signal(-1);
  }
}

}  // namespace

void DrawColourChooser() {
  ShowScratchPage();
  DrawHelpLine(kPrompt);
  DrawShadow(10, 105, 330, 135, 0);
  ChooserBox(4, 99, 326, 131, 0, kLineBox);
  ChooserBox(5, 100, 325, 130, 7, kLineBoxFilled);
  for (int k = 0; k < 16; ++k) ChooserBox(SwatchX(k), 105, SwatchX(k) + 10, 115, k, kLineBoxFilled);
  for (int k = 0; k < 16; ++k) ChooserBox(SwatchX(k), 105, SwatchX(k) + 10, 115, 7, kLineBox);
}

void DrawColourSelection(int colour) {
  for (int k = 0; k < 16; ++k) SelectionFrame(k, 0);
  SelectionFrame(colour, 14);
}

void ChooseColor(Editor& ed) {
  const int entry_colour = ed.DrawColor;
  bool draw_picture = true;
  for (;;) {
    if (draw_picture) DrawColourChooser();
    draw_picture = false;
    DrawColourSelection(ed.DrawColor);

    int swatch = -1;
    const std::string key = WaitChooserKey(ed, &swatch);
    if (swatch >= 0) {
      // As the arrows would: the frame moves to the swatch, then ENTER.
      ed.DrawColor = swatch;
      DrawColourSelection(ed.DrawColor);
      return;
    }
    if (key.empty()) {
      draw_picture = true;
    } else if (key == kKeyRight) {
      ed.DrawColor = ed.DrawColor == 15 ? 0 : ed.DrawColor + 1;
    } else if (key == kKeyLeft) {
      ed.DrawColor = ed.DrawColor == 0 ? 15 : ed.DrawColor - 1;
    } else if (key == kKeyEnter) {
      return;
    } else if (key == CtrlKey('X')) {
      ExitRequest(ed);
      draw_picture = true;
    } else if (key == kKeyEsc) {
      ed.DrawColor = entry_colour;
      return;
    }
  }
}
