#pragma once
// A ray: an origin and a direction. Distances along it are in units of the
// direction's length, so a ray given as a segment yields fractions of it.
#include "foundation/vector_math.h"

class ray_c {
public:
    vec3_c origin;
    vec3_c direction;

    ray_c() = default;
    ray_c(const vec3_c& _origin, const vec3_c& _direction) : origin(_origin), direction(_direction) {}
};

// The distance that means "no hit": the largest float.
inline constexpr float ray_miss = 3.4028235e38f;
