#include "engine/aabb.h"

#include "engine/bounding_box.h"

#include <algorithm>

aabb_c::aabb_c(const bounding_box_c& _box) : min(_box.GetCorner(0)), max(_box.GetCorner(7)) {}

void aabb_c::SetEmpty()
{
    min = vec3_c(kFloatMax, kFloatMax, kFloatMax);
    max = vec3_c(-kFloatMax, -kFloatMax, -kFloatMax);
}

bool aabb_c::IsValid() const
{
    return min.x <= max.x && min.y <= max.y && min.z <= max.z;
}

void aabb_c::Set(const vec3_c& _min, const vec3_c& _max)
{
    min = _min;
    max = _max;
}

void aabb_c::Intersect(const aabb_c& _a, const aabb_c& _b)
{
    if (!_a.IsValid() || !_b.IsValid()) {
        SetEmpty();
        return;
    }
    const vec3_c low(std::max(_a.min.x, _b.min.x), std::max(_a.min.y, _b.min.y), std::max(_a.min.z, _b.min.z));
    const vec3_c high(std::min(_a.max.x, _b.max.x), std::min(_a.max.y, _b.max.y), std::min(_a.max.z, _b.max.z));
    min = low;
    max = high;
}

void aabb_c::Transform(const aabb_c& _in, const mat4x3_c& _m)
{
    vec3_c low(kFloatMax, kFloatMax, kFloatMax);
    vec3_c high(-kFloatMax, -kFloatMax, -kFloatMax);
    for (int i = 0; i < 8; ++i) {
        const vec3_c corner(i & 1 ? _in.max.x : _in.min.x, i & 2 ? _in.max.y : _in.min.y,
                            i & 4 ? _in.max.z : _in.min.z);
        const vec3_c p = corner * _m;
        low = vec3_c(std::min(low.x, p.x), std::min(low.y, p.y), std::min(low.z, p.z));
        high = vec3_c(std::max(high.x, p.x), std::max(high.y, p.y), std::max(high.z, p.z));
    }
    min = low;
    max = high;
}
