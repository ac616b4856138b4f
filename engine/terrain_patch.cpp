#include "engine/terrain_patch.h"

#include "engine/bounding_box.h"
#include "engine/geometry_def.h"
#include "engine/primitive_set.h"

#include <algorithm>

bool PatchNeedsRefinement(const bounding_box_c& _box, const vec3_c& _eye, f32 _accuracy)
{
    const f32 distance = (_box.ClosestPoint(_eye) - _eye).Length();
    const vec3_c size = _box.GetCorner(7) - _box.GetCorner(0);
    const f32 largest = std::max(size.x, std::max(size.y, size.z));
    return 1.0f / _accuracy < largest / distance;
}

void ExtendByGeometry(const geometry_def_c& _geometry, vec3_c& _min, vec3_c& _max)
{
    for (const auto& set : _geometry.primitiveSets)
        for (const vertex_c& vertex : set->vertices) {
            const vec3_c& p = vertex.position;
            _min = vec3_c(p.x < _min.x ? p.x : _min.x, p.y < _min.y ? p.y : _min.y, p.z < _min.z ? p.z : _min.z);
            _max = vec3_c(p.x > _max.x ? p.x : _max.x, p.y > _max.y ? p.y : _max.y, p.z > _max.z ? p.z : _max.z);
        }
}

bool RayTestGeometry(const geometry_def_c& _geometry, const ray_c& _ray, bool _two_sided, f32& _distance,
                     vec3_c& _normal)
{
    f32 best = ray_miss;
    for (const auto& set : _geometry.primitiveSets) {
        f32 distance = ray_miss;
        vec3_c normal;
        if (set->RayTest(distance, normal, _ray, _two_sided) && distance < best) {
            best = distance;
            _normal = normal;
        }
    }
    if (!(best < ray_miss))
        return false;
    _distance = best;
    return true;
}

void BuildHeightGrid(triangle_set_c& _set, const f32* _heights, u32 _side, u32 _row, u32 _column, u32 _cells, u32 _step,
                     f32 _spacing)
{
    _set.vertices.clear();
    _set.indices.clear();
    const u32 points = _cells + 1;
    _set.vertices.resize(u64(points) * points);
    for (u32 r = 0; r < points; ++r)
        for (u32 c = 0; c < points; ++c) {
            const u32 row = std::min(_row + r * _step, _side - 1);
            const u32 column = std::min(_column + c * _step, _side - 1);
            vertex_c& vertex = _set.vertices[u64(r) * points + c];
            vertex.position = vec3_c(static_cast<f32>(column) * _spacing, _heights[u64(row) * _side + column],
                                     -static_cast<f32>(row) * _spacing);
            vertex.normal = vec3_c(0.0f, 1.0f, 0.0f);
            vertex.texCoords[0][0] = static_cast<f32>(column) / static_cast<f32>(_side - 1);
            vertex.texCoords[0][1] = static_cast<f32>(row) / static_cast<f32>(_side - 1);
        }
    _set.indices.reserve(u64(_cells) * _cells * 6);
    for (u32 r = 0; r < _cells; ++r)
        for (u32 c = 0; c < _cells; ++c) {
            const u32 i00 = r * points + c;
            const u32 i01 = i00 + 1;
            const u32 i10 = i00 + points;
            const u32 i11 = i10 + 1;
            _set.indices.insert(_set.indices.end(), {i00, i01, i10, i01, i11, i10});
        }
}
