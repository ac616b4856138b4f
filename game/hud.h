#pragma once
// hud_c: the in-game overlay of one mission. A small scene of its own ("hud
// scene", seen by "hud camera" at zoom 10.0 from (0, 0, -30.0), lit by the
// directional "map light") drawn over the game: the compass with its needle,
// the moving map and the two target arrows; the German and Allied plane
// counters; the player's rocket and bomb counters; the gun sight where the
// guns point; the gun scene. Over it a text layer: the fading info lines
// (game/info_lines.h), the score table of a network game
// (game/score_table.h) and the pause text. It also plays the mission's
// voice clips one after another and the scripts' 2D sounds
// (game/voice_clips.h).
//
// Files: the compass is hud_path + the level's "hud_compass" (model
// "simple"; groups "compass", "map" whose first material's colour map is
// moved, "target_green", "target_red"); the sight is hud_path + "sight.op"
// (model "sight"); the four icons are models "german", "aliant", "rocket"
// and "bomb" of hud_path + "items.op", the same folder as the sight, so a
// level's HUD folder holds every model of its look; the digits are
// "data\game\hud\digits.op" and the gun scene "data\game\hud\karabinek.lws".
// A file that is missing, or a group a compass lacks, leaves that element
// out and the rest of the HUD working.
//
// Layout in HUD space (scale (5, 5, 1) unless said):
//   compass (-3.24, 2.25); German icon (3.456, 2.7) and count (3.7584, 2.7);
//   Allied icon (3.456, 2.4) and count (3.7584, 2.4); rocket and bomb icons
//   (-3.1104, -2.814); rockets (-3.74112, -2.805); bombs tens (-3.37392,
//   -2.805) and ones (-3.2832, -2.805); sight moving, scale (5, 5, 0.5);
//   gun scene (3.20544, -2.835, 0).
//
// Update, in order: the voice queue (a clip starting now shows its text,
// its life counted from the previous update's time); the current time; the gun scene shown 1.6 x gun heat seconds back;
// the compass needle turned by the player's heading; the moving map's texture transform (MovingMapTransform); the green
// arrow toward the nearest friendly plane while more than one Allied plane flies, the red one toward the nearest enemy
// while any German plane flies; the sight where the point 100.0 ahead of the guns projects through the camera, (x
// x 4.0, y x 3.0), shown while the player's plane is not destroyed, the camera exists and the point is in front of it;
// the counters (the rocket and bomb digits and icons hidden in a network game); the scene animated; expired info lines
// dropped.
//
// Script functions, registered by Init (each takes exactly one argument and
// ignores other calls):
//   "add_mission_info_line" (text or number n: in-game text line n)
//   "play_2d_sound" (file name)
//   "add_info_line_with_sound" (number n: the clip VoiceClipName(n) with
//     text line n; text: that sound file with no line)
// In-game text numbers outside the loaded texts, from the scripts or the
// game, show nothing. A sound file the device cannot open throws its
// file_error_c into the script call, which reports it; without a sound
// device a numbered clip still shows its line in its turn.
//
// Pause text: in-game text 312, or 315 when the game was paused with
// Escape (Enter then ends the mission), centred at y = 0.5 with its shadow.
//
// Lifetime: the application's renderer and sound device outlive the HUD;
// the script host may go first (the HUD does not call it after Init).
#include "foundation/matrix.h"
#include "foundation/text_string.h"
#include "foundation/vector_math.h"
#include "game/digit_counter.h"
#include "game/hud_model.h"
#include "game/info_lines.h"
#include "game/voice_clips.h"

#include <memory>
#include <vector>

class application_c;
class camera_c;
class font_handle_c;
class game_object_c;
class null_object_c;
class scene_c;
class script_host_c;

// The HUD's folder's items file, beside "sight.op".
inline constexpr char hud_items_file[] = "items.op";
inline constexpr char hud_sight_file[] = "sight.op";
inline constexpr char hud_gun_scene_file[] = "data\\game\\hud\\karabinek.lws";
inline constexpr i32 pause_text = 312;
inline constexpr i32 escape_pause_text = 315;

// What one HUD update shows, gathered by the in-game state.
struct hud_frame_c {
    f32 time = 0.0f;
    vec3_c playerPosition;
    vec3_c playerRotation; // heading, pitch, bank
    // Height of the guns over the plane's origin (half the sum of the two
    // gun heights).
    f32 gunOffset = 0.0f;
    // 0 to 1, kept by the player's plane.
    f32 gunHeat = 0.0f;
    bool playerDestroyed = false;
    i32 rockets = 0;
    i32 bombs = 0;
    vec3_c nearestFriendly;
    vec3_c nearestEnemy;
    i32 alliedCount = 0;
    i32 germanCount = 0;
    // The camera the game scene is seen through; no sight without one.
    const camera_c* camera = nullptr;
};

// The moving map's texture transform for a player at _position heading
// _heading: a translation by (-(1 - fraction x), 1 - fraction z, 1.0), then
// the rotation by the heading about the view axis.
mat4x3_c MovingMapTransform(const vec3_c& _position, f32 _heading);
// The heading the arrows turn to: (0, 0, player heading - heading of the
// direction from the player to _target).
vec3_c ArrowRotation(const vec3_c& _player, f32 _player_heading, const vec3_c& _target);

class hud_c {
public:
    hud_c();
    ~hud_c();
    hud_c(const hud_c&) = delete;
    hud_c& operator=(const hud_c&) = delete;

    // Builds the scene and its elements from the files above and registers
    // the script functions with the application's script host (when it has
    // one). _hud_path is used as given (it ends with its separator).
    void Init(application_c& _application, const string_c& _hud_path, const string_c& _compass_file,
              const vec3_c& _text_color, f32 _shadow_offset);

    // Expires at the current time + 10.0.
    void AddInfoLine(const string_c& _text);
    // In-game text line _index as an info line; nothing outside the texts.
    void AddTextLine(i64 _index);
    // The numbered voice clip with its line; nothing for a negative number.
    void QueueVoiceClip(i32 _number);
    // A sound file as a voice clip without a line.
    void QueueVoiceFile(const char* _file_name);
    void Play2dSound(const char* _file_name);

    void Update(const hud_frame_c& _frame);
    // Clears the depth of the whole output, then draws the HUD scene, so the
    // HUD is never hidden behind the game.
    void Render();
    // The text layer; with _clear_first the depth is cleared first. The
    // score table needs the world's planes (a network game only); _paused
    // and _by_escape choose the pause text.
    void RenderText(bool _clear_first, const std::vector<game_object_c*>& _planes, bool _paused, bool _by_escape);

    bool IsNetworkGame() const;
    scene_c* GetScene() const { return scene.get(); }
    const info_lines_c& GetInfoLines() const { return infoLines; }
    const voice_queue_c& GetVoiceQueue() const { return voices; }
    const sounds_2d_c& Get2dSounds() const { return sounds2d; }
    f32 GetCurrentTime() const { return currentTime; }
    const digit_counter_c& GetGermanCount() const { return germanCount; }
    const digit_counter_c& GetAlliedCount() const { return alliedCount; }
    const digit_counter_c& GetRocketCount() const { return rocketCount; }
    const digit_counter_c& GetBombOnes() const { return bombOnes; }
    const digit_counter_c& GetBombTens() const { return bombTens; }
    null_object_c* GetSight() const { return sight.GetNode(); }
    null_object_c* GetCompassGroup(const char* _group) const { return compass.FindGroupNode(_group); }
    // Null outside icon_e or without the items file.
    null_object_c* GetIcon(int _index) const
    {
        return _index >= 0 && _index < icon_count ? icons[_index].GetNode() : nullptr;
    }
    scene_c* GetGunScene() const { return gunScene; }

    enum icon_e : int { icon_german, icon_aliant, icon_rocket, icon_bomb, icon_count };

private:
    void ClearDepth();
    void PlaceSight(const hud_frame_c& _frame);
    void ShowCounters(const hud_frame_c& _frame);
    void PointArrow(const char* _group, bool _shown, const hud_frame_c& _frame, const vec3_c& _target);

    std::unique_ptr<scene_c> scene;
    camera_c* camera = nullptr; // in the scene
    application_c* application = nullptr;
    hud_model_c compass;
    hud_model_c icons[icon_count];
    std::unique_ptr<font_handle_c> font;
    scene_c* gunScene = nullptr; // in the scene
    info_lines_c infoLines;
    f32 currentTime = 0.0f;
    vec3_c textColor = vec3_c(1.0f, 1.0f, 1.0f);
    f32 shadowOffset = 0.0f;
    digit_counter_c germanCount;
    digit_counter_c alliedCount;
    digit_counter_c rocketCount;
    digit_counter_c bombOnes;
    digit_counter_c bombTens;
    hud_model_c sight;
    sounds_2d_c sounds2d;
    voice_queue_c voices;
};

// The three script functions, bound to _hud.
void RegisterHudBindings(script_host_c& _script, hud_c& _hud);
