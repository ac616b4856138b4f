#include "engine/aggregate.h"
#include "game/fx_manager.h"
#include "game/game_messages.h"
#include "game/game_world.h"
#include "game/objects/computer_plane.h"
#include "game/objects/noise.h"
#include "game/script_host.h"
#include "level/object_template.h"

#include <algorithm>
#include <bit>

namespace {

const vec3_c up(0.0f, 1.0f, 0.0f);
constexpr float check_interval = 0.2f;
constexpr float patrol_interval = 10.0f;
// Network games: a state sample every 0.1 s; a wreck flies again 10 s after
// its crash.
constexpr float state_interval = 0.1f;
constexpr float respawn_delay = 10.0f;
constexpr u32 crash_terrain = 2;
constexpr u32 check_timer = std::bit_cast<u32>(1.0f);
constexpr u32 patrol_timer = 0;

bool IsAirTarget(const game_object_c* _object)
{
    // Network copies of remote planes are chased like the others: bombing
    // a plane would never hit it.
    const int type = _object->GetType();
    return type == object_plane_ai || type == object_plane_user || type == object_plane_ghost ||
           type == object_zeppelin || type == object_balloon;
}

vec3_c Unit(const vec3_c& _v)
{
    vec3_c unit = _v;
    unit.NormalizeSelf();
    return unit;
}

} // namespace

bool game_object_plane_ai_c::InNetworkGame() const
{
    return world && world->GetContext().networkGame;
}

void game_object_plane_ai_c::CallScripts(const char* _suffix) const
{
    script_host_c* script = world ? world->GetScript() : nullptr;
    if (script == nullptr)
        return;
    const std::string suffix = _suffix;
    if (side == 1)
        script->CallFunction(("aliant_planes" + suffix).c_str());
    else if (side == -1)
        script->CallFunction(("german_planes" + suffix).c_str());
    script->CallFunction(("ai_planes" + suffix).c_str());
    if (model)
        script->CallFunction((std::string(model->GetBaseName().GetData()) + suffix).c_str());
    script->CallFunction((std::string(name.GetData()) + suffix).c_str());
}

void game_object_plane_ai_c::OnMissionStart(float _time)
{
    lastUpdateTime = _time;
    StartTimer(1.0f + random.Float(0.0f, 1.0f), check_timer);
    StartTimer(patrol_interval + random.Float(0.0f, 10.0f), patrol_timer);
    if (auto* group = dynamic_cast<aggregate_c*>(entity))
        group->ResetAnimation();
    planeClock = 0.0f;
}

void game_object_plane_ai_c::Respawn()
{
    game_object_plane_c::Respawn();
    ClearOrders();
    attackers.clear();
    firing = 0;
    firingSent = 0;
    if (pilot)
        pilot->ClearTargets();
    StartTimer(1.0f, check_timer);
}

void game_object_plane_ai_c::HandleEvent(const game_event_c* _event)
{
    if (destroyed || _event == nullptr || pilot == nullptr)
        return;
    firing = 0;
    game_object_c* object = _event->sender;
    switch (_event->kind) {
    case ai_event_seen:
        if (object)
            OnSeen(object);
        break;
    case ai_event_lost: {
        const float r = random.Float(0.5f, 0.9f);
        const ai_order_c& order = GetCurrentOrder();
        if (r >= skill && order.kind == order_patrol) {
            pilot->ClearManoeuvres();
            pilot->Goto(order.point);
        }
        break;
    }
    case ai_event_fire: OnFireRequest(); break;
    case ai_event_done: OnManoeuvresDone(); break;
    case event_timer:
        if (_event->argument == patrol_timer)
            PatrolTimer();
        else
            CheckTimer();
        break;
    case ai_event_bomb:
        DropBomb(lastUpdateTime, 5.0f);
        if (GetCurrentOrder().kind == order_bomb)
            GetCurrentOrder().parameter += 1.0f;
        break;
    case ai_event_follow_me: OrderFollow(object, true); break;
    case ai_event_attack:
        if (object && IsAirTarget(object))
            OrderAttack(object, true);
        else
            OrderBombObject(object, true);
        break;
    case ai_event_patrol:
        if (object)
            OrderPatrol(object->GetPosition(), 500.0f, true);
        break;
    case ai_event_help:
        if (object) {
            ClearOrders();
            OrderGoto(object->GetPosition(), true);
            OrderPatrol(object->GetPosition(), 500.0f, false);
        }
        break;
    default: break;
    }
}

void game_object_plane_ai_c::OnSeen(game_object_c* _object)
{
    if (_object->side != -side)
        return;
    const ai_order_c& order = GetCurrentOrder();
    if (order.kind == order_patrol) {
        const ai_manoeuvre_c current = pilot->GetCurrentManoeuvre();
        if (current.kind == manoeuvre_trace) {
            const vec3_c forward = Unit(GetForward());
            const vec3_c position = GetPosition();
            const float enemy = Dot(forward, Unit(_object->GetPosition() - position)) + random.Float(0.0f, 1.0f);
            const float chased = Dot(forward, Unit(pilot->GetTargetPoint() - position)) + skill;
            if (!(enemy > chased))
                return;
        }
        ChaseOrBomb(_object);
    } else if (order.kind == order_follow) {
        ChaseOrBomb(_object);
    }
}

void game_object_plane_ai_c::ChaseOrBomb(game_object_c* _object)
{
    pilot->ClearManoeuvres();
    if (IsAirTarget(_object))
        pilot->Trace(_object);
    else
        pilot->Bomb(_object->GetPosition());
}

void game_object_plane_ai_c::OnFireRequest()
{
    if (burst > 0 && FireGuns(lastUpdateTime)) {
        --burst;
        firing = 1;
    }
    if (lastUpdateTime - lastGunShot > 1.0f)
        burst = static_cast<int>(random.Int(0, 32767) & 15) + 6;
    const game_object_c* target = GetCurrentOrder().object;
    if (target && (target->GetType() == object_balloon || target->GetType() == object_zeppelin))
        FireRocket(lastUpdateTime);
}

void game_object_plane_ai_c::OnManoeuvresDone()
{
    // A copy: removing the order from the list must not take it away from
    // the start below.
    const ai_order_c order = GetCurrentOrder();
    if (IsOrderDone(order) && order.kind != order_bomb)
        orders.pop_back();
    StartOrder(order);
}

void game_object_plane_ai_c::PatrolTimer()
{
    StartTimer(patrol_interval, patrol_timer);
    const ai_order_c& order = GetCurrentOrder();
    if (order.kind != order_patrol || !(random.Float(0.0f, 1.0f) < skill))
        return;
    const vec3_c d = GetPosition() - order.point;
    if (Dot(d, d) > order.parameter * order.parameter)
        pilot->Goto(order.point);
}

void game_object_plane_ai_c::CheckTimer()
{
    if (pilot->GetCurrentManoeuvre().kind != manoeuvre_landing)
        pilot->CheckTerrainAhead();
    if (destroyed)
        return;
    pilot->ScanPlanes();
    if (destroyed)
        return;
    bool water = false;
    if (CheckObjectCollision(water)) {
        destroyed = 1;
        engineFactor = 0.0f;
        damage = 1.0f;
        sinking = water ? 1 : 0;
        Fall();
        CallScripts("_on_crashed");
        return;
    }
    StartTimer(check_interval, check_timer);
}

void game_object_plane_ai_c::Fall()
{
    ClearOrders();
    OrderDestroyed();
    const vec3_c position = GetPosition();
    const vec3_c ahead = Unit(vec3_c(velocity.x, 0.0f, velocity.z));
    vec3_c point = position + ahead * 4.0f;
    const float distance = GroundDistance(vec3_c(point.x, 0.0f, point.z), 10000.0f);
    if (distance >= 0.0f)
        point.y = 10000.0f - distance;
    pilot->Spin();
    pilot->SetManoeuvrePoint(point);
    SetModelView(plane_view_burned);
}

void game_object_plane_ai_c::Update(float _time)
{
    const vec3_c p0 = GetPosition();
    const float dt = _time - lastUpdateTime;
    lastUpdateTime = _time;
    game_messages_c* messages = InNetworkGame() ? world->GetContext().messages : nullptr;
    if (messages) {
        stateSendTimer += dt;
        if (stateSendTimer >= state_interval) {
            stateSendTimer = 0.0f;
            messages->SendPlaneState(*this, planeClock);
        }
        if (firing != firingSent) {
            firingSent = firing;
            messages->SendFiring(*this, firing != 0);
        }
    }
    planeClock += dt;
    if (wrecked && InNetworkGame()) {
        if (respawnTime < 0.0f)
            respawnTime = _time + respawn_delay;
        if (respawnTime < _time) {
            respawnTime = -1.0f;
            Respawn();
            if (messages)
                messages->SendRespawn(*this);
        }
    }
    const bool piloted = pilot && !(destroyed && !pilot->HasManoeuvres());
    // A plane in the water is past flying: it only sinks.
    if (!wrecked && !sinking && piloted)
        pilot->Step(dt);
    UpdateSounds(dt);
    UpdateEffects(_time);
    UpdateAirscrew(_time);
    if (sinking && !wrecked && entity && entity->position.y > -50.0f) {
        // Per frame, not per second: the wreck rocks as it goes down.
        const float n = Noise1(lastTime);
        entity->position.y -= (n + 1.0f) * 0.1f;
        entity->rotation += vec3_c(n * 0.01f, n * 0.1f, n * 0.3f);
        SetPosition(entity->position);
        SetRotation(entity->rotation);
    }
    if (pilot && !(destroyed && !pilot->HasManoeuvres())) {
        SetAilerons(std::clamp(pilot->GetRollOutput(), -1.0f, 1.0f));
        SetRudder(std::clamp(pilot->GetYawOutput(), -1.0f, 1.0f));
        SetElevator(std::clamp(pilot->GetPitchOutput(), -1.0f, 1.0f));
    }
    if (!wrecked && !sinking) {
        if (CheckTerrainCollision(false))
            OnCrash(_time);
        else if (IsTouchingGround())
            UpdateGroundContact(dt);
    }
    UpdateWheels(dt);
    if (dt > 0.0f)
        velocity = (GetPosition() - p0) / dt;
    ChaseWorstAttacker();
}

void game_object_plane_ai_c::ChaseWorstAttacker()
{
    std::erase_if(attackers, [](const attacker_c& _entry) { return _entry.attacker->destroyed != 0; });
    const attacker_c* worst = nullptr;
    for (const attacker_c& entry : attackers)
        if (entry.damage > 0.0f && (worst == nullptr || entry.damage > worst->damage))
            worst = &entry;
    if (worst == nullptr || destroyed || pilot == nullptr || orders.empty() || orders.back().kind != order_patrol)
        return;
    const ai_manoeuvre_c current = pilot->GetCurrentManoeuvre();
    if (current.kind == manoeuvre_trace && current.object != worst->attacker) {
        game_object_c* attacker = worst->attacker;
        pilot->ClearManoeuvres();
        pilot->Trace(attacker);
    }
}

void game_object_plane_ai_c::TakeDamage(const vec3_c& _point, const vec3_c& _direction, float _amount,
                                        game_object_c* _attacker, int _kind)
{
    // Destruction runs once.
    if (destroyed)
        return;
    const bool creationFlag = world && world->GetContext().creationFlag;
    const float f = side == 1 || creationFlag ? 1.0f : 3.0f;
    const float g = skill <= 0.95f ? 0.1f : 0.03f;
    const float d = (1.0f - durability) * g * f * _amount;
    damage += d;
    if (_attacker) {
        auto entry = std::find_if(attackers.begin(), attackers.end(),
                                  [_attacker](const attacker_c& _e) { return _e.attacker == _attacker; });
        if (entry == attackers.end())
            attackers.push_back({_attacker, d});
        else
            entry->damage += d;
    }
    if (damage >= 1.0f) {
        attackers.clear();
        destroyed = 1;
        engineFactor = 0.0f;
        damage = 1.0f;
        CallScripts("_on_destroyed");
        if (world) {
            ++world->counters.planes;
            if (_attacker && _attacker->GetType() == object_plane_user)
                ++world->counters.planesByPlayer;
            if (side == -1)
                ++world->counters.planesGerman;
            else if (side == 1)
                ++world->counters.planesAllied;
        }
        ShowEffects("fx_onEX", GetPosition(), up);
        PlayAt(planeExplode, planeExplode.shift);
        if (InNetworkGame())
            AnnounceDestroyed(0xFFFF, static_cast<u32>(networkId), _attacker);
    }
    const vec3_c dodge =
        GetPosition() + Turned(vec3_c{random.Float(-400.0f, 400.0f), random.Float(-400.0f, 400.0f), 100.0f});
    if (destroyed) {
        Fall();
        return;
    }
    if (!IsFlyable() || pilot == nullptr)
        return;
    pilot->Startle(1.0f);
    if (_kind != 6)
        if (const char* effect = GetEventEffectName(_kind))
            ShowEffects(effect, _point, _direction);
    vec3_c hit;
    if (damage < 0.7f || InNetworkGame()) {
        if (pilot->IsDodgeClear(GetPosition(), dodge, hit))
            pilot->Dodge(dodge);
        return;
    }
    // Badly damaged: home to land, once.
    const bool allied = side == 1;
    const bool hasField = allied ? (world && (world->airfieldMask & 1)) : (world && (world->airfieldMask & 2));
    if (!hasField || (!orders.empty() && orders.back().kind == order_land))
        return;
    OrderLand(allied ? world->alliedTouchdown : world->germanTouchdown,
              allied ? world->alliedDirection : world->germanDirection, true);
    CallScripts("_on_landing");
}

void game_object_plane_ai_c::OnNearMiss(const vec3_c&, game_object_c*)
{
    if (!IsFlyable() || pilot == nullptr)
        return;
    pilot->Startle(InNetworkGame() || skill > 0.95f ? 1.5f : 0.5f);
    const vec3_c dodge =
        GetPosition() + Turned(vec3_c{random.Float(-100.0f, 100.0f), random.Float(-100.0f, 100.0f), 100.0f});
    vec3_c hit;
    if (pilot->IsDodgeClear(GetPosition(), dodge, hit))
        pilot->Dodge(dodge);
}

void game_object_plane_ai_c::OnCrash(float _time)
{
    const bool before = destroyed != 0;
    OrderDestroyed();
    SetModelView(plane_view_crashed);
    destroyed = 1;
    CrashOnGround(_time);
    game_messages_c* messages = InNetworkGame() ? world->GetContext().messages : nullptr;
    if (messages == nullptr)
        return;
    if (!before)
        --score;
    messages->SendCrash(*this, crash_terrain);
}
