// sdl_present.h - shows framebuffer rows in an SDL window, for the window
// thread of the SDL back-end.
//
// Rows are converted one at a time (under the screen lock, by the caller)
// into a copy of the picture in the display's own pixel format, and shown
// later (outside the lock) by sdl_present_show. Each framebuffer row becomes
// 2 x f window rows of f window pixels per pixel (scanline 2) at the largest
// whole factor f that fits the window, centred on black; zoomed and scrolled
// as the view says (view.h). From zoom 4 up, a grid of thin two-tone lines
// (black and white by turns, so that it shows over every colour) marks the
// picture's pixels; it is drawn in the window only.
//
// Where the window offers a surface of 32-bit pixels, the presenter scales
// the changed rows itself into that surface and sends the display only the
// bands of window rows they cover; nothing else is redrawn. Elsewhere it
// falls back to a renderer and a streaming texture of the presented size,
// which the renderer scales and presents whole. All functions run on
// the thread that owns the window.
#pragma once

#include <SDL.h>

#include <cstdint>
#include <vector>

#include "backends/view.h"

struct SdlPresenter {
  SDL_Window* window = nullptr;
  SDL_Renderer* renderer = nullptr;  // the fallback; null when drawing to the surface
  SDL_Texture* texture = nullptr;
  SDL_PixelFormat* format = nullptr;  // of pixels and lut
  int width = 0, rows = 0, scanline = 1;
  uint32_t lut[256] = {};             // pixel value to display pixel
  std::vector<uint32_t> pixels;       // the converted picture, width x rows
  std::vector<uint8_t> converted;     // rows converted, not yet shown
  std::vector<SDL_Rect> bands;        // window rows to send, reused
  std::vector<uint32_t> band_pixels;  // rows repeated for the texture, reused
  bool repaint_due = false;           // the surface could not be had last time
  View view;                          // zoom and scroll; the window size is set on each show
  uint32_t grid[2] = {};              // the grid's two tones in the display's format
};

// The zoom from which the pixel grid is drawn.
inline constexpr int kGridZoom = 4;

// Chooses the way of presenting for the window; false when neither works.
bool sdl_present_create(SdlPresenter& p, SDL_Window* window, int width, int rows, int scanline);
void sdl_present_destroy(SdlPresenter& p);

// Takes a 256-entry ARGB palette for the rows converted after it.
void sdl_present_set_palette(SdlPresenter& p, const uint32_t* argb);

// Converts framebuffer row y from its 8-bit pixel values.
void sdl_present_convert_row(SdlPresenter& p, int y, const uint8_t* src);

// Shows the rows converted since the last call, or the whole picture and its
// black margin when repaint is set (after a resize or an expose); false when
// there was nothing to show.
bool sdl_present_show(SdlPresenter& p, bool repaint);
