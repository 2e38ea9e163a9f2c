// keys.h - the one key vocabulary of the back-ends and the program.
//
// A key travels as a code of the key ring: a character key is its code page
// 437 code (1-255); an extended key is (b << 8) | 0xFF with b its PC keyboard
// code, built by ext_key(b). INKEY returns a code as one character, or as
// CHR$(255) + CHR$(b) (key_string). The back-ends write the kCode names and
// the tables below; the program compares the strings INKEY returns with the
// kKey names, which are the same keys as strings. No other file spells the
// number of a key.
#pragma once

#include <cstdint>
#include <string>

constexpr uint32_t ext_key(int b) {
  return (static_cast<uint32_t>(b) << 8) | 0xFF;
}

// The string INKEY$ returns for a key code ("" for 0).
inline std::string key_string(uint32_t code) {
  if (code == 0) return "";
  if (code < 256) return std::string(1, static_cast<char>(code));
  return std::string{'\xFF', static_cast<char>((code >> 8) & 0xFF)};
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

// The character keys that SDL and the script name rather than type.
inline constexpr uint32_t kCodeBackspace = 8, kCodeTab = 9, kCodeCtrlEnter = 10;
inline constexpr uint32_t kCodeEnter = 13, kCodeEsc = 27, kCodeSpace = 32;
inline constexpr uint32_t kCodeCtrlBackspace = 127;

// Ctrl with a letter: 1 for A to 26 for Z.
constexpr uint32_t ctrl_code(char letter) {
  return static_cast<uint32_t>(letter - 'A' + 1);
}
// Ctrl with [ \ ] 6 - gives 27-31.
inline constexpr char kCtrlSignKeys[] = "[\\]6-";
inline constexpr uint32_t kCtrlSign1 = 27;

// The extended keys the editor acts on, and the window's close request.
inline constexpr uint32_t kCodeUp = ext_key(kUp.plain), kCodeDown = ext_key(kDown.plain);
inline constexpr uint32_t kCodeLeft = ext_key(kLeft.plain), kCodeRight = ext_key(kRight.plain);
inline constexpr uint32_t kCodePageUp = ext_key(kPageUp.plain);
inline constexpr uint32_t kCodePageDown = ext_key(kPageDown.plain);
inline constexpr uint32_t kCodeF1 = ext_key(kFunctionKeys[0].plain);
inline constexpr uint32_t kCodeF2 = ext_key(kFunctionKeys[1].plain);
inline constexpr uint32_t kCodeClose = ext_key(0x6B);

// The same keys as the strings INKEY returns.
inline const std::string kExtPrefix = "\xFF";  // the first character of an extended key
inline const std::string kKeyUp = key_string(kCodeUp);
inline const std::string kKeyDown = key_string(kCodeDown);
inline const std::string kKeyLeft = key_string(kCodeLeft);
inline const std::string kKeyRight = key_string(kCodeRight);
inline const std::string kKeyPageUp = key_string(kCodePageUp);
inline const std::string kKeyPageDown = key_string(kCodePageDown);
inline const std::string kKeyF1 = key_string(kCodeF1);
inline const std::string kKeyF2 = key_string(kCodeF2);
inline const std::string kKeyClose = key_string(kCodeClose);
inline const std::string kKeyEnter = key_string(kCodeEnter);
inline const std::string kKeyEsc = key_string(kCodeEsc);
inline const std::string kKeyBackspace = key_string(kCodeBackspace);
inline const std::string kKeyTab = key_string(kCodeTab);
inline const std::string kKeyDelete = key_string(ext_key(kDelete.plain));

inline std::string CtrlKey(char letter) {
  return key_string(ctrl_code(letter));
}

// Pointer events travel in the same ring, in order with the keys, as codes
// with bit 31 set, so that no key read can take one for a character: INKEY
// drops them, and only the readers that act on the pointer see them
// (keyboard.h). Positions are picture pixels, mapped by the back-end.
enum class PointerKind : uint32_t {
  None = 0,
  Move = 1,         // the pointer is over (x, y)
  Press = 2,        // the left button went down at (x, y)
  Release = 3,      // the left button came up at (x, y) after a click
  DragRelease = 4,  // it came up after the pointer moved at least 3 window pixels
  RightPress = 5,   // the right button went down at (x, y)
  Wheel = 6,        // the wheel turned y steps (positive: away from the user)
};

struct PointerEvent {
  PointerKind kind = PointerKind::None;
  int x = 0, y = 0;
};

// A left click (a press) inside the rectangle (x1, y1)-(x2, y2).
constexpr bool clicked_in(const PointerEvent& p, int x1, int y1, int x2, int y2) {
  return p.kind == PointerKind::Press && p.x >= x1 && p.x <= x2 && p.y >= y1 && p.y <= y2;
}

inline constexpr uint32_t kPointerBit = 0x80000000u;
inline constexpr int kPointerCoordBias = 0x2000;  // coordinates -8192..8191

constexpr bool is_pointer_code(uint32_t code) {
  return (code & kPointerBit) != 0;
}

constexpr uint32_t pointer_code(PointerKind kind, int x, int y) {
  auto field = [](int v) { return static_cast<uint32_t>(v + kPointerCoordBias) & 0x3FFF; };
  return kPointerBit | static_cast<uint32_t>(kind) << 28 | field(x) << 14 | field(y);
}

constexpr PointerEvent pointer_event(uint32_t code) {
  if (!is_pointer_code(code)) return {};
  auto coord = [](uint32_t f) { return static_cast<int>(f & 0x3FFF) - kPointerCoordBias; };
  return {static_cast<PointerKind>((code >> 28) & 7), coord(code >> 14), coord(code)};
}
