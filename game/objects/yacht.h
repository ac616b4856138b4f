#pragma once
// game_object_yachts_c: the boats of a harbour rocking on the water (type
// 10, the "yachts" section). One object stands for every boat of the
// section; it neither moves along a path nor fights, and has no entity of
// its own.
//
// SetBoats takes the section's level scene: the boats are its placed
// objects' nodes, in the scene's order (objects without a node are passed
// over), and the rocking rate (0.3 by default) is the "move_speed" of the
// first group of the first boat's template, when it has one. Boat i banks
// by sin((i + phase) x rate) x rate x 0.6 radians, the phase counting the
// seconds since the mission start; heading and pitch stay as placed.
#include "game/objects/game_object.h"

#include <vector>

class level_scene_c;

class game_object_yachts_c : public game_object_c {
public:
    void SetBoats(level_scene_c& _boats);

    int GetType() const override { return object_yachts; }
    void Update(float _time) override;
    void OnMissionStart(float _time) override;

    std::vector<null_object_c*> boats;
    f32 phase = 0.0f;
    f32 lastUpdateTime = 0.0f;
    f32 rockingRate = 0.3f;
};
