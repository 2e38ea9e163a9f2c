#include "gfx/ellipse_walk.h"

#include <algorithm>

namespace {

__extension__ typedef __int128 Wide;

// No walk has more steps than this (the half-axes are limited), and with n
// at most this, n * n times a 62-bit number fits in 128 bits.
constexpr int64_t kMaxSteps = int64_t{1} << 22;

// r after n steps inward: rx falls by dy before each is added.
Wide r_after_columns(const EllipseWalk& w, int64_t n) {
  return Wide{w.r} + Wide{n} * w.rx - Wide{w.dy} * n * (n + 1) / 2;
}

// r after n steps outward: ry grows by dx before each is taken away.
Wide r_after_rows(const EllipseWalk& w, int64_t n) {
  return Wide{w.r} - Wide{n} * w.ry - Wide{w.dx} * n * (n + 1) / 2;
}

// The first n in lo..hi for which done(n) holds, done being monotone; hi + 1
// when it holds nowhere.
template <typename Done>
int64_t first_where(int64_t lo, int64_t hi, Done done) {
  if (lo > hi || !done(hi)) return hi + 1;
  while (lo < hi) {
    int64_t mid = lo + (hi - lo) / 2;
    if (done(mid))
      hi = mid;
    else
      lo = mid + 1;
  }
  return lo;
}

}  // namespace

EllipseWalk start_ellipse_walk(int cx, int cy, float a, float b) {
  EllipseWalk w{};
  w.x1 = static_cast<int64_t>(static_cast<float>(cx) - a);
  w.x2 = static_cast<int64_t>(static_cast<float>(cx) + a);
  w.y1 = w.y2 = cy;
  int64_t aq = static_cast<int64_t>(a * a), bq = static_cast<int64_t>(b * b);
  w.dx = 2 * aq;
  w.dy = 2 * bq;
  w.r = static_cast<int64_t>(a * static_cast<float>(bq));
  w.rx = 2 * w.r;
  w.ry = 0;
  w.d = static_cast<int32_t>(a);
  return w;
}

// Steps from r <= 0 move inward only until r turns positive; r first rises
// (while rx - n * dy >= 0) and then falls, so the first positive r, if
// any, lies on the rising part.
int64_t skip_column_steps(EllipseWalk& w, int64_t limit) {
  limit = std::min({limit, int64_t{w.d}, kMaxSteps});
  if (w.r > 0 || limit <= 0) return 0;
  int64_t rising = w.dy > 0 ? std::clamp<int64_t>(w.rx / w.dy, 0, limit) : limit;
  int64_t turns = first_where(1, rising, [&](int64_t n) { return r_after_columns(w, n) > 0; });
  // Every step up to and including the one that turns r positive moves
  // inward only; when r never turns positive, all of them do.
  int64_t n = turns <= rising ? std::min(turns, limit) : limit;
  w.r = static_cast<int64_t>(r_after_columns(w, n));
  w.rx -= n * w.dy;
  w.x1 += n, w.x2 -= n, w.d -= static_cast<int32_t>(n);
  return n;
}

// Steps from r > 0 move outward only while r stays positive after them.
int64_t skip_row_steps(EllipseWalk& w, int64_t limit) {
  limit = std::min(limit, kMaxSteps);
  if (w.r <= 0 || limit <= 0) return 0;
  int64_t ends = first_where(1, limit, [&](int64_t n) { return r_after_rows(w, n) <= 0; });
  int64_t n = std::min(ends - 1, limit);
  w.r = static_cast<int64_t>(r_after_rows(w, n));
  w.ry += n * w.dx;
  w.y1 += n, w.y2 -= n;
  return n;
}
