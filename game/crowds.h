#pragma once
// crowd_c: people on the ground. Each area of a "crowds" scene (a box with
// a centre and a size: the area's position and scale) holds figures that
// walk about, turning at random every 10 to 20 s, and run away from the
// player: a walking figure nearer than 100.0 to him flees (its fleeing
// model shown, facing away from him), a fleeing one walks again at 105.0 or
// more; between the two it keeps what it does. Only the area nearest the
// player (its centre or a corner, within 2000.0) moves, chosen anew when he
// has gone 500.0 from where it was last chosen.
//
// Ground: each area samples the terrain below its own box once, when it is
// added (ground_height_map_c; flat at the area's height without a terrain).
// A figure whose next step would leave its area's box, or step where no
// ground was found, turns by 1.6 to 4.5 radians instead of moving, so the
// figures stay in their areas.
//
// Models: a figure has a fleeing and a walking model (the pair of names of
// a "model run" triple). The first pair of a pair of names is loaded from
// its files (speeds 3.0 fleeing, 0.2 walking); every further figure with
// those names gets clones of the first pair (speeds 5.0 and 2.0). Each
// figure has a pair of its own, also when several areas use the same
// names. The models belong to the scene they are added to.
//
// Random turns, headings and animation phases come from the crowd's own
// generator: the same steps give the same crowd.
#include "foundation/random_numbers.h"
#include "foundation/text_string.h"
#include "foundation/vector_math.h"
#include "game/ground_height_map.h"

#include <memory>
#include <vector>

class aggregate_c;
class area_record_c;
class crowd_area_c;
class null_object_c;
class renderer_c;

// The two models of one figure and how fast it moves with each.
struct crowd_model_c {
    string_c fleeingName;
    string_c walkingName;
    null_object_c* fleeing = nullptr; // in the scene
    null_object_c* walking = nullptr; // in the scene
    f32 fleeingSpeed = 0.0f;
    f32 walkingSpeed = 0.0f;
};

// The most figures one "model run" triple makes.
inline constexpr i32 crowd_max_figures = 1000;

enum crowd_state_e : u32 {
    crowd_walking = 0,
    crowd_fleeing = 1,
};

class crowd_member_c {
public:
    // Walking at the area's centre with a random heading and wait.
    void Init(crowd_model_c* _models, crowd_area_c* _area, random_c& _random);
    // One step toward or away from the player at _player.
    void Update(f32 _dt, const vec3_c& _player, random_c& _random);

    u32 state = crowd_walking;
    vec3_c position;
    f32 heading = 0.0f;
    crowd_model_c* models = nullptr;
    crowd_area_c* area = nullptr;
    f32 waitTime = 0.0f;

private:
    void Turn(f32 _heading);
    void Place();
    void Show(u32 _state);
};

class crowd_area_c {
public:
    vec3_c centre;
    vec3_c corners[4]; // centre +- half the size in x and z
    ground_height_map_c ground;
    std::vector<crowd_member_c> members;
};

class crowd_c {
public:
    crowd_c();
    ~crowd_c();
    crowd_c(const crowd_c&) = delete;
    crowd_c& operator=(const crowd_c&) = delete;

    // A new area from the record's centre and size over the terrain's
    // ground (_terrain may be null); its index.
    i32 AddPath(const area_record_c& _area, null_object_c* _terrain);
    // _count figures in area _area (an index AddPath gave; others are
    // ignored) over models of that pair of names, loaded with _renderer and
    // added to _scene; a count from the level above crowd_max_figures
    // makes that many. file_error_c when a model file cannot be read.
    void Create(i32 _area, const string_c& _fleeing, const string_c& _walking, i32 _count, renderer_c* _renderer,
                aggregate_c* _scene);
    void Update(f32 _dt, const vec3_c& _player);

    u32 GetAreaCount() const { return static_cast<u32>(areas.size()); }
    crowd_area_c& GetArea(u32 _index) { return *areas[_index]; }
    i32 GetCurrentArea() const { return currentArea; }

    // Far below the world, so the first update chooses an area.
    vec3_c referencePoint = vec3_c(0.0f, -10000.0f, 0.0f);
    i32 currentArea = -1;
    random_c random;

private:
    // The figures of one pair of names.
    struct figure_group_c {
        string_c fleeingName;
        string_c walkingName;
        std::vector<std::unique_ptr<crowd_model_c>> models;
    };

    figure_group_c& FindGroup(const string_c& _fleeing, const string_c& _walking);
    void ChooseArea(const vec3_c& _player);

    std::vector<std::unique_ptr<figure_group_c>> groups;
    std::vector<std::unique_ptr<crowd_area_c>> areas;
};
