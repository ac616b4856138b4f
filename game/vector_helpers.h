#pragma once
// Value forms of the vector operations the game objects and the camera
// compose into longer expressions.
#include "foundation/vector_math.h"

// _v turned by a rotation given as (heading, pitch, bank).
inline vec3_c Turned(vec3_c _v, const vec3_c& _rotation)
{
    _v.RotateByEuler(euler_c(_rotation.x, _rotation.y, _rotation.z));
    return _v;
}

inline vec3_c Cross(const vec3_c& _a, const vec3_c& _b)
{
    vec3_c c;
    c.Cross(_a, _b);
    return c;
}

// _v at length 1; a zero vector stays zero.
inline vec3_c Unit(const vec3_c& _v)
{
    vec3_c unit;
    unit.Normalize(_v);
    return unit;
}
