#pragma once
// quad_volume_c: a flat rectangle in the x/y plane of an entity (sprites and
// lens flares), culled like a box from its four corners. For a quad from a to
// b, all at z = a.z: 0 (a.x, a.y), 1 (b.x, a.y), 2 (a.x, b.y), 3 (b.x, b.y).
#include "engine/clip_volume.h"

class quad_volume_c : public clip_volume_c<4> {
public:
    // From the empty extremes.
    quad_volume_c();

    void Set(const vec3_c& _a, const vec3_c& _b) { SetCorners(_a, vec3_c(_b.x, _b.y, _a.z)); }
};
