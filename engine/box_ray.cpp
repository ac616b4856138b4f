#include "engine/box_ray.h"

#include "engine/bounding_box.h"
#include "engine/world_transform.h"

bool box_ray_c::Start(const world_transform_c& _transform, const bounding_box_c& _box, const ray_c& _ray, f32 _reach)
{
    world = _ray;
    segmentLength = _ray.direction.Length();
    if (!(segmentLength > 0.0f))
        return false;
    local.origin = _ray.origin * _transform.inverse;
    if ((local.origin - _box.GetCentre()).Length() - _box.GetRadius() > _reach)
        return false;
    local.direction = _ray.direction * _transform.inverse.GetRotation();
    local.direction.NormalizeSelf();
    boxDistance = _box.RayDistance(local);
    return boxDistance < ray_miss;
}

f32 box_ray_c::Fraction(const world_transform_c& _transform, f32 _local_distance) const
{
    const vec3_c hit = (local.origin + local.direction * _local_distance) * _transform.world;
    return (hit - world.origin).Length() / segmentLength;
}

bool box_ray_c::WithinReach(f32 _fraction, f32 _reach) const
{
    return _fraction * segmentLength < _reach;
}

vec3_c box_ray_c::UpAxis(const world_transform_c& _transform)
{
    vec3_c up(_transform.world.m[1][0], _transform.world.m[1][1], _transform.world.m[1][2]);
    up.NormalizeSelf();
    return up;
}

vec3_c box_ray_c::WorldNormal(const world_transform_c& _transform, const vec3_c& _normal)
{
    vec3_c normal = _normal * _transform.world.GetRotation();
    normal.NormalizeSelf();
    return normal;
}
