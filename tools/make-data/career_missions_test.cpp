// The career missions and the multiplayer mission of the packed data set,
// entered and flown through the game state as the menus start them: every
// section loads, the frames run, and a career mission whose objective the
// test meets (the targets destroyed for it, the airship moved to her goal)
// stores its results and ends.
#include "tools/make-data/game_state_fixture.h"

#include "game/game_world.h"
#include "game/objects/zeppelin.h"

#include <string>
#include <vector>

namespace {

struct mission_case_s {
    const char* what;
    i32 gameType;
    i32 number;
};

class mission_run_c : public game_state_fixture_c {
protected:
    // The game in a small display mode: these tests look at what happens,
    // not at the picture.
    void Enter(i32 _game_type, i32 _number)
    {
        UseMode(320, 240);
        ASSERT_NE(window, nullptr);
        application.Init(window, nullptr);
        ASSERT_NE(application.GetRenderer(), nullptr);
        application.game_type = _game_type;
        application.mission_number = _number;
        application.mp_allied_planes = 1;
        application.mp_german_planes = 1;
        game = std::make_unique<state_game_c>();
        game->Enter(&application);
        ASSERT_TRUE(game->GetFailure().empty()) << game->GetFailure();
        ASSERT_NE(game->world, nullptr);
        ASSERT_NE(game->GetPlayerPlane(), nullptr);
    }

    // The first frames: the objects' mission start, then "mission_init".
    void Start()
    {
        for (int frame = 0; frame < 3; ++frame)
            ASSERT_EQ(Frame(), state_stay) << game->GetFailure();
    }

    game_object_c* Find(const char* _name) const
    {
        for (u32 i = 0; i < game->world->GetObjectCount(); ++i)
            if (game_object_c* object = game->world->GetObject(i); object && object->name == _name)
                return object;
        return nullptr;
    }

    // Destroys the named objects as the player's guns would.
    void Destroy(const std::vector<const char*>& _names)
    {
        for (const char* name : _names) {
            game_object_c* object = Find(name);
            ASSERT_NE(object, nullptr) << name;
            object->TakeDamage(object->GetPosition(), vec3_c(0.0f, -1.0f, 0.0f), 1000.0f, game->GetPlayerPlane(), 0);
            EXPECT_TRUE(object->destroyed) << name;
        }
    }

    // Game steps of 0.1 s (the longest) until the script ends the mission,
    // then frames until the state leaves (its closing fade ends as it is
    // drawn); false when it goes on for a minute.
    bool RunUntilLeft()
    {
        for (int step = 0; step < 600 && !game->missionOver; ++step) {
            time += 0.1;
            if (game->Update(time) == state_leave)
                return true;
        }
        for (int frame = 0; frame < 30; ++frame)
            if (Frame(0.1) == state_leave)
                return true;
        return false;
    }
};

class CareerMission : public mission_run_c, public ::testing::WithParamInterface<mission_case_s> {};

TEST_P(CareerMission, LoadsAndFlies)
{
    ASSERT_NO_FATAL_FAILURE(Enter(GetParam().gameType, GetParam().number));
    // A few frames drawn, then the steps of some seconds of flight.
    for (int frame = 0; frame < 10; ++frame)
        ASSERT_EQ(Frame(), state_stay) << "frame " << frame << ": " << game->GetFailure();
    for (int step = 0; step < 100; ++step) {
        time += kFrameSeconds;
        ASSERT_EQ(game->Update(time), state_stay) << "step " << step << ": " << game->GetFailure();
    }
    EXPECT_TRUE(game->GetFailure().empty()) << game->GetFailure();
}

INSTANTIATE_TEST_SUITE_P(DataSet, CareerMission,
                         ::testing::Values(mission_case_s{"escort", 1, 1}, mission_case_s{"convoy", 1, 2},
                                           mission_case_s{"dogfight", 1, 3}, mission_case_s{"multiplayer", 3, 1}),
                         [](const auto& _info) { return std::string(_info.param.what); });

class CareerObjective : public mission_run_c {};

TEST_F(CareerObjective, EscortIsWonWhenTheAirshipReachesTheDepot)
{
    ASSERT_NO_FATAL_FAILURE(Enter(1, 1));
    ASSERT_NO_FATAL_FAILURE(Start());
    auto* airship = dynamic_cast<game_object_zeppelin_c*>(Find("airship_1"));
    ASSERT_NE(airship, nullptr);
    ASSERT_NE(airship->movePath, nullptr) << "the airship follows her route";
    EXPECT_EQ(airship->side, 1);
    EXPECT_FALSE(airship->guns.empty());
    // Far along her route: the next step puts her at its end, over the depot.
    airship->travelTime = 1.0e5f;
    ASSERT_TRUE(RunUntilLeft()) << game->GetFailure();
    EXPECT_EQ(application.primary_reached, 1);
    EXPECT_EQ(application.secondary_reached, 0);
}

TEST_F(CareerObjective, EscortIsLostWithTheAirship)
{
    ASSERT_NO_FATAL_FAILURE(Enter(1, 1));
    ASSERT_NO_FATAL_FAILURE(Start());
    ASSERT_NO_FATAL_FAILURE(Destroy({"airship_1"}));
    auto* airship = dynamic_cast<game_object_zeppelin_c*>(Find("airship_1"));
    ASSERT_NE(airship, nullptr);
    EXPECT_EQ(airship->modelState, 2) << "burning";
    ASSERT_TRUE(RunUntilLeft()) << game->GetFailure();
    EXPECT_EQ(application.primary_reached, 0);
    EXPECT_EQ(application.secondary_reached, 0);
    EXPECT_GT(airship->fallVelocity.Length(), 0.0f) << "she falls";
}

// A mission won by destroying its targets, and the secondary result it
// then earns.
struct targets_case_s {
    const char* what;
    i32 number;
    std::vector<const char*> targets;
    u8 secondary;
};

class CareerTargets : public mission_run_c, public ::testing::WithParamInterface<targets_case_s> {};

TEST_P(CareerTargets, WonWhenTheTargetsAreDestroyed)
{
    ASSERT_NO_FATAL_FAILURE(Enter(1, GetParam().number));
    ASSERT_NO_FATAL_FAILURE(Start());
    ASSERT_NO_FATAL_FAILURE(Destroy(GetParam().targets));
    ASSERT_TRUE(RunUntilLeft()) << game->GetFailure();
    EXPECT_EQ(application.primary_reached, 1);
    EXPECT_EQ(application.secondary_reached, GetParam().secondary);
}

// The convoy's store stands, so no secondary; the dogfight's wingman lives.
INSTANTIATE_TEST_SUITE_P(
    DataSet, CareerTargets,
    ::testing::Values(targets_case_s{"convoy", 2, {"lorry_1", "lorry_2", "staff_car", "lorry_3"}, 0},
                      targets_case_s{"dogfight", 3, {"hunter_1", "hunter_2", "hunter_3", "red_ace"}, 1}),
    [](const auto& _info) { return std::string(_info.param.what); });

} // namespace
