#include "game/testing/flat_ground.h"

#include "engine/terrain_builder.h"

#include <vector>

std::unique_ptr<terrain_c> MakeFlatGround(renderer_c* _renderer, float _height)
{
    constexpr u32 side = 65;
    constexpr float spacing = 100.0f;
    const std::vector<f32> heights(side * side, 0.0f);
    std::unique_ptr<terrain_c> ground(BuildTerrain("ground", _renderer, heights.data(), side, spacing, 8));
    const float half = spacing * static_cast<float>(side - 1) * 0.5f;
    ground->position = vec3_c(-half, _height, half);
    ground->SetVisibility(true, true);
    ground->UpdateTransform(nullptr);
    return ground;
}
