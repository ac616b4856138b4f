#pragma once
// The generator of the data set's models, pictures and sounds. Each Make*
// writes its files through the current file writer under their archive
// names ("data\\planes\\hawk\\hawk.op"); the program installs a writer that
// lays them out in a staging folder, tests one that keeps them in memory.
// Geometry is built with the given renderer (a null renderer is enough).
// The output depends on nothing but this code: two runs give the same bytes.
#include <string>
#include <vector>

class renderer_c;

// The two planes: "data\\planes\\hawk\\hawk.op" (side +1) and
// "data\\planes\\falcon\\falcon.op" (side -1) with their skins. Their sound
// scripts are hand-written text in the repository's data folder.
void MakePlanes(renderer_c* _renderer);
// The anti-aircraft gun, the balloon and the flak cannon.
void MakeGroundTargets(renderer_c* _renderer);
// The Allied airship and the German zeppelin: one frame with three turret
// guns ("gun_1" to "gun_3"), "normal", "burned" and "crashed" models.
void MakeAirships(renderer_c* _renderer);
// The lorry and the staff car (German vehicles with "normal" and
// "destroyed" models), the hangar, house and tower (each with a "normal" and
// a "burned" model, for destructible scenery) and two trees.
void MakeGroundScenery(renderer_c* _renderer);
// Bullet, bomb and rocket, the rocket's smoke, the plane effects' pictures
// and the muzzle flash.
void MakeProjectilesAndEffects(renderer_c* _renderer);
// Compass with map and target arrows, sight, item icons, digits, the gun
// scene and the map markers.
void MakeHud(renderer_c* _renderer);
// Every WAVE sound and the menu music.
void MakeSounds();
// All of the above.
void MakeModels(renderer_c* _renderer);

// Archive names of the models the game loads, for tests.
extern const char* const plane_files[2];
extern const char* const aagun_file;
extern const char* const balloon_file;
extern const char* const flak_file;
// Allied airship, German zeppelin.
extern const char* const airship_files[2];
extern const char* const lorry_file;
extern const char* const staff_car_file;
extern const char* const hangar_file;
extern const char* const house_file;
extern const char* const tower_file;
extern const char* const fir_file;
extern const char* const oak_file;
// The HUD folder the levels name as "hud_path"; the HUD finds "sight.op" and
// "items.op" there, the digits and the gun scene under the game's own names.
extern const char* const hud_folder;
extern const char* const hud_compass_file;
std::string HudFile(const char* _name);
// Archive names of every sound file written.
std::vector<std::string> SoundFiles();
