#include "game/testing/mission_builder.h"

#include "engine/light.h"
#include "engine/scene.h"
#include "engine/terrain.h"
#include "engine/terrain_builder.h"
#include "foundation/memory_file.h"
#include "image/image.h"
#include "level/control_point_object.h"
#include "level/level_scene.h"
#include "level/testing/level_fixtures.h"
#include "tools/data-kit/data_files.h"

#include <memory>

namespace {

std::string Folder(const char* _file)
{
    return std::string(kTestMissionFolder) + _file;
}

// The one mission of every list, without the list's own keys.
std::string MissionRecord()
{
    std::string record = "add_mission path=\"";
    record += kTestMissionFolder;
    record += "\" script=level.txt map=map.dds";
    return record;
}

} // namespace

mission_builder_c::mission_builder_c(renderer_c* _renderer) : renderer(_renderer)
{
    levelSections = {
        Environment(),
        "control_points file=\"" + Folder("points.sce") + "\"",
        "aaguns file=\"" + Folder("aaguns.sce") + "\"",
        "user file=\"" + Folder("user.sce") + "\"",
    };
    missionScript = "function mission_init()\n"
                    "  add_event(\"halfway\", 2)\n"
                    "end\n"
                    "function halfway()\n"
                    "  store_mission_results(1, 0)\n"
                    "  add_event(\"finish\", 1)\n"
                    "end\n"
                    "function finish()\n"
                    "  terminate_mission()\n"
                    "end\n";
    planes = {kTestPlaneFile};
    for (int i = 0; i < 120; ++i)
        inGameTexts.push_back("text " + std::to_string(i));
}

std::string mission_builder_c::Environment(const std::string& _extra)
{
    return "environment lights=\"" + Folder("lights.lws") + "\" skybox=\"" + Folder("sky_") +
           "\" skybox_scale=\"1000 1000 1000\" skybox_pos=\"0 0 0\" terrain=\"" + Folder("terrain.ter") +
           "\" scripts=\"" + kTestMissionScript +
           "\" hud_compass=\"compass.op\" hud_path=\"data\\game\\hud\\\" map=\"" + Folder("map.dds") + "\"" +
           (_extra.empty() ? "" : " " + _extra);
}

void mission_builder_c::AddText(mission_files_t& _files, const std::string& _name, const std::string& _text)
{
    AddDataText(_files, _name, _text);
}

void mission_builder_c::AddPicture(mission_files_t& _files, const std::string& _name)
{
    image_c picture;
    picture.Create(8, 8, format_x8r8g8b8);
    picture.Fill(0xFF4080C0);
    AddDataPicture(_files, _name, picture, image_file_bmp);
}

void mission_builder_c::AddLevelScene(mission_files_t& _files, const std::string& _name, level_scene_c& _scene)
{
    AddDataLevelScene(_files, _name, _scene);
}

void mission_builder_c::AddTemplate(mission_files_t& _files, const std::string& _name, i32 _iff) const
{
    AddTestTemplate(_files, _name, {{"MainGroup", true, {{"iff", _iff}}}, {"Wreck", true, {}}},
                    {{"normal", {0}}, {"destroyed", {1}}}, renderer);
}

void mission_builder_c::Write(mission_files_t& _files) const
{
    const std::string record = MissionRecord();
    AddText(_files, "data\\common\\career_missions.txt",
            record + " objectives=o briefing=b distinction_primary=0 distinction_secondary=1\n");
    AddText(_files, "data\\common\\training_missions.txt", record + " objectives=o briefing=b\n");
    AddText(_files, "data\\common\\multiplayer_missions.txt", record + "\n");
    std::string planes_text;
    for (const std::string& plane : planes)
        planes_text += "add_plane fname=\"" + plane + "\"\n";
    AddText(_files, "data\\common\\planes.txt", planes_text);
    std::string texts;
    for (const std::string& line : inGameTexts)
        texts += line + "\n";
    AddText(_files, "data\\common\\in_game_texts.txt", texts);

    std::string level;
    for (const std::string& section : levelSections)
        level += section + "\n";
    AddText(_files, kTestLevelScript, level);
    AddText(_files, kTestMissionScript, missionScript);
    WriteScenes(_files);
    WriteLevelScenes(_files);
}

void mission_builder_c::WriteScenes(mission_files_t& _files) const
{
    scene_c loading("loading", renderer);
    loading.Play(0.0f, 0.0f, 1.0f, false);
    AddDataScene(_files, "data\\common\\loading\\loading.lws", loading);
    for (int i = 1; i <= 5; ++i)
        AddPicture(_files, "data\\common\\loading\\loading_" + std::to_string(i) + ".dds");
    scene_c fade("fade", renderer);
    fade.Play(0.0f, 0.0f, 2.0f, false);
    AddDataScene(_files, "data\\common\\others\\fade.lws", fade);

    scene_c lights("lights", renderer);
    lights.AddLight(new light_c("sun"));
    AddDataScene(_files, Folder("lights.lws"), lights);
    for (const char* face : {"front", "back", "left", "right", "up", "down"})
        AddPicture(_files, Folder("sky_") + face + ".dds");
    AddPicture(_files, Folder("map.dds"));

    // A flat square of 64 m around the origin, 2 m high.
    constexpr u32 side = 5;
    const std::vector<f32> heights(side * side, 2.0f);
    std::unique_ptr<terrain_c> terrain(BuildTerrain("terrain", renderer, heights.data(), side, 16.0f, 4));
    terrain->position = vec3_c(-32.0f, 0.0f, 32.0f);
    output_file_c out;
    terrain->Write(out);
    _files[Folder("terrain.ter")] = DataBytes(out);
}

void mission_builder_c::WriteLevelScenes(mission_files_t& _files) const
{
    level_scene_c points;
    points.name = "points";
    points.levelObjects.push_back(MakeControlPoint("bridge", vec3_c(100.0f, 50.0f, 0.0f), 40.0f, 1));
    points.levelObjects.push_back(MakeControlPoint("field", vec3_c(-100.0f, 0.0f, 200.0f), 60.0f, 2));
    AddLevelScene(_files, Folder("points.sce"), points);

    AddTemplate(_files, Folder("aagun.op"), -1);
    level_scene_c aaguns;
    aaguns.name = "aaguns";
    aaguns.templates.push_back(std::make_unique<object_template_c>());
    aaguns.templates.back()->SetFileName(Folder("aagun.op").c_str());
    auto gun = std::make_unique<placed_object_c>();
    gun->name = "flak_1";
    gun->templateIndex = 0;
    gun->position = vec3_c(20.0f, 0.0f, 40.0f);
    i32 burst = 5;
    gun->parameters.GetSetInt("burst_length", &burst, false, 0, 100);
    aaguns.placedObjects.push_back(std::move(gun));
    AddLevelScene(_files, Folder("aaguns.sce"), aaguns);

    level_scene_c user;
    user.name = "user";
    auto start = MakeControlPoint("start", vec3_c(0.0f, 100.0f, -50.0f), 10.0f, 0);
    start->rotation = vec3_c(0.5f, 0.0f, 0.0f);
    i32 rockets = 4;
    start->parameters.GetSetInt("rockets", &rockets, false, 0, 100);
    user.levelObjects.push_back(std::move(start));
    AddLevelScene(_files, Folder("user.sce"), user);
}
