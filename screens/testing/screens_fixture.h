#pragma once
// The menu screens' test world: an application whose renderer records its
// calls, whose sound device makes silent sources that remember what was
// asked of them, and whose input layer runs on scripted devices; every menu
// script, list and scene the menu state loads, held in memory files; and a
// menu state driven with window messages, one frame at a time.
//
// The set-up's item lists ("GameMode", "Terrain", "GameTime") get their
// items from the menu script, none selected.
//
// Letters are one pixel wide, so texts do not wrap in their cells. Menus are
// laid out on a grid: each control of a menu gets its own cell,
// so a click at a cell's centre reaches that control alone. Chained pages
// ("C1", "C2") use the rows below their menu's.
#include <functional>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "app/application.h"
#include "app/message/net_session.h"
#include "audio/sound_system.h"
#include "engine/testing/memory_file_system.h"
#include "engine/testing/recording_renderer.h"
#include "input/controllers.h"
#include "platform/dinput8/script_input.h"
#include "platform/win32/testing/temporary_config_home.h"
#include "screens/state_menu.h"

class any_menu_c;
class any_menu_control_c;
class GameNetManager;

namespace screens_testing {

// The input devices: the system keyboard with keys A (0x1E) and S (0x1F),
// and a stick named "Flight Stick Pro" with its trigger at 48. The actions
// "fire" (keyboard A) and "climb" (the trigger) are bound.
inline constexpr GUID kStickGuid = MakeGuid(0x5C3EE001, 1, 2, 1, 2, 3, 4, 5, 6, 7, 8);
inline constexpr DWORD kStickTrigger = 48;

// A sound that plays nothing and remembers its volume and whether it plays.
class silent_source_c : public virtual sound_source_c {
public:
    silent_source_c(sound_system_c* _system, const char* _name, u32 _flags);
    ~silent_source_c() override;

    sound_source_c* Clone() override { return nullptr; }
    u32 Read(u8*, u32) override { return 0; }
    bool SetVolume(float _decibels) override;
    bool SetLooping(bool _looping) override;
    bool IsPlaying() override { return playing; }
    bool Play() override;
    bool Stop() override;
    bool Update() override { return true; }
    u32 GetChannels() override { return 2; }
    u32 GetSampleRate() override { return 44100; }
    u32 GetBitsPerSample() override { return 16; }
    float GetLength() override { return 60.0f; }

    std::string name;
    u32 flags;
    float decibels = 0.0f;
    bool looping = false;
    bool playing = false;
    int plays = 0;
};

class silent_sound_c : public sound_system_c {
public:
    silent_sound_c() : sound_system_c(sound_flag_3d) {}
    ~silent_sound_c() override;
    // Throws file_error_c for a name in `missing`.
    sound_source_c* CreateOggSource(const char* _name, float _seconds, u32 _flags) override;
    bool Update() override;

    // The live sources, oldest first.
    std::vector<silent_source_c*> sources;
    std::set<std::string> missing;
    int updates = 0;
};

class scripted_input_c : public input_link_c {
public:
    explicit scripted_input_c(HWND _window) : controllers(_window) {}
    bool LoadFromRegistry(const char* _company, const char* _product, const char* _value, u32 _version) override;
    void LoadFromFile(const char* _file_name) override { controllers.LoadFromFile(_file_name); }
    void SaveToRegistry(const char* _company, const char* _product, const char* _value, u32 _version) override;
    void SetMouseSensitivity(f32 _sensitivity) override { controllers.SetMouseDivisor(_sensitivity); }
    controllers_c* GetControllers() override { return &controllers; }

    controllers_c controllers;
};

// Renderers of the asked mode's size, silent sound, scripted input, no
// network.
class screens_devices_c : public device_factory_c {
public:
    void GetDesktopSize(i32& _width, i32& _height) override;
    std::unique_ptr<renderer_c> CreateRenderer(HWND _hwnd, const display_mode_s* _mode) override;
    std::unique_ptr<sound_system_c> CreateSoundDevice(HWND _hwnd) override;
    std::unique_ptr<input_link_c> CreateInput(HWND _hwnd) override;
    std::unique_ptr<net_session_c> CreateNetManager(net_message_callback_t, void*) override { return nullptr; }
    void PlayOutro(HWND) override {}

    // The modes the renderers were made in, "WxH".
    std::vector<std::string> made;
};

struct plane_stats_s {
    std::string name;
    f32 altitude = 0.0f;
    f32 speed = 0.0f;
    f32 handling = 0.0f;
    f32 durability = 0.0f;
};

class screens_world_c {
public:
    // Writes every file the menu state reads, with four planes, two
    // training missions and no career missions; the application has its
    // devices and default options and no pilots.
    screens_world_c();
    ~screens_world_c();

    // A career mission: its distinctions, the plane pair it unlocks (-1
    // none) and whether it raises the rank; its map, briefing, objectives
    // and voice are written too. Returns its number.
    i32 AddCareerMission(i32 _primary, i32 _secondary, i32 _unlock, i32 _rank_raise);
    i32 AddTrainingMission();
    void AddPlane(const plane_stats_s& _stats);
    // The career requirements file: one "Mission" line per entry.
    void SetCareerOrder(const std::vector<std::vector<i32>>& _requirements);
    // A pilot made and made current (saved).
    pilot_profile_c& AddPilot(const char* _name, bool _hard = false);

    // A real network manager with the application's callback, in place of
    // none; sessions then run over loopback.
    void UseNetwork();
    GameNetManager& Net() const;

    // Enter, then the frames until the first screen is up.
    void Enter();
    // The state left and a new one entered, as the shell does around a game.
    void ReturnFromGame();
    // One frame (Update and Render) one second after the last; the result.
    i32 Frame();
    // Frames until the menus have settled (transitions done); the first
    // non-zero result, else 0.
    i32 Settle();

    void Message(UINT _msg, WPARAM _wparam = 0, LPARAM _lparam = 0);
    void MoveTo(f32 _x, f32 _y);
    // Points at the control, clicks it and runs the frames until the screen
    // has seen the click and the screen it leads to has run once; the first
    // non-zero result, else 0.
    i32 Click(const char* _menu, const char* _control);
    void Key(WPARAM _key);
    void Type(const char* _text);

    any_menu_c* Menu(const char* _name) const;
    // The name of the current menu, or "".
    const char* CurrentMenu() const;
    // The name of the dialog shown over it, or "" (also while one leaves).
    const char* Dialog() const;
    // The control of a menu, or of one of its chained pages.
    any_menu_control_c* Control(const char* _menu, const char* _control) const;
    std::vector<std::string> ListItems(const char* _menu, const char* _control) const;
    recording_renderer_c& Renderer() const;
    silent_sound_c& Sound() const;
    controllers_c& Controllers() const;

    temporary_config_home_c home;
    script_input_c input;
    script_input_scope_c input_scope{input};
    memory_file_system_c files;
    screens_devices_c devices;
    application_c app{&devices};
    std::unique_ptr<state_menu_c> state;
    std::vector<display_mode_s> adapter_modes;
    double time = 0.0;

private:
    void WriteMenus();
    void WritePlanes();
    std::vector<plane_stats_s> planes;
};

// Runs frames on every world that shows its menus until the condition
// holds; false after a generous deadline of real time.
bool FramesUntil(const std::vector<screens_world_c*>& _worlds, const std::function<bool()>& _condition);

} // namespace screens_testing
