#include "view/raster.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

namespace brimoss {

namespace {

using i64 = std::int64_t;

constexpr RGB kWhite{255, 255, 255};
constexpr RGB kBlack{0, 0, 0};

// Far enough off the image to change nothing visible, near enough that the
// products below stay well inside 64 bits.
constexpr int kFar = 1 << 28;
int tame(int v) { return v < -kFar ? -kFar : (v > kFar ? kFar : v); }

i64 floor_div(i64 n, i64 d) {  // d > 0
  return n >= 0 ? n / d : -((-n + d - 1) / d);
}

// Eight pixels a step where the compiler would otherwise write one word a
// step; the last few by one store reaching back over pixels already set.
inline void fill_words(std::uint32_t* p, std::ptrdiff_t n, std::uint32_t v) {
  if (n < 4) {
    for (; n > 0; --n) *p++ = v;
    return;
  }
  const std::uint32_t eight[8] = {v, v, v, v, v, v, v, v};
  std::uint32_t* const end = p + n;
  for (; end - p >= 8; p += 8) std::memcpy(p, eight, sizeof eight);
  if (end - p >= 4) {
    std::memcpy(p, eight, 4 * sizeof v);
    p += 4;
  }
  if (p < end) std::memcpy(end - 4, eight, 4 * sizeof v);
}

// floor(num / den) for a numerator that grows by `step` from one row to the
// next: quotient and remainder are carried along, so no row divides.
struct Walk {
  i64 q, r, dq, dr, den;
  void start(i64 num, i64 step, i64 d) {
    den = d;
    q = floor_div(num, d);
    r = num - q * d;
    dq = floor_div(step, d);
    dr = step - dq * d;
  }
  void next() {
    q += dq;
    r += dr;
    if (r >= den) {
      r -= den;
      ++q;
    }
  }
};

}  // namespace

RasterPainter::RasterPainter(const PixelTarget& t) : t_(t) {
  t_.clipX0 = std::max(t_.clipX0, 0);
  t_.clipY0 = std::max(t_.clipY0, 0);
  t_.clipX1 = std::min(t_.clipX1, t_.width);
  t_.clipY1 = std::min(t_.clipY1, t_.height);
}

void RasterPainter::fill_rect(int x0, int y0, int x1, int y1, RGB c) {
  const i64 left = std::max(i64(x0) + t_.originX, i64(t_.clipX0));
  const i64 right = std::min(i64(x1) + t_.originX, i64(t_.clipX1) - 1);
  const i64 top = std::max(i64(y0) + t_.originY, i64(t_.clipY0));
  const i64 bottom = std::min(i64(y1) + t_.originY, i64(t_.clipY1) - 1);
  if (left > right) return;
  const std::uint32_t colour = pixel_of(c);
  for (i64 y = top; y <= bottom; ++y)
    fill_words(t_.pixels + y * t_.stride + left, right - left + 1, colour);
}

void RasterPainter::fill_triangle(const int xs[3], const int ys[3], RGB c) {
  fill_triangle(xs, ys, pixel_of(c));
}

void RasterPainter::fill_triangle(const int xs[3], const int ys[3], std::uint32_t colour) {
  // In doubled coordinates the corners are even and the pixel centres odd:
  // pixel (px, py) is covered when (2 px + 1, 2 py + 1) lies in the triangle.
  i64 x[3], y[3];
  for (int k = 0; k < 3; ++k) {
    x[k] = 2 * (i64(tame(xs[k])) + t_.originX);
    y[k] = 2 * (i64(tame(ys[k])) + t_.originY);
  }
  // Corners top to bottom.
  if (y[1] < y[0]) std::swap(x[0], x[1]), std::swap(y[0], y[1]);
  if (y[2] < y[1]) std::swap(x[1], x[2]), std::swap(y[1], y[2]);
  if (y[1] < y[0]) std::swap(x[0], x[1]), std::swap(y[0], y[1]);
  const i64 cross = (x[1] - x[0]) * (y[2] - y[0]) - (y[1] - y[0]) * (x[2] - x[0]);
  if (cross == 0) return;

  // Rows whose centre line 2 py + 1 lies between the top and bottom corners:
  // py from y0/2 to y2/2 - 1. No centre line passes through a corner, so the
  // rows above the middle corner are bounded by the top two sides and the
  // rows below it by the bottom two, one of them the long side from top to
  // bottom. The middle corner lies left of the long side when cross < 0.
  const i64 first = std::max(y[0] / 2, i64(t_.clipY0));
  const i64 last = std::min(y[2] / 2 - 1, i64(t_.clipY1) - 1);
  if (first > last) return;
  if (std::max({x[0], x[1], x[2]}) / 2 < t_.clipX0 || std::min({x[0], x[1], x[2]}) / 2 >= t_.clipX1)
    return;
  const bool longIsRight = cross < 0;

  // A side from (xa, ya) to (xb, yb) crosses row py's centre line at
  // X = (xa d + (2 py + 1 - ya)(xb - xa)) / d, d = yb - ya; the row covers
  // px >= ceil((X - 1) / 2) right of a left side and px <= floor((X - 1) / 2)
  // left of a right side. With n = xa d + (2 py + 1 - ya)(xb - xa) - d that
  // is ceil(n / 2d) and floor(n / 2d); ceil(a / b) = -floor(-a / b).
  auto side = [&](Walk& w, int a, int b, i64 py, bool left) {
    const i64 d = y[b] - y[a], dx = x[b] - x[a];
    const i64 n = x[a] * d + (2 * py + 1 - y[a]) * dx - d;
    if (left)
      w.start(-n, -2 * dx, 2 * d);
    else
      w.start(n, 2 * dx, 2 * d);
  };
  const i64 clipLeft = t_.clipX0, clipRight = i64(t_.clipX1) - 1;
  const std::ptrdiff_t stride = t_.stride;
  std::uint32_t* const pixels = t_.pixels;
  auto rows = [&](Walk& lw, Walk& rw, i64 from, i64 to) {
    // Locals, so that the pixel stores do not force the walks to be reloaded
    // every row.
    Walk l = lw, r = rw;
    std::uint32_t* row = pixels + from * stride;
    for (i64 py = from; py <= to; ++py, row += stride) {
      const i64 lo = std::max(-l.q, clipLeft), hi = std::min(r.q, clipRight);
      if (lo <= hi) fill_words(row + lo, hi - lo + 1, colour);
      l.next();
      r.next();
    }
    lw = l;
    rw = r;
  };

  Walk longSide, shortSide;
  side(longSide, 0, 2, first, !longIsRight);
  const i64 middle = y[1] / 2;  // the first row below the middle corner
  const i64 upperEnd = std::min(middle - 1, last);
  if (first <= upperEnd) {
    side(shortSide, 0, 1, first, longIsRight);
    if (longIsRight)
      rows(shortSide, longSide, first, upperEnd);
    else
      rows(longSide, shortSide, first, upperEnd);
  }
  const i64 lowerStart = std::max(middle, first);
  if (lowerStart > last) return;
  if (lowerStart != first) side(longSide, 0, 2, lowerStart, !longIsRight);
  side(shortSide, 1, 2, lowerStart, longIsRight);
  if (longIsRight)
    rows(shortSide, longSide, lowerStart, last);
  else
    rows(longSide, shortSide, lowerStart, last);
}

void RasterPainter::line(int x0, int y0, int x1, int y1, RGB c) {
  line(x0, y0, x1, y1, pixel_of(c));
}

void RasterPainter::line(int x0, int y0, int x1, int y1, std::uint32_t colour) {
  x0 = tame(x0) + t_.originX;
  y0 = tame(y0) + t_.originY;
  x1 = tame(x1) + t_.originX;
  y1 = tame(y1) + t_.originY;
  if (std::max(x0, x1) < t_.clipX0 || std::min(x0, x1) >= t_.clipX1 ||
      std::max(y0, y1) < t_.clipY0 || std::min(y0, y1) >= t_.clipY1)
    return;

  // Walk the longer axis u from its lower end; the other coordinate is
  // v = v0 + floor((2 (u - u0) dv + du) / (2 du)): rounded to nearest, halves
  // upward, whichever end the line was given from.
  const bool steep = std::abs(i64(y1) - y0) > std::abs(i64(x1) - x0);
  int u0 = steep ? y0 : x0, v0 = steep ? x0 : y0;
  int u1 = steep ? y1 : x1, v1 = steep ? x1 : y1;
  if (u0 > u1) {
    std::swap(u0, u1);
    std::swap(v0, v1);
  }
  const int uMin = steep ? t_.clipY0 : t_.clipX0, uMax = (steep ? t_.clipY1 : t_.clipX1) - 1;
  const int vMin = steep ? t_.clipX0 : t_.clipY0, vMax = (steep ? t_.clipX1 : t_.clipY1) - 1;
  const int start = std::max(u0, uMin), end = std::min(u1, uMax);
  if (start > end) return;
  const std::ptrdiff_t along = steep ? t_.stride : 1, across = steep ? 1 : t_.stride;

  const i64 du = i64(u1) - u0, dv = i64(v1) - v0;
  if (du == 0) {  // a single point
    if (v0 >= vMin && v0 <= vMax) t_.pixels[i64(y0) * t_.stride + x0] = colour;
    return;
  }
  const i64 den = 2 * du, step = 2 * dv;
  if (start == u0 && end == u1 && std::min(v0, v1) >= vMin && std::max(v0, v1) <= vMax) {
    // Wholly inside the clip: the same pixels without a test per pixel. With
    // v falling, v0 - v = ceil((2 (u - u0) |dv| - du) / (2 du))
    //                   = floor((2 (u - u0) |dv| + du - 1) / (2 du)),
    // so both directions count one way.
    const std::ptrdiff_t sideways = dv < 0 ? -across : across;
    const i64 up = dv < 0 ? -step : step;
    i64 rem = dv < 0 ? du - 1 : du;
    std::uint32_t* p = t_.pixels + (steep ? i64(u0) * t_.stride + v0 : i64(v0) * t_.stride + u0);
    for (int u = u0; u <= u1; ++u) {
      *p = colour;
      p += along;
      rem += up;
      if (rem >= den) {
        rem -= den;
        p += sideways;
      }
    }
    return;
  }
  // Cut by the clip: start at the first column (or row) inside it.
  const i64 num = 2 * (i64(start) - u0) * dv + du;
  i64 q = floor_div(num, den), r = num - q * den;
  for (int u = start; u <= end; ++u) {
    const i64 v = v0 + q;
    if (v >= vMin && v <= vMax) {
      const int px = steep ? static_cast<int>(v) : u, py = steep ? u : static_cast<int>(v);
      t_.pixels[i64(py) * t_.stride + px] = colour;
    }
    r += step;
    if (r >= den) {
      r -= den;
      ++q;
    } else if (r < 0) {
      r += den;
      --q;
    }
  }
}

void RasterPainter::background(int w, int h, RGB fill) {
  if (w <= 0 || h <= 0) return;
  fill_rect(0, 0, w - 1, h - 1, kWhite);
  fill_rect(1, 1, w - 2, h - 2, fill);
}

void RasterPainter::triangle(const int xs[3], const int ys[3], RGB fill, bool whiteOutline) {
  fill_triangle(xs, ys, pixel_of(fill));
  const std::uint32_t pen = pixel_of(whiteOutline ? kWhite : kBlack);
  line(xs[0], ys[0], xs[1], ys[1], pen);
  line(xs[1], ys[1], xs[2], ys[2], pen);
  line(xs[2], ys[2], xs[0], ys[0], pen);
}

}  // namespace brimoss
