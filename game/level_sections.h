#pragma once
// The sections of a level script. A level script is a parameter text file
// read command by command: the command's name is the section (compared
// without regard to case; other names are skipped), its name=value
// parameters are the section's keys. "environment" must come first; every
// other section needs the scene, world and terrain it makes, and a level
// script that starts with another section is refused with file_error_c
// "The level script must start with an environment section!".
//
// Scene set-up (game/level_loading.cpp):
//   environment   lights (scene), shadow_intensity, shadow_color, skybox
//                 (prefix of front/back/left/right/up/down ".dds"),
//                 skybox_scale, skybox_pos, terrain, scripts, the HUD keys
//                 hud_info_lines_shadow_offset, hud_info_lines_color,
//                 hud_compass, hud_path, and map;
//   clouds        color_map2, color_map1, height, spread, size, dencity;
//                 only above graphic detail 0.1;
//   terrain_params file: the first placed object's parameters become the
//                 world's terrain parameters;
//   LoadSCE       file: static scenery (forests dropped at detail <= 0.1);
//   LoadHP        file: destructible scenery, objects with "HP";
//   sounds        file: ambient sounds, each object with "file",
//                 "distance" and "looped" (else "sound::file", ...).
// Game objects (game/level_sections.cpp), each from the scene "file":
//   aaguns, zeppelins, vehicles, cannons, yachts, control_points,
//   airfields, balloons, birds, crowds, planes, user.
// Choices and checks of the object sections:
//   planes  the display name is "Axis_<n>" when the template's MainGroup
//           "iff" is negative, else "Ally_<n>", n counting the section's
//           planes from 0 whatever their side;
//   user    without a current pilot the first plane of the list is flown;
//           a selected plane outside the list throws "Plane <n> is not in
//           the plane list (<m> planes)"; a scene whose first level object
//           is not a control point, or that has none, throws "There should
//           be ONE control point at user.sce!";
//   crowds  the count of a "model run" triple must be a whole number, not
//           negative: else "crowds: the count after "model run" in area
//           "<name>" is not a count"; a triple cut short by the end of the
//           area's list is skipped;
//   birds   a missing key throws "birds::type", "birds::count",
//           "birds::spread" or "birds::fly speed".
// Multiplayer computer planes choose among the first ten planes of the
// list (fewer when the list is shorter; none throws).
// A required key that is absent throws command_error_c "Parameter not
// found!". Objects come from the state's mission_object_factory_c.
//
// Lua files named by "scripts", by an object's "script" parameter and by
// control points run at once in checked mode; a script that fails throws
// std::runtime_error naming the file.
#include "foundation/types.h"

class command_c;
class level_scene_c;
class parameter_list_c;
class state_game_c;

using level_section_f = void (*)(state_game_c& _state, const command_c& _command);

struct level_section_c {
    const char* name;
    level_section_f read;
};

// The section of that name (letter case ignored), or null.
const level_section_c* FindLevelSection(const char* _name);

void ReadEnvironmentSection(state_game_c& _state, const command_c& _command);
void ReadCloudsSection(state_game_c& _state, const command_c& _command);
void ReadTerrainParamsSection(state_game_c& _state, const command_c& _command);
void ReadStaticScenerySection(state_game_c& _state, const command_c& _command);
void ReadDestructibleScenerySection(state_game_c& _state, const command_c& _command);
void ReadSoundsSection(state_game_c& _state, const command_c& _command);

// After the level script, in a multiplayer game this program hosts: the
// computer planes of both sides.
void AddMultiplayerComputerPlanes(state_game_c& _state);

// Runs a Lua file on the mission's script host; a failure throws
// std::runtime_error("Script \"<file>\" failed: <error>").
void RunLevelScript(state_game_c& _state, const char* _file);
// Runs the file named by the list's "script" parameter, when it has one.
void RunObjectScript(state_game_c& _state, const parameter_list_c& _parameters);
// A new level scene loaded from the section's "file", appended to the
// state's kept list (and the world's), added to the game scene and named
// _name; with _drop_forests its forests are dropped before it joins.
level_scene_c& KeepLevelScene(state_game_c& _state, const command_c& _command, bool _separate_templates,
                              const char* _name, bool _drop_forests = false);
