// The check of the main loop's rule, in builds that check invariants.
#include "editor/main_loop_rule.h"

#ifdef KOV1_CHECK_INVARIANTS

#include <cstdio>
#include <cstdlib>

#include "gfx/pages.h"
#include "strokefont/text_state.h"

namespace {

[[noreturn]] void Broken(const char* what) {
  std::fprintf(stderr, "kov1: back in the main loop, %s\n", what);
  std::abort();
}

}  // namespace

void CheckMainLoopRule(const Editor& ed) {
  if (ed.Stage != 0) return;
  if (!MainLoopPages()) Broken("the pages are not (0, 0) with page 1 equal to page 0");
  const TextState& t = text_state();
  if (t.Fcolor != 7 || t.Bcolor != 0) Broken("the text pen is not grey on black");
}

#endif
