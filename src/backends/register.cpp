#include "backends/backends.h"
#include "gfx/display_driver.h"

void register_standard_backends() {
  register_display_driver(&kSdlDriver, true);
  register_display_driver(&kNullDriver, false);
  register_display_driver(&kScriptDriver, false);
}
