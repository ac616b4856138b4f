#include "engine/light.h"
#include "engine/null_object.h"
#include "engine/scene.h"
#include "engine/sky_box.h"
#include "engine/terrain.h"
#include "engine/testing/landscape_fixtures.h"
#include "game/game_map.h"
#include "game/objects/player_plane.h"
#include "game/game_world.h"
#include "game/hud.h"
#include "game/mission_scenery.h"
#include "game/objects/aagun.h"
#include "game/objects/vehicle.h"
#include "game/objects/yacht.h"
#include "game/objects/zeppelin.h"
#include "game/script_host.h"
#include "game/state_game.h"
#include "game/testing/mission_doubles.h"
#include "level/control_point_object.h"
#include "level/level_scene.h"
#include "level/testing/level_fixtures.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>

using namespace game_testing;

namespace {

class LevelLoading : public ::testing::Test {
public:
    test_mission_c mission;
    state_game_c state;

    void SetUp() override
    {
        mission.app.game_type = 1;
        mission.app.mission_number = 1;
        state.SetObjectFactory(&mission.factory);
    }
    ~LevelLoading() override { state.Leave(); }

    void Load()
    {
        mission.Build();
        state.Enter(&mission.app);
    }

    std::string Folder(const char* _file) const { return std::string(kTestMissionFolder) + _file; }

    // A scene file of one placed object of the builder's aagun template with
    // these parameters.
    void AddPlacedScene(const std::string& _file, const char* _name,
                        const std::function<void(parameter_list_c&)>& _parameters)
    {
        level_scene_c level;
        level.templates.push_back(std::make_unique<object_template_c>());
        level.templates.back()->SetFileName(Folder("aagun.op").c_str());
        auto placed = std::make_unique<placed_object_c>();
        placed->name = _name;
        placed->templateIndex = 0;
        _parameters(placed->parameters);
        level.placedObjects.push_back(std::move(placed));
        mission_builder_c::AddLevelScene(mission.files.files, _file, level);
    }
};

TEST_F(LevelLoading, MinimalMissionLoadsEveryPart)
{
    Load();
    ASSERT_EQ("", state.GetFailure());
    ASSERT_NE(nullptr, state.scene);
    ASSERT_NE(nullptr, state.fadeScene);
    ASSERT_NE(nullptr, state.world);
    EXPECT_EQ(0.2f, state.scene->GetNearClipPlane());
    ASSERT_NE(nullptr, state.skyBox);
    EXPECT_EQ(6u, state.skyBox->GetFaceCount());
    EXPECT_EQ(1000.0f, state.skyBox->scale.y);
    ASSERT_NE(nullptr, state.terrain);
    EXPECT_EQ(1.0f, state.terrain->GetAccuracy());
    // The ground is where the terrain file puts it before anything is drawn:
    // the flat terrain 2 m high from -32 to 32.
    for (const float x : {-30.0f, 30.0f}) {
        float distance = 0.0f;
        vec3_c normal;
        ASSERT_TRUE(state.terrain->RayTest(distance, normal, ray_c(vec3_c(x, 100.0f, 30.0f), vec3_c(0.0f, -1.0f, 0.0f)),
                                           false, true, 1000.0f))
            << x;
        EXPECT_NEAR(98.0f, distance, 1e-3f) << x;
    }
    EXPECT_EQ("compass.op", state.environment.hudCompass);
    EXPECT_EQ(Folder("map.dds"), state.environment.map.GetData());
    EXPECT_TRUE(state.scene->GetFlags() & object_shadow_casting) << "detail 0.7 casts shadows";

    // The gun with its one parameter and the defaults.
    ASSERT_EQ(2u, state.world->GetObjectCount());
    const game_object_c* gun = state.world->GetObject(0);
    EXPECT_EQ("flak_1", gun->name);
    EXPECT_EQ(object_aagun, gun->GetType());
    ASSERT_EQ(1u, mission.factory.aaguns.size());
    const aagun_setup_c& setup = mission.factory.aaguns[0];
    EXPECT_EQ(5, setup.burstLength);
    EXPECT_EQ(1.2f, setup.agility);
    EXPECT_EQ(3.0f, setup.burstDelay);
    EXPECT_EQ(1.0f, setup.shootingDelay);
    EXPECT_EQ(-1.0f, setup.maxYawDot);

    // The player's plane: the first plane of the list (no pilot), at the
    // start point, 4 rockets from the point and the default 10 bombs.
    ASSERT_EQ(1u, mission.factory.userPlanes.size());
    const user_plane_setup_c& user = mission.factory.userPlanes[0];
    EXPECT_EQ(kTestPlaneFile, user.planeFile);
    EXPECT_EQ(4, user.rockets);
    EXPECT_EQ(10, user.bombs);
    ASSERT_NE(nullptr, state.GetPlayerPlane());
    EXPECT_EQ(state.world->GetObject(1), state.GetPlayerPlane());
    EXPECT_EQ(1u, state.world->GetPlanes().size());
    EXPECT_EQ(-50.0f, state.GetPlayerPlane()->GetPosition().z);

    // Kept scenes: the control points first, then the guns.
    ASSERT_EQ(2u, state.levelScenes.size());
    EXPECT_EQ("control_points", state.levelScenes[0]->name);
    EXPECT_EQ("aaguns", state.levelScenes[1]->name);
    EXPECT_NE(nullptr, state.world->FindControlPoint("BRIDGE"));

    // The twelve actions found by name, the mouse from the options.
    for (int action = 0; action < game_action_count; ++action)
        EXPECT_EQ(action, state.actions[action]) << game_action_names[action];
    EXPECT_EQ(mission.app.options->GetMouseSensitivity(), mission.input->sensitivity);
    ASSERT_NE(nullptr, mission.app.script_host);
    // The eleven mission bindings and the HUD's three.
    EXPECT_EQ(14u, mission.app.script_host->GetFunctions().size());
    ASSERT_NE(nullptr, state.hud);
    ASSERT_NE(nullptr, state.gameMap);
    EXPECT_NE(nullptr, state.gameMap->GetScene()->GetBackgroundMap());
}

TEST_F(LevelLoading, LeavingReleasesEverythingTheMissionMade)
{
    Load();
    ASSERT_EQ("", state.GetFailure());
    state.Leave();
    EXPECT_EQ(nullptr, state.world);
    EXPECT_EQ(nullptr, state.scene);
    EXPECT_EQ(nullptr, state.GetPlayerPlane());
    EXPECT_TRUE(state.levelScenes.empty());
    EXPECT_EQ(nullptr, mission.app.script_host);
    state.Leave();
    EXPECT_EQ(state_leave, state.Update(1.0));
}

TEST_F(LevelLoading, ShadowIntensityIsNeverNegative)
{
    const struct {
        const char* value;
        f32 strength;
    } cases[] = {{"-0.5", 0.0f}, {"0", 0.0f}, {"0.25", 0.25f}};
    for (const auto& c : cases) {
        mission.builder.levelSections = {mission_builder_c::Environment(std::string("shadow_intensity=") + c.value)};
        Load();
        ASSERT_EQ("", state.GetFailure());
        const light_c* sun = state.scene->GetLights().GetFirst();
        ASSERT_NE(nullptr, sun);
        EXPECT_EQ(c.strength, sun->shadowStrength) << c.value;
        state.Leave();
    }
}

TEST_F(LevelLoading, AagunsSectionMakesArmedGunsThroughTheGamesFactory)
{
    std::string aaguns;
    for (const std::string& section : mission.builder.levelSections)
        if (section.rfind("aaguns", 0) == 0)
            aaguns = section;
    ASSERT_FALSE(aaguns.empty());
    mission.builder.levelSections = {mission_builder_c::Environment(), aaguns};
    state.SetObjectFactory(nullptr);
    Load();
    ASSERT_EQ("", state.GetFailure());
    ASSERT_EQ(1u, state.world->GetObjectCount());
    const auto* gun = dynamic_cast<const game_object_aagun_c*>(state.world->GetObject(0));
    ASSERT_NE(nullptr, gun);
    EXPECT_EQ(-1, gun->side);
    ASSERT_EQ(1u, gun->guns.size());
    // The placed gun's "burst_length" and the section's defaults replace the
    // random timing.
    EXPECT_FLOAT_EQ(1.0f, gun->guns[0].shootingDelay);
    EXPECT_EQ(5, gun->guns[0].burstLength);
    EXPECT_FLOAT_EQ(-1.0f, gun->guns[0].maxYawDot);
}

TEST_F(LevelLoading, UserSectionMakesThePlayersPlaneFromThePlaneList)
{
    state.SetObjectFactory(nullptr);
    Load();
    ASSERT_EQ("", state.GetFailure());
    auto* plane = dynamic_cast<game_object_plane_user_c*>(state.GetPlayerPlane());
    ASSERT_NE(nullptr, plane);
    EXPECT_EQ(object_plane_user, plane->GetType());
    ASSERT_EQ(1u, state.world->GetPlanes().size());
    EXPECT_EQ(plane, state.world->GetPlanes()[0]);
    EXPECT_EQ("Testbird", plane->planeName);
    ASSERT_NE(nullptr, plane->entity);
    EXPECT_EQ(plane->entity->GetName(), plane->name);
    // At the start point with its rockets and the default bombs, seen from
    // inside, the camera turned as the plane.
    EXPECT_EQ(-50.0f, plane->GetPosition().z);
    EXPECT_EQ(0.5f, plane->GetRotation().x);
    EXPECT_EQ(4, plane->GetRocketCount());
    EXPECT_EQ(10, plane->GetBombCount());
    EXPECT_EQ(plane_view_inside, plane->GetModelView());
    EXPECT_EQ(camera_cockpit, state.camera.GetMode());
    // The test input has "up", "left", "look" and "fire" of the plane's
    // twelve actions.
    controllers_c* controllers = state.GetControllers();
    for (int action : {game_object_plane_user_c::action_up, game_object_plane_user_c::action_left,
                       game_object_plane_user_c::action_look, game_object_plane_user_c::action_fire}) {
        const i32 index = plane->GetActionIndex(action);
        ASSERT_GE(index, 0);
        EXPECT_EQ(controllers->GetAction(static_cast<u32>(index)).name, game_object_plane_user_c::action_names[action]);
    }
    EXPECT_EQ(-1, plane->GetActionIndex(game_object_plane_user_c::action_bomb));

    // It flies in the mission's frames.
    const vec3_c start = plane->GetPosition();
    EXPECT_EQ(state_stay, state.Update(0.0));
    for (int i = 1; i <= 10; ++i)
        EXPECT_EQ(state_stay, state.Update(0.02 * i));
    EXPECT_NE(start.z, plane->GetPosition().z);
}

TEST_F(LevelLoading, ThePilotsCreationFlagMakesExplosionsSmall)
{
    for (const bool flag : {false, true}) {
        const char* name = flag ? "flagged" : "plain";
        mission.app.pilots.Create(name, flag);
        mission.app.pilots.GetCurrent()->selected_plane = 1;
        Load();
        ASSERT_EQ("", state.GetFailure()) << name;
        EXPECT_EQ(flag, state.world->GetContext().creationFlag) << name;
        state.Leave();
    }
}

TEST_F(LevelLoading, EnvironmentOnlyLevelHasNoObjects)
{
    mission.builder.levelSections = {"ENVIRONMENT" + mission_builder_c::Environment().substr(11)};
    Load();
    ASSERT_EQ("", state.GetFailure());
    EXPECT_EQ(0u, state.world->GetObjectCount());
    EXPECT_EQ(nullptr, state.GetPlayerPlane());
    EXPECT_EQ(-1, state.world->GetControlPointScene());

    // With nothing to follow the camera stays finite in every view.
    EXPECT_EQ(state_stay, state.Update(0.0));
    for (i32 mode = 0; mode <= 6; ++mode) {
        state.camera.SetMode(mode);
        EXPECT_EQ(state_stay, state.Update(0.1 * (mode + 1)));
        const vec3_c p = state.camera.GetPosition();
        EXPECT_TRUE(std::isfinite(p.x) && std::isfinite(p.y) && std::isfinite(p.z)) << mode;
    }
}

TEST_F(LevelLoading, GraphicDetailAtThresholdDropsShadowsCloudsAndCrowds)
{
    const std::string clouds = "clouds color_map1=a.dds color_map2=b.dds height=1 spread=2 size=3 dencity=4";
    const std::string crowds = "crowds file=\"nowhere.sce\"";
    mission.builder.levelSections = {mission_builder_c::Environment(), clouds, crowds};
    mission.app.options->graphic_detail = 0.1f;
    Load();
    ASSERT_EQ("", state.GetFailure());
    EXPECT_FALSE(state.scene->GetFlags() & object_shadow_casting);
    state.Leave();

    // Above the threshold the clouds are made and the crowds' scene is read.
    mission_builder_c::AddPicture(mission.files.files, "a.dds");
    mission_builder_c::AddPicture(mission.files.files, "b.dds");
    mission.app.options->graphic_detail = 0.7f;
    Load();
    EXPECT_NE(std::string::npos, state.GetFailure().find("\"nowhere.sce\"")) << state.GetFailure();
}

TEST_F(LevelLoading, PlanesAreNamedBySideWithOneCounter)
{
    mission.builder.AddTemplate(mission.files.files, Folder("german.op"), -1);
    mission.builder.AddTemplate(mission.files.files, Folder("allied.op"), 1);
    level_scene_c level;
    for (const char* file : {"german.op", "allied.op"}) {
        level.templates.push_back(std::make_unique<object_template_c>());
        level.templates.back()->SetFileName(Folder(file).c_str());
    }
    const struct {
        const char* name;
        u32 tmpl;
        bool korvane;
    } placed[] = {{"red_1", 0, false}, {"blue_1", 1, true}, {"red_2", 0, false}};
    for (const auto& p : placed) {
        auto object = std::make_unique<placed_object_c>();
        object->name = p.name;
        object->templateIndex = p.tmpl;
        if (p.korvane) {
            i32 yes = 1;
            object->parameters.GetSetInt("korvane", &yes, false, 0, 1);
        }
        i32 point = 7;
        object->parameters.GetSetInt("act_ctrl_point", &point, false, 0, 10);
        level.placedObjects.push_back(std::move(object));
    }
    mission_builder_c::AddLevelScene(mission.files.files, Folder("planes.sce"), level);
    const std::string planes = "planes file=\"" + Folder("planes.sce") + "\"";
    mission.builder.levelSections = {mission_builder_c::Environment(), planes, planes};
    Load();
    ASSERT_EQ("", state.GetFailure());
    const auto& made = mission.factory.computerPlanes;
    ASSERT_EQ(6u, made.size());
    const char* names[] = {"Axis_0", "Ally_1", "Axis_2", "Axis_0", "Ally_1", "Axis_2"};
    for (size_t i = 0; i < made.size(); ++i)
        EXPECT_EQ(names[i], made[i].displayName) << i;
    EXPECT_EQ(1.0f, made[1].skill);
    EXPECT_EQ(1.0f, made[1].controlGain);
    EXPECT_EQ(4000.0f, made[1].rangeA);
    EXPECT_EQ(4000.0f, made[1].rangeB);
    EXPECT_EQ(600.0f, made[0].rangeA);
    EXPECT_EQ(300.0f, made[0].rangeB);
    EXPECT_GE(made[0].skill, 0.5f);
    EXPECT_LT(made[0].skill, 0.9f);
    EXPECT_EQ(99, made[0].bombs);
    EXPECT_EQ(6u, state.world->GetPlanes().size());
    EXPECT_EQ("red_2", state.world->GetPlanes()[2]->name);
    EXPECT_TRUE(state.world->GetPlanes()[2]->CanActivate(7));
    EXPECT_NE(nullptr, state.world->FindPlane("BLUE_1"));
}

TEST_F(LevelLoading, AirfieldsSetTheMaskOfTheFieldsFound)
{
    level_scene_c level;
    for (const auto& [id, x] : {std::pair{11, 1.0f}, std::pair{22, 2.0f}, std::pair{5, 3.0f}}) {
        auto point = std::make_unique<control_point_object_c>();
        point->name = "p";
        point->id = id;
        point->position = vec3_c(x, 0.0f, 0.0f);
        level.levelObjects.push_back(std::move(point));
    }
    mission_builder_c::AddLevelScene(mission.files.files, Folder("fields.sce"), level);
    mission.builder.levelSections = {mission_builder_c::Environment(),
                                     "airfields file=\"" + Folder("fields.sce") + "\""};
    Load();
    ASSERT_EQ("", state.GetFailure());
    EXPECT_EQ(3u, state.world->airfieldMask);
    EXPECT_EQ(1.0f, state.world->alliedTouchdown.x);
    EXPECT_EQ(2.0f, state.world->germanDirection.x);
}

TEST_F(LevelLoading, VehiclesCopyOnlyTheFlagsPresentAndFindTheirPath)
{
    level_scene_c level;
    level.templates.push_back(std::make_unique<object_template_c>());
    level.templates.back()->SetFileName(Folder("aagun.op").c_str());
    for (const char* name : {"truck", "car"}) {
        auto placed = std::make_unique<placed_object_c>();
        placed->name = name;
        placed->templateIndex = 0;
        if (name[0] == 't') {
            bool yes = true;
            placed->parameters.GetSetBool("stopped", &yes, false);
            i32 snap = 2;
            placed->parameters.GetSetInt("snap_to", &snap, false, 0, 5);
            string_c path = "road";
            placed->parameters.GetSetString("move_path", &path, false);
        } else {
            string_c path = "nowhere";
            placed->parameters.GetSetString("move_path", &path, false);
        }
        level.placedObjects.push_back(std::move(placed));
    }
    level.levelObjects.push_back(MakeTestPath("road", {{0, 0, 0}, {0, 0, 50}}));
    mission_builder_c::AddLevelScene(mission.files.files, Folder("cars.sce"), level);
    mission.builder.levelSections = {mission_builder_c::Environment(), "vehicles file=\"" + Folder("cars.sce") + "\""};
    Load();
    ASSERT_EQ("", state.GetFailure());
    const auto& made = mission.factory.vehicles;
    ASSERT_EQ(2u, made.size());
    EXPECT_TRUE(made[0].hasStopped && made[0].stopped);
    EXPECT_TRUE(made[0].hasSnapTo);
    EXPECT_EQ(2, made[0].snapTo);
    EXPECT_FALSE(made[0].hasAlwaysActive);
    ASSERT_NE(nullptr, made[0].path);
    EXPECT_EQ("road", made[0].path->name);
    EXPECT_FALSE(made[1].hasStopped);
    EXPECT_EQ(nullptr, made[1].path) << "a move_path that names no path";
}

TEST_F(LevelLoading, DestructibleSceneryKeepsItsHitPointsAndModels)
{
    AddPlacedScene(Folder("hp.sce"), "hut", [this](parameter_list_c& _list) {
        f32 hp = 40.0f;
        _list.GetSetFloat("HP", &hp, false, 0.0f, 100.0f);
        string_c burned = "destroyed";
        _list.GetSetString("burned_model", &burned, false);
        string_c script = Folder("hut.lua").c_str();
        _list.GetSetString("script", &script, false);
    });
    mission_builder_c::AddText(mission.files.files, Folder("hut.lua"), "function hut_on_destroyed() end\n");
    mission.builder.levelSections = {mission_builder_c::Environment(), "LoadHP file=\"" + Folder("hp.sce") + "\""};
    Load();
    ASSERT_EQ("", state.GetFailure());
    ASSERT_EQ(1u, state.world->hitPointObjects.size());
    const hit_point_object_c& hut = state.world->hitPointObjects[0];
    EXPECT_EQ(40.0f, hut.hitPoints);
    EXPECT_EQ("", hut.normalModel);
    EXPECT_EQ("destroyed", hut.burnedModel);
    EXPECT_NE(nullptr, hut.entity);
    EXPECT_NE(nullptr, hut.tmpl);
    EXPECT_EQ("HP", state.levelScenes[0]->name);
    EXPECT_TRUE(mission.app.script_host->CallFunction("hut_on_destroyed")) << "the object's script ran";
}

TEST_F(LevelLoading, CrowdsTakeCompleteTriples)
{
    level_scene_c level;
    auto area = std::make_unique<area_record_c>();
    area->name = "square";
    // Names repeat, so each parameter is appended rather than set.
    auto add_text = [&](const char* _name, const char* _value) {
        auto text = std::make_unique<parameter_string_c>();
        text->name = _name;
        text->value = _value;
        area->parameters.Add(std::move(text));
    };
    add_text("model run", "walker.op");
    add_text("model idle", "idle.op");
    i32 count = 12;
    area->parameters.GetSetInt("count", &count, false, 0, 100);
    add_text("model run", "cut_short.op");
    add_text("model idle", "idle.op");
    level.areas.push_back(std::move(area));
    mission_builder_c::AddLevelScene(mission.files.files, Folder("crowd.sce"), level);
    mission.builder.levelSections = {mission_builder_c::Environment(), "crowds file=\"" + Folder("crowd.sce") + "\""};
    Load();
    ASSERT_EQ("", state.GetFailure());
    EXPECT_EQ(journal_t{"crowd square walker.op idle.op 12"}, mission.journal);
}

// Each case changes the mission and expects loading to fail with a text
// that holds `expected`; the state then leaves at once.
struct failure_case_c {
    const char* name;
    std::function<void(LevelLoading&, test_mission_c&)> change;
    const char* expected;
};

void PrintTo(const failure_case_c& _case, std::ostream* _out)
{
    *_out << _case.name;
}

class LevelLoadingFailures : public LevelLoading, public ::testing::WithParamInterface<failure_case_c> {};

TEST_P(LevelLoadingFailures, ReportsTheCauseAndLeaves)
{
    GetParam().change(*this, mission);
    Load();
    EXPECT_NE(std::string::npos, state.GetFailure().find(GetParam().expected)) << state.GetFailure();
    EXPECT_EQ(nullptr, state.world);
    EXPECT_EQ(nullptr, mission.app.script_host);
    EXPECT_EQ(state_leave, state.Update(0.0));
    EXPECT_FALSE(state.GetLog().GetLines().empty());
}

std::string Section(const char* _name, const char* _file)
{
    return std::string(_name) + " file=\"" + kTestMissionFolder + _file + "\"";
}

const failure_case_c failure_cases[] = {
    {"GameTypeOutsideTheLists", [](LevelLoading&, test_mission_c& _m) { _m.app.game_type = 7; },
     "Game type 7 has no mission list"},
    {"MissionNumberPastTheList", [](LevelLoading&, test_mission_c& _m) { _m.app.mission_number = 2; },
     "Mission 2 is not in the list of game type 1 (1 missions)"},
    {"MissionNumberZero", [](LevelLoading&, test_mission_c& _m) { _m.app.mission_number = 0; },
     "Mission 0 is not in the list"},
    {"PlaneNumberPastThePlaneList",
     [](LevelLoading&, test_mission_c& _m) {
         _m.app.pilots.Create("Ace", false);
         _m.app.pilots.GetCurrent()->selected_plane = 3;
     },
     "Plane 3 is not in the plane list (1 planes)"},
    {"RequiredEnvironmentKey",
     [](LevelLoading&, test_mission_c& _m) {
         std::string& env = _m.builder.levelSections[0];
         env.replace(env.find("map="), 4, "mop=");
     },
     "environment::map: Parameter not found!"},
    {"LevelScriptNotStartingWithEnvironment",
     [](LevelLoading&, test_mission_c& _m) { std::swap(_m.builder.levelSections[0], _m.builder.levelSections[2]); },
     "The level script must start with an environment section!"},
    {"MissingSceneFile",
     [](LevelLoading&, test_mission_c& _m) { _m.builder.levelSections.push_back(Section("LoadSCE", "none.sce")); },
     "Couldn't find or load specified file: \"data\\missions\\test\\none.sce\""},
    {"MissionScriptError", [](LevelLoading&, test_mission_c& _m) { _m.builder.missionScript = "function ("; },
     "Script \"data\\missions\\test\\mission.lua\" failed"},
    {"UserPlaneFileMissing",
     [](LevelLoading& _t, test_mission_c& _m) {
         _t.state.SetObjectFactory(nullptr);
         _m.builder.planes = {"data\\planes\\none.op"};
     },
     "data\\planes\\none.op"},
    {"UserSceneWithoutLevelObjects",
     [](LevelLoading& _t, test_mission_c& _m) {
         _t.AddPlacedScene(_t.Folder("empty.sce"), "thing", [](parameter_list_c&) {});
         _m.builder.levelSections.back() = Section("user", "empty.sce");
     },
     "There should be ONE control point at user.sce!"},
    {"UserSceneStartingWithAPath",
     [](LevelLoading& _t, test_mission_c& _m) {
         level_scene_c level;
         level.levelObjects.push_back(MakeTestPath("road", {{0, 0, 0}, {0, 0, 5}}));
         mission_builder_c::AddLevelScene(_m.files.files, _t.Folder("path.sce"), level);
         _m.builder.levelSections.back() = Section("user", "path.sce");
     },
     "There should be ONE control point at user.sce!"},
    {"BirdWithoutCount",
     [](LevelLoading& _t, test_mission_c& _m) {
         _t.AddPlacedScene(_t.Folder("birds.sce"), "flock", [](parameter_list_c& _list) {
             string_c type = "crow";
             _list.GetSetString("type", &type, false);
         });
         _m.builder.levelSections.push_back(Section("birds", "birds.sce"));
     },
     "birds::count"},
    {"BirdWithoutFlySpeed",
     [](LevelLoading& _t, test_mission_c& _m) {
         _t.AddPlacedScene(_t.Folder("birds.sce"), "flock", [](parameter_list_c& _list) {
             string_c type = "crow";
             _list.GetSetString("type", &type, false);
             i32 count = 3;
             _list.GetSetInt("count", &count, false, 0, 10);
             f32 spread = 1.0f;
             _list.GetSetFloat("spread", &spread, false, 0.0f, 10.0f);
         });
         _m.builder.levelSections.push_back(Section("birds", "birds.sce"));
     },
     "birds::fly speed"},
    {"SoundWithoutDistance",
     [](LevelLoading& _t, test_mission_c& _m) {
         _t.AddPlacedScene(_t.Folder("sounds.sce"), "wind", [](parameter_list_c& _list) {
             string_c file = "wind.wav";
             _list.GetSetString("file", &file, false);
         });
         _m.builder.levelSections.push_back(Section("sounds", "sounds.sce"));
     },
     "sound::distance"},
    {"CrowdCountThatIsNotACount",
     [](LevelLoading& _t, test_mission_c& _m) {
         level_scene_c level;
         auto area = std::make_unique<area_record_c>();
         area->name = "square";
         string_c text = "walker.op";
         area->parameters.GetSetString("model run", &text, false);
         area->parameters.GetSetString("model idle", &text, false);
         f32 count = 2.5f;
         area->parameters.GetSetFloat("count", &count, false, 0.0f, 10.0f);
         level.areas.push_back(std::move(area));
         mission_builder_c::AddLevelScene(_m.files.files, _t.Folder("crowd.sce"), level);
         _m.builder.levelSections.push_back(Section("crowds", "crowd.sce"));
     },
     "crowds: the count after \"model run\" in area \"square\" is not a count"},
};

INSTANTIATE_TEST_SUITE_P(Causes, LevelLoadingFailures, ::testing::ValuesIn(failure_cases),
                         [](const auto& _info) { return std::string(_info.param.name); });

} // namespace

namespace {

TEST_F(LevelLoading, ZeppelinsFollowTheirWalkPath)
{
    level_scene_c level;
    level.templates.push_back(std::make_unique<object_template_c>());
    level.templates.back()->SetFileName(Folder("aagun.op").c_str());
    auto placed = std::make_unique<placed_object_c>();
    placed->name = "zep_1";
    placed->templateIndex = 0;
    string_c route = "ROUTE";
    placed->parameters.GetSetString("move_path", &route, false);
    i32 point = 3;
    placed->parameters.GetSetInt("act_ctrl_point", &point, false, 0, 10);
    level.placedObjects.push_back(std::move(placed));
    level.levelObjects.push_back(MakeTestPath("route", {{0, 300, 0}, {500, 300, 0}}));
    mission_builder_c::AddLevelScene(mission.files.files, Folder("zeps.sce"), level);
    mission.builder.levelSections = {mission_builder_c::Environment(), "zeppelins file=\"" + Folder("zeps.sce") + "\""};
    Load();
    ASSERT_EQ("", state.GetFailure());
    ASSERT_EQ(1u, mission.factory.zeppelinPaths.size());
    ASSERT_NE(nullptr, mission.factory.zeppelinPaths[0]);
    EXPECT_EQ("route", mission.factory.zeppelinPaths[0]->name);
    const game_object_c* zeppelin = state.world->GetObject(0);
    EXPECT_EQ("zep_1", zeppelin->name);
    EXPECT_TRUE(zeppelin->CanActivate(3));
    EXPECT_EQ("zeppelins", state.levelScenes[0]->name);
}

TEST_F(LevelLoading, BalloonsStandOnTheTerrainOrAtZero)
{
    level_scene_c level;
    level.templates.push_back(std::make_unique<object_template_c>());
    level.templates.back()->SetFileName(Folder("aagun.op").c_str());
    for (const f32 x : {10.0f, 500.0f}) {
        auto placed = std::make_unique<placed_object_c>();
        placed->name = "balloon";
        placed->templateIndex = 0;
        placed->position = vec3_c(x, 300.0f, 0.0f);
        level.placedObjects.push_back(std::move(placed));
    }
    mission_builder_c::AddLevelScene(mission.files.files, Folder("balloons.sce"), level);
    mission.builder.levelSections = {mission_builder_c::Environment(),
                                     "balloons file=\"" + Folder("balloons.sce") + "\""};
    Load();
    ASSERT_EQ("", state.GetFailure());
    ASSERT_EQ(2u, mission.factory.balloonHeights.size());
    EXPECT_NEAR(2.0f, mission.factory.balloonHeights[0], 1e-3);
    EXPECT_EQ(0.0f, mission.factory.balloonHeights[1]) << "no terrain below";
}

TEST_F(LevelLoading, ControlPointScriptsRunWhileTheLevelLoads)
{
    level_scene_c points;
    auto point = std::make_unique<control_point_object_c>();
    point->name = "gate";
    point->script = Folder("gate.lua").c_str();
    points.levelObjects.push_back(std::move(point));
    mission_builder_c::AddLevelScene(mission.files.files, Folder("gate.sce"), points);
    mission_builder_c::AddText(mission.files.files, Folder("gate.lua"),
                               "function gate_on_enter() store_mission_results(1, 1) end\n");
    mission.builder.levelSections.push_back("control_points file=\"" + Folder("gate.sce") + "\"");
    Load();
    ASSERT_EQ("", state.GetFailure());
    EXPECT_EQ(2, state.world->GetControlPointScene()) << "the later section's scene";
    EXPECT_NE(nullptr, state.world->FindControlPoint("gate"));
    EXPECT_EQ(nullptr, state.world->FindControlPoint("bridge"));
    EXPECT_TRUE(mission.app.script_host->CallFunction("gate_on_enter"));
    EXPECT_EQ(1, mission.app.secondary_reached);
}

TEST_F(LevelLoading, BirdsJoinTheFlockWithTheirKeys)
{
    AddPlacedScene(Folder("birds.sce"), "flock", [](parameter_list_c& _list) {
        string_c type = "crow";
        _list.GetSetString("type", &type, false);
        i32 count = 6;
        _list.GetSetInt("count", &count, false, 0, 10);
        f32 spread = 30.0f;
        _list.GetSetFloat("spread", &spread, false, 0.0f, 100.0f);
        _list.GetSetFloat("fly_speed", &spread, false, 0.0f, 100.0f);
    });
    mission.builder.levelSections = {mission_builder_c::Environment(), "birds file=\"" + Folder("birds.sce") + "\""};
    Load();
    ASSERT_EQ("", state.GetFailure());
    EXPECT_EQ(journal_t{"birds 0,0,0 crow 6 30 30"}, mission.journal);
    EXPECT_TRUE(state.levelScenes.empty()) << "the birds' scene is not kept";
}

TEST_F(LevelLoading, StaticSceneryDropsItsForestsAtLowDetail)
{
    level_scene_c level;
    auto forest = std::make_unique<forest_record_c>();
    forest->name = "woods";
    forest->treeDensity = 0.5f;
    forest->extent = 20.0f;
    level.forests.push_back(std::move(forest));
    mission_builder_c::AddLevelScene(mission.files.files, Folder("scenery.sce"), level);
    mission.builder.levelSections = {mission_builder_c::Environment(),
                                     "LoadSCE file=\"" + Folder("scenery.sce") + "\""};
    for (const f32 detail : {0.7f, 0.1f}) {
        mission.app.options->graphic_detail = detail;
        Load();
        ASSERT_EQ("", state.GetFailure());
        ASSERT_EQ(1u, state.levelScenes.size());
        EXPECT_EQ("sce", state.levelScenes[0]->name);
        EXPECT_EQ(detail > 0.1f ? 1u : 0u, state.levelScenes[0]->forests.size()) << detail;
        state.Leave();
    }
}

class MultiplayerLoading : public LevelLoading {
protected:
    void SetUp() override
    {
        LevelLoading::SetUp();
        mission.app.net_manager = mission.devices.CreateNetManager(nullptr, nullptr);
        mission.app.players.Add("Red Baron", mission.devices.session->local_id, 1, 0);
        level_scene_c user;
        for (const char* name : {"start", "allies_a", "Allies_b", "allies_c"}) {
            auto point = std::make_unique<control_point_object_c>();
            point->name = name;
            point->position = vec3_c(static_cast<f32>(user.levelObjects.size()), 0.0f, 0.0f);
            user.levelObjects.push_back(std::move(point));
        }
        mission_builder_c::AddLevelScene(mission.files.files, Folder("mp_user.sce"), user);
        mission.builder.levelSections = {mission_builder_c::Environment(),
                                         "user file=\"" + Folder("mp_user.sce") + "\""};
    }

    std::vector<u16> SentTypes() const
    {
        std::vector<u16> types;
        for (const auto& sent : mission.devices.session->sent)
            types.push_back(sent.type_word);
        return types;
    }
};

TEST_F(MultiplayerLoading, UserSectionSplitsTheSpawnPointsBySide)
{
    mission.app.game_type = 4;
    Load();
    ASSERT_EQ("", state.GetFailure());
    EXPECT_EQ(1, mission.app.in_session);
    EXPECT_EQ("Red Baron", mission.factory.userPlanes[0].displayName);
    ASSERT_EQ(2u, state.alliedSpawns.size());
    EXPECT_EQ(1.0f, state.alliedSpawns[0].x);
    EXPECT_EQ(3.0f, state.alliedSpawns[1].x);
    ASSERT_EQ(2u, state.germanSpawns.size());
    EXPECT_EQ(2.0f, state.germanSpawns[1].x) << "a capital letter counts as German";
    EXPECT_EQ(1, state.NextAlliedSpawnPoint());
    EXPECT_EQ(0, state.NextAlliedSpawnPoint());
    state.Leave();
    // Both departures travel without the session clock.
    EXPECT_EQ((std::vector<u16>{0x110A, 0x110E}), SentTypes());
}

TEST_F(MultiplayerLoading, HostAddsComputerPlanesOfBothSidesAndAnnouncesThem)
{
    mission.app.game_type = 3;
    mission.app.mp_allied_planes = 2;
    mission.app.mp_german_planes = 1;
    mission.app.mp_game_mode = 1;
    Load();
    ASSERT_EQ("", state.GetFailure());
    EXPECT_EQ(1, mission.app.mp_flag);
    const auto& planes = mission.factory.computerPlanes;
    ASSERT_EQ(3u, planes.size());
    EXPECT_EQ("text 102_1", planes[0].displayName);
    EXPECT_EQ("text 102_2", planes[1].displayName);
    EXPECT_EQ("text 103_1", planes[2].displayName);
    EXPECT_EQ(2, planes[2].networkId);
    EXPECT_EQ(100, planes[2].bombs);
    EXPECT_EQ(kTestPlaneFile, planes[0].planeFile);
    // After the player's plane: the Allied planes at the second and first
    // Allied points, the German one at the second German point.
    ASSERT_EQ(4u, state.world->GetPlanes().size());
    EXPECT_EQ(3.0f, state.world->GetPlanes()[1]->GetPosition().x);
    EXPECT_EQ(1.0f, state.world->GetPlanes()[2]->GetPosition().x);
    EXPECT_EQ(2.0f, state.world->GetPlanes()[3]->GetPosition().x);
    EXPECT_EQ((std::vector<u16>{0x102, 0x102, 0x102}), SentTypes());
    EXPECT_EQ(state_stay, state.Update(0.0));
    EXPECT_EQ(0x1104, SentTypes().back()) << "the game state goes to the players at the first update";
}

} // namespace

namespace {

// A short silent mono WAVE file of 16-bit samples.
std::vector<u8> SilentWave()
{
    std::vector<u8> bytes;
    const auto text = [&](const char* _four) { bytes.insert(bytes.end(), _four, _four + 4); };
    const auto word = [&](u32 _value, int _size) {
        for (int i = 0; i < _size; ++i)
            bytes.push_back(static_cast<u8>(_value >> (8 * i)));
    };
    const u32 samples = 64;
    text("RIFF");
    word(36 + samples * 2, 4);
    text("WAVE");
    text("fmt ");
    word(16, 4);
    word(1, 2);
    word(1, 2);
    word(22050, 4);
    word(44100, 4);
    word(2, 2);
    word(16, 2);
    text("data");
    word(samples * 2, 4);
    bytes.resize(bytes.size() + samples * 2, 0);
    return bytes;
}

TEST_F(LevelLoading, AmbientSoundsStartWithTheMissionAndGoWithIt)
{
    mission.app.sound_device = std::make_unique<app_testing::logged_sound_c>(mission.events);
    mission.files.files[Folder("wind.wav")] = SilentWave();
    AddPlacedScene(Folder("sounds.sce"), "wind", [this](parameter_list_c& _list) {
        string_c file = Folder("wind.wav").c_str();
        _list.GetSetString("file", &file, false);
        f32 distance = 50.0f;
        _list.GetSetFloat("distance", &distance, false, 0.0f, 1000.0f);
        bool looped = true;
        _list.GetSetBool("looped", &looped, false);
    });
    mission.builder.levelSections = {mission_builder_c::Environment(), "sounds file=\"" + Folder("sounds.sce") + "\""};
    Load();
    ASSERT_EQ("", state.GetFailure());
    EXPECT_EQ(1u, state.ambientSounds.size());
    EXPECT_EQ(1u, mission.app.sound_device->GetSourceCount());
    EXPECT_TRUE(state.levelScenes.empty()) << "the sounds' scene is not kept";
    EXPECT_EQ(state_stay, state.Update(0.0));
    state.Leave();
    EXPECT_TRUE(state.ambientSounds.empty());
    EXPECT_EQ(0u, mission.app.sound_device->GetSourceCount());
}

} // namespace

namespace {

std::string SceneFolder(const char* _file)
{
    return std::string(kTestMissionFolder) + _file;
}

void AddText(parameter_list_c& _list, const char* _name, const char* _value)
{
    auto text = std::make_unique<parameter_string_c>();
    text->name = _name;
    text->value = _value;
    _list.Add(std::move(text));
}

// A level scene of placed objects of one template, each with its name and
// parameters, and the walk paths given.
void AddTemplatedScene(test_mission_c& _mission, const char* _file, const char* _template,
                       const std::vector<std::pair<const char*, std::function<void(parameter_list_c&)>>>& _objects,
                       std::vector<std::unique_ptr<parameter_object_c>> _paths = {})
{
    _mission.builder.AddTemplate(_mission.files.files, SceneFolder(_template), -1);
    level_scene_c level;
    level.templates.push_back(std::make_unique<object_template_c>());
    level.templates.back()->SetFileName(SceneFolder(_template).c_str());
    for (const auto& [name, parameters] : _objects) {
        auto placed = std::make_unique<placed_object_c>();
        placed->name = name;
        placed->templateIndex = 0;
        parameters(placed->parameters);
        level.placedObjects.push_back(std::move(placed));
    }
    for (auto& path : _paths)
        level.levelObjects.push_back(std::move(path));
    mission_builder_c::AddLevelScene(_mission.files.files, SceneFolder(_file), level);
}

std::vector<std::unique_ptr<parameter_object_c>> OnePath(const char* _name, const vec3_c& _from, const vec3_c& _to)
{
    std::vector<std::unique_ptr<parameter_object_c>> paths;
    paths.push_back(MakeTestPath(_name, {_from, _to}));
    return paths;
}

// Every scenery section of a level, loaded through the game's own factory.
class SceneryLoading : public LevelLoading {
public:
    void SetUp() override
    {
        LevelLoading::SetUp();
        mission.builder.missionScript = "function mission_init() end\n";
        state.SetObjectFactory(nullptr);

        AddTemplatedScene(mission, "zeps.sce", "zep.op",
                          {{"zep_1",
                            [](parameter_list_c& _list) {
                                string_c route = "route";
                                _list.GetSetString("move_path", &route, false);
                            }}},
                          OnePath("route", vec3_c(0.0f, 100.0f, -20.0f), vec3_c(0.0f, 100.0f, 20.0f)));
        AddTemplatedScene(mission, "cars.sce", "truck.op",
                          {{"truck_1",
                            [](parameter_list_c& _list) {
                                string_c road = "road";
                                _list.GetSetString("move_path", &road, false);
                                bool always = true;
                                _list.GetSetBool("always_active", &always, false);
                            }}},
                          OnePath("road", vec3_c(0.0f, 5.0f, -20.0f), vec3_c(0.0f, 5.0f, 20.0f)));
        AddTemplatedScene(mission, "yachts.sce", "boat.op",
                          {{"boat_1", [](parameter_list_c&) {}}, {"boat_2", [](parameter_list_c&) {}}});
        AddTemplatedScene(mission, "birds.sce", "nest.op",
                          {{"flock", [](parameter_list_c& _list) {
                                string_c type = "crow.vob";
                                _list.GetSetString("type", &type, false);
                                i32 count = 3;
                                _list.GetSetInt("count", &count, false, 0, 10);
                                f32 spread = 10.0f;
                                _list.GetSetFloat("spread", &spread, false, 0.0f, 99.0f);
                                f32 speed = 5.0f;
                                _list.GetSetFloat("fly_speed", &speed, false, 0.0f, 99.0f);
                            }}});
        level_scene_c crowds;
        auto area = std::make_unique<area_record_c>();
        area->name = "square";
        area->position = vec3_c(0.0f, 2.0f, 0.0f);
        area->scale = vec3_c(20.0f, 1.0f, 20.0f);
        AddText(area->parameters, "model run", "run.vob");
        AddText(area->parameters, "model idle", "walk.vob");
        i32 count = 4;
        area->parameters.GetSetInt("count", &count, false, 0, 100);
        crowds.areas.push_back(std::move(area));
        mission_builder_c::AddLevelScene(mission.files.files, SceneFolder("crowds.sce"), crowds);

        for (const char* model : {"crow.vob", "run.vob", "walk.vob"})
            mission.files.files[model] = Written(null_object_c(model));
        mission_builder_c::AddPicture(mission.files.files, SceneFolder("cloud1.dds"));
        mission_builder_c::AddPicture(mission.files.files, SceneFolder("cloud2.dds"));

        mission.builder.levelSections = {
            mission_builder_c::Environment(),
            "clouds color_map1=\"" + SceneFolder("cloud1.dds") + "\" color_map2=\"" + SceneFolder("cloud2.dds") +
                "\" height=300 spread=2000 size=80 dencity=1",
            Section("zeppelins", "zeps.sce"),
            Section("vehicles", "cars.sce"),
            Section("yachts", "yachts.sce"),
            Section("birds", "birds.sce"),
            Section("crowds", "crowds.sce"),
        };
    }
};

TEST_F(SceneryLoading, EverySectionLoadsAndLives)
{
    mission.Build();
    state.Enter(&mission.app);
    ASSERT_EQ("", state.GetFailure());

    ASSERT_EQ(3u, state.world->GetObjectCount());
    auto* zeppelin = dynamic_cast<game_object_zeppelin_c*>(state.world->GetObject(0));
    auto* truck = dynamic_cast<game_object_car_c*>(state.world->GetObject(1));
    auto* yachts = dynamic_cast<game_object_yachts_c*>(state.world->GetObject(2));
    ASSERT_NE(nullptr, zeppelin);
    ASSERT_NE(nullptr, truck);
    ASSERT_NE(nullptr, yachts);
    EXPECT_EQ("zep_1", zeppelin->name);
    EXPECT_NE(nullptr, zeppelin->movePath);
    EXPECT_EQ("truck_1", truck->name);
    EXPECT_NE(nullptr, truck->movePath);
    EXPECT_TRUE(truck->alwaysActive);
    EXPECT_EQ(2u, yachts->boats.size());

    ASSERT_NE(nullptr, state.scenery);
    ASSERT_NE(nullptr, state.scenery->clouds);
    EXPECT_EQ(cloud_layer_c::CloudCount(mission.app.options->graphic_detail, 1.0f, 2000.0f),
              state.scenery->clouds->GetClouds().size());
    ASSERT_NE(nullptr, state.scenery->birds);
    EXPECT_EQ(3u, state.scenery->birds->GetBirds().size());
    ASSERT_NE(nullptr, state.scenery->crowd);
    ASSERT_EQ(1u, state.scenery->crowd->GetAreaCount());
    EXPECT_EQ(4u, state.scenery->crowd->GetArea(0).members.size());

    const vec3_c truckStart = truck->GetPosition();
    for (int frame = 0; frame <= 40; ++frame)
        ASSERT_EQ(state_stay, state.Update(frame * 0.05)) << state.GetFailure();
    EXPECT_GT(truck->GetPosition().z, truckStart.z) << "the truck drives";
    EXPECT_NEAR(2.0f, truck->GetPosition().y, 1e-3f) << "on the terrain";
    EXPECT_GT(zeppelin->GetPosition().z, -20.0f);
    EXPECT_NE(0.0f, yachts->boats[1]->rotation.z) << "the boats rock";
    EXPECT_EQ(0, state.scenery->crowd->GetCurrentArea());
    for (const crowd_member_c& member : state.scenery->crowd->GetArea(0).members)
        EXPECT_EQ(crowd_fleeing, member.state) << "the player's place is close by";
}

TEST_F(SceneryLoading, LowDetailLeavesOutCloudsAndCrowds)
{
    mission.app.options->graphic_detail = 0.1f;
    mission.Build();
    state.Enter(&mission.app);
    ASSERT_EQ("", state.GetFailure());
    EXPECT_EQ(nullptr, state.scenery->clouds);
    EXPECT_EQ(nullptr, state.scenery->crowd);
    EXPECT_NE(nullptr, state.scenery->birds);
}

} // namespace
