#pragma once
// mission_builder_c: the files of a small mission under the fixed names the
// game looks up, made by the project's own writers: the three mission
// lists, the plane list and the in-game texts, the loading screen and the
// fade scene, and one career mission of a level script with an "environment"
// (a "lights" scene with one light, a sky box, a flat terrain 2 m high from
// -32 to 32 on x and z, the mission script), a "control_points" scene
// ("bridge", "field"), an "aaguns" scene with one gun ("flak_1") and a
// "user" scene whose first level object is the player's start ("start",
// 4 rockets). Tests change the texts or add files
// before calling Write; tools that need the same fixed-name files use it
// the same way.
#include "foundation/types.h"
#include "tools/data-kit/data_files.h"

#include <string>
#include <vector>

class level_scene_c;
class renderer_c;

using mission_files_t = data_files_t;

inline constexpr char kTestMissionFolder[] = "data\\missions\\test\\";
inline constexpr char kTestLevelScript[] = "data\\missions\\test\\level.txt";
inline constexpr char kTestMissionScript[] = "data\\missions\\test\\mission.lua";
inline constexpr char kTestPlaneFile[] = "data\\planes\\test.op";

class mission_builder_c {
public:
    explicit mission_builder_c(renderer_c* _renderer);

    // The sections of the level script, in order; each a whole command line.
    std::vector<std::string> levelSections;
    std::string missionScript;
    std::vector<std::string> planes;
    std::vector<std::string> inGameTexts;

    // The "environment" section with the given extra keys (name=value ...).
    static std::string Environment(const std::string& _extra = "");

    // Every file, written into _files (replacing files of the same name).
    void Write(mission_files_t& _files) const;
    // A text file.
    static void AddText(mission_files_t& _files, const std::string& _name, const std::string& _text);
    // A small picture (BMP data under any name).
    static void AddPicture(mission_files_t& _files, const std::string& _name);
    // A level scene written as a scene file.
    static void AddLevelScene(mission_files_t& _files, const std::string& _name, level_scene_c& _scene);
    // A template of one game-object group "MainGroup" with "iff" = _iff and
    // the models "normal" and "destroyed".
    void AddTemplate(mission_files_t& _files, const std::string& _name, i32 _iff) const;

private:
    void WriteScenes(mission_files_t& _files) const;
    void WriteLevelScenes(mission_files_t& _files) const;

    renderer_c* renderer;
};
