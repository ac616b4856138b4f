#pragma once
// TabControl: a fold-out panel. Its header looks like a check box and opens
// or closes on a click; open, the header rises above a column of its child
// buttons and options controls (enabled ones only, 0.007 between the two
// groups). Clicking an options control opens its options board above the
// column: the enabled elements in two columns of width 5/11 of the board,
// rows half the board's width apart, and a hide button at the board's top
// right; a finished click on an element marks it with its riding check box,
// chooses it (radio-style) and closes the board. Closing the tab keeps the
// open board and every choice for the next opening.
//
// Control-script keys, in the order tested: the header's "BorderFile",
// "CheckFile", "Border_Disabled", "Border_Enabled", "Border_MouseOver",
// "Check_Disabled", "Check_ON", "Check_OFF", "Charset", "CharsetColor";
// "HideButtonControl" (name, script; "x" "y" "w" "h"); "ButtonControl" and
// "OptionsControl" (name, script; the rectangle in either form,
// "tooltiptext", "text"); "OptionsBoard" (name, script; the rectangle);
// "AddOptionsElement" (options name, element name, script; "text"), which
// shows "Options not found!" when no options control has that name.
// Children named "Kamikaze" or "Destruct" (buttons) and "BEHEVIOUR" or
// "Sensors" (options) never see the pointer.
//
// The value is the state's bool: open or closed.
#include "foundation/text_string.h"
#include "menu/any_menu_control.h"
#include "menu/menu_check_look.h"
#include "menu/menu_rect.h"

#include <vector>

class ButtonControl;
class OptionsControl;

class TabControl : public any_menu_control_c {
public:
    // Above the column of children and above the options board.
    static constexpr f32 gap = 0.007f;

    TabControl(const char* _name, const char* _script_file, renderer_c* _renderer, sound_system_c* _sound_system,
               menu_string_table_c* _string_table);
    ~TabControl() override;

    // The header's place and size as the menu script gives them.
    void SetHome(f32 _x, f32 _y, f32 _width, f32 _height);
    void SetCaption(const char* _text) override { text = _text; }

    void Render() override;
    void Process(f32 _time) override;
    void ProcessScript() override;
    void SetSoundVolume(f32 _volume) override;
    void Disable(bool _enabled = true) override;
    bool IsDisabled() override;
    void GetState(menu_ret_c& _ret) override;
    void SetState(menu_ret_c* _ret) override;
    void OnMouseMove(f32 _x, f32 _y, i32 _a, i32 _b) override;
    void OnLeftClick() override;
    // The stored pointer within the tab as laid out; the arguments are not
    // used.
    bool IsInside(f32 _x, f32 _y) override;

    bool IsOpen() const { return open != 0; }
    const menu_rect_c& GetArea() const { return area; }
    f32 GetHeaderY() const { return positionY; }
    const std::vector<std::unique_ptr<ButtonControl>>& GetButtons() const { return buttons; }
    const std::vector<std::unique_ptr<OptionsControl>>& GetOptions() const { return options; }
    OptionsControl* FindOptions(const char* _name) const;
    OptionsControl* GetOpenOptions() const { return openOptions; }
    ButtonControl* GetBoard() const { return board.get(); }
    ButtonControl* GetHideButton() const { return hideButton.get(); }

private:
    // A child with the tab's renderer, sound system and string table.
    template <typename T>
    std::unique_ptr<T> MakeChild(const command_c& _command, bool _corner_form, bool _tool_tip);
    void LayOut();
    void LayOutBoard(f32 _total);
    void ProcessOptions(f32 _time);

    f32 positionX = 0.0f;
    f32 positionY = 0.0f;
    string_c text;
    menu_check_look_c look;
    menu_rect_c home;
    menu_rect_c area;
    f32 mouseX = -1.0f;
    f32 mouseY = -1.0f;
    u8 open = 0;
    std::unique_ptr<ButtonControl> board;
    std::vector<std::unique_ptr<ButtonControl>> buttons;
    std::vector<std::unique_ptr<OptionsControl>> options;
    OptionsControl* openOptions = nullptr;
    std::unique_ptr<ButtonControl> hideButton;
};
