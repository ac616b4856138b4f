#pragma once
// bird_flock_c: the birds of a level. Each bird drifts on a noise field
// (BirdFlow) around its home point: every sixth frame (staggered over the
// birds) it steers by the field at its place, flying level; every frame it
// moves along its direction at its speed and 2 units a second toward home,
// so a flock wanders but never leaves.
//
// A bird's type names its model file: the first bird of a type loads it,
// and every bird flies a clone of it, added to the scene with a random
// animation phase of 0 to 1 s. The loaded models belong to the flock, the
// clones to the scene.
//
// The frame counter that staggers the steering belongs to the flock (not
// to the process), and the random places and phases come from the flock's
// own generator, so the same steps give the same flight. A flock without
// birds does nothing; a direction the field cancels out stays as it was.
#include "foundation/random_numbers.h"
#include "foundation/text_string.h"
#include "foundation/vector_math.h"

#include <memory>
#include <vector>

class aggregate_c;
class null_object_c;
class renderer_c;

// The most birds one placed flock makes.
inline constexpr i32 bird_max_count = 1000;

// The steering field at (x, z) at _time for bird _index.
vec3_c BirdFlow(f32 _x, f32 _z, f32 _time, u32 _index);

struct bird_c {
    vec3_c home;
    vec3_c position;
    vec3_c direction; // level, unit
    f32 speed = 0.0f;
    null_object_c* model = nullptr; // in the scene
};

class bird_flock_c {
public:
    bird_flock_c();
    ~bird_flock_c();
    bird_flock_c(const bird_flock_c&) = delete;
    bird_flock_c& operator=(const bird_flock_c&) = delete;

    // _count birds around _centre: x and z within +-_spread, y within
    // +-0.1 x _spread; a count from the level above bird_max_count makes
    // that many. file_error_c when the model cannot be read.
    void Create(const vec3_c& _centre, const string_c& _type, aggregate_c* _scene, renderer_c* _renderer, i32 _count,
                f32 _spread, f32 _fly_speed);
    void AddBird(const vec3_c& _position, const string_c& _type, f32 _speed, aggregate_c* _scene,
                 renderer_c* _renderer);
    void Update(f32 _time);

    const std::vector<bird_c>& GetBirds() const { return birds; }

    random_c random;

private:
    struct bird_model_c {
        string_c type;
        std::unique_ptr<null_object_c> model;
    };

    const null_object_c* ModelOf(const string_c& _type, renderer_c* _renderer);

    std::vector<bird_model_c> models;
    std::vector<bird_c> birds;
    f32 lastUpdateTime = 0.0f;
    u32 frameCounter = 0;
};
