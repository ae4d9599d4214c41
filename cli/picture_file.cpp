#include "cli/picture_file.h"

#include <png.h>

#include <cstdint>
#include <vector>

#include "model/surface_file.h"
#include "view/svg.h"

namespace brimoss::cli {

bool png_bytes(const Picture& p, std::string& out, std::string& err) {
  std::vector<std::uint8_t> rgb(std::size_t(p.width) * p.height * 3);
  std::uint8_t* q = rgb.data();
  for (std::uint32_t v : p.pixels) {
    *q++ = static_cast<std::uint8_t>(v >> 16);
    *q++ = static_cast<std::uint8_t>(v >> 8);
    *q++ = static_cast<std::uint8_t>(v);
  }
  png_image image{};
  image.version = PNG_IMAGE_VERSION;
  image.width = static_cast<png_uint_32>(p.width);
  image.height = static_cast<png_uint_32>(p.height);
  image.format = PNG_FORMAT_RGB;
  // First the size the encoder needs, then the encoding into it.
  png_alloc_size_t size = 0;
  if (png_image_write_to_memory(&image, nullptr, &size, 0, rgb.data(), 0, nullptr)) {
    out.resize(size);
    if (png_image_write_to_memory(&image, out.data(), &size, 0, rgb.data(), 0, nullptr)) {
      out.resize(size);
      return true;
    }
  }
  err = std::string("cannot encode the picture: ") + image.message;
  png_image_free(&image);
  return false;
}

bool write_picture(Store& s, const std::string& path, int width, int height, std::string& err) {
  if (path == "-") {
    err = "a picture goes to a file (.png or .svg), not to standard output";
    return false;
  }
  PictureFormat format;
  if (!picture_format_for(path, format, err)) return false;
  const PictureFrame frame = PictureFrame::centred(width, height);
  if (!frame.fits()) {
    err = "a picture is 1 to " + std::to_string(kMaxPictureSide) + " pixels wide and high";
    return false;
  }
  std::string bytes;
  if (format == PictureFormat::Svg)
    bytes = svg_picture(s, frame);
  else if (!png_bytes(render_picture(s, frame), bytes, err))
    return false;
  return write_file_atomically(path, bytes, err);
}

}  // namespace brimoss::cli
