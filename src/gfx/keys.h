// keys.h - the names of the keys the editor acts on: as the strings INKEY
// returns (one character, or CHR$(255) and a code letter), and as the codes
// of the key ring that the back-ends and the tests write (keycodes.h). Every
// comparison with a key uses these names.
#pragma once

#include <cstdint>
#include <string>

#include "gfx/keycodes.h"

// The first character of the two-character codes of extended keys.
inline const std::string kExtPrefix = "\xFF";

inline const std::string kKeyUp = kExtPrefix + "H";
inline const std::string kKeyDown = kExtPrefix + "P";
inline const std::string kKeyLeft = kExtPrefix + "K";
inline const std::string kKeyRight = kExtPrefix + "M";
inline const std::string kKeyPageUp = kExtPrefix + "I";
inline const std::string kKeyPageDown = kExtPrefix + "Q";
inline const std::string kKeyF1 = kExtPrefix + ";";
inline const std::string kKeyF2 = kExtPrefix + "<";
inline const std::string kKeyClose = kExtPrefix + "k";
inline const std::string kKeyEnter = "\r";
inline const std::string kKeyEsc = "\x1B";
inline const std::string kKeyBackspace = "\b";
inline const std::string kKeyTab = "\t";
inline const std::string kKeyDelete = kExtPrefix + "S";

// Ctrl with a letter: CHR$(1) for A to CHR$(26) for Z.
inline std::string CtrlKey(char letter) {
  return std::string(1, static_cast<char>(letter - 'A' + 1));
}

// The same keys as key ring codes.
inline constexpr uint32_t kCodeEnter = 13, kCodeEsc = 27, kCodeBackspace = 8;
inline constexpr uint32_t kCodeUp = ext_key(kUp.plain), kCodeDown = ext_key(kDown.plain);
inline constexpr uint32_t kCodeLeft = ext_key(kLeft.plain), kCodeRight = ext_key(kRight.plain);
inline constexpr uint32_t kCodePageUp = ext_key(kPageUp.plain);
inline constexpr uint32_t kCodePageDown = ext_key(kPageDown.plain);
