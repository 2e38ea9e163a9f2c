// Choosing a display back-end for SCREEN.
//
// The registered back-ends form one table, asked in order; each may decline
// by failing its open. TRVGFX names the back-end to ask first (compared
// without regard to case). A back-end marked only_by_name is asked only
// when named, and then alone: "null" gives the Null back-end and nothing
// else, "script" the Script back-end, which never falls back. Flags -1 give
// the Null back-end directly. Otherwise the named back-end and then every
// other one is asked, each with the requested refresh rate and then with 0;
// when none opens, all are asked again with the full-screen bit inverted.
#include <strings.h>

#include <cstdlib>
#include <vector>

#include "gfx/display_driver.h"
#include "gfx/screen.h"

namespace {

std::vector<const DisplayDriver*>& registry() {
  static std::vector<const DisplayDriver*> table;
  return table;
}

const DisplayDriver* find_driver(const char* name) {
  for (const DisplayDriver* d : registry()) {
    if (strcasecmp(d->name, name) == 0) return d;
  }
  return nullptr;
}

bool try_open(const DisplayDriver* d, GfxScreen* s, const char* title, int flags, int refresh) {
  int presented = s->height * s->scanline_size;
  if (d->open(s, title, s->width, presented, s->depth, refresh, flags) == 0) return true;
  if (d->close) d->close();
  if (refresh == 0) return false;
  if (d->open(s, title, s->width, presented, s->depth, 0, flags) == 0) return true;
  if (d->close) d->close();
  return false;
}

const DisplayDriver* try_all(GfxScreen* s, const char* title, int flags, int refresh) {
  for (const DisplayDriver* d : registry()) {
    if (!d->only_by_name && try_open(d, s, title, flags, refresh)) return d;
  }
  return nullptr;
}

const DisplayDriver* open_alone(const DisplayDriver* d, GfxScreen* s, const char* title, int flags,
                                int refresh) {
  return d && try_open(d, s, title, flags, refresh) ? d : nullptr;
}

}  // namespace

void register_display_driver(const DisplayDriver* driver) {
  if (!find_driver(driver->name)) registry().push_back(driver);
}

const DisplayDriver* open_display_driver(GfxScreen* s, const char* title, int flags, int refresh) {
  if (flags == -1) return open_alone(find_driver(kNullDriverName), s, title, flags, refresh);
  const char* env = std::getenv("TRVGFX");
  const DisplayDriver* named = env ? find_driver(env) : nullptr;
  if (named && named->only_by_name) return open_alone(named, s, title, flags, refresh);
  for (int inverted = 0; inverted < 2; ++inverted) {
    int f = inverted ? flags ^ kScreenFullScreen : flags;
    if (named && try_open(named, s, title, f, refresh)) return named;
    if (const DisplayDriver* d = try_all(s, title, f, refresh)) return d;
  }
  return nullptr;
}
