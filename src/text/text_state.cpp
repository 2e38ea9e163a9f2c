// The one text state of the run.
#include "text/text_state.h"

TextState& text_state() {
  static TextState state;
  return state;
}
