#include "game/mission_scenery.h"

void mission_scenery_c::Update(f32 _time, f32 _dt, const vec3_c& _player, f32 _camera_bank)
{
    if (birds)
        birds->Update(_time);
    if (crowd)
        crowd->Update(_dt, _player);
    if (clouds)
        clouds->Update(_time, -_camera_bank);
}
