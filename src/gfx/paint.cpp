// PAINT: flood fill up to a border colour, without recursion.
//
// The area is found first on the picture as it is, then written; so the
// result does not depend on the fill order, and pixels already in the paint
// colour are filled through like any other. The area is every pixel of the
// view that is not of the border colour and is joined to the start pixel by
// steps left, right, up and down.
//
// The search works on bit rows, one bit per column: `open` marks the pixels
// that are not of the border colour (a row is read once, 64 pixels at a
// time, when the search first reaches it), `seen` the pixels of the spans
// found so far. A span is a run of open pixels between two border pixels or
// view edges. Each is found once and kept on a stack until the rows above
// and below it have been searched, whole words of open and not yet seen
// pixels at a time. The fill then writes the runs of the seen bits, one run
// fill per span.
#include <algorithm>
#include <bit>
#include <vector>

#include "gfx/draw.h"
#include "gfx/frame.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace {

using Word = uint64_t;
constexpr int kWordBits = 64;

// A run of open pixels in row y; from_x1..from_x2 is the span next to it in
// row from_y through which it was found (from_y is -1 for the first span).
struct Span {
  int y, x1, x2;
  int from_y, from_x1, from_x2;
};

// The bits of a word from bit a up (a may lie outside 0..63).
inline Word bits_from(int a) {
  if (a <= 0) return ~Word{0};
  return a >= kWordBits ? 0 : ~Word{0} << a;
}

// The bits of columns lo..hi that fall into word w.
inline Word column_mask(int w, int lo, int hi) {
  return bits_from(lo - w * kWordBits) & ~bits_from(hi + 1 - w * kWordBits);
}

// Bit i set when byte i of the 64 at p is not `border`.
Word bytes_not_equal(const uint8_t* p, uint8_t border) {
#if defined(__SSE2__)
  const __m128i b = _mm_set1_epi8(static_cast<char>(border));
  Word equal = 0;
  for (int i = 0; i < 4; ++i) {
    const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + 16 * i));
    const auto bits = static_cast<uint16_t>(_mm_movemask_epi8(_mm_cmpeq_epi8(v, b)));
    equal |= Word{bits} << (16 * i);
  }
  return ~equal;
#else
  Word bits = 0;
  for (int i = 0; i < kWordBits; ++i) bits |= Word{p[i] != border} << i;
  return bits;
#endif
}

// The first column at or after x whose bit is clear; the row must have one.
int next_clear(const Word* row, int x) {
  int w = x / kWordBits;
  Word clear = ~row[w] & (~Word{0} << (x % kWordBits));
  while (clear == 0) clear = ~row[++w];
  return w * kWordBits + std::countr_zero(clear);
}

struct AreaSearch {
  const DrawContext* c;
  uint32_t border;
  int width;        // of the screen, in pixels
  int left, right;  // view columns
  int top, end;     // view rows top..end-1
  int words;        // per bit row; the bit after the last column is never open
  std::vector<Word> open, seen;
  std::vector<uint8_t> ready;  // per row: its open bits are known
  std::vector<Span> stack;     // spans whose neighbours are still to be searched
  int first_row = 0, last_row = -1;

  AreaSearch(const DrawContext* context, uint32_t border_colour, int screen_width)
      : c(context),
        border(border_colour),
        width(screen_width),
        left(context->view_x),
        right(context->view_x + context->view_w - 1),
        top(context->view_y),
        end(context->view_y + context->view_h),
        words(screen_width / kWordBits + 1),
        open(static_cast<size_t>(end) * static_cast<size_t>(words)),
        seen(open.size()),
        ready(static_cast<size_t>(end)),
        first_row(end) {}

  Word* bits(std::vector<Word>& v, int y) const {
    return v.data() + static_cast<size_t>(y) * static_cast<size_t>(words);
  }

  const Word* open_row(int y) {
    Word* row = bits(open, y);
    if (!ready[static_cast<size_t>(y)]) read_row(y, row);
    return row;
  }

  void read_row(int y, Word* row) {
    ready[static_cast<size_t>(y)] = 1;
    const uint8_t* pixels = c->rows[static_cast<size_t>(y)];
    for (int w = left / kWordBits; w <= right / kWordBits; ++w) {
      const int x0 = w * kWordBits;
      Word b = 0;
      if (c->bytes_per_pixel == 1 && x0 + kWordBits <= width) {
        b = bytes_not_equal(pixels + x0, static_cast<uint8_t>(border));
      } else {
        for (int x = std::max(x0, left); x <= std::min(x0 + kWordBits - 1, right); ++x) {
          b |= Word{get(c, x, y) != border} << (x - x0);
        }
      }
      row[w] = b & column_mask(w, left, right);
    }
  }

  // Records the span through the open pixel (x, y), which no span holds
  // yet, found through span `from`; returns its last column.
  int add_span(const Word* o, int x, int y, const Span& from) {
    int w = x / kWordBits;
    Word closed = ~o[w] & ((Word{1} << (x % kWordBits)) - 1);
    while (closed == 0 && w > 0) closed = ~o[--w];
    const int x1 = closed == 0 ? 0 : (w + 1) * kWordBits - std::countl_zero(closed);
    const int x2 = next_clear(o, x) - 1;
    Word* s = bits(seen, y);
    const int w1 = x1 / kWordBits, w2 = x2 / kWordBits;
    const Word head = bits_from(x1 % kWordBits), tail = ~bits_from(x2 % kWordBits + 1);
    if (w1 == w2) {
      s[w1] |= head & tail;
    } else {
      s[w1] |= head;
      std::fill(s + w1 + 1, s + w2, ~Word{0});
      s[w2] |= tail;
    }
    stack.push_back({y, x1, x2, from.y, from.x1, from.x2});
    first_row = std::min(first_row, y);
    last_row = std::max(last_row, y);
    return x2;
  }

  // Adds every new span of row y that touches columns x1..x2 of span s.
  void scan_row(const Span& s, int y, int x1, int x2) {
    if (x1 > x2) return;
    const Word* o = open_row(y);
    const Word* done = bits(seen, y);
    for (int x = x1; x <= x2;) {
      const int w = x / kWordBits;
      const Word fresh = o[w] & ~done[w] & column_mask(w, x, x2);
      x = fresh == 0 ? (w + 1) * kWordBits
                     : add_span(o, w * kWordBits + std::countr_zero(fresh), y, s) + 1;
    }
  }

  // The row the span was found from holds that span over from_x1..from_x2,
  // so only the columns beyond it can lead anywhere new there.
  void scan_next_to(const Span& s, int y) {
    if (y != s.from_y) return scan_row(s, y, s.x1, s.x2);
    scan_row(s, y, s.x1, std::min(s.x2, s.from_x1 - 1));
    scan_row(s, y, std::max(s.x1, s.from_x2 + 1), s.x2);
  }

  void run_from(int x, int y) {
    add_span(open_row(y), x, y, Span{-1, 0, -1, -1, 0, -1});
    while (!stack.empty()) {
      // Field by field: a span just pushed is read back at once, and one wide
      // load over several narrow stores would stall.
      const Span& last = stack.back();
      const Span s{last.y, last.x1, last.x2, last.from_y, last.from_x1, last.from_x2};
      stack.pop_back();
      if (s.y > top) scan_next_to(s, s.y - 1);
      if (s.y + 1 < end) scan_next_to(s, s.y + 1);
    }
  }
};

// Writes columns x1..x2 of one row: the paint colour, or in tile mode one
// byte per row of the tile, its bits from the left.
void write_span(DrawContext* c, int y, int x1, int x2, uint32_t paint, std::string_view tile) {
  if (tile.empty()) {
    run(c, y, x1, x2, paint);
    return;
  }
  auto bits = static_cast<uint8_t>(tile[static_cast<size_t>(y) % tile.size()]);
  for (int px = x1; px <= x2; ++px) {
    put(c, px, y, (bits >> (7 - px % 8)) & 1 ? paint : c->background);
  }
}

// Writes the spans of every row of the area, from the seen bits. Each change
// between neighbouring bits starts or ends a span; the bit after the last
// column is clear, so every span ends in its row.
void write_area(DrawContext* c, AreaSearch& area, uint32_t paint, std::string_view tile) {
  for (int row = area.first_row; row <= area.last_row; ++row) {
    const Word* done = area.bits(area.seen, row);
    Word carry = 0;
    int start = -1;
    for (int w = 0; w < area.words; ++w) {
      Word changes = done[w] ^ ((done[w] << 1) | carry);
      carry = done[w] >> (kWordBits - 1);
      for (; changes != 0; changes &= changes - 1) {
        const int col = w * kWordBits + std::countr_zero(changes);
        if (start < 0) {
          start = col;
        } else {
          write_span(c, row, start, col - 1, paint, tile);
          start = -1;
        }
      }
    }
  }
}

}  // namespace

void PAINT(float x, float y, uint32_t paint_colour, uint32_t border_colour,
           std::string_view pattern, int mode, int flags) {
  GfxScreen* s = gfx_screen();
  if (!s) return;
  DrawContext* c = draw_context();
  uint32_t paint = resolve_colour(s, c, paint_colour, flags);
  uint32_t border = (flags & kBorderOmitted) ? paint : mask_colour(s, border_colour);
  FramePoint p;
  int kind = (flags & 7) == kCoordPointRel ? kCoordPointRel : kCoordPoint;
  if (!frame_point(c, kind, x, y, &p) || !in_view(c, p.x, p.y)) return;
  std::string_view tile = mode == 1 ? pattern.substr(0, 256) : std::string_view();
  if (get(c, p.x, p.y) == border) return;

  AreaSearch area(c, border, s->width);
  area.run_from(p.x, p.y);

  lock_screen();
  write_area(c, area, paint, tile);
  unlock_screen(area.first_row, area.last_row);
}
