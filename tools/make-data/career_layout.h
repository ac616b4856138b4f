#pragma once
// The generated scene files of the career and the multiplayer missions.
// Their level scripts, mission scripts and briefings are hand-written under
// data/ in the repository; the names below are the ones those files use.
#include "tools/data-kit/data_files.h"

class landscape_c;
class renderer_c;

// Files that the models generator makes and these scenes place.
inline constexpr char kAirshipTemplate[] = "data\\game\\objects\\airship\\airship.op";
inline constexpr char kZeppelinTemplate[] = "data\\game\\objects\\zeppelin\\zeppelin.op";
inline constexpr char kLorryTemplate[] = "data\\game\\objects\\lorry\\lorry.op";
inline constexpr char kStaffCarTemplate[] = "data\\game\\objects\\staff_car\\staff_car.op";
inline constexpr char kFlakTemplate[] = "data\\game\\objects\\flak\\flak.op";
inline constexpr char kHangarTemplate[] = "data\\game\\objects\\buildings\\hangar.op";
inline constexpr char kHouseTemplate[] = "data\\game\\objects\\buildings\\house.op";
inline constexpr char kTowerTemplate[] = "data\\game\\objects\\buildings\\tower.op";
inline constexpr char kFirTemplate[] = "data\\game\\objects\\trees\\fir.op";
inline constexpr char kOakTemplate[] = "data\\game\\objects\\trees\\oak.op";
inline constexpr char kAlliedPlaneTemplate[] = "data\\planes\\hawk\\hawk.op";
inline constexpr char kGermanPlaneTemplate[] = "data\\planes\\falcon\\falcon.op";

// The buildings and trees of our own field on the meadow, static scenery
// of every career and multiplayer mission.
inline constexpr char kHomeField[] = "data\\game\\scenery\\home_field.sce";
void AddHomeField(data_files_t& _files, const landscape_c& _landscape);

// The escort: "user.sce", "points.sce" ("depot" 3, and the raiders'
// waiting points "intercept" and "late_intercept"),
// "zeppelins.sce" (the Allied airship "airship_1" on the walk path
// "airship_route", which ends over the enemy's depot), "planes.sce" (the
// German fighters "raider_1" to "raider_4", the second pair held back far
// to the north-east), "aaguns.sce" ("depot_gun_1", "depot_gun_2"), the
// preview and the map.
inline constexpr char kCareerEscort[] = "data\\game\\missions\\career_1\\";
void AddCareerEscort(data_files_t& _files, const landscape_c& _landscape, renderer_c* _renderer);

// The convoy: "user.sce" (8 rockets, 4 bombs), "points.sce"
// ("crossroads" 5, "depot" 4), "vehicles.sce" ("lorry_1", "lorry_2",
// "staff_car", "lorry_3" in that convoy order on the walk path "road"),
// "cannons.sce" ("flak_1", "flak_2"), "aaguns.sce" ("guard_1", "guard_2"),
// "depot.sce" (destructible "depot_store" and "depot_office"), the preview
// and the map.
inline constexpr char kCareerConvoy[] = "data\\game\\missions\\career_2\\";
void AddCareerConvoy(data_files_t& _files, const landscape_c& _landscape, renderer_c* _renderer);

// The dogfight: "user.sce", "points.sce" ("over_field", "touchdown",
// "direction", "east"), "airfields.sce" (both sides' landing fields),
// "planes.sce" (the German "hunter_1" to "hunter_3" and their leader
// "red_ace", an ace, and our "wingman_1"), the preview and the map.
inline constexpr char kCareerDogfight[] = "data\\game\\missions\\career_3\\";
void AddCareerDogfight(data_files_t& _files, const landscape_c& _landscape, renderer_c* _renderer);

// The multiplayer meadow: "user.sce" (the spawn points "allies_1" to
// "allies_3" over our field and "german_1" to "german_3" over the hills to
// the north), "zeppelins.sce" (the German "zeppelin_1" on the walk path
// "raid_route" over the field), "balloons.sce", the preview and the map.
inline constexpr char kMultiplayerMeadow[] = "data\\game\\missions\\multi_1\\";
void AddMultiplayerMeadow(data_files_t& _files, const landscape_c& _landscape, renderer_c* _renderer);
