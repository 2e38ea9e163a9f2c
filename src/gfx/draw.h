// draw.h - the drawing primitives: points, lines, boxes, ellipses, flood fill.
//
// Coordinates are floats in screen pixels, rounded half away from zero; the
// drawing goes to the calling thread's work page, clipped to its view. The
// target argument of the runtime is always the work page here, so it is
// left out. flags bits 0-2 give the coordinate kind (kCoord*), bit 31 says
// the colour is omitted (the foreground colour is used), bit 30 (PAINT) that
// the border colour is the paint colour. Without an open screen nothing is
// drawn and POINT returns -1. A NaN coordinate, radius or aspect draws
// nothing; huge values saturate; no call runs for more than a few
// milliseconds on a 640 x 200 screen, whatever its arguments.
#pragma once

#include <cmath>
#include <cstdint>
#include <string_view>

enum : int {
  kCoordAbsolute = 0,   // two points, both absolute
  kCoordSecondRel = 1,  // second = first + second
  kCoordFirstRel = 2,   // first = last point + first
  kCoordBothRel = 3,    // first = last + first, second = first + second
  kCoordPoint = 4,      // one absolute point
  kCoordPointRel = 5,   // point = last point + point
};
constexpr int kColourOmitted = static_cast<int>(0x80000000u);
constexpr int kBorderOmitted = 0x40000000;

enum : int { kLineLine = 0, kLineBox = 1, kLineBoxFilled = 2 };

// The single-precision number just above 2*pi that selects a whole ellipse
// when passed as CIRCLE's end angle with a start angle of 0.
extern const float kFullTurn;

void PSET(float x, float y, uint32_t colour, int flags, int preset);
void LINE(float x1, float y1, float x2, float y2, uint32_t colour, int kind, uint32_t style,
          int flags);
int POINT(float x, float y);
void CIRCLE(float x, float y, float radius, uint32_t colour, float aspect, float start, float end,
            int fill, int flags);
void PAINT(float x, float y, uint32_t paint_colour, uint32_t border_colour,
           std::string_view pattern, int mode, int flags);

// Rounds half away from zero, saturating to a range that keeps pixel
// arithmetic free of overflow; NaN gives 0 (callers reject NaN first).
inline int round_coordinate(float v) {
  constexpr double kLimit = 1 << 30;
  double d = v;
  if (std::isnan(d)) return 0;
  d = d > 0 ? d + 0.5 : d - 0.5;
  if (d > kLimit) d = kLimit;
  if (d < -kLimit) d = -kLimit;
  return static_cast<int>(d);  // truncates toward zero
}
