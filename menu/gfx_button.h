#pragma once
// GfxButtonControl: a button whose shape is an object of a 3D scene. The
// pointer is over it when the ray from the scene's camera through the
// pointer first hits the named object ("ObjToRayTestName"; any object when
// no name is given); a scene without an active camera is never hit. It has
// no caption, draws its scene with the scene's own viewport and camera,
// reports clicks through GetState as a button does (int 2 once, 1 while the
// action clip runs), and has go-in and go-out clips whose lengths count
// toward its menu's transition times.
//
// States: 0 disabled, 1 normal, 2 pointer over, 3 action, 4 going in,
// 5 going out; it takes the pointer only in 1 and 2, and after going in or
// out it returns to the enabled state it had (a button disabled meanwhile
// stays disabled).
//
// Control-script keys, in the order tested: "BodyFile", "ObjToRayTestName",
// "Disabled", "Enabled", "MouseOver", "Action" (the last two with an
// optional "sound"), "GoIn", "GoOut".
#include "foundation/text_string.h"
#include "menu/any_menu_control.h"
#include "menu/menu_looks.h"

class scene_c;

class GfxButtonControl : public any_menu_control_c {
public:
    GfxButtonControl(const char* _name, const char* _script_file, renderer_c* _renderer, sound_system_c* _sound_system,
                     menu_string_table_c* _string_table);
    ~GfxButtonControl() override;

    void Render() override;
    void Process(f32 _time) override;
    void ProcessScript() override;
    void SetSoundVolume(f32 _volume) override;
    void Disable(bool _enabled = true) override;
    bool IsDisabled() override;
    void GetState(menu_ret_c& _ret) override;
    void SetState(menu_ret_c* _ret) override;
    f32 GetGoOutTime() override;
    f32 GetGoInTime() override;
    void GoOut() override;
    void GoIn() override;
    void OnMouseMove(f32 _x, f32 _y, i32 _a, i32 _b) override;
    void OnLeftClick() override;
    // A pick through the stored point; the arguments are not used.
    bool IsInside(f32 _x, f32 _y) override;

    scene_c* GetScene() const { return scene.get(); }
    const string_c& GetTargetName() const { return targetName; }

private:
    i32 clickDone = 0;
    std::unique_ptr<scene_c> scene;
    string_c targetName;
    f32 pointX = -1.0f;
    f32 pointY = -1.0f;
    menu_looks_c looks;
    menu_anim_clip_c goIn;
    menu_anim_clip_c goOut;
    u8 enabled = 1;
};
