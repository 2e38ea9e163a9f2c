// The SDL back-end's events: on the window thread, under the screen lock,
// SDL's keyboard, mouse and window events become codes of the key ring
// (sdl_keys.h translates the keys; pointer positions become picture pixels
// through the presenter's view), the zoom keys and Ctrl + wheel change the
// view, and window changes ask for a repaint.
#include <cstdlib>

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

// A press this soon after the window gained the focus is the click that
// brought it there.
constexpr uint32_t kFocusClickMs = 150;
// A release this far (window pixels, either way) from its press ends a drag.
constexpr int kDragDistance = 3;

View& sync_view(SdlWindow& w) {
  View& v = w.presenter.view;
  SDL_GetWindowSize(w.window, &v.out_w, &v.out_h);
  view_clamp(v);
  return v;
}

void set_zoom(SdlWindow& w, int zoom, int wx, int wy) {
  View& v = sync_view(w);
  if (zoom == v.zoom) return;
  view_zoom_at(v, zoom, wx, wy);
  if (zoom == 1) v.scroll_x = v.scroll_y = 0;
  w.repaint = true;
  w.title_changed = true;
  w.pointer_px = -1;  // the pixel under the pointer has changed
}

// Zooms around the program's cursor.
void zoom_by_key(SdlWindow& w, ZoomKey key) {
  const View& v = sync_view(w);
  int wx = 0, wy = 0;
  view_window_pixel(v, w.focus_x, w.focus_y, &wx, &wy);
  const int zoom = key == ZoomKey::Whole ? 1 : view_next_zoom(v.zoom, key == ZoomKey::In ? 1 : -1);
  set_zoom(w, zoom, wx, wy);
  if (zoom > 1) view_follow(w.presenter.view, w.focus_x, w.focus_y);
}

void write_pointer(SdlWindow& w, GfxScreen* s, PointerKind kind, int wx, int wy) {
  int px = 0, py = 0;
  view_picture_pixel(sync_view(w), wx, wy, &px, &py);
  if (kind == PointerKind::Move && px == w.pointer_px && py == w.pointer_py) return;
  if (kind != PointerKind::Move && (px != w.pointer_px || py != w.pointer_py))
    write_key(w, s, pointer_code(PointerKind::Move, px, py));
  w.pointer_px = px, w.pointer_py = py;
  write_key(w, s, pointer_code(kind, px, py));
}

void handle_motion(SdlWindow& w, GfxScreen* s, const SDL_MouseMotionEvent& m) {
  if (w.left_down &&
      (std::abs(m.x - w.press_wx) >= kDragDistance || std::abs(m.y - w.press_wy) >= kDragDistance))
    w.dragged = true;
  write_pointer(w, s, PointerKind::Move, m.x, m.y);
}

void handle_button(SdlWindow& w, GfxScreen* s, const SDL_MouseButtonEvent& b) {
  if (b.which == SDL_TOUCH_MOUSEID) return;
  const bool down = b.type == SDL_MOUSEBUTTONDOWN;
  if (b.button == SDL_BUTTON_LEFT && down) {
    w.focus_click = SDL_GetTicks() - w.focus_gained_ms < kFocusClickMs;
    if (w.focus_click) return;
    w.left_down = true, w.dragged = false;
    w.press_wx = b.x, w.press_wy = b.y;
    write_pointer(w, s, PointerKind::Press, b.x, b.y);
  } else if (b.button == SDL_BUTTON_LEFT && w.left_down) {
    w.left_down = false;
    write_pointer(w, s, w.dragged ? PointerKind::DragRelease : PointerKind::Release, b.x, b.y);
  } else if (b.button == SDL_BUTTON_RIGHT && down) {
    if (SDL_GetTicks() - w.focus_gained_ms >= kFocusClickMs)
      write_pointer(w, s, PointerKind::RightPress, b.x, b.y);
  }
}

void handle_wheel(SdlWindow& w, GfxScreen* s, const SDL_MouseWheelEvent& e) {
  int steps = e.direction == SDL_MOUSEWHEEL_FLIPPED ? -e.y : e.y;
  if (steps == 0) return;
  if (SDL_GetModState() & KMOD_CTRL) {
    int wx = 0, wy = 0;
    SDL_GetMouseState(&wx, &wy);
    set_zoom(w, view_next_zoom(w.presenter.view.zoom, steps > 0 ? 1 : -1), wx, wy);
    return;
  }
  write_key(w, s, pointer_code(PointerKind::Wheel, 0, steps));
}

void handle_key_down(SdlWindow& w, GfxScreen* s, const SDL_KeyboardEvent& key) {
  const SDL_Keysym& k = key.keysym;
  if (const ZoomKey z = zoom_key(k.scancode, k.mod); z != ZoomKey::None) {
    zoom_by_key(w, z);
    return;
  }
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
    case SDL_WINDOWEVENT_FOCUS_GAINED:
      w.focus_gained_ms = SDL_GetTicks();
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
    case SDL_MOUSEMOTION:
      if (e.motion.which != SDL_TOUCH_MOUSEID) handle_motion(w, s, e.motion);
      break;
    case SDL_MOUSEBUTTONDOWN:
    case SDL_MOUSEBUTTONUP:
      handle_button(w, s, e.button);
      break;
    case SDL_MOUSEWHEEL:
      if (e.wheel.which != SDL_TOUCH_MOUSEID) handle_wheel(w, s, e.wheel);
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

std::string sdl_shown_title(const SdlWindow& w) {
  const int zoom = w.presenter.view.zoom;
  return zoom == 1 ? w.title : w.title + " \u2014 " + std::to_string(zoom) + "\u00D7";
}
