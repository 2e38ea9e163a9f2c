// The title screen: panel, striped logo, version, pencil and tune.
#include "editor/title.h"

#include <cmath>
#include <cstdint>

#include "gfx/draw.h"
#include "gfx/keyboard.h"
#include "gfx/keys.h"
#include "gfx/pages.h"
#include "gfx/screen.h"
#include "runtime/sound.h"
#include "strokefont/stroke_font.h"
#include "strokefont/text_state.h"

namespace {

constexpr uint32_t kSolid = 0xFFFF;

struct LogoBox {
  int x1, y1, x2, y2;
  uint32_t colour;
};

// The letters are filled boxes, each one band of four rows: rows 101-104
// colour 4, 105-108 colour 12, 109-112 colour 14, 113-116 colour 2, 117-120
// colour 1, 121-124 colour 5. Slots: K 165-213, O 230-284, V 294-335,
// 1 346-386.
constexpr LogoBox kLogo[] = {
    // K: a stem, a middle block and two stepped arms.
    {165, 101, 174, 104, 4},
    {203, 101, 213, 104, 4},
    {165, 105, 174, 108, 12},
    {192, 105, 202, 108, 12},
    {165, 109, 191, 112, 14},
    {165, 113, 191, 116, 2},
    {165, 117, 174, 120, 1},
    {192, 117, 202, 120, 1},
    {165, 121, 174, 124, 5},
    {203, 121, 213, 124, 5},
    // O: two sides and two bars meeting them at the corners.
    {241, 101, 273, 104, 4},
    {230, 105, 240, 108, 12},
    {274, 105, 284, 108, 12},
    {230, 109, 240, 112, 14},
    {274, 109, 284, 112, 14},
    {230, 113, 240, 116, 2},
    {274, 113, 284, 116, 2},
    {230, 117, 240, 120, 1},
    {274, 117, 284, 120, 1},
    {241, 121, 273, 124, 5},
    // V: two arms stepping 4 pixels inwards per band, meeting at the foot.
    {294, 101, 303, 104, 4},
    {326, 101, 335, 104, 4},
    {294, 105, 303, 108, 12},
    {326, 105, 335, 108, 12},
    {298, 109, 307, 112, 14},
    {322, 109, 331, 112, 14},
    {302, 113, 311, 116, 2},
    {318, 113, 327, 116, 2},
    {306, 117, 323, 120, 1},
    {310, 121, 319, 124, 5},
    // 1: base bar, stem, top flag and the short stroke left of the flag.
    {346, 121, 386, 124, 5},
    {363, 117, 371, 120, 1},
    {363, 113, 371, 116, 2},
    {363, 109, 371, 112, 14},
    {363, 105, 371, 108, 12},
    {355, 101, 371, 104, 4},
    {346, 105, 354, 108, 12},
};

void Line(float x1, float y1, float x2, float y2, uint32_t colour) {
  LINE(x1, y1, x2, y2, colour, kLineLine, kSolid, kCoordAbsolute);
}

// A line from where the previous one ended.
void LineTo(float x, float y, uint32_t colour) {
  LINE(0, 0, x, y, colour, kLineLine, kSolid, kCoordFirstRel);
}

void Paint(float x, float y, uint32_t colour) {
  PAINT(x, y, colour, colour, "", 0, kCoordPoint);
}

void DrawPencil() {
  Line(396, 101, 421, 115, 14);  // the two long sides
  Line(391, 106, 416, 120, 14);
  LineTo(421, 115, 6);  // the sharpened tip
  LineTo(425, 122, 6);
  LineTo(416, 120, 6);
  Paint(418, 119, 6);
  PSET(425, 122, 0, kCoordPoint, 0);  // the lead
  Line(416, 119, 421, 115, 14);       // the body
  Line(396, 101, 391, 106, 14);
  Paint(392, 106, 14);
  Line(396, 101, 391, 106, 8);   // the band at the end of the body
  Line(395, 101, 390, 106, 13);  // the eraser
  LineTo(385, 103, 13);
  LineTo(390, 98, 13);
  LineTo(395, 101, 13);
  Paint(386, 103, 13);
}

// The window's icon: the pencil alone, drawn as the title draws it on the
// panel's colour, on page 1 while page 0 is shown, then read back. The
// title's panel covers it again.
void SetPencilIcon() {
  constexpr int kLeft = 380, kTop = 98, kSize = 50;  // 50 x 25 pixels, 50 x 50 shown
  DrawScratchUnseen();
  LINE(kLeft, kTop, kLeft + kSize - 1, kTop + kSize / 2 - 1, 11, kLineBoxFilled, kSolid,
       kCoordAbsolute);
  DrawPencil();
  set_window_icon(kLeft, kTop, kSize, kSize / 2, 11);
}

}  // namespace

void DrawTitle() {
  LINE(139, 72, 461, 143, 11, kLineBoxFilled, kSolid, kCoordAbsolute);
  LINE(462, 144, 138, 71, 15, kLineBox, kSolid, kCoordAbsolute);
  for (const LogoBox& b : kLogo) {
    LINE(static_cast<float>(b.x1), static_cast<float>(b.y1), static_cast<float>(b.x2),
         static_cast<float>(b.y2), b.colour, kLineBoxFilled, kSolid, kCoordAbsolute);
  }

  text_state() = {.wx = 396, .wy = 130, .Fcolor = 14, .Bcolor = 11};
  DrawStrokeText("1.00");
  ResetTextPen();

  DrawPencil();
}

std::array<float, 7> TitleScale() {
  constexpr double kWhole = 1.12246206026161, kHalf = 1.0594631;
  constexpr double kSteps[6] = {kWhole, kHalf, kWhole, kWhole, kHalf, kWhole};
  std::array<float, 7> scale{440.0f};
  for (int i = 0; i < 6; ++i) scale[i + 1] = static_cast<float>(scale[i] * kSteps[i]);
  return scale;
}

std::array<Note, 5> TitleTune() {
  std::array<float, 7> f = TitleScale();
  auto hz = [](float v) { return static_cast<int>(std::lrint(v)); };
  return {{{hz(f[6]), 18}, {hz(f[3]), 18}, {hz(f[5]), 18}, {hz(f[4]), 18}, {37, 0}}};
}

void ShowTitle(Editor&) {
  SetPencilIcon();
  ShowScratchPage();
  DrawTitle();
  for (const Note& note : TitleTune()) PlayTone(note.freq, note.ticks);
  ShowPicture();
  // Any key, or a click of either button, goes on.
  for (PointerEvent pointer;;) {
    if (!wait_input(pointer).empty()) break;
    if (pointer.kind == PointerKind::Press || pointer.kind == PointerKind::RightPress) break;
  }
}
