// keycodes.h - the codes of the keyboard's keys as INKEY returns them.
//
// A character key is its code page 437 code (1-255). An extended key is
// (b << 8) | 0xFF, where b is the key's PC keyboard code; INKEY returns it
// as CHR$(255) + CHR$(b). ext_key(b) builds such a code.
#pragma once

#include <cstdint>

constexpr uint32_t ext_key(int b) {
  return (static_cast<uint32_t>(b) << 8) | 0xFF;
}

enum class KeyMods { Plain, Shift, Ctrl, Alt };

// The second byte of the extended keys, by modifier column (0: no key).
struct ExtendedKey {
  int plain, shift, ctrl, alt;
};

// F1-F12.
inline constexpr ExtendedKey kFunctionKeys[12] = {
    {59, 84, 94, 104},  {60, 85, 95, 105},  {61, 86, 96, 106},    {62, 87, 97, 107},
    {63, 88, 98, 108},  {64, 89, 99, 109},  {65, 90, 100, 110},   {66, 91, 101, 111},
    {67, 92, 102, 112}, {68, 93, 103, 113}, {133, 135, 137, 139}, {134, 136, 138, 140},
};

// The cursor block (and the keypad without Num Lock).
inline constexpr ExtendedKey kHome = {71, 71, 119, 151};
inline constexpr ExtendedKey kUp = {72, 72, 141, 152};
inline constexpr ExtendedKey kPageUp = {73, 73, 132, 153};
inline constexpr ExtendedKey kLeft = {75, 75, 115, 155};
inline constexpr ExtendedKey kRight = {77, 77, 116, 157};
inline constexpr ExtendedKey kEnd = {79, 79, 117, 159};
inline constexpr ExtendedKey kDown = {80, 80, 145, 160};
inline constexpr ExtendedKey kPageDown = {81, 81, 118, 161};
inline constexpr ExtendedKey kInsert = {82, 82, 146, 162};
inline constexpr ExtendedKey kDelete = {83, 83, 147, 163};
inline constexpr ExtendedKey kKeypad5 = {76, 0, 143, 76};

inline constexpr int column(const ExtendedKey& k, KeyMods m) {
  return m == KeyMods::Plain   ? k.plain
         : m == KeyMods::Shift ? k.shift
         : m == KeyMods::Ctrl  ? k.ctrl
                               : k.alt;
}

// Alt with a letter: the letter key's PC code, A..Z.
inline constexpr int kAltLetters[26] = {30, 48, 46, 32, 18, 33, 34, 35, 23, 36, 37, 38, 50,
                                        49, 24, 25, 16, 19, 31, 20, 22, 47, 17, 45, 21, 44};
// Alt with the top-row digits 1-9 and 0 gives 120-129; Alt+"-" 130, Alt+"=" 131.
inline constexpr int kAltDigit1 = 120, kAltMinus = 130, kAltEquals = 131;
// Alt with [ ] ; ' ` , . /
inline constexpr char kAltSignKeys[] = "[];'`,./";
inline constexpr int kAltSigns[8] = {26, 27, 39, 40, 41, 51, 52, 53};

// The window's close request, CHR$(255) + "k".
inline constexpr uint32_t kCloseKey = ext_key(0x6B);
