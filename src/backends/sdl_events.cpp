// The SDL back-end's events: on the window thread, under the screen lock,
// SDL's keyboard and window events become codes of the key ring
// (sdl_keys.h translates the keys), and window changes ask for a repaint.
#include "backends/sdl_keys.h"
#include "backends/sdl_shared.h"
#include "gfx/display_driver.h"
#include "gfx/keyboard.h"
#include "gfx/keys.h"
#include "gfx/screen.h"

namespace {

void write_key(SdlWindow& w, GfxScreen* s, uint32_t code) {
  if (code == 0) return;
  key_ring_write(s->keys, code);
  w.keys_written = true;
  if (w.key_at == std::chrono::steady_clock::time_point{})
    w.key_at = std::chrono::steady_clock::now();
}

void write_text(SdlWindow& w, GfxScreen* s, const char* text) {
  for (char c : translate_text(text)) write_key(w, s, static_cast<uint8_t>(c));
}

void handle_key_down(SdlWindow& w, GfxScreen* s, const SDL_KeyboardEvent& key) {
  const SDL_Keysym& k = key.keysym;
  if (is_fullscreen_toggle(k.scancode, k.mod)) {
    if (!key.repeat && !(w.flags & kScreenNoSwitch)) w.toggle_fullscreen = true;
    return;
  }
  // SDL queues the text a key types right behind its key-down.
  SDL_Event next;
  bool has_text = SDL_PeepEvents(&next, 1, SDL_PEEKEVENT, SDL_FIRSTEVENT, SDL_LASTEVENT) == 1 &&
                  next.type == SDL_TEXTINPUT;
  if (has_text) SDL_PeepEvents(&next, 1, SDL_GETEVENT, SDL_TEXTINPUT, SDL_TEXTINPUT);
  KeyDownResult r =
      translate_key_down(k.scancode, k.sym, k.mod, has_text ? next.text.text : nullptr);
  write_key(w, s, r.code);
  if (has_text && !r.drop_text) write_text(w, s, next.text.text);
}

void handle_window_event(SdlWindow& w, GfxScreen* s, const SDL_WindowEvent& e) {
  switch (e.event) {
    case SDL_WINDOWEVENT_CLOSE:  // the window stays; the program decides
      write_key(w, s, kCodeClose);
      break;
    case SDL_WINDOWEVENT_EXPOSED:
    case SDL_WINDOWEVENT_SIZE_CHANGED:
    case SDL_WINDOWEVENT_MAXIMIZED:
    case SDL_WINDOWEVENT_RESTORED:
      w.repaint = true;
      break;
    default:
      break;
  }
}

void handle_event(SdlWindow& w, GfxScreen* s, const SDL_Event& e) {
  switch (e.type) {
    case SDL_KEYDOWN:
      handle_key_down(w, s, e.key);
      break;
    case SDL_TEXTINPUT:  // text of no key-down (an input method's)
      if (!(SDL_GetModState() & (KMOD_CTRL | KMOD_LALT))) write_text(w, s, e.text.text);
      break;
    case SDL_WINDOWEVENT:
      handle_window_event(w, s, e.window);
      break;
    default:  // the program's wake-up, and SDL_QUIT after a close request
      break;
  }
}

}  // namespace

void sdl_handle_events(SdlWindow& w, GfxScreen* s, const SDL_Event* first) {
  if (first) handle_event(w, s, *first);
  SDL_Event e;
  while (SDL_PollEvent(&e)) handle_event(w, s, e);
}
