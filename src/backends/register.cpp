#include <initializer_list>

#include "backends/backends.h"
#include "gfx/display_driver.h"

// The back-ends in the order SCREEN asks them; Null and Script are marked
// only_by_name and are asked only when TRVGFX names them.
void register_standard_backends() {
  for (const DisplayDriver* d : {&kSdlDriver, &kNullDriver, &kScriptDriver})
    register_display_driver(d);
}
