#pragma once
// Ray-test primitives: small shapes that report how far along a ray the first
// hit lies, in units of the ray direction's length; ray_miss for none.
#include "engine/ray.h"

class rt_primitive_c {
public:
    virtual ~rt_primitive_c() = default;
    // A new copy. A shape that does not provide one throws
    // std::logic_error("rt_primitive_c* rt_primitive_c::Clone() const").
    virtual rt_primitive_c* Clone() const;
    virtual float Intersect(const ray_c& _ray) const = 0;
};

// The plane N . p = c with a unit normal N; both sides are hit alike.
class rt_plane_c : public rt_primitive_c {
public:
    // The plane _normal . p + _distance = 0, normalised with FastInvSqrt.
    rt_plane_c(const vec3_c& _normal, float _distance);
    rt_plane_c(const rt_plane_c&) = default;

    rt_primitive_c* Clone() const override;
    // Parallel rays and planes behind the origin miss.
    float Intersect(const ray_c& _ray) const override;

    const vec3_c& GetNormal() const { return normal; }
    float GetConstant() const { return constant; }

private:
    vec3_c normal;
    float constant;
};
