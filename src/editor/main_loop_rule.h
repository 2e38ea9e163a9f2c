// main_loop_rule.h - the rule every way back to the main loop keeps.
//
// With no shape under way, the main loop starts each pass on its own pages
// (page 0 worked on and shown, page 1 equal to page 0) with the text pen at
// grey on black. A screen that breaks it leaks into the picture or into the
// next screen. Built with KOV1_CHECK_INVARIANTS (debug and sanitizer
// builds), a broken rule ends the program at once with a message saying
// which part; otherwise the check is nothing.
#pragma once

#include "editorstate/editor.h"

#ifdef KOV1_CHECK_INVARIANTS
void CheckMainLoopRule(const Editor& ed);
#else
inline void CheckMainLoopRule(const Editor&) {}
#endif
