// A small rasteriser for the canvas: flat triangles with one-pixel outlines
// straight into an image's pixel rows. A general 2-D renderer spends several
// microseconds on each polygon; a full surface of 6000 faces then no longer
// fits into the 20 ms between two frames.
#pragma once

#include <cstddef>
#include <cstdint>

#include "view/draw.h"

namespace brimoss {

// Where the pixels go: `height` rows of `width` pixels, `stride` bytes apart;
// each pixel `bytes` long with its red, green and blue bytes at the given
// offsets. Other bytes of a pixel (alpha, padding) are left alone.
struct PixelTarget {
  std::uint8_t* data = nullptr;
  int width = 0, height = 0;
  std::ptrdiff_t stride = 0;
  int bytes = 3;
  int red = 0, green = 1, blue = 2;
};

// Pixel rules, those of a plain raster context: a triangle covers the pixels
// whose centres lie inside it or on its border; an outline is the line of
// pixels from corner to corner; the background rectangle's outline is its
// border pixels. Everything outside the target is clipped, however far.
class RasterPainter : public ScenePainter {
 public:
  explicit RasterPainter(const PixelTarget& t) : t_(t) {}
  void background(int w, int h, RGB fill) override;
  void triangle(const int xs[3], const int ys[3], RGB fill, bool whiteOutline) override;

  void fill_rect(int x0, int y0, int x1, int y1, RGB c);  // inclusive corners
  void fill_triangle(const int xs[3], const int ys[3], RGB c);
  void line(int x0, int y0, int x1, int y1, RGB c);

 private:
  void span(int y, int x0, int x1, RGB c);
  void put(int x, int y, RGB c);
  PixelTarget t_;
};

}  // namespace brimoss
