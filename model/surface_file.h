// Surface files: the vertex, edge and face lists as plain text, one item a
// line. Reading checks everything and changes the store only when the whole
// text is good; writing goes through a temporary file so that a failure never
// leaves a half-written surface behind.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "model/store.h"

namespace brimoss {

// The largest coordinate magnitude a surface file may give.
constexpr double kMaxCoordinate = 1e150;

// A surface read from text, not yet in the store.
struct ParsedSurface {
  std::vector<double> x, y, z;
  std::vector<Edge> edge;
  std::vector<double> phi;
  std::vector<Face> face;
  int edge_count_line = 0;  // where the edge list starts, for messages about it
  int nov() const { return static_cast<int>(x.size()); }
  int noe() const { return static_cast<int>(edge.size()); }
  int nos() const { return static_cast<int>(face.size()); }
};

// Parses the text with `term` ending every count and every item (a line feed
// for files, a colon for the built-in samples). Checks the grammar, that counts
// fit the capacities, that indices lie in the text's own vertex list and that
// coordinates are finite. On failure returns false and sets `err` to
// "line L: reason". `room_*` are the capacities left (for appending).
bool parse_surface(std::string_view text, char term, ParsedSurface& out, std::string& err,
                   int room_v = MAXNOV, int room_e = MAXNOE, int room_s = MAXNOS);

// Writes a parsed surface into the store: replacing the surface, or after it
// (shifted 3.0 along x, indices offset) when appending. Counters only; no
// relaxation, labelling or snapshot.
void commit_surface(Store& s, const ParsedSurface& p, bool append);

// Number of connected components of the surface made of the store's current
// surface (when `with_store`) and `p` appended after it.
int count_components(const Store& s, bool with_store, const ParsedSurface& p);

// Parses a surface file's text for opening (`append` false) or for appending
// after the store's surface: the grammar, the room left in the store and the
// number of pieces the result would have. Changes nothing; on failure `err`
// says why ("line L: reason").
bool parse_for_store(const Store& s, std::string_view text, bool append, ParsedSurface& p,
                     std::string& err);

// The surface as file text, byte for byte as saved.
std::string surface_text(const Store& s);

// Saves the surface. The text goes to a temporary file beside the target,
// which then replaces the target in one rename, so a failed write leaves any
// earlier file as it was. On failure returns false with a reason in `err`.
bool save_surface_file(const Store& s, const std::string& path, std::string& err);

// Writes `bytes` to `path` the same way: a temporary file beside the target,
// flushed to disk and renamed over it; a symbolic link is written through and
// an existing file keeps its permissions. On failure the target is untouched
// and `err` says why.
bool write_file_atomically(const std::string& path, std::string_view bytes, std::string& err);

// Reads a whole file into `text`.
bool read_whole_file(const std::string& path, std::string& text, std::string& err);

}  // namespace brimoss
