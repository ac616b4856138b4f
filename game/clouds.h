#pragma once
// cloud_layer_c: the clouds of a level, rings of 12 camera-facing sprites
// scattered at random over the level around a height. Each frame the
// sprites roll slowly (one radian a second) and every cloud turns with the
// camera's bank, so the layer seems to stay level while the plane rolls.
//
// The number of clouds is 1 + round((detail x 0.8 + 0.2) x spread^2 x
// density x 1e-6), detail being the graphic detail (0..1); a spread or
// density from the level that would ask for more than 4096 clouds (or is
// not a number) gives 4096 (or 1), so a bad level cannot exhaust memory.
//
// The clouds belong to the scene they are added to; the layer keeps
// pointers to them. Random places and sprites come from the layer's own
// generator.
#include "foundation/random_numbers.h"
#include "foundation/vector_math.h"

#include <vector>

class aggregate_c;
class renderer_c;

inline constexpr u32 cloud_sprite_count = 12;
inline constexpr u32 cloud_max_count = 4096;

class cloud_layer_c {
public:
    void Create(f32 _graphic_detail, f32 _density, f32 _size, f32 _spread, f32 _height, const char* _color_map1,
                const char* _color_map2, aggregate_c* _scene, renderer_c* _renderer);
    // One ring of _sprites sprites of about _size around _position, each
    // with one of the two maps; added to _scene.
    aggregate_c* MakeCloud(const vec3_c& _position, f32 _size, u32 _sprites, aggregate_c* _scene, renderer_c* _renderer,
                           const char* _color_map1, const char* _color_map2);
    // _turn: the camera's bank, negated.
    void Update(f32 _time, f32 _turn);

    // How many clouds Create makes for these values.
    static u32 CloudCount(f32 _graphic_detail, f32 _density, f32 _spread);

    const std::vector<aggregate_c*>& GetClouds() const { return clouds; }

    random_c random;

private:
    std::vector<aggregate_c*> clouds;
    f32 lastUpdateTime = 0.0f;
};
