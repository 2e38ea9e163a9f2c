#include "screens/text_boxes.h"

#include "gfx/text.h"

std::string Repeat(const std::string& s, int n) {
  std::string all;
  for (int i = 0; i < n; ++i) all += s;
  return all;
}

void PrintSmallBox(int top, const std::string& text) {
  const std::string h = "\xC4", blank = "\xB3" + std::string(18, ' ') + "\xB3";
  const std::string lines[5] = {"\xDA" + Repeat(h, 18) + "\xBF", blank, "\xB3" + text + "\xB3",
                                blank, "\xC0" + Repeat(h, 18) + "\xD9"};
  for (int i = 0; i < 5; ++i) {
    LOCATE(top + i, 10);
    PRINT(lines[i]);
  }
}
