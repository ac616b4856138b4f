#include "engine/ray_primitive.h"

#include <stdexcept>

rt_primitive_c* rt_primitive_c::Clone() const
{
    throw std::logic_error("rt_primitive_c* rt_primitive_c::Clone() const");
}

rt_plane_c::rt_plane_c(const vec3_c& _normal, float _distance)
{
    const float k = FastInvSqrt(Dot(_normal, _normal));
    normal = _normal * k;
    constant = -(k * _distance);
}

rt_primitive_c* rt_plane_c::Clone() const
{
    return new rt_plane_c(*this);
}

float rt_plane_c::Intersect(const ray_c& _ray) const
{
    const float den = Dot(normal, _ray.direction);
    if (den == 0.0f)
        return ray_miss;
    const float t = (constant - Dot(normal, _ray.origin)) / den;
    return t >= 0.0f ? t : ray_miss;
}
