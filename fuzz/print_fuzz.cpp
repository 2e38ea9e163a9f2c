// print_fuzz - libFuzzer target: arbitrary bytes through the 8x8 text print
// run of a headless mode-8 screen, with LOCATE, CLS, COLOR and page changes
// mixed in.
//
// The input is a series of records, each a control byte c and its operands:
//   c >> 6 == 0: print_run of the next c & 63 bytes (63: all the rest);
//   c >> 6 == 1: PRINT of the same, with its line end;
//   c >> 6 == 2: LOCATE with a row and a column from the next two bytes,
//                both ranging a little beyond the screen on either side;
//   c >> 6 == 3: by c & 3: CLS (argument from c >> 2), COLOR (colours from
//                the next two bytes, omission flags from c >> 2), set_pages
//                (work and visible page from bits 2 and 3 of c), or PCOPY.
// Every input starts on page 0, white on black, cleared. After every record
// the cursor must stand inside the text view and the screen lock be free.
// BEEP (byte 7) returns at once under the virtual clock.
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "backends/backends.h"
#include "gfx/screen.h"
#include "gfx/text.h"
#include "runtime/clock.h"

namespace {

struct Input {
  const uint8_t* data;
  size_t size;

  uint8_t byte() {
    if (size == 0) return 0;
    --size;
    return *data++;
  }
  std::string_view bytes(size_t n) {
    n = n == 63 ? size : std::min(n, size);
    std::string_view run(reinterpret_cast<const char*>(data), n);
    data += n, size -= n;
    return run;
  }
};

void other(Input& in, uint8_t c) {
  const int arg = c >> 2;
  switch (c & 3) {
    case 0: {
      constexpr uint32_t modes[4] = {0, 1, 2, kClsNoArgument};
      CLS(modes[arg & 3]);
      break;
    }
    case 1: {
      int fg = static_cast<int8_t>(in.byte()), bg = static_cast<int8_t>(in.byte());
      COLOR(fg, bg, arg & 3);
      break;
    }
    case 2:
      set_pages(arg & 1, (arg >> 1) & 1);
      break;
    default:
      PCOPY(arg & 1, (arg >> 1) & 1);
      break;
  }
}

bool cursor_in_view() {
  const GfxScreen* s = gfx_screen();
  return s->cursor_col >= 0 && s->cursor_col < s->text_cols && s->cursor_row >= 0 &&
         s->cursor_row < s->view_bottom;
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  setenv("TRVGFX", "null", 1);
  register_standard_backends();
  clock_use_virtual(true);
  if (SCREEN(8, 4, 2, 0, 0) != 0) std::abort();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  set_pages(0, 0);
  COLOR(15, 0, 0);
  CLS(0);
  Input in{data, size};
  while (in.size > 0) {
    const uint8_t c = in.byte();
    switch (c >> 6) {
      case 0:
        print_run(in.bytes(c & 63));
        break;
      case 1:
        PRINT(in.bytes(c & 63));
        break;
      case 2: {
        int row = in.byte() % 32 - 3, column = in.byte() % 88 - 4;
        LOCATE(row, column);
        break;
      }
      default:
        other(in, c);
        break;
    }
    if (!cursor_in_view() || gfx_screen()->lock_count != 0) std::abort();
  }
  return 0;
}
