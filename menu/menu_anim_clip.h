#pragma once
// menu_anim_clip_c: a stretch of a control's body-scene animation (disabled,
// enabled, pointer-over, action looks), played from a start time.
#include "foundation/types.h"

class scene_c;

class menu_anim_clip_c {
public:
    f32 firstTime = 0.0f;
    f32 lastTime = 0.0f;
    u32 looping = 0;
    f32 startTime = 0.0f;

    void Set(f32 _first, f32 _last, bool _looping);
    // Starts the stretch on the scene at _time (nothing without a scene) and
    // keeps _time as the start; true when the clip loops.
    bool Play(scene_c* _scene, f32 _time);
};
