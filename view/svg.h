// The view as an SVG drawing: the background and every face as a polygon in
// drawing order, with the colours and outlines the canvas gives them (see
// view/picture.h for what a picture leaves out).
#pragma once

#include <string>

#include "view/draw.h"
#include "view/picture.h"

namespace brimoss {

// Writes each shape as an SVG element onto `out`. Corners sit on pixel
// centres, so a one-unit stroke covers the pixels the canvas's outline does
// and the drawing at its own size matches the screen but for smoothing.
class SvgPainter : public ScenePainter {
 public:
  explicit SvgPainter(std::string& out) : out_(out) {}
  void background(int w, int h, RGB fill) override;
  void triangle(const int xs[3], const int ys[3], RGB fill, bool whiteOutline) override;

 private:
  std::string& out_;
};

// The whole document for what the canvas of `frame` shows, at the canvas's
// own size (a drawing is enlarged by whatever shows it, so `frame.magnify` is
// not looked at). Empty when the frame does not fit.
std::string svg_picture(Store& s, const PictureFrame& frame);

}  // namespace brimoss
