#include "game/objects/player_plane.h"

#include "app/message/net_message.h"
#include "app/message/net_session.h"
#include "audio/sound_system.h"
#include "engine/null_object.h"
#include "game/fx_manager.h"
#include "game/game_camera.h"
#include "game/game_messages.h"
#include "game/game_world.h"
#include "game/objects/player_plane_host.h"
#include "game/objects/target_events.h"
#include "input/controllers.h"

#include <algorithm>

namespace {

constexpr float heat_rate = 0.14285715f;
constexpr float cooling = -1.5f;
constexpr float jam_heat = 0.7f;
constexpr float jam_scale = 3.3333333f;
constexpr float jam_chance = 0.05f;
constexpr float clear_heat = 0.5f;
constexpr float clear_scale = 5.0000005f;
constexpr float bomb_gap = 2.0f;
constexpr float follow_radius = 300.0f;
constexpr float order_radius = 5000.0f;
constexpr float attack_reach = 700.0f;
constexpr float attack_cone = 0.5f;
constexpr float crash_pitch = -1.5f;
constexpr float altimeter_scale = 0.00066666666f * 10.0f;
constexpr float altimeter_zero = 3.14f;
// The hit kind of an explosion, which shows no event effect of its own.
constexpr int explosion_hit = 6;
constexpr const char* gun_effect = "karabin1";
constexpr const char* ground_effect = "jazda_po_ziemii";

// Texts shown to the player.
constexpr i32 text_crash = 94;
constexpr i32 text_lost = 95;
constexpr i32 text_respawn = 97;
constexpr i32 text_orders = 100;

// The order keys, the event each sends and how far it reaches.
constexpr struct {
    int action;
    u32 kind;
    float radius;
} order_keys[] = {
    {game_object_plane_user_c::action_follow_me, 6, follow_radius},
    {game_object_plane_user_c::action_attack, 7, order_radius},
    {game_object_plane_user_c::action_patrol, 8, order_radius},
    {game_object_plane_user_c::action_help, 9, order_radius},
};

} // namespace

const char* const game_object_plane_user_c::action_names[action_count] = {
    "up", "left", "tail-left", "look", "fire", "bomb", "rocket", "follow_me", "attack", "patrol", "help", "auto-level"};

game_object_plane_user_c::game_object_plane_user_c()
{
    std::fill(std::begin(actions), std::end(actions), -1);
    attitude.SetIdentity();
    respawnTime = -1.0f;
}

game_object_plane_user_c::~game_object_plane_user_c() = default;

void game_object_plane_user_c::BindControls(controllers_c* _controllers)
{
    controllers = _controllers;
    if (controllers == nullptr)
        return;
    controllers->ResetActionValues();
    for (u32 index = 0; index < controllers->GetActionCount(); ++index)
        for (int action = 0; action < action_count; ++action)
            if (controllers->GetAction(index).name == action_names[action])
                actions[action] = static_cast<i32>(index);
}

float game_object_plane_user_c::Value(int _action) const
{
    const i32 index = actions[_action];
    if (controllers == nullptr || index < 0 || static_cast<u32>(index) >= controllers->GetActionCount())
        return 0.0f;
    return controllers->GetAction(static_cast<u32>(index)).value;
}

void game_object_plane_user_c::ResetActions()
{
    if (controllers)
        controllers->ResetActionValues();
}

u16 game_object_plane_user_c::GetOwnerId() const
{
    const net_session_c* session = Session();
    return session ? session->GetLocalId() : 0;
}

net_session_c* game_object_plane_user_c::Session() const
{
    return host ? host->GetSession() : nullptr;
}

game_messages_c* game_object_plane_user_c::Messages() const
{
    return Session() && world ? world->GetContext().messages : nullptr;
}

void game_object_plane_user_c::ShowText(i32 _index)
{
    if (host)
        host->ShowInGameText(_index);
}

void game_object_plane_user_c::OnMissionStart(float _time)
{
    lastUpdateTime = _time;
    RefreshTransform();
}

void game_object_plane_user_c::SetRotation(const vec3_c& _rotation)
{
    game_object_plane_c::SetRotation(_rotation);
    SetAttitude(_rotation);
}

void game_object_plane_user_c::ChangeThrottle(float _delta)
{
    SetThrust(thrust + _delta);
}

void game_object_plane_user_c::Update(float _time)
{
    const float dt = _time - lastUpdateTime;
    lastUpdateTime = _time;
    if (Session()) {
        stateSendTimer += dt;
        if (stateSendTimer >= state_interval) {
            stateSendTimer = 0.0f;
            if (game_messages_c* messages = Messages())
                messages->SendPlaneState(*this, planeClock);
        }
    }
    planeClock += dt;
    if (world == nullptr)
        return;
    if (wrecked || sinking) {
        UpdateDown(_time, dt);
        return;
    }

    UpdateAirscrew(_time);
    const vec3_c start = GetPosition();
    const vec3_c rotation = GetRotation();
    UpdateInstruments(-1.0f - 2.5f * thrust, -rotation.x, start.y * altimeter_scale - altimeter_zero, dt);
    if (!Pressed(action_look) && !destroyed)
        Steer();
    SetAutoLevel(Pressed(action_auto_level));
    UpdateFlight(dt);
    UpdateGuns(_time, dt);
    UpdateBombs(_time);
    if (Pressed(action_rocket) && !destroyed) {
        FireRocket(_time);
        if (game_messages_c* messages = Messages())
            messages->SendRocket();
    }
    UpdateOrders();
    UpdateSounds(dt);
    UpdateEffects(_time);
    if (!sinking)
        UpdateCollisions(_time, dt);
    UpdateWheels(dt);
    // A step of no time leaves the velocity as it was.
    if (dt > 0.0f)
        velocity = (GetPosition() - start) / dt;
}

void game_object_plane_user_c::UpdateDown(float _time, float _dt)
{
    if (Session()) {
        if (respawnTime < 0.0f) {
            respawnTime = _time + respawn_delay;
            ShowText(text_respawn);
        } else if (respawnTime < _time) {
            respawnTime = -1.0f;
            Respawn();
            jammed = 0;
            gunHeat = 0.0f;
            triggerHeld = 0;
            ResetActions();
            if (game_messages_c* messages = Messages())
                messages->SendRespawn(*this);
            return;
        }
    }
    speed = 0.0f;
    velocity = vec3_c();
    UpdateSounds(_dt);
    UpdateEffects(_time);
    UpdateAirscrew(_time);
    UpdateFlight(_dt);
}

void game_object_plane_user_c::Steer()
{
    const float k = (1.0f - damage * 0.5f) * engineFactor * handling;
    SetCommands(k * Value(action_left), k * Value(action_up), k * Value(action_tail_left));
    SetAilerons(rollCommand);
    SetElevator(pitchCommand);
    SetRudder(yawCommand);
}

void game_object_plane_user_c::UpdateGuns(float _time, float _dt)
{
    const u8 was_firing = firing;
    const u8 was_held = triggerHeld;
    firing = 0;
    triggerHeld = 0;
    if (Pressed(action_fire) && !destroyed) {
        if (host && host->GetCamera().GetMode() == camera_high) {
            DropBomb(_time, bomb_gap);
        } else {
            triggerHeld = 1;
            if (!jammed) {
                FireGuns(_time);
                firing = 1;
            } else if (!was_held) {
                PlayGunJam();
            }
        }
    }
    if (jammed && !triggerHeld) {
        const float x = (gunHeat - clear_heat) * clear_scale;
        if (x < 0.0f || random.Float(0.0f, 1.0f) > x)
            jammed = 0;
    }
    if (firing != was_firing) {
        if (controllers && actions[action_left] >= 0) {
            const u32 device = static_cast<u32>(actions[action_left]);
            if (firing)
                controllers->StartEffect(device, gun_effect);
            else
                controllers->StopEffect(device, gun_effect);
        }
        if (game_messages_c* messages = Messages())
            messages->SendFiring(*this, firing != 0);
    }
    gunHeat = std::clamp(gunHeat + _dt * heat_rate * (firing ? 1.0f : cooling), 0.0f, 1.0f);
    if (!jammed && gunHeat >= jam_heat) {
        const float p = (gunHeat - jam_heat) * jam_scale;
        if (random.Float(0.0f, 1.0f) < p * jam_chance) {
            jammed = 1;
            PlayGunJam();
        }
    }
}

void game_object_plane_user_c::UpdateBombs(float _time)
{
    game_camera_c* camera = host ? &host->GetCamera() : nullptr;
    if (destroyed && bombKeyHeld) {
        // The camera follows the plane's fate; only the flag is left to clear.
        bombKeyHeld = 0;
        if (host)
            host->SetBombView(false);
    }
    if (Session() || destroyed)
        return;
    if (Pressed(action_bomb)) {
        if (!bombKeyHeld) {
            bombKeyHeld = 1;
            bombViewTime = _time + bomb_view_delay;
        }
        if (camera && _time > bombViewTime && camera->GetMode() != camera_high) {
            savedCameraMode = camera->GetMode();
            camera->SetMode(camera_high);
            host->SyncUserPlaneView();
            host->SetBombView(true);
        }
    } else if (bombKeyHeld) {
        if (camera && camera->GetMode() == camera_high) {
            camera->SetMode(savedCameraMode);
            host->SyncUserPlaneView();
            host->SetBombView(false);
        } else {
            DropBomb(_time, bomb_gap);
        }
        bombKeyHeld = 0;
    }
}

game_object_c* game_object_plane_user_c::FindAttackTarget() const
{
    if (world == nullptr)
        return nullptr;
    const vec3_c origin = GetPosition();
    const vec3_c forward = GetForward();
    game_object_c* best = nullptr;
    float best_dot = attack_cone;
    for (u32 i = 0; i < world->GetObjectCount(); ++i) {
        game_object_c* object = world->GetObject(i);
        if (object->side != -side || object->destroyed)
            continue;
        vec3_c d = object->GetPosition() - origin;
        if (d.Length() > attack_reach)
            continue;
        d.NormalizeSelf();
        const float dot = Dot(d, forward);
        if (dot > best_dot) {
            best_dot = dot;
            best = object;
        }
    }
    return best;
}

void game_object_plane_user_c::UpdateOrders()
{
    for (int i = 0; i < 4; ++i) {
        const bool pressed = Pressed(order_keys[i].action);
        const bool released = orderKeys[i] && (!pressed || destroyed);
        orderKeys[i] = pressed && !destroyed ? 1 : 0;
        if (!released)
            continue;
        game_object_c* subject = this;
        if (order_keys[i].action == action_attack && (subject = FindAttackTarget()) == nullptr)
            continue;
        const game_event_c event{order_keys[i].kind, subject->sequenceNumber, this};
        world->SendEventToNearbyAllies(this, event, order_keys[i].radius);
    }
}

void game_object_plane_user_c::UpdateCollisions(float _time, float _dt)
{
    bool water = false;
    if (CheckObjectCollision(water)) {
        CrashIntoObject(water ? 1 : 0);
    } else if (CheckTerrainCollision(false)) {
        CrashIntoTerrain(_time);
    } else if (damage < 1.0f && IsTouchingGround()) {
        UpdateGroundContact(_dt);
        if (!groundRunEffect) {
            PlayAt(touchdown, engineShift);
            if (controllers && actions[action_left] >= 0)
                controllers->StartEffect(static_cast<u32>(actions[action_left]), ground_effect);
            groundRunEffect = 1;
        }
    }
}

void game_object_plane_user_c::CrashIntoObject(int _kind)
{
    const bool already = damage >= 1.0f;
    ResetActions();
    damage = 1.0f;
    destroyed = 1;
    engineFactor = 0.0f;
    SetAttitude(GetRotation());
    SetCommands(0.0f, crash_pitch, 0.0f);
    game_object_plane_c::SetModelView(plane_view_burned);
    if (_kind == 1)
        sinking = 1;
    if (already)
        return;
    CallDestroyedScripts();
    CountLoss(static_cast<u32>(_kind), _kind != 0 ? text_crash : text_lost);
}

void game_object_plane_user_c::CrashIntoTerrain(float _time)
{
    const bool already = damage >= 1.0f;
    ResetActions();
    CrashOnGround(_time);
    SetAttitude(GetRotation());
    if (already)
        return;
    CallDestroyedScripts();
    CountLoss(2, text_lost);
}

void game_object_plane_user_c::CountLoss(u32 _kind, i32 _text)
{
    if (Session() == nullptr)
        return;
    --score;
    if (game_messages_c* messages = Messages())
        messages->SendCrash(*this, _kind);
    ShowText(_text);
}

void game_object_plane_user_c::CallDestroyedScripts()
{
    ::CallDestroyedScripts(*this, model.get(), nullptr);
}

void game_object_plane_user_c::TakeDamage(const vec3_c& _point, const vec3_c& _direction, float _amount,
                                          game_object_c* _attacker, int _kind)
{
    if (destroyed)
        return;
    if (_kind != explosion_hit)
        if (const char* event = GetEventEffectName(_kind))
            ShowEffects(event, _point, _direction);
    net_session_c* session = Session();
    if (session) {
        damage += _amount * 0.1f;
    } else {
        const bool creation = world && world->GetContext().creationFlag;
        damage += (1.0f - durability) * (creation ? 1.0f : 0.33333334f) * _amount * 0.05f;
    }
    if (damage >= 1.0f) {
        ResetActions();
        damage = 1.0f;
        destroyed = 1;
        engineFactor = 0.0f;
        if (groundRunEffect) {
            groundRunEffect = 0;
            CrashOnGround(world ? world->GetWorldTime() : lastUpdateTime);
            if (controllers && actions[action_left] >= 0)
                controllers->StopEffect(static_cast<u32>(actions[action_left]), ground_effect);
        }
        game_object_plane_c::SetModelView(plane_view_burned);
        CallDestroyedScripts();
        ShowEffects("fx_onEX", GetPosition(), vec3_c(0.0f, 1.0f, 0.0f));
        if (planeExplode)
            planeExplode->Play();
        if (session)
            AnnounceDestroyed(session->GetLocalId(), game_messages_c::own_plane, _attacker);
    }
    PlayRandom(bulletHits, _point);
}

void game_object_plane_user_c::OnNearMiss(const vec3_c& _point, game_object_c*)
{
    PlayRandom(nearMisses, _point);
}

void game_object_plane_user_c::PlayRandom(const std::vector<plane_sound_c>& _sounds, const vec3_c& _point)
{
    if (_sounds.empty())
        return;
    const plane_sound_c& sound = _sounds[random.Int(0, static_cast<u32>(_sounds.size() - 1))];
    if (!sound)
        return;
    sound->SetPosition(&_point);
    sound->Play();
}

void game_object_plane_user_c::HandleEvent(const game_event_c* _event)
{
    if (_event && _event->kind >= 6 && _event->kind <= 9)
        ShowText(text_orders + static_cast<i32>(_event->kind));
}

void game_object_plane_user_c::OnGroundRunEnded()
{
    if (controllers && actions[action_left] >= 0)
        controllers->StopEffect(static_cast<u32>(actions[action_left]), ground_effect);
}
