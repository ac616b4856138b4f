#pragma once
// BoardControl: a decorative scene (a panel, a plane, a background piece)
// that plays its "GoIn" clip when its menu comes in and its "GoOut" clip
// when it leaves; the clips' lengths are the menu's transition times. It
// frames itself with its scene's own camera and is never disabled.
// States: 1 shown, 4 going in, 5 going out.
//
// Control-script keys, in the order tested: "BodyFile", "GoIn", "GoOut",
// "Enabled" (clips with named "start", "end", "loop").
//
// ProgressBarControl: a value 0..1 shown as a frame of its scene's "Bar_Action"
// clip (value x the clip's length). Keys: "BarFile", "Bar_Disabled",
// "Bar_Action". The value is its state's float.
#include "menu/any_menu_control.h"
#include "menu/menu_anim_clip.h"
#include "menu/menu_rect.h"

class scene_c;

class BoardControl : public any_menu_control_c {
public:
    BoardControl(const char* _name, const char* _script_file, renderer_c* _renderer, sound_system_c* _sound_system,
                 menu_string_table_c* _string_table);
    ~BoardControl() override;

    void Render() override;
    void Process(f32 _time) override;
    void ProcessScript() override;
    // Whatever the argument: shown, with the enabled clip.
    void Disable(bool _enabled = true) override;
    bool IsDisabled() override;
    void GetState(menu_ret_c& _ret) override;
    void SetState(menu_ret_c* _ret) override;
    f32 GetGoOutTime() override;
    f32 GetGoInTime() override;
    void GoOut() override;
    void GoIn() override;
    bool IsInside(f32 _x, f32 _y) override;

    scene_c* GetBody() const { return body.get(); }

private:
    menu_anim_clip_c enabled;
    menu_anim_clip_c goIn;
    menu_anim_clip_c goOut;
    std::unique_ptr<scene_c> body;
};

class ProgressBarControl : public any_menu_control_c {
public:
    ProgressBarControl(const char* _name, const char* _script_file, renderer_c* _renderer,
                       sound_system_c* _sound_system, menu_string_table_c* _string_table);
    ~ProgressBarControl() override;

    void Render() override;
    void Process(f32 _time) override;
    void ProcessScript() override;
    void Disable(bool _enabled = true) override;
    bool IsDisabled() override;
    void GetState(menu_ret_c& _ret) override;
    void SetState(menu_ret_c* _ret) override;
    bool IsInside(f32 _x, f32 _y) override;
    menu_rect_c* GetRectangle() override { return &rect; }

    scene_c* GetBar() const { return bar.get(); }

private:
    menu_rect_c rect;
    f32 value = 0.0f;
    std::unique_ptr<scene_c> bar;
    menu_anim_clip_c barDisabled;
    menu_anim_clip_c barAction;
};
