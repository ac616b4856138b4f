#include "game/objects/vehicle.h"

#include "engine/camera.h"
#include "engine/scene.h"
#include "game/fx_manager.h"
#include "game/game_world.h"
#include "game/objects/target_events.h"
#include "level/level_scene.h"
#include "level/object_template.h"
#include "level/walk_path.h"

#include <algorithm>
#include <cstring>

namespace {

constexpr float kKmhToMetres = 0.2777778f;
constexpr float kConvoyGap = 30.0f;
constexpr float kGroundProbe = 1000.0f;
constexpr float kNoRange = 3.4028235e38f;
const vec3_c kUp(0.0f, 1.0f, 0.0f);

// The largest level-of-detail distance of the layers of the template's
// game-object groups (the bits of "loDi" as a float; -1 means none).
float ActivityRange(const object_template_c* _template)
{
    float range = -1.0f;
    if (!_template)
        return kNoRange;
    for (const auto& group : _template->groups) {
        if (!group->hasGameObject)
            continue;
        for (const template_layer_c* layer : group->layers) {
            float distance = 0.0f;
            std::memcpy(&distance, &layer->loDi, sizeof distance);
            if (distance != -1.0f && distance > range)
                range = distance;
        }
    }
    return range > 0.0f ? range : kNoRange;
}

bool ProbeDown(null_object_c* _target, const vec3_c& _from, float& _distance)
{
    vec3_c normal;
    _distance = ray_miss;
    return _target &&
           _target->RayTest(_distance, normal, ray_c(_from, vec3_c(0.0f, -1.0f, 0.0f)), true, true, kGroundProbe);
}

} // namespace

void game_object_car_c::Init(object_template_c* _template, null_object_c* _node, null_object_c* _ground,
                             scene_c* _scene, const parameter_list_c& _parameters)
{
    tmpl = _template;
    entity = _node;
    ground = _ground;
    scene = _scene;
    startEffectPending = 1;
    if (const parameter_c* order = _parameters.Find("in_convoy_order"))
        if (const auto* number = dynamic_cast<const parameter_int_c*>(order))
            convoyOrder = number->value;
    if (tmpl && !tmpl->groups.empty()) {
        parameter_list_c& first = tmpl->groups.front()->parameters;
        float kmh = speed / kKmhToMetres;
        if (first.GetSetFloat("move_speed", &kmh, true, 0.0f, 0.0f))
            speed = kmh * kKmhToMetres;
        bool proof = false;
        if (first.GetSetBool("bullets_invulnerability", &proof, true))
            bulletProof = proof ? 1 : 0;
    }
    activityRange = ActivityRange(tmpl);
}

void game_object_car_c::SetMovePath(walk_path_c* _path)
{
    movePath = _path;
    SetPathPosition(movePath, 0.0f);
}

void game_object_car_c::SetModelState(int _state)
{
    if (tmpl) {
        tmpl->ShowModel("normal", _state == 1, true);
        tmpl->ShowModel("destroyed", _state == 2, true);
    }
    modelState = _state;
}

float game_object_car_c::PathFraction(float _driving_time) const
{
    const float length = movePath ? movePath->pathLength : 0.0f;
    // A path without length is one point: the vehicle stands at its end.
    if (!(length > 0.0f))
        return 1.0f;
    float f = speed > 0.0f ? std::min(1.0f, _driving_time * speed / length) : 0.0f;
    if (convoyOrder > 0)
        f -= static_cast<float>(convoyOrder) * kConvoyGap / length;
    return f;
}

bool game_object_car_c::WaitsForConvoy() const
{
    if (!world)
        return false;
    for (u32 i = 0; i < world->GetObjectCount(); ++i) {
        const auto* other = dynamic_cast<const game_object_car_c*>(world->GetObject(i));
        if (other && other != this && other->movePath == movePath && other->convoyOrder < convoyOrder &&
            (other->destroyed || other->stopped))
            return true;
    }
    return false;
}

bool game_object_car_c::NearCamera() const
{
    if (alwaysActive || activityRange >= kNoRange)
        return true;
    const camera_c* camera = scene ? scene->GetActiveCamera() : nullptr;
    if (!camera)
        return true;
    const vec3_c to = camera->position - GetPosition();
    return to.Length() <= activityRange;
}

bool game_object_car_c::FindGroundHeight(const vec3_c& _position, float& _height) const
{
    bool found = false;
    float distance = 0.0f;
    if (ProbeDown(ground, _position, distance)) {
        _height = _position.y - distance;
        found = true;
    }
    if (groundMode < vehicle_ground_objects || !world)
        return found;
    for (level_scene_c* level : world->GetContext().levelScenes) {
        for (const auto& placed : level->placedObjects) {
            null_object_c* node = placed->node;
            if (!node || node == entity || !ProbeDown(node, _position, distance))
                continue;
            const float height = _position.y - distance;
            if (!found || height > _height) {
                _height = height;
                found = true;
                break;
            }
        }
    }
    return found;
}

void game_object_car_c::FollowGround()
{
    if (groundMode <= vehicle_ground_none)
        return;
    vec3_c position = GetPosition();
    float height = 0.0f;
    if (FindGroundHeight(position, height)) {
        position.y = height;
        SetPosition(position);
    }
}

void game_object_car_c::Update(float _time)
{
    drivingTime += _time - lastUpdateTime;
    lastUpdateTime = _time;
    if (destroyed || stopped)
        return;
    if (startEffectPending && !noInitEffects) {
        startEffectPending = 0;
        SpawnTargetEffect(*this, tmpl, "fx_onIN", GetPosition(), kUp);
    }
    if (!entity || !movePath || !NearCamera())
        return;
    if (WaitsForConvoy())
        return;
    SetPathPosition(movePath, PathFraction(drivingTime));
    FollowGround();
}

void game_object_car_c::TakeDamage(const vec3_c& _point, const vec3_c& _direction, float _amount,
                                   game_object_c* _attacker, int _kind)
{
    if (const char* hit = GetEventEffectName(_kind))
        SpawnTargetEffect(*this, tmpl, hit, _point, _direction);
    if (destroyed || (bulletProof && _kind == 0))
        return;
    damage += _amount * 0.2f;
    if (damage < 1.0f)
        return;
    damage = 1.0f;
    destroyed = 1;
    SetModelState(2);
    if (world) {
        ++world->counters.vehicles;
        if (_attacker && _attacker->GetType() == object_plane_user)
            ++world->counters.vehiclesByPlayer;
        if (fx_manager_c* effects = world->GetContext().effects)
            effects->ExpireEffectsOf(entity);
    }
    SpawnTargetEffect(*this, tmpl, "fx_onEX", GetPosition(), kUp);
    CallDestroyedScripts(*this, tmpl, "vehicles_on_destroyed");
}

void game_object_car_c::OnMissionStart(float _time)
{
    lastUpdateTime = _time;
    if (tmpl) {
        tmpl->ShowModel("normal", true, true);
        tmpl->ShowModel("destroyed", false, true);
    }
    modelState = 1;
}
