// The one text state of the run.
#include "strokefont/text_state.h"

TextState& text_state() {
  static TextState state;
  return state;
}

void ResetTextPen() {
  TextState& t = text_state();
  t.Fcolor = 7;
  t.Bcolor = 0;
}
