#include "view/picture.h"

#include <cctype>

#include "view/draw.h"
#include "view/raster.h"

namespace brimoss {

bool picture_format_for(const std::string& path, PictureFormat& format, std::string& err) {
  const std::size_t slash = path.find_last_of('/');
  const std::size_t dot = path.find_last_of('.');
  std::string ext;
  if (dot != std::string::npos && (slash == std::string::npos || dot > slash))
    for (std::size_t i = dot; i < path.size(); ++i)
      ext += static_cast<char>(std::tolower(static_cast<unsigned char>(path[i])));
  if (ext == ".png")
    format = PictureFormat::Png;
  else if (ext == ".svg")
    format = PictureFormat::Svg;
  else {
    err = "cannot write a picture to " + path + ": " +
          (ext.empty() ? std::string("no file type") : "unknown file type " + ext) +
          " (use .png or .svg)";
    return false;
  }
  return true;
}

bool PictureFrame::fits() const {
  return magnify >= 1 && width >= 1 && height >= 1 && width <= kMaxPictureSide / magnify &&
         height <= kMaxPictureSide / magnify;
}

PictureView::PictureView(Store& s, const PictureFrame& frame)
    : s_(s),
      rate_(s.g_rate),
      centerx_(s.g_centerx),
      centery_(s.g_centery),
      twinkle_(s.g_twincle),
      gx_(s.gx),
      gy_(s.gy) {
  s.g_rate = rate_ * frame.magnify;
  // Where the origin's pixel corner lands when the canvas is enlarged.
  s.g_centerx = frame.magnify * frame.centerx;
  s.g_centery = frame.magnify * frame.centery;
  s.g_twincle = 0;
}

PictureView::~PictureView() {
  s_.g_rate = rate_;
  s_.g_centerx = centerx_;
  s_.g_centery = centery_;
  s_.g_twincle = twinkle_;
  s_.gx = gx_;
  s_.gy = gy_;
}

Picture render_picture(Store& s, const PictureFrame& frame) {
  Picture p;
  if (!frame.fits()) return p;
  p.width = frame.width * frame.magnify;
  p.height = frame.height * frame.magnify;
  p.pixels.assign(std::size_t(p.width) * p.height, pixel_of({s.bgcolR, s.bgcolG, s.bgcolB}));
  PixelTarget t;
  t.pixels = p.pixels.data();
  t.width = p.width;
  t.height = p.height;
  t.stride = p.width;
  RasterPainter painter(t);
  PictureView view(s, frame);
  draw_scene(s, painter);
  return p;
}

}  // namespace brimoss
