#include "game/objects/game_object.h"

#include "engine/null_object.h"
#include "level/parameter_list.h"
#include "level/walk_path.h"

#include <cmath>
#include <cstring>

namespace {

// Where a path is followed ahead of the object to find its direction.
constexpr float path_look_ahead = 0.01f;

} // namespace

game_object_c::game_object_c() = default;
game_object_c::~game_object_c() = default;

void game_object_c::SetPathPosition(walk_path_c* _path, float _distance)
{
    if (_path == nullptr || entity == nullptr)
        return;
    const vec3_c here = _path->GetPositionAt(_distance);
    vec3_c ahead = _path->GetPositionAt(_distance + path_look_ahead) - here;
    ahead.y = 0.0f;
    ahead.NormalizeSelf();
    entity->position = here;
    // A zero direction (a vertical stretch) keeps heading 0.
    const float heading = ahead.x == 0.0f && ahead.z == 0.0f ? 0.0f : euler_c(ahead).heading;
    entity->rotation = vec3_c(heading, 0.0f, 0.0f);
}

vec3_c game_object_c::GetPosition() const
{
    return entity ? entity->position : vec3_c();
}

vec3_c game_object_c::GetRotation() const
{
    return entity ? entity->rotation : vec3_c();
}

void game_object_c::SetPosition(const vec3_c& _position)
{
    if (entity)
        entity->position = _position;
}

void game_object_c::SetRotation(const vec3_c& _rotation)
{
    if (entity)
        entity->rotation = _rotation;
}

aabb_c game_object_c::GetBounds() const
{
    aabb_c box{vec3_c(), vec3_c()};
    if (entity)
        entity->GetBoundingBox(box);
    return box;
}

bool game_object_c::IntersectRay(float& _distance, vec3_c& _normal, const ray_c& _ray, bool _include_non_opaque,
                                 bool _precise, float _maximum)
{
    return entity != nullptr && entity->RayTest(_distance, _normal, _ray, _include_non_opaque, _precise, _maximum);
}

bool game_object_c::IntersectRayExact(float& _distance, vec3_c& _normal, const ray_c& _ray, bool _include_non_opaque,
                                      bool _precise, float _maximum)
{
    return IntersectRay(_distance, _normal, _ray, _include_non_opaque, _precise, _maximum);
}

void game_object_c::SetVisible(bool _visible)
{
    if (entity)
        entity->SetFlag(object_ray_testable, _visible);
}

void game_object_c::TakeDamage(const vec3_c&, const vec3_c&, float, game_object_c*, int) {}
void game_object_c::OnNearMiss(const vec3_c&, game_object_c*) {}
void game_object_c::HandleEvent(const game_event_c*) {}

vec3_c game_object_c::GetVelocity() const
{
    return velocity;
}

void game_object_c::OnProjectileImpact(const vec3_c&, const vec3_c&, const projectile_c*) {}
void game_object_c::OnObjectRemoved(game_object_c*) {}

void game_object_c::ReadActivationPoints(const parameter_list_c& _parameters)
{
    for (u32 i = 0; i < _parameters.Count(); ++i) {
        const parameter_c* parameter = _parameters.Get(i);
        if (parameter->name != "act_ctrl_point")
            continue;
        // The 32-bit value as stored: an int as it is, a float's bits.
        i32 value = 0;
        if (const auto* number = dynamic_cast<const parameter_int_c*>(parameter))
            value = number->value;
        else if (const auto* real = dynamic_cast<const parameter_float_c*>(parameter))
            std::memcpy(&value, &real->value, sizeof value);
        else
            continue;
        activationPoints.push_back(value);
    }
}
