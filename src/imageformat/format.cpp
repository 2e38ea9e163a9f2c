// The number forms and statement lines the editor writes, and VAL.
#include "imageformat/format.h"

#include <algorithm>
#include <cfloat>
#include <charconv>
#include <cstdint>
#include <system_error>

std::string I(long long v) {
  unsigned long long magnitude =
      v < 0 ? 0ull - static_cast<unsigned long long>(v) : static_cast<unsigned long long>(v);
  return (v < 0 ? "-" : " ") + std::to_string(magnitude);
}

std::string S(float v) {
  char buf[64];
  auto r =
      std::to_chars(buf, buf + sizeof buf, static_cast<double>(v), std::chars_format::general, 7);
  std::string text(buf, r.ptr);
  // The exponent gets its sign and at least three digits: e-08 -> e-008.
  size_t e = text.find('e');
  if (e != std::string::npos) {
    std::string digits = text.substr(e + 2);
    while (digits.size() < 3) digits.insert(digits.begin(), '0');
    text = text.substr(0, e + 2) + digits;
  }
  if (text.back() == '.') text.pop_back();
  return text[0] == '-' ? text : " " + text;
}

std::string PAD(size_t written) {
  return std::string(14 * ((written + 14) / 14) - written, ' ');
}

static std::string corners(int x1, int y1, int x2, int y2, int colour) {
  std::string line = "line (" + I(x1) + ", " + I(y1) + ")-(" + I(x2) + "," + I(y2) + "),";
  return line + PAD(line.size()) + I(colour);
}

std::string LineStatement(int x1, int y1, int x2, int y2, int colour) {
  return corners(x1, y1, x2, y2, colour);
}

std::string BoxStatement(int x1, int y1, int x2, int y2, int colour) {
  return corners(x1, y1, x2, y2, colour) + ",b";
}

std::string FilledBoxStatement(int x1, int y1, int x2, int y2, int colour) {
  return corners(x1, y1, x2, y2, colour) + ",bf";
}

std::string CircleStatement(int x, int y, int radius, int colour, float aspect) {
  std::string line = "circle (" + I(x) + ", " + I(y) + "),";
  line += PAD(line.size()) + I(radius) + ",";
  line += PAD(line.size()) + I(colour) + ", , ," + S(aspect);
  return line;
}

std::string PaintStatement(int x, int y, int colour, int border) {
  std::string line = "paint (" + I(x) + ", " + I(y) + "),";
  line += PAD(line.size()) + I(colour) + ",";
  line += PAD(line.size()) + I(border);
  return line;
}

float RecordedAspect(float aspect) {
  return static_cast<float>(VAL(S(aspect)));
}

std::vector<std::string> TextGroup(std::string_view text, int colour, int y, int x) {
  return {"PrintFlarp$ = \"" + std::string(text) + "\"", "Fcolor = " + I(colour),
          "wy = " + S(static_cast<float>(y)), "wx = " + S(static_cast<float>(x)), "gosub Dprint"};
}

// VAL scans the number by hand and hands std::from_chars (exact and free of
// the locale) only a plain "digits e exponent" string it has built itself:
// at most kKeptDigits significant digits, a final 1 standing for any
// non-zero digits dropped (enough for correct rounding), and an exponent
// that cannot overflow. So INF, NAN and hex never get through, and a line of
// a million digits costs one pass.
namespace {

constexpr size_t kKeptDigits = 800;
// Far beyond the double range, small enough that sums cannot overflow.
constexpr long long kExponentLimit = 100000, kScaleLimit = 10000000;

constexpr double kPowersOfTen[] = {1e0, 1e1, 1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                   1e8, 1e9, 1e10, 1e11, 1e12, 1e13, 1e14, 1e15};

bool is_digit(char c) {
  return c >= '0' && c <= '9';
}

// Most numbers in a drawing: up to 15 digits with an optional point and no
// exponent. Such a mantissa and its power of ten are exact doubles, so one
// division rounds the value correctly. False for anything else.
bool short_plain_number(std::string_view text, double* value) {
  uint64_t mantissa = 0;
  int count = 0, decimals = 0;
  size_t i = 0;
  const size_t n = std::min<size_t>(text.size(), 17);  // 15 digits, a point, one more
  for (; i < n && is_digit(text[i]); ++i, ++count) mantissa = mantissa * 10 + (text[i] - '0');
  if (i < n && text[i] == '.') {
    for (++i; i < n && is_digit(text[i]); ++i, ++count, ++decimals) {
      mantissa = mantissa * 10 + (text[i] - '0');
    }
  }
  if (count == 0 || count > 15) return false;
  if (i < text.size()) {
    const char next = text[i];
    if (is_digit(next) || next == '.' || next == 'E' || next == 'e' || next == 'D' || next == 'd') {
      return false;
    }
  }
  *value = static_cast<double>(mantissa) / kPowersOfTen[decimals];
  return true;
}

}  // namespace

double VAL(std::string_view text) {
  size_t i = 0, n = text.size();
  while (i < n && text[i] == ' ') ++i;
  bool negative = false;
  if (i < n && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
  double quick = 0;
  if (short_plain_number(text.substr(i), &quick)) return negative && quick != 0 ? -quick : quick;

  std::string digits;   // significant digits, leading zeros dropped
  long long scale = 0;  // value = 0.digits * 10^scale, before the exponent
  bool dropped = false;
  auto take = [&](char c, bool fraction) {
    if (digits.empty() && c == '0') {  // a leading zero only moves the point
      if (fraction && scale > -kScaleLimit) --scale;
      return;
    }
    if (!fraction && scale < kScaleLimit) ++scale;
    if (digits.size() < kKeptDigits) {
      digits += c;
    } else if (c != '0') {
      dropped = true;
    }
  };
  for (; i < n && is_digit(text[i]); ++i) take(text[i], false);
  if (i < n && text[i] == '.') {
    for (++i; i < n && is_digit(text[i]); ++i) take(text[i], true);
  }
  if (digits.empty()) return 0.0;

  long long exponent = 0;
  if (i < n && (text[i] == 'E' || text[i] == 'e' || text[i] == 'D' || text[i] == 'd')) {
    size_t j = i + 1;
    bool exp_negative = false;
    if (j < n && (text[j] == '+' || text[j] == '-')) exp_negative = text[j++] == '-';
    for (; j < n && is_digit(text[j]); ++j) {
      if (exponent < kExponentLimit) exponent = exponent * 10 + (text[j] - '0');
    }
    if (exp_negative) exponent = -exponent;
  }

  if (dropped) digits += '1';
  std::string plain =
      digits + "e" + std::to_string(scale + exponent - static_cast<long long>(digits.size()));
  double value = 0.0;
  auto r = std::from_chars(plain.data(), plain.data() + plain.size(), value,
                           std::chars_format::scientific);
  if (r.ec == std::errc::result_out_of_range) value = scale + exponent > 0 ? DBL_MAX : 0.0;
  return negative ? -value : value;
}
