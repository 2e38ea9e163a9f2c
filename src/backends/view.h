// view.h - where the picture sits in the window: its whole-number scale, the
// zoom and the scroll, and which picture pixel a window pixel shows.
//
// At zoom 1 the picture is shown at the largest whole factor f that fits the
// window (at least 1), each row scanline times, centred on black. Zoom z
// (1, 2, 3, 4, 6 or 8) shows it at f * z; where the zoomed picture is wider
// or taller than the window, the scroll (in window pixels of the zoomed
// picture) says which part is seen, and it never shows beyond the picture's
// edges. Pure arithmetic, shared by the presenter and the pointer events.
#pragma once

struct View {
  int width = 0, rows = 0, scanline = 1;  // the picture
  int out_w = 0, out_h = 0;               // the window area
  int zoom = 1;
  int scroll_x = 0, scroll_y = 0;
};

// factor: window pixels per picture pixel across (rows are scanline times
// as high); x, y: the window position of the picture's top left corner,
// negative where the picture is larger than the window.
struct Placement {
  int factor, x, y;
};

inline constexpr int kZoomSteps[] = {1, 2, 3, 4, 6, 8};

Placement view_placement(const View& v);
// Keeps the scroll within the picture.
void view_clamp(View& v);
// The picture pixel at window pixel (wx, wy), held to the picture.
void view_picture_pixel(const View& v, int wx, int wy, int* px, int* py);
// The window position of picture pixel (px, py)'s top left corner.
void view_window_pixel(const View& v, int px, int py, int* wx, int* wy);
// Scrolls the least that shows picture pixel (px, py) with a margin of an
// eighth of the window on each side.
void view_follow(View& v, int px, int py);
// The zoom step after zoom in direction dir (+1 in, -1 out), held to the steps.
int view_next_zoom(int zoom, int dir);
// Sets the zoom, keeping the picture point under window pixel (wx, wy) there.
void view_zoom_at(View& v, int zoom, int wx, int wy);
