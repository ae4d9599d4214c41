// Reads a PNG file back through libpng's own reader, for the tests that check
// what the batch tool and the SVG renderer wrote.
#pragma once

#include <png.h>

#include <cstdint>
#include <string>
#include <vector>

#include "view/picture.h"

namespace brimoss::testpng {

// The file's pixels as 0xFFRRGGBB (any alpha is composed over black and
// dropped); false with the reader's complaint in `err`.
inline bool read_png(const std::string& path, Picture& out, std::string& err) {
  png_image image{};
  image.version = PNG_IMAGE_VERSION;
  if (!png_image_begin_read_from_file(&image, path.c_str())) {
    err = image.message;
    return false;
  }
  image.format = PNG_FORMAT_RGB;
  std::vector<std::uint8_t> rgb(PNG_IMAGE_SIZE(image));
  if (!png_image_finish_read(&image, nullptr, rgb.data(), 0, nullptr)) {
    err = image.message;
    png_image_free(&image);
    return false;
  }
  out.width = static_cast<int>(image.width);
  out.height = static_cast<int>(image.height);
  out.pixels.resize(std::size_t(out.width) * out.height);
  for (std::size_t i = 0; i < out.pixels.size(); ++i)
    out.pixels[i] = 0xFF000000u | std::uint32_t(rgb[3 * i]) << 16 |
                    std::uint32_t(rgb[3 * i + 1]) << 8 | rgb[3 * i + 2];
  return true;
}

}  // namespace brimoss::testpng
