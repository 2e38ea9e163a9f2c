// ReadImage: copies every line of a drawing to the new journal, then reads
// the statement in it and draws the shape or text it stands for.
#include <algorithm>
#include <bit>
#include <cfloat>
#include <climits>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <string_view>
#include <utility>
#include <vector>

#include "gfx/draw.h"
#include "gfx/screen.h"
#include "imageformat/format.h"
#include "imageformat/reader_internal.h"
#include "strokefont/stroke_font.h"
#include "strokefont/text_state.h"

namespace {

char upper(char c) {
  return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}

// RemoveBlanks on the len characters at p, upper-casing them as well when
// `to_upper` is set; returns the new length.
template <bool to_upper>
size_t squeeze_blanks(char* p, size_t len) {
  auto keep = [](char c) { return to_upper ? upper(c) : c; };
  if (len < 3) {
    for (size_t i = 0; i < len; ++i) p[i] = keep(p[i]);
    return len;
  }
  size_t left = len - 2;  // examinations still to make (positions 2 .. len - 1)
  size_t r = 1, w = 1;    // read and write index; the first character stays
  p[0] = keep(p[0]);
  for (; left > 0 && r < len; --left) {
    if (p[r] != ' ') {
      p[w++] = keep(p[r++]);
    } else if (++r < len) {
      p[w++] = keep(p[r++]);  // moved into the deleted blank's place: not examined
    }
  }
  while (r < len) p[w++] = keep(p[r++]);
  return w;
}

}  // namespace

void RemoveBlanks(std::string& s) {
  s.resize(squeeze_blanks<false>(s.data(), s.size()));
}

namespace {

// The kinds of corner shapes are LINE's own.
enum Kind {
  kNoKind = -1,
  kLine = kLineLine,
  kBox = kLineBox,
  kFilledBox = kLineBoxFilled,
  kEllipse,
  kPaint
};

// Positions are 1-based and signed, so that arithmetic on a delimiter that
// was not found (0) cannot wrap.
using Pos = long long;

// The first c at position `start` or later (from 1 when start < 1); 0 when none.
Pos instr(const std::string& s, Pos start, char c) {
  const Pos len = static_cast<Pos>(s.size());
  for (Pos i = std::max<Pos>(start, 1); i <= len; ++i) {
    if (s[static_cast<size_t>(i - 1)] == c) return i;
  }
  return 0;
}

// Positions a .. b of s, cut to the string; empty when reversed or outside.
std::string_view field(const std::string& s, Pos a, Pos b) {
  b = std::min<Pos>(b, static_cast<Pos>(s.size()));
  if (a < 1 || a > b) return {};
  return std::string_view(s).substr(static_cast<size_t>(a - 1), static_cast<size_t>(b - a + 1));
}

// Saturates to the 32-bit range, then rounds half to even.
int whole(double v) {
  if (v >= INT_MAX) return INT_MAX;
  if (v <= INT_MIN) return INT_MIN;
  const int truncated = static_cast<int>(v);
  if (truncated == v) return truncated;  // most numbers in a drawing
  double below = std::floor(v), rest = v - below;
  if (rest > 0.5 || (rest == 0.5 && std::fmod(below, 2.0) != 0.0)) below += 1.0;
  return static_cast<int>(below);
}

bool continues_number(char c) {
  return (c >= '0' && c <= '9') || c == '.' || c == 'E' || c == 'e' || c == 'D' || c == 'd';
}

// whole(VAL(text)). A plain integer of up to 9 digits, the usual field, is
// read here at once; it is exact, so rounding leaves it as it is.
int whole_val(std::string_view text) {
  size_t i = 0;
  const size_t n = text.size();
  while (i < n && text[i] == ' ') ++i;
  const bool negative = i < n && text[i] == '-';
  if (i < n && (text[i] == '-' || text[i] == '+')) ++i;
  int value = 0;
  size_t digits = 0;
  for (; i < n && digits < 9 && text[i] >= '0' && text[i] <= '9'; ++i, ++digits) {
    value = value * 10 + (text[i] - '0');
  }
  if (digits > 0 && (i == n || !continues_number(text[i]))) return negative ? -value : value;
  return whole(VAL(text));
}

// Text positions from a file are clamped far outside the screen, where all
// drawing is clipped anyway, so that moving along a text cannot overflow.
int text_position(int v) {
  return std::clamp(v, -1000000, 1000000);
}

void upper_case(std::string& s) {
  for (char& c : s) c = upper(c);
}

// Whether `line` upper-cased is `upper`.
bool upper_case_is(std::string_view line, std::string_view upper_text) {
  if (line.size() != upper_text.size()) return false;
  for (size_t i = 0; i < line.size(); ++i) {
    if (upper(line[i]) != upper_text[i]) return false;
  }
  return true;
}

// The working copy of a line, in *s (whose storage is reused line by line):
// upper-cased, without blanks at either end, and unless it holds a double
// quote, through RemoveBlanks.
void normalise(std::string_view line, std::string* s) {
  const size_t first = std::min(line.find_first_not_of(' '), line.size());
  const size_t last = line.find_last_not_of(' ');
  s->assign(line, first, last == std::string::npos ? 0 : last + 1 - first);
  if (s->find('"') == std::string::npos) {
    s->resize(squeeze_blanks<true>(s->data(), s->size()));
  } else {
    upper_case(*s);
  }
}

// Later tests override earlier ones. In a LINE statement a ",B" anywhere
// makes a box, a ",BF" anywhere a filled box; any other statement that
// holds them (DIM x, B or a LINE after IF ... THEN) draws no box.
Kind classify(const std::string& s) {
  Kind kind = kNoKind;
  if (s.starts_with("LINE")) {
    kind = kLine;
    for (size_t i = 0; i + 1 < s.size(); ++i) {
      if (s[i] != ',' || s[i + 1] != 'B') continue;
      if (i + 2 < s.size() && s[i + 2] == 'F') {
        kind = kFilledBox;
        break;
      }
      kind = kBox;
    }
  }
  if (s.starts_with("CIRCLE")) kind = kEllipse;
  if (s.starts_with("PAINT")) kind = kPaint;
  return kind;
}

float as_float(int v) {
  return static_cast<float>(v);
}

StatementKind corner_kind(int kind) {
  return kind == kFilledBox ? StatementKind::FilledBox
         : kind == kBox     ? StatementKind::Box
                            : StatementKind::Line;
}

void corners(Statement* st, int kind, int x1, int y1, int x2, int y2, int colour) {
  st->kind = corner_kind(kind);
  st->x1 = x1, st->y1 = y1, st->x2 = x2, st->y2 = y2, st->colour = colour;
}

void ellipse(Statement* st, int x, int y, int radius, int colour, double aspect) {
  st->kind = StatementKind::Ellipse;
  st->x1 = x, st->y1 = y, st->radius = radius, st->colour = colour, st->aspect = aspect;
}

void parse_ellipse(const std::string& s, Statement* st) {
  const Pos len = static_cast<Pos>(s.size());
  Pos r = instr(s, 1, ')'), c1 = instr(s, 1, ',');
  Pos c2 = instr(s, r + 2, ','), c3 = instr(s, c2 + 1, ',');
  int x = whole_val(field(s, 8, c1 - 1)), y = whole_val(field(s, c1 + 1, r - 1));
  int radius = whole_val(field(s, r + 2, c2)), colour = whole_val(field(s, c2 + 2, c3));
  ellipse(st, x, y, radius, colour, VAL(field(s, c3 + 3, len)));
}

// s without a blank outside its string literals.
std::string without_blanks(std::string_view s) {
  std::string out;
  bool quoted = false;
  for (char c : s) {
    if (c == '"') quoted = !quoted;
    if (c != ' ' || quoted) out.push_back(c);
  }
  return out;
}

// A number as VAL reads it whole: sign, digits, point, exponent.
bool is_number(std::string_view t) {
  size_t i = t.starts_with('-') || t.starts_with('+') ? 1 : 0, digits = 0;
  auto skip_digits = [&] {
    for (; i < t.size() && t[i] >= '0' && t[i] <= '9'; ++i) ++digits;
  };
  skip_digits();
  if (i < t.size() && t[i] == '.') ++i, skip_digits();
  if (digits == 0) return false;
  if (i < t.size() && (t[i] == 'E' || t[i] == 'D')) {
    i += i + 1 < t.size() && (t[i + 1] == '-' || t[i + 1] == '+') ? 2 : 1;
    digits = 0;
    skip_digits();
    if (digits == 0) return false;
  }
  return i == t.size();
}

// "PAINT (x, y)[, [colour][, [border]]]", read by its brackets and commas
// with every blank removed, so that any spacing reads as QuickBASIC reads
// it. An omitted colour is the foreground colour, an omitted border the
// paint colour. A field that is no plain number (a variable, a tile string)
// cannot be read, and the line draws nothing.
void parse_paint(const std::string& s, Statement* st) {
  const std::string c = without_blanks(s);
  const size_t comma = c.find(','), close = c.find(')');
  if (!c.starts_with("PAINT(") || comma == std::string::npos || close == std::string::npos ||
      close < comma) {
    return;
  }
  std::vector<std::string_view> fields = {std::string_view(c).substr(6, comma - 6),
                                          std::string_view(c).substr(comma + 1, close - comma - 1)};
  std::string_view rest = std::string_view(c).substr(close + 1);
  if (!rest.empty() && !rest.starts_with(',')) return;
  while (!rest.empty()) {
    rest.remove_prefix(1);
    const size_t next = std::min(rest.find(','), rest.size());
    fields.push_back(rest.substr(0, next));
    rest.remove_prefix(next);
  }
  if (fields.size() > 4) return;  // a background: for tiles only
  fields.resize(4);               // x, y, colour, border: absent ones are omitted
  if (!is_number(fields[0]) || !is_number(fields[1])) return;
  int flags = kCoordPoint;
  for (const int i : {2, 3}) {
    if (fields[i].empty())
      flags |= i == 2 ? kColourOmitted : kBorderOmitted;
    else if (!is_number(fields[i]))
      return;
  }
  st->kind = StatementKind::Paint;
  st->px = static_cast<float>(VAL(fields[0])), st->py = static_cast<float>(VAL(fields[1]));
  st->x1 = round_coordinate(st->px), st->y1 = round_coordinate(st->py);
  st->colour = whole_val(fields[2]), st->border = whole_val(fields[3]);
  st->paint_flags = flags;
}

void parse_corners(const std::string& s, int kind, Statement* st) {
  const Pos len = static_cast<Pos>(s.size());
  Pos p = instr(s, 6, '('), c1 = instr(s, 1, ','), c2 = instr(s, c1 + 1, ',');
  Pos r = instr(s, c2, ')'), c4 = instr(s, r + 2, ',');
  int x1 = whole_val(field(s, 6, c1 - 1)), y1 = whole_val(field(s, c1 + 1, p - 3));
  int x2 = whole_val(field(s, p + 1, c2 - 1)), y2 = whole_val(field(s, c2 + 1, r - 1));
  int colour = whole_val(c4 > 0 ? field(s, r + 2, c4 - 1) : field(s, r + 3, len));
  corners(st, kind, x1, y1, x2, y2, colour);
}

// A shape line exactly as the editor writes it, with numbers of 1 to 9
// digits and no sign: "line ( x1,  y1)-( x2, y2)," blanks " colour" and
// ",b" or ",bf" or nothing; "circle ( x,  y)," blanks " radius," blanks
// " colour, , ," aspect. The reading rules give such a line exactly these
// numbers: a run of k blanks inside a line keeps k / 2 of them, the
// delimiters they search for fall around each number, and VAL skips the
// blanks left before it. So these lines, nearly all of a drawing, are read
// in one pass here; every other line goes through the rules step by step.
struct Scan {
  const char* p;
  const char* end;

  template <size_t N>
  bool literal(const char (&text)[N]) {
    constexpr size_t n = N - 1;
    if (static_cast<size_t>(end - p) < n || std::memcmp(p, text, n) != 0) return false;
    p += n;
    return true;
  }
  bool number(int* v) {
    if (read_short_number(v)) return true;
    int value = 0, digits = 0;
    for (; p < end && *p >= '0' && *p <= '9'; ++p, ++digits) {
      if (digits == 9) return false;
      value = value * 10 + (*p - '0');
    }
    *v = value;
    return digits > 0;
  }
  // Blanks before a number: the PAD and its sign position, two at least.
  bool blanks() {
    const char* start = p;
    uint64_t eight;
    while (kLittleEndian && next_eight(&eight)) {
      const uint64_t others = eight ^ kEach * ' ';  // the bytes that are no blank
      if (others != 0) {
        p += std::countr_zero(others) / 8;
        return p - start >= 2;
      }
      p += 8;
    }
    while (p < end && *p == ' ') ++p;
    return p - start >= 2;
  }
  bool at_end() const { return p == end; }

 private:
  // The numbers and blanks of a line vary in length, so a loop over their
  // bytes would end at a mispredicted branch nearly every time. Where eight
  // bytes of the line are left, they are examined at once instead, as one
  // little-endian word (its first byte lowest).
  static constexpr bool kLittleEndian = std::endian::native == std::endian::little;
  static constexpr uint64_t kEach = 0x0101010101010101;

  bool next_eight(uint64_t* eight) const {
    if (end - p < 8) return false;
    std::memcpy(eight, p, 8);
    return true;
  }
  // A number of 1 to 7 digits followed by another byte within the eight;
  // false (reading nothing) for anything else.
  bool read_short_number(int* v) {
    uint64_t eight;
    if (!kLittleEndian || !next_eight(&eight)) return false;
    // Bit 7 of a byte is set in one of the three terms when the byte is not
    // a digit: >= 0x80, >= '9' + 1 (adding 0x46 reaches 0x80), or < '0'
    // (subtracting borrows). Carries and borrows start only at bytes that
    // are no digit, and reach only the bytes after them.
    const uint64_t no_digit =
        (eight | (eight + kEach * 0x46) | (eight - kEach * '0')) & kEach * 0x80;
    if (no_digit == 0) return false;
    const int digits = std::countr_zero(no_digit) / 8;
    if (digits == 0) return false;
    // The digits moved to the top, below them zeros: eight digits with
    // leading zeros, combined in pairs, fours and the eight.
    uint64_t value = (eight & kEach * 0x0F) << (8 * (8 - digits));
    value = (value * (10 * 256 + 1)) >> 8 & 0x00FF00FF00FF00FF;
    value = (value * (100 * 65536 + 1)) >> 16 & 0x0000FFFF0000FFFF;
    value = (value * (10000 * (uint64_t{1} << 32) + 1)) >> 32;
    *v = static_cast<int>(value);
    p += digits;
    return true;
  }
};

bool read_written_corners(Scan& in, Statement* st) {
  int x1, y1, x2, y2, colour;
  if (!(in.literal("line ( ") && in.number(&x1) && in.literal(",  ") && in.number(&y1) &&
        in.literal(")-( ") && in.number(&x2) && in.literal(", ") && in.number(&y2) &&
        in.literal("),") && in.blanks() && in.number(&colour))) {
    return false;
  }
  int kind = kLine;
  if (in.literal(",b")) kind = in.literal("f") ? kFilledBox : kBox;
  if (!in.at_end()) return false;
  corners(st, kind, x1, y1, x2, y2, colour);
  return true;
}

// The aspect as S() writes it: a sign position and a number with no blank.
bool aspect_text(std::string_view text) {
  if (text.starts_with(' ')) text.remove_prefix(1);
  return !text.empty() && text.find_first_not_of("0123456789.e+-") == std::string_view::npos;
}

bool read_written_ellipse(Scan& in, Statement* st) {
  int x, y, radius, colour;
  if (!(in.literal("circle ( ") && in.number(&x) && in.literal(",  ") && in.number(&y) &&
        in.literal("),") && in.blanks() && in.number(&radius) && in.literal(",") && in.blanks() &&
        in.number(&colour) && in.literal(", , ,"))) {
    return false;
  }
  const std::string_view aspect(in.p, static_cast<size_t>(in.end - in.p));
  if (!aspect_text(aspect)) return false;
  ellipse(st, x, y, radius, colour, VAL(aspect));
  return true;
}

// Reads the line when it is a shape in the editor's own form.
bool read_written_shape(std::string_view line, Statement* st) {
  Scan in{line.data(), line.data() + line.size()};
  if (line.starts_with('l')) return read_written_corners(in, st);
  return line.starts_with('c') && read_written_ellipse(in, st);
}

// Reads a shape from the normalised line s of the kind classify gave.
void parse_shape(const std::string& s, Kind kind, Statement* st) {
  if (kind == kEllipse) {
    parse_ellipse(s, st);
  } else if (kind == kPaint) {
    parse_paint(s, st);
  } else if (kind != kNoKind) {
    parse_corners(s, kind, st);
  }
}

// Draws the pending text as DrawStrokeText does, but only its cells that
// reach the screen: the others are clipped away entirely, and a long text
// drawn by many "gosub Dprint" lines would otherwise cost its whole length
// each time. Cells are 8 x 7 pixels, one every 7 pixels along the row.
void draw_pending(const std::string& pending, TextState& text) {
  const GfxScreen* screen = gfx_screen();
  const long long n = static_cast<long long>(pending.size()), wx = text.wx;
  long long first = 0, end = 0;
  if (screen && text.wy + 6 >= 0 && text.wy < screen->height && wx < screen->width) {
    first = std::min(n, wx < 0 ? (-wx - 1) / 7 : 0);
    end = std::min(n, (screen->width - 1 - wx) / 7 + 1);
  }
  first = std::min(first, end);
  text.wx = static_cast<int>(wx + 7 * first);
  std::string visible =
      pending.substr(static_cast<size_t>(first), static_cast<size_t>(end - first));
  DrawStrokeText(visible);
}

// The lines of a text group as the editor writes them, with plain
// non-negative numbers, read at once as the rules read them: blanks inside
// quotes stay, "Fcolor =  7" becomes "FCOLOR= 7", "wx =  12" "WX= 12" and
// "gosub Dprint" "GOSUBDPRINT".
bool read_written_text_line(std::string_view line, std::string* pending, TextState& text) {
  Scan in{line.data(), line.data() + line.size()};
  int v;
  if (in.literal("PrintFlarp$ = \"")) {
    if (!line.ends_with('"') || line.size() < 16) return false;
    std::string upper(line.substr(15, line.size() - 16));
    upper_case(upper);
    *pending = std::move(upper);
  } else if (in.literal("Fcolor =  ")) {
    if (!in.number(&v) || !in.at_end()) return false;
    text.Fcolor = v;
  } else if (in.literal("wx =  ") || in.literal("wy =  ")) {
    const bool x = line[1] == 'x';
    if (!in.number(&v) || !in.at_end()) return false;
    (x ? text.wx : text.wy) = text_position(v);
  } else if (line == "gosub Dprint") {
    draw_pending(*pending, text);
  } else {
    return false;
  }
  return true;
}

// Copies the generated block up to and including "EndAbc:" without reading
// it; false when the file ended first.
bool skip_block(const ImageLines& lines) {
  std::string_view line;
  while (lines.next(&line)) {
    lines.copy(line);
    if (upper_case_is(line, "ENDABC:")) return true;
  }
  return false;
}

}  // namespace

ReadResult ReadImage(const ImageLines& lines) {
  ReadResult result;
  TextState& text = text_state();
  std::string_view line;
  std::string pending, s;
  Statement shape;
  while (lines.next(&line)) {
    lines.copy(line);
    if (read_written_shape(line, &shape)) {
      DrawStatement(shape);
      continue;
    }
    if (read_written_text_line(line, &pending, text)) continue;
    normalise(line, &s);
    const Pos len = static_cast<Pos>(s.size());
    Kind kind = classify(s);
    if (s.starts_with("PRINT$")) pending = field(s, 11, len - 1);
    if (s.starts_with("PRINTFLARP$")) pending = field(s, 16, len - 1);
    if (s.starts_with("WX=")) text.wx = text_position(whole_val(field(s, 4, len)));
    if (s.starts_with("WY=")) text.wy = text_position(whole_val(field(s, 4, len)));
    if (s.starts_with("FCOLOR")) text.Fcolor = whole_val(field(s, 8, len));
    if (s == "GOSUBDPRINT") draw_pending(pending, text);
    shape.kind = StatementKind::None;
    parse_shape(s, kind, &shape);
    DrawStatement(shape);
    if (s == "GOTOENDABC") {
      result.had_block = true;
      if (!skip_block(lines)) {
        result.block_unclosed = true;
        break;
      }
    }
  }
  return result;
}

bool IsShape(StatementKind kind) {
  return kind >= StatementKind::Line && kind <= StatementKind::Paint;
}

void DrawStatement(const Statement& st) {
  switch (st.kind) {
    case StatementKind::Line:
    case StatementKind::Box:
    case StatementKind::FilledBox: {
      const int kind = st.kind == StatementKind::Line  ? kLineLine
                       : st.kind == StatementKind::Box ? kLineBox
                                                       : kLineBoxFilled;
      LINE(as_float(st.x1), as_float(st.y1), as_float(st.x2), as_float(st.y2),
           static_cast<uint32_t>(st.colour), kind, 0xFFFF, 0);
      break;
    }
    case StatementKind::Ellipse: {
      const double aspect = std::clamp(st.aspect, -double{FLT_MAX}, double{FLT_MAX});
      CIRCLE(as_float(st.x1), as_float(st.y1), as_float(st.radius),
             static_cast<uint32_t>(st.colour), static_cast<float>(aspect), 0, kFullTurn, 0,
             kCoordPoint);
      break;
    }
    case StatementKind::Paint:
      PAINT(st.px, st.py, static_cast<uint32_t>(st.colour), static_cast<uint32_t>(st.border), {}, 0,
            st.paint_flags);
      break;
    default:
      break;
  }
}

void ApplyStatement(const Statement& st, std::string* pending) {
  TextState& text = text_state();
  switch (st.kind) {
    case StatementKind::Text:
      *pending = st.text;
      break;
    case StatementKind::Wx:
      text.wx = st.value;
      break;
    case StatementKind::Wy:
      text.wy = st.value;
      break;
    case StatementKind::Fcolor:
      text.Fcolor = st.value;
      break;
    case StatementKind::Dprint:
      draw_pending(*pending, text);
      break;
    default:
      DrawStatement(st);
  }
}

Statement ReadStatement(std::string_view line) {
  Statement st;
  if (read_written_shape(line, &st)) return st;
  if (upper_case_is(line, "ENDABC:")) {
    st.kind = StatementKind::BlockEnd;
    return st;
  }
  std::string s;
  normalise(line, &s);
  const Pos len = static_cast<Pos>(s.size());
  auto set = [&st](StatementKind kind, int value) {
    st.kind = kind;
    st.value = value;
  };
  if (s.starts_with("PRINT$")) st.kind = StatementKind::Text, st.text = field(s, 11, len - 1);
  if (s.starts_with("PRINTFLARP$")) st.kind = StatementKind::Text, st.text = field(s, 16, len - 1);
  if (s.starts_with("WX=")) set(StatementKind::Wx, text_position(whole_val(field(s, 4, len))));
  if (s.starts_with("WY=")) set(StatementKind::Wy, text_position(whole_val(field(s, 4, len))));
  if (s.starts_with("FCOLOR")) set(StatementKind::Fcolor, whole_val(field(s, 8, len)));
  if (s == "GOSUBDPRINT") st.kind = StatementKind::Dprint;
  if (s == "GOTOENDABC") st.kind = StatementKind::BlockStart;
  parse_shape(s, classify(s), &st);
  return st;
}

std::function<bool(std::string_view*)> LinesFromBuffers(
    std::function<LineRead(std::string_view*)> next_buffer, bool* failed) {
  return [next_buffer = std::move(next_buffer), failed,
          buffer = std::string_view()](std::string_view* line) mutable {
    if (*failed) return false;
    if (buffer.empty()) {
      const LineRead read = next_buffer(&buffer);
      *failed = read == LineRead::Failed;
      if (read != LineRead::Line) return false;
    }
    return take_line(&buffer, line);
  };
}
