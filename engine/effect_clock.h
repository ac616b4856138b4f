#pragma once
// effect_clock_c: the own clock of a particle emitter or a trail, which only
// runs forwards, so what is already drawn keeps moving smoothly through a
// rewind or a loop of the scene; and the greatest speed its object has
// moved at, which sizes the effect's bounds.
#include "foundation/types.h"
#include "foundation/vector_math.h"

class effect_clock_c {
public:
    f32 time = 0.0f;
    f32 previousTime = 0.0f;
    f32 lastLocalTime = 0.0f;
    vec3_c previousWorldPosition;
    f32 greatestSpeed = 0.0f;
    bool havePreviousPosition = false;

    // Adds the step from the last local time. A step backwards leaves the
    // time alone, forgets the previous position and returns true so the
    // owner restarts its emission.
    bool Advance(f32 _local_time);
    // The speed since the previous position, when time went on; the greatest
    // speed only grows.
    void TrackSpeed(const vec3_c& _world_position);
};
