// Placeholder: the Script back-end is being written.
#include "gfx/backends/backends.h"
#include "gfx/display_driver.h"

namespace {
int script_open(GfxScreen*, const char*, int, int, int, int, int) { return 1; }
}  // namespace

const DisplayDriver kScriptDriver = {.name = "Script", .open = script_open};
