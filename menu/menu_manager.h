#pragma once
// menu_manager_c: owns every menu of the front end. It loads them from the
// menu-list script (a fraction at a time for the loading bar), keeps an
// optional background scene behind them, shows one current menu with
// animated transitions between menus, at most one dialog menu on top, and
// routes the menu state's mouse and keyboard events to the menus.
//
// Menu-list script: "BackgroundScene" scene-file; "AddMenu" name script
// (the menu of that name, or a new one, reads the script; every loaded menu
// starts disabled). Other commands, and records that lack a parameter
// (reported with MenuMessage), are skipped; loading ends at the end of the
// file.
//
// Transitions (progress 0 shown, 1 gone; a leaving menu runs 0 -> 1, an
// arriving one 1 -> 0), over the menu's go-out or go-in time or, when that is
// 0, the caller's default: 1 out (nothing follows), 2 out then in, 3 in,
// 4 cross (both at once). A transition ends in the first Update after
// start + duration; a state-2 transition that ends runs its state-3 part in
// the same frame. The dialog comes in and goes out the same way.
//
// Events go to the dialog menu alone when one is shown, else to every menu
// in list order (only enabled menus react). A pointer move with a dialog
// shown gives every other menu (-1, -1), so nothing under the dialog stays
// highlighted. Switching menus never disables a shown dialog, and showing a
// dialog over another retires the first, so input always has a live target.
//
// The background scene is skipped while the current menu is enabled and
// full-screen (during a transition: only when the next menu is full-screen
// too).
#include "foundation/types.h"

#include <memory>
#include <vector>

class any_menu_c;
class renderer_c;
class scene_c;
class script_loader_c;
class sound_system_c;

enum menu_transition_e : i32 {
    transition_none = 0,
    transition_out = 1,
    transition_out_in = 2,
    transition_in = 3,
    transition_cross = 4,
};

class menu_manager_c {
public:
    menu_manager_c(renderer_c* _renderer, sound_system_c* _sound_system);
    menu_manager_c(const menu_manager_c&) = delete;
    menu_manager_c& operator=(const menu_manager_c&) = delete;
    ~menu_manager_c();

    // Frees the reader, the scene and every menu; no current, next or
    // dialog menu; nothing running.
    void Clear();
    // _step 0 loads everything and returns 1.0; _step n > 0 reads one record
    // per call (an "AddMenu" script n commands at a time) and returns the
    // share done: while record k of n is read (k - 1 + its script's share)
    // / n, after it k / n; 1.0 once the file is done.
    f32 Load(const char* _file_name, u32 _step);
    // One record, or the next part of one; the script's share while an
    // "AddMenu" script is still being read, else 0.
    f32 ReadRecord(u32 _step);
    // Background scene, transitions, dialog, then Process of every menu.
    void Update(f32 _time);
    // Background scene, every menu but the dialog, then the dialog when
    // _with_dialog is set.
    void Render(bool _with_dialog);
    void RenderDialog();
    // The effects volume in decibels for the controls' sounds.
    void SetMenusSoundVolume(f32 _volume);

    // Switches at once: the named menu is enabled and current, every other
    // (but the dialog) disabled. Null, or a name no menu has, leaves no
    // current menu.
    void SetMenu(const char* _name);
    // Animated switches; a transition already running is dropped first.
    // Null leaves no menu (the current one goes out). A name no menu has
    // throws list_error_c "Could not find item!".
    void SwitchMenu(const char* _name, f32 _default_time);
    void CrossSwitchMenu(const char* _name, f32 _default_time);
    // Shows the named menu as the dialog; null lets the dialog go out.
    void ShowDialog(const char* _name, f32 _default_time);

    // Throws list_error_c "Could not find item!" with the name.
    any_menu_c* GetMenu(const char* _name) const;
    any_menu_c* FindMenu(const char* _name) const;
    // The current menu while it is enabled, else null.
    any_menu_c* GetCurrentMenu() const;
    any_menu_c* GetNextMenu() const { return nextMenu; }
    const char* GetCurrentMenuName() const;
    any_menu_c* GetDialogMenu() const { return dialogMenu; }
    i32 GetTransitionState() const { return transitionState; }
    i32 GetDialogState() const { return dialogState; }
    // The time of the last Update.
    f32 GetCurrentTime() const { return currentTime; }
    f32 GetTransitionDuration() const { return transitionDuration; }
    scene_c* GetBackgroundScene() const { return backgroundScene.get(); }
    const std::vector<std::unique_ptr<any_menu_c>>& GetMenus() const { return menus; }

    void OnMouseMove(f32 _x, f32 _y, i32 _a, i32 _b);
    void OnMouseWheel(i32 _steps);
    void OnLeftButtonDown();
    void OnLeftButtonUp();
    void OnLeftClick();
    void OnRightButtonUp();
    void OnRightClick();
    void OnMiddleButtonUp();
    void OnMiddleClick();
    void OnKeyDown(u32 _virtual_key);
    void OnKeyUp(u32 _virtual_key);
    void OnChar(u32 _character);

private:
    // Reads the command just named: a background scene, or the menu and
    // script of an "AddMenu" record (record done stays clear for it).
    void StartRecord(const char* _name);
    bool ShowsBackground() const;
    void StepTransition(f32 _time);
    void StepDialog(f32 _time);
    // The dialog menu alone, or every menu.
    template <typename Call>
    void Route(Call _call);

    f32 pointerX = 0.0f;
    f32 pointerY = 0.0f;
    std::unique_ptr<scene_c> backgroundScene;
    std::unique_ptr<script_loader_c> listReader;
    renderer_c* renderer;
    sound_system_c* soundSystem;
    std::vector<std::unique_ptr<any_menu_c>> menus;
    any_menu_c* dialogMenu = nullptr;
    i32 dialogState = 0;
    f32 dialogStart = 0.0f;
    f32 dialogDuration = 0.0f;
    any_menu_c* currentMenu = nullptr;
    any_menu_c* nextMenu = nullptr;
    i32 transitionState = transition_none;
    f32 transitionDuration = 0.0f;
    f32 transitionStart = 0.0f;
    f32 currentTime = 0.0f;
    u8 recordDone = 1;
    i32 recordCount = 0;
    i32 recordIndex = 0;
    // The "AddMenu" record being read over several calls.
    any_menu_c* pendingMenu = nullptr;
    std::vector<char> pendingScript;
    bool listFinished = false;
};
