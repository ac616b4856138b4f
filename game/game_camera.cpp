#include "game/game_camera.h"

#include "engine/camera.h"
#include "engine/null_object.h"
#include "engine/scene.h"
#include "game/vector_helpers.h"

#include <cmath>

namespace {

constexpr f32 cockpit_zoom = 1.5f;
constexpr f32 outside_zoom = 3.2f;
constexpr f32 ground_clearance = 10.0f;
constexpr f32 ray_height = 1000.0f;
constexpr double shake_period = 0.3;
constexpr f32 shake_size = 0.02f;
constexpr f32 vibration_scale = 0.005f;
constexpr f32 shake_speed = 1.0f;
constexpr f32 cockpit_pitch = 0.18f;
constexpr f32 follow_rate = 3.0f;
constexpr f32 fly_by_reach = 150.0f;
constexpr f32 fly_by_lead = 50.0f;
constexpr f32 orbit_turn = 0.09f;
constexpr f32 orbit_growth = 20.0f;
const vec3_c vertical(0.0f, 1.0f, 0.0f);

vec3_c Row(const mat3_c& _m, int _row)
{
    return vec3_c(_m.m[_row][0], _m.m[_row][1], _m.m[_row][2]);
}

} // namespace

game_camera_c::game_camera_c() : ownCamera(std::make_unique<camera_c>("game_camera"))
{
    camera = ownCamera.get();
    random.SetSeed(0x63616D);
}

game_camera_c::~game_camera_c() = default;

void game_camera_c::Init(scene_c* _scene)
{
    camera = ownCamera.get();
    if (_scene == nullptr)
        return;
    camera = _scene->GetActiveCamera();
    if (camera == nullptr)
        camera = _scene->CreateCamera("game_camera");
    if (camera == nullptr)
        camera = ownCamera.get();
}

void game_camera_c::SetMode(i32 _mode)
{
    if (_mode == camera_orbit) {
        orbitCentreSet = 0;
        orbitAngle = 0.0f;
        orbitDistance = orbit_start;
    }
    mode = _mode;
    camera->zoom = _mode == camera_cockpit ? cockpit_zoom : outside_zoom;
    changed = 1;
}

void game_camera_c::SetLook(f32 _x, f32 _y)
{
    lookX = _x;
    lookY = _y;
}

void game_camera_c::SetPosition(const vec3_c& _position)
{
    camera->position = _position;
    Refresh();
}

void game_camera_c::SetRotation(const vec3_c& _rotation)
{
    ClearPivot();
    camera->rotation = _rotation;
    Refresh();
}

vec3_c game_camera_c::GetPosition() const
{
    return camera->position;
}

vec3_c game_camera_c::GetRotation() const
{
    return camera->rotation;
}

const mat4x3_c& game_camera_c::GetViewMatrix() const
{
    return camera->GetInverseMatrix();
}

vec3_c game_camera_c::ClampAboveGround(const vec3_c& _point, f32 _clearance, null_object_c* _terrain)
{
    if (_terrain == nullptr)
        return _point;
    const vec3_c start(_point.x, _point.y + ray_height, _point.z);
    f32 distance = ray_miss;
    vec3_c normal;
    if (!_terrain->RayTest(distance, normal, ray_c(start, vec3_c(0.0f, -1.0f, 0.0f)), true, true, ray_miss))
        return _point;
    const f32 ground = start.y - distance;
    if (_point.y - ground > _clearance)
        return _point;
    return vec3_c(_point.x, ground + _clearance, _point.z);
}

void game_camera_c::Update(double _time, const camera_target_c& _target, null_object_c* _terrain)
{
    const f32 dt = updated ? static_cast<f32>(_time - lastUpdate) : 0.0f;
    switch (mode) {
    case camera_cockpit: UpdateSeat(dt, _time, _target, _target.insideShift, shake_cockpit); break;
    case camera_behind: UpdateBehind(dt, _target, _terrain); break;
    case camera_guns:
        if (lookActive) {
            Face(_target.position + Turned(vec3_c(0.0f, 0.0f, 1.0f), _target.rotation) * -10.0f, _target.position);
            changed = 1;
        } else {
            UpdateSeat(dt, _time, _target, _target.overgunsShift, shake_guns);
        }
        break;
    case camera_fly_by: UpdateFlyBy(_target, _terrain); break;
    case camera_orbit: UpdateOrbit(dt, _target, _terrain); break;
    case camera_high: {
        vec3_c back(0.0f, 1.0f, -0.3f);
        back.Rotate(1, _target.rotation.x);
        Face(_target.position + back * 35.0f, _target.position);
        break;
    }
    default: break;
    }
    Refresh();
    lastUpdate = _time;
    updated = 1;
}

void game_camera_c::UpdateSeat(f32 _dt, double _time, const camera_target_c& _target, const vec3_c& _shift, int _timer)
{
    camera->position = _target.position + Turned(_shift, _target.rotation);
    if (_target.speed > shake_speed) {
        if (!shakeTimerSet[_timer]) {
            shakeTimerSet[_timer] = 1;
            shakeTimers[_timer] = _time;
        }
        if (_time - shakeTimers[_timer] > shake_period) {
            shakeGoal = vec3_c{random.Float(-shake_size, shake_size), random.Float(-shake_size, shake_size),
                               random.Float(-shake_size, shake_size)};
            shakeTimers[_timer] = _time;
        }
        shake += (shakeGoal - shake) * _dt;
    }
    shake.z += random.Float(-_target.vibration, _target.vibration) * vibration_scale;
    camera->SetPivotRotation(_target.rotation + shake);
    if (_timer == shake_guns) {
        camera->rotation = vec3_c();
    } else if (lookActive) {
        const f32 pitch = cockpit_pitch + lookY * (lookY <= 0.0f ? 1.5f : 0.8f);
        camera->rotation = vec3_c(lookX * 2.2f, pitch, 0.0f);
    } else {
        camera->rotation = vec3_c(0.0f, cockpit_pitch, 0.0f);
    }
}

void game_camera_c::UpdateBehind(f32 _dt, const camera_target_c& _target, null_object_c* _terrain)
{
    if (lookActive) {
        const vec3_c ahead = Turned(vec3_c(0.01f, 0.15f, 1.0f), _target.rotation) * 15.0f;
        Face(ClampAboveGround(_target.position + ahead, ground_clearance, _terrain), _target.position);
        changed = 1;
        return;
    }
    const vec3_c forward = Turned(vec3_c(0.0f, 0.0f, 1.0f), _target.rotation);
    const vec3_c up = Turned(vertical, _target.rotation);
    const vec3_c goal_position =
        ClampAboveGround(_target.position - forward * 23.0f + up * 4.0f, ground_clearance, _terrain);
    const vec3_c goal_point = _target.position + forward * 4.0f + up * 4.0f;
    const vec3_c goal_look = Unit(goal_point - goal_position);
    const vec3_c goal_side = Unit(Cross(up, goal_look));

    vec3_c look;
    vec3_c side;
    if (changed) {
        look = goal_look;
        side = goal_side;
        changed = 0;
    } else {
        mat3_c frame;
        frame.SetEuler(euler_c(camera->rotation.x, camera->rotation.y, camera->rotation.z));
        side = Row(frame, 0);
        look = Row(frame, 2);
        side += (goal_side - side) * (follow_rate * _dt);
        look += (goal_look - look) * (follow_rate * _dt);
    }
    look = Unit(look);
    const vec3_c frame_up = Unit(Cross(look, side));
    side = Unit(Cross(frame_up, look));

    const vec3_c& shift = _target.outsideShift;
    ClearPivot();
    camera->position = _target.position + look * shift.z + frame_up * shift.y;
    // The roll is the frame's up measured in the level frame of the look
    // axis.
    const vec3_c level_side = Unit(Cross(vertical, look));
    const vec3_c level_up = Unit(Cross(look, level_side));
    const f32 roll = std::atan2(-Dot(frame_up, level_side), Dot(frame_up, level_up));
    const euler_c aim(look, roll);
    camera->rotation = vec3_c(aim.heading, aim.pitch, aim.bank);
}

void game_camera_c::UpdateFlyBy(const camera_target_c& _target, null_object_c* _terrain)
{
    vec3_c position = camera->position;
    if ((position - _target.position).Length() >= fly_by_reach) {
        const vec3_c lead = Unit(Turned(vec3_c(random.Float(-0.4f, 0.4f), 0.0f, 1.0f), _target.rotation));
        position = ClampAboveGround(_target.position + lead * fly_by_lead, ground_clearance, _terrain);
    }
    Face(position, _target.position);
}

void game_camera_c::UpdateOrbit(f32 _dt, const camera_target_c& _target, null_object_c* _terrain)
{
    if (!orbitCentreSet) {
        orbitCentre = _target.position;
        orbitCentreSet = 1;
    }
    vec3_c out(0.0f, 0.2f, 1.0f);
    out.Rotate(1, orbitAngle);
    Face(ClampAboveGround(orbitCentre + Unit(out) * orbitDistance, ground_clearance, _terrain), orbitCentre);
    orbitAngle += _dt * orbit_turn;
    if (orbitDistance < orbit_limit)
        orbitDistance += _dt * orbit_growth;
}

void game_camera_c::Face(const vec3_c& _position, const vec3_c& _point)
{
    ClearPivot();
    camera->position = _position;
    const euler_c aim(_point - _position);
    camera->rotation = vec3_c(aim.heading, aim.pitch, 0.0f);
}

void game_camera_c::ClearPivot()
{
    camera->SetPivotRotation(vec3_c());
}

void game_camera_c::Refresh()
{
    camera->UpdateTransform(nullptr);
}
