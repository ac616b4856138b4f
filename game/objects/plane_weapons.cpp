#include "audio/sound_system.h"
#include "engine/aggregate.h"
#include "engine/light.h"
#include "game/fx_manager.h"
#include "game/game_messages.h"
#include "game/game_world.h"
#include "game/objects/plane.h"
#include "level/object_template.h"

namespace {

constexpr const char* rocket_file = "data\\game\\common_objects\\raca\\raca.op";
constexpr float gun_interval = 0.1f;
constexpr float rocket_interval = 2.0f;
constexpr float bullet_speed = 700.0f;
constexpr float rocket_speed = 100.0f;
constexpr float bomb_push = 3.0f;
// Rockets on one side hang this much below each other.
constexpr float rocket_stack = 0.2f;
const vec3_c up(0.0f, 1.0f, 0.0f);

} // namespace

void game_object_plane_c::SetWeapons(int _rockets, int _bombs, renderer_c* _renderer, aggregate_c* _scene)
{
    rocketCount = _rockets < 0 ? 0 : _rockets > rocket_slots ? rocket_slots : _rockets;
    bombCount = _bombs;
    nextRocket = 0;
    int placed[2] = {0, 0};
    for (int i = 0; i < rocketCount; ++i) {
        const int right = i % 2;
        rocket_slot_c& slot = rockets[i];
        slot.mount = right ? rocketRight : rocketLeft;
        slot.mount.y -= rocket_stack * static_cast<float>(placed[right]++);
        slot.fired = 0;
        if (slot.model) {
            if (null_object_c* node = slot.model->GetNode())
                node->SetVisibility(true, false);
            continue;
        }
        if (_renderer == nullptr || _scene == nullptr)
            continue;
        slot.model = std::make_unique<object_template_c>();
        null_object_c* node = slot.model->Load(rocket_file, _renderer);
        if (node == nullptr)
            continue;
        _scene->AddObject(node);
        node->position = slot.mount;
        if (entity)
            _scene->SetParent(node, entity);
    }
}

bool game_object_plane_c::FireGuns(float _time)
{
    gunsFiring = 1;
    if (fireLight)
        fireLight->intensity = random.Float(0.2f, 0.5f);
    if (!(_time - lastGunShot > gun_interval))
        return false;
    lastGunShot = _time;
    gunSide ^= 1;
    const bool inside = insideGuns && modelView == plane_view_inside;
    const vec3_c muzzle = gunSide ? (inside ? insideGunRight : gunRight) : (inside ? insideGunLeft : gunLeft);
    if (world)
        world->SpawnBullet(this, GetPosition() + Turned(muzzle), GetForward(), bullet_speed);
    return true;
}

void game_object_plane_c::DropBomb(float _time, float _interval)
{
    if (bombCount <= 0 || !(_time - lastBomb > _interval))
        return;
    lastBomb = _time;
    vec3_c push = Turned(vec3_c(0.5f, 1.0f, -1.0f));
    push.NormalizeSelf();
    const vec3_c v = GetVelocity() + push * bomb_push;
    vec3_c direction = v;
    direction.NormalizeSelf();
    if (world)
        world->SpawnBomb(this, GetPosition(), direction, v.Length());
    --bombCount;
    PlayAt(bombRelease, bombRelease.shift);
}

void game_object_plane_c::FireRocket(float _time)
{
    if (rocketCount <= 0) {
        const int gameType = world ? world->GetContext().gameType : 0;
        if (gameType == 3 || gameType == 4)
            SetWeapons(rocket_slots, 100, nullptr, nullptr);
        return;
    }
    if (!(_time - lastRocket > rocket_interval) || nextRocket >= rocket_slots)
        return;
    lastRocket = _time;
    rocket_slot_c& slot = rockets[nextRocket++];
    slot.fired = 1;
    if (slot.model && slot.model->GetNode())
        slot.model->GetNode()->SetVisibility(false, false);
    if (world)
        world->SpawnRocket(this, GetPosition() + Turned(slot.mount), GetForward(), rocket_speed);
    --rocketCount;
    if (fireRocket) {
        if (fireRocket->IsPlaying())
            fireRocket->Stop();
        fireRocket->Play();
    }
}

void game_object_plane_c::PlayGunJam()
{
    if (!gunJam)
        return;
    gunJam->Stop();
    PlayAt(gunJam, gunJam.shift);
}

void game_object_plane_c::PlayAt(const plane_sound_c& _sound, const vec3_c& _shift)
{
    if (!_sound)
        return;
    const vec3_c place = GetPosition() + Turned(_shift);
    _sound->SetPosition(&place);
    _sound->Play();
}

void game_object_plane_c::StopSound(const plane_sound_c& _sound)
{
    if (_sound && _sound->IsPlaying())
        _sound->Stop();
}

void game_object_plane_c::OnProjectileImpact(const vec3_c& _point, const vec3_c& _normal,
                                             const projectile_c* _projectile)
{
    const bool bomb = _projectile && _projectile->kind == projectile_bomb;
    ShowEffects(bomb ? "fx_onBE" : "fx_onRE", _point, _normal);
}

void game_object_plane_c::CrashOnGround(float)
{
    if (Terrain() == nullptr || wrecked)
        return;
    wrecked = 1;
    gunsFiring = 0;
    destructionEffect = 0;
    damage = 1.0f;
    destroyed = 1;
    SetModelView(plane_view_crashed);
    for (int part : {airscrewFast, airscrewSlow})
        if (null_object_c* node = GetPart(part))
            node->SetVisibility(false, false);
    vec3_c p = GetPosition();
    const float distance = GroundDistance(p, 1000.0f);
    ShowEffects("fx_onCR", p, up);
    PlayAt(groundCrash, groundCrash.shift);
    for (const plane_sound_c* loop : {&windLeft, &windRight, &noiseLeft, &noiseRight, &onGround})
        StopSound(*loop);
    velocity = vec3_c();
    if (distance >= 0.0f) {
        p.y = p.y + 1000.0f - distance - 0.5f;
        SetPosition(p);
    }
}

void game_object_plane_c::AnnounceDestroyed(u16 _victim_word, u32 _victim_id, game_object_c* _killer)
{
    if (game_messages_c* messages = world ? world->GetContext().messages : nullptr)
        messages->AnnounceDestroyed(*this, _victim_word, _victim_id, _killer);
}

void game_object_plane_c::Respawn()
{
    destroyed = 0;
    wrecked = 0;
    wheelContact = 0;
    damage = 0.0f;
    engineFactor = 1.0f;
    extraSpeed = 0.0f;
    vec3_c position;
    vec3_c rotation;
    if (world && entity && world->NextSpawnPoint(side, position, rotation)) {
        entity->position = position;
        entity->rotation = rotation;
    }
    altitude = 0.0f;
    sinking = 0;
    gunsFiring = 0;
    fastAirscrew = 0;
    destructionEffect = 0;
    engineOffSound = 0;
    engineStartSound = 0;
    groundRunEffect = 0;
    engineRunning = 1;
    for (float& pitch : enginePitch)
        pitch = -1.0f;
    timeSinceEngineStart = 1000.0f;
    timeSinceEngineStop = 1000.0f;
    speed = minVelocity + 0.8f * (maxVelocity - minVelocity);
    thrust = minThrust + 0.8f * (maxThrust - minThrust);
    SetAttitude(GetRotation());
    SetCommands(0.0f, 0.0f, 0.0f);
    RefreshTransform();
    SetModelView(plane_view_outside);
    if (fx_manager_c* effects = world ? world->GetContext().effects : nullptr)
        effects->ExpireEffectsOf(entity);
}
