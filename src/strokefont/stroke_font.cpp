// The stroke font: one glyph table, drawn on screen and written out as the
// QuickBASIC subroutines Dprint and Abc.
#include "strokefont/stroke_font.h"

#include <array>
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "gfx/draw.h"
#include "gfx/screen.h"
#include "strokefont/text_state.h"

namespace {

// One statement line of a glyph. Offsets are from the cell's top-left
// corner, each 0..4.
enum StrokeKind : uint8_t {
  kEnd = 0,    // marks the end of a glyph's lines
  kPoint,      // PSET (a, b)
  kPointPair,  // PSET (a, b): PSET (c, d) on one line
  kSegment,    // LINE (a, b)-(c, d)
  kContinued,  // LINE -(c, d), from the last point drawn
};

struct Stroke {
  StrokeKind kind;
  int8_t a, b, c, d;
};

constexpr int kMaxStrokes = 8;

struct Glyph {
  char ch;
  Stroke strokes[kMaxStrokes];  // ends at the first kEnd
};

constexpr Stroke P(int a, int b) {
  return {kPoint, int8_t(a), int8_t(b), 0, 0};
}
constexpr Stroke PP(int a, int b, int c, int d) {
  return {kPointPair, int8_t(a), int8_t(b), int8_t(c), int8_t(d)};
}
constexpr Stroke L(int a, int b, int c, int d) {
  return {kSegment, int8_t(a), int8_t(b), int8_t(c), int8_t(d)};
}
constexpr Stroke LC(int c, int d) {
  return {kContinued, 0, 0, int8_t(c), int8_t(d)};
}

// The glyphs in lookup order. The groups only shape the nesting of the
// generated SELECT CASE statements.
constexpr int kGroupSizes[] = {6, 6, 6, 6, 7, 8, 7, 18};
constexpr int kGlyphCount = 64;

constexpr Glyph kGlyphs[kGlyphCount] = {
    // Group 1
    {'A',
     {P(2, 0), P(1, 1), P(3, 1), P(1, 2), P(3, 2), L(1, 3, 3, 3), L(0, 3, 0, 4), L(4, 3, 4, 4)}},
    {'B', {L(0, 0, 3, 0), L(0, 0, 0, 4), L(0, 2, 3, 2), L(0, 4, 3, 4), PP(4, 1, 4, 3)}},
    {'L', {L(1, 0, 1, 4), L(0, 4, 4, 4), L(0, 0, 2, 0), P(4, 3)}},
    {'T', {L(2, 0, 2, 4), L(0, 0, 4, 0), L(1, 4, 3, 4), PP(0, 1, 4, 1)}},
    {'N', {L(0, 0, 0, 4), L(0, 0, 4, 4), L(4, 0, 4, 4)}},
    {'E', {L(1, 0, 1, 4), L(0, 0, 4, 0), L(1, 2, 3, 2), L(0, 4, 4, 4), PP(4, 1, 4, 3)}},
    // Group 2
    {'W', {L(0, 0, 0, 3), L(4, 0, 4, 3), L(2, 1, 2, 3), PP(1, 4, 3, 4)}},
    {'M', {L(0, 4, 0, 0), L(4, 0, 4, 4), PP(1, 1, 3, 1), L(2, 2, 2, 4)}},
    {'F', {L(1, 0, 1, 4), L(0, 0, 4, 0), L(2, 2, 3, 2), L(0, 4, 2, 4)}},
    {'Z', {L(0, 0, 4, 0), L(0, 4, 4, 4), L(0, 4, 4, 0), PP(0, 1, 4, 3)}},
    {'X', {L(0, 4, 4, 0), L(0, 0, 4, 4)}},
    {'I', {L(0, 4, 4, 4), L(0, 0, 4, 0), L(2, 0, 2, 4)}},
    // Group 3
    {'H', {L(0, 0, 0, 4), L(0, 2, 4, 2), L(4, 0, 4, 4)}},
    {'K', {L(1, 0, 1, 4), L(2, 2, 4, 0), L(2, 2, 4, 4), PP(0, 0, 0, 4)}},
    {'V', {L(0, 0, 0, 1), L(4, 0, 4, 1), L(1, 2, 1, 3), L(3, 2, 3, 3), P(2, 4)}},
    {'!', {L(2, 0, 2, 2), P(2, 4)}},
    {'.', {P(2, 4)}},
    {'Y', {L(0, 0, 2, 2), L(4, 0, 2, 2), L(2, 2, 2, 4), L(1, 4, 3, 4)}},
    // Group 4
    {'/', {L(0, 4, 4, 0)}},
    {'\\', {L(0, 0, 4, 4)}},
    {'>', {L(0, 0, 4, 2), L(0, 4, 4, 2)}},
    {'<', {L(4, 0, 0, 2), L(4, 4, 0, 2)}},
    {'[', {L(1, 0, 1, 4), L(1, 0, 3, 0), L(1, 4, 3, 4)}},
    {']', {L(3, 0, 3, 4), L(1, 0, 3, 0), L(1, 4, 3, 4)}},
    // Group 5
    {'1', {L(0, 1, 2, 0), L(2, 0, 2, 4), L(0, 4, 4, 4)}},
    {'4', {L(0, 2, 3, 0), L(0, 2, 4, 2), L(3, 0, 3, 4)}},
    {'7', {L(0, 4, 4, 0), L(0, 0, 4, 0)}},
    {'-', {L(0, 2, 4, 2)}},
    {'+', {L(0, 2, 4, 2), L(2, 0, 2, 4)}},
    {'=', {L(0, 1, 4, 1), L(0, 3, 4, 3)}},
    {'_', {L(0, 4, 4, 4)}},
    // Group 6
    {'%', {L(0, 4, 4, 0), PP(0, 0, 4, 4)}},
    {',', {L(1, 4, 2, 3), P(1, 3)}},
    {'\'', {L(1, 1, 2, 0), P(1, 0)}},
    {'?', {L(1, 0, 3, 0), P(4, 1), P(2, 4), L(2, 2, 3, 2)}},
    {'D', {L(0, 0, 3, 0), L(1, 0, 1, 4), L(4, 1, 4, 3), L(0, 4, 3, 4)}},
    {'0', {L(0, 1, 0, 3), L(1, 0, 3, 0), L(4, 1, 4, 3), L(1, 4, 3, 4), L(3, 1, 1, 3)}},
    {'O', {L(0, 1, 0, 3), L(1, 0, 3, 0), L(4, 1, 4, 3), L(1, 4, 3, 4)}},
    {'2', {L(0, 4, 4, 4), L(0, 4, 3, 1), L(1, 0, 2, 0), P(0, 1)}},
    // Group 7
    {'U', {L(0, 0, 0, 3), L(4, 0, 4, 3), L(1, 4, 3, 4)}},
    {'P', {L(0, 0, 0, 4), L(0, 0, 3, 0), L(0, 2, 3, 2), P(4, 1)}},
    {'R', {L(0, 0, 0, 4), L(0, 0, 3, 0), L(0, 2, 3, 2), P(4, 1), L(2, 2, 4, 4)}},
    {'*', {L(1, 0, 3, 4), L(1, 4, 3, 0), L(0, 2, 4, 2)}},
    {'#', {L(1, 0, 1, 4), L(3, 4, 3, 0), L(0, 1, 4, 1), L(0, 3, 4, 3)}},
    {'J', {L(1, 0, 4, 0), L(3, 0, 3, 3), L(1, 4, 2, 4), P(0, 3)}},
    {'S', {L(1, 0, 4, 0), L(0, 4, 3, 4), L(1, 2, 3, 2), PP(0, 1, 4, 3)}},
    // Group 8
    {'3', {L(0, 0, 3, 0), L(0, 4, 3, 4), L(1, 2, 3, 2), PP(4, 1, 4, 3)}},
    {'G', {L(1, 0, 3, 0), L(0, 1, 0, 3), L(1, 4, 3, 4), P(3, 2), L(4, 2, 4, 3)}},
    {'C', {L(1, 0, 4, 0), L(0, 1, 0, 3), L(1, 4, 4, 4)}},
    {'Q', {L(0, 1, 0, 3), L(1, 0, 3, 0), L(4, 1, 4, 2), L(1, 4, 2, 4), L(4, 4, 2, 2)}},
    {'5', {L(4, 0, 0, 0), LC(0, 2), LC(3, 2), L(0, 4, 3, 4), P(4, 3)}},
    {'6', {L(1, 4, 3, 4), L(1, 2, 3, 2), L(1, 0, 4, 0), P(4, 3), L(0, 3, 0, 1)}},
    {'8', {L(1, 4, 3, 4), L(1, 2, 3, 2), L(1, 0, 3, 0), PP(4, 3, 0, 3), PP(0, 1, 4, 1)}},
    {'9', {L(0, 4, 3, 4), L(1, 2, 3, 2), L(1, 0, 3, 0), P(0, 1), L(4, 3, 4, 1)}},
    {';', {L(1, 4, 2, 3), P(1, 3), L(1, 1, 2, 1)}},
    {'$', {L(1, 0, 4, 0), L(0, 4, 3, 4), L(1, 2, 3, 2), PP(0, 1, 4, 3), L(2, 0, 2, 3)}},
    {'^', {L(0, 1, 1, 1), L(3, 1, 4, 1), P(2, 0)}},
    {'&',
     {L(1, 0, 2, 0), L(1, 2, 2, 2), L(1, 4, 2, 4), PP(0, 1, 3, 1), PP(0, 3, 3, 3), PP(4, 4, 4, 2)}},
    {':', {PP(2, 1, 2, 3)}},
    {'@', {L(0, 1, 0, 3), L(1, 0, 3, 0), P(4, 1), L(1, 4, 3, 4), L(2, 2, 4, 2)}},
    {'(', {L(1, 1, 1, 3), L(2, 0, 3, 0), L(2, 4, 3, 4)}},
    {')', {L(3, 1, 3, 3), L(1, 0, 2, 0), L(1, 4, 2, 4)}},
    {'}', {L(1, 0, 3, 2), LC(1, 4), PP(2, 0, 2, 4)}},
    {'{', {L(3, 0, 1, 2), LC(3, 4), PP(2, 0, 2, 4)}},
};

// Drawn for every string that is not exactly one of the characters above.
constexpr Glyph kFallback = {0, {L(1, 2, 3, 2), L(2, 1, 2, 3)}};

constexpr bool GroupsCoverTable() {
  int n = 0;
  for (int size : kGroupSizes) n += size;
  return n == kGlyphCount;
}
static_assert(GroupsCoverTable());

const Glyph& FindGlyph(std::string_view character) {
  if (character.size() == 1) {
    for (const Glyph& g : kGlyphs) {
      if (g.ch == character[0]) return g;
    }
  }
  return kFallback;
}

// A cell coordinate plus an offset, as the primitives take it. Widened first
// so that no text position can overflow; the primitives clip.
float Coord(int base, int offset) {
  return static_cast<float>(int64_t{base} + offset);
}

// --- Generated text ---

std::string Offset(const char* var, int offset) {
  std::string s = var;
  if (offset != 0) s += " + " + std::to_string(offset);
  return s;
}

std::string Point(int a, int b) {
  return "(" + Offset("collom", a) + ", " + Offset("row", b) + ")";
}

std::string StrokeText(const Stroke& s) {
  switch (s.kind) {
    case kPoint:
      return "PSET " + Point(s.a, s.b) + ", Fcolor";
    case kPointPair:
      return "PSET " + Point(s.a, s.b) + ", Fcolor: PSET " + Point(s.c, s.d) + ", Fcolor";
    case kSegment:
      return "LINE " + Point(s.a, s.b) + "-" + Point(s.c, s.d) + ", Fcolor";
    case kContinued:
      return "LINE -" + Point(s.c, s.d) + ", Fcolor";
    case kEnd:
      break;
  }
  return "";
}

void AppendGlyphLines(std::vector<std::string>& out, const Glyph& g) {
  for (const Stroke& s : g.strokes) {
    if (s.kind == kEnd) break;
    out.push_back(StrokeText(s));
  }
}

std::vector<std::string> BuildBlock() {
  std::vector<std::string> out = {
      "GoTo EndAbc",
      "Dprint:",
      "PrintFlarp$ = UCASE$(PrintFlarp$)",
      "FOR I = 1 TO LEN(PrintFlarp$)",
      "Line (wx, wy)-(wx+7, wy+6), Bcolor, BF",
      "Trint$ = LEFT$(PrintFlarp$, I)",
      "Trint$ = RIGHT$(Trint$, 1)",
      "IF Trint$ <> \" \" THEN A$ = Trint$: collom = wx: row = wy: GOSUB ABC",
      "wx = wx + 7",
      "NEXT",
      "wy = wy + 7",
      "IF wy > 24 * 7 THEN wy = 1",
      "wx = 1",
      "return",
      "Abc:",
      "SELECT CASE a$",
  };
  int next = 0;
  int groups = 0;
  for (int size : kGroupSizes) {
    if (groups++ > 0) {
      out.push_back("CASE ELSE");
      out.push_back("SELECT CASE A$");
    }
    for (int i = 0; i < size; ++i, ++next) {
      out.push_back(std::string("CASE \"") + kGlyphs[next].ch + "\"");
      AppendGlyphLines(out, kGlyphs[next]);
    }
  }
  out.push_back("CASE ELSE");
  AppendGlyphLines(out, kFallback);
  for (int i = 0; i < groups; ++i) out.push_back("END SELECT");
  out.push_back("Return");
  out.push_back("EndAbc:");
  return out;
}

// --- Whole cells at once ---

// The pixels a glyph's strokes set, bit 5 * b + a for offset (a, b), and the
// offset of the last point they leave. All strokes have one colour, so the
// order in which they set pixels does not matter.
struct GlyphPixels {
  uint32_t bits = 0;
  int last_a = 0, last_b = 0;
};

// A solid segment of the table: Bresenham from (a, b) toward (c, d), ties
// stepping along x, as LINE draws an unclipped line.
void AddSegment(GlyphPixels& g, int a, int b, int c, int d) {
  const int dx = std::abs(c - a), dy = std::abs(d - b), sx = c > a ? 1 : -1, sy = d > b ? 1 : -1;
  const bool x_major = dx >= dy;
  const int d_major = x_major ? dx : dy, d_minor = x_major ? dy : dx;
  int err = 2 * d_minor - d_major;
  for (int i = 0;; ++i) {
    g.bits |= 1u << (5 * b + a);
    if (i == d_major) break;
    if (err >= 0) {
      (x_major ? b : a) += x_major ? sy : sx;
      err -= 2 * d_major;
    }
    err += 2 * d_minor;
    (x_major ? a : b) += x_major ? sx : sy;
  }
  g.last_a = c, g.last_b = d;
}

void AddPoint(GlyphPixels& g, int a, int b) {
  g.bits |= 1u << (5 * b + a);
  g.last_a = a, g.last_b = b;
}

GlyphPixels Rasterise(const Glyph& glyph) {
  GlyphPixels g;
  for (const Stroke& s : glyph.strokes) {
    if (s.kind == kEnd) break;
    if (s.kind == kPoint || s.kind == kPointPair) AddPoint(g, s.a, s.b);
    if (s.kind == kPointPair) AddPoint(g, s.c, s.d);
    if (s.kind == kSegment) AddSegment(g, s.a, s.b, s.c, s.d);
    if (s.kind == kContinued) AddSegment(g, g.last_a, g.last_b, s.c, s.d);
  }
  return g;
}

// The glyph pixels of every single character.
const GlyphPixels& CharacterPixels(char c) {
  static const std::array<GlyphPixels, 256> table = [] {
    std::array<GlyphPixels, 256> t;
    for (int i = 0; i < 256; ++i) {
      const char ch = static_cast<char>(i);
      t[static_cast<size_t>(i)] = Rasterise(FindGlyph(std::string_view(&ch, 1)));
    }
    return t;
  }();
  return table[static_cast<unsigned char>(c)];
}

// Positions this far out are never drawn at once; a cell that lies wholly
// inside the view is far closer.
constexpr int kFar = 1 << 20;

// Draws a character cell, box and glyph, straight into a page of byte
// pixels under one lock, when the whole cell lies inside the view: the same
// pixels, last point and flagged rows as the filled box and the strokes
// drawn one by one. False, drawing nothing, otherwise.
bool DrawCellAtOnce(char ch, int x, int y, const TextState& t) {
  GfxScreen* s = gfx_screen();
  if (s == nullptr || std::abs(x) > kFar || std::abs(y) > kFar) return false;
  DrawContext* c = draw_context();
  if (c->bytes_per_pixel != 1 || c->window_set) return false;
  const int px = x + (c->view_screen_coords ? 0 : c->view_x);
  const int py = y + (c->view_screen_coords ? 0 : c->view_y);
  if (!(px >= c->view_x && px + 7 < c->view_x + c->view_w && py >= c->view_y &&
        py + 6 < c->view_y + c->view_h)) {
    return false;
  }
  const auto back = static_cast<uint8_t>(mask_colour(s, static_cast<uint32_t>(t.Bcolor)));
  const auto fore = static_cast<uint8_t>(mask_colour(s, static_cast<uint32_t>(t.Fcolor)));
  lock_screen();
  // The cell's rows, kept apart from the page: byte stores may alias
  // anything else, which would make each store reread the row table.
  uint8_t* cell[7];
  for (int row = 0; row < 7; ++row) cell[row] = c->rows[py + row] + px;
  const uint64_t eight = 0x0101010101010101ull * back;  // the box's 8 pixels of a row
  for (uint8_t* row : cell) std::memcpy(row, &eight, 8);
  c->last_x = Coord(x, 7), c->last_y = Coord(y, 6);
  if (ch != ' ') {
    const GlyphPixels& g = CharacterPixels(ch);
    for (uint32_t bits = g.bits; bits != 0; bits &= bits - 1) {
      const int bit = __builtin_ctz(bits);
      cell[bit / 5][bit % 5] = fore;
    }
    c->last_x = Coord(x, g.last_a), c->last_y = Coord(y, g.last_b);
  }
  if (c->work_page == s->visible_page) flag_rows(s, py, py + 6);
  unlock_screen_unflagged();
  return true;
}

}  // namespace

void DrawStrokeGlyph(std::string_view character, int x, int y) {
  const Glyph& g = FindGlyph(character);
  uint32_t colour = static_cast<uint32_t>(text_state().Fcolor);
  for (const Stroke& s : g.strokes) {
    switch (s.kind) {
      case kEnd:
        return;
      case kPoint:
        PSET(Coord(x, s.a), Coord(y, s.b), colour, kCoordPoint, 0);
        break;
      case kPointPair:
        PSET(Coord(x, s.a), Coord(y, s.b), colour, kCoordPoint, 0);
        PSET(Coord(x, s.c), Coord(y, s.d), colour, kCoordPoint, 0);
        break;
      case kSegment:
        LINE(Coord(x, s.a), Coord(y, s.b), Coord(x, s.c), Coord(y, s.d), colour, kLineLine, 0xFFFF,
             kCoordAbsolute);
        break;
      case kContinued:
        LINE(0, 0, Coord(x, s.c), Coord(y, s.d), colour, kLineLine, 0xFFFF, kCoordFirstRel);
        break;
    }
  }
}

void DrawStrokeText(std::string& text) {
  for (char& c : text) {
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  }
  TextState& t = text_state();
  for (char c : text) {
    if (DrawCellAtOnce(c, t.wx, t.wy, t)) {
      t.wx += 7;
      continue;
    }
    LINE(Coord(t.wx, 0), Coord(t.wy, 0), Coord(t.wx, 7), Coord(t.wy, 6),
         static_cast<uint32_t>(t.Bcolor), kLineBoxFilled, 0xFFFF, kCoordAbsolute);
    if (c != ' ') DrawStrokeGlyph(std::string_view(&c, 1), t.wx, t.wy);
    t.wx += 7;
  }
  t.wy += 7;
  if (t.wy > 168) t.wy = 1;
  t.wx = 1;
}

void DrawStrokeText(const char* text) {
  std::string copy = text;
  DrawStrokeText(copy);
}

const std::vector<std::string>& DprintBlockLines() {
  static const std::vector<std::string> lines = BuildBlock();
  return lines;
}
