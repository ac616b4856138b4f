#pragma once
// state_menu_c: the state "menu", which runs every menu screen. It owns the
// menu manager (every menu of "DATA\MENU\Menu.txt"), the data the screens
// share (rank, difficulty and action names, the mission preview scenes, the
// plane preview, the selections), the menu music and the briefing voice,
// the career requirements and the distinction icons. Each frame Update runs
// the handler of the current screen code, which polls its controls (the
// rules in screen_controls.h) and switches menus, changes the application's
// pilots and options, or sets game_type and mission_number and returns 2.
//
// Screen codes and their menus:
//   -1 none yet (the first Update shows "Main")   0 main menu "Main"
//    1 training list "Training"                     2 training briefing
//    3 training plane "SelPlane"                    4 credits "Credits"
//    5 options "Options"                            6 controls dialog "Dialog"
//    7 pilots "Pilot"                               8 remove pilot "Dialog_Yes_No"
//    9 message, back to pilots "Dialog_OK"         10-17 multiplayer, of which
//   12 is the multiplayer plane "SelPlane"
//   18 career list "Career"                        19 career briefing
//   20 career plane "SelPlane"                     21-23 new plane / rank
//   24 exit question "Exit"
// The career and training menus hold the dialog chain "Content" with the
// list page "C1" (buttons "B1".."B20", "Continue", "back") and the briefing
// page "C2" ("back", "Plane", "continue"); their other controls
// ("MissionDesc", "MissionObj", "MissionDesc_scroll", "pilot_name",
// "pilot_rank", "pilot_dif", "pilot_plane") lie on the menu itself.
//
// Enter loads everything behind the loading screen (drawn again whenever
// its bar has moved by a hundredth, not for every command read) and, when the state was
// left for a game (the application keeps the menu name and screen code that
// Leave stored), takes the game's result: a training mission done raises
// the training progress; a career mission done marks its flags, recounts
// the distinction counters and the rank, and the career list then tells of
// a new rank or new planes. Leave stores where the user was and frees
// everything Enter made.
//
// Bad data and awkward timing are kept harmless:
//   - a distinction, rank, difficulty, plane or action number outside its
//     list is never used as an index: counters outside 0..7 are not
//     counted, a rank or difficulty without a name shows an empty label, a
//     plane without a template shows no statistics and no preview;
//   - career loops stop at the end of the career list (at most 20);
//   - a window size of 0 or 1 keeps the last pointer scale;
//   - lines of the name lists longer than 255 characters are cut there;
//   - a new display mode is applied after the frame's handler has returned,
//     not from inside it, as leaving frees the menus the handler works on;
//   - the career messages clear Escape when they act on it, so one press
//     does not also leave the career list;
//   - "Refresh" forgets the sessions of the earlier search with its list
//     items, so "Join" always takes the session shown at the selected item;
//   - a player whose plane or rank is unknown is listed with an empty
//     column, and a chat line from an unknown player with an empty name;
//   - a session that cannot be hosted ends in the connection-lost message
//     instead of an empty set-up screen.
#include <functional>
#include <memory>
#include <vector>

#include "app/state.h"
#include "engine/display_mode.h"
#include "foundation/text_string.h"
#include "foundation/types.h"

class any_menu_c;
class briefing_voice_c;
class career_order_c;
class distinction_display_c;
class GameNetManager;
class loading_screen_c;
class menu_manager_c;
class menu_music_c;
class object_template_c;
class pilot_profile_c;
class scene_c;

// A session the search found: the text the server list shows, the address
// "Join" connects to, and the bit that came with it (a password is asked).
struct found_session_s {
    string_c display;
    string_c address;
    u8 flag = 0;
};

class state_menu_c : public state_c {
public:
    // The display modes of the adapter, filled in enumeration order; false
    // when they cannot be listed.
    using display_modes_f = std::function<bool(std::vector<display_mode_s>&)>;

    enum screen_e : i32 {
        screen_none = -1,
        screen_main = 0,
        screen_training = 1,
        screen_training_briefing = 2,
        screen_training_plane = 3,
        screen_credits = 4,
        screen_options = 5,
        screen_controls = 6,
        screen_pilots = 7,
        screen_remove_pilot = 8,
        screen_pilot_message = 9,
        screen_servers = 10,
        screen_multiplayer_setup = 11,
        screen_multiplayer_plane = 12,
        screen_leave_question = 13,
        screen_main_message = 14,
        screen_waiting = 15,
        screen_result_list = 16,
        screen_refused_message = 17,
        screen_career = 18,
        screen_career_briefing = 19,
        screen_career_plane = 20,
        screen_new_plane = 21,
        screen_new_rank = 22,
        screen_new_plane_and_rank = 23,
        screen_exit = 24,
    };

    static constexpr u32 kNameLineLimit = 255;
    static constexpr i32 kGridButtons = 20;
    static constexpr f32 kMenuSwitchTime = 0.5f;
    static constexpr f32 kMusicSwitchTime = 2.5f;
    static constexpr f32 kVoiceMusicGain = 0.12f;

    explicit state_menu_c(application_c* _application = nullptr);
    ~state_menu_c() override;

    void Enter(application_c* _application) override;
    void Leave() override;
    LRESULT OnMessage(HWND _hwnd, UINT _msg, WPARAM _wparam, LPARAM _lparam) override;
    i32 Update(double _t) override;
    void Render(double _t) override;
    // The session's events while the menus run: the session ended (6), the
    // connection made (7) or refused (8), a session found (9), the search
    // finished (10), a chat line (12), and game message 0x104 (a game runs,
    // so a joined player may start flying).
    void OnNetMessage(u16 _type_word, net_message_c& _message, net_player_c* _sender) override;

    // Where the options screen lists display modes; by default the
    // Direct3D renderer's adapter (none for any other renderer).
    void SetDisplayModeSource(display_modes_f _source) { display_modes = std::move(_source); }

    // The screens' handlers, one per screen code, with the frame's time.
    void UpdateMainMenu(f32 _time);
    void UpdateTrainingList(f32 _time);
    void UpdateTrainingBriefing(f32 _time);
    void UpdateCredits(f32 _time);
    void UpdateOptions(f32 _time);
    void UpdateControlsDialog(f32 _time);
    void UpdatePilots(f32 _time);
    void UpdateRemovePilot(f32 _time);
    void UpdatePilotMessage(f32 _time);
    void UpdateCareerList(f32 _time);
    void UpdateCareerBriefing(f32 _time);
    void UpdatePlaneSelection(f32 _time);
    void UpdateCareerMessage(f32 _time);
    void UpdateExitQuestion(f32 _time);
    // The multiplayer screens: the server list (10), the set-up (11), the
    // leave question (13), the waiting dialog while hosting (15), the result
    // list (16), and the messages that end the session (14, 17).
    void UpdateServerList(f32 _time);
    void UpdateMultiplayerSetup(f32 _time);
    void UpdateLeaveQuestion(f32 _time);
    void UpdateHosting(f32 _time);
    void UpdateResultList(f32 _time);
    void UpdateSessionEnd(f32 _time);

    // The main menu's ways out.
    void OpenOptions();
    void OpenMultiplayer(f32 _time);
    // The pilots page legend: eight icons in two columns with their "m" and
    // "dupa" labels; every icon dimmed with _dim_all, else where the current
    // pilot's counter is 0.
    void BuildPilotLegend(bool _dim_all);
    // The career messages (codes 21, 22, 23) and the refused-connection one.
    void ShowNewPlaneMessage();
    void ShowNewRankMessage();
    void ShowNewPlaneAndRankMessage();
    void ShowServerRefused();
    // The connection-lost message (code 14); closes an open question or
    // result list first.
    void ShowServerClosed();

    // The server list's sessions and the set-up screen's chat and players.
    void AddServer(const string_c& _display, const string_c& _address, u8 _flag);
    void ClearServers();
    void AddChatLine(const string_c& _name, const string_c& _text);
    void ClearChat();
    void RefreshPlayerList();

    // The planes the current pilot may fly (plane numbers from 1): 1 and 2,
    // in multiplayer 11 and 12 too, then for each career mission done that
    // unlocks u in 1..4: 2u+1 and 2u+2 (and 2u+11, 2u+12), each pair once.
    void BuildAvailablePlanes(bool _multiplayer);
    bool HasNextPlane() const;
    bool HasPrevPlane() const;
    void SelectNextPlane();
    void SelectPrevPlane();

    i32 GetScreen() const { return screen; }
    void SetScreen(i32 _screen) { screen = _screen; }
    i32 GetSelectedCareer() const { return selected_career; }
    i32 GetSelectedTraining() const { return selected_training; }
    bool IsPromoted() const { return promoted != 0; }
    bool HasNewPlane() const { return new_plane != 0; }
    bool IsEscapePressed() const { return escape_pressed != 0; }
    bool IsFlyAllowed() const { return fly_allowed != 0; }
    f32 GetMouseX() const { return mouse_x; }
    f32 GetMouseY() const { return mouse_y; }
    bool IsPlanePreviewShown() const { return plane_preview_shown != 0; }
    bool IsSearchIdle() const { return search_requested != 0; }
    i32 GetMultiplayerTerrain() const { return multiplayer_terrain; }
    // What "Host" read for the session it makes.
    i32 GetHostMaxPlayers() const { return host_max_players; }
    i32 GetHostPort() const { return host_port; }
    const std::vector<found_session_s>& GetServers() const { return servers; }
    const std::vector<i32>& GetAvailablePlanes() const { return available_planes; }
    const std::vector<string_c>& GetRankNames() const { return rank_names; }
    const std::vector<string_c>& GetDifficultyNames() const { return difficulty_names; }
    const std::vector<string_c>& GetActionNames() const { return action_names; }
    menu_manager_c* GetManager() const { return manager.get(); }
    menu_music_c* GetMusic() const { return music.get(); }
    briefing_voice_c* GetVoice() const { return voice.get(); }
    distinction_display_c* GetDistinctions() const { return distinctions.get(); }
    career_order_c* GetCareerOrder() const { return career_order.get(); }
    scene_c* GetPlaneScene() const { return plane_scene.get(); }
    scene_c* GetGlowScene() const { return glow_scene.get(); }
    const std::vector<std::unique_ptr<object_template_c>>& GetPlaneObjects() const { return plane_objects; }
    size_t GetPreviewCount(i32 _game_type) const;

private:
    // Enter's parts.
    void ReadNameLists();
    void BuildPlanePreview();
    void BuildMissionPreviews();
    void ReturnFromTraining();
    void ReturnFromCareer();
    void ReturnFromMultiplayer();
    // Leaving a session any way: closed, no players, back to "Main".
    void EndSession(f32 _time);
    // Leave's parts.
    void FreePlanePreview();

    void RunScreen(f32 _time);
    void UpdatePlanePreview(f32 _time);
    void UpdateGlow(f32 _time);
    // A training or career mission page: the labels, the scroll bar.
    void UpdatePilotLabels(any_menu_c* _menu);
    void UpdateScrollBar(any_menu_c* _menu, bool _reset);
    void FadeMusicUnderVoice(f32 _time);
    // Tells the session the pilot's plane: game message 0x110, sub-type 3
    // (update) first, then the local player's id, the pilot's name, the
    // plane and the progress word.
    void AnnouncePlane() const;
    // The selected career (1) or training (2) mission starts: no result yet,
    // the game type and mission set, and Update returns 2.
    void StartMission(i32 _game_type);
    void ShowCareerMessage(const char* _text_file, i32 _screen);
    // The mission list page "C1" on a mission menu: only that page shown,
    // no objectives, the select-a-mission text.
    void ShowMissionListPage(const char* _menu);
    void FillControlsList(any_menu_c* _options);
    // The legend's icons and label places for a profile (null: none), and
    // the name the display then shows.
    void LayOutLegend(const pilot_profile_c* _pilot, bool _dim_all, const string_c& _name);
    // The display modes the options offer: 32 bits, at least 640 x 480, 4:3,
    // one per size.
    std::vector<display_mode_s> ListDisplayModes() const;
    void ApplyDisplayMode();

    any_menu_c* Menu(const char* _name) const;
    // The application's network manager, or null.
    GameNetManager* Net() const;
    pilot_profile_c* CurrentPilot() const;
    // The name of plane _plane (from 1), or "" without its template.
    string_c PlaneName(i32 _plane) const;
    // The template of plane _plane (from 1), or null.
    object_template_c* PlaneTemplate(i32 _plane) const;

    std::unique_ptr<career_order_c> career_order;
    std::unique_ptr<distinction_display_c> distinctions;
    i32 resolution_index = 0;
    std::unique_ptr<scene_c> glow_scene;
    u8 fly_allowed = 0;
    f32 last_time = 0.0f;
    f32 frame_time = 0.0f;
    f32 search_time = 0.0f;
    u8 search_requested = 1;
    u8 promoted = 0;
    u8 new_plane = 0;
    u8 escape_pressed = 0;
    f32 mouse_x = 0.0f;
    f32 mouse_y = 0.0f;
    f32 press_x = 0.0f;
    f32 press_y = 0.0f;
    i32 result = 0;
    string_c pending_menu;
    std::vector<string_c> rank_names;
    std::vector<string_c> difficulty_names;
    std::vector<string_c> action_names;
    std::vector<found_session_s> servers;
    // What "Host" read, kept for the next frame, which hosts.
    string_c host_name;
    string_c host_password;
    i32 host_max_players = 0;
    i32 host_port = 0;
    std::vector<std::unique_ptr<object_template_c>> plane_objects;
    std::vector<i32> available_planes;
    std::unique_ptr<scene_c> plane_scene;
    std::vector<std::unique_ptr<scene_c>> career_previews;
    std::vector<std::unique_ptr<scene_c>> training_previews;
    std::vector<std::unique_ptr<scene_c>> multiplayer_previews;
    u8 plane_preview_shown = 0;
    i32 selected_career = -1;
    i32 selected_training = -1;
    i32 multiplayer_terrain = 1;
    i32 screen = screen_none;
    std::unique_ptr<menu_manager_c> manager;
    std::unique_ptr<menu_music_c> music;
    std::unique_ptr<briefing_voice_c> voice;
    f32 mouse_scale_x = 1.0f / 639.0f;
    f32 mouse_scale_y = 1.0f / 479.0f;
    // A display mode chosen on the options screen, applied after the frame.
    u8 mode_change_pending = 0;
    display_modes_f display_modes;
};
