#include "render_d3d9/inspection_shapes.h"
#include "engine/bounding_box.h"
#include "engine/quad_volume.h"

namespace {

void Add(d3d_inspection_shape_s& _shape, f32 _x, f32 _y, f32 _z, D3DCOLOR _color)
{
    _shape.vertices.push_back({_x, _y, _z, _color});
}

void Add(d3d_inspection_shape_s& _shape, const vec3_c& _p, D3DCOLOR _color)
{
    Add(_shape, _p.x, _p.y, _p.z, _color);
}

// A square's corners in the order (-h, -h), (h, -h), (h, h), (-h, h).
void Square(d3d_inspection_shape_s& _shape, f32 _half, f32 _z, D3DCOLOR _color)
{
    Add(_shape, -_half, -_half, _z, _color);
    Add(_shape, _half, -_half, _z, _color);
    Add(_shape, _half, _half, _z, _color);
    Add(_shape, -_half, _half, _z, _color);
}

// The four edges of the square starting at vertex _first.
void SquareEdges(d3d_inspection_shape_s& _shape, u16 _first)
{
    for (u16 i = 0; i < 4; ++i) {
        _shape.edges.insert(_shape.edges.end(), {static_cast<u16>(_first + i), static_cast<u16>(_first + (i + 1) % 4)});
    }
}

void JoinSquares(d3d_inspection_shape_s& _shape, u16 _first, u16 _second)
{
    for (u16 i = 0; i < 4; ++i) {
        _shape.edges.insert(_shape.edges.end(), {static_cast<u16>(_first + i), static_cast<u16>(_second + i)});
    }
}

}

d3d_inspection_shape_s BoneShape(f32 _length, D3DCOLOR _color)
{
    d3d_inspection_shape_s shape;
    const f32 ring = 0.1f * _length;
    Add(shape, 0.0f, 0.0f, 0.0f, _color);
    Add(shape, ring, 0.0f, ring, _color);
    Add(shape, 0.0f, ring, ring, _color);
    Add(shape, -ring, 0.0f, ring, _color);
    Add(shape, 0.0f, -ring, ring, _color);
    Add(shape, 0.0f, 0.0f, _length, _color);
    for (u16 i = 0; i < 4; ++i) {
        const u16 a = static_cast<u16>(1 + i);
        const u16 b = static_cast<u16>(1 + (i + 1) % 4);
        shape.faces.insert(shape.faces.end(), {0, a, b, 5, b, a});
        shape.edges.insert(shape.edges.end(), {0, a, a, b, a, 5});
    }
    return shape;
}

d3d_inspection_shape_s BoxShape(const bounding_box_c& _box, D3DCOLOR _color)
{
    d3d_inspection_shape_s shape;
    for (int i = 0; i < 8; ++i) {
        Add(shape, _box.GetCorner(i), _color);
    }
    // Two triangles for each side, by the corner bits.
    shape.faces = {0, 2, 1, 1, 2, 3, 4, 5, 6, 5, 7, 6, 0, 1, 4, 1, 5, 4,
                   2, 6, 3, 3, 6, 7, 0, 4, 2, 2, 4, 6, 1, 3, 5, 3, 7, 5};
    shape.edges = {0, 1, 1, 3, 3, 2, 2, 0, 4, 5, 5, 7, 7, 6, 6, 4, 0, 4, 1, 5, 2, 6, 3, 7};
    return shape;
}

d3d_inspection_shape_s QuadShape(const quad_volume_c& _quad, D3DCOLOR _color)
{
    d3d_inspection_shape_s shape;
    for (int i = 0; i < 4; ++i) {
        Add(shape, _quad.GetCorner(i), _color);
    }
    shape.faceStrip = true;
    shape.edges = {0, 1, 1, 3, 3, 2, 2, 0};
    return shape;
}

d3d_inspection_shape_s LightMarkerShape(bool _point, D3DCOLOR _color)
{
    d3d_inspection_shape_s shape;
    if (_point) {
        for (u16 axis = 0; axis < 3; ++axis) {
            f32 end[3] = {0.0f, 0.0f, 0.0f};
            end[axis] = 1.0f;
            Add(shape, -end[0], -end[1], -end[2], _color);
            Add(shape, end[0], end[1], end[2], _color);
            shape.edges.insert(shape.edges.end(), {static_cast<u16>(2 * axis), static_cast<u16>(2 * axis + 1)});
        }
        return shape;
    }
    Square(shape, 0.5f, -1.0f, _color);
    Square(shape, 0.5f, 0.0f, _color);
    Square(shape, 1.0f, 1.0f, _color);
    SquareEdges(shape, 0);
    SquareEdges(shape, 4);
    JoinSquares(shape, 0, 4);
    SquareEdges(shape, 8);
    JoinSquares(shape, 4, 8);
    return shape;
}
