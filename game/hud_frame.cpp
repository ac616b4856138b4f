#include "game/hud_frame.h"

#include "game/game_world.h"
#include "game/objects/plane.h"

hud_frame_c GatherHudFrame(f32 _time, const game_object_c* _player, const game_world_c& _world, const camera_c* _camera)
{
    hud_frame_c frame;
    frame.time = _time;
    frame.camera = _camera;
    frame.alliedCount = static_cast<i32>(_world.CountAlivePlanes(1));
    frame.germanCount = static_cast<i32>(_world.CountAlivePlanes(-1));
    frame.playerDestroyed = _player == nullptr || _player->destroyed != 0;
    if (_player == nullptr)
        return frame;
    frame.playerPosition = _player->GetPosition();
    frame.playerRotation = _player->GetRotation();
    frame.nearestFriendly = _world.NearestPlanePosition(_player->side, frame.playerPosition);
    frame.nearestEnemy = _world.NearestEnemyPlanePosition(_player->side, frame.playerPosition);
    if (const auto* plane = dynamic_cast<const game_object_plane_c*>(_player)) {
        frame.gunOffset = plane->GetGunHeight();
        frame.gunHeat = plane->GetGunHeat();
        frame.rockets = plane->GetRocketCount();
        frame.bombs = plane->GetBombCount();
    }
    return frame;
}
