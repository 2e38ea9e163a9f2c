#include "runtime/cp437.h"

#include <array>

namespace {

// Code points of the bytes 0x00-0x1F (graphic characters) and 0x80-0xFF; the
// bytes 0x20-0x7E are ASCII and 0x7F is the house.
constexpr std::array<uint16_t, 32> kLow = {
    0x0000, 0x263A, 0x263B, 0x2665, 0x2666, 0x2663, 0x2660, 0x2022, 0x25D8, 0x25CB, 0x25D9,
    0x2642, 0x2640, 0x266A, 0x266B, 0x263C, 0x25BA, 0x25C4, 0x2195, 0x203C, 0x00B6, 0x00A7,
    0x25AC, 0x21A8, 0x2191, 0x2193, 0x2192, 0x2190, 0x221F, 0x2194, 0x25B2, 0x25BC,
};
constexpr uint16_t kHouse = 0x2302;
constexpr std::array<uint16_t, 128> kHigh = {
    0x00C7, 0x00FC, 0x00E9, 0x00E2, 0x00E4, 0x00E0, 0x00E5, 0x00E7,  // 80
    0x00EA, 0x00EB, 0x00E8, 0x00EF, 0x00EE, 0x00EC, 0x00C4, 0x00C5,  // 88
    0x00C9, 0x00E6, 0x00C6, 0x00F4, 0x00F6, 0x00F2, 0x00FB, 0x00F9,  // 90
    0x00FF, 0x00D6, 0x00DC, 0x00A2, 0x00A3, 0x00A5, 0x20A7, 0x0192,  // 98
    0x00E1, 0x00ED, 0x00F3, 0x00FA, 0x00F1, 0x00D1, 0x00AA, 0x00BA,  // A0
    0x00BF, 0x2310, 0x00AC, 0x00BD, 0x00BC, 0x00A1, 0x00AB, 0x00BB,  // A8
    0x2591, 0x2592, 0x2593, 0x2502, 0x2524, 0x2561, 0x2562, 0x2556,  // B0
    0x2555, 0x2563, 0x2551, 0x2557, 0x255D, 0x255C, 0x255B, 0x2510,  // B8
    0x2514, 0x2534, 0x252C, 0x251C, 0x2500, 0x253C, 0x255E, 0x255F,  // C0
    0x255A, 0x2554, 0x2569, 0x2566, 0x2560, 0x2550, 0x256C, 0x2567,  // C8
    0x2568, 0x2564, 0x2565, 0x2559, 0x2558, 0x2552, 0x2553, 0x256B,  // D0
    0x256A, 0x2518, 0x250C, 0x2588, 0x2584, 0x258C, 0x2590, 0x2580,  // D8
    0x03B1, 0x00DF, 0x0393, 0x03C0, 0x03A3, 0x03C3, 0x00B5, 0x03C4,  // E0
    0x03A6, 0x0398, 0x03A9, 0x03B4, 0x221E, 0x03C6, 0x03B5, 0x2229,  // E8
    0x2261, 0x00B1, 0x2265, 0x2264, 0x2320, 0x2321, 0x00F7, 0x2248,  // F0
    0x00B0, 0x2219, 0x00B7, 0x221A, 0x207F, 0x00B2, 0x25A0, 0x00A0,  // F8
};

struct Alias {
  uint16_t code_point;
  uint8_t byte;
};
// Look-alikes that people type for characters of the set.
constexpr std::array<Alias, 7> kAliases = {{
    {0x03B2, 0xE1},  // beta for sharp s
    {0x03BC, 0xE6},  // mu for micro
    {0x2126, 0xEA},  // ohm for omega
    {0x2211, 0xE4},  // n-ary sum for sigma
    {0x2205, 0xED},  // empty set for phi
    {0x03D5, 0xED},  // phi symbol
    {0x2208, 0xEE},  // element of for epsilon
}};

void append_utf8(std::string& out, uint32_t cp) {
  if (cp < 0x80) {
    out += static_cast<char>(cp);
  } else if (cp < 0x800) {
    out += static_cast<char>(0xC0 | (cp >> 6));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else {
    out += static_cast<char>(0xE0 | (cp >> 12));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  }
}

// Decodes the character at text[i] and sets len to the bytes it takes. An
// invalid sequence gives -1 and takes its longest valid beginning (at least
// one byte), so that it becomes one replacement.
int32_t decode_utf8(std::string_view text, size_t i, size_t& len) {
  const auto lead = static_cast<uint8_t>(text[i]);
  len = 1;
  if (lead < 0x80) return lead;
  int more = 0;
  uint32_t cp = 0;
  uint8_t lo = 0x80, hi = 0xBF;  // range of the second byte
  if (lead >= 0xC2 && lead <= 0xDF) {
    more = 1;
    cp = lead & 0x1Fu;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    more = 2;
    cp = lead & 0x0Fu;
    if (lead == 0xE0) lo = 0xA0;  // overlong
    if (lead == 0xED) hi = 0x9F;  // surrogates
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    more = 3;
    cp = lead & 0x07u;
    if (lead == 0xF0) lo = 0x90;  // overlong
    if (lead == 0xF4) hi = 0x8F;  // beyond U+10FFFF
  } else {
    return -1;
  }
  for (; more > 0; --more) {
    if (i + len >= text.size()) return -1;
    const auto next = static_cast<uint8_t>(text[i + len]);
    if (next < lo || next > hi) return -1;
    cp = (cp << 6) | (next & 0x3Fu);
    ++len;
    lo = 0x80;
    hi = 0xBF;
  }
  return static_cast<int32_t>(cp);
}

}  // namespace

uint32_t cp437_to_unicode(uint8_t byte) {
  if (byte < 0x20) return kLow[byte];
  if (byte < 0x7F) return byte;
  if (byte == 0x7F) return kHouse;
  return kHigh[byte - 0x80u];
}

uint8_t unicode_to_cp437(uint32_t code_point) {
  if (code_point < 0x80) return static_cast<uint8_t>(code_point);
  for (unsigned b = 1; b < 0x20; ++b) {
    if (kLow[b] == code_point) return static_cast<uint8_t>(b);
  }
  if (code_point == kHouse) return 0x7F;
  for (unsigned b = 0; b < kHigh.size(); ++b) {
    if (kHigh[b] == code_point) return static_cast<uint8_t>(0x80 + b);
  }
  for (const Alias& a : kAliases) {
    if (a.code_point == code_point) return a.byte;
  }
  return '?';
}

std::string cp437_to_utf8(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (const char c : text) {
    const auto byte = static_cast<uint8_t>(c);
    if (byte < 0x20 || byte == 0x7F) {
      out += c;
    } else {
      append_utf8(out, cp437_to_unicode(byte));
    }
  }
  return out;
}

std::string utf8_to_cp437(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (size_t i = 0; i < text.size();) {
    size_t len = 1;
    const int32_t cp = decode_utf8(text, i, len);
    out += static_cast<char>(cp < 0 ? '?' : unicode_to_cp437(static_cast<uint32_t>(cp)));
    i += len;
  }
  return out;
}

std::string controls_as_question_marks(std::string_view text) {
  std::string shown(text);
  for (char& c : shown) {
    if (static_cast<unsigned char>(c) < 32 || c == 127) c = '?';
  }
  return shown;
}

std::string typed_text_to_cp437(std::string_view text) {
  return controls_as_question_marks(utf8_to_cp437(text));
}
