#pragma once
// The generated scene files of the demo missions: where the player starts,
// the control points the mission script watches, and the ground targets.
// The level scripts and mission scripts that name them are hand-written
// under data/ in the repository.
#include "tools/data-kit/data_files.h"

#include <string>

class landscape_c;
class renderer_c;

// Files that the models generator makes and these scenes place.
inline constexpr char kAagunTemplate[] = "data\\game\\objects\\aagun\\aagun.op";
inline constexpr char kBalloonTemplate[] = "data\\game\\objects\\balloon\\balloon.op";

inline constexpr char kFirstTraining[] = "data\\game\\missions\\training_1\\";
// Where the first training mission's gun stands (x, z).
inline constexpr f32 kFirstTargetX = 250.0f;
inline constexpr f32 kFirstTargetZ = 1500.0f;

// The first training mission: "user.sce" (the start at the meadow's south
// end, facing north), "points.sce" ("runway_end", "target_area"),
// "aaguns.sce" (the gun "flak_1"), the preview scene "preview.lws" and the
// map picture "map.dds".
void AddFirstTraining(data_files_t& _files, const landscape_c& _landscape, renderer_c* _renderer);

inline constexpr char kSecondTraining[] = "data\\game\\missions\\training_2\\";
// Where the second training mission's balloons float (x, z), over the
// eastern river.
inline constexpr f32 kSecondTargetX = 1700.0f;
inline constexpr f32 kSecondTargetZ = 600.0f;

// The second training mission: "user.sce" (as the first, with 8 rockets),
// "points.sce" ("river"), "balloons.sce" ("balloon_1" to "balloon_3" at
// 220 to 260 m), "aaguns.sce" (the battery "battery_1", "battery_2"), the
// preview scene and the map picture.
void AddSecondTraining(data_files_t& _files, const landscape_c& _landscape, renderer_c* _renderer);
