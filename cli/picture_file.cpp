#include "cli/picture_file.h"

#include <png.h>

#include "model/surface_file.h"

namespace brimoss::cli {

bool png_bytes(std::uint8_t* rgb, int width, int height, std::string& out, std::string& err) {
  png_image image{};
  image.version = PNG_IMAGE_VERSION;
  image.width = static_cast<png_uint_32>(width);
  image.height = static_cast<png_uint_32>(height);
  image.format = PNG_FORMAT_RGB;
  // First the size the encoder needs, then the encoding into it.
  png_alloc_size_t size = 0;
  if (png_image_write_to_memory(&image, nullptr, &size, 0, rgb, 0, nullptr)) {
    out.resize(size);
    if (png_image_write_to_memory(&image, out.data(), &size, 0, rgb, 0, nullptr)) {
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
  std::string bytes;
  return picture_bytes(s, format, PictureFrame::centred(width, height), png_bytes, bytes, err) &&
         write_file_atomically(path, bytes, err);
}

}  // namespace brimoss::cli
