// reader_fuzz - libFuzzer target: arbitrary bytes as a drawing file, read
// and drawn by ReadImage on a headless mode-8 screen.
//
// The bytes are cut into lines as the runtime's line reader cuts a file: at
// LF, a CR right before the LF dropped, a last line without LF kept. Every
// input starts from a blank page and the text state of a fresh start. Besides
// the sanitizers' checks, the reader must hand every line it read to the
// copy, unchanged and in order, and leave the screen lock released.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "backends/backends.h"
#include "gfx/screen.h"
#include "gfx/text.h"
#include "imageformat/format.h"
#include "runtime/clock.h"
#include "strokefont/text_state.h"

namespace {

// The next line of `rest`, as the runtime's line reader returns it.
bool next_line(std::string_view* rest, std::string_view* line) {
  if (rest->empty()) return false;
  size_t lf = rest->find('\n');
  size_t end = lf == std::string_view::npos ? rest->size() : lf;
  size_t keep = lf != std::string_view::npos && end > 0 && (*rest)[end - 1] == '\r' ? end - 1 : end;
  *line = rest->substr(0, keep);
  rest->remove_prefix(lf == std::string_view::npos ? end : end + 1);
  return true;
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
  text_state() = TextState{};
  set_pages(0, 0);
  CLS(0);
  std::string_view input(reinterpret_cast<const char*>(data), size), unread = input, copied = input;
  bool copies_match = true;
  ImageLines lines{[&](std::string_view* line) { return next_line(&unread, line); },
                   [&](std::string_view line) {
                     std::string_view expected;
                     copies_match =
                         copies_match && next_line(&copied, &expected) && line == expected;
                   }};
  ReadImage(lines);
  if (!copies_match || !unread.empty() || !copied.empty()) std::abort();
  if (gfx_screen()->lock_count != 0) std::abort();
  return 0;
}
