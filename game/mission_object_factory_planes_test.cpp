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
    test_plane_file_c german;
    german.iff = -1;
    AddTestPlane(mission.files.files, Folder("german.op"), german, mission.renderer);
    AddTestPlane(mission.files.files, Folder("allied.op"), test_plane_file_c(), mission.renderer);
    level_scene_c level;
    for (const char* file : {"german.op", "allied.op"}) {
        level.templates.push_back(std::make_unique<object_template_c>());
        level.templates.back()->SetFileName(Folder(file).c_str());
    }
    const struct {
        const char* name;
        u32 tmpl;
        bool korvane;
        vec3_c position;
    } placed[] = {{"red_1", 0, false, vec3_c(0.0f, 300.0f, 0.0f)}, {"blue_1", 1, true, vec3_c(200.0f, 400.0f, 0.0f)}};
    for (const auto& p : placed) {
        auto object = std::make_unique<placed_object_c>();
        object->name = p.name;
        object->templateIndex = p.tmpl;
        object->position = p.position;
        if (p.korvane) {
            i32 yes = 1;
            object->parameters.GetSetInt("korvane", &yes, false, 0, 1);
        }
        level.placedObjects.push_back(std::move(object));
    }
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
    EXPECT_EQ(0.0f, (red->GetPosition() - placed[0].position).Length());

    // The world steps them: both take to their patrols.
    float time = 0.0f;
    state.world->StartMission(time);
    for (int i = 0; i < 250; ++i)
        state.world->Process(time += 0.02f);
    EXPECT_GT((red->GetPosition() - placed[0].position).Length(), 50.0f);
    EXPECT_EQ(order_patrol, red->GetOrders().back().kind);
    state.Leave();
}

} // namespace
