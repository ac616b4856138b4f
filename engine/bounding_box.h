#pragma once
// bounding_box_c: the local box of an entity as eight corners, with the
// corners as last projected to clip space and the clip mask of the last test.
// Corner i of a box from a to b takes x from b when i & 1, y when i & 2 and z
// when i & 4, else from a: with a <= b corner 0 is the minimum and 7 the
// maximum. ToClipSpace, Clip and NeedsClipping come with clip_volume_c.
#include "engine/clip_mask.h"
#include "engine/clip_volume.h"
#include "engine/ray.h"
#include "foundation/matrix.h"
#include "foundation/types.h"

class input_file_c;
class output_file_c;

class bounding_box_c : public clip_volume_c<8> {
public:
    // From the empty extremes: corner 0 at +FLT_MAX, corner 7 at -FLT_MAX.
    bounding_box_c();
    bounding_box_c(const vec3_c& _a, const vec3_c& _b);

    // Corners from a to b; projected corners (corner, 1); mask 0.
    void Set(const vec3_c& _a, const vec3_c& _b);

    // The bounding sphere of the local box.
    vec3_c GetCentre() const;
    float GetRadius() const;

    // Projected corners = (corner * m, 1); mask 0.
    void TransformCorners(const mat4x3_c& _m);

    // Component-wise extremes of the projected corners.
    vec4_c GetMin() const;
    vec4_c GetMax() const;

    // Nearest hit of the ray (local space) on the six faces; a ray starting
    // inside hits the face it leaves through. ray_miss when it misses.
    float RayDistance(const ray_c& _ray) const;
    // _p when inside (bounds inclusive), else the nearest point of the surface.
    vec3_c ClosestPoint(const vec3_c& _p) const;
};

// Corner 0 then corner 7 as six floats.
void WriteBoundingBox(output_file_c& _file, const bounding_box_c& _box);
// Reads six floats and calls Set; values that a body ending early lacks keep
// the box's own.
void ReadBoundingBox(input_file_c& _file, bounding_box_c& _box);
