// Pictures of the view for files: what the canvas shows, as rows of pixels
// (for a PNG) or as a drawing (SVG, view/svg.h). Both come from the scene walk
// that the canvas and the printout use, so a picture agrees with the screen.
//
// A picture is of the sheet, not of the moment's animation: the status line
// and the twinkle sweep after a load are left out. The mark colour of the
// faces round the current vertex and the outlines of highlighted pieces stay,
// as they are part of how the sheet is shown.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "model/store.h"

namespace brimoss {

// Rows of pixels, top to bottom, each 0xFFRRGGBB.
struct Picture {
  int width = 0, height = 0;
  std::vector<std::uint32_t> pixels;
  std::uint32_t at(int x, int y) const { return pixels[std::size_t(y) * width + x]; }
};

// The largest width or height a picture may have: room for a large screen's
// canvas at twice its size, while the pixels of the largest picture (256 MB)
// still fit in memory.
constexpr int kMaxPictureSide = 8192;

enum class PictureFormat { Png, Svg };

// The format named by the path's extension (.png or .svg, in any letter case).
bool picture_format_for(const std::string& path, PictureFormat& format, std::string& err);

// Which part of the view a picture shows: what a canvas of width x height
// pixels with the model origin at pixel (centerx, centery) shows, drawn
// `magnify` times as large.
struct PictureFrame {
  int width = 640, height = 480;
  int centerx = 320, centery = 240;
  int magnify = 1;
  // The origin in the middle of the picture, where the canvas keeps it.
  static PictureFrame centred(int width, int height, int magnify = 1) {
    return {width, height, width / 2, height / 2, magnify};
  }
  // Width and height after magnifying, 1 to kMaxPictureSide each.
  bool fits() const;
};

// While alive, the store draws as the picture `frame` shows it: the zoom and
// the origin's place multiplied, the twinkle sweep off. On leaving, the view,
// the sweep's place and every vertex's screen position (which the mouse goes
// by) are as they were; nothing else a draw writes is read outside drawing.
class PictureView {
 public:
  PictureView(Store& s, const PictureFrame& frame);
  ~PictureView();
  PictureView(const PictureView&) = delete;
  PictureView& operator=(const PictureView&) = delete;

 private:
  Store& s_;
  double rate_;
  int centerx_, centery_, twinkle_;
  std::array<int, MAXNOV> gx_, gy_;
};

// What the canvas of `frame` shows, without the status line and the twinkle,
// as a picture of magnify * width by magnify * height pixels: at twice the
// size the faces are drawn at twice the scale (not the canvas's pixels
// enlarged), with one-pixel outlines. Where the canvas's background
// rectangle does not reach, the background colour. No pixels when the frame
// does not fit.
Picture render_picture(Store& s, const PictureFrame& frame);

// Encodes rows of 8-bit RGB (top to bottom, three bytes a pixel, no padding)
// as a PNG file's bytes, or says why not. Each program brings its own: the
// window its toolkit's writer, the batch tool libpng. The rows are the
// encoder's to use as it needs, for as long as the call lasts.
using PngEncoder = std::function<bool(std::uint8_t* rgb, int width, int height, std::string& bytes,
                                      std::string& err)>;

// The picture's pixels packed as the rows a PngEncoder takes.
std::vector<std::uint8_t> rgb_rows(const Picture& p);

// The bytes of a picture file of `frame` in `format`: the PNG of the
// rendered pixels through `encode`, or the SVG drawing at the frame's own
// size (a drawing is enlarged by whatever shows it, so `magnify` is left
// aside). On failure, no bytes and `err` says why.
bool picture_bytes(Store& s, PictureFormat format, PictureFrame frame, const PngEncoder& encode,
                   std::string& bytes, std::string& err);

}  // namespace brimoss
