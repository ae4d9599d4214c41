// A small rasteriser for the canvas: flat triangles with one-pixel outlines
// straight into an image's pixel rows. A general 2-D renderer spends several
// microseconds on each polygon and more on each one-pixel outline; a full
// surface of 6000 faces then no longer fits into the 20 ms between two frames.
#pragma once

#include <cstddef>
#include <cstdint>

#include "view/draw.h"

namespace brimoss {

// Where the pixels go: `height` rows of `width` pixels, `stride` pixels
// apart, each a 32-bit word 0xAARRGGBB (cairo's image layouts); every pixel
// written is opaque. Drawing at (x, y) lands on pixel (x + originX,
// y + originY), and only pixels inside the half-open clip rectangle (device
// pixels; clipped in turn to the image) are written.
struct PixelTarget {
  std::uint32_t* pixels = nullptr;
  int width = 0, height = 0;
  std::ptrdiff_t stride = 0;
  int originX = 0, originY = 0;
  int clipX0 = 0, clipY0 = 0, clipX1 = 1 << 30, clipY1 = 1 << 30;
};

// The opaque pixel word of a colour.
constexpr std::uint32_t pixel_of(RGB c) {
  return 0xFF000000u | (std::uint32_t(c.r & 0xFF) << 16) | (std::uint32_t(c.g & 0xFF) << 8) |
         std::uint32_t(c.b & 0xFF);
}

// Pixel rules, those of a plain raster context: a triangle covers the pixels
// whose centres lie inside it or on its border; an outline is the line of
// pixels from corner to corner, one per step along its longer axis, the other
// coordinate rounded to nearest (the same pixels whichever end it starts
// from); the background rectangle's outline is its border pixels. Everything
// outside the target is clipped, however far, at no cost for the far part.
class RasterPainter : public ScenePainter {
 public:
  explicit RasterPainter(const PixelTarget& t);
  void background(int w, int h, RGB fill) override;
  void triangle(const int xs[3], const int ys[3], RGB fill, bool whiteOutline) override;

  void fill_rect(int x0, int y0, int x1, int y1, RGB c);  // inclusive corners
  void fill_triangle(const int xs[3], const int ys[3], RGB c);
  void line(int x0, int y0, int x1, int y1, RGB c);

 private:
  void fill_triangle(const int xs[3], const int ys[3], std::uint32_t colour);
  void line(int x0, int y0, int x1, int y1, std::uint32_t colour);
  PixelTarget t_;
};

}  // namespace brimoss
