// SDL keyboard events to key codes.
#include "backends/sdl_keys.h"

#include "gfx/keys.h"
#include "runtime/cp437.h"

namespace {

KeyMods modifier_column(uint16_t mods) {
  if (mods & KMOD_ALT) return KeyMods::Alt;
  if (mods & KMOD_CTRL) return KeyMods::Ctrl;
  if (mods & KMOD_SHIFT) return KeyMods::Shift;
  return KeyMods::Plain;
}

// The first code point of UTF-8 text (0 for empty or malformed text).
uint32_t first_code_point(const char* text) {
  const auto* p = reinterpret_cast<const unsigned char*>(text);
  if (p[0] < 0x80) return p[0];
  int extra = p[0] >= 0xF0 ? 3 : p[0] >= 0xE0 ? 2 : p[0] >= 0xC0 ? 1 : -1;
  if (extra < 0) return 0;
  uint32_t cp = p[0] & (0x3F >> extra);
  for (int i = 1; i <= extra; ++i) {
    if ((p[i] & 0xC0) != 0x80) return 0;
    cp = (cp << 6) | (p[i] & 0x3F);
  }
  return cp;
}

// Right Alt typing a character other than the key's own (in either case) is
// AltGr: the text is a character, not an Alt command.
bool is_altgr_text(SDL_Keycode keycode, uint16_t mods, const char* text) {
  if (!text || !(mods & KMOD_RALT) || (mods & (KMOD_LALT | KMOD_CTRL))) return false;
  uint32_t cp = first_code_point(text);
  if (cp >= 'A' && cp <= 'Z') cp += 'a' - 'A';
  return cp != static_cast<uint32_t>(keycode);
}

// The letter 0-25 of a key, from the layout; -1 when it is no letter.
// Layouts without Latin letters fall back to the key's position.
int key_letter(SDL_Scancode scancode, SDL_Keycode keycode) {
  if (keycode >= 'a' && keycode <= 'z') return keycode - 'a';
  bool non_latin = keycode >= 0x80 && !(keycode & SDLK_SCANCODE_MASK);
  if (non_latin && scancode >= SDL_SCANCODE_A && scancode <= SDL_SCANCODE_Z) {
    return scancode - SDL_SCANCODE_A;
  }
  return -1;
}

const ExtendedKey* cursor_block_key(SDL_Scancode scancode) {
  switch (scancode) {
    case SDL_SCANCODE_HOME:
      return &kHome;
    case SDL_SCANCODE_UP:
      return &kUp;
    case SDL_SCANCODE_PAGEUP:
      return &kPageUp;
    case SDL_SCANCODE_LEFT:
      return &kLeft;
    case SDL_SCANCODE_RIGHT:
      return &kRight;
    case SDL_SCANCODE_END:
      return &kEnd;
    case SDL_SCANCODE_DOWN:
      return &kDown;
    case SDL_SCANCODE_PAGEDOWN:
      return &kPageDown;
    case SDL_SCANCODE_INSERT:
      return &kInsert;
    case SDL_SCANCODE_DELETE:
      return &kDelete;
    default:
      return nullptr;
  }
}

// The keypad's cursor keys, which act as such only without Num Lock.
const ExtendedKey* keypad_key(SDL_Scancode scancode) {
  switch (scancode) {
    case SDL_SCANCODE_KP_7:
      return &kHome;
    case SDL_SCANCODE_KP_8:
      return &kUp;
    case SDL_SCANCODE_KP_9:
      return &kPageUp;
    case SDL_SCANCODE_KP_4:
      return &kLeft;
    case SDL_SCANCODE_KP_5:
      return &kKeypad5;
    case SDL_SCANCODE_KP_6:
      return &kRight;
    case SDL_SCANCODE_KP_1:
      return &kEnd;
    case SDL_SCANCODE_KP_2:
      return &kDown;
    case SDL_SCANCODE_KP_3:
      return &kPageDown;
    case SDL_SCANCODE_KP_0:
      return &kInsert;
    case SDL_SCANCODE_KP_PERIOD:
      return &kDelete;
    default:
      return nullptr;
  }
}

uint32_t extended(int b) {
  return b ? ext_key(b) : 0;
}

// Keys that give an extended code in every column (0 for other keys).
uint32_t function_or_cursor_code(SDL_Scancode scancode, uint16_t mods, KeyMods col) {
  if (scancode >= SDL_SCANCODE_F1 && scancode <= SDL_SCANCODE_F12) {
    return extended(column(kFunctionKeys[scancode - SDL_SCANCODE_F1], col));
  }
  if (const ExtendedKey* k = cursor_block_key(scancode)) return extended(column(*k, col));
  const ExtendedKey* k = keypad_key(scancode);
  if (!k || (mods & KMOD_NUM)) return 0;
  // Without Num Lock the keypad gives the cursor block's plain and Ctrl codes;
  // with Shift it types its digit, with Alt only keypad 5 has a code.
  if (col == KeyMods::Shift) return 0;
  if (col == KeyMods::Alt) return k == &kKeypad5 ? extended(k->alt) : 0;
  return extended(column(*k, col));
}

// Enter, Esc, Backspace and Tab, for which SDL sends no text.
uint32_t control_key_code(SDL_Scancode scancode, KeyMods col) {
  bool plain = col == KeyMods::Plain || col == KeyMods::Shift;
  switch (scancode) {
    case SDL_SCANCODE_RETURN:
    case SDL_SCANCODE_KP_ENTER:
      return plain ? kCodeEnter : col == KeyMods::Ctrl ? kCodeCtrlEnter : 0;
    case SDL_SCANCODE_ESCAPE:
      return col == KeyMods::Alt ? 0 : kCodeEsc;
    case SDL_SCANCODE_BACKSPACE:
      return plain ? kCodeBackspace : col == KeyMods::Ctrl ? kCodeCtrlBackspace : 0;
    case SDL_SCANCODE_TAB:
      return plain ? kCodeTab : 0;
    default:
      return 0;
  }
}

uint32_t ctrl_key_code(SDL_Scancode scancode, SDL_Keycode keycode) {
  int letter = key_letter(scancode, keycode);
  if (letter >= 0) return ctrl_code(static_cast<char>('A' + letter));
  for (int i = 0; kCtrlSignKeys[i]; ++i) {
    if (keycode == kCtrlSignKeys[i]) return kCtrlSign1 + static_cast<uint32_t>(i);
  }
  return 0;
}

uint32_t alt_code(SDL_Scancode scancode, SDL_Keycode keycode) {
  int letter = key_letter(scancode, keycode);
  if (letter >= 0) return ext_key(kAltLetters[letter]);
  if (scancode >= SDL_SCANCODE_1 && scancode <= SDL_SCANCODE_0) {
    return ext_key(kAltDigit1 + (scancode - SDL_SCANCODE_1));
  }
  static constexpr SDL_Scancode kSigns[8] = {
      SDL_SCANCODE_LEFTBRACKET, SDL_SCANCODE_RIGHTBRACKET, SDL_SCANCODE_SEMICOLON,
      SDL_SCANCODE_APOSTROPHE,  SDL_SCANCODE_GRAVE,        SDL_SCANCODE_COMMA,
      SDL_SCANCODE_PERIOD,      SDL_SCANCODE_SLASH,
  };
  for (int i = 0; i < 8; ++i) {
    if (scancode == kSigns[i]) return ext_key(kAltSigns[i]);
  }
  if (scancode == SDL_SCANCODE_MINUS) return ext_key(kAltMinus);
  if (scancode == SDL_SCANCODE_EQUALS) return ext_key(kAltEquals);
  return 0;
}

}  // namespace

KeyDownResult translate_key_down(SDL_Scancode scancode, SDL_Keycode keycode, uint16_t mods,
                                 const char* text) {
  if (is_altgr_text(keycode, mods, text)) return {0, false};
  KeyMods col = modifier_column(mods);
  bool drop = text && (col == KeyMods::Alt || col == KeyMods::Ctrl);
  if (uint32_t code = function_or_cursor_code(scancode, mods, col)) return {code, drop};
  if (uint32_t code = control_key_code(scancode, col)) return {code, drop};
  if (col == KeyMods::Ctrl) return {ctrl_key_code(scancode, keycode), drop};
  if (col == KeyMods::Alt) return {alt_code(scancode, keycode), drop};
  return {0, false};
}

std::string translate_text(const char* utf8) {
  return typed_text_to_cp437(utf8);
}

bool is_fullscreen_toggle(SDL_Scancode scancode, uint16_t mods) {
  bool enter = scancode == SDL_SCANCODE_RETURN || scancode == SDL_SCANCODE_KP_ENTER;
  return enter && (mods & KMOD_ALT);
}

ZoomKey zoom_key(SDL_Scancode scancode, uint16_t mods) {
  if (!(mods & KMOD_CTRL) || (mods & KMOD_ALT)) return ZoomKey::None;
  switch (scancode) {
    case SDL_SCANCODE_EQUALS:
    case SDL_SCANCODE_KP_PLUS:
      return ZoomKey::In;
    case SDL_SCANCODE_KP_MINUS:
      return ZoomKey::Out;
    case SDL_SCANCODE_0:
      return ZoomKey::Whole;
    default:
      return ZoomKey::None;
  }
}
