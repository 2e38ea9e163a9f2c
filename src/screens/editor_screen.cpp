// The drawing screen's frame: its help line and border.
#include "screens/editor_screen.h"

#include "gfx/draw.h"
#include "gfx/screen.h"
#include "gfx/text.h"
#include "strokefont/stroke_font.h"
#include "strokefont/text_state.h"

void DrawEditorHelpLine(bool capital_help) {
  TextState& t = text_state();
  t.wy = 195;
  t.wx = 1;
  DrawStrokeText(capital_help ? "Use the arrow keys to move the cursor & press . to start & end a "
                                "shape. Press F1 for Help."
                              : "Use the arrow keys to move the cursor & press . to start & end a "
                                "shape. Press F1 for help.");
}

void DrawEditorFrame(bool capital_help) {
  LINE(0, 194, 639, 199, 0, kLineBoxFilled, 0xFFFF, 0);
  DrawEditorHelpLine(capital_help);
  LINE(0, 0, 639, 193, 0, kLineBox, 0xFFFF, kColourOmitted);
}

void DrawEditorScreen(bool capital_help) {
  CLS();
  DrawEditorFrame(capital_help);
}
