#include "gfx_test_util.h"

#include <cstdlib>
#include <cstring>

#include "backends/backends.h"
#include "gfx/screen.h"

void Mode8Test::SetUp() {
  setenv("TRVGFX", "null", 1);
  register_standard_backends();
  ASSERT_EQ(SCREEN(8, 4, 2, 0, 0), 0);
}

void Mode8Test::TearDown() {
  SCREEN(0, 0, 0, 0, 0);
}

int PixelAt(int page, int x, int y) {
  GfxScreen* s = gfx_screen();
  return s->pages[page][static_cast<size_t>(y) * s->pitch + x];
}

::testing::AssertionResult PageMatches(int page, int x0, int y0,
                                       const std::vector<std::string>& rows) {
  for (size_t r = 0; r < rows.size(); ++r) {
    for (size_t i = 0; i < rows[r].size(); ++i) {
      char ch = rows[r][i];
      int want = ch == '.' ? 0 : std::stoi(std::string(1, ch), nullptr, 16);
      int x = x0 + static_cast<int>(i), y = y0 + static_cast<int>(r);
      int got = PixelAt(page, x, y);
      if (got != want) {
        return ::testing::AssertionFailure()
               << "pixel (" << x << "," << y << ") is " << got << ", expected " << want;
      }
    }
  }
  return ::testing::AssertionSuccess();
}

PixelSet LitPixels(int page) {
  GfxScreen* s = gfx_screen();
  PixelSet lit;
  for (int y = 0; y < s->height; ++y) {
    for (int x = 0; x < s->width; ++x) {
      if (PixelAt(page, x, y)) lit.insert({x, y});
    }
  }
  return lit;
}

int FlaggedRows() {
  GfxScreen* s = gfx_screen();
  int n = 0;
  for (int y = 0; y < s->height; ++y) n += s->row_flags[y] != 0;
  return n;
}

void ClearRowFlags() {
  GfxScreen* s = gfx_screen();
  std::memset(s->row_flags.data(), 0, s->row_flags.size());
}
