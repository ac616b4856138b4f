#pragma once
// any_menu_c: one menu, a named screen of controls read from a menu script.
// It creates the controls the script names, draws and drives them, passes
// input to them, shows a tool tip for the control under the pointer, keeps a
// per-frame snapshot of every control's value, and offers the screens their
// working interface by control name. A menu may hold dialog chains: named
// groups of further menus, driven and drawn with it, of which the screens
// show one at a time.
//
// Menu script: a parameter text, one keyword per line (case ignored), tested
// in this order: "StringTableFile" file; "ToolTip" script; "FullScreenMenu";
// the control keywords "TextWindowControl", "GfxButtonControl",
// "CheckBoxControl", "SliderControl", "SliderHorizontalControl",
// "TextBoxControl", "ComboBoxControl", "ListBoxControl", "BoardControl",
// "ProgressBarControl", "ButtonControl", "DragSquareControl" (name only),
// "DragItemControl", "TabControl", each with a name and the control's
// script; "AddItemToDragSquare" item square; "AddItem" control index;
// "Disable" control; "AddDialogChain" chain menu script. Other keywords are
// skipped. Control keys: the rectangle as "x" "y" "w" "h" or as "x1" "y1"
// "x2" "y2" (the second form wins; an incomplete form changes nothing);
// "text" and "tooltiptext" as string-table indices; "TextFile" for a text
// window. A line whose required parameter is missing (command_error_c) is
// reported with MenuMessage, naming the file, and skipped; a file that cannot
// be read (a menu script, a control script, a scene, a sound) throws
// file_error_c with its name.
//
// Names of controls and chains compare without regard to case; the first
// match wins. A by-name operation that finds nothing reports the name
// followed by " Not found! - " and the operation's signature text, and
// returns without effect.
//
// "AddDialogChain" naming a script that the menu or one of the menus whose
// chains hold it reads is refused with the message: the script's name
// followed by " - dialog chain loops back to its own menu script!".
//
// ControlGetState reads the snapshot taken at the end of the last Process,
// so a ControlSetState shows there only after the next Process.
#include "foundation/text_string.h"
#include "foundation/types.h"
#include "menu/menu_ret.h"
#include "menu/menu_string_table.h"

#include <memory>
#include <vector>

class any_menu_c;
class any_menu_control_c;
class renderer_c;
class script_loader_c;
class sound_system_c;
class ToolTip;

// A named group of menus of which the screens show one at a time.
class dialog_chain_c {
public:
    explicit dialog_chain_c(const char* _name);
    ~dialog_chain_c();

    // Enables the menus of that name and disables the others; null disables
    // them all; a name no menu has shows "Wrong!" and disables them all.
    void ShowOnlyChild(const char* _name);
    void Render();
    void Process(f32 _time);
    void SetTransition(f32 _progress);

    void Append(std::unique_ptr<any_menu_c> _menu);
    const string_c& GetName() const { return name; }
    const std::vector<std::unique_ptr<any_menu_c>>& GetMenus() const { return menus; }
    any_menu_c* FindMenu(const char* _name) const;

private:
    string_c name;
    std::vector<std::unique_ptr<any_menu_c>> menus;
};

class any_menu_c {
public:
    any_menu_c(const char* _name, renderer_c* _renderer, sound_system_c* _sound_system);
    any_menu_c(const any_menu_c&) = delete;
    any_menu_c& operator=(const any_menu_c&) = delete;
    virtual ~any_menu_c();

    // When enabled: the full-output viewport, a depth clear, every control
    // (a captured one last, so an open drop-down lies on top), the chained
    // menus, the tool tip.
    virtual void Render();
    // Runs whether enabled or not: chained menus track the pointer and are
    // processed, the controls are processed at the time, the tool tip is
    // timed, and the state snapshot is rebuilt.
    virtual void Process(f32 _time);
    virtual void Enable(bool _enabled);
    virtual bool IsEnabled();
    // Reads the script: everything with _step 0 (returns 1.0), else at most
    // _step commands per call, returning the share of the file read; the
    // reader is kept between calls. At the end Process(0) fills the snapshot.
    virtual f32 LoadScript(const char* _file_name, u32 _step);
    virtual void DestroyControls();
    virtual void SetControlsSoundVolume(f32 _volume);
    // The largest of the controls' times; 0 without controls.
    virtual f32 GetGoOutTime();
    virtual f32 GetGoInTime();
    // Chained menus first, then the controls.
    virtual void GoOut();
    virtual void GoIn();
    virtual any_menu_control_c* FindControl(const char* _name);
    // _enabled false disables the control, true enables it.
    virtual void ControlDisable(const char* _control_name, bool _enabled);
    // True when the control is enabled; false for a missing one.
    virtual bool ControlIsDisabled(const char* _control_name);
    // Copies the snapshot's record; a missing name leaves _ret unchanged.
    virtual void ControlGetState(const char* _control_name, menu_ret_c& _ret);
    virtual void ControlSetState(const char* _control_name, menu_ret_c* _ret);
    // A cleared record with the one value set.
    virtual void ControlSetState(const char* _control_name, f32 _value);
    virtual void ControlSetState(const char* _control_name, i32 _value);
    virtual void ControlSetState(const char* _control_name, const char* _value);
    virtual void ControlSetState(const char* _control_name, bool _value);
    virtual f32 ControlGetFloat(const char* _control_name);
    virtual i32 ControlGetInt(const char* _control_name);
    virtual string_c ControlGetString(const char* _control_name);
    virtual bool ControlGetBool(const char* _control_name);
    virtual void SetTransition(f32 _progress);

    // Input, ignored while disabled. OnMouseMove passes the pointer to a
    // captured control under it alone (the hovered one loses it), else to
    // every control; the other events go to the chained menus, then to every
    // control in list order.
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

    const string_c& GetName() const { return name; }
    bool IsFullScreen() const { return fullScreen != 0; }
    dialog_chain_c* FindDialogChain(const char* _name) const;
    const std::vector<std::unique_ptr<dialog_chain_c>>& GetDialogChains() const { return chains; }
    const std::vector<std::unique_ptr<any_menu_control_c>>& GetControls() const { return controls; }
    const menu_string_table_c& GetStringTable() const { return stringTable; }
    ToolTip* GetToolTip() const { return toolTip.get(); }
    f32 GetPointerX() const { return pointerX; }
    f32 GetPointerY() const { return pointerY; }

private:
    void RunScriptCommand(const script_loader_c& _command);
    void AddControl(const script_loader_c& _command, u32 _keys, std::unique_ptr<any_menu_control_c> _control);
    void AddDialogChain(const char* _chain_name, const char* _menu_name, const char* _script_file);
    any_menu_control_c* FindCapturedControl() const;
    // Chained menus, then the last pointer time, then every control.
    template <typename MenuCall, typename ControlCall>
    void Forward(MenuCall _menu_call, ControlCall _control_call);
    // ControlGetState into a cleared record.
    menu_ret_c ReadState(const char* _control_name);
    // The control, or null after the report with the signature text.
    any_menu_control_c* FindReported(const char* _name, const char* _signature);

    string_c name;
    std::vector<std::unique_ptr<dialog_chain_c>> chains;
    u8 fullScreen = 0;
    renderer_c* renderer;
    sound_system_c* soundSystem;
    std::unique_ptr<script_loader_c> script;
    std::vector<std::unique_ptr<any_menu_control_c>> controls;
    menu_string_table_c stringTable;
    std::unique_ptr<ToolTip> toolTip;
    f32 pointerX = 0.0f;
    f32 pointerY = 0.0f;
    u8 disabled = 0;
    f32 lastPointerTime = 0.0f;
    f32 time = 0.0f;
    i32 pointerA = 0;
    i32 pointerB = 0;
    std::vector<menu_state_record_c> stateCache;
    // The menu whose dialog chain holds this one, and the script this one
    // reads: a chain that names a script its own menus are reading is
    // refused, so a looping chain cannot recurse without end.
    any_menu_c* parentMenu = nullptr;
    string_c scriptFile;
};
