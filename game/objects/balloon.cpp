#include "game/objects/balloon.h"

#include "engine/null_object.h"
#include "game/fx_manager.h"
#include "game/game_world.h"
#include "game/objects/noise.h"
#include "game/objects/target_events.h"
#include "level/object_template.h"

namespace {

constexpr float kNoiseScale = 0.009f;
constexpr float kFloatRange = 40.0f;
constexpr float kFallSpeed = 10.0f;

} // namespace

void game_object_balloon_c::Init(float _ground_height, object_template_c* _template, null_object_c* _node)
{
    tmpl = _template;
    entity = _node;
    if (tmpl)
        if (template_group_c* group = tmpl->FindGroup("MainGroup"))
            group->parameters.GetSetInt("iff", &side, true, 0, 0);
    ShowModels(true, false, false);
    fallen = 0;
    groundHeight = _ground_height;
    heightOffset = GetPosition().y - groundHeight;
}

bool game_object_balloon_c::IntersectRay(float& _distance, vec3_c& _normal, const ray_c& _ray, bool _include_non_opaque,
                                         bool _precise, float _maximum)
{
    return CollisionRayTest(tmpl, entity, _distance, _normal, _ray, _include_non_opaque, _precise, _maximum);
}

void game_object_balloon_c::ShowModels(bool _normal, bool _burned, bool _destroyed)
{
    if (!tmpl)
        return;
    tmpl->ShowModel("normal", _normal, _normal);
    tmpl->ShowModel("burned", _burned, false);
    tmpl->ShowModel("destroyed", _destroyed, false);
}

void game_object_balloon_c::Update(float _time)
{
    if (destroyed && fallen)
        return;
    const float dt = _time - lastUpdateTime;
    lastUpdateTime = _time;
    vec3_c p = GetPosition();
    const f32 q[3] = {p.x * kNoiseScale, p.z * kNoiseScale, _time * 0.06f};
    if (!destroyed) {
        p.y = FractalNoise3(q, 2) * kFloatRange + groundHeight + heightOffset;
        if (p.y < groundHeight) {
            damage = 1.0f;
            Destroy(nullptr);
        }
    }
    if (!destroyed && damage > 0.2f)
        heightOffset -= dt * damage;
    if (destroyed) {
        if (p.y <= groundHeight + 1.0f) {
            ShowModels(false, false, true);
            if (fx_manager_c* effects = world ? world->GetContext().effects : nullptr)
                effects->ExpireEffectsOf(entity);
            SpawnTargetEffect(*this, tmpl, "fx_onCR", p, vec3_c(0.0f, 1.0f, 0.0f));
            fallen = 1;
        } else {
            p.y -= dt * kFallSpeed;
        }
    }
    SetPosition(p);
    const f32 turn[3] = {p.x * kNoiseScale, p.z * kNoiseScale, _time * 0.206f};
    SetRotation(vec3_c(0.1f * Noise3(turn), 0.0f, 0.0f));
}

void game_object_balloon_c::TakeDamage(const vec3_c&, const vec3_c&, float _amount, game_object_c* _attacker, int)
{
    if (destroyed)
        return;
    damage += _amount * 0.15f;
    if (damage >= 1.0f)
        Destroy(_attacker);
}

void game_object_balloon_c::Destroy(game_object_c* _attacker)
{
    damage = 1.0f;
    destroyed = 1;
    ShowModels(false, true, false);
    CallDestroyedScripts(*this, tmpl, "balloons_on_destroyed");
    SpawnTargetEffect(*this, tmpl, "fx_onEX", GetPosition(), vec3_c(0.0f, 1.0f, 0.0f));
    if (world) {
        ++world->counters.balloons;
        if (_attacker && _attacker->GetType() == object_plane_user)
            ++world->counters.balloonsByPlayer;
    }
}

void game_object_balloon_c::OnMissionStart(float)
{
    if (tmpl && tmpl->GetNode())
        tmpl->GetNode()->UpdateTransform(nullptr);
}
