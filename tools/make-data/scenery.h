#pragma once
// The pictures and scenes around the missions: the sky box, the lights of
// the level and of the menus' plane preview, the closing fade, the loading
// screen, the glow over the chosen mission in the menus, and each mission's
// preview (the ground seen from above).
#include "tools/data-kit/data_files.h"

#include <string>

class landscape_c;
class renderer_c;

// Prefix of the six sky faces (front, back, left, right, up, down ".dds").
inline constexpr char kSkyPrefix[] = "data\\game\\sky\\day_";
inline constexpr char kLevelLights[] = "data\\game\\terrains\\meadow\\lights.lws";
inline constexpr char kFadeScene[] = "data\\common\\others\\fade.lws";
inline constexpr char kLoadingPrefix[] = "data\\common\\loading\\loading_";
inline constexpr char kLoadingScene[] = "data\\common\\loading\\loading.lws";
inline constexpr int kLoadingPictures = 5;
inline constexpr char kGlowScene[] = "data\\menu\\common\\glow2.lws";
inline constexpr char kPlanePreviewLights[] = "data\\game\\terrains\\lights.lws";

void AddSkyBox(data_files_t& _files);
// The sun with shadows and a soft fill light from the other side, and a
// camera on the field's tower looking north over the meadow.
void AddLevelLights(data_files_t& _files, renderer_c* _renderer);
// Black over the whole screen, its strength rising from nothing at 0 s to
// full at 1.5 s (the pause shows it at 0.7 s).
void AddFadeScene(data_files_t& _files, renderer_c* _renderer);
// The loading pictures and the scene they are shown in.
void AddLoadingScreen(data_files_t& _files, renderer_c* _renderer);
void AddGlowScene(data_files_t& _files, renderer_c* _renderer);
void AddPlanePreviewLights(data_files_t& _files, renderer_c* _renderer);
// The mission's preview scene _name: the landscape in small, seen from
// above, with a marker sprite over _target (x, z).
void AddMissionPreview(data_files_t& _files, const std::string& _name, const landscape_c& _landscape, f32 _target_x,
                       f32 _target_z, renderer_c* _renderer);
// The in-game map picture of a mission.
void AddMapPicture(data_files_t& _files, const std::string& _name, const landscape_c& _landscape);
