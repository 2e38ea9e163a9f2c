// The whole-ellipse walk takes long hidden stretches at once; the pixels
// must be exactly those of the plain step-by-step walk, written out here.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdint>
#include <random>
#include <vector>

#include "gfx/draw.h"
#include "gfx/screen.h"
#include "gfx_test_util.h"

namespace {

// The plain walk on a 640 x 200 page: one step at a time, every scan line.
std::vector<uint8_t> PlainEllipse(int cx, int cy, float a, float b, bool fill) {
  std::vector<uint8_t> page(640 * 200, 0);
  std::vector<bool> done(200, false);
  auto emit = [&](int64_t y, int64_t xa, int64_t xb, bool filled) {
    if (y < 0 || y > 199) return;
    if (filled) {
      if (xb < 0 || xa > 639 || done[y]) return;
      done[y] = true;
      for (int64_t x = std::max<int64_t>(xa, 0); x <= std::min<int64_t>(xb, 639); ++x) {
        page[y * 640 + x] = 1;
      }
      return;
    }
    if (xa >= 0 && xa <= 639) page[y * 640 + xa] = 1;
    if (xb >= 0 && xb <= 639) page[y * 640 + xb] = 1;
  };
  int64_t x1 = static_cast<int64_t>(static_cast<float>(cx) - a);
  int64_t x2 = static_cast<int64_t>(static_cast<float>(cx) + a);
  int64_t y1 = cy, y2 = cy;
  if (b == 0) {
    emit(cy, x1, x2, true);
    return page;
  }
  emit(cy, x1, x2, fill);
  int64_t aq = static_cast<int64_t>(a * a), bq = static_cast<int64_t>(b * b);
  int64_t dx = 2 * aq, dy = 2 * bq, r = static_cast<int64_t>(a * static_cast<float>(bq));
  int64_t rx = 2 * r, ry = 0;
  for (int32_t d = static_cast<int32_t>(a); d > 0;) {
    if (r > 0) y1 += 1, y2 -= 1, ry += dx, r -= ry;
    if (r <= 0) d -= 1, x1 += 1, x2 -= 1, rx -= dy, r += rx;
    emit(y1, x1, x2, fill);
    emit(y2, x1, x2, fill);
  }
  return page;
}

std::vector<uint8_t> DrawnEllipse(int cx, int cy, float radius, float aspect, bool fill) {
  SCREEN(8, 4, 2, 0, 0);
  CIRCLE(static_cast<float>(cx), static_cast<float>(cy), radius, 1, aspect, 0, kFullTurn,
         fill ? 1 : 0, kCoordPoint);
  GfxScreen* s = gfx_screen();
  return {s->pages[0], s->pages[0] + 640 * 200};
}

struct Case {
  int cx, cy;
  float radius, aspect;
};

}  // namespace

using EllipseWalkTest = Mode8Test;

TEST_F(EllipseWalkTest, SkippingHiddenStepsDrawsExactlyThePlainWalk) {
  const Case cases[] = {
      {320, 100, 90, 1},         {320, 100, 5000, 0.01f},   {-4000, 100, 4300, 1},
      {900, 50, 500, 0.2f},      {320, -3000, 3100, 1},     {320, 3150, 3100, 1},
      {100, 100, 20000, 0.001f}, {320, 100, 300, 3},        {-200, -150, 420, 0.7f},
      {700, 260, 200, 0.5f},     {320, 90, 40000, 0.0001f}, {10, 10, 7, 15},
  };
  std::vector<Case> all(std::begin(cases), std::end(cases));
  // Small and mid-sized ellipses anywhere, partly off the page.
  std::mt19937 rng(13);
  auto pick = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };
  for (int i = 0; i < 400; ++i) {
    all.push_back({pick(-50, 690), pick(-50, 250), static_cast<float>(pick(1, 120)),
                   static_cast<float>(pick(1, 40)) / 10.0f});
  }
  for (const Case& k : all) {
    float a = k.aspect > 1 ? k.radius / k.aspect : k.radius;
    float b = k.aspect > 1 ? k.radius : k.radius * k.aspect;
    for (bool fill : {false, true}) {
      EXPECT_EQ(DrawnEllipse(k.cx, k.cy, k.radius, k.aspect, fill),
                PlainEllipse(k.cx, k.cy, a, b, fill))
          << k.cx << "," << k.cy << " r " << k.radius << " aspect " << k.aspect << " fill " << fill;
    }
  }
}

TEST_F(EllipseWalkTest, FlatOrFarOffEllipsesCostLittle) {
  auto start = std::chrono::steady_clock::now();
  for (int i = 0; i < 200; ++i) {
    CIRCLE(320, 100, 1900000, 4, 1e-6f, 0, kFullTurn, 0, kCoordPoint);
    CIRCLE(-1000000, 100, 1000300, 4, 1, 0, kFullTurn, 0, kCoordPoint);
    CIRCLE(320, -900000, 900100, 4, 1, 0, kFullTurn, 1, kCoordPoint);
  }
  double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  // A safety net for sanitizer builds: stepping one by one takes minutes.
  EXPECT_LT(seconds, 10.0);
}
