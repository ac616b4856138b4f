#pragma once
// The menus' generated files: the scenes that the controls wear (plates of
// buttons and fields with one look per state, frames, bars, check marks,
// arrows, panels), the background behind the menus, the eight distinction
// medals and the click sound. The hand-written menu and control scripts
// under data/menu name them.
//
// A control body is drawn stretched into its control's rectangle: the
// camera's view at depth d spans x -4d/3..4d/3 and y -d..d whatever the
// rectangle's shape, so a body is laid out in the unit square of its
// rectangle (u to the right, v downward). Plates lie close to the camera,
// panels far behind them, so that controls drawn after a panel stay in
// front of it.
//
// The clips of every plate (seconds of its scene's animation):
//   0 enabled, 1 pointer over, 2 disabled, 3..3.2 action (a click);
// of a bar: 0..1 the value, 2 disabled; of a check mark: 0 off, 1 on,
// 2 disabled; of a medal: 0..0.5 coming in, 0.5 still, 1..1.5 leaving.
#include "tools/data-kit/data_files.h"

#include <string>
#include <vector>

class renderer_c;

inline constexpr char kMenuFolder[] = "data\\menu\\common\\";
inline constexpr char kMenuBackground[] = "data\\menu\\common\\background.lws";
inline constexpr char kMenuClickSound[] = "data\\menu\\sounds\\click.wav";
inline constexpr char kMenuHoverSound[] = "data\\menu\\sounds\\hover.wav";

// The scene files a control script may name, by archive name.
std::vector<std::string> MenuBodyFiles();
// The distinction medals, in the order of the distinction list.
std::vector<std::string> DistinctionFiles();

void AddMenuBodies(data_files_t& _files, renderer_c* _renderer);
void AddMenuBackground(data_files_t& _files, renderer_c* _renderer);
void AddDistinctionMedals(data_files_t& _files, renderer_c* _renderer);
void AddMenuSounds(data_files_t& _files);
// All of the above.
void MakeMenus(data_files_t& _files, renderer_c* _renderer);
