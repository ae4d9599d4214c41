#include "view/raster.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace brimoss {

namespace {

constexpr RGB kWhite{255, 255, 255};
constexpr RGB kBlack{0, 0, 0};

}  // namespace

void RasterPainter::put(int x, int y, RGB c) {
  if (x < 0 || y < 0 || x >= t_.width || y >= t_.height) return;
  std::uint8_t* p = t_.data + y * t_.stride + static_cast<std::ptrdiff_t>(x) * t_.bytes;
  p[t_.red] = static_cast<std::uint8_t>(c.r);
  p[t_.green] = static_cast<std::uint8_t>(c.g);
  p[t_.blue] = static_cast<std::uint8_t>(c.b);
}

void RasterPainter::span(int y, int x0, int x1, RGB c) {
  x0 = std::max(x0, 0);
  x1 = std::min(x1, t_.width - 1);
  if (y < 0 || y >= t_.height || x0 > x1) return;
  std::uint8_t* p = t_.data + y * t_.stride + static_cast<std::ptrdiff_t>(x0) * t_.bytes;
  const auto r = static_cast<std::uint8_t>(c.r), g = static_cast<std::uint8_t>(c.g),
             b = static_cast<std::uint8_t>(c.b);
  for (int x = x0; x <= x1; ++x, p += t_.bytes) {
    p[t_.red] = r;
    p[t_.green] = g;
    p[t_.blue] = b;
  }
}

void RasterPainter::fill_rect(int x0, int y0, int x1, int y1, RGB c) {
  for (int y = std::max(y0, 0); y <= std::min(y1, t_.height - 1); ++y) span(y, x0, x1, c);
}

void RasterPainter::fill_triangle(const int xs[3], const int ys[3], RGB c) {
  // Row by row: the row's pixel centres lie on y + 0.5, which no corner can
  // share, so the line crosses exactly two edges or none.
  const long long top = std::max<long long>(std::min({ys[0], ys[1], ys[2]}), 0);
  const long long bottom =
      std::min<long long>(static_cast<long long>(std::max({ys[0], ys[1], ys[2]})) - 1,
                          static_cast<long long>(t_.height) - 1);
  for (long long y = top; y <= bottom; ++y) {
    const double yc = static_cast<double>(y) + 0.5;
    double left = HUGE_VAL, right = -HUGE_VAL;
    for (int i = 0; i < 3; ++i) {
      const int j = (i + 1) % 3;
      if ((ys[i] < yc) == (ys[j] < yc)) continue;
      const double x = xs[i] + (yc - ys[i]) * (static_cast<double>(xs[j]) - xs[i]) /
                                   (static_cast<double>(ys[j]) - ys[i]);
      left = std::min(left, x);
      right = std::max(right, x);
    }
    if (!(left <= right)) continue;
    // Centres x + 0.5 within [left, right]; far ends are cut to the image first.
    left = std::max(left, -2.0);
    right = std::min(right, t_.width + 2.0);
    span(static_cast<int>(y), static_cast<int>(std::ceil(left - 0.5)),
         static_cast<int>(std::floor(right - 0.5)), c);
  }
}

void RasterPainter::line(int x0, int y0, int x1, int y1, RGB c) {
  const int w = t_.width, h = t_.height;
  auto inside = [w, h](int x, int y) { return x >= 0 && y >= 0 && x < w && y < h; };
  if (!inside(x0, y0) || !inside(x1, y1)) {
    // Cut the line to the image (Liang-Barsky) so that a corner thrown far
    // away costs no more than a line across the image.
    const double dx = static_cast<double>(x1) - x0, dy = static_cast<double>(y1) - y0;
    double t0 = 0, t1 = 1;
    auto clip = [&](double p, double q) {
      if (p == 0) return q >= 0;
      const double r = q / p;
      if (p < 0) {
        if (r > t1) return false;
        t0 = std::max(t0, r);
      } else {
        if (r < t0) return false;
        t1 = std::min(t1, r);
      }
      return true;
    };
    if (!clip(-dx, x0 - 0.0) || !clip(dx, (w - 1.0) - x0) || !clip(-dy, y0 - 0.0) ||
        !clip(dy, (h - 1.0) - y0))
      return;
    const double ax = x0 + t0 * dx, ay = y0 + t0 * dy, bx = x0 + t1 * dx, by = y0 + t1 * dy;
    x0 = static_cast<int>(std::lround(ax));
    y0 = static_cast<int>(std::lround(ay));
    x1 = static_cast<int>(std::lround(bx));
    y1 = static_cast<int>(std::lround(by));
  }
  const int dx = std::abs(x1 - x0), sx = x0 < x1 ? 1 : -1;
  const int dy = -std::abs(y1 - y0), sy = y0 < y1 ? 1 : -1;
  int err = dx + dy;
  for (;;) {
    put(x0, y0, c);
    if (x0 == x1 && y0 == y1) break;
    const int e2 = 2 * err;
    if (e2 >= dy) err += dy, x0 += sx;
    if (e2 <= dx) err += dx, y0 += sy;
  }
}

void RasterPainter::background(int w, int h, RGB fill) {
  if (w <= 0 || h <= 0) return;
  fill_rect(0, 0, w - 1, h - 1, kWhite);
  fill_rect(1, 1, w - 2, h - 2, fill);
}

void RasterPainter::triangle(const int xs[3], const int ys[3], RGB fill, bool whiteOutline) {
  fill_triangle(xs, ys, fill);
  const RGB pen = whiteOutline ? kWhite : kBlack;
  line(xs[0], ys[0], xs[1], ys[1], pen);
  line(xs[1], ys[1], xs[2], ys[2], pen);
  line(xs[2], ys[2], xs[0], ys[0], pen);
}

}  // namespace brimoss
