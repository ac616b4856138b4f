#pragma once
// Where a world point lies on the mission's map. The map covers x and z from
// -3000 to 3000; the HUD's moving map and the full-screen map both place
// things through these, so the two always agree.
#include "foundation/types.h"
#include "foundation/vector_math.h"

// (x + 3000) / 6000: 0 at the map's low edge, 1 at its high edge.
f32 MapFraction(f32 _coordinate);

// The point of the full-screen map's scene for world (x, z):
// (fraction x * 31.0 - 20.0, fraction z * 31.2 - 15.6, 50.0).
vec3_c MapPosition(f32 _x, f32 _z);
