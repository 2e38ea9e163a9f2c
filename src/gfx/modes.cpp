// The mode table and the colour sets.
//
// Only the 2- and 16-colour sets are given here. The 64-colour set of mode 9
// and the 256-colour sets of modes 12-21 are not, so SCREEN refuses those
// modes until someone supplies them. Also left out on purpose: the key-state
// table and the window event queue, which nothing reads.
#include "gfx/screen.h"

namespace {

constexpr ModeEntry kModes[22] = {
    {},                                  // 0: leaves graphics
    {320, 200, 2, 1, 16, 8, 40, 25, 0},  // 1
    {640, 200, 1, 2, 16, 8, 80, 25, 0},  // 2
    {},
    {},
    {},
    {},
    {320, 200, 4, 1, 16, 8, 40, 25, 0},       // 7
    {640, 200, 4, 2, 16, 8, 80, 25, 0},       // 8
    {640, 350, 4, 1, 64, 14, 80, 25, 0},      // 9
    {640, 350, 1, 1, 2, 14, 80, 25, 0},       // 10
    {640, 480, 1, 1, 2, 16, 80, 30, 0},       // 11
    {640, 480, 4, 1, 256, 16, 80, 30, 0},     // 12
    {320, 200, 8, 1, 256, 8, 40, 25, 0},      // 13
    {320, 240, 8, 1, 256, 8, 40, 30, 0},      // 14
    {400, 300, 8, 1, 256, 8, 50, 37, 0},      // 15
    {512, 384, 8, 1, 256, 16, 64, 24, 0},     // 16
    {640, 400, 8, 1, 256, 16, 80, 25, 0},     // 17
    {640, 480, 8, 1, 256, 16, 80, 30, 0},     // 18
    {800, 600, 8, 1, 256, 16, 100, 37, 0},    // 19
    {1024, 768, 8, 1, 256, 16, 128, 48, 0},   // 20
    {1280, 1024, 8, 1, 256, 16, 160, 64, 0},  // 21
};

}  // namespace

const uint8_t kPalette16[16][3] = {
    {0, 0, 0},     {0, 0, 170},     {0, 170, 0},    {0, 170, 170},   {170, 0, 0},   {170, 0, 170},
    {170, 85, 0},  {170, 170, 170}, {85, 85, 85},   {85, 85, 255},   {85, 255, 85}, {85, 255, 255},
    {255, 85, 85}, {255, 85, 255},  {255, 255, 85}, {255, 255, 255},
};

const ModeEntry* mode_entry(int mode) {
  if (mode < 1 || mode > 21 || kModes[mode].width == 0) return nullptr;
  return &kModes[mode];
}
