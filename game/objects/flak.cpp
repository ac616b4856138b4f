#include "game/objects/flak.h"

#include "engine/null_object.h"
#include "game/game_world.h"
#include "game/objects/target_events.h"
#include "level/object_template.h"

namespace {

constexpr const char* kMainGroup = "MainGroup";

} // namespace

void game_object_flak_c::Init(object_template_c* _template, null_object_c* _node, sound_system_c* _sound)
{
    tmpl = _template;
    entity = _node;
    side = 0;
    gun_c gun;
    gun.muzzleOffset = vec3_c(0.0f, 2.0f, 4.0f);
    gun.aimDirection.Normalize(vec3_c(0.0f, 1.0f, 1.0f));
    gun.restDirection = gun.aimDirection;
    gun.maxYawDot = 0.8f;
    gun.shootingDelay = 2.0f;
    gun.burstLength = 1;
    gun.burstDelay = 2.0f;
    gun.agility = 0.1f;
    gun.shellGun = 1;
    guns.assign(1, gun);
    if (!tmpl)
        return;
    if (template_group_c* group = tmpl->FindGroup(kMainGroup)) {
        group->parameters.GetSetInt("iff", &side, true, 0, 0);
        AttachShotSound(guns[0], _sound, group->parameters, "fx_onAT", game_object_c::GetPosition());
    }
    tmpl->ShowModel("normal", true, true);
    tmpl->ShowModel("destroyed", false, false);
}

bool game_object_flak_c::IntersectRay(float& _distance, vec3_c& _normal, const ray_c& _ray, bool _include_non_opaque,
                                      bool _precise, float _maximum)
{
    return CollisionRayTest(tmpl, entity, _distance, _normal, _ray, _include_non_opaque, _precise, _maximum);
}

void game_object_flak_c::Update(float _time)
{
    StepGuns(_time);
}

void game_object_flak_c::TakeDamage(const vec3_c& _point, const vec3_c& _direction, float _amount,
                                    game_object_c* _attacker, int)
{
    // Counting and the script calls happen once, not for every later hit.
    if (destroyed)
        return;
    damage += _amount * 0.1f * (SteadyAim() ? 1.0f : 5.0f);
    if (damage < 1.0f)
        return;
    damage = 1.0f;
    destroyed = 1;
    SpawnTargetEffect(*this, tmpl, "fx_onEX", _point, _direction);
    if (tmpl) {
        tmpl->ShowModel("destroyed", true, true);
        tmpl->ShowModel("normal", false, false);
    }
    if (world) {
        ++world->counters.flaks;
        if (_attacker && _attacker->GetType() == object_plane_user)
            ++world->counters.flaksByPlayer;
    }
    CallDestroyedScripts(*this, tmpl, "flaks_on_destroyed");
}

void game_object_flak_c::HandleEvent(const game_event_c* _event)
{
    ChooseOnTimer(_event, 1.0f, 1.0f);
}

void game_object_flak_c::OnMissionStart(float _time)
{
    StartGuns(_time, 0.0f, 2.0f);
}

void game_object_flak_c::OnProjectileImpact(const vec3_c& _point, const vec3_c& _normal, const projectile_c*)
{
    SpawnTargetEffect(*this, tmpl, "fx_onBE", _point, _normal);
}

void game_object_flak_c::OnShot(int _gun)
{
    const vec3_c position = entity ? entity->GetMatrix().GetPosition() : GetPosition();
    SpawnTargetEffect(*this, tmpl, "fx_onAT", position, guns[static_cast<size_t>(_gun)].aimDirection);
}
