#pragma once
// CheckBoxControl: a two-state switch drawn as a border scene and a check
// scene, with a caption beside the box. Made by the menu script (position
// from its "x" and "y") or riding on a button, which places it.
//
// Control-script keys, in the order tested: "BorderFile", "CheckFile";
// "Border_Disabled", "Border_Enabled", "Border_MouseOver" (with an optional
// "sound"); "Check_Disabled", "Check_ON", "Check_OFF" (the last two with an
// optional "sound"); "Charset"; "CharsetColor"; "Size" (named "x", "y");
// "DeltaTextPos" (named "x", "y": the caption at that offset instead of right
// of the box); "InverseRenderOrder" (check drawn before the border).
//
// The pointer is over it on the box and, with the caption right of the box,
// on the caption too (its width 0 without a font). A click while the pointer
// is over it toggles the value, which GetState reports in the bool; SetState
// sets it without a sound.
#include "foundation/text_string.h"
#include "foundation/vector_math.h"
#include "menu/any_menu_control.h"
#include "menu/menu_check_look.h"

class scene_c;

class CheckBoxControl : public any_menu_control_c {
public:
    CheckBoxControl(const char* _name, const char* _script_file, renderer_c* _renderer, sound_system_c* _sound_system,
                    menu_string_table_c* _string_table);
    ~CheckBoxControl() override;

    void SetPosition(f32 _x, f32 _y);
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
    // The stored pointer; the arguments are not used.
    bool IsInside(f32 _x, f32 _y) override;

    bool IsChecked() const { return checked != 0; }
    f32 GetX() const { return x; }
    f32 GetY() const { return y; }
    scene_c* GetBorderScene() const { return look.border.get(); }
    scene_c* GetCheckScene() const { return look.check.get(); }

private:
    f32 x = 0.0f;
    f32 y = 0.0f;
    f32 width = 0.0f;
    f32 height = 0.0f;
    string_c text;
    menu_check_look_c look;
    f32 mouseX = -1.0f;
    f32 mouseY = -1.0f;
    u8 checked = 0;
    i32 textMode = 0;
    f32 textOffsetX = 0.0f;
    f32 textOffsetY = 0.0f;
    u8 inverseRenderOrder = 0;
};
