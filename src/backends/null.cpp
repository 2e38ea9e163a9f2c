// The Null back-end: no window, no keys; drawing works on the pages alone.
#include "backends/backends.h"
#include "gfx/display_driver.h"

namespace {

int null_open(GfxScreen*, const char*, int, int, int, int, int) {
  return 0;
}
void null_lock() {}
void null_unlock() {}

}  // namespace

const DisplayDriver kNullDriver = {
    .name = "Null",
    .open = null_open,
    .close = nullptr,
    .lock = null_lock,
    .unlock = null_unlock,
    .set_palette_entry = nullptr,
    .wait_for_retrace = nullptr,
    .list_modes = nullptr,
    .on_empty_ring = nullptr,
    .wait_for_key = nullptr,
    .virtual_time = false,
    .only_by_name = true,
};
