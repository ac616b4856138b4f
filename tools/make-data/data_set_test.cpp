// Walks the packed demo data set as the game reads it, through the archive
// file system: every list, every mission's files, every level script's
// files, every scene's templates and every mission script's callbacks.
#include <gtest/gtest.h>

#include "app/mission_info.h"
#include "engine/null_renderer.h"
#include "foundation/archive_file_system.h"
#include "foundation/script_loader.h"
#include "foundation/testing/file_presence.h"
#include "game/script_host.h"
#include "game/state_game.h"
#include "input/controllers.h"
#include "input/testing/script_devices.h"
#include "level/parameter_object.h"
#include "level/level_scene.h"
#include "level/object_template.h"
#include "tools/data-kit/data_files.h"
#include "tools/make-data/bindings.h"
#include "tools/make-data/career_layout.h"
#include "tools/make-data/mission_layout.h"
#include "tools/make-data/scenery.h"

#include <algorithm>
#include <cctype>
#include <map>
#include <set>
#include <string>
#include <vector>

namespace {

// Files that the models generator makes. They are looked for like every
// other file once that generator has run; until then their absence is only
// reported.
const std::vector<std::string> kModelFiles = {
    "data\\planes\\hawk\\hawk.op",
    "data\\planes\\falcon\\falcon.op",
    kAagunTemplate,
    kBalloonTemplate,
    kFlakTemplate,
    kAirshipTemplate,
    kZeppelinTemplate,
    kLorryTemplate,
    kStaffCarTemplate,
    kHangarTemplate,
    kHouseTemplate,
    kTowerTemplate,
    kFirTemplate,
    kOakTemplate,
    "data\\game\\hud\\compass.op",
    "data\\game\\hud\\sight.op",
    "data\\game\\hud\\items.op",
    "data\\game\\hud\\digits.op",
    "data\\game\\hud\\karabinek.lws",
    "data\\game\\hud\\map_userplane.lwo",
    "data\\game\\hud\\map_aliant.lwo",
    "data\\game\\hud\\map_german.lwo",
    "data\\game\\common_objects\\pocisk\\pocisk.op",
    "data\\game\\common_objects\\bomba\\bomba.op",
    "data\\game\\common_objects\\raca\\raca.op",
    "data\\game\\common_objects\\fx\\dym_raca.vob",
    "data\\common\\planes\\fx\\smoke.png",
    "data\\common\\planes\\fx\\case1.png",
    "data\\common\\planes\\fx\\shoot\\ogien.lws",
};

std::string Lower(std::string _text)
{
    std::transform(_text.begin(), _text.end(), _text.begin(),
                   [](unsigned char _c) { return static_cast<char>(std::tolower(_c)); });
    return _text;
}

// Level script keys whose value is a whole file name.
bool IsFileKey(const std::string& _key)
{
    static const std::set<std::string> keys = {"lights", "terrain",    "scripts",   "map",
                                               "file",   "color_map1", "color_map2"};
    return keys.count(Lower(_key)) != 0;
}

class DataSet : public ::testing::Test {
protected:
    DataSet() : files(DATA_ARCHIVE, DATA1_ARCHIVE) {}

    bool Exists(const std::string& _name) { return HoldsFile(files, _name); }

    // A file the game will read: it must be there, unless the models
    // generator makes it and has not run.
    void ExpectFile(const std::string& _name, const std::string& _named_by)
    {
        const bool model = std::any_of(kModelFiles.begin(), kModelFiles.end(),
                                       [&](const std::string& _file) { return Lower(_file) == Lower(_name); });
        if (model && !Exists(_name))
            missingModels.insert(_name);
        else
            EXPECT_TRUE(HoldsNamedFile(files, _name, _named_by));
    }

    std::vector<mission_info_c> AllMissions()
    {
        std::vector<mission_info_c> all;
        for (const auto& [file, kind] : {std::pair{kCareerMissionsFile, mission_list_career},
                                         std::pair{kTrainingMissionsFile, mission_list_training},
                                         std::pair{kMultiplayerMissionsFile, mission_list_multiplayer}}) {
            const auto missions = ReadMissionList(file, kind);
            all.insert(all.end(), missions.begin(), missions.end());
        }
        return all;
    }

    // Every level script of the three lists, once each.
    std::set<std::string> LevelScripts()
    {
        std::set<std::string> scripts;
        for (const mission_info_c& mission : AllMissions())
            scripts.insert(mission.script.GetData());
        return scripts;
    }

    // The level scripts of one list, once each.
    static std::set<std::string> LevelScripts(const char* _list, mission_list_kind_e _kind)
    {
        std::set<std::string> scripts;
        for (const mission_info_c& mission : ReadMissionList(_list, _kind))
            scripts.insert(mission.script.GetData());
        return scripts;
    }

    ~DataSet() override
    {
        for (const std::string& name : missingModels)
            std::printf("not made yet (models generator): %s\n", name.c_str());
    }

    archive_file_system_c files;
    std::set<std::string> missingModels;
};

TEST_F(DataSet, ListsHaveWhatTheShellAndTheMenusNeed)
{
    const auto planes = ReadPlaneList(kPlanesFile);
    ASSERT_GE(planes.size(), 12u) << "a new multiplayer pilot flies planes 1, 2, 11 and 12";
    for (const string_c& plane : planes)
        ExpectFile(plane.GetData(), kPlanesFile);
    EXPECT_EQ(Lower(planes[0].GetData()), "data\\planes\\hawk\\hawk.op");
    EXPECT_EQ(Lower(planes[1].GetData()), "data\\planes\\falcon\\falcon.op");

    const auto texts = ReadTextLines(kInGameTextsFile);
    ASSERT_GE(texts.size(), 316u) << "the pause lines are texts 312 and 315";

    EXPECT_FALSE(ReadMissionList(kTrainingMissionsFile, mission_list_training).empty());
    for (const mission_info_c& mission : AllMissions()) {
        const std::string script = mission.script.GetData();
        ExpectFile(script, "a mission list");
        ExpectFile(mission.map.GetData(), "the mission record of " + script);
        for (const string_c* text : {&mission.objectives, &mission.briefing, &mission.briefing_stream})
            if (!text->IsEmpty())
                ExpectFile(text->GetData(), "the mission record of " + script);
    }
}

TEST_F(DataSet, FilesTheGameLooksUpByFixedNamesArePresent)
{
    for (const char* name : {kFadeScene, kLoadingScene, kGlowScene, kPlanePreviewLights})
        ExpectFile(name, "the game's code");
    for (int n = 1; n <= kLoadingPictures; ++n)
        ExpectFile(std::string(kLoadingPrefix) + std::to_string(n) + ".dds", "the loading screen");
    for (const std::string& name : kModelFiles)
        ExpectFile(name, "the game's code");
}

TEST_F(DataSet, EveryFileALevelScriptNamesIsPresent)
{
    EXPECT_EQ(ReadSceneTemplateNames(std::string(kFirstTraining) + "aaguns.sce"),
              std::vector<std::string>{kAagunTemplate});
    null_renderer_c renderer;
    const auto scripts = LevelScripts();
    ASSERT_FALSE(scripts.empty());
    for (const std::string& script : scripts) {
        script_loader_c loader(script.c_str());
        bool environment = false;
        while (const char* name = loader.ReadCommand()) {
            const std::string section = Lower(name);
            if (section == "environment") {
                environment = true;
                const std::string sky = loader.GetParameter("skybox");
                for (const char* face : {"front", "back", "left", "right", "up", "down"})
                    ExpectFile(sky + face + ".dds", script);
                ExpectFile(std::string(loader.GetParameter("hud_path")) + loader.GetParameter("hud_compass"), script);
            } else {
                EXPECT_TRUE(environment) << script << ": " << section << " comes before the environment";
            }
            const auto& keys = loader.GetNames();
            const auto& values = loader.GetValues();
            for (size_t i = 0; i < keys.size(); ++i) {
                if (!IsFileKey(keys[i].GetData()))
                    continue;
                const std::string file = values[i].GetData();
                ExpectFile(file, script);
                if (Lower(file).ends_with(".sce") && Exists(file)) {
                    bool loadable = true;
                    for (const std::string& tmpl : ReadSceneTemplateNames(file)) {
                        ExpectFile(tmpl, file);
                        loadable = loadable && Exists(tmpl);
                    }
                    if (section == "user" && loadable) {
                        level_scene_c level;
                        level.Load(file.c_str(), &renderer, false);
                        ASSERT_FALSE(level.levelObjects.empty()) << file;
                        EXPECT_EQ(level.levelObjects.front()->GetType(), level_object_control_point)
                            << file << ": the player starts at the first level object, a control point";
                    }
                }
            }
        }
    }
}

TEST_F(DataSet, DefaultBindingsLoadIntoTheInputLayerOneNamePerAction)
{
    script_input_c input;
    script_input_scope_c scope{input};
    AddKeyboard(input);
    controllers_c controllers(nullptr);
    controllers.LoadFromFile(kDefaultBindingsFile);
    const auto names = ReadTextLines("data\\common\\actions.txt");
    ASSERT_EQ(controllers.GetActionCount(), DefaultBindings().size());
    EXPECT_EQ(names.size(), controllers.GetActionCount()) << "actions.txt names the actions in their order";
    std::set<std::string> bound;
    for (u32 i = 0; i < controllers.GetActionCount(); ++i) {
        const action_c& action = controllers.GetAction(i);
        EXPECT_EQ(action.device, controllers.GetDevices().FindDevice(GUID_SysKeyboard)) << action.name.GetData();
        EXPECT_TRUE(bound.insert(Lower(action.name.GetData())).second) << "twice: " << action.name.GetData();
    }
    // What the game state and the player's plane look up by name.
    for (const char* name : game_action_names)
        EXPECT_TRUE(bound.count(Lower(name))) << name;
    for (const char* name :
         {"fire", "bomb", "rocket", "tail-left", "follow_me", "attack", "patrol", "help", "auto-level"})
        EXPECT_TRUE(bound.count(name)) << name;
}

// A mission script run with the game's bindings recorded instead of done:
// each call as "name arguments...", the events it asked for, and the lines
// it wants shown.
class recorded_mission_c {
public:
    explicit recorded_mission_c(const std::string& _file)
    {
        for (const char* name : {"add_event", "store_mission_results", "terminate_mission", "add_mission_info_line",
                                 "add_info_line_with_sound", "play_2d_sound", "fly_plane_to_control_point",
                                 "land_plane", "bomb_target", "patrol_at_control_point", "set_vehicle_move",
                                 "cut_scene_camera", "restore_camera_from_cut_scene", "play_outro"})
            bindings.push_back({name, this});
        for (binding_s& binding : bindings)
            host.Register(binding.name, &Record, &binding);
        host.RunFile(_file.c_str(), false);
        host.SetGlobalNumber("game_time", 0.0);
        SetUserAlive(true);
    }

    void SetUserAlive(bool _alive) { host.SetGlobalNumber("user_alive", _alive ? 1.0 : 0.0); }

    // Calls the function, then every event that is due.
    bool Call(const std::string& _function) { return host.CallFunction(_function.c_str()) && RunDueEvents(); }
    // Game time goes on by _seconds; the events due by then run.
    bool Advance(f32 _seconds)
    {
        now += _seconds;
        host.SetGlobalNumber("game_time", now);
        return RunDueEvents();
    }
    bool Called(const std::string& _call) const { return std::find(calls.begin(), calls.end(), _call) != calls.end(); }

    script_host_c host;
    std::vector<std::string> calls;
    std::vector<int> infoLines;

private:
    // As the game walks its event list: in order, events added on the way
    // included.
    bool RunDueEvents()
    {
        for (size_t i = 0; i < events.size();) {
            if (events[i].first > now) {
                ++i;
                continue;
            }
            const std::string name = events[i].second;
            events.erase(events.begin() + static_cast<std::ptrdiff_t>(i));
            if (!host.CallFunction(name.c_str()))
                return false;
        }
        return true;
    }

    struct binding_s {
        const char* name;
        recorded_mission_c* mission;
    };

    static void Record(script_host_c* _host, int _count, void* _context)
    {
        const binding_s& binding = *static_cast<binding_s*>(_context);
        recorded_mission_c& mission = *binding.mission;
        std::string call = binding.name;
        for (int i = 1; i <= _count; ++i)
            call += " " + (_host->IsStringArg(i) ? std::string(_host->GetStringArg(i).GetData())
                                                 : std::to_string(static_cast<int>(_host->GetNumberArg(i))));
        mission.calls.push_back(call);
        if (call.starts_with("add_event "))
            mission.events.push_back(
                {mission.now + static_cast<f32>(_host->GetNumberArg(2)), _host->GetStringArg(1).GetData()});
        if (std::string(binding.name) == "add_mission_info_line" && !_host->IsStringArg(1))
            mission.infoLines.push_back(static_cast<int>(_host->GetNumberArg(1)));
    }

    std::vector<binding_s> bindings;
    std::vector<std::pair<f32, std::string>> events;
    f32 now = 0.0f;
};

// Every in-game text line the script showed is one of the _texts lines.
void ExpectKnownInfoLines(const recorded_mission_c& _mission, size_t _texts)
{
    for (int line : _mission.infoLines)
        EXPECT_TRUE(line >= 0 && static_cast<size_t>(line) < _texts) << "in-game text " << line;
}

// The mission stored these results, once, and ended.
void ExpectEndedWith(const recorded_mission_c& _mission, const char* _results)
{
    EXPECT_TRUE(_mission.Called(_results)) << _results;
    EXPECT_EQ(std::count_if(_mission.calls.begin(), _mission.calls.end(),
                            [](const std::string& _call) { return _call.starts_with("store_mission_results"); }),
              1);
    EXPECT_TRUE(_mission.Called("terminate_mission"));
}

// The mission script of a level script, or "" without one.
std::string MissionScriptOf(const std::string& _level_script)
{
    script_loader_c loader(_level_script.c_str());
    while (const char* name = loader.ReadCommand())
        if (Lower(name) == "environment") {
            const char* file = loader.FindParameter("scripts");
            return file ? file : "";
        }
    return "";
}

// The mission scripts of the level scripts, in their order; a level
// without one is passed over.
std::vector<std::string> MissionScriptsOf(const std::set<std::string>& _level_scripts)
{
    std::vector<std::string> scripts;
    for (const std::string& level : _level_scripts)
        if (std::string file = MissionScriptOf(level); !file.empty())
            scripts.push_back(std::move(file));
    return scripts;
}

TEST_F(DataSet, MissionScriptsEndTheirMissionsWhenThePlayerIsLost)
{
    const size_t texts = ReadTextLines(kInGameTextsFile).size();
    std::set<std::string> levels = LevelScripts(kCareerMissionsFile, mission_list_career);
    levels.merge(LevelScripts(kTrainingMissionsFile, mission_list_training));
    for (const std::string& file : MissionScriptsOf(levels)) {
        SCOPED_TRACE(file);
        recorded_mission_c mission(file);
        ASSERT_TRUE(mission.Call("mission_init"));
        ASSERT_TRUE(mission.Call("mission_process"));
        EXPECT_FALSE(mission.Called("terminate_mission"));
        ASSERT_TRUE(mission.Advance(1.0f));
        mission.SetUserAlive(false);
        ASSERT_TRUE(mission.Call("mission_process"));
        EXPECT_TRUE(mission.Called("store_mission_results 0 0"));
        ASSERT_TRUE(mission.Advance(10.0f));
        EXPECT_TRUE(mission.Called("terminate_mission"));
        ExpectKnownInfoLines(mission, texts);
    }
}

TEST_F(DataSet, FirstTrainingIsWonByDestroyingTheGun)
{
    recorded_mission_c mission(MissionScriptOf(std::string(kFirstTraining) + "level.txt"));
    ASSERT_TRUE(mission.Call("mission_init"));
    ASSERT_TRUE(mission.Call("flak_1_on_hit"));
    EXPECT_FALSE(mission.Called("terminate_mission"));
    ASSERT_TRUE(mission.Call("flak_1_on_destroyed"));
    EXPECT_TRUE(mission.Called("store_mission_results 1 0"));
    ASSERT_TRUE(mission.Advance(10.0f));
    EXPECT_TRUE(mission.Called("terminate_mission"));
    // Lost afterwards, the mission stays won.
    mission.SetUserAlive(false);
    ASSERT_TRUE(mission.Call("mission_process"));
    EXPECT_FALSE(mission.Called("store_mission_results 0 0"));
}

TEST_F(DataSet, SecondTrainingIsWonByTheBalloonsAndTheBatteryCounts)
{
    const std::string script = MissionScriptOf(std::string(kSecondTraining) + "level.txt");
    struct case_s {
        const char* what;
        std::vector<const char*> destroyed;
        f32 wait;
        const char* results;
    } cases[] = {
        {"balloons only, after the grace time",
         {"balloon_1", "balloon_2", "balloon_3"},
         40.0f,
         "store_mission_results 1 0"},
        {"battery after the balloons",
         {"balloon_3", "balloon_1", "balloon_2", "battery_1", "battery_2"},
         5.0f,
         "store_mission_results 1 1"},
        {"battery first",
         {"battery_2", "battery_1", "balloon_1", "balloon_2", "balloon_3"},
         40.0f,
         "store_mission_results 1 1"},
        {"two balloons, then the time runs out", {"balloon_1", "balloon_2"}, 700.0f, "store_mission_results 0 0"},
    };
    for (const case_s& c : cases) {
        SCOPED_TRACE(c.what);
        recorded_mission_c mission(script);
        ASSERT_TRUE(mission.Call("mission_init"));
        for (const char* name : c.destroyed) {
            ASSERT_TRUE(mission.Advance(1.0f));
            ASSERT_TRUE(mission.Call(std::string(name) + "_on_destroyed"));
        }
        EXPECT_FALSE(mission.Called("terminate_mission")) << "the mission waits for the battery";
        ASSERT_TRUE(mission.Advance(c.wait));
        ASSERT_TRUE(mission.Advance(5.0f));
        ExpectEndedWith(mission, c.results);
    }
}

TEST_F(DataSet, CareerAndMultiplayerListsHaveTheirMissions)
{
    const auto career = ReadMissionList(kCareerMissionsFile, mission_list_career);
    ASSERT_EQ(career.size(), 3u);
    std::set<i32> distinctions;
    for (const mission_info_c& mission : career) {
        SCOPED_TRACE(mission.script.GetData());
        for (i32 distinction : {mission.distinction_primary, mission.distinction_secondary}) {
            EXPECT_TRUE(distinction >= 0 && distinction < 8) << distinction;
            EXPECT_TRUE(distinctions.insert(distinction).second) << "awarded twice: " << distinction;
        }
        EXPECT_NE(mission.increse_rank, 0);
    }
    EXPECT_EQ(Lower(career[0].script.GetData()), Lower(std::string(kCareerEscort) + "level.txt"));
    EXPECT_EQ(Lower(career[1].script.GetData()), Lower(std::string(kCareerConvoy) + "level.txt"));
    EXPECT_EQ(Lower(career[2].script.GetData()), Lower(std::string(kCareerDogfight) + "level.txt"));
    EXPECT_EQ(career[2].unlock_plane, 1) << "the dogfight opens the second pair of planes";

    const auto multiplayer = ReadMissionList(kMultiplayerMissionsFile, mission_list_multiplayer);
    ASSERT_EQ(multiplayer.size(), 1u);
    EXPECT_EQ(Lower(multiplayer[0].script.GetData()), Lower(std::string(kMultiplayerMeadow) + "level.txt"));
}

TEST_F(DataSet, MultiplayerStartsHaveSpawnPointsOfBothSides)
{
    null_renderer_c renderer;
    level_scene_c user;
    user.Load((std::string(kMultiplayerMeadow) + "user.sce").c_str(), &renderer, false);
    int allied = 0, german = 0;
    for (const auto& object : user.levelObjects) {
        ASSERT_EQ(object->GetType(), level_object_control_point);
        // The game's own test: the name holds "allies", letter case counting.
        if (std::string(object->name.GetData()).find("allies") != std::string::npos)
            ++allied;
        else
            ++german;
    }
    EXPECT_GE(allied, 2);
    EXPECT_GE(german, 2);
}

TEST_F(DataSet, MultiplayerScriptsGoOnWhenAPlayerIsLost)
{
    for (const std::string& file : MissionScriptsOf(LevelScripts(kMultiplayerMissionsFile, mission_list_multiplayer))) {
        SCOPED_TRACE(file);
        recorded_mission_c mission(file);
        ASSERT_TRUE(mission.Call("mission_init"));
        mission.SetUserAlive(false);
        ASSERT_TRUE(mission.Advance(30.0f));
        EXPECT_FALSE(mission.Called("terminate_mission"));
        EXPECT_FALSE(mission.Called("store_mission_results 0 0"));
    }
}

// A career mission script driven through a story of callbacks, each a
// second of game time after the one before; the results it stores and
// that it ends the mission.
struct career_story_s {
    const char* what;
    const char* mission;
    std::vector<const char*> callbacks;
    const char* results;
};

TEST_F(DataSet, CareerScriptsStoreTheResultsTheirObjectivesEarn)
{
    const career_story_s stories[] = {
        {"escort reaches the depot", kCareerEscort, {"depot_on_enter"}, "store_mission_results 1 0"},
        {"escort with every raider down, some crashed",
         kCareerEscort,
         {"raider_1_on_destroyed", "raider_1_on_crashed", "raider_2_on_crashed", "raider_3_on_destroyed",
          "raider_4_on_destroyed", "depot_on_enter"},
         "store_mission_results 1 1"},
        {"escort loses the airship",
         kCareerEscort,
         {"raider_1_on_destroyed", "airship_1_on_destroyed"},
         "store_mission_results 0 0"},
        {"convoy burnt",
         kCareerConvoy,
         {"crossroads_on_enter", "lorry_1_on_destroyed", "staff_car_on_destroyed", "lorry_2_on_destroyed",
          "lorry_3_on_destroyed"},
         "store_mission_results 1 0"},
        {"convoy burnt and the store bombed",
         kCareerConvoy,
         {"depot_store_on_destroyed", "lorry_1_on_destroyed", "lorry_2_on_destroyed", "staff_car_on_destroyed",
          "lorry_3_on_destroyed"},
         "store_mission_results 1 1"},
        {"convoy gets through", kCareerConvoy, {"lorry_1_on_destroyed", "depot_on_enter"}, "store_mission_results 0 0"},
        {"one lorry counted once",
         kCareerConvoy,
         {"lorry_1_on_destroyed", "lorry_1_on_destroyed", "lorry_2_on_destroyed", "staff_car_on_destroyed",
          "depot_on_enter"},
         "store_mission_results 0 0"},
        {"dogfight with the wingman home",
         kCareerDogfight,
         {"hunter_1_on_destroyed", "wingman_1_on_hit", "hunter_2_on_crashed", "hunter_3_on_destroyed",
          "red_ace_on_destroyed"},
         "store_mission_results 1 1"},
        {"dogfight without the wingman",
         kCareerDogfight,
         {"red_ace_on_destroyed", "wingman_1_on_destroyed", "hunter_1_on_destroyed", "hunter_2_on_destroyed",
          "hunter_3_on_crashed"},
         "store_mission_results 1 0"},
    };
    const size_t texts = ReadTextLines(kInGameTextsFile).size();
    for (const career_story_s& story : stories) {
        SCOPED_TRACE(story.what);
        recorded_mission_c mission(MissionScriptOf(std::string(story.mission) + "level.txt"));
        ASSERT_TRUE(mission.Call("mission_init"));
        for (const char* callback : story.callbacks) {
            ASSERT_TRUE(mission.Advance(1.0f));
            ASSERT_TRUE(mission.Call(callback)) << callback;
        }
        ASSERT_TRUE(mission.Advance(20.0f));
        ASSERT_TRUE(mission.Advance(5.0f));
        ExpectEndedWith(mission, story.results);
        ExpectKnownInfoLines(mission, texts);
    }
}

TEST_F(DataSet, DogfightWingmanLandsWhenTheSkyIsClear)
{
    recorded_mission_c mission(MissionScriptOf(std::string(kCareerDogfight) + "level.txt"));
    ASSERT_TRUE(mission.Call("mission_init"));
    EXPECT_TRUE(mission.Called("patrol_at_control_point wingman_1 over_field"));
    for (const char* callback : {"hunter_1_on_destroyed", "hunter_2_on_destroyed", "hunter_3_on_destroyed"})
        ASSERT_TRUE(mission.Call(callback));
    EXPECT_TRUE(mission.Called("patrol_at_control_point red_ace over_field")) << "the leader comes in last";
    ASSERT_TRUE(mission.Call("red_ace_on_destroyed"));
    EXPECT_TRUE(mission.Called("land_plane wingman_1 touchdown direction"));
}

} // namespace
