#include "game/objects/gun_shooter.h"

#include "audio/sound_system.h"
#include "engine/null_object.h"
#include "engine/scene.h"
#include "foundation/matrix.h"
#include "game/game_world.h"
#include "game/objects/noise.h"
#include "game/vector_helpers.h"
#include "level/object_template.h"
#include "level/parameter_list.h"

#include <cmath>
#include <string>

namespace {

constexpr float kLeadBaseSpeed = 300.0f;
constexpr float kLeadSpeedStep = 40.0f;
constexpr float kFuseScale = 0.001667f;

} // namespace

gun_shooter_c::gun_shooter_c() = default;
gun_shooter_c::~gun_shooter_c() = default;

vec3_c gun_shooter_c::GetMuzzleOrigin(const gun_c& _gun) const
{
    if (entity)
        return _gun.muzzleOffset * entity->GetMatrix();
    return Turned(_gun.muzzleOffset, GetRotation()) + GetPosition();
}

vec3_c gun_shooter_c::GetGunAxis(const gun_c& _gun) const
{
    vec3_c axis = entity ? _gun.restDirection * entity->GetOrientation() : Turned(_gun.restDirection, GetRotation());
    return Unit(axis);
}

bool gun_shooter_c::CanSee(const vec3_c& _origin, game_object_c* _plane) const
{
    scene_c* scene = world->GetContext().scene;
    if (!scene)
        return true;
    // The segment ends at the plane: a hit past 1.0 lies behind it.
    _plane->SetVisible(false);
    float distance = ray_miss;
    vec3_c normal;
    null_object_c* hit = scene->RayTestObjects(distance, normal, ray_c(_origin, _plane->GetPosition() - _origin), false,
                                               false, ray_miss);
    _plane->SetVisible(true);
    return !hit || distance > 1.0f;
}

void gun_shooter_c::ChooseTarget()
{
    if (guns.empty())
        return;
    nextGun = (nextGun + 1) % static_cast<u32>(guns.size());
    gun_c& gun = guns[nextGun];
    gun.target = nullptr;
    if (!world)
        return;
    const vec3_c origin = GetMuzzleOrigin(gun);
    const vec3_c axis = GetGunAxis(gun);
    for (game_object_c* plane : world->GetPlanes()) {
        if (plane->side != -side || plane->destroyed)
            continue;
        const vec3_c to = plane->GetPosition() - origin;
        if (Dot(to, to) >= gun_range_squared)
            continue;
        if (Dot(axis, Unit(to)) < gun.maxYawDot)
            continue;
        if (CanSee(origin, plane)) {
            gun.target = plane;
            return;
        }
    }
}

void gun_shooter_c::UpdateGuns(float _time)
{
    for (size_t i = 0; i < guns.size(); ++i) {
        gun_c& gun = guns[i];
        if (!gun.target)
            continue;
        if (!(_time - gun.lastShotTime > gun.shootingDelay))
            continue;
        if (gun.shotsInBurst < gun.burstLength) {
            ++gun.shotsInBurst;
            gun.lastShotTime = _time;
            const vec3_c origin = Turned(gun.muzzleOffset, GetRotation()) + GetPosition();
            if (world) {
                if (gun.shellGun)
                    world->SpawnShell(this, origin, gun.aimDirection, gun_muzzle_speed,
                                      random.Float(30.0f, 300.0f) * kFuseScale);
                else
                    world->SpawnBullet(this, origin, gun.aimDirection, gun_muzzle_speed);
            }
            OnShot(static_cast<int>(i));
            if (gun.shotSound && !gun.shotSound->IsPlaying())
                gun.shotSound->Play();
        } else {
            if (gun.shotSound && gun.shotSound->IsPlaying())
                gun.shotSound->Stop();
            if (_time - gun.lastShotTime > gun.burstDelay)
                gun.shotsInBurst = 0;
        }
    }
}

void gun_shooter_c::AimAtTarget(float _time, float _dt)
{
    const float wobble = SteadyAim() ? 1.0f : 5.0f;
    for (gun_c& gun : guns) {
        if (!gun.target || gun.agility == 0.0f)
            continue;
        const vec3_c origin = GetMuzzleOrigin(gun);
        vec3_c point = gun.target->GetPosition();
        const int type = gun.target->GetType();
        if (type == object_plane_ai || type == object_plane_user) {
            const u32 k = (random.Int(1, 1000) >> 2) % 10;
            const float flight = (point - origin).Length() / (kLeadBaseSpeed + kLeadSpeedStep * static_cast<float>(k));
            point += gun.target->GetVelocity() * flight;
        }
        const vec3_c w = Unit(point - origin);
        const vec3_c a = gun.aimDirection;
        vec3_c axis(0.5f, 0.0f, 0.0f);
        if (Dot(w, a) <= 0.999f)
            axis.Cross(w, a);
        // A zero or opposite aim leaves no axis: step as for a settled aim
        // instead of dividing by zero.
        float s = axis.Length();
        if (!(s > kMathEpsilon))
            s = 0.5f;
        const float r1 = static_cast<float>(random.Int(1, 1000));
        const float r2 = static_cast<float>(random.Int(1, 1000) >> 4);
        euler_c e(w);
        e.heading += Noise1(_time * 2.4f + r1 * 0.05f) * wobble * 0.3f;
        e.pitch += Noise1(_time * 2.36f + r2 * 0.05f + 52.215f) * wobble * 0.3f;
        e.bank = 0.0f;
        const float b = 1.0f - std::exp2(-gun.agility * _dt);
        gun.aimDirection = Unit(a + vec3_c(e) * (b / s));
    }
}

void gun_shooter_c::OnShot(int) {}

void gun_shooter_c::AttachShotSound(gun_c& _gun, sound_system_c* _sound, const string_c& _file, float _distance,
                                    bool _looped, const vec3_c& _at)
{
    if (_sound == nullptr || _file.IsEmpty())
        return;
    std::unique_ptr<sound_source_c> sound(_sound->CreatePcmSource(_file.GetData(), sound_flag_3d));
    sound->SetMinDistance(_distance);
    sound->SetLooping(_looped);
    sound->SetPosition(&_at);
    sound->Stop();
    _gun.shotSound = sound.get();
    shotSounds.push_back(std::move(sound));
}

void gun_shooter_c::AttachShotSound(gun_c& _gun, sound_system_c* _sound, parameter_list_c& _keys, const char* _event,
                                    const vec3_c& _at)
{
    if (_sound == nullptr || _keys.Find(_event) == nullptr)
        return;
    const std::string prefix(_event);
    string_c file;
    float distance = 10.0f;
    bool looped = false;
    if (!_keys.GetSetString((prefix + "_file").c_str(), &file, true))
        return;
    _keys.GetSetFloat((prefix + "_distance").c_str(), &distance, true, 0.0f, 0.0f);
    _keys.GetSetBool((prefix + "_looped").c_str(), &looped, true);
    AttachShotSound(_gun, _sound, file, distance, looped, _at);
}

bool gun_shooter_c::SteadyAim() const
{
    return world && world->GetContext().creationFlag;
}

void gun_shooter_c::ArmTargetTimer(float _base, float _scale)
{
    if (world)
        world->AddTimer(this, (static_cast<float>(random.Next()) + _base) * _scale, 0);
}

void gun_shooter_c::ChooseOnTimer(const game_event_c* _event, float _base, float _scale)
{
    if (!_event || _event->kind != event_timer)
        return;
    ChooseTarget();
    if (!destroyed)
        ArmTargetTimer(_base, _scale);
}

void gun_shooter_c::OnObjectRemoved(game_object_c* _removed)
{
    for (gun_c& gun : guns)
        if (gun.target == _removed)
            gun.target = nullptr;
}

bool gun_shooter_c::StepGuns(float _time)
{
    const float dt = _time - lastUpdateTime;
    lastUpdateTime = _time;
    if (destroyed)
        return false;
    AimAtTarget(_time, dt);
    UpdateGuns(_time);
    return true;
}

void gun_shooter_c::StartGuns(float _time, float _base, float _scale)
{
    ArmTargetTimer(_base, _scale);
    lastUpdateTime = _time;
    if (tmpl && tmpl->GetNode())
        tmpl->GetNode()->UpdateTransform(nullptr);
}
