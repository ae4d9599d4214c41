// The batch tool's pictures: the view drawn as the window's canvas would show
// it, written as PNG (through libpng) or SVG.
#pragma once

#include <cstdint>
#include <string>

#include "model/store.h"
#include "view/picture.h"

namespace brimoss::cli {

// libpng's encoding of 8-bit RGB rows (a PngEncoder).
bool png_bytes(std::uint8_t* rgb, int width, int height, std::string& out, std::string& err);

// Writes the picture of a width x height view (its centre at the model
// origin) to `path`, in the format its extension names, through a temporary
// file and a rename. On failure nothing is written and `err` says why.
bool write_picture(Store& s, const std::string& path, int width, int height, std::string& err);

}  // namespace brimoss::cli
