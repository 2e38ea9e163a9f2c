// KOV1: a keyboard-driven drawing editor whose drawings are QuickBASIC
// programs.
#include "editor/editor_routines.h"
#include "gfx/backends/backends.h"

int main() {
  register_standard_backends();
  Editor ed;
  StartUp(ed);
  MainLoop(ed);
}
