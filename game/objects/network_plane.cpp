#include "game/objects/network_plane.h"

#include "app/message/net_message.h"
#include "audio/sound_system.h"
#include "engine/null_object.h"
#include "game/fx_manager.h"

namespace {

// The newest sample may lag the shown time by this much at most.
constexpr float clock_lead = 0.5f;
constexpr float network_damage_factor = 0.1f;
constexpr int crash_object = 0;
constexpr int crash_water = 1;
constexpr int crash_terrain = 2;
const vec3_c up(0.0f, 1.0f, 0.0f);

// Heading, pitch, bank as the entity holds them.
vec3_c Angles(const euler_c& _e)
{
    return vec3_c(_e.heading, _e.pitch, _e.bank);
}

} // namespace

game_object_plane_ghost_c::game_object_plane_ghost_c() = default;
game_object_plane_ghost_c::~game_object_plane_ghost_c() = default;

void game_object_plane_ghost_c::Update(float _time)
{
    const float dt = _time - lastUpdateTime;
    lastUpdateTime = _time;
    lastStep = dt;
    sampleClock += dt;

    UpdateAirscrew(_time);
    UpdateSounds(dt);
    UpdateEffects(_time);
    if (firing)
        FireGuns(_time);

    const std::optional<vec3_c> position = positionPredictor.Predict(sampleClock, -1.0f);
    const std::optional<vec3_c> rotation = rotationPredictor.Predict(sampleClock, -1.0f);
    if (entity == nullptr || (!position && !rotation))
        return;
    if (position)
        entity->position = *position;
    if (rotation)
        entity->rotation = *rotation;
    RefreshTransform();
}

void game_object_plane_ghost_c::SetPosition(const vec3_c& _position)
{
    game_object_c::SetPosition(_position);
    RefreshTransform();
}

void game_object_plane_ghost_c::TakeDamage(const vec3_c& _point, const vec3_c&, float _amount, game_object_c*,
                                           int _kind)
{
    if (_kind != 6)
        if (const char* event = GetEventEffectName(_kind))
            ShowEffects(event, _point, up);
    damage += _amount * network_damage_factor;
    if (damage > 1.0f)
        damage = 1.0f;
}

void game_object_plane_ghost_c::OnMissionStart(float _time)
{
    lastUpdateTime = _time;
    SetModelView(plane_view_outside);
}

void game_object_plane_ghost_c::Respawn()
{
    game_object_plane_c::Respawn();
    firing = 0;
}

bool game_object_plane_ghost_c::ReadState(net_message_c& _message)
{
    const float t = _message.ReadF32();
    const vec3_c position = _message.ReadVec3();
    const euler_c rotation = _message.ReadEuler();
    if (_message.IsOverflowed())
        return false;
    if (t > sampleClock)
        sampleClock = t;
    if (sampleClock - t > clock_lead)
        sampleClock = t + clock_lead;
    positionPredictor.Push(t, position);
    rotationPredictor.Push(t, Angles(rotation));
    return true;
}

bool game_object_plane_ghost_c::ReadFiringFlag(net_message_c& _message)
{
    const bool bit = _message.ReadBit();
    if (_message.IsOverflowed())
        return false;
    firing = bit ? 1 : 0;
    return true;
}

void game_object_plane_ghost_c::Place(const vec3_c& _position, const vec3_c& _rotation)
{
    if (entity == nullptr)
        return;
    entity->position = _position;
    entity->rotation = _rotation;
    RefreshTransform();
}

void game_object_plane_ghost_c::Burn()
{
    damage = 1.0f;
    destroyed = 1;
    engineFactor = 0.0f;
    SetModelView(plane_view_burned);
}

bool game_object_plane_ghost_c::ApplyDestroyed(net_message_c& _message)
{
    const vec3_c position = _message.ReadVec3();
    const euler_c rotation = _message.ReadEuler();
    if (_message.IsOverflowed())
        return false;
    Burn();
    Place(position, Angles(rotation));
    PlayAt(planeExplode, planeExplode.shift);
    return true;
}

i32 game_object_plane_ghost_c::ApplyCrash(net_message_c& _message)
{
    const u32 kind = _message.ReadU32();
    const vec3_c position = _message.ReadVec3();
    const euler_c rotation = _message.ReadEuler();
    if (_message.IsOverflowed())
        return -1;
    Place(position, Angles(rotation));
    if (destroyed)
        return -1;
    if (kind == crash_terrain) {
        const bool first = !wrecked;
        CrashOnGround(lastUpdateTime);
        // The ground crash shows its effect and sound the first time itself.
        if (!(first && wrecked))
            ShowEffects("fx_onCR", position, up);
        return crash_terrain;
    }
    Burn();
    ShowEffects(kind == crash_object ? "fx_onCR" : "fx_onWC", position, up);
    if (waterCrash) {
        waterCrash->SetPosition(&position);
        waterCrash->Play();
    }
    if (entity) {
        entity->rotation.y = 0.0f;
        entity->rotation.z = 0.0f;
        RefreshTransform();
    }
    if (kind == crash_water)
        sinking = 1;
    return static_cast<i32>(kind);
}
