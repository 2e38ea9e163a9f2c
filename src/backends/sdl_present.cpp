#include "backends/sdl_present.h"

#include <algorithm>
#include <cstring>

namespace {

Placement place(SdlPresenter& p, int out_w, int out_h) {
  p.view.out_w = out_w, p.view.out_h = out_h;
  view_clamp(p.view);
  return view_placement(p.view);
}

// The first row from y on that was converted and not yet shown (p.rows when
// there is none); end receives the row after its run. The run counts as shown.
int next_band(SdlPresenter& p, int y, int* end) {
  while (y < p.rows && !p.converted[y]) ++y;
  int e = y;
  while (e < p.rows && p.converted[e]) p.converted[e++] = 0;
  *end = e;
  return y;
}

uint32_t* surface_row(SDL_Surface* s, int r) {
  return reinterpret_cast<uint32_t*>(static_cast<uint8_t*>(s->pixels) +
                                     static_cast<size_t>(r) * s->pitch);
}

// The window area of framebuffer rows y0 to y1 (exclusive), clipped to the surface.
SDL_Rect band_area(const SdlPresenter& p, const SDL_Surface* s, Placement at, int y0, int y1) {
  const int step = p.scanline * at.factor;
  const int c0 = std::max(0, at.x), c1 = std::min(s->w, at.x + p.width * at.factor);
  const int r0 = std::max(0, at.y + y0 * step), r1 = std::min(s->h, at.y + y1 * step);
  return {c0, r0, std::max(0, c1 - c0), std::max(0, r1 - r0)};
}

// The grid over a scaled row's area: its first window row, and the first
// window column of each picture pixel, black and white by turns.
void draw_grid(const SdlPresenter& p, SDL_Surface* s, Placement at, const SDL_Rect& a) {
  const int f = at.factor, cell_h = f * p.scanline;
  const int first_col = a.x + ((at.x - a.x) % f + f) % f;
  for (int r = a.y; r < a.y + a.h; ++r) {
    uint32_t* row = surface_row(s, r);
    if ((r - at.y) % cell_h == 0) {
      for (int c = a.x; c < a.x + a.w; ++c) row[c] = p.grid[c & 1];
    } else {
      for (int c = first_col; c < a.x + a.w; c += f) row[c] = p.grid[r & 1];
    }
  }
}

// Writes framebuffer row y into the surface: each pixel factor times across,
// the row scanline x factor times down.
void scale_row(const SdlPresenter& p, SDL_Surface* s, Placement at, int y) {
  const SDL_Rect a = band_area(p, s, at, y, y + 1);
  if (a.w == 0 || a.h == 0) return;
  const int f = at.factor;
  const uint32_t* src = p.pixels.data() + static_cast<size_t>(y) * p.width;
  uint32_t* out = surface_row(s, a.y) + a.x;
  const size_t bytes = static_cast<size_t>(a.w) * 4;
  if (f == 1) {
    std::memcpy(out, src + (a.x - at.x), bytes);
  } else {
    int x = (a.x - at.x) / f, k = (a.x - at.x) % f;
    for (int c = 0; c < a.w; ++c) {
      out[c] = src[x];
      if (++k == f) k = 0, ++x;
    }
  }
  for (int r = a.y + 1; r < a.y + a.h; ++r) std::memcpy(surface_row(s, r) + a.x, out, bytes);
  if (p.view.zoom >= kGridZoom) draw_grid(p, s, at, a);
}

bool show_on_surface(SdlPresenter& p, bool repaint) {
  SDL_Surface* s = SDL_GetWindowSurface(p.window);
  if (!s || s->format->BytesPerPixel != 4) {
    p.repaint_due = true;  // the next cycle tries again, with the whole picture
    return false;
  }
  const Placement at = place(p, s->w, s->h);
  if (repaint) SDL_FillRect(s, nullptr, SDL_MapRGB(s->format, 0, 0, 0));
  p.bands.clear();
  for (int y = 0, end = 0; (y = next_band(p, y, &end)) < p.rows; y = end) {
    for (int r = y; r < end; ++r) scale_row(p, s, at, r);
    SDL_Rect a = band_area(p, s, at, y, end);
    if (a.w > 0 && a.h > 0) p.bands.push_back(a);
  }
  if (repaint) return SDL_UpdateWindowSurface(p.window) == 0;
  if (p.bands.empty()) return false;
  SDL_UpdateWindowSurfaceRects(p.window, p.bands.data(), static_cast<int>(p.bands.size()));
  return true;
}

// The texture holds each row scanline times, so that the renderer copies it
// at scale 1 without stretching.
bool show_with_renderer(SdlPresenter& p, bool repaint) {
  bool any = false;
  const size_t width = static_cast<size_t>(p.width);
  for (int y = 0, end = 0; (y = next_band(p, y, &end)) < p.rows; y = end) {
    p.band_pixels.resize(static_cast<size_t>(end - y) * p.scanline * width);
    uint32_t* out = p.band_pixels.data();
    for (int r = y; r < end; ++r) {
      for (int k = 0; k < p.scanline; ++k, out += width)
        std::memcpy(out, p.pixels.data() + static_cast<size_t>(r) * width, width * 4);
    }
    SDL_Rect area{0, y * p.scanline, p.width, (end - y) * p.scanline};
    SDL_UpdateTexture(p.texture, &area, p.band_pixels.data(), p.width * 4);
    any = true;
  }
  if (!any && !repaint) return false;
  int out_w = 0, out_h = 0;
  SDL_GetRendererOutputSize(p.renderer, &out_w, &out_h);
  const Placement at = place(p, out_w, out_h);
  SDL_Rect dst{at.x, at.y, p.width * at.factor, p.rows * p.scanline * at.factor};
  // Black only where the picture leaves a margin.
  if (dst.w < out_w || dst.h < out_h) {
    SDL_SetRenderDrawColor(p.renderer, 0, 0, 0, 255);
    SDL_RenderClear(p.renderer);
  }
  SDL_RenderCopy(p.renderer, p.texture, nullptr, &dst);
  SDL_RenderPresent(p.renderer);
  return true;
}

}  // namespace

bool sdl_present_create(SdlPresenter& p, SDL_Window* window, int width, int rows, int scanline) {
  p.window = window;
  p.width = width, p.rows = rows, p.scanline = scanline;
  p.view = View{width, rows, scanline};
  p.pixels.assign(static_cast<size_t>(width) * rows, 0);
  p.converted.assign(static_cast<size_t>(rows), 0);
  Uint32 format = SDL_PIXELFORMAT_ARGB8888;
  SDL_Surface* s = SDL_GetWindowSurface(window);
  if (s && s->format->BytesPerPixel == 4 && !SDL_ISPIXELFORMAT_INDEXED(s->format->format)) {
    format = s->format->format;
  } else {
    p.renderer = SDL_CreateRenderer(window, -1, 0);
    if (!p.renderer) return false;
    p.texture =
        SDL_CreateTexture(p.renderer, format, SDL_TEXTUREACCESS_STREAMING, width, rows * scanline);
    if (!p.texture) return false;
    // The picture is opaque: copied, not blended.
    SDL_SetTextureBlendMode(p.texture, SDL_BLENDMODE_NONE);
  }
  p.format = SDL_AllocFormat(format);
  if (!p.format) return false;
  p.grid[0] = SDL_MapRGB(p.format, 0, 0, 0);
  p.grid[1] = SDL_MapRGB(p.format, 255, 255, 255);
  return true;
}

void sdl_present_destroy(SdlPresenter& p) {
  if (p.format) SDL_FreeFormat(p.format);
  if (p.texture) SDL_DestroyTexture(p.texture);
  if (p.renderer) SDL_DestroyRenderer(p.renderer);
  p.format = nullptr, p.texture = nullptr, p.renderer = nullptr, p.window = nullptr;
}

void sdl_present_set_palette(SdlPresenter& p, const uint32_t* argb) {
  for (int i = 0; i < 256; ++i) {
    const uint32_t c = argb[i];
    p.lut[i] = SDL_MapRGB(p.format, c >> 16 & 0xFF, c >> 8 & 0xFF, c & 0xFF);
  }
}

void sdl_present_convert_row(SdlPresenter& p, int y, const uint8_t* src) {
  uint32_t* dst = p.pixels.data() + static_cast<size_t>(y) * p.width;
  for (int x = 0; x < p.width; ++x) dst[x] = p.lut[src[x]];
  p.converted[y] = 1;
}

bool sdl_present_show(SdlPresenter& p, bool repaint) {
  repaint = repaint || p.repaint_due;
  p.repaint_due = false;
  if (repaint) std::fill(p.converted.begin(), p.converted.end(), 1);
  return p.renderer ? show_with_renderer(p, repaint) : show_on_surface(p, repaint);
}
