// Loading a surface as the user does: the new surface is relaxed, its pieces
// labelled and the twinkle started, and a running paste is ended first.
#pragma once

#include <string>
#include <string_view>

#include "model/store.h"

namespace brimoss {

// Loads sample n (128, 129 or 130; any other number means 131): replaces the
// surface, drops the undo snapshot, relaxes twice, labels the components and
// starts the twinkle. Always returns 1.
int ReadSampleData(Store& s, int n);

// Start-up state: the default sample loaded, no snapshot, no highlight.
void initialize_store(Store& s);

// Open: replaces the surface with the text's, relaxes, labels, starts the
// twinkle. Open and append: takes the snapshot, appends, relaxes, labels,
// starts the twinkle. A text that is refused leaves the store exactly as it was
// and explains why in `err`.
bool open_surface_text(Store& s, std::string_view text, std::string& err);
bool append_surface_text(Store& s, std::string_view text, std::string& err);

// The same from a file on disk; a refusal names the file ("PATH: line L: ...").
bool open_surface_file(Store& s, const std::string& path, std::string& err);
bool append_surface_file(Store& s, const std::string& path, std::string& err);

}  // namespace brimoss
