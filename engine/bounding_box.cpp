#include "engine/bounding_box.h"

#include "engine/clip_mask.h"
#include "engine/stream_check.h"
#include "foundation/memory_file.h"

#include <algorithm>

bounding_box_c::bounding_box_c()
{
    Set(vec3_c(kFloatMax, kFloatMax, kFloatMax), vec3_c(-kFloatMax, -kFloatMax, -kFloatMax));
}

bounding_box_c::bounding_box_c(const vec3_c& _a, const vec3_c& _b)
{
    Set(_a, _b);
}

void bounding_box_c::Set(const vec3_c& _a, const vec3_c& _b)
{
    SetCorners(_a, _b);
}

vec3_c bounding_box_c::GetCentre() const
{
    return (corners[0] + corners[7]) * 0.5f;
}

float bounding_box_c::GetRadius() const
{
    return (corners[7] - corners[0]).Length() * 0.5f;
}

void bounding_box_c::TransformCorners(const mat4x3_c& _m)
{
    TransformPoints(8, projected, corners, _m);
    clipMask = 0;
}

namespace {

template <class Pick>
vec4_c Extreme(const vec4_c* points, Pick pick)
{
    vec4_c result = points[0];
    for (int i = 1; i < 8; ++i) {
        result.x = pick(result.x, points[i].x);
        result.y = pick(result.y, points[i].y);
        result.z = pick(result.z, points[i].z);
        result.w = pick(result.w, points[i].w);
    }
    return result;
}

} // namespace

vec4_c bounding_box_c::GetMin() const
{
    return Extreme(projected, [](float a, float b) { return std::min(a, b); });
}

vec4_c bounding_box_c::GetMax() const
{
    return Extreme(projected, [](float a, float b) { return std::max(a, b); });
}

float bounding_box_c::RayDistance(const ray_c& _ray) const
{
    const float faces[6] = {
        RayFaceDistance(_ray, 3, corners[0], corners[3]), RayFaceDistance(_ray, 1, corners[0], corners[6]),
        RayFaceDistance(_ray, 3, corners[4], corners[7]), RayFaceDistance(_ray, 1, corners[1], corners[7]),
        RayFaceDistance(_ray, 2, corners[2], corners[7]), RayFaceDistance(_ray, 2, corners[0], corners[5]),
    };
    return *std::min_element(faces, faces + 6);
}

vec3_c bounding_box_c::ClosestPoint(const vec3_c& _p) const
{
    const vec3_c& low = corners[0];
    const vec3_c& high = corners[7];
    return vec3_c(std::clamp(_p.x, low.x, std::max(low.x, high.x)), std::clamp(_p.y, low.y, std::max(low.y, high.y)),
                  std::clamp(_p.z, low.z, std::max(low.z, high.z)));
}

void WriteBoundingBox(output_file_c& _file, const bounding_box_c& _box)
{
    const vec3_c& a = _box.GetCorner(0);
    const vec3_c& b = _box.GetCorner(7);
    for (float value : {a.x, a.y, a.z, b.x, b.y, b.z})
        _file.WriteF32(value);
}

void ReadBoundingBox(input_file_c& _file, bounding_box_c& _box)
{
    // A body that ends early keeps the box it had for the values it lacks.
    const vec3_c a = _box.GetCorner(0), b = _box.GetCorner(7);
    float v[6] = {a.x, a.y, a.z, b.x, b.y, b.z};
    for (float& value : v)
        _file.ReadF32(value);
    _box.Set(vec3_c(v[0], v[1], v[2]), vec3_c(v[3], v[4], v[5]));
}
