#include "game/objects/computer_pilot.h"

#include "game/objects/computer_plane.h"
#include "game/objects/noise.h"

#include <algorithm>
#include <cmath>

namespace {

const vec3_c up(0.0f, 1.0f, 0.0f);

vec3_c Unit(const vec3_c& _v)
{
    vec3_c unit = _v;
    unit.NormalizeSelf();
    return unit;
}

vec3_c Row(const mat3_c& _m, int _row)
{
    return vec3_c(_m.m[_row][0], _m.m[_row][1], _m.m[_row][2]);
}

vec3_c Cross(const vec3_c& _a, const vec3_c& _b)
{
    vec3_c result;
    result.Cross(_a, _b);
    return result;
}

// _a turned towards _b (perpendicular to it) by _angle.
vec3_c TurnTowards(const vec3_c& _a, const vec3_c& _b, float _angle)
{
    return _a * std::cos(_angle) + _b * std::sin(_angle);
}

float Quotient(float _a, float _b)
{
    return _b != 0.0f ? _a / _b : 0.0f;
}

bool IsGroundManoeuvre(i32 _kind)
{
    return _kind == manoeuvre_landing || _kind == manoeuvre_taking_off;
}

} // namespace

float ai_pilot_c::Gain() const
{
    // A zero gain would divide the outputs by zero.
    return controlGain > 1.0e-3f ? controlGain : 1.0e-3f;
}

void ai_pilot_c::EscapeStall(const ai_manoeuvre_c& _current)
{
    const mat3_c& axes = plane->GetAttitude();
    const vec3_c forward = Row(axes, 2);
    const vec3_c to = targetPoint - plane->GetPosition();
    const float distance = to.Length();
    if (forward.y <= 0.75f || plane->GetSpeed() - 2.0f >= 0.4f * plane->GetMaxVelocity() ||
        Dot(forward, Unit(to)) <= 0.965f)
        return;
    const vec3_c point =
        targetPoint + vec3_c{random.Float(-2.0f, 2.0f) * distance, 0.0f, random.Float(-2.0f, 2.0f) * distance};
    vec3_c hit;
    if (!IsDodgeClear(plane->GetPosition(), point, hit) || !IsDodgeClear(point, targetPoint, hit))
        return;
    if (_current.kind == manoeuvre_dodge)
        SetManoeuvrePoint(point);
    else
        Dodge(point);
    replan = 0;
}

bool ai_pilot_c::Aim(ai_manoeuvre_c& _current, float& _demanded)
{
    const vec3_c position = plane->GetPosition();
    const vec3_c forward = Row(plane->GetAttitude(), 2);
    _demanded = speedCommand;
    switch (_current.kind) {
    case manoeuvre_trace: {
        game_object_c* target = _current.object;
        const vec3_c at = target->GetPosition();
        const float d = (at - position).Length();
        const vec3_c velocity = target->GetVelocity();
        targetPoint = at + velocity * (d * 0.0033333334f + leadTime);
        const float low = 0.4f * speedCommand;
        const float targetSpeed = velocity.Length();
        if (Dot(targetPoint - position, forward) > 0.0f) {
            const float s = std::max(targetSpeed, plane->GetMinVelocity());
            _demanded =
                s <= low ? speedCommand : std::clamp(((d - preferredDistance) * 0.04f + 1.0f) * s, low, speedCommand);
        } else if (targetSpeed < low && d < 100.0f) {
            Goto(position + Unit(vec3_c(forward.x, 0.0f, forward.z)) * 200.0f);
        }
        _current.point = at;
        return d >= 20.0f;
    }
    case manoeuvre_follow: {
        game_object_c* leader = _current.object;
        targetPoint = leader->GetPosition() + formationOffset;
        const float d = (targetPoint - position).Length();
        if (d < 200.0f)
            _demanded = leader->GetVelocity().Length();
        if (Dot(targetPoint - position, forward) < 0.0f)
            _demanded = std::clamp(_demanded - 4.0f, 0.4f * speedCommand, speedCommand);
        _current.point = targetPoint;
        return d >= 20.0f;
    }
    case manoeuvre_landing:
        targetPoint = _current.point;
        _demanded = (plane->GetAltitude() * 0.005f + 0.4f) * speedCommand;
        return plane->GetAltitude() >= 4.0f;
    case manoeuvre_taking_off: targetPoint = _current.point; return false;
    default: break;
    }
    const vec3_c goal = _current.kind == manoeuvre_bomb ? _current.point + up * 50.0f : _current.point;
    const vec3_c step = goal - targetPoint;
    const float apart = step.Length();
    // Small changes of the goal are followed smoothly, a new goal at once.
    if (apart < 1000.0f)
        targetPoint += apart > 100.0f ? step * (100.0f / apart) : step;
    else
        targetPoint = goal;
    if (_current.kind == manoeuvre_nop)
        targetPoint = position + forward;
    if (_current.kind == manoeuvre_goto || _current.kind == manoeuvre_dodge || _current.kind == manoeuvre_spin)
        _demanded = plane->GetMaxVelocity();
    return true;
}

void ai_pilot_c::Steer(const ai_manoeuvre_c& _current, bool _steer, float _dt)
{
    const mat3_c& axes = plane->GetAttitude();
    const vec3_c right = Row(axes, 0);
    const vec3_c upAxis = Row(axes, 1);
    const vec3_c forward = Row(axes, 2);
    const vec3_c l = Unit(targetPoint - plane->GetPosition());
    const float lx = Dot(l, right);
    const float ly = Dot(l, upAxis);
    const float lz = Dot(l, forward);
    const float ux = right.y;
    const float uy = upAxis.y;
    float e = lx * lx + ly * ly;
    if (lz < 0.0f)
        e = 2.0f - e;
    const float altitude = std::max(plane->GetAltitude(), 0.0f);
    float k = 0.4f;
    float b = 0.9f;
    if (altitude < 50.0f) {
        e *= altitude * 0.02f;
        k = 10.0f - 0.2f * altitude;
        if (_current.kind == manoeuvre_landing || _current.kind == manoeuvre_bomb)
            b = 2.0f;
    }
    const float g = Gain();
    float pitch = 1.2f * g * ly;
    float roll = 4.0f * g * (lx + k * ux);
    float yaw = b * g * lx;
    if (_current.kind == manoeuvre_goto || _current.kind == manoeuvre_trace || _current.kind == manoeuvre_dodge)
        roll *= Reaction() <= -0.95f ? 30.0f : 8.0f;
    if (_current.kind == manoeuvre_landing && std::fabs(roll) < 0.5f && uy < 0.5f)
        roll *= 2.0f;
    if (_current.kind == manoeuvre_spin) {
        roll = (rollRate >= 0.0f ? 1.54f : -1.54f) * g;
        yaw = forward.y >= 0.0f ? 5.0f : -5.0f;
    }
    if (std::fabs(roll) > 0.02f && std::fabs(roll) < 0.2f)
        roll = roll > 0.0f ? 0.2f : -0.2f;
    roll = std::clamp(roll, -3.0f * g, 3.0f * g);
    yaw = std::clamp(yaw, -2.0f * g, 2.0f * g);
    if (!_steer) {
        pitch = 0.0f;
        roll = 0.0f;
        yaw = 0.0f;
    }
    pitchOutput = (0.2f * perturbation.x + pitch) / g;
    yawOutput = (0.2f * perturbation.y + yaw) / (0.4f * g);
    rollOutput += ((roll + perturbation.z) / g - rollOutput) * std::min(_dt * 5.0f, 1.0f);
    if (IsGroundManoeuvre(_current.kind)) {
        perturbation = vec3_c();
        if (_current.kind == manoeuvre_taking_off) {
            const float speed = plane->GetSpeed();
            if (speed > 1.5f * plane->GetMinVelocity())
                perturbation.x = 1.0f;
            else if (speed > 5.0f)
                perturbation.x = -0.0065f * speed;
        }
    } else {
        const float wobble = e + 0.5f;
        pitch += 0.6f * wobble * FractalNoise1(3, seeds[0]);
        yaw += 0.3f * wobble * FractalNoise1(3, seeds[1]);
        roll += wobble * FractalNoise1(3, seeds[2]);
    }
    rollRate += (roll - rollRate) * (1.0f - std::exp2(-8.0f * _dt));

    // Bank about the nose, then pitch about the right axis and yaw about
    // the up axis, each by its rate over the step.
    const float bank = (rollRate + perturbation.z) * _dt;
    vec3_c r = TurnTowards(right, -upAxis, bank);
    vec3_c u = TurnTowards(upAxis, right, bank);
    vec3_c f = forward;
    const float nose = (pitch + 0.2f * perturbation.x) * _dt;
    const vec3_c f1 = TurnTowards(f, u, nose);
    u = TurnTowards(u, -f, nose);
    f = f1;
    const float turn = (yaw + 0.2f * perturbation.y) * _dt;
    const vec3_c f2 = TurnTowards(f, r, turn);
    r = TurnTowards(r, -f, turn);
    f = Unit(f2);
    r = Unit(Cross(u, f));
    u = Unit(Cross(f, r));
    steering[0] = r;
    steering[1] = u;
    steering[2] = f;
}

void ai_pilot_c::Fly(const ai_manoeuvre_c& _current, float _demanded, float _dt)
{
    const bool ground = IsGroundManoeuvre(_current.kind);
    const float minimum = plane->GetMinVelocity();
    const float maximum = plane->GetMaxVelocity();
    const float altitude = plane->GetAltitude();
    const vec3_c oldRight = Row(plane->GetAttitude(), 0);
    const vec3_c& forward = steering[2];

    float change = std::clamp((0.7f - 0.4f * forward.y) * maximum - speedCommand, -1.0f, 1.0f);
    if (_current.kind == manoeuvre_taking_off)
        change = 2.5f;
    else if (_current.kind == manoeuvre_landing && altitude < 2.0f)
        change = -2.5f;
    speedCommand = std::clamp(speedCommand + change * _dt, 0.0f, std::max(maximum, 0.0f));
    if (!ground)
        speedCommand = std::max(speedCommand, minimum);

    const float speed = plane->GetSpeed();
    float next = std::min(speed + (_demanded - speed) * _dt, maximum);
    if (!ground)
        next = std::max(next, minimum);

    vec3_c p = plane->GetPosition();
    if (ground && next < minimum)
        p.y += (-0.38f * (minimum - next) - 1.0f) * _dt;
    if (_current.kind == manoeuvre_spin)
        p.y += 3.0f * _dt;

    // The flight model's speed response sets how much a bank sinks.
    const float range = maximum - minimum;
    const float half = 0.5f * range;
    float cruise = minimum + (0.5f - 0.2f * plane->damage) * range;
    if (p.y > 600.0f)
        cruise -= (p.y - 600.0f) * 0.001f * half;
    const float target = cruise * Quotient(plane->GetThrust(), plane->GetMaxThrust()) - forward.y * half;
    const float response = speed + (target - speed) * (1.0f - std::exp2(-0.24f * _dt));

    p += forward * (next * _dt);
    p.y -= std::fabs(oldRight.y) * (1.0f - 0.9f * Quotient(response, maximum)) * _dt * 15.0f;

    mat3_c axes;
    for (int row = 0; row < 3; ++row) {
        axes.m[row][0] = steering[row].x;
        axes.m[row][1] = steering[row].y;
        axes.m[row][2] = steering[row].z;
    }
    plane->SetPosition(p);
    plane->SetRotation(AttitudeAngles(axes));
    plane->SetSpeed(next);
    perturbation = perturbation * std::exp2(-5.0f * _dt);
}

void ai_pilot_c::Step(float _dt)
{
    if (plane == nullptr)
        return;
    const float dt = std::min(_dt, 1.0f);
    for (float& seed : seeds)
        seed = std::fmod(seed + dt, 256.0f);
    if (manoeuvres.empty()) {
        Tell(ai_event_done, nullptr);
        return;
    }
    if (replan && manoeuvres.back().kind != manoeuvre_spin) {
        if (manoeuvres.back().kind != manoeuvre_landing) {
            const vec3_c position = plane->GetPosition();
            const vec3_c ahead = position + Row(plane->GetAttitude(), 2) * 100.0f;
            const vec3_c towards = position + Unit(targetPoint - position) * 100.0f;
            vec3_c hit;
            if (!IsDodgeClear(position, ahead, hit) || !IsDodgeClear(position, towards, hit))
                Dodge(hit + up * 50.0f);
        }
        replan = 0;
    }
    EscapeStall(manoeuvres.back());
    ai_manoeuvre_c& current = manoeuvres.back();
    float demanded = 0.0f;
    const bool steer = Aim(current, demanded);
    // Aim may have queued an extension in front of the chase.
    const ai_manoeuvre_c now = manoeuvres.back();
    Steer(now, steer, dt);
    Fly(now, demanded, dt);
    if (IsManoeuvreDone()) {
        targets.clear();
        PopManoeuvre();
        replan = 1;
    } else if (now.kind == manoeuvre_trace && InGunSight(targetPoint)) {
        Tell(ai_event_fire, now.object);
    } else if (now.kind == manoeuvre_bomb && AtBombRelease(now.point)) {
        Tell(ai_event_bomb, nullptr);
    }
}
