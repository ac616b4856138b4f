#pragma once
// state_game_c: the state "game". It plays one mission, from the shell's
// switch to it until its Update returns state_leave, and is constructed
// afresh for every mission.
//
// Enter loads the level behind the loading screen (game/level_loading.cpp
// and game/level_sections.h): a fresh script host with the mission
// bindings (game/mission_bindings.h), the mission record of the game type's
// list, the level script's sections, the control actions and the forests.
// Update runs one frame:
//   1. the first update after loading clears the input, takes the frame
//      time as game time, sends the game state to the players when this
//      program hosts a multiplayer game, starts the mission ("mission_init")
//      and the ambient sounds, and returns;
//   2. a passed leave time or a requested leave returns state_leave;
//   3. paused: the scene is shown at t, the input is read with a step of 0
//      and only the pause can change; returns;
//   4. game time: the step is t - game time, held inside [0, 0.1] s; a
//      stall over 1.0 s is skipped (step 0, game time = t);
//      a multiplayer game this program hosts ends when its time is up or,
//      without a time limit, when the leading plane reaches the score
//      limit: the result goes to the players and the state leaves 5 s
//      later;
//   5. the script globals "game_time" (since the first update) and
//      "user_alive", then the due script events (below);
//   6. the scene at the game time; the input with the step; the controls;
//   7. the world step (objects, control points, timers, "mission_process"),
//      then the birds, the crowd (running from the player's plane) and the
//      clouds (turning with the scene camera's bank);
//   8. the camera's mode from the player's plane's fate and the camera
//      target (below); the scenes prepared for drawing;
//   9. the in-game map while it is shown (below), then the HUD.
// Render draws, while the map is shown, the map instead of the scene;
// otherwise the scene, the darkened pause picture and, unless the HUD is
// hidden (Tab), the HUD with its text layer; then the closing fade and the
// debug texts. Leave releases everything the mission made.
//
// HUD and map: the level's environment section makes both (game/hud.h,
// game/game_map.h); the map is shown while the "map" action is exactly 1.0
// and the world's map switch is on. The HUD's pause text is the Escape one
// while the game was paused with Escape (Enter then ends the mission).
//
// Script events run in the order they were added, each in the first frame
// whose game time is not before its due time; an event added while the
// events run, with its time already reached, runs in the same frame, except
// that no name runs twice in one frame: an event that adds itself again
// with delay 0 runs once per frame instead of holding the frame forever.
//
// View keys: "camera" cycles the camera modes 0, 1, 2, 3; "cokpit view"
// selects mode 0 (cockpit), "guns view" mode 2 (over the guns), "outside
// view" mode 1 (behind and above the plane), "chase view" mode 3, so that
// every key shows the view it is named after and the plane's model variant
// follows (SyncUserPlaneView: mode 2 shows the guns model).
//
// Camera (game/game_camera.h): the level's environment makes it on the
// game scene in the cockpit view; while "look" is held it looks by "left"
// (x) and "up" (y). While the player's plane flies undamaged its mode is
// remembered; a destroyed plane turns the camera to mode 3, a plane on the
// ground to mode 5, and a plane that flies again brings back the remembered
// mode from mode 5; a mode is set only when it changes. The target is the
// world object at `debugTarget`: first the player's plane, moved on by Home
// in debug mode, wrapped to the number of objects (the last target record
// stays while there are none); the speed, camera shifts and vibration come
// from the player's plane. After the camera the sound listener takes its
// place, movement and view.
//
// The player's plane reaches the state as its player_plane_host_c: the
// camera, the bomb view (`bombView`), in-game texts shown as HUD info lines
// (an index outside the loaded texts shows nothing) and the session. The
// HUD aims its sight through the game camera.
//
// Effects (game/fx_manager.h): the level's environment makes the manager
// on the game scene with the renderer and the sound device before the
// world, which hands it to the objects; every frame it runs after the world
// step with the game time. Leave destroys it after the world (planes take
// their effects away as they go) and before the scene its effects are in.
//
// Network games (types 3 and 4): the session's per-frame update runs after
// the game time step, and its records reach game_messages_c; the first
// update of a hosted game sends the game state, of a joined one announces
// the player's plane; Leave tells the others.
//
// Failures: any exception while the level loads or a frame runs or draws is
// caught here, written to the game log and kept (GetFailure: a missing key
// as "<file>: <section>::<key>: Parameter not found!", a missing file as
// "Couldn't find or load specified file: "<name>": <message>", any other
// error by its text); what the mission made is released and the next
// Update returns state_leave, so the shell goes back to the menu (or,
// started with "nomenu", ends with the message).
#include "app/state.h"
#include "foundation/text_string.h"
#include "foundation/vector_math.h"
#include "game/game_camera.h"
#include "game/game_log.h"
#include "game/game_messages.h"
#include "game/mission_object_factory.h"
#include "game/objects/player_plane_host.h"

#include <memory>
#include <string>
#include <vector>

class controllers_c;
class game_object_c;
class game_world_c;
class level_scene_c;
class loading_screen_c;
class font_handle_c;
class fx_manager_c;
class game_map_c;
class hud_c;
class mission_scenery_c;
class scene_c;
class script_host_c;
class sky_box_c;
class sound_source_c;
class terrain_c;
class timer_c;

// A pending call of a script function.
struct script_event_c {
    string_c name;
    f32 due = 0.0f;
};

// The "environment" section's HUD and map keys, kept for the HUD and the
// in-game map.
struct environment_settings_c {
    string_c hudPath;
    string_c hudCompass;
    vec3_c infoLinesColor = vec3_c(1.0f, 1.0f, 1.0f);
    f32 infoLinesShadowOffset = 0.0f;
    string_c map;
};

// Indices of the control actions the state reads, in this order.
enum game_action_e : int {
    action_camera,
    action_look,
    action_map,
    action_thrust_up,
    action_thrust_down,
    action_up,
    action_left,
    action_cokpit_view,
    action_guns_view,
    action_outside_view,
    action_chase_view,
    action_pause,
    game_action_count,
};

// The names of game_action_e, as the input layer's actions are named.
inline constexpr const char* game_action_names[game_action_count] = {
    "camera", "look",        "map",       "thrust up",    "thrust down", "up",
    "left",   "cokpit view", "guns view", "outside view", "chase view",  "pause"};

class state_game_c : public state_c, public player_plane_host_c, public game_messages_host_c {
public:
    explicit state_game_c(const string_c& _name = "game");
    ~state_game_c() override;

    void Enter(application_c* _application) override;
    // Releases the mission; safe to call more than once.
    void Leave() override;
    LRESULT OnMessage(HWND _hwnd, UINT _msg, WPARAM _wparam, LPARAM _lparam) override;
    i32 Update(double _t) override;
    void Render(double _t) override;
    // The in-game messages of a network game (game/game_messages.h).
    void OnNetMessage(u16 _type_word, net_message_c& _message, net_player_c* _sender) override;
    // Made by Enter; null before.
    game_messages_c* GetMessages() const { return messages.get(); }

    // game_messages_host_c; info lines go to the HUD (none without one).
    game_world_c* GetWorld() override { return world.get(); }
    game_object_plane_c* GetUserPlane() override;
    float GetGameTime() const override { return gameTime; }
    void AddInfoLine(const string_c& _line) override;
    i32& SideScore(int _side) override { return _side == -1 ? sideScoreA : sideScoreB; }
    std::unique_ptr<game_object_plane_ghost_c> LoadNetworkPlane(const string_c& _file) override;
    void EndGameForDeparture() override;

    // Due at the game time + _delay.
    void AddScriptEvent(const string_c& _name, f32 _delay);
    // The player's plane's model variant for the camera mode: 0 inside,
    // 2 guns, 1, 3 and 6 outside; other modes change nothing.
    void SyncUserPlaneView() override;
    // What the player's plane asks of the state.
    game_camera_c& GetCamera() override { return camera; }
    void SetBombView(bool _open) override { bombView = _open ? 1 : 0; }
    // In-game text _index (from 0) as an info line; nothing outside the
    // loaded texts.
    void ShowInGameText(i32 _index) override;
    net_session_c* GetSession() const override;
    // The side's next spawn point index, cycling; -1 when the side has none.
    i32 NextAlliedSpawnPoint();
    i32 NextGermanSpawnPoint();

    // The shell's frame timer, paused and resumed with the game; may be
    // null (the pause then only stops the game time).
    void SetTimer(timer_c* _timer) { timer = _timer; }
    // Where the sections get their objects; null uses the base factory,
    // which makes none yet.
    void SetObjectFactory(mission_object_factory_c* _factory) { factory = _factory; }
    // The "debug" command-line token: the debug keys and texts. Debug keys:
    // Home the next camera target; End a hit of 100 from the player's plane
    // on the object before it; Insert and Delete the plane's extra speed
    // (300, or 0 with the speed 0); Page Up and Page Down draw the scene as
    // wireframe and solid again; F2 the frame rate; F4 the engine off or
    // on; F5 the fixed camera point; F6 and F7 the plane's damage 0.5, 0.8.
    void SetDebug(bool _debug) { debug = _debug; }
    // The message of the failure that ended the mission; empty when none.
    const std::string& GetFailure() const override { return failure; }
    game_log_c& GetLog() { return log; }

    mission_object_factory_c& GetFactory() { return factory ? *factory : ownFactory; }
    mission_devices_c GetDevices() const;
    controllers_c* GetControllers() const;
    script_host_c* GetScript() const;
    // The player's plane, or null.
    game_object_c* GetPlayerPlane() const { return playerPlane; }
    void SetPlayerPlane(game_object_c* _plane) { playerPlane = _plane; }

    // Per-mission fields (start values set by Enter).
    u8 leaveRequested = 0;
    u8 missionOver = 0;
    u8 firstUpdate = 1;
    u8 debugTargetChosen = 0;
    f32 leaveTime;
    i32 viewKeyLatch = -1;
    u8 viewKeysLocked = 0;
    i32 debugTarget = 0;
    i32 flashFrames = 3;
    f32 startTime = 0.0f;
    u8 viewChanged = 1;
    u8 hudHidden = 0;
    u8 debugFlagA = 0;
    u8 frameStatsShown = 0;
    f32 frameTime = 0.0f;
    f32 frameTimeMin;
    f32 frameTimeMax = -1.0f;
    f32 mapAmount = -1.0f;
    u8 pauseKeyLatch = 0;
    u8 paused = 0;
    u8 terminated = 0;
    u8 pausedByEscape = 0;
    f32 lastDt = 0.0f;
    f32 gameTime = 0.0f;
    // The moment the closing fade began (the fade scene's start time).
    f32 fadeStart = 0.0f;

    // The camera, the mode remembered while the player's plane flies, the
    // mode before a cut scene, the last target record, and the bomb view
    // the player's plane opens.
    game_camera_c camera;
    i32 savedViewMode = 0;
    i32 savedCameraMode = 0;
    camera_target_c cameraTarget;
    u8 bombView = 0;

    i32 actions[game_action_count];
    std::vector<script_event_c> scriptEvents;

    // What the level made; the world owns the game objects (the player's
    // plane too), the state everything else.
    std::unique_ptr<scene_c> scene;
    std::unique_ptr<scene_c> fadeScene;
    terrain_c* terrain = nullptr; // in the scene
    sky_box_c* skyBox = nullptr;  // in the scene
    std::vector<std::unique_ptr<level_scene_c>> levelScenes;
    // Level scenes kept for the mission without joining the list the world
    // sees ("planes", "crowds").
    std::vector<std::unique_ptr<level_scene_c>> otherLevelScenes;
    std::unique_ptr<fx_manager_c> effects;
    std::unique_ptr<game_world_c> world;
    // The clouds, birds and crowd, stepped after the world every frame.
    std::unique_ptr<mission_scenery_c> scenery;
    std::vector<sound_source_c*> ambientSounds;
    std::unique_ptr<font_handle_c> font;
    std::unique_ptr<hud_c> hud;
    std::unique_ptr<game_map_c> gameMap;
    environment_settings_c environment;
    std::vector<vec3_c> alliedSpawns, alliedSpawnRotations;
    std::vector<vec3_c> germanSpawns, germanSpawnRotations;
    i32 alliedSpawnIndex = 0;
    i32 germanSpawnIndex = 0;
    i32 sideScoreA = 0;
    i32 sideScoreB = 0;
    // Whole seconds of the frame timer at which a timed multiplayer game
    // ends (INT_MAX: never), and the application's game time (minutes, or
    // the score to reach).
    i32 mpEndTime;
    i32 mpLimit;

private:
    void ResetMissionFields();
    void LoadLevel(loading_screen_c& _loading);
    void BindControlActions();
    void PrepareForests();
    i32 Frame(double _t);
    void FirstUpdate(double _t);
    void RunScriptEvents();
    void CheckMultiplayerEnd(double _t);
    void StepScenery(f32 _dt);
    // The players' results, highest score first, from the world's planes.
    void StoreMultiplayerResults();
    void RunControls(f32 _dt);
    void TogglePause(bool _by_escape);
    void ChooseCameraTarget();
    void UpdateCamera();
    void OnDebugKey(WPARAM _key);
    bool InSession() const;
    void Fail(const std::exception& _error);
    void Release();
    void RenderFrame(double _t);
    bool MapShown() const;
    void UpdateOverlays();
    void RenderHud();
    void RenderFade(f32 _time);
    f32 ActionValue(int _action) const;

    timer_c* timer = nullptr;
    std::unique_ptr<game_messages_c> messages;
    mission_object_factory_c* factory = nullptr;
    mission_object_factory_c ownFactory;
    game_object_c* playerPlane = nullptr;
    bool debug = false;
    bool entered = false;
    std::string failure;
    game_log_c log;
};
