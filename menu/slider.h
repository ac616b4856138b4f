#pragma once
// SliderControl (vertical) and SliderHorizontalControl: one value in 0..1,
// a bar between two arrow squares. The value follows the pointer while the
// left button is held after a press on the bar (also when the pointer then
// leaves the control), and runs at "Speed" per second while an arrow is
// held; both keep it in 0..1. The value grows to the right and downward:
// arrow A is the right end of a horizontal slider (value up) and the top of
// a vertical one (value down); arrow B the other end. The arrows are squares
// of the slider's thickness; the bar fills the rest. A slider too short for
// its arrows has a bar without length, which the pointer cannot move.
//
// Control-script keys, in the order tested: "ArrowRightFile" or
// "ArrowUpFile" (arrow A's scene, by orientation), "ArrowLeftFile" or
// "ArrowDownFile" (arrow B's), "BarFile"; "Arrow_Disabled", "Arrow_Enabled",
// "Arrow_MouseOver" and "Arrow_Action" (clips of both arrows, the last two
// with an optional "sound"); "Bar_Disabled", "Bar_Action" (the bar's scene
// shows the value as the frame value x the action clip's length); "Speed".
//
// The value is the state's float; SetState stores it as given (the next
// drag or arrow step clamps it).
#include "menu/any_menu_control.h"
#include "menu/menu_anim_clip.h"
#include "menu/menu_rect.h"

class scene_c;
class sound_source_c;

class SliderControl : public any_menu_control_c {
public:
    // A vertical slider.
    SliderControl(const char* _name, const char* _script_file, renderer_c* _renderer, sound_system_c* _sound_system,
                  menu_string_table_c* _string_table);
    ~SliderControl() override;

    void Render() override;
    void Process(f32 _time) override;
    void ProcessScript() override;
    void SetSoundVolume(f32 _volume) override;
    void Disable(bool _enabled = true) override;
    bool IsDisabled() override;
    void GetState(menu_ret_c& _ret) override;
    void SetState(menu_ret_c* _ret) override;
    void OnMouseMove(f32 _x, f32 _y, i32 _a, i32 _b) override;
    void OnLeftButtonDown() override;
    void OnLeftButtonUp() override;
    // The stored pointer; the arguments are not used.
    bool IsInside(f32 _x, f32 _y) override;
    menu_rect_c* GetRectangle() override { return &rect; }

    f32 GetValue() const { return value; }
    void SetValue(f32 _value) { value = _value; }
    // Value per second while an arrow is held ("Speed").
    f32 GetSpeed() const { return speed; }
    void SetSpeed(f32 _speed) { speed = _speed; }
    i32 GetArrowAState() const { return arrowA.state; }
    i32 GetArrowBState() const { return arrowB.state; }
    const menu_rect_c& GetBar() const { return bar; }
    scene_c* GetBarScene() const { return barScene.get(); }

protected:
    SliderControl(bool _horizontal, const char* _name, const char* _script_file, renderer_c* _renderer,
                  sound_system_c* _sound_system, menu_string_table_c* _string_table);

private:
    struct arrow_s {
        menu_rect_c square;
        std::unique_ptr<scene_c> scene;
        menu_anim_clip_c disabled;
        menu_anim_clip_c enabled;
        menu_anim_clip_c over;
        menu_anim_clip_c action;
        i32 state = control_normal;
        // Value per second while held.
        f32 direction = 0.0f;
    };

    void Layout();
    void HoverArrow(arrow_s& _arrow, bool _leave_held);
    // Moves the value while the arrow is held; a press starts its action.
    void HoldArrow(arrow_s& _arrow, f32 _seconds, bool _needs_pointer);

    bool horizontal;
    menu_rect_c rect;
    arrow_s arrowA;
    arrow_s arrowB;
    menu_rect_c bar;
    f32 value = 0.0f;
    f32 speed = 0.0f;
    f32 lastTime = 0.0f;
    std::unique_ptr<scene_c> barScene;
    menu_anim_clip_c barDisabled;
    menu_anim_clip_c barAction;
    f32 mouseX = -1.0f;
    f32 mouseY = -1.0f;
    // 1 while the left button is held after a press inside, else 2 (0
    // before any press).
    i32 button = 2;
    u8 dragging = 0;
    std::unique_ptr<sound_source_c> overSound;
    std::unique_ptr<sound_source_c> actionSound;
};

class SliderHorizontalControl : public SliderControl {
public:
    SliderHorizontalControl(const char* _name, const char* _script_file, renderer_c* _renderer,
                            sound_system_c* _sound_system, menu_string_table_c* _string_table);
};
