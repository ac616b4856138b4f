#pragma once
// The part of a ray test that terrain, water and forest share: the world
// ray taken into the object's space, the reach test on the bounding sphere,
// the box hit, and the way back to a fraction of the world segment.
#include "engine/ray.h"
#include "foundation/types.h"

class bounding_box_c;
class world_transform_c;

class box_ray_c {
public:
    ray_c world; // as given: origin and segment
    ray_c local; // origin in object space, direction normalised
    f32 boxDistance = ray_miss;
    f32 segmentLength = 0.0f;

    // False when the segment has no length, the bounding sphere lies beyond
    // _reach (in object space) or the ray misses the box.
    bool Start(const world_transform_c& _transform, const bounding_box_c& _box, const ray_c& _ray, f32 _reach);
    // The point at a local distance along the ray as a fraction of the world
    // segment.
    f32 Fraction(const world_transform_c& _transform, f32 _local_distance) const;
    // True when a fraction of the segment lies within _reach of the origin in
    // world units, the units the reach is given in.
    bool WithinReach(f32 _fraction, f32 _reach) const;

    // The object's up axis in world space, normalised.
    static vec3_c UpAxis(const world_transform_c& _transform);
    // A local normal in world space, normalised.
    static vec3_c WorldNormal(const world_transform_c& _transform, const vec3_c& _normal);
};
