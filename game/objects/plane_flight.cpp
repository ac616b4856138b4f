#include "engine/water.h"
#include "game/game_world.h"
#include "game/objects/noise.h"
#include "game/objects/plane.h"
#include "game/vector_helpers.h"
#include "level/level_scene.h"

#include <cfloat>
#include <cmath>

namespace {

constexpr float probe_height = 10000.0f;
constexpr float contact_probe = 1000.0f;
constexpr float wheel_height = 1.4f;

vec3_c Row(const mat3_c& _m, int _row)
{
    return vec3_c(_m.m[_row][0], _m.m[_row][1], _m.m[_row][2]);
}

// Multiplies _m by the rotation about _axis by _angle.
void TurnAbout(mat3_c& _m, const vec3_c& _axis, float _angle)
{
    mat3_c rotation;
    rotation.SetAxisRotation(_axis, _angle);
    _m *= rotation;
}

} // namespace

// Heading, pitch and bank of an attitude matrix (rows right, up, forward):
// the forward row gives heading and pitch, the up row seen in the frame of
// the unbanked plane gives the bank.
vec3_c AttitudeAngles(const mat3_c& _attitude)
{
    const vec3_c f = Row(_attitude, 2);
    vec3_c u(f.z, 0.0f, -f.x);
    u.NormalizeSelf();
    vec3_c v = Cross(f, u);
    v.NormalizeSelf();
    const vec3_c up = Row(_attitude, 1);
    const float x = Dot(up, u);
    const float y = Dot(up, v);
    const float bank = std::atan2(-x, y);
    const euler_c angles(f, bank);
    return vec3_c(angles.heading, angles.pitch, angles.bank);
}

void game_object_plane_c::UpdateFlight(float _dt)
{
    if (entity == nullptr)
        return;
    vec3_c p = entity->position;
    vec3_c e = entity->rotation;
    if (sinking && !wrecked) {
        if (p.y > -50.0f) {
            // Per step, not per second: the wreck rocks as it goes down.
            const float n = Noise1(lastTime);
            p.y -= (n + 1.0f) * 0.03f;
            e.x += 0.01f * n;
            e.y += 0.1f * n;
            e.z += 0.3f * n;
        }
    } else if (!wrecked) {
        float jitter = 0.0f;
        if (speed > 0.01f && !groundRunEffect)
            jitter = random.Float(-turbulence, turbulence) * 0.01f;

        if (damage == 1.0f || engineFactor == 0.0f) {
            const float noseUp = Row(attitude, 2).y;
            if (noseUp > 0.0f)
                pitchCommand = noseUp;
            rollCommand = rollCommand > 0.0f ? 0.4f : -0.4f;
        }

        const float range = maxVelocity - minVelocity;
        float cruise = minVelocity + (0.5f - 0.2f * damage) * range;
        const float half = 0.5f * range;
        if (p.y > 600.0f)
            cruise -= (p.y - 600.0f) * half * 0.001f;
        const vec3_c f0 = ::Turned(vec3_c(0.0f, 0.0f, 1.0f), e);
        const float target = cruise * Ratio(thrust, maxThrust) - f0.y * half;
        speed += (target - speed) * (1.0f - std::exp2(-0.24f * _dt));
        p += f0 * ((speed + extraSpeed) * _dt);

        const vec3_c right = ::Turned(vec3_c(1.0f, 0.0f, 0.0f), e);
        const float s = -right.y;
        const float speedShare = 0.9f * Ratio(speed, maxVelocity);
        p.y -= std::fabs(s) * (1.0f - speedShare) * _dt * 15.0f;
        float yaw = s * _dt * 0.2f;
        const vec3_c level = ::Turned(vec3_c(1.0f, 0.0f, 0.0f), vec3_c(e.x, e.y, 0.0f));
        p += level * (s * 10.0f * speedShare * _dt);

        float control = 1.0f;
        float nose = 0.0f;
        if (speed < 1.25f * minVelocity) {
            float sink = std::fmin(-0.5f * (1.25f * minVelocity - speed) - 1.0f, 8.0f);
            if (speed < 4.0f)
                sink = (speed + 0.3f) * sink * 0.25f - 1.0f;
            p.y += sink * _dt;
            nose =
                altitude < 2.5f ? (0.15f * minVelocity - speed) * _dt * -0.008f : (minVelocity - speed) * _dt * 0.01f;
            control = Ratio(speed, minVelocity);
        }

        const vec3_c forward = Row(attitude, 2);
        const struct {
            float distance;
            vec3_c home;
        } borders[] = {{p.x, vec3_c(-1.0f, 0.0f, 0.0f)},
                       {-p.x, vec3_c(1.0f, 0.0f, 0.0f)},
                       {p.z, vec3_c(0.0f, 0.0f, -1.0f)},
                       {-p.z, vec3_c(0.0f, 0.0f, 1.0f)}};
        for (const auto& border : borders) {
            const float along = Dot(forward, border.home);
            if (border.distance <= map_limit || along >= 0.8f)
                continue;
            float k = (forward.z * border.home.x - forward.x * border.home.z) * 3.0f;
            if (along < -0.95f)
                k += 0.5f;
            TurnAbout(attitude, vec3_c(0.0f, 1.0f, 0.0f), (border.distance - map_limit) * k * 0.005f * _dt);
        }

        float a0 = jitter - 2.0f * control * rollCommand * _dt;
        float a1 = nose - 1.5f * control * pitchCommand * _dt;
        const float a2 = yaw + 0.5f * (0.7f * control + 0.3f) * yawCommand * _dt;
        if (autoLevel) {
            a1 = f0.y * _dt;
            a0 = -right.y * _dt;
        }
        TurnAbout(attitude, Row(attitude, 2), a0);
        TurnAbout(attitude, Row(attitude, 0), a1);
        TurnAbout(attitude, Row(attitude, 1), a2);
        e = AttitudeAngles(attitude);
    }
    SetPosition(p);
    SetRotation(e);
}

float game_object_plane_c::GroundDistance(const vec3_c& _point, float _height) const
{
    null_object_c* terrain = Terrain();
    float distance = 0.0f;
    vec3_c normal;
    const ray_c ray(vec3_c(_point.x, _point.y + _height, _point.z), vec3_c(0.0f, -1.0f, 0.0f));
    if (terrain == nullptr || !terrain->RayTest(distance, normal, ray, false, true, FLT_MAX))
        return -1.0f;
    return distance;
}

void game_object_plane_c::UpdateAltitude()
{
    const vec3_c p = GetPosition();
    const float distance = GroundDistance(vec3_c(p.x, 0.0f, p.z), probe_height);
    altitude = distance < 0.0f ? probe_height : p.y - (probe_height - distance);
    if (altitude > 5.0f && groundRunEffect) {
        OnGroundRunEnded();
        groundRunEffect = 0;
    }
}

bool game_object_plane_c::IsTouchingGround()
{
    wheelContact = 0;
    if (Terrain() == nullptr || altitude > 10.0f)
        return false;
    const vec3_c points[3] = {contactSegments[0].first, contactSegments[0].second, contactSegments[1].second};
    for (const vec3_c& point : points) {
        const float distance = GroundDistance(ToWorld(point), contact_probe);
        if (distance >= 0.0f && distance < contact_probe) {
            wheelContact = 1;
            break;
        }
    }
    return wheelContact != 0;
}

void game_object_plane_c::UpdateGroundContact(float _dt)
{
    if (Terrain() == nullptr || entity == nullptr)
        return;
    vec3_c points[3] = {ToWorld(contactSegments[0].first), ToWorld(contactSegments[0].second),
                        ToWorld(contactSegments[1].second)};
    vec3_c& left = points[0];
    vec3_c& right = points[1];
    vec3_c& tail = points[2];
    vec3_c before = Cross(tail - left, right - left);
    before.NormalizeSelf();
    for (int i = 0; i < 3; ++i) {
        const float distance = GroundDistance(points[i], contact_probe);
        if (distance < 0.0f || distance >= contact_probe)
            continue;
        const float bump[2] = {points[i].x * 0.5f, points[i].z * 0.5f};
        points[i].y += (distance - contact_probe) + 0.01f * Noise2(bump);
        friction += i < 2 ? 1.0f : 0.4f;
    }
    vec3_c after = Cross(tail - left, right - left);
    after.NormalizeSelf();
    vec3_c e = GetRotation();
    mat3_c local;
    local.SetEuler(euler_c(-e.x, -e.y, -e.z));
    before = before * local;
    after = after * local;
    e.y += (after.z - before.z) * _dt * 40.0f;
    e.z -= (after.x - before.x) * _dt * 40.0f;
    if (altitude < wheel_height) {
        vec3_c p = GetPosition();
        p.y += (wheel_height - altitude) * _dt * 15.0f;
        SetPosition(p);
        e.y -= _dt * speed * 0.04f;
        wheelSpin = speed;
    }
    SetRotation(e);

    if (thrust > 0.7f * maxThrust)
        friction *= 0.35f;
    const bool throttleClosed = thrust < 1.2f * minThrust;
    if (speed < 8.0f && throttleClosed)
        friction *= 4.0f;
    speed *= 1.0f - _dt * friction * 0.2f;
    if (speed < 0.0f || (speed < 1.0f && throttleClosed))
        speed = 0.0f;
    friction = 0.0f;
}

bool game_object_plane_c::CheckTerrainCollision(bool _skip_segments)
{
    if (altitude < 0.0f)
        return true;
    if (altitude > 25.0f || _skip_segments)
        return false;
    null_object_c* terrain = Terrain();
    if (terrain == nullptr)
        return false;
    for (const plane_segment_c& segment : collisionSegments) {
        const vec3_c first = ToWorld(segment.first);
        vec3_c along = ToWorld(segment.second) - first;
        const float length = along.Length();
        along.NormalizeSelf();
        float distance = 0.0f;
        vec3_c normal;
        if (terrain->RayTest(distance, normal, ray_c(first, along), false, true, length) && distance < length)
            return true;
    }
    return false;
}

bool game_object_plane_c::CheckObjectCollision(bool& _into_water)
{
    if (world == nullptr)
        return false;
    for (const plane_segment_c& segment : collisionSegments) {
        const vec3_c first = ToWorld(segment.first);
        vec3_c along = ToWorld(segment.second) - first;
        const float length = along.Length();
        along.NormalizeSelf();
        const ray_c ray(first, along);
        float distance = 0.0f;
        vec3_c normal;
        for (level_scene_c* level : world->GetContext().levelScenes) {
            if (level == nullptr)
                continue;
            for (const auto& placed : level->placedObjects) {
                null_object_c* node = placed->node;
                if (node == nullptr || node == entity || !node->RayTest(distance, normal, ray, true, true, length) ||
                    distance > length)
                    continue;
                PlayAt(groundCrash, groundCrash.shift);
                _into_water = false;
                return true;
            }
            for (const auto& water : level->waters) {
                if (water->entity == nullptr || !water->entity->RayTest(distance, normal, ray, true, false, length) ||
                    distance > length)
                    continue;
                ShowEffects("fx_onWC", GetPosition(), vec3_c(0.0f, 1.0f, 0.0f));
                PlayAt(waterCrash, waterCrash.shift);
                _into_water = true;
                return true;
            }
        }
    }
    return false;
}

bool game_object_plane_c::IsFlyable() const
{
    if (destroyed)
        return false;
    return altitude < 2.0f || speed >= minVelocity;
}

void game_object_plane_c::SetRudder(float _x)
{
    for (int part : rudders)
        if (null_object_c* node = GetPart(part))
            node->rotation.x = -0.4f * _x;
}

void game_object_plane_c::SetElevator(float _x)
{
    for (int part : elevators)
        if (null_object_c* node = GetPart(part))
            node->rotation.y = 0.4f * _x;
}

void game_object_plane_c::SetAilerons(float _x)
{
    for (int part : rightAilerons)
        if (null_object_c* node = GetPart(part))
            node->rotation.y = 0.4f * _x;
    for (int part : leftAilerons)
        if (null_object_c* node = GetPart(part))
            node->rotation.y = -0.4f * _x;
}

void game_object_plane_c::UpdateAirscrew(float _time)
{
    const float dt = _time - lastTime;
    lastTime = _time;
    null_object_c* fast = GetPart(airscrewFast);
    null_object_c* slow = GetPart(airscrewSlow);
    if (modelView == plane_view_none || modelView == plane_view_burned || modelView == plane_view_crashed) {
        for (null_object_c* part : {fast, slow})
            if (part)
                part->SetVisibility(false, false);
        return;
    }
    float turn = (-2.0f - 3.0f * Ratio(thrust - minThrust, maxThrust - minThrust)) * dt;
    if (!engineRunning)
        turn *= timeSinceEngineStop < 5.0f ? (5.0f - timeSinceEngineStop) * 10.0f : 0.0f;
    for (null_object_c* part : {fast, slow})
        if (part)
            part->rotation.z += turn;
    if (null_object_c* engine = GetPart(outEngine))
        engine->rotation.z += 5.0f * turn;
    const bool showFast = !(engineFactor == 0.0f || (!engineRunning && timeSinceEngineStop > 2.0f));
    fastAirscrew = showFast ? 1 : 0;
    if (fast)
        fast->SetVisibility(showFast, false);
    if (slow)
        slow->SetVisibility(!showFast, false);
}

void game_object_plane_c::UpdateWheels(float _dt)
{
    null_object_c* left = GetPart(wheelLeft);
    null_object_c* right = GetPart(wheelRight);
    if (left && right) {
        for (null_object_c* wheel : {left, right}) {
            vec3_c turn = wheel->pivotRotation;
            turn.y += _dt * wheelSpin * 2.7777777f;
            wheel->SetPivotRotation(turn);
        }
    }
    wheelSpin = std::fmax(0.0f, wheelSpin - 2.0f * _dt);
}

void game_object_plane_c::UpdateInstruments(float _engine_needle, float _compass_angle, float _altimeter_angle,
                                            float _dt)
{
    if (null_object_c* needle = GetPart(arrow1)) {
        if (engineRunning) {
            engineNeedle = _engine_needle;
        } else if (engineNeedle < -1.5f) {
            engineNeedle += _dt;
        }
        needle->rotation.z = engineNeedle;
    }
    if (null_object_c* dial = GetPart(compass))
        dial->rotation.x = _compass_angle;
    if (null_object_c* altimeter = GetPart(arrow2))
        altimeter->rotation.z = _altimeter_angle;
}

float game_object_plane_c::GetEngineLoad() const
{
    const vec3_c f = GetForward();
    const float t = std::fmax(thrust, 0.5f);
    return 1.0f - ((1.0f - t) * 0.35f + (1.0f - Ratio(speed, maxVelocity)) * 0.35f + 0.3f -
                   (1.0f - (f.y + 1.0f) * 0.5f) * 0.3f);
}
