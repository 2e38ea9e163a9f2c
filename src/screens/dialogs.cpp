// The common box style, the help line and the message box.
#include "screens/dialogs.h"

#include <cstdint>

#include "gfx/draw.h"
#include "gfx/keyboard.h"
#include "gfx/keys.h"
#include "gfx/pages.h"
#include "gfx/screen.h"
#include "strokefont/stroke_font.h"
#include "strokefont/text_state.h"

namespace {

constexpr uint32_t kSolid = 0xFFFF;

float F(int64_t v) {
  return static_cast<float>(v);
}

// Draws a caller's line: its own string is upper-cased as it is drawn, a
// constant one is drawn from a copy.
void DrawLine(std::string& line) {
  DrawStrokeText(line);
}
void DrawLine(const std::string& line) {
  DrawStrokeText(line.c_str());
}

template <typename String>
void DrawMessageBoxOf(String& line1, String& line2, String& line3, String& line4, String& line5,
                      String& line6) {
  ResetTextPen();
  DrawScratchUnseen();
  DrawBox(100, 100, 500, 170, 7, 0);
  TextState& t = text_state();

  // The only button, always highlighted.
  t.wy = 154;
  t.wx = 280;
  DrawStrokeText("< Ok >");

  std::string help = "Press ENTER or esc when you are done reading this message.";
  DrawHelpLine((help + std::string(41, ' ')).c_str());

  t.Bcolor = 7;
  t.Fcolor = 0;
  t.wy = 105;
  for (String* line : {&line1, &line2, &line3, &line4, &line5, &line6}) {
    t.wx = 105;
    DrawLine(*line);
  }
  ShowScratchPage();
}

}  // namespace

void DrawShadow(int x1, int y1, int x2, int y2, int colour) {
  // Each column pair gets the pixels of alternate rows, starting one row
  // apart, so the picture shows through every other pixel.
  uint32_t c = static_cast<uint32_t>(colour);
  for (int64_t i = x1; i <= x2; i += 2) {
    LINE(F(i), F(y1), F(i), F(y2), c, kLineLine, 0xAAAA, kCoordAbsolute);
    LINE(F(i + 1), F(y1), F(i + 1), F(y2), c, kLineLine, 0x5555, kCoordAbsolute);
  }
}

void DrawBox(int left, int top, int right, int bottom, int body_colour, int shadow_colour) {
  DrawShadow(left + 5, top + 5, right + 5, bottom + 5, shadow_colour);
  LINE(F(left - 1), F(top - 1), F(right + 1), F(bottom + 1), 0, kLineBox, kSolid, kCoordAbsolute);
  LINE(F(left), F(top), F(right), F(bottom), static_cast<uint32_t>(body_colour), kLineBoxFilled,
       kSolid, kCoordAbsolute);
}

void DrawHelpLine(const char* text) {
  TextState& t = text_state();
  t.wx = 1;
  t.wy = 195;
  DrawStrokeText(text);
}

void DrawMessageBox(std::string& line1, std::string& line2, std::string& line3, std::string& line4,
                    std::string& line5, std::string& line6) {
  DrawMessageBoxOf(line1, line2, line3, line4, line5, line6);
}

void MessageBox(const std::string& line1, const std::string& line2, const std::string& line3,
                const std::string& line4, const std::string& line5, const std::string& line6) {
  ModalPages pages;
  TextPenScope pen;
  DrawMessageBoxOf(line1, line2, line3, line4, line5, line6);
  // A click on "< Ok >" is ENTER, the right button ESC.
  for (;;) {
    PointerEvent pointer;
    std::string key = wait_input(pointer);
    if (clicked_in(pointer, 280, 152, 321, 161)) key = kKeyEnter;
    if (pointer.kind == PointerKind::RightPress) key = kKeyEsc;
    if (key == kKeyEnter || key == kKeyEsc) return;
  }
}
