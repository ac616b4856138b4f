#pragma once
// mission_object_factory_c: where level loading gets the game objects, the
// birds, the crowds and the clouds that a level script's sections ask for.
// The section readers (game/level_sections.h) read and check every key,
// work out the values the objects start with, and hand them here; what the
// factory returns is then named, given its script and activation points and
// added to the world by the section, in the order of the section's steps.
//
// Each operation of this base throws std::runtime_error naming the section,
// such as "aaguns objects are not built yet": a level that needs a kind of
// object the game cannot make yet fails to load with that message instead
// of losing the objects silently. The object classes override what they
// build.
#include "foundation/text_string.h"
#include "foundation/vector_math.h"

#include <memory>

class area_record_c;
class game_object_c;
class level_scene_c;
class mission_scenery_c;
class placed_object_c;
class renderer_c;
class scene_c;
class sound_system_c;
class terrain_c;
class walk_path_c;

// The devices and scene every object of a mission is made with.
struct mission_devices_c {
    renderer_c* renderer = nullptr;
    sound_system_c* sound = nullptr;
    scene_c* scene = nullptr;
    terrain_c* terrain = nullptr; // null when the level has none
    // Where the birds, the crowd and the clouds are kept; the scenery
    // operations throw std::logic_error without it.
    mission_scenery_c* scenery = nullptr;
};

// "agility", "burst_delay", "burst_length", "shooting_delay", "max_yaw_dot".
struct aagun_setup_c {
    f32 agility = 1.2f;
    f32 burstDelay = 3.0f;
    i32 burstLength = 3;
    f32 shootingDelay = 1.0f;
    f32 maxYawDot = -1.0f;
};

// The flags a vehicle copies from its placed object; the has- flags tell
// which were present (an absent one keeps the vehicle's own default).
struct vehicle_setup_c {
    walk_path_c* path = nullptr;
    bool hasStopped = false, stopped = false;
    bool hasAlwaysActive = false, alwaysActive = false;
    bool hasSnapTo = false;
    i32 snapTo = 0;
    bool hasNoInitEffects = false, noInitEffects = false;
};

// A computer plane of a "planes" section or of a multiplayer game.
struct computer_plane_setup_c {
    f32 skill = 0.0f;
    f32 controlGain = 0.0f;
    f32 rangeA = 600.0f;
    f32 rangeB = 300.0f;
    f32 speed = 30.0f;
    i32 rockets = 8;
    i32 bombs = 99;
    i32 modelView = 4;
    // Multiplayer computer planes are loaded from a plane file; the planes
    // of a "planes" section from their placed object's template.
    string_c planeFile;
    // -1 outside a multiplayer game.
    i32 networkId = -1;
    // "Axis_<n>" / "Ally_<n>" in a section, "<side>_<n>" in multiplayer.
    string_c displayName;
};

// The player's plane of a "user" section.
struct user_plane_setup_c {
    string_c planeFile;
    vec3_c position;
    vec3_c rotation;
    i32 rockets = 8;
    i32 bombs = 10;
    i32 modelView = 1;
    // Empty outside a multiplayer game (the plane keeps its own name).
    string_c displayName;
};

// The "clouds" section's keys.
struct clouds_setup_c {
    string_c colorMap1;
    string_c colorMap2;
    f32 height = 0.0f;
    f32 spread = 0.0f;
    f32 size = 0.0f;
    f32 density = 0.0f;
    f32 graphicDetail = 1.0f; // the options' value, 0..1
};

class mission_object_factory_c {
public:
    virtual ~mission_object_factory_c() = default;

    virtual std::unique_ptr<game_object_c> CreateAagun(placed_object_c& _placed, const aagun_setup_c& _setup,
                                                       const mission_devices_c& _devices);
    virtual std::unique_ptr<game_object_c> CreateZeppelin(placed_object_c& _placed, walk_path_c* _path,
                                                          const mission_devices_c& _devices);
    virtual std::unique_ptr<game_object_c> CreateVehicle(placed_object_c& _placed, const vehicle_setup_c& _setup,
                                                         const mission_devices_c& _devices);
    virtual std::unique_ptr<game_object_c> CreateFlak(placed_object_c& _placed, const mission_devices_c& _devices);
    // One object for every boat of the section's level scene.
    virtual std::unique_ptr<game_object_c> CreateYachts(level_scene_c& _level, const mission_devices_c& _devices);
    virtual std::unique_ptr<game_object_c> CreateBalloon(placed_object_c& _placed, f32 _ground_height,
                                                         const mission_devices_c& _devices);
    // _placed is null for a multiplayer computer plane.
    virtual std::unique_ptr<game_object_c> CreateComputerPlane(placed_object_c* _placed,
                                                               const computer_plane_setup_c& _setup,
                                                               const mission_devices_c& _devices);
    virtual std::unique_ptr<game_object_c> CreateUserPlane(const user_plane_setup_c& _setup,
                                                           const mission_devices_c& _devices);
    // One group of the mission's bird flock.
    virtual void AddBirds(const vec3_c& _position, const string_c& _type, i32 _count, f32 _spread, f32 _fly_speed,
                          const mission_devices_c& _devices);
    // One walker of a crowd area: the "model run" text, the text after it
    // and the count after that.
    virtual void AddCrowd(area_record_c& _area, const string_c& _model_run, const string_c& _second, i32 _count,
                          const mission_devices_c& _devices);
    virtual void CreateClouds(const clouds_setup_c& _setup, const mission_devices_c& _devices);
};
