#pragma once
// mission_scenery_c: what gives a level life without taking part in the
// fight: the clouds, the bird flock and the crowd. The level's "clouds",
// "birds" and "crowds" sections make each on first use (through the
// mission object factory); the in-game state owns them for the mission and
// steps them once a frame after the world. Their models belong to the
// game scene.
#include "foundation/vector_math.h"
#include "game/birds.h"
#include "game/clouds.h"
#include "game/crowds.h"

#include <map>
#include <memory>

class mission_scenery_c {
public:
    // The clouds turn with _camera_bank; the crowd runs from _player.
    void Update(f32 _time, f32 _dt, const vec3_c& _player, f32 _camera_bank);

    std::unique_ptr<cloud_layer_c> clouds;
    std::unique_ptr<bird_flock_c> birds;
    std::unique_ptr<crowd_c> crowd;
    // The crowd's area index of each area record of the "crowds" scenes.
    std::map<const void*, i32> crowdAreas;
};
