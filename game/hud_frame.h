#pragma once
// What the in-game state hands the HUD each frame, gathered from the world
// and the player's plane: its place and attitude, gun height and heat,
// weapons left and fate; the nearest plane of its side and of the other;
// the alive planes of each side. Without a player's plane the HUD shows
// the counts only (the sight is hidden, the player stands at the origin).
#include "game/hud.h"

class game_world_c;

hud_frame_c GatherHudFrame(f32 _time, const game_object_c* _player, const game_world_c& _world,
                           const camera_c* _camera);
