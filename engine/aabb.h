#pragma once
// aabb_c: an axis-aligned box in world space (unions of children, overlap
// tests). The empty box has min at +FLT_MAX and max at -FLT_MAX and is not
// valid; a box is valid when min <= max on every axis.
#include "foundation/matrix.h"

class bounding_box_c;

class aabb_c {
public:
    vec3_c min;
    vec3_c max;

    aabb_c() { SetEmpty(); }
    aabb_c(const vec3_c& _min, const vec3_c& _max) : min(_min), max(_max) {}
    // min = corner 0, max = corner 7 of the local box.
    explicit aabb_c(const bounding_box_c& _box);

    void SetEmpty();
    bool IsValid() const;
    // Copied as given; no ordering.
    void Set(const vec3_c& _min, const vec3_c& _max);
    // The overlap of two valid boxes (not valid when they do not overlap);
    // the empty box when either is not valid.
    void Intersect(const aabb_c& _a, const aabb_c& _b);
    // The extremes of the eight corners of _in transformed as points by _m.
    void Transform(const aabb_c& _in, const mat4x3_c& _m);
};
