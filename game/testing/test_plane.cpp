#include "game/testing/test_plane.h"

void test_plane_c::SetRotation(const vec3_c& _rotation)
{
    game_object_plane_c::SetRotation(_rotation);
    SetAttitude(_rotation);
}

void test_plane_c::Update(float _time)
{
    const float dt = lastUpdate < 0.0f ? 0.0f : _time - lastUpdate;
    lastUpdate = _time;
    const vec3_c before = GetPosition();
    if (!IsWrecked() && !sinking) {
        UpdateAirscrew(_time);
        SetCommands(roll, pitch, yaw);
        SetAilerons(roll);
        SetElevator(pitch);
        SetRudder(yaw);
        UpdateFlight(dt);
        if (trigger)
            FireGuns(_time);
        UpdateSounds(dt);
        UpdateEffects(_time);
        bool water = false;
        if (CheckObjectCollision(water)) {
            damage = 1.0f;
            destroyed = 1;
            sinking = water ? 1 : 0;
        }
        if (CheckTerrainCollision(false)) {
            CrashOnGround(_time);
            ++crashes;
        } else if (IsTouchingGround()) {
            UpdateGroundContact(dt);
        }
        UpdateWheels(dt);
    } else {
        UpdateSounds(dt);
        UpdateEffects(_time);
        UpdateAirscrew(_time);
        UpdateFlight(dt);
    }
    if (dt > 0.0f)
        velocity = (GetPosition() - before) / dt;
}
