#include "engine/world_transform.h"

world_transform_c::world_transform_c()
{
    world.SetIdentity();
    orientation.SetIdentity();
    inverse.SetIdentity();
    inverseOrientation.SetIdentity();
}

void world_transform_c::Set(const mat4x3_c& _m)
{
    world = _m;
    mat4x3_c::Inverse(inverse, _m);
    orientation.SetTranspose(world.GetRotation());
    inverseOrientation.SetTranspose(inverse.GetRotation());
}
