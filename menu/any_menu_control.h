#pragma once
// any_menu_control_c: the base of every element of a menu. The menu creates
// its controls from the menu script, calls Process and Render every frame,
// forwards input to them and reads and writes their values through
// menu_ret_c.
//
// Construction protocol: the base copies the name, starts in state 1 with
// state time -1e7, and opens a script reader over the control's own script
// when one is named (a missing file throws file_error_c with its name); the
// derived constructor then calls its own ProcessScript, so the control has
// read its script when construction returns. The menu loader then sets the
// rectangle, caption and tool-tip text from the menu script's keys.
//
// States: 0 disabled, 1 normal, 2 pointer over, 3 captured (an open
// drop-down or a dragged item, which takes the pointer before all others).
// Disable(bool) takes the enabled state and IsDisabled answers it: true
// means usable, in every control that implements them.
//
// The operations a class does not take keep the defaults below; the ones
// that should never be reached report through MenuMessage with their
// signature text and change nothing. Mouse-button operations carry no
// position: a control uses the one of its last OnMouseMove.
#include "foundation/text_string.h"
#include "foundation/types.h"
#include "menu/menu_ret.h"

#include <memory>

class menu_rect_c;
class menu_string_table_c;
class renderer_c;
class script_loader_c;
class sound_system_c;

enum menu_control_state_e : i32 {
    control_disabled = 0,
    control_normal = 1,
    control_over = 2,
    control_captured = 3,
    // Boards and 3D buttons while their go-in or go-out clip runs.
    control_going_in = 4,
    control_going_out = 5,
};

class any_menu_control_c {
public:
    // An empty or null _script_file opens no script reader.
    any_menu_control_c(const char* _name, const char* _script_file, renderer_c* _renderer,
                       sound_system_c* _sound_system, menu_string_table_c* _string_table);
    any_menu_control_c(const any_menu_control_c&) = delete;
    any_menu_control_c& operator=(const any_menu_control_c&) = delete;
    virtual ~any_menu_control_c();

    virtual void Render();
    virtual void Process(f32 _time);
    virtual void ProcessScript();
    virtual void AddItem(const char* _item_name);
    virtual void RemoveItem(const char* _item_name);
    // The effects volume in decibels, for the control's sounds.
    virtual void SetSoundVolume(f32 _volume);
    virtual void Disable(bool _enabled = true);
    virtual bool IsDisabled();
    virtual void GetState(menu_ret_c& _ret);
    virtual void SetState(menu_ret_c* _ret);
    // Seconds the control needs to leave or come in; 0 by default.
    virtual f32 GetGoOutTime();
    virtual f32 GetGoInTime();
    // Both default to the hover reset: OnMouseMove(-1, -1, 0, 0), so the
    // control drops a pointer-over state, and hover time := current time.
    virtual void GoOut();
    virtual void GoIn();
    // 0 fully shown, 1 gone; stored and returned.
    virtual f32 SetTransition(f32 _progress);
    virtual void OnMouseMove(f32 _x, f32 _y, i32 _a, i32 _b);
    virtual void OnMouseWheel(i32 _steps);
    virtual void OnLeftButtonDown();
    virtual void OnLeftButtonUp();
    virtual void OnLeftClick();
    virtual void OnLeftDoubleClick();
    virtual void OnRightButtonDown();
    virtual void OnRightButtonUp();
    virtual void OnRightClick();
    virtual void OnRightDoubleClick();
    virtual void OnMiddleButtonDown();
    virtual void OnMiddleButtonUp();
    virtual void OnMiddleClick();
    virtual void OnMiddleDoubleClick();
    virtual void OnKeyDown(u32 _virtual_key);
    virtual void OnKeyUp(u32 _virtual_key);
    virtual void OnKeyPress(u32 _key);
    virtual void OnChar(u32 _character);
    virtual bool IsInside(f32 _x, f32 _y);

    // Where the menu loader writes the rectangle keys; null for a class that
    // keeps no rectangle.
    virtual menu_rect_c* GetRectangle();
    // The "text" key: a caption, or a text box's first content. Ignored by
    // classes without one.
    virtual void SetCaption(const char* _text);

    // The tool-tip text while the pointer is over the control (state 2),
    // else null.
    const char* GetToolTipText() const;
    // The text is copied, so the string table may grow later; null removes.
    void SetToolTipText(const char* _text);

    const string_c& GetName() const { return name; }
    i32 GetControlState() const { return state; }
    f32 GetHoverTime() const { return hoverTime; }
    void SetHoverTime(f32 _time) { hoverTime = _time; }
    f32 GetStateTime() const { return stateTime; }
    f32 GetTransition() const { return transition; }
    void SetCurrentTime(f32 _time) { currentTime = _time; }

protected:
    // The script's next command name, or null at its end or without a script.
    const char* ReadScriptCommand();
    script_loader_c& GetScript() { return *script; }

    string_c name;
    i32 state = control_normal;
    f32 hoverTime = 0.0f;
    std::unique_ptr<script_loader_c> script;
    renderer_c* renderer;
    sound_system_c* soundSystem;
    f32 transition = 0.0f;
    f32 currentTime = 0.0f;
    f32 stateTime = -1.0e7f;
    menu_string_table_c* stringTable;
    string_c toolTipText;
    bool hasToolTip = false;
};
