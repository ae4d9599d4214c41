#include "ops/sheet_rings.h"

#include <algorithm>
#include <vector>

#include "model/sheet_check.h"

namespace brimoss::ops {

int sheet_rings(const Store& s) {
  const std::vector<char> border = border_vertices(s);
  // Faces round each vertex, and the corners each vertex shares a face with.
  std::vector<int> faces(s.NOV, 0);
  std::vector<std::vector<int>> near(s.NOV);
  for (int f = 0; f < s.NOS; ++f)
    for (int k = 0; k < 3; ++k) {
      const int v = s.face[f][k];
      if (v < 0 || v >= s.NOV) continue;
      ++faces[v];
      for (int j = 1; j < 3; ++j) {
        const int w = s.face[f][(k + j) % 3];
        if (w >= 0 && w < s.NOV && w != v) near[v].push_back(w);
      }
    }
  std::vector<int> cells;
  std::vector<int> cell_of(s.NOV, -1);
  for (int v = 0; v < s.NOV; ++v)
    if (faces[v] == 7 && !border[v]) {
      cell_of[v] = static_cast<int>(cells.size());
      cells.push_back(v);
    }
  if (cells.empty()) return 0;
  // The cells at each corner, to find a cell's neighbours through its corners.
  std::vector<std::vector<int>> at_corner(s.NOV);
  for (int c = 0; c < static_cast<int>(cells.size()); ++c) {
    std::vector<int>& rim = near[cells[c]];
    std::sort(rim.begin(), rim.end());
    rim.erase(std::unique(rim.begin(), rim.end()), rim.end());
    for (int w : rim) at_corner[w].push_back(c);
  }
  // Steps from the border, spreading inwards from the cells on it.
  std::vector<int> depth(cells.size(), -1), queue;
  for (int c = 0; c < static_cast<int>(cells.size()); ++c)
    for (int w : near[cells[c]])
      if (border[w]) {
        depth[c] = 0;
        queue.push_back(c);
        break;
      }
  int most = 0;
  for (std::size_t i = 0; i < queue.size(); ++i) {
    const int c = queue[i];
    most = std::max(most, depth[c]);
    for (int w : near[cells[c]])
      for (int d : at_corner[w])
        if (depth[d] < 0) {
          depth[d] = depth[c] + 1;
          queue.push_back(d);
        }
  }
  return most;
}

}  // namespace brimoss::ops
