// The capacities of the store and the two records its edge and face arrays
// hold: what the store and its algorithms' working arrays are both built from.
#pragma once

namespace brimoss {

constexpr int MAXNOV = 1000;      // vertices
constexpr int MAXNOE = 3000;      // edges
constexpr int MAXNOS = 6000;      // faces
constexpr int MAXCONNCOMP = 100;  // component numbers 0 to 99

struct Edge {
  int first = 0;
  int second = 0;
  bool operator==(const Edge& o) const { return first == o.first && second == o.second; }
};

struct Face {
  int v[3] = {0, 0, 0};
  int& operator[](int i) { return v[i]; }
  int operator[](int i) const { return v[i]; }
  bool operator==(const Face& o) const {
    return v[0] == o.v[0] && v[1] == o.v[1] && v[2] == o.v[2];
  }
};

}  // namespace brimoss
