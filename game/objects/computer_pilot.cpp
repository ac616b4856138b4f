#include "game/objects/computer_pilot.h"

#include "engine/null_object.h"
#include "game/game_world.h"
#include "game/objects/computer_plane.h"
#include "game/script_host.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <string>

namespace {

constexpr float probe_height = 10000.0f;
const vec3_c up(0.0f, 1.0f, 0.0f);

const char* const manoeuvre_names[] = {" nop",   " goto",    " trace",      " follow",   " bomb",
                                       " dodge", " landing", " taking off", " unc. spin"};

vec3_c Unit(const vec3_c& _v)
{
    vec3_c unit = _v;
    unit.NormalizeSelf();
    return unit;
}

float SquaredDistance(const vec3_c& _a, const vec3_c& _b)
{
    const vec3_c d = _a - _b;
    return Dot(d, d);
}

vec3_c Row(const mat3_c& _m, int _row)
{
    return vec3_c(_m.m[_row][0], _m.m[_row][1], _m.m[_row][2]);
}

float Sign(bool _positive)
{
    return _positive ? 1.0f : -1.0f;
}

} // namespace

const char* GetManoeuvreName(i32 _kind)
{
    return _kind >= manoeuvre_nop && _kind <= manoeuvre_spin ? manoeuvre_names[_kind] : manoeuvre_names[0];
}

ai_pilot_c::ai_pilot_c(u32 _seed)
{
    random.SetSeed(_seed);
    for (float& seed : seeds)
        seed = random.Float(0.0f, 1.0f) * 256.0f;
    formationOffset = vec3_c{random.Float(-50.0f, 50.0f), random.Float(-10.0f, 10.0f), random.Float(-50.0f, 50.0f)};
    probeIndex = static_cast<i32>(random.Int(0, 32767) % 40);
    preferredDistance = random.Float(40.0f, 120.0f);
    leadTime = random.Float(0.0f, 0.5f);
}

void ai_pilot_c::SetSkill(float _skill)
{
    reaction = -_skill;
    leadTime = _skill * 0.5f;
}

float ai_pilot_c::Reaction() const
{
    // Every pilot of a network game reacts like the best.
    const bool network = plane && plane->world && plane->world->GetContext().networkGame;
    return network ? -1.0f : reaction;
}

void ai_pilot_c::SetRanges(float _first, float _second)
{
    firstRange = _first;
    secondRange = _second;
}

void ai_pilot_c::Add(const ai_manoeuvre_c& _manoeuvre, bool _front)
{
    if (_front)
        manoeuvres.push_front(_manoeuvre);
    else
        manoeuvres.push_back(_manoeuvre);
}

void ai_pilot_c::Goto(const vec3_c& _point)
{
    vec3_c point = _point;
    RaiseAboveTerrain(point, 50.0f);
    Add({manoeuvre_goto, point, nullptr}, false);
    replan = 1;
}

void ai_pilot_c::PushGoto(const vec3_c& _point)
{
    vec3_c point = _point;
    RaiseAboveTerrain(point, 50.0f);
    Add({manoeuvre_goto, point, nullptr}, true);
    replan = 1;
}

void ai_pilot_c::Trace(game_object_c* _object)
{
    if (_object)
        Add({manoeuvre_trace, _object->GetPosition(), _object}, false);
}

void ai_pilot_c::Follow(game_object_c* _object)
{
    if (_object)
        Add({manoeuvre_follow, _object->GetPosition(), _object}, false);
}

void ai_pilot_c::Bomb(const vec3_c& _point)
{
    const vec3_c position = plane ? plane->GetPosition() : vec3_c();
    const vec3_c d = Unit(vec3_c(_point.x - position.x, 0.0f, _point.z - position.z));
    PushGoto(_point + up * 50.0f);
    Add({manoeuvre_bomb, _point, nullptr}, true);
    PushGoto(_point + d * 150.0f + up * 150.0f);
}

void ai_pilot_c::Land(const vec3_c& _touchdown, const vec3_c& _direction)
{
    const vec3_c d = Unit(_direction - _touchdown);
    PushGoto(_touchdown - d * 200.0f + up * 60.0f);
    Add({manoeuvre_landing, _touchdown, nullptr}, true);
    Add({manoeuvre_landing, _direction, nullptr}, true);
}

void ai_pilot_c::TakeOff(const vec3_c& _point)
{
    speedCommand = 0.0f;
    const vec3_c position = plane ? plane->GetPosition() : vec3_c();
    const vec3_c d = Unit(_point - position);
    Add({manoeuvre_taking_off, _point, nullptr}, false);
    PushGoto(_point + d * 100.0f + up * 60.0f);
}

void ai_pilot_c::Dodge(const vec3_c& _point)
{
    manoeuvres.remove_if([](const ai_manoeuvre_c& _m) { return _m.kind == manoeuvre_dodge; });
    vec3_c point = _point;
    if (point.y > 1000.0f)
        point.y -= 100.0f;
    targetPoint = point;
    Add({manoeuvre_dodge, point, nullptr}, false);
    replan = 1;
}

void ai_pilot_c::Spin()
{
    targetPoint = plane ? plane->GetPosition() : vec3_c();
    Add({manoeuvre_spin, targetPoint, nullptr}, false);
}

void ai_pilot_c::ClearManoeuvres()
{
    manoeuvres.clear();
}

void ai_pilot_c::PopManoeuvre()
{
    if (!manoeuvres.empty())
        manoeuvres.pop_back();
    if (manoeuvres.empty())
        Tell(ai_event_done, nullptr);
}

ai_manoeuvre_c ai_pilot_c::GetCurrentManoeuvre() const
{
    return manoeuvres.empty() ? ai_manoeuvre_c() : manoeuvres.back();
}

void ai_pilot_c::SetManoeuvrePoint(const vec3_c& _point)
{
    if (!manoeuvres.empty())
        manoeuvres.back().point = _point;
}

void ai_pilot_c::ResetControls()
{
    rollRate = 0.0f;
    rollOutput = 0.0f;
    pitchOutput = 0.0f;
    yawOutput = 0.0f;
    perturbation = vec3_c();
    speedCommand = 0.0f;
}

void ai_pilot_c::Tell(u32 _kind, game_object_c* _object, float _argument) const
{
    if (plane == nullptr)
        return;
    const game_event_c event{_kind, std::bit_cast<u32>(_argument), _object};
    plane->HandleEvent(&event);
}

bool ai_pilot_c::RaiseAboveTerrain(vec3_c& _point, float _height) const
{
    null_object_c* terrain = plane && plane->world ? plane->world->GetContext().terrain : nullptr;
    float distance = 0.0f;
    vec3_c normal;
    const ray_c ray(vec3_c(_point.x, probe_height, _point.z), vec3_c(0.0f, -1.0f, 0.0f));
    if (terrain == nullptr || !terrain->RayTest(distance, normal, ray, false, true, ray_miss))
        return false;
    const float ground = probe_height - distance;
    if (ground + _height < _point.y)
        return false;
    _point.y = ground + _height;
    return true;
}

bool ai_pilot_c::IsPathClear(const vec3_c& _from, const vec3_c& _to, vec3_c& _hit) const
{
    null_object_c* terrain = plane && plane->world ? plane->world->GetContext().terrain : nullptr;
    if (terrain == nullptr)
        return true;
    float distance = 0.0f;
    vec3_c normal;
    if (!terrain->RayTest(distance, normal, ray_c(_from, _to - _from), false, true, ray_miss))
        return true;
    _hit = _from + (_to - _from) * distance;
    return distance > 1.0f;
}

bool ai_pilot_c::IsDodgeClear(const vec3_c& _from, const vec3_c& _to, vec3_c& _point) const
{
    return IsPathClear(_from, _to, _point);
}

bool ai_pilot_c::InGunSight(const vec3_c& _point) const
{
    if (plane == nullptr)
        return false;
    const vec3_c to = _point - plane->GetPosition();
    const float d = to.Length();
    if (!(d > 0.0f) || d >= 400.0f)
        return false;
    const mat3_c& axes = plane->GetAttitude();
    const vec3_c aim = Unit(Row(axes, 2) - Row(axes, 1) * (0.5f * pitchOutput));
    return Dot(aim, to / d) > 1.0f - 2.5f / d;
}

bool ai_pilot_c::AtBombRelease(const vec3_c& _point) const
{
    if (plane == nullptr || std::fabs(pitchOutput) > 0.5f)
        return false;
    const vec3_c position = plane->GetPosition();
    const float height = position.y - _point.y;
    if (height < 0.0f)
        return false;
    const float t = std::sqrt(height * 0.20387359f);
    const vec3_c v = plane->GetVelocity();
    const vec3_c horizontal(v.x, 0.0f, v.z);
    const vec3_c impact = position + horizontal * t;
    return SquaredDistance(impact, _point) < 100.0f * 100.0f && Dot(_point - impact, horizontal) < 0.0f;
}

bool ai_pilot_c::AtPoint(float _squared_distance) const
{
    return SquaredDistance(plane->GetPosition(), GetCurrentManoeuvre().point) < _squared_distance;
}

void ai_pilot_c::CallLanded() const
{
    script_host_c* script = plane->world ? plane->world->GetScript() : nullptr;
    if (script)
        script->CallFunction((std::string(plane->name.GetData()) + "_on_landed").c_str());
}

bool ai_pilot_c::IsManoeuvreDone()
{
    if (plane == nullptr)
        return false;
    const ai_manoeuvre_c current = GetCurrentManoeuvre();
    const vec3_c position = plane->GetPosition();
    switch (current.kind) {
    case manoeuvre_goto: {
        const float squared = SquaredDistance(position, current.point);
        if (squared < 16.0f)
            return true;
        if (squared >= 10000.0f)
            return false;
        return Dot(Unit(current.point - position), steering[1]) > 0.8f;
    }
    case manoeuvre_trace: return current.object == nullptr || current.object->destroyed;
    case manoeuvre_follow:
        return current.object == nullptr || current.object->destroyed || current.object->GetVelocity().Length() < 10.0f;
    case manoeuvre_bomb: return AtPoint(2500.0f) && Dot(current.point - position, plane->GetForward()) < 0.0f;
    case manoeuvre_dodge: return AtPoint(900.0f);
    case manoeuvre_landing:
        if (AtPoint(25.0f))
            return true;
        if (plane->GetSpeed() < 0.1f) {
            CallLanded();
            return true;
        }
        return false;
    case manoeuvre_taking_off: return plane->GetAltitude() > 10.0f;
    case manoeuvre_spin: return false;
    default: return true;
    }
}

void ai_pilot_c::Startle(float _f)
{
    // One draw per statement: the operands of * are made in no fixed order.
    perturbation.x += random.Float(2.0f, 4.0f) * _f;
    const float up = Sign(random.Int(0, 1) != 0);
    perturbation.y += up * random.Float(0.5f, 0.7f) * _f;
    const float side = Sign(random.Int(0, 1) != 0);
    perturbation.z += side * random.Float(4.0f, 6.0f) * _f;
}

void ai_pilot_c::CrashNow()
{
    if (plane)
        plane->OnCrash(plane->world ? plane->world->GetWorldTime() : 0.0f);
}

void ai_pilot_c::CheckTerrainAhead()
{
    null_object_c* terrain = plane && plane->world ? plane->world->GetContext().terrain : nullptr;
    if (terrain == nullptr)
        return;
    const mat3_c& axes = plane->GetAttitude();
    const vec3_c side = Row(axes, 0);
    const vec3_c vertical = Row(axes, 1);
    const vec3_c forward = Row(axes, 2);
    const vec3_c directions[5] = {forward, Unit(forward - side * 0.5f), Unit(forward - vertical * 0.5f),
                                  Unit(forward + side * 0.5f), Unit(forward + vertical * 0.5f)};
    const float reach = plane->GetSpeed() * 4.0f;
    const vec3_c origin = plane->GetPosition();
    auto probe = [&](int _index, float& _distance) {
        vec3_c normal;
        return terrain->RayTest(_distance, normal, ray_c(origin, directions[_index]), false, true, ray_miss);
    };
    if (!terrainClear) {
        probeIndex = (probeIndex + 1) % 5;
        float distance = 0.0f;
        if (!(probe(probeIndex, distance) && distance > 1.0f && distance < reach))
            terrainClear = 1;
        return;
    }
    bool hit = false;
    for (int i = 0; i < 5; ++i) {
        float distance = 0.0f;
        if (!probe(i, distance))
            continue;
        if (distance < 1.0f) {
            CrashNow();
            return;
        }
        if (distance < reach) {
            hit = true;
            replan = 1;
        }
    }
    terrainClear = hit ? 0 : 1;
}

int ai_pilot_c::GetSightState(game_object_c* _object) const
{
    const auto found = targets.find(_object);
    return found == targets.end() ? 0 : found->second;
}

bool ai_pilot_c::ScanPlanes()
{
    if (plane == nullptr || plane->world == nullptr)
        return false;
    game_world_c& world = *plane->world;
    const bool single = !world.GetContext().networkGame;
    const mat3_c& axes = plane->GetAttitude();
    const vec3_c forward = Row(axes, 2);
    bool swerved = false;
    for (u32 i = 0; i < world.GetObjectCount(); ++i) {
        game_object_c* other = world.GetObject(i);
        if (other == plane || other == nullptr || other->destroyed)
            continue;
        const vec3_c position = plane->GetPosition();
        const vec3_c to = other->GetPosition() - position;
        const float d = to.Length();
        const vec3_c direction = Unit(to);
        const float c = Dot(forward, direction);
        if (single && d < 40.0f && c > -0.2f) {
            // Swerve away: the vertical part of the direction sets the
            // pitch, the side part the yaw and roll.
            const float a = Dot(direction, Row(axes, 1));
            const float b = Dot(direction, Row(axes, 0));
            perturbation.x += Sign(a < 0.0f) * (1.0f - std::fabs(a)) * 22.5f;
            const float turn = b < 0.0f ? (1.0f - std::fabs(b)) * 12.325f : -(1.0f - std::fabs(b)) * 22.5f;
            perturbation.y += turn;
            perturbation.z += turn;
            swerved = true;
            if (d < 5.0f) {
                plane->TakeDamage(position, direction, 1000.0f, other, 2);
                other->TakeDamage(other->GetPosition(), -direction, 1000.0f, plane, 2);
            }
        }
        const i32 before = GetSightState(other);
        i32 state = before;
        if (d <= firstRange && c >= Reaction())
            state = d <= secondRange ? 2 : 1;
        else if (Reaction() > -0.95f)
            state = 0;
        targets[other] = state;
        if (state == 2 && before != 2)
            Tell(ai_event_seen, other, d);
        else if (state == 0) {
            const ai_manoeuvre_c current = GetCurrentManoeuvre();
            if (current.kind == manoeuvre_trace && current.object == other)
                Tell(ai_event_lost, other);
        }
    }
    return swerved;
}

void ai_pilot_c::ForgetObject(game_object_c* _object)
{
    manoeuvres.remove_if([_object](const ai_manoeuvre_c& _m) { return _m.object == _object; });
    targets.erase(_object);
}
