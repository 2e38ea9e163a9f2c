// The translation of SDL key and text events into key codes, without a window.
#include "backends/sdl_keys.h"

#include <gtest/gtest.h>

#include <vector>

#include "gfx/keys.h"

namespace {

struct Case {
  const char* name;
  SDL_Scancode scancode;
  SDL_Keycode keycode;
  uint16_t mods;
  uint32_t code;
};

uint32_t Code(SDL_Scancode sc, SDL_Keycode kc, uint16_t mods = KMOD_NONE) {
  return translate_key_down(sc, kc, mods, nullptr).code;
}

void ExpectCodes(const std::vector<Case>& cases) {
  for (const Case& c : cases) {
    EXPECT_EQ(Code(c.scancode, c.keycode, c.mods), c.code) << c.name;
  }
}

TEST(SdlKeys, EditorCommandKeys) {
  ExpectCodes({
      {"Up", SDL_SCANCODE_UP, SDLK_UP, KMOD_NONE, 0x48FF},
      {"Down", SDL_SCANCODE_DOWN, SDLK_DOWN, KMOD_NONE, 0x50FF},
      {"Left", SDL_SCANCODE_LEFT, SDLK_LEFT, KMOD_NONE, 0x4BFF},
      {"Right", SDL_SCANCODE_RIGHT, SDLK_RIGHT, KMOD_NONE, 0x4DFF},
      {"F1", SDL_SCANCODE_F1, SDLK_F1, KMOD_NONE, 0x3BFF},
      {"F2", SDL_SCANCODE_F2, SDLK_F2, KMOD_NONE, 0x3CFF},
      {"PgUp", SDL_SCANCODE_PAGEUP, SDLK_PAGEUP, KMOD_NONE, 0x49FF},
      {"PgDn", SDL_SCANCODE_PAGEDOWN, SDLK_PAGEDOWN, KMOD_NONE, 0x51FF},
      {"Enter", SDL_SCANCODE_RETURN, SDLK_RETURN, KMOD_NONE, 13},
      {"Esc", SDL_SCANCODE_ESCAPE, SDLK_ESCAPE, KMOD_NONE, 27},
      {"Backspace", SDL_SCANCODE_BACKSPACE, SDLK_BACKSPACE, KMOD_NONE, 8},
      {"Shift+Up", SDL_SCANCODE_UP, SDLK_UP, KMOD_LSHIFT, 0x48FF},
      {"Shift+Enter", SDL_SCANCODE_RETURN, SDLK_RETURN, KMOD_RSHIFT, 13},
  });
  for (int i = 0; i < 26; ++i) {
    auto sc = static_cast<SDL_Scancode>(SDL_SCANCODE_A + i);
    SDL_Keycode kc = 'a' + i;
    EXPECT_EQ(Code(sc, kc, KMOD_LCTRL), static_cast<uint32_t>(i + 1)) << "Ctrl+" << char('A' + i);
    EXPECT_EQ(Code(sc, kc, KMOD_RCTRL | KMOD_LSHIFT), static_cast<uint32_t>(i + 1));
  }
  // "." is typed text: the key-down writes nothing and keeps the text.
  KeyDownResult dot = translate_key_down(SDL_SCANCODE_PERIOD, SDLK_PERIOD, KMOD_NONE, ".");
  EXPECT_EQ(dot.code, 0u);
  EXPECT_FALSE(dot.drop_text);
  EXPECT_EQ(translate_text("."), ".");
}

TEST(SdlKeys, FunctionKeysTakeTheirModifierColumn) {
  ExpectCodes({
      {"F10", SDL_SCANCODE_F10, SDLK_F10, KMOD_NONE, ext_key(68)},
      {"F11", SDL_SCANCODE_F11, SDLK_F11, KMOD_NONE, ext_key(133)},
      {"Shift+F1", SDL_SCANCODE_F1, SDLK_F1, KMOD_LSHIFT, ext_key(84)},
      {"Shift+F12", SDL_SCANCODE_F12, SDLK_F12, KMOD_RSHIFT, ext_key(136)},
      {"Ctrl+F2", SDL_SCANCODE_F2, SDLK_F2, KMOD_LCTRL, ext_key(95)},
      {"Ctrl+F11", SDL_SCANCODE_F11, SDLK_F11, KMOD_RCTRL, ext_key(137)},
      {"Alt+F4", SDL_SCANCODE_F4, SDLK_F4, KMOD_LALT, ext_key(107)},
      {"Alt+F12", SDL_SCANCODE_F12, SDLK_F12, KMOD_RALT, ext_key(140)},
      // Alt wins over Ctrl, Ctrl over Shift.
      {"Ctrl+Alt+F1", SDL_SCANCODE_F1, SDLK_F1, KMOD_LCTRL | KMOD_LALT, ext_key(104)},
      {"Ctrl+Shift+F1", SDL_SCANCODE_F1, SDLK_F1, KMOD_LCTRL | KMOD_LSHIFT, ext_key(94)},
  });
}

TEST(SdlKeys, CursorBlockAndKeypadWithoutNumLock) {
  ExpectCodes({
      {"Ctrl+Home", SDL_SCANCODE_HOME, SDLK_HOME, KMOD_LCTRL, ext_key(119)},
      {"Ctrl+Up", SDL_SCANCODE_UP, SDLK_UP, KMOD_LCTRL, ext_key(141)},
      {"Alt+Up", SDL_SCANCODE_UP, SDLK_UP, KMOD_LALT, ext_key(152)},
      {"Ctrl+PgDn", SDL_SCANCODE_PAGEDOWN, SDLK_PAGEDOWN, KMOD_LCTRL, ext_key(118)},
      {"Alt+End", SDL_SCANCODE_END, SDLK_END, KMOD_LALT, ext_key(159)},
      {"Insert", SDL_SCANCODE_INSERT, SDLK_INSERT, KMOD_NONE, ext_key(82)},
      {"Ctrl+Delete", SDL_SCANCODE_DELETE, SDLK_DELETE, KMOD_LCTRL, ext_key(147)},
      {"KP 8", SDL_SCANCODE_KP_8, SDLK_KP_8, KMOD_NONE, ext_key(72)},
      {"KP 3", SDL_SCANCODE_KP_3, SDLK_KP_3, KMOD_NONE, ext_key(81)},
      {"KP 0", SDL_SCANCODE_KP_0, SDLK_KP_0, KMOD_NONE, ext_key(82)},
      {"KP .", SDL_SCANCODE_KP_PERIOD, SDLK_KP_PERIOD, KMOD_NONE, ext_key(83)},
      {"Ctrl+KP 4", SDL_SCANCODE_KP_4, SDLK_KP_4, KMOD_LCTRL, ext_key(115)},
      {"KP 5", SDL_SCANCODE_KP_5, SDLK_KP_5, KMOD_NONE, ext_key(76)},
      {"Ctrl+KP 5", SDL_SCANCODE_KP_5, SDLK_KP_5, KMOD_LCTRL, ext_key(143)},
      {"Alt+KP 5", SDL_SCANCODE_KP_5, SDLK_KP_5, KMOD_LALT, ext_key(76)},
      {"KP Enter", SDL_SCANCODE_KP_ENTER, SDLK_KP_ENTER, KMOD_NONE, 13},
      {"Ctrl+KP Enter", SDL_SCANCODE_KP_ENTER, SDLK_KP_ENTER, KMOD_LCTRL, 10},
      // With Num Lock the keypad types digits through its text.
      {"KP 8, Num Lock", SDL_SCANCODE_KP_8, SDLK_KP_8, KMOD_NUM, 0},
      {"Ctrl+KP 5, Num Lock", SDL_SCANCODE_KP_5, SDLK_KP_5, KMOD_NUM | KMOD_LCTRL, 0},
  });
  KeyDownResult digit = translate_key_down(SDL_SCANCODE_KP_7, SDLK_KP_7, KMOD_NUM, "7");
  EXPECT_EQ(digit.code, 0u);
  EXPECT_FALSE(digit.drop_text);
}

TEST(SdlKeys, ControlCharacters) {
  ExpectCodes({
      {"Ctrl+Enter", SDL_SCANCODE_RETURN, SDLK_RETURN, KMOD_LCTRL, 10},
      {"Ctrl+Backspace", SDL_SCANCODE_BACKSPACE, SDLK_BACKSPACE, KMOD_LCTRL, 127},
      {"Tab", SDL_SCANCODE_TAB, SDLK_TAB, KMOD_NONE, 9},
      {"Shift+Tab", SDL_SCANCODE_TAB, SDLK_TAB, KMOD_LSHIFT, 9},
      {"Ctrl+Esc", SDL_SCANCODE_ESCAPE, SDLK_ESCAPE, KMOD_LCTRL, 27},
      {"Ctrl+[", SDL_SCANCODE_LEFTBRACKET, '[', KMOD_LCTRL, 27},
      {"Ctrl+\\", SDL_SCANCODE_BACKSLASH, '\\', KMOD_LCTRL, 28},
      {"Ctrl+]", SDL_SCANCODE_RIGHTBRACKET, ']', KMOD_LCTRL, 29},
      {"Ctrl+6", SDL_SCANCODE_6, '6', KMOD_LCTRL, 30},
      {"Ctrl+^", SDL_SCANCODE_6, '6', KMOD_LCTRL | KMOD_LSHIFT, 30},
      {"Ctrl+-", SDL_SCANCODE_MINUS, '-', KMOD_RCTRL, 31},
      {"Ctrl+5", SDL_SCANCODE_5, '5', KMOD_LCTRL, 0},
      {"Alt+Esc", SDL_SCANCODE_ESCAPE, SDLK_ESCAPE, KMOD_LALT, 0},
      {"Alt+Backspace", SDL_SCANCODE_BACKSPACE, SDLK_BACKSPACE, KMOD_LALT, 0},
      {"plain letter", SDL_SCANCODE_A, 'a', KMOD_NONE, 0},
      {"Shift+letter", SDL_SCANCODE_A, 'a', KMOD_LSHIFT, 0},
      // A layout without Latin letters: the key's position gives the letter.
      {"Ctrl+Cyrillic L key", SDL_SCANCODE_L, 0x0434, KMOD_LCTRL, 12},
      // A layout that moves letters: the letter follows the layout.
      {"Ctrl+A on the Q key", SDL_SCANCODE_Q, 'a', KMOD_LCTRL, 1},
  });
}

TEST(SdlKeys, AltWithLettersDigitsAndSigns) {
  KeyDownResult alt_x = translate_key_down(SDL_SCANCODE_X, 'x', KMOD_LALT, "x");
  EXPECT_EQ(alt_x.code, 0x2DFFu);
  EXPECT_TRUE(alt_x.drop_text);
  ExpectCodes({
      {"Alt+Q", SDL_SCANCODE_Q, 'q', KMOD_LALT, ext_key(16)},
      {"Alt+A", SDL_SCANCODE_A, 'a', KMOD_LALT, ext_key(30)},
      {"Alt+M", SDL_SCANCODE_M, 'm', KMOD_LALT, ext_key(50)},
      {"Alt+Shift+Z", SDL_SCANCODE_Z, 'z', KMOD_LALT | KMOD_LSHIFT, ext_key(44)},
      {"Alt+1", SDL_SCANCODE_1, '1', KMOD_LALT, ext_key(120)},
      {"Alt+9", SDL_SCANCODE_9, '9', KMOD_LALT, ext_key(128)},
      {"Alt+0", SDL_SCANCODE_0, '0', KMOD_LALT, ext_key(129)},
      {"Alt+-", SDL_SCANCODE_MINUS, '-', KMOD_LALT, ext_key(130)},
      {"Alt+=", SDL_SCANCODE_EQUALS, '=', KMOD_LALT, ext_key(131)},
      {"Alt+[", SDL_SCANCODE_LEFTBRACKET, '[', KMOD_LALT, ext_key(26)},
      {"Alt+]", SDL_SCANCODE_RIGHTBRACKET, ']', KMOD_LALT, ext_key(27)},
      {"Alt+;", SDL_SCANCODE_SEMICOLON, ';', KMOD_LALT, ext_key(39)},
      {"Alt+'", SDL_SCANCODE_APOSTROPHE, '\'', KMOD_LALT, ext_key(40)},
      {"Alt+`", SDL_SCANCODE_GRAVE, '`', KMOD_LALT, ext_key(41)},
      {"Alt+,", SDL_SCANCODE_COMMA, ',', KMOD_LALT, ext_key(51)},
      {"Alt+.", SDL_SCANCODE_PERIOD, '.', KMOD_LALT, ext_key(52)},
      {"Alt+/", SDL_SCANCODE_SLASH, '/', KMOD_LALT, ext_key(53)},
      {"Alt+Space", SDL_SCANCODE_SPACE, ' ', KMOD_LALT, 0},
  });
}

TEST(SdlKeys, TextTypedWithCtrlOrAltIsDroppedButAltGrTextIsKept) {
  KeyDownResult ctrl = translate_key_down(SDL_SCANCODE_L, 'l', KMOD_LCTRL, "l");
  EXPECT_EQ(ctrl.code, 12u);
  EXPECT_TRUE(ctrl.drop_text);
  KeyDownResult shift = translate_key_down(SDL_SCANCODE_A, 'a', KMOD_LSHIFT, "A");
  EXPECT_EQ(shift.code, 0u);
  EXPECT_FALSE(shift.drop_text);
  // Right Alt typing the key's own character (either case) is Alt.
  KeyDownResult ralt = translate_key_down(SDL_SCANCODE_X, 'x', KMOD_RALT | KMOD_LSHIFT, "X");
  EXPECT_EQ(ralt.code, 0x2DFFu);
  EXPECT_TRUE(ralt.drop_text);
  // Right Alt typing another character is AltGr: "@" on the Q key, "€" on E.
  KeyDownResult at = translate_key_down(SDL_SCANCODE_Q, 'q', KMOD_RALT, "@");
  EXPECT_EQ(at.code, 0u);
  EXPECT_FALSE(at.drop_text);
  KeyDownResult euro = translate_key_down(SDL_SCANCODE_E, 'e', KMOD_RALT, "\xE2\x82\xAC");
  EXPECT_EQ(euro.code, 0u);
  EXPECT_FALSE(euro.drop_text);
  // Left Alt is never AltGr.
  EXPECT_TRUE(translate_key_down(SDL_SCANCODE_Q, 'q', KMOD_LALT, "@").drop_text);
  // No text, nothing to drop.
  EXPECT_FALSE(translate_key_down(SDL_SCANCODE_F1, SDLK_F1, KMOD_LALT, nullptr).drop_text);
}

TEST(SdlKeys, TextBecomesCodePage437) {
  EXPECT_EQ(translate_text("a"), "a");
  EXPECT_EQ(translate_text("Az 9"), "Az 9");
  EXPECT_EQ(translate_text("\xC3\xA9"), "\x82");              // é
  EXPECT_EQ(translate_text("\xC3\x9C\xC3\x9F"), "\x9A\xE1");  // Ü ß
  EXPECT_EQ(translate_text("\xE2\x82\xAC"), "?");             // € has no code
  EXPECT_EQ(translate_text("\xE2\x98\xBA"), "?");             // ☺ would read as Ctrl+A
  EXPECT_EQ(translate_text("\xE2\x8C\x82"), "?");             // ⌂ would read as Ctrl+Backspace
}

TEST(SdlKeys, AltEnterSwitchesTheScreen) {
  EXPECT_TRUE(is_fullscreen_toggle(SDL_SCANCODE_RETURN, KMOD_LALT));
  EXPECT_TRUE(is_fullscreen_toggle(SDL_SCANCODE_KP_ENTER, KMOD_RALT));
  EXPECT_FALSE(is_fullscreen_toggle(SDL_SCANCODE_RETURN, KMOD_LCTRL));
  EXPECT_FALSE(is_fullscreen_toggle(SDL_SCANCODE_X, KMOD_LALT));
}

}  // namespace
