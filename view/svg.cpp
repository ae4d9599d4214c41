#include "view/svg.h"

#include <cstdio>

namespace brimoss {

namespace {

void append_colour(std::string& out, RGB c) {
  char buf[8];
  std::snprintf(buf, sizeof buf, "#%02x%02x%02x", c.r & 0xFF, c.g & 0xFF, c.b & 0xFF);
  out += buf;
}

}  // namespace

void SvgPainter::background(int w, int h, RGB fill) {
  if (w <= 0 || h <= 0) return;
  // Outlined in white like the canvas's: its border pixels are white.
  char buf[96];
  std::snprintf(buf, sizeof buf, "<rect width=\"%d\" height=\"%d\" stroke=\"#ffffff\" fill=\"",
                w - 1, h - 1);
  out_ += buf;
  append_colour(out_, fill);
  out_ += "\"/>\n";
}

void SvgPainter::triangle(const int xs[3], const int ys[3], RGB fill, bool whiteOutline) {
  char buf[112];
  std::snprintf(buf, sizeof buf, "<polygon points=\"%d,%d %d,%d %d,%d\" fill=\"", xs[0], ys[0],
                xs[1], ys[1], xs[2], ys[2]);
  out_ += buf;
  append_colour(out_, fill);
  // Black is the group's stroke; only the highlighted pieces' white is named.
  out_ += whiteOutline ? "\" stroke=\"#ffffff\"/>\n" : "\"/>\n";
}

std::string svg_picture(Store& s, const PictureFrame& frame) {
  PictureFrame plain = frame;
  plain.magnify = 1;
  std::string out;
  if (!plain.fits()) return out;
  const int width = plain.width, height = plain.height;
  out.reserve(256 + std::size_t(s.NOS) * 72);
  char buf[256];
  std::snprintf(buf, sizeof buf,
                "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                "<svg xmlns=\"http://www.w3.org/2000/svg\" version=\"1.1\" width=\"%d\" "
                "height=\"%d\" viewBox=\"0 0 %d %d\">\n",
                width, height, width, height);
  out += buf;
  // The picture's own background under everything, as the canvas's image has
  // where the background rectangle falls short of an odd-sized edge.
  out += "<rect width=\"100%\" height=\"100%\" fill=\"";
  append_colour(out, {s.bgcolR, s.bgcolG, s.bgcolB});
  out += "\"/>\n";
  // Half a unit across and down puts whole coordinates on pixel centres.
  out +=
      "<g transform=\"translate(0.5 0.5)\" stroke=\"#000000\" stroke-width=\"1\" "
      "stroke-linejoin=\"bevel\" fill-rule=\"evenodd\">\n";
  SvgPainter painter(out);
  {
    PictureView view(s, plain);
    draw_scene(s, painter);
  }
  out += "</g>\n</svg>\n";
  return out;
}

}  // namespace brimoss
