#include "game/objects/aagun.h"

#include "engine/null_object.h"
#include "game/game_world.h"
#include "game/objects/target_events.h"
#include "level/object_template.h"

namespace {

constexpr float kPi = 3.1415927f;

null_object_c* GroupNode(const object_template_c* _template, const char* _name)
{
    const template_group_c* group = _template ? _template->FindGroup(_name) : nullptr;
    return group ? group->node : nullptr;
}

} // namespace

void game_object_aagun_c::Init(object_template_c* _template, null_object_c* _node, sound_system_c* _sound)
{
    tmpl = _template;
    entity = _node;
    side = 0;
    manNode = GroupNode(tmpl, "man");
    if (tmpl) {
        if (template_group_c* group = tmpl->FindGroup("MainGroup"))
            group->parameters.GetSetInt("iff", &side, true, 0, 0);
        tmpl->ShowModel("normal", true, true);
        tmpl->ShowModel("destroyed", false, false);
    }
    gun_c gun;
    if (null_object_c* barrel = GroupNode(tmpl, "gun")) {
        gun.muzzleOffset = barrel->position;
        gun.aimDirection = vec3_c(euler_c(barrel->rotation.x, barrel->rotation.y, barrel->rotation.z));
    } else {
        gun.aimDirection = vec3_c(0.0f, 0.0f, 1.0f);
    }
    gun.restDirection = gun.aimDirection;
    gun.maxYawDot = -1.0f;
    gun.shootingDelay = random.Float(0.3f, 1.0f);
    gun.burstLength = static_cast<i32>(random.Int(3, 6));
    gun.burstDelay = random.Float(3.0f, 6.0f);
    gun.agility = 1.2f;
    guns.assign(1, gun);
    if (template_group_c* group = tmpl ? tmpl->FindGroup("MainGroup") : nullptr)
        AttachShotSound(guns[0], _sound, group->parameters, "fx_onSH", game_object_c::GetPosition());
}

bool game_object_aagun_c::IntersectRay(float& _distance, vec3_c& _normal, const ray_c& _ray, bool _include_non_opaque,
                                       bool _precise, float _maximum)
{
    return CollisionRayTest(tmpl, entity, _distance, _normal, _ray, _include_non_opaque, _precise, _maximum);
}

void game_object_aagun_c::SetGunParameters(float _agility, float _burst_delay, int _burst_length, float _shooting_delay,
                                           float _max_yaw_dot)
{
    if (guns.empty())
        return;
    gun_c& gun = guns[0];
    gun.agility = _agility;
    gun.burstDelay = _burst_delay;
    gun.burstLength = _burst_length;
    gun.shootingDelay = _shooting_delay;
    gun.maxYawDot = _max_yaw_dot;
}

void game_object_aagun_c::Update(float _time)
{
    if (!StepGuns(_time))
        return;
    if (!guns.empty()) {
        const euler_c facing(guns[0].aimDirection);
        SetRotation(vec3_c(facing.heading, facing.pitch, 0.0f));
    }
}

void game_object_aagun_c::SetRotation(const vec3_c& _rotation)
{
    if (manNode)
        manNode->rotation = vec3_c(_rotation.x + kPi, -_rotation.y, 0.0f);
}

void game_object_aagun_c::TakeDamage(const vec3_c&, const vec3_c&, float _amount, game_object_c*, int)
{
    // The script hears of the destruction once, not for every later hit.
    if (destroyed)
        return;
    damage += _amount;
    if (damage < 1.0f)
        return;
    damage = 1.0f;
    destroyed = 1;
    SpawnTargetEffect(*this, tmpl, "fx_onEX", game_object_c::GetPosition(), vec3_c(0.0f, 1.0f, 0.0f));
    if (tmpl) {
        tmpl->ShowModel("normal", false, false);
        tmpl->ShowModel("destroyed", true, false);
    }
    CallDestroyedScripts(*this, tmpl, "aaguns_on_destroyed");
}

void game_object_aagun_c::HandleEvent(const game_event_c* _event)
{
    ChooseOnTimer(_event, 1.0f, 2.0f);
}

void game_object_aagun_c::OnMissionStart(float _time)
{
    StartGuns(_time, 1.0f, 5.0f);
}
