// Choosing a display back-end for SCREEN.
//
// TRVGFX names the back-end to try first ("null" selects the Null back-end
// and nothing else; "script" selects the Script back-end, which never falls
// back). Windowed back-ends are tried in registration order, each with the
// requested refresh rate and then with 0; when none opens, all are tried
// again with the full-screen bit inverted.
#include <strings.h>

#include <cstdlib>
#include <vector>

#include "gfx/display_driver.h"
#include "gfx/screen.h"

namespace {

struct Registered {
  const DisplayDriver* driver;
  bool windowed;
};

std::vector<Registered>& registry() {
  static std::vector<Registered> list;
  return list;
}

const DisplayDriver* find_driver(const char* name) {
  for (const Registered& r : registry()) {
    if (strcasecmp(r.driver->name, name) == 0) return r.driver;
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
  for (const Registered& r : registry()) {
    if (r.windowed && try_open(r.driver, s, title, flags, refresh)) return r.driver;
  }
  return nullptr;
}

}  // namespace

void register_display_driver(const DisplayDriver* driver, bool windowed) {
  if (!find_driver(driver->name)) registry().push_back({driver, windowed});
}

const DisplayDriver* open_display_driver(GfxScreen* s, const char* title, int flags, int refresh) {
  const char* env = std::getenv("TRVGFX");
  if (flags == -1 || (env && strcasecmp(env, "null") == 0)) {
    const DisplayDriver* null_driver = find_driver("Null");
    if (null_driver && null_driver->open(s, title, s->width, s->height, s->depth, 0, flags) == 0) {
      return null_driver;
    }
    return nullptr;
  }
  const DisplayDriver* named = env ? find_driver(env) : nullptr;
  if (named && strcasecmp(named->name, "Script") == 0) {
    return try_open(named, s, title, flags, refresh) ? named : nullptr;
  }
  bool named_windowed = false;
  for (const Registered& r : registry()) named_windowed |= (r.driver == named && r.windowed);
  if (!named_windowed) named = nullptr;
  for (int inverted = 0; inverted < 2; ++inverted) {
    int f = inverted ? flags ^ kScreenFullScreen : flags;
    if (named && try_open(named, s, title, f, refresh)) return named;
    if (const DisplayDriver* d = try_all(s, title, f, refresh)) return d;
  }
  return nullptr;
}
