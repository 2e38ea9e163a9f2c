// Placeholder: the SDL back-end is being written.
#include "gfx/backends/backends.h"
#include "gfx/display_driver.h"

namespace {
int sdl_open(GfxScreen*, const char*, int, int, int, int, int) { return 1; }
}  // namespace

const DisplayDriver kSdlDriver = {.name = "SDL", .open = sdl_open};
