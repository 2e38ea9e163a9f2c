// fonts.h - the code page 437 bitmap fonts of the text cells: 256 glyphs
// each, one byte per pixel row from the top, bit 0 the leftmost pixel.
#pragma once

#include <cstdint>

extern const uint8_t kFont8x8[256][8];
extern const uint8_t kFont8x14[256][14];
extern const uint8_t kFont8x16[256][16];
