#pragma once
// The inspection shapes drawn in a scene: vertices of a position and a
// colour (16 bytes), with 16-bit indices for the faces (triangles) and the
// edges (lines), all in the space of the matrix they are drawn with.
//
// Bone: the root (0, 0, 0), a ring of four points at (+-0.1 L, 0, 0.1 L)
// and (0, +-0.1 L, 0.1 L) and the tip (0, 0, L) for the length L along the
// bone's z axis; 8 faces and 12 edges. Box: the eight corners of
// bounding_box_c (corner i takes x from the maximum when i & 1, y when i &
// 2, z when i & 4); 12 faces and 12 edges. Quad: the four corners of
// quad_volume_c in strip order, its faces a strip of two triangles (no face
// indices) and 4 edges. Light marker: a point light as the three axis lines
// from -1 to 1; any other light as a lamp of 12 vertices and 20 edges:
// squares of half-size 0.5 at z -1 and z 0 joined corner to corner, and one
// of half-size 1 at z 1 joined to the corners of the z 0 square.
#include "foundation/vector_math.h"
#include "platform/d3d9/d3d9.h"

#include <vector>

class bounding_box_c;
class quad_volume_c;

struct d3d_inspection_vertex_s {
    f32 x, y, z;
    D3DCOLOR color;
};
static_assert(sizeof(d3d_inspection_vertex_s) == 16);

struct d3d_inspection_shape_s {
    std::vector<d3d_inspection_vertex_s> vertices;
    std::vector<u16> faces;
    std::vector<u16> edges;
    // The faces are the vertices as a strip rather than indexed triangles.
    bool faceStrip = false;
};

d3d_inspection_shape_s BoneShape(f32 _length, D3DCOLOR _color);
d3d_inspection_shape_s BoxShape(const bounding_box_c& _box, D3DCOLOR _color);
d3d_inspection_shape_s QuadShape(const quad_volume_c& _quad, D3DCOLOR _color);
d3d_inspection_shape_s LightMarkerShape(bool _point, D3DCOLOR _color);
