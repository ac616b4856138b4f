#include "menu/menu_anim_clip.h"

#include "engine/scene.h"

void menu_anim_clip_c::Set(f32 _first, f32 _last, bool _looping)
{
    firstTime = _first;
    lastTime = _last;
    looping = _looping ? 1 : 0;
}

bool menu_anim_clip_c::Play(scene_c* _scene, f32 _time)
{
    startTime = _time;
    if (_scene)
        _scene->Play(_time, firstTime, lastTime, looping != 0);
    return looping != 0;
}
