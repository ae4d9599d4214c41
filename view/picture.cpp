#include "view/picture.h"

#include <cctype>

#include "view/draw.h"
#include "view/raster.h"
#include "view/svg.h"

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

std::vector<std::uint8_t> rgb_rows(const Picture& p) {
  std::vector<std::uint8_t> rgb(p.pixels.size() * 3);
  std::uint8_t* q = rgb.data();
  for (std::uint32_t v : p.pixels) {
    *q++ = static_cast<std::uint8_t>(v >> 16);
    *q++ = static_cast<std::uint8_t>(v >> 8);
    *q++ = static_cast<std::uint8_t>(v);
  }
  return rgb;
}

bool picture_bytes(Store& s, PictureFormat format, PictureFrame frame, const PngEncoder& encode,
                   std::string& bytes, std::string& err) {
  bytes.clear();
  if (format == PictureFormat::Svg) frame.magnify = 1;
  if (!frame.fits()) {
    err = "the picture would be " + std::to_string(frame.width * frame.magnify) + " x " +
          std::to_string(frame.height * frame.magnify) + " pixels; at most " +
          std::to_string(kMaxPictureSide) + " a side can be written";
    return false;
  }
  if (format == PictureFormat::Svg) {
    bytes = svg_picture(s, frame);
    return true;
  }
  const Picture p = render_picture(s, frame);
  std::vector<std::uint8_t> rgb = rgb_rows(p);
  if (encode(rgb.data(), p.width, p.height, bytes, err)) return true;
  bytes.clear();
  return false;
}

}  // namespace brimoss
