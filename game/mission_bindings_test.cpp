#include "game/mission_bindings.h"

#include "game/game_world.h"
#include "game/script_host.h"
#include "game/state_game.h"
#include "game/testing/mission_doubles.h"

#include <gtest/gtest.h>

#include <functional>

using namespace game_testing;

namespace {

// One script line and what it must do: the orders it gives (journal) and a
// check of the state and the application afterwards.
struct binding_case_c {
    const char* script;
    journal_t orders;
    std::function<void(const state_game_c&, const application_c&)> check = nullptr;
    // The call ends with a script error.
    bool fails = false;
};

void PrintTo(const binding_case_c& _case, std::ostream* _out)
{
    *_out << _case.script;
}

class MissionBindings : public ::testing::TestWithParam<binding_case_c> {
protected:
    test_mission_c mission;
    state_game_c state;

    void SetUp() override
    {
        mission.app.game_type = 1;
        mission.app.mission_number = 1;
        state.SetObjectFactory(&mission.factory);
        mission.Build();
        state.Enter(&mission.app);
        ASSERT_EQ("", state.GetFailure());
        ASSERT_EQ(state_stay, state.Update(0.0));
        Add(object_plane_ai, "red_1", true);
        Add(object_plane_ai, "lorry", true);
        Add(object_car, "truck", false);
        state.gameTime = 5.0f;
        state.camera.SetMode(2);
        state.scriptEvents.clear();
    }
    ~MissionBindings() override { state.Leave(); }

    void Add(int _type, const char* _name, bool _plane)
    {
        auto object = std::make_unique<test_object_c>(_type, mission.journal);
        object->name = _name;
        if (_plane)
            state.world->AddPlane(std::move(object));
        else
            state.world->AddObject(std::move(object));
    }
};

TEST_P(MissionBindings, HaveTheirEffect)
{
    const binding_case_c& c = GetParam();
    if (c.fails)
        EXPECT_THROW(mission.app.script_host->RunBuffer(c.script, false), std::runtime_error);
    else
        mission.app.script_host->RunBuffer(c.script, false);
    EXPECT_EQ(c.orders, mission.journal);
    if (c.check)
        c.check(state, mission.app);
}

const binding_case_c binding_cases[] = {
    {"fly_plane_to_control_point('red_1', 'bridge')", {"red_1 goto 100,50,0 now"}},
    {"fly_plane_to_control_point('player', 'bridge')", {}},
    {"fly_plane_to_control_point('red_1', 'nowhere')", {}},
    {"land_plane('red_1', 'field', 'bridge')", {"red_1 land -100,0,200 100,50,0"}},
    {"land_plane('red_1', 'field')", {}},
    {"bomb_target('RED_1', 'Bridge')", {"red_1 bomb 100,50,0 now"}},
    {"patrol_at_control_point('red_1', 'field')", {"red_1 goto -100,0,200 now", "red_1 patrol -100,0,200 60 queued"}},
    {"set_vehicle_move('truck', 0)", {"truck stopped"}},
    {"set_vehicle_move('truck', 2)", {"truck moving"}},
    {"set_vehicle_move('truck')", {"truck stopped"}},
    {"set_vehicle_move('lorry', 0)", {}},
    {"set_vehicle_move('truck', '1')", {"truck stopped"}},
    {"store_mission_results(1, 0)",
     {},
     [](const state_game_c&, const application_c& _app) {
         EXPECT_EQ(1, _app.primary_reached);
         EXPECT_EQ(0, _app.secondary_reached);
     }},
    {"store_mission_results(0, -2)",
     {},
     [](const state_game_c&, const application_c& _app) {
         EXPECT_EQ(0, _app.primary_reached);
         EXPECT_EQ(1, _app.secondary_reached);
     }},
    {"terminate_mission()",
     {},
     [](const state_game_c& _state, const application_c&) {
         EXPECT_EQ(1, _state.missionOver);
         EXPECT_EQ(1, _state.terminated);
         EXPECT_EQ(5.0f, _state.fadeStart);
     }},
    {"play_outro()", {}, [](const state_game_c&, const application_c& _app) { EXPECT_EQ(1, _app.outro_pending); }},
    {"add_event('later', 2) add_event('now', -1)",
     {},
     [](const state_game_c& _state, const application_c&) {
         ASSERT_EQ(2u, _state.scriptEvents.size());
         EXPECT_EQ("later", _state.scriptEvents[0].name);
         EXPECT_EQ(7.0f, _state.scriptEvents[0].due);
         EXPECT_EQ(4.0f, _state.scriptEvents[1].due);
     }},
    {"cut_scene_camera('bridge')",
     {},
     [](const state_game_c& _state, const application_c&) {
         EXPECT_EQ(4, _state.camera.GetMode());
         EXPECT_EQ(2, _state.savedCameraMode);
         EXPECT_EQ(0, _state.world->mapSwitch);
         EXPECT_EQ(0, _state.viewChanged);
         EXPECT_EQ(100.0f, _state.camera.GetPosition().x);
     }},
    {"cut_scene_camera('bridge') restore_camera_from_cut_scene()",
     {},
     [](const state_game_c& _state, const application_c&) {
         EXPECT_EQ(2, _state.camera.GetMode());
         EXPECT_EQ(1, _state.world->mapSwitch);
         EXPECT_EQ(1, _state.viewChanged);
     }},
    {"cut_scene_camera('nowhere')",
     {},
     [](const state_game_c& _state, const application_c&) {
         EXPECT_EQ(2, _state.camera.GetMode());
         EXPECT_EQ(1, _state.world->mapSwitch);
     },
     true},
};

INSTANTIATE_TEST_SUITE_P(Calls, MissionBindings, ::testing::ValuesIn(binding_cases));

TEST(MissionBindingNames, AreRegisteredInOrder)
{
    script_host_c script;
    state_game_c state;
    RegisterMissionBindings(script, state);
    std::vector<std::string> names;
    for (const registered_function_c& function : script.GetFunctions())
        names.push_back(function.name.GetData());
    EXPECT_EQ(
        (std::vector<std::string>{"cut_scene_camera", "restore_camera_from_cut_scene", "add_event",
                                  "fly_plane_to_control_point", "land_plane", "bomb_target", "store_mission_results",
                                  "terminate_mission", "patrol_at_control_point", "set_vehicle_move", "play_outro"}),
        names);
}

} // namespace
