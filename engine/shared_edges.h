#pragma once
// Edges that two triangles of a shadow volume share: one triangle's edge runs
// from P to Q and the other's from Q to P, positions equal within the float
// epsilon (vec3_c ==). Triangle t has corners 3t, 3t + 1, 3t + 2; its edge k
// runs from corner k to corner (k + 1) mod 3.
//
// Only corners whose epsilon-sized grid cells (a corner's coordinate divided
// by the epsilon, rounded down; far or non-finite coordinates in cell 0) lie
// at most one cell apart on every axis are compared. Candidates are looked up
// through a table of coarser cells, one lookup per edge in nearly every case,
// so the time grows linearly with the triangles.
#include "foundation/types.h"
#include "foundation/vector_math.h"

#include <vector>

struct shared_edge_s {
    u32 i, j; // triangles, i < j
    u32 a, b; // edge of i, edge of j
    bool operator==(const shared_edge_s&) const = default;
};

// Every shared pair of edges once, ordered by (i, j, a, b), as comparing every
// pair of triangles in that order finds them. _positions holds 3 corners per
// triangle; a trailing partial triangle is ignored.
std::vector<shared_edge_s> FindSharedEdges(const std::vector<vec3_c>& _positions);
