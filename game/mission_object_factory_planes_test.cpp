#include "game/game_world.h"
#include "game/objects/computer_plane.h"
#include "game/state_game.h"
#include "game/testing/mission_doubles.h"
#include "game/testing/computer_planes.h"
#include "level/level_scene.h"

#include <gtest/gtest.h>

using namespace game_testing;

namespace {

std::string Folder(const char* _file)
{
    return std::string(kTestMissionFolder) + _file;
}

TEST(ComputerPlaneFactory, PlanesSectionMakesFlyingComputerPlanes)
{
    test_mission_c mission;
    mission_object_factory_c factory;
    state_game_c state;
    mission.app.game_type = 1;
    mission.app.mission_number = 1;
    state.SetObjectFactory(&factory);

    AddPlaneEffectFiles(mission.files.files);
    // A German plane and an Allied ace, each with its own plane file.
    level_scene_c level;
    const vec3_c redStart(0.0f, 300.0f, 0.0f);
    auto place = [&](const char* _name, int _iff, const vec3_c& _position) {
        test_plane_file_c file;
        file.iff = _iff;
        const std::string name = Folder(_name) + ".op";
        AddTestPlane(mission.files.files, name, file, mission.renderer);
        level.templates.push_back(std::make_unique<object_template_c>());
        level.templates.back()->SetFileName(name.c_str());
        auto& object = level.placedObjects.emplace_back(std::make_unique<placed_object_c>());
        object->name = _name;
        object->templateIndex = static_cast<u32>(level.templates.size() - 1);
        object->position = _position;
        return object.get();
    };
    place("red_1", -1, redStart);
    i32 yes = 1;
    place("blue_1", 1, vec3_c(200.0f, 400.0f, 0.0f))->parameters.GetSetInt("korvane", &yes, false, 0, 1);
    mission_builder_c::AddLevelScene(mission.files.files, Folder("planes.sce"), level);
    mission.builder.levelSections = {mission_builder_c::Environment(), "planes file=\"" + Folder("planes.sce") + "\""};
    mission.Build();
    state.Enter(&mission.app);
    ASSERT_EQ("", state.GetFailure());

    auto* red = dynamic_cast<game_object_plane_ai_c*>(state.world->FindPlane("red_1"));
    auto* blue = dynamic_cast<game_object_plane_ai_c*>(state.world->FindPlane("blue_1"));
    ASSERT_NE(nullptr, red);
    ASSERT_NE(nullptr, blue);
    EXPECT_EQ("Axis_0", red->displayName);
    EXPECT_EQ("Ally_1", blue->displayName);
    EXPECT_EQ(-1, red->side);
    EXPECT_EQ(1, blue->side);
    EXPECT_EQ(30.0f, red->GetSpeed());
    EXPECT_EQ(plane_view_distant, red->GetModelView());
    EXPECT_EQ(99, red->GetBombCount());
    EXPECT_EQ(8, red->GetRocketCount());
    EXPECT_GE(red->GetSkill(), 0.5f);
    EXPECT_LT(red->GetSkill(), 0.9f);
    EXPECT_EQ(1.0f, blue->GetSkill());
    EXPECT_EQ(1.0f, blue->GetPilot()->GetControlGain());
    EXPECT_EQ(-1.0f, blue->GetPilot()->GetReaction());
    EXPECT_EQ(0.0f, (red->GetPosition() - redStart).Length());

    // The world steps them: both take to their patrols.
    float time = 0.0f;
    state.world->StartMission(time);
    for (int i = 0; i < 250; ++i)
        state.world->Process(time += 0.02f);
    EXPECT_GT((red->GetPosition() - redStart).Length(), 50.0f);
    EXPECT_EQ(order_patrol, red->GetOrders().back().kind);
    state.Leave();
}

} // namespace
