#include "menu/drag.h"

#include "engine/scene.h"
#include "foundation/script_loader.h"
#include "menu/menu_control_keys.h"

DragItemControl::DragItemControl(const char* _name, const char* _script_file, renderer_c* _renderer,
                                 sound_system_c* _sound_system, menu_string_table_c* _string_table)
    : any_menu_control_c(_name, _script_file, _renderer, _sound_system, _string_table)
{
    ProcessScript();
}

DragItemControl::~DragItemControl() = default;

void DragItemControl::ProcessScript()
{
    while (const char* key = ReadScriptCommand()) {
        const command_c& command = GetScript();
        const string_c keyword(key);
        if (keyword == "BodyFile")
            body = LoadMenuBodyScene(command.GetParameter(1u), renderer, true);
        else if (looks.ReadKey(key, command, soundSystem))
            continue;
        else if (keyword == "FadeSize")
            fadeSize = 1;
    }
}

void DragItemControl::Render()
{
    if (body && !square)
        body->Render();
}

void DragItemControl::Process(f32 _time)
{
    if (body) {
        if (fadeSize) {
            PlaceShrunkMenuScene(*body, rect, transition, 1.0f);
        } else {
            body->dissolve = transition;
            PlaceMenuScene(*body, rect);
        }
    }
    if (state != control_disabled) {
        const bool inside = rect.IsInside(pointX, pointY);
        if (inside && state == control_normal) {
            looks.over.Play(body.get(), currentTime);
            state = control_over;
            hoverTime = _time;
        } else if (!inside && state == control_over) {
            looks.enabled.Play(body.get(), currentTime);
            state = control_normal;
        }
    }
    if (body)
        AnimateMenuScene(*body, _time);
    currentTime = _time;
}

void DragItemControl::SetSoundVolume(f32) {}

void DragItemControl::Disable(bool _enabled)
{
    state = _enabled ? control_normal : control_disabled;
    (_enabled ? looks.enabled : looks.disabled).Play(body.get(), currentTime);
}

bool DragItemControl::IsDisabled()
{
    return false;
}

void DragItemControl::GetState(menu_ret_c&) {}
void DragItemControl::SetState(menu_ret_c*) {}
void DragItemControl::OnMouseMove(f32, f32, i32, i32) {}

bool DragItemControl::IsInside(f32, f32)
{
    return rect.IsInside(pointX, pointY);
}

void DragItemControl::SetPoint(f32 _x, f32 _y)
{
    pointX = _x;
    pointY = _y;
}

DragSquareControl::DragSquareControl(const char* _name, const char* _script_file, renderer_c* _renderer,
                                     sound_system_c* _sound_system, menu_string_table_c* _string_table)
    : any_menu_control_c(_name, _script_file, _renderer, _sound_system, _string_table)
{
    ProcessScript();
}

DragSquareControl::~DragSquareControl() = default;

void DragSquareControl::Render() {}
void DragSquareControl::Process(f32) {}
void DragSquareControl::ProcessScript() {}
void DragSquareControl::Disable(bool) {}

bool DragSquareControl::IsDisabled()
{
    return false;
}

void DragSquareControl::GetState(menu_ret_c&) {}
void DragSquareControl::SetState(menu_ret_c*) {}

void DragSquareControl::OnMouseMove(f32 _x, f32 _y, i32, i32)
{
    pointX = _x;
    pointY = _y;
}

bool DragSquareControl::IsInside(f32, f32)
{
    return rect.IsInside(pointX, pointY);
}
