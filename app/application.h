#pragma once
// application_c: the one object that lives for the whole run and holds what
// survives the states: the devices, the options, the mission, plane and text
// lists, the pilots, the session's players and the multiplayer set-up, and
// the results of the last mission. Every state gets it in Enter.
//
// Init (the window's initialise message), in this order: the options are
// read; the renderer is made in the options' display mode and given the
// options' gamma; the input layer is made and loads its bindings from the
// settings, or else from "actions.accfg" and stores them there; the mouse
// divisor is set; the pilots are loaded; the career, multiplayer and
// training missions, the planes and the in-game texts are read; the network
// manager is made with OnNetMessage as its callback.
//
// Devices come from a device_factory_c. The renderer always gets the
// options' gamma when it is made, at start-up, after an outro and when the
// options screen changes the mode. A display mode the renderer cannot be made
// in falls back to the desktop's, which then becomes the stored mode, so a
// bad stored mode never stops the program from starting.
//
// Field names, where screens and game messages call a field otherwise:
//   field               also called
//   is_server           hosting
//   setup_received      settings_received
//   mp_game_mode        game_mode
//   mp_game_time        game_time
//   mp_limit_mode       game_time_kind (2: no time limit)
//   mp_allied_planes    bots_allied ("BA")
//   mp_german_planes    bots_enemy ("BN")
//   mp_results          result_lines
//   primary_reached     the mission-success flag
//   secondary_reached   the secondary-objective flag
//   mp_setup_text_a/b   the last "BA" / "BN" texts of the set-up
//   mp_setup_a/b/c      the last "Terrain" / "GameMode" / "GameTime" items
//   career_plane_count  the available-plane count recorded when a career
//                       game starts
//   stored_menu_name    the menu the menu state showed when it left
//   stored_screen       the screen code it had then
//   pilot_profile_c::unlock_level  the training progress
#include <memory>
#include <vector>

#include "app/device_factory.h"
#include "app/mission_info.h"
#include "app/net_player_list.h"
#include "app/options.h"
#include "app/pilot_list.h"
#include "foundation/text_string.h"
#include "foundation/types.h"
#include "platform/win32/window_types.h"

class net_message_c;
class net_player_c;
class net_session_c;
class renderer_c;
class script_host_c;
class sound_system_c;
class state_c;

// Minutes of the "GameTime" items, in each half of the list (items 0-11 and
// 12-23).
inline constexpr i32 kGameTimeMinutes[12] = {3, 5, 7, 10, 15, 20, 25, 30, 40, 60, 90, 120};

struct mp_result_s {
    string_c name;
    i32 score = 0;
};

class application_c {
public:
    // Without a factory the built subsystems' devices are used.
    explicit application_c(device_factory_c* _devices = nullptr);
    ~application_c();
    application_c(const application_c&) = delete;
    application_c& operator=(const application_c&) = delete;

    void Init(HWND _hwnd, HINSTANCE _instance);
    // Deletes the renderer, the sound device, the input layer, the network
    // manager and the script host, those that exist.
    void Shutdown();

    // Makes the renderer (in the mode when given) and applies the gamma.
    void CreateRenderer(const display_mode_s* _mode);
    void DestroyRenderer();
    void RecreateRenderer(const display_mode_s* _mode);
    // The sound device with both gain factors at 1.0.
    void CreateSoundDevice();
    void DeleteSoundDevice();
    // When an outro is pending: the renderer goes, the clips play, the
    // options are read again and the renderer comes back in their mode.
    void PlayPendingOutro();
    // What every state switch does between leaving one state and entering
    // the next: the sound device is deleted, the renderer's font, texture and
    // geometry caches are purged, a pending outro is played and a new sound
    // device is made.
    void BetweenStates();
    // The mission, plane and text lists (Init's reading steps).
    void ReadLists();
    // The nine words of the game set-up, game_type to secondary_reached, to 0.
    void ClearGameSetup();

    // The network manager's callback; _context is the application.
    static void OnNetMessage(u16 _type_word, net_message_c& _message, net_player_c* _sender, void* _context);
    void HandleNetMessage(u16 _type_word, net_message_c& _message, net_player_c* _sender);

    renderer_c* GetRenderer() const { return renderer.get(); }
    sound_system_c* GetSoundDevice() const { return sound_device.get(); }
    controllers_c* GetControllers() const { return controllers ? controllers->GetControllers() : nullptr; }
    net_session_c* GetNetManager() const { return net_manager.get(); }
    device_factory_c& GetDevices() const { return *devices; }

    state_c* menu_state = nullptr;
    state_c* game_state = nullptr;
    HWND hwnd = nullptr;
    HINSTANCE instance = nullptr;
    std::unique_ptr<renderer_c> renderer;
    std::unique_ptr<sound_system_c> sound_device;
    std::unique_ptr<input_link_c> controllers;
    std::unique_ptr<net_session_c> net_manager;
    // Made and dropped by the in-game state; null between missions.
    std::shared_ptr<script_host_c> script_host;

    // The game set-up, cleared as one block by ClearGameSetup.
    // 1 career, 2 training, 3 a hosted multiplayer game, 4 a joined one.
    i32 game_type = 2;
    // 1 every plane for itself, 2 sides.
    i32 mp_game_mode = 0;
    // Minutes, one of kGameTimeMinutes.
    i32 mp_game_time = 0;
    // 1 timed, 2 no time limit.
    i32 mp_limit_mode = 0;
    i32 mp_allied_planes = 0;
    i32 mp_german_planes = 0;
    // Of the list of the game type, from 1.
    i32 mission_number = 1;
    u8 primary_reached = 0;
    u8 secondary_reached = 0;

    // Friendly fire.
    u8 mp_flag = 0;
    u8 in_session = 0;
    // Highest score first.
    std::vector<mp_result_s> mp_results;
    std::unique_ptr<options_c> options;
    net_player_list_c players;
    u8 players_changed = 0;
    u8 is_server = 0;
    u8 setup_received = 0;
    string_c mp_setup_text_a;
    string_c mp_setup_text_b;
    i32 mp_setup_b = 0;
    i32 mp_setup_a = 0;
    i32 mp_setup_c = 0;
    std::vector<mission_info_c> career_missions;
    std::vector<mission_info_c> multiplayer_missions;
    std::vector<mission_info_c> training_missions;
    pilot_list_c pilots;
    std::vector<string_c> planes;
    std::vector<string_c> in_game_texts;
    u8 outro_pending = 0;
    i32 career_plane_count = 0;
    string_c stored_menu_name;
    i32 stored_screen = -1;

private:
    // The renderer in that mode, or in the desktop's when that mode fails.
    void MakeRenderer(const display_mode_s* _mode);
    void SendSetup();

    std::unique_ptr<device_factory_c> own_devices;
    device_factory_c* devices;
};
