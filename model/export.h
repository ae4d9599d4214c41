// Exporting the sheet to the mesh formats that renderers, mesh editors and
// slicers read: Wavefront OBJ, ASCII PLY and binary STL. The sheet itself can be
// written as it is, or thickened into a closed shell that a slicer accepts as a
// solid.
#pragma once

#include <array>
#include <string>
#include <vector>

#include "model/store.h"

namespace brimoss {

enum class MeshFormat { Obj, Ply, Stl };

// The format named by the path's extension, in any letter case.
bool mesh_format_for(const std::string& path, MeshFormat& format, std::string& err);

// A triangle mesh ready to be written: positions and faces by index.
struct TriMesh {
  std::vector<std::array<double, 3>> v;
  std::vector<std::array<int, 3>> f;
};

// The surface as it is stored: every vertex, every face in its stored corner
// order, coordinates multiplied by `scale`.
TriMesh surface_mesh(const Store& s, double scale);

// How a solid came out: where its wall had to thin so that it would not
// cross itself.
struct SolidReport {
  int corners = 0;            // sheet corners (one per fan of faces round a vertex)
  int thinned = 0;            // of them, those where the wall is thinner than asked
  int pinched = 0;            // of those, border corners where the wall comes to an edge
  double thinnest_wall = 0;   // model units; the thickness asked when none thinned
  int crossings_at_full = 0;  // face pairs of the shell that crossed before any thinning
};

// The sheet thickened into a closed, outward-facing shell: the surface moved
// by +thickness/2 and, turned over, by -thickness/2 along the vertex normals,
// joined by walls along the border. A normal that leans below a face of its
// fan (at a sharp crease) is tilted until it stands above them all, where it
// can. Where the shell would still cross itself (the inner side of a sharp
// fold), the corners involved come nearer the sheet, step by step, to no less
// than a sixty-fourth of the thickness; `report` says how far. Refuses (false,
// reason in `err`) what no closed shell can be made of: an edge on three or
// more faces, a one-sided piece, a sheet that crosses itself, or a shell that
// crosses itself even so. Faces with a repeated corner have no area and are
// left out; vertices on no face are dropped.
bool solid_mesh(const Store& s, double thickness, double scale, TriMesh& out, std::string& err,
                SolidReport* report = nullptr);

// The file bytes of a mesh in a format.
std::string mesh_bytes(const TriMesh& m, MeshFormat format);

// The bytes export_surface and export_solid write, in a format chosen by the
// caller, for writing somewhere other than a named file. False, with the
// reason in `err`, where those would refuse.
bool surface_bytes(const Store& s, MeshFormat format, double scale, std::string& bytes,
                   std::string& err);
bool solid_bytes(const Store& s, MeshFormat format, double thickness, double scale,
                 std::string& bytes, std::string& err, SolidReport* report = nullptr);

// Writes the surface, or the thickened shell, to `path` in the format its
// extension names, through a temporary file and a rename. On failure nothing
// is written and `err` says why.
bool export_surface(const Store& s, const std::string& path, double scale, std::string& err);
bool export_solid(const Store& s, const std::string& path, double thickness, double scale,
                  std::string& err, SolidReport* report = nullptr);

}  // namespace brimoss
