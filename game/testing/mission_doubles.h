#pragma once
// Doubles for the in-game state's tests: game objects that record the
// orders, views and throttle changes they are given, a factory that makes
// them for every section, and an application with a recording renderer,
// files in memory and an input layer whose actions tests set by hand.
#include "app/application.h"
#include "app/testing/app_doubles.h"
#include "engine/null_object.h"
#include "engine/testing/recording_renderer.h"
#include "game/mission_object_factory.h"
#include "game/object_links.h"
#include "game/objects/game_object.h"
#include "game/testing/mission_builder.h"
#include "input/controllers.h"
#include "level/testing/memory_files.h"
#include "platform/dinput8/script_input.h"

#include <memory>
#include <string>
#include <vector>

namespace game_testing {

using journal_t = std::vector<std::string>;

// Any kind of game object; every link operation is written to the journal
// as "<name> <operation> <values>".
class test_object_c : public game_object_c,
                      public player_plane_link_c,
                      public computer_plane_orders_c,
                      public vehicle_motion_c,
                      public scored_plane_link_c {
public:
    test_object_c(int _type, journal_t& _journal) : type(_type), journal(_journal) {}

    int GetType() const override { return type; }
    // Throws std::runtime_error("<name> broke") while throwOnUpdate is set.
    void Update(float) override;
    void OnMissionStart(float) override { ++starts; }
    void TakeDamage(const vec3_c&, const vec3_c&, float _amount, game_object_c*, int) override;

    void ChangeThrottle(float _delta) override { throttle += _delta; }
    void SetModelView(int _view) override;
    bool IsOnGround() const override { return onGround; }
    void SetExtraSpeed(float _speed) override { extraSpeed = _speed; }
    void SetSpeed(float _speed) override { speed = _speed; }
    float GetEngineFactor() const override { return engineFactor; }
    void SetEngineFactor(float _factor) override { engineFactor = _factor; }
    void OrderGoto(const vec3_c& _position, bool _start_now) override;
    void OrderLand(const vec3_c& _touchdown, const vec3_c& _direction) override;
    void OrderBomb(const vec3_c& _position, bool _start_now) override;
    void OrderPatrol(const vec3_c& _position, float _radius, bool _start_now) override;
    void SetStopped(bool _stopped) override;
    i32 GetScore() const override { return score; }
    u16 GetOwnerId() const override { return ownerId; }

    int type;
    journal_t& journal;
    int updates = 0;
    int starts = 0;
    float throttle = 0.0f;
    int view = 0;
    bool onGround = false;
    float extraSpeed = 0.0f;
    float speed = 25.0f;
    float engineFactor = 1.0f;
    bool throwOnUpdate = false;
    i32 score = 0;
    u16 ownerId = 0;
    // An entity of its own when the object is not made from a placed one.
    std::unique_ptr<null_object_c> ownEntity;
};

// Makes test objects for every kind; remembers what it was given.
class test_factory_c : public mission_object_factory_c {
public:
    explicit test_factory_c(journal_t& _journal) : journal(_journal) {}

    std::unique_ptr<game_object_c> CreateAagun(placed_object_c& _placed, const aagun_setup_c& _setup,
                                               const mission_devices_c& _devices) override;
    std::unique_ptr<game_object_c> CreateZeppelin(placed_object_c& _placed, walk_path_c* _path,
                                                  const mission_devices_c& _devices) override;
    std::unique_ptr<game_object_c> CreateVehicle(placed_object_c& _placed, const vehicle_setup_c& _setup,
                                                 const mission_devices_c& _devices) override;
    std::unique_ptr<game_object_c> CreateFlak(placed_object_c& _placed, const mission_devices_c& _devices) override;
    std::unique_ptr<game_object_c> CreateYachts(level_scene_c& _level, const mission_devices_c& _devices) override;
    std::unique_ptr<game_object_c> CreateBalloon(placed_object_c& _placed, f32 _ground_height,
                                                 const mission_devices_c& _devices) override;
    std::unique_ptr<game_object_c> CreateComputerPlane(placed_object_c* _placed, const computer_plane_setup_c& _setup,
                                                       const mission_devices_c& _devices) override;
    std::unique_ptr<game_object_c> CreateUserPlane(const user_plane_setup_c& _setup,
                                                   const mission_devices_c& _devices) override;
    void AddBirds(const vec3_c& _position, const string_c& _type, i32 _count, f32 _spread, f32 _fly_speed,
                  const mission_devices_c& _devices) override;
    void AddCrowd(area_record_c& _area, const string_c& _model_run, const string_c& _second, i32 _count,
                  const mission_devices_c& _devices) override;

    journal_t& journal;
    std::vector<aagun_setup_c> aaguns;
    std::vector<vehicle_setup_c> vehicles;
    std::vector<computer_plane_setup_c> computerPlanes;
    std::vector<user_plane_setup_c> userPlanes;
    std::vector<f32> balloonHeights;
    std::vector<walk_path_c*> zeppelinPaths;

private:
    std::unique_ptr<test_object_c> Make(int _type, placed_object_c* _placed);
};

// An input link whose controllers hold the in-game state's twelve actions
// (and "fire"), bound to no device, so their values stay as tests set them.
class test_input_c : public input_link_c {
public:
    test_input_c();
    bool LoadFromRegistry(const char*, const char*, const char*, u32) override { return true; }
    void LoadFromFile(const char*) override {}
    void SaveToRegistry(const char*, const char*, const char*, u32) override {}
    void SetMouseSensitivity(f32 _sensitivity) override { sensitivity = _sensitivity; }
    controllers_c* GetControllers() override { return controllers.get(); }

    // Sets the action of that name (0 when none has it).
    void Set(const char* _name, f32 _value);

    f32 sensitivity = 0.0f;

private:
    script_input_c input;
    script_input_scope_c scope{input};
    std::unique_ptr<controllers_c> controllers;
};

// The application of a mission test: the builder's files current, a
// recording renderer, the lists read, the test input layer.
class test_mission_c {
public:
    test_mission_c();

    // Writes the builder's files into the file system and reads the lists.
    void Build();

    app_testing::event_log_t events;
    app_testing::logged_devices_c devices{events};
    memory_file_system_c files;
    memory_file_writer_c writer;
    application_c app{&devices};
    recording_renderer_c* renderer;
    test_input_c* input;
    mission_builder_c builder;
    journal_t journal;
    test_factory_c factory{journal};
};

} // namespace game_testing
