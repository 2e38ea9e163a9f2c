// The window pixel to picture pixel mapping, at every window size that
// gives scales 1 to 3, every zoom and scroll, against a plain reference:
// the picture drawn pixel by pixel into a window of its own, each picture
// pixel painted over the window rectangle it covers.
#include "backends/view.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

// What a window pixel shows, worked out by painting: the zoomed picture is
// width * f * z by rows * 2 * f * z window pixels, centred when it fits and
// shifted by the scroll when not; a window pixel outside it takes the
// nearest picture pixel.
struct Painted {
  int w, h;
  std::vector<int> px, py;
};

Painted Paint(int width, int rows, int out_w, int out_h, int zoom, int sx, int sy) {
  int f = 1;
  while (width * (f + 1) <= out_w && rows * 2 * (f + 1) <= out_h) ++f;
  const int cell = f * zoom, image_w = width * cell, image_h = rows * 2 * cell;
  const int left = image_w <= out_w ? (out_w - image_w) / 2 : -sx;
  const int top = image_h <= out_h ? (out_h - image_h) / 2 : -sy;
  Painted p{out_w, out_h, std::vector<int>(out_w * out_h), std::vector<int>(out_w * out_h)};
  for (int wy = 0; wy < out_h; ++wy) {
    for (int wx = 0; wx < out_w; ++wx) {
      int x = 0, y = 0;
      while (x + 1 < width && left + (x + 1) * cell <= wx) ++x;
      while (y + 1 < rows && top + (y + 1) * 2 * cell <= wy) ++y;
      p.px[wy * out_w + wx] = x, p.py[wy * out_w + wx] = y;
    }
  }
  return p;
}

TEST(View, WindowPixelsShowThePicturePixelsAPaintedPictureShows) {
  // A small picture keeps the reference quick; the arithmetic is the same.
  const int width = 16, rows = 5;
  for (int out_w : {16, 31, 33, 50}) {
    for (int out_h : {10, 21, 30}) {
      for (int zoom : kZoomSteps) {
        for (int sx : {0, 7, 1000}) {
          for (int sy : {0, 3, 1000}) {
            View v{width, rows, 2, out_w, out_h, zoom, sx, sy};
            view_clamp(v);
            const Painted p = Paint(width, rows, out_w, out_h, zoom, v.scroll_x, v.scroll_y);
            for (int wy = 0; wy < out_h; ++wy) {
              for (int wx = 0; wx < out_w; ++wx) {
                int x = -1, y = -1;
                view_picture_pixel(v, wx, wy, &x, &y);
                ASSERT_EQ(x, p.px[wy * out_w + wx])
                    << out_w << "x" << out_h << " zoom " << zoom << " scroll " << sx << "," << sy
                    << " at " << wx << "," << wy;
                ASSERT_EQ(y, p.py[wy * out_w + wx]) << out_w << "x" << out_h << " zoom " << zoom;
              }
            }
          }
        }
      }
    }
  }
}

// The scroll never shows beyond the picture; following a pixel keeps it an
// eighth of the window inside; zooming about a window pixel keeps the
// picture pixel under it.
TEST(View, ScrollStaysOnThePictureAndFollowsTheCursor) {
  View v{640, 200, 2, 1280, 800, 8, -50, 99999};
  view_clamp(v);
  EXPECT_EQ(v.scroll_x, 0);
  EXPECT_EQ(v.scroll_y, 200 * 2 * 16 - 800);
  view_follow(v, 639, 0);
  EXPECT_EQ(v.scroll_x, 640 * 16 - 1280);
  EXPECT_EQ(v.scroll_y, 0);
  view_follow(v, 320, 100);
  int wx = 0, wy = 0;
  view_window_pixel(v, 320, 100, &wx, &wy);
  EXPECT_GE(wx, 160);
  EXPECT_LE(wx + 16, 1280 - 160);
  EXPECT_GE(wy, 100);
  EXPECT_LE(wy + 32, 800 - 100);

  View z{640, 200, 2, 1280, 800, 1, 0, 0};
  view_zoom_at(z, 4, 700, 300);
  int x = 0, y = 0;
  view_picture_pixel(z, 700, 300, &x, &y);
  EXPECT_EQ(x, 350);
  EXPECT_EQ(y, 75);
  EXPECT_EQ(view_next_zoom(1, 1), 2);
  EXPECT_EQ(view_next_zoom(4, 1), 6);
  EXPECT_EQ(view_next_zoom(8, 1), 8);
  EXPECT_EQ(view_next_zoom(1, -1), 1);
  EXPECT_EQ(view_next_zoom(6, -1), 4);
}

}  // namespace
