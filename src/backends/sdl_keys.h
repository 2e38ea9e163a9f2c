// sdl_keys.h - SDL keyboard events to the key codes of the key ring.
//
// A key-down gives at most one code: an extended key (F-keys, the cursor
// block, the keypad without Num Lock, Alt with letters, digits and signs) or
// a character that SDL sends no text for (Enter, Esc, Backspace, Tab, Ctrl
// with a letter or sign). Printable characters come from the text event that
// follows the key-down, unless the key-down says to drop it: text typed while
// Ctrl or Alt is held is a command, not text. Right Alt counts as AltGr when
// the text differs from the key's own character, and the text is kept.
// Letters follow the keyboard layout (the keycode); digits and signs with Alt
// follow the key's position (the scancode), as PC key codes do.
// Pure functions: no window or SDL initialisation is needed.
#pragma once

#include <SDL_keyboard.h>

#include <cstdint>
#include <string>

struct KeyDownResult {
  uint32_t code;   // 0: nothing to write
  bool drop_text;  // the text event that follows belongs to this key and is dropped
};

// text: the text event that follows the key-down, or null when none does.
KeyDownResult translate_key_down(SDL_Scancode scancode, SDL_Keycode keycode, uint16_t mods,
                                 const char* text);

// The characters of a text event in code page 437, one code each: "?" where
// there is none, and for the symbols that share a code with a Ctrl key.
std::string translate_text(const char* utf8);

// Alt+Enter (either Enter key) switches between window and full screen.
bool is_fullscreen_toggle(SDL_Scancode scancode, uint16_t mods);

// The zoom keys, which the window takes for itself: Ctrl with "=" or keypad
// plus zooms in, Ctrl with keypad minus out, Ctrl-0 shows the whole picture.
// Ctrl with the main "-" key stays a key (character 31).
enum class ZoomKey { None, In, Out, Whole };
ZoomKey zoom_key(SDL_Scancode scancode, uint16_t mods);
