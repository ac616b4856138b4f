#pragma once
// world_transform_c: the matrices an entity keeps once it is placed: the
// world matrix with its affine inverse, and the transposed 3x3 parts of both
// (the orientations the renderer reads).
#include "foundation/matrix.h"

class world_transform_c {
public:
    mat4x3_c world;
    mat3_c orientation;
    bool uniformScale = true;
    mat4x3_c inverse;
    mat3_c inverseOrientation;

    world_transform_c();

    // World matrix _m, its inverse and both orientations.
    void Set(const mat4x3_c& _m);
};
