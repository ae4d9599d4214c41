// The shape of the surface as a sheet: whether its faces make one oriented
// surface without pinches or tears, and how the faces sit round each vertex.
#pragma once

#include <map>
#include <ostream>
#include <vector>

#include "model/store.h"

namespace brimoss {

// The faces round one vertex as the faces' own corner order chains them: each
// face containing v gives the pair of its two other corners, in its cyclic
// order starting after v, and a pair (a, b) is followed by the pair that
// starts with b.
struct VertexFan {
  int faces = 0;  // faces with v as a corner (a face naming v twice counts once)
  // True when no neighbour starts or ends two pairs and no face names v twice:
  // the pairs then make chains and cycles and nothing else.
  bool simple = true;
  // The open chains as vertex sequences, first to last (a chain of n faces
  // has n + 1 vertices), in the order of their first faces.
  std::vector<std::vector<int>> chains;
  int cycles = 0;  // closed rings of faces
  // One closed ring holds every face: v lies inside the sheet.
  bool closed() const { return simple && cycles == 1 && chains.empty(); }
  // One open chain holds every face: v lies on the border.
  bool open() const { return simple && cycles == 0 && chains.size() == 1; }
};

// The fan of vertex v (scans every face).
VertexFan vertex_fan(const Store& s, int v);

// For every vertex in use, whether it lies on the border: on a face side that
// only one face has.
std::vector<char> border_vertices(const Store& s);

// What check_sheet finds.
struct SheetFigures {
  int vertices = 0, edges = 0, faces = 0;
  // Pieces of vertices joined by edges or by the sides of faces; a vertex on
  // neither is a piece of its own.
  int components = 0;
  int degenerate_faces = 0;  // faces with a repeated corner; left out of all else
  // Face sides: a pair of vertices on 3 or more faces, and a pair on exactly
  // two faces that both run the same way.
  int non_manifold_edges = 0;
  int orientation_conflicts = 0;
  int border_edges = 0;  // face sides on one face only
  // A vertex whose faces fall into two or more fans that share no side.
  int pinch_vertices = 0;
  // Vertices whose faces make one fan closed all round, and how many faces
  // each of them has (faces -> number of such vertices).
  int closed_vertices = 0;
  std::map<int, int> closed_by_faces;
  // The corner angles of the faces round each closed vertex, summed, in
  // degrees, averaged over the closed vertices (0 when there are none).
  double mean_angle_sum = 0;
};

SheetFigures check_sheet(const Store& s);

// The figures one "name value" a line, always in the same order; the closed
// vertices by face count as "closed_on_N" lines in rising N.
void write_sheet_figures(std::ostream& o, const SheetFigures& f);

}  // namespace brimoss
