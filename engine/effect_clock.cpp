#include "engine/effect_clock.h"

bool effect_clock_c::Advance(f32 _local_time)
{
    previousTime = time;
    const f32 step = _local_time - lastLocalTime;
    lastLocalTime = _local_time;
    if (step < 0.0f) {
        havePreviousPosition = false;
        return true;
    }
    time += step;
    return false;
}

void effect_clock_c::TrackSpeed(const vec3_c& _world_position)
{
    if (havePreviousPosition && time > previousTime) {
        const f32 speed = (_world_position - previousWorldPosition).Length() / (time - previousTime);
        if (speed > greatestSpeed)
            greatestSpeed = speed;
    }
    havePreviousPosition = true;
}
