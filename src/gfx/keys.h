// keys.h - the names of the key strings INKEY returns: one character, or
// CHR$(255) and a code letter. Every comparison with a key uses these names;
// keycodes.h has the numeric codes the keyboard layer builds them from.
#pragma once

#include <string>

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

// Ctrl with a letter: CHR$(1) for A to CHR$(26) for Z.
inline std::string CtrlKey(char letter) {
  return std::string(1, static_cast<char>(letter - 'A' + 1));
}
