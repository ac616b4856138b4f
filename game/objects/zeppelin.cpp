#include "game/objects/zeppelin.h"

#include "audio/sound_system.h"
#include "engine/aggregate.h"
#include "foundation/matrix.h"
#include "game/fx_manager.h"
#include "game/game_world.h"
#include "game/objects/target_events.h"
#include "level/object_template.h"
#include "level/walk_path.h"

#include <algorithm>
#include <cstring>

namespace {

constexpr float kKmhToMetres = 0.2777778f;
constexpr float kGravity = 9.81f;
constexpr float kGroundProbeHeight = 10000.0f;
constexpr float kBombingFraction = 0.9f;
constexpr float kBombInterval = 2.0f;
constexpr float kBombSpeed = 2.0f;
constexpr float kBombDrop = 5.0f;
constexpr float kBombCone = 0.017444445f; // per degree, of 40
constexpr float kTargetCycle = 3.0f;
constexpr float kGunAgility = 0.7f;
constexpr float kDamageScale = 0.025f;
constexpr const char* kMainGroup = "MainGroup";

// The first node below _node (itself included) of that name, exactly.
null_object_c* FindDescendant(null_object_c* _node, const char* _name)
{
    if (!_node)
        return nullptr;
    if (_node->GetName() == _name)
        return _node;
    if (const auto* group = dynamic_cast<const aggregate_c*>(_node))
        for (null_object_c* child = group->GetObjects().GetFirst(); child; child = child->GetNext())
            if (null_object_c* found = FindDescendant(child, _name))
                return found;
    return nullptr;
}

// World matrices for _node's items and theirs, _node's own being set:
// aggregates do not pass a transform update on to what they hold.
void PlaceItems(null_object_c* _node)
{
    auto* group = dynamic_cast<aggregate_c*>(_node);
    if (!group)
        return;
    group->UpdateTransforms(nullptr);
    for (null_object_c* child = group->GetObjects().GetFirst(); child; child = child->GetNext())
        PlaceItems(child);
}

float FloatKey(parameter_list_c& _list, const char* _name, float _default)
{
    float value = _default;
    _list.GetSetFloat(_name, &value, true, 0.0f, 0.0f);
    return value;
}

// One angle of the extra rotation, stopping at its end once reached.
void TurnToward(float& _angle, float& _rate, float _end, float _dt)
{
    if (_rate == 0.0f)
        return;
    _angle += _rate * _dt;
    if ((_rate > 0.0f && _angle >= _end) || (_rate < 0.0f && _angle <= _end)) {
        _angle = _end;
        _rate = 0.0f;
    }
}

} // namespace

game_object_zeppelin_c::game_object_zeppelin_c()
{
    side = -1;
    destroyed = 0;
}

game_object_zeppelin_c::~game_object_zeppelin_c() = default;

void game_object_zeppelin_c::Init(object_template_c* _template, null_object_c* _node, sound_system_c* _sound,
                                  null_object_c* _terrain)
{
    tmpl = _template;
    entity = _node;
    terrain = _terrain;
    if (tmpl)
        if (template_group_c* group = tmpl->FindGroup(kMainGroup)) {
            parameter_list_c& keys = group->parameters;
            keys.GetSetInt("iff", &side, true, 0, 0);
            moveSpeed = FloatKey(keys, "move_speed", moveSpeed / kKmhToMetres) * kKmhToMetres;
            string_c kind;
            if (keys.GetSetString("on_destroy", &kind, true))
                destroyKind = std::strcmp(kind.GetData(), "drown") == 0 ? zeppelin_drown : zeppelin_drop;
            keys.GetSetVector("drown_rotation_vector", &rotationRate, true);
            keys.GetSetRotation("drown_rotation_end", &rotationEnd, true);
            fallSpeedFactor = FloatKey(keys, "drop_drown_speed", fallSpeedFactor);
        }
    ReadGuns(_sound);
}

void game_object_zeppelin_c::ReadGuns(sound_system_c* _sound)
{
    guns.clear();
    if (!tmpl)
        return;
    if (null_object_c* root = tmpl->GetNode()) {
        root->UpdateTransform(nullptr);
        PlaceItems(root);
    } else {
        for (const auto& group : tmpl->groups)
            if (group->node) {
                group->node->UpdateTransform(nullptr);
                PlaceItems(group->node);
            }
    }
    mat4x3_c toLocal;
    toLocal.SetIdentity();
    if (entity)
        toLocal = entity->GetInverseMatrix();
    for (const auto& group : tmpl->groups) {
        if (group->name.rfind("gun_", 0) != 0 || !group->node)
            continue;
        gun_c gun;
        gun.burstDelay = 0.4f;
        gun.burstLength = 1;
        gun.shootingDelay = 0.4f;
        gun.maxYawDot = 0.0f;
        gun.agility = kGunAgility;
        gun.aimDirection = vec3_c(0.0f, 0.0f, 1.0f);
        gun.restDirection = vec3_c(0.0f, 0.0f, 1.0f);
        if (null_object_c* part = FindDescendant(group->node, "dzialko")) {
            const mat4x3_c& frame = part->GetMatrix();
            vec3_c axis;
            axis.Cross(vec3_c(frame.m[0][0], frame.m[0][1], frame.m[0][2]),
                       vec3_c(frame.m[1][0], frame.m[1][1], frame.m[1][2]));
            axis = axis * toLocal.GetRotation();
            if (axis.Length() > 0.0f)
                axis.NormalizeSelf();
            gun.restDirection = axis;
            gun.muzzleOffset = frame.GetPosition() * toLocal;
        } else {
            gun.muzzleOffset = group->node->GetMatrix().GetPosition() * toLocal;
        }
        parameter_list_c& keys = group->parameters;
        gun.burstDelay = FloatKey(keys, "gun burst delay", gun.burstDelay);
        gun.burstLength = static_cast<i32>(FloatKey(keys, "gun burst length", static_cast<float>(gun.burstLength)));
        gun.shootingDelay = FloatKey(keys, "gun shooting delay", gun.shootingDelay);
        gun.maxYawDot = FloatKey(keys, "gun max yaw dot", gun.maxYawDot);
        string_c file;
        if (keys.GetSetString("gun sound file", &file, true))
            AttachShotSound(gun, _sound, file, FloatKey(keys, "gun sound distance", 20.0f), false,
                            GetMuzzleOrigin(gun));
        guns.push_back(gun);
    }
}

void game_object_zeppelin_c::SetMovePath(walk_path_c* _path)
{
    movePath = _path;
    SetPathPosition(movePath, 0.0f);
}

void game_object_zeppelin_c::SetModelState(int _state)
{
    if (tmpl) {
        tmpl->ShowModel("normal", _state == 1, _state == 1);
        tmpl->ShowModel("burned", _state == 2, _state == 2);
        tmpl->ShowModel("crashed", _state == 3, _state == 3);
    }
    modelState = _state;
}

void game_object_zeppelin_c::StartBombing()
{
    if (bombing)
        return;
    bombing = 1;
    nextBombTime = lastUpdateTime;
}

void game_object_zeppelin_c::ArmGunTimer()
{
    if (world && !guns.empty())
        world->AddTimer(this, kTargetCycle / static_cast<float>(guns.size()), 0);
}

void game_object_zeppelin_c::OnMissionStart(float _time)
{
    ArmGunTimer();
    lastUpdateTime = _time;
    if (tmpl && tmpl->GetNode())
        tmpl->GetNode()->UpdateTransform(nullptr);
    SetModelState(1);
}

void game_object_zeppelin_c::HandleEvent(const game_event_c* _event)
{
    if (!_event || _event->kind != event_timer || destroyed)
        return;
    ChooseTarget();
    ArmGunTimer();
}

float game_object_zeppelin_c::PathFraction(float _travel_time) const
{
    const float length = movePath ? movePath->pathLength : 0.0f;
    if (!(length > 0.0f))
        return 1.0f;
    return moveSpeed > 0.0f ? std::min(1.0f, _travel_time * moveSpeed / length) : 0.0f;
}

void game_object_zeppelin_c::DropBomb()
{
    vec3_c direction(0.0f, -1.0f, 0.0f);
    const float heading = random.Float(0.0f, 6.28f);
    const float pitch = random.Float(0.0f, 40.0f) * kBombCone;
    direction.RotateByEuler(euler_c(heading, pitch, 0.0f));
    if (world)
        world->SpawnBomb(this, GetPosition() + vec3_c(0.0f, -kBombDrop, 0.0f), direction, kBombSpeed);
}

void game_object_zeppelin_c::Update(float _time)
{
    const float dt = _time - lastUpdateTime;
    lastUpdateTime = _time;
    travelTime += dt;
    if (!destroyed) {
        AimAtTarget(_time, dt);
        UpdateGuns(_time);
        if (movePath) {
            const float fraction = PathFraction(travelTime);
            SetPathPosition(movePath, fraction);
            if (destroyKind == zeppelin_drop && fraction >= kBombingFraction)
                StartBombing();
            // The shots are heard where the guns are now.
            for (const gun_c& gun : guns)
                if (gun.shotSound) {
                    const vec3_c at = GetMuzzleOrigin(gun);
                    gun.shotSound->SetPosition(&at);
                }
        }
        if (bombing && nextBombTime <= _time) {
            while (nextBombTime <= _time)
                nextBombTime += kBombInterval;
            DropBomb();
        }
        return;
    }
    if (!crashed)
        Fall(dt);
}

float game_object_zeppelin_c::GroundHeight(const vec3_c& _point) const
{
    // From high above, so a point already below the surface still finds it.
    const vec3_c from(_point.x, std::max(_point.y, kGroundProbeHeight), _point.z);
    float distance = ray_miss;
    vec3_c normal;
    if (terrain && terrain->RayTest(distance, normal, ray_c(from, vec3_c(0.0f, -1.0f, 0.0f)), true, true, ray_miss))
        return from.y - distance;
    // The plane at height 0 stands in for a missing terrain.
    return 0.0f;
}

void game_object_zeppelin_c::Fall(float _dt)
{
    const vec3_c position = GetPosition();
    const vec3_c candidate = position + fallVelocity * _dt;
    if (candidate.y > GroundHeight(candidate)) {
        SetPosition(candidate);
        TurnToward(extraRotation.x, rotationRate.x, rotationEnd.x, _dt);
        TurnToward(extraRotation.y, rotationRate.y, rotationEnd.y, _dt);
        TurnToward(extraRotation.z, rotationRate.z, rotationEnd.z, _dt);
        SetRotation(fallRotation + extraRotation);
        fallVelocity += vec3_c(0.0f, -kGravity * fallSpeedFactor * _dt, 0.0f);
        return;
    }
    const vec3_c rest(position.x, GroundHeight(position), position.z);
    SetPosition(rest);
    crashed = 1;
    if (world)
        if (fx_manager_c* effects = world->GetContext().effects)
            effects->ExpireEffectsOf(entity);
    SpawnTargetEffect(*this, tmpl, "fx_onCR", rest, vec3_c(0.0f, 1.0f, 0.0f));
    SetModelState(3);
}

void game_object_zeppelin_c::TakeDamage(const vec3_c& _point, const vec3_c& _direction, float _amount,
                                        game_object_c* _attacker, int _kind)
{
    if (const char* hit = GetEventEffectName(_kind))
        SpawnTargetEffect(*this, tmpl, hit, _point, _direction);
    if (destroyed)
        return;
    const float factor = SteadyAim() || side == 1 ? 1.0f : 2.0f;
    damage += factor * _amount * kDamageScale;
    if (damage < 1.0f)
        return;
    damage = 1.0f;
    destroyed = 1;
    fallRotation = GetRotation();
    const vec3_c at = entity ? entity->GetMatrix().GetPosition() : GetPosition();
    SpawnTargetEffect(*this, tmpl, "fx_onEX", at, vec3_c(0.0f, 1.0f, 0.0f));
    SetModelState(2);
    const bool ship = destroyKind == zeppelin_drown;
    if (world) {
        const bool byPlayer = _attacker && _attacker->GetType() == object_plane_user;
        ++(ship ? world->counters.ships : world->counters.zeppelins);
        if (byPlayer)
            ++(ship ? world->counters.shipsByPlayer : world->counters.zeppelinsByPlayer);
    }
    CallDestroyedScripts(*this, tmpl, ship ? "ships_on_destroyed" : "zeppelins_on_destroyed");
}

void game_object_zeppelin_c::OnProjectileImpact(const vec3_c& _point, const vec3_c& _normal, const projectile_c*)
{
    SpawnTargetEffect(*this, tmpl, "fx_onBE", _point, _normal);
}
