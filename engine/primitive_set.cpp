#include "engine/primitive_set.h"

#include "engine/texture_projection.h"

#include <algorithm>
#include <cmath>
#include <unordered_map>

u32 primitive_set_c::GetPrimitiveCount(u32 _kind) const
{
    if (_kind != primitive_any && _kind != GetKind())
        return 0;
    if (!indices.empty())
        return static_cast<u32>(indices.size() / GetVerticesPerPrimitive());
    return GetStripCount();
}

bool primitive_set_c::IsIntegral() const
{
    const size_t n = vertices.size();
    const u32 k = GetVerticesPerPrimitive();
    if (indices.empty())
        return n == 0 || k == 1 || n >= k;
    if (n == 0 || indices.size() % k != 0)
        return false;
    for (u32 index : indices)
        if (index >= n)
            return false;
    return true;
}

void primitive_set_c::ProjectTextureCoordinates(u32, const texture_projection_c&) {}

void primitive_set_c::RemapIndices(const std::vector<u32>& _table)
{
    for (u32& index : indices)
        if (index < _table.size())
            index = _table[index];
}

bool primitive_set_c::RayTest(float&, vec3_c&, const ray_c&, bool) const
{
    return false;
}

namespace {

// Cells twice as wide as the welding tolerance: two vertices that weld lie in
// the same or neighbouring cells (with room for rounding), so each vertex is
// compared with a few others instead of every earlier one.
struct weld_cell_s {
    i64 x, y, z;
    bool operator==(const weld_cell_s&) const = default;
};

struct weld_cell_hash_s {
    size_t operator()(const weld_cell_s& _cell) const
    {
        const u64 h = static_cast<u64>(_cell.x) * 0x9E3779B97F4A7C15ull ^
                      static_cast<u64>(_cell.y) * 0xC2B2AE3D27D4EB4Full ^
                      static_cast<u64>(_cell.z) * 0x165667B19E3779F9ull;
        return static_cast<size_t>(h ^ (h >> 29));
    }
};

i64 WeldCellOf(f32 _coordinate)
{
    // Far-out coordinates share the outermost cells, which stays correct.
    const f64 cell = std::floor(static_cast<f64>(_coordinate) / (2.0 * 1.1920929e-7));
    return static_cast<i64>(std::clamp(cell, -4.0e18, 4.0e18));
}

} // namespace

void primitive_set_c::WeldVertices()
{
    const size_t n = vertices.size();
    if (n == 0 || indices.empty())
        return;
    // first[i]: the earliest vertex equal to vertex i (i itself when none),
    // exactly as a scan of every earlier vertex would find it.
    std::vector<u32> first(n);
    std::unordered_map<weld_cell_s, std::vector<u32>, weld_cell_hash_s> cells;
    cells.reserve(n);
    size_t unique = 0;
    for (size_t i = 0; i < n; ++i) {
        const vec3_c& p = vertices[i].position;
        u32 earliest = static_cast<u32>(i);
        if (!std::isnan(p.x) && !std::isnan(p.y) && !std::isnan(p.z)) {
            const weld_cell_s home{WeldCellOf(p.x), WeldCellOf(p.y), WeldCellOf(p.z)};
            for (i64 dx = -1; dx <= 1; ++dx)
                for (i64 dy = -1; dy <= 1; ++dy)
                    for (i64 dz = -1; dz <= 1; ++dz) {
                        const auto found = cells.find({home.x + dx, home.y + dy, home.z + dz});
                        if (found == cells.end())
                            continue;
                        // Each cell lists its vertices in ascending order.
                        for (u32 j : found->second) {
                            if (j >= earliest)
                                break;
                            if (vertices[j] == vertices[i]) {
                                earliest = j;
                                break;
                            }
                        }
                    }
            cells[home].push_back(static_cast<u32>(i));
        }
        first[i] = earliest;
        unique += earliest == i;
    }
    if (unique == n)
        return;
    std::vector<u32> table(n);
    std::vector<vertex_c> welded;
    welded.reserve(unique);
    for (size_t i = 0; i < n; ++i) {
        if (first[i] == i) {
            table[i] = static_cast<u32>(welded.size());
            welded.push_back(vertices[i]);
        } else {
            table[i] = table[first[i]];
        }
    }
    RemapIndices(table);
    vertices.swap(welded);
}

void triangle_set_c::ProjectTextureCoordinates(u32 _set, const texture_projection_c& _projection)
{
    if (vertices.empty() || indices.size() < 3 || _set >= 3 || _projection.mapType == texture_projection_c::map_none)
        return;
    const size_t n = vertices.size();
    const bool wraps = _projection.mapType == texture_projection_c::map_cylindrical ||
                       _projection.mapType == texture_projection_c::map_spherical;
    for (size_t t = 0; t + 3 <= indices.size(); t += 3) {
        const u32 i0 = indices[t], i1 = indices[t + 1], i2 = indices[t + 2];
        if (i0 >= n || i1 >= n || i2 >= n)
            continue;
        vertex_c* corner[3] = {&vertices[i0], &vertices[i1], &vertices[i2]};
        u32 axis = _projection.axis;
        if (_projection.mapType == texture_projection_c::map_cubic) {
            vec3_c normal;
            normal.Cross(corner[1]->position - corner[0]->position, corner[2]->position - corner[0]->position);
            const f32 ax = std::fabs(normal.x), ay = std::fabs(normal.y), az = std::fabs(normal.z);
            axis = az >= ax && az >= ay ? 2 : ay > ax ? 1 : 0;
        }
        for (vertex_c* v : corner)
            _projection.Project(v->position, axis, v->texCoords[_set][0], v->texCoords[_set][1]);
        if (wraps)
            _projection.FixSeam(corner[0]->texCoords[_set][0], corner[1]->texCoords[_set][0],
                                corner[2]->texCoords[_set][0]);
    }
}

bool triangle_set_c::RayTest(float& _distance, vec3_c& _normal, const ray_c& _ray, bool _two_sided) const
{
    const size_t n = vertices.size();
    if (n == 0 || indices.size() < 3)
        return false;
    float best = ray_miss;
    size_t best_triangle = indices.size();
    for (size_t t = 0; t + 3 <= indices.size(); t += 3) {
        const u32 i0 = indices[t], i1 = indices[t + 1], i2 = indices[t + 2];
        if (i0 >= n || i1 >= n || i2 >= n)
            continue;
        const vec3_c& p0 = vertices[i0].position;
        const vec3_c e1 = vertices[i1].position - p0;
        const vec3_c e2 = vertices[i2].position - p0;
        vec3_c pvec;
        pvec.Cross(_ray.direction, e2);
        const float det = Dot(e1, pvec);
        const vec3_c tvec = _ray.origin - p0;
        vec3_c qvec;
        qvec.Cross(tvec, e1);
        float distance;
        if (_two_sided) {
            if (det > -1e-5f && det < 1e-5f)
                continue;
            const float inverse = 1.0f / det;
            const float u = Dot(tvec, pvec) * inverse;
            if (u < 0.0f || u > 1.0f)
                continue;
            const float v = Dot(_ray.direction, qvec) * inverse;
            if (v < 0.0f || u + v > 1.0f)
                continue;
            distance = Dot(e2, qvec) * inverse;
        } else {
            if (!(det >= 1e-5f))
                continue;
            const float u = Dot(tvec, pvec);
            if (u < 0.0f || u > det)
                continue;
            const float v = Dot(_ray.direction, qvec);
            if (v < 0.0f || u + v > det)
                continue;
            distance = Dot(e2, qvec) / det;
        }
        if (!(distance >= 0.0f))
            distance = ray_miss;
        if (distance < best) {
            best = distance;
            best_triangle = t;
        }
    }
    if (best_triangle == indices.size())
        return false;
    const vec3_c& p0 = vertices[indices[best_triangle]].position;
    const vec3_c& p1 = vertices[indices[best_triangle + 1]].position;
    const vec3_c& p2 = vertices[indices[best_triangle + 2]].position;
    vec3_c normal;
    normal.Cross(p1 - p0, p2 - p0);
    normal.NormalizeSelf();
    vec3_c direction;
    direction.Normalize(_ray.direction);
    _distance = best;
    _normal = Dot(normal, direction) < 0.0f ? normal : -normal;
    return true;
}

primitive_set_c* CreatePrimitiveSet(u32 _vertices_per_primitive)
{
    switch (_vertices_per_primitive) {
    case 1: return new point_set_c;
    case 2: return new line_set_c;
    case 3: return new triangle_set_c;
    default: return nullptr;
    }
}
