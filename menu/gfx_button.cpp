#include "menu/gfx_button.h"

#include "engine/scene.h"
#include "foundation/script_loader.h"
#include "menu/menu_control_keys.h"

#include <cfloat>

GfxButtonControl::GfxButtonControl(const char* _name, const char* _script_file, renderer_c* _renderer,
                                   sound_system_c* _sound_system, menu_string_table_c* _string_table)
    : any_menu_control_c(_name, _script_file, _renderer, _sound_system, _string_table)
{
    ProcessScript();
    Disable(true);
}

GfxButtonControl::~GfxButtonControl() = default;

void GfxButtonControl::ProcessScript()
{
    while (const char* key = ReadScriptCommand()) {
        const command_c& command = GetScript();
        const string_c keyword(key);
        if (keyword == "BodyFile")
            scene = LoadMenuBodyScene(command.GetParameter(1u), renderer, true);
        else if (keyword == "ObjToRayTestName")
            targetName = command.GetParameter(1u);
        else if (looks.ReadKey(key, command, soundSystem))
            continue;
        else if (keyword == "GoIn")
            ReadMenuClip(command, goIn);
        else if (keyword == "GoOut")
            ReadMenuClip(command, goOut);
    }
}

void GfxButtonControl::Render()
{
    if (scene)
        scene->Render();
}

bool GfxButtonControl::IsInside(f32, f32)
{
    if (!scene)
        return false;
    const null_object_c* hit = scene->PickAtScreen(pointX, pointY, true, true, FLT_MAX);
    return hit && (targetName.IsEmpty() || hit->GetName() == targetName);
}

void GfxButtonControl::Process(f32 _time)
{
    if (scene && state != control_disabled) {
        if (state == control_going_in && _time - goIn.startTime > goIn.lastTime - goIn.firstTime)
            Disable(enabled != 0);
        else if (state == control_going_out && _time - goOut.startTime > goOut.lastTime - goOut.firstTime)
            Disable(enabled != 0);
        if (state == control_normal || state == control_over) {
            const bool inside = IsInside(pointX, pointY);
            if (inside && state == control_normal) {
                PlayMenuSound(looks.overSound.get());
                looks.over.Play(scene.get(), currentTime);
                state = control_over;
                hoverTime = _time;
            } else if (!inside && state == control_over) {
                looks.enabled.Play(scene.get(), currentTime);
                state = control_normal;
                hoverTime = _time;
            }
        }
    }
    if (state == control_captured)
        clickDone = _time >= stateTime + (looks.action.lastTime - looks.action.firstTime) ? 1 : 0;
    currentTime = _time;
    if (scene)
        AnimateMenuScene(*scene, _time);
}

void GfxButtonControl::OnLeftClick()
{
    if (state != control_over)
        return;
    PlayMenuSound(looks.actionSound.get());
    looks.action.Play(scene.get(), currentTime);
    state = control_captured;
    stateTime = hoverTime = currentTime;
}

void GfxButtonControl::GetState(menu_ret_c& _ret)
{
    if (!clickDone) {
        _ret.intValue = state == control_captured ? 1 : 0;
        return;
    }
    _ret.intValue = 2;
    clickDone = 0;
    const bool inside = IsInside(pointX, pointY);
    (inside ? looks.over : looks.enabled).Play(scene.get(), 0.0f);
    state = inside ? control_over : control_normal;
}

void GfxButtonControl::SetState(menu_ret_c*) {}

void GfxButtonControl::Disable(bool _enabled)
{
    if (_enabled) {
        looks.enabled.Play(scene.get(), 0.0f);
        state = control_normal;
        enabled = 1;
        return;
    }
    if (state != control_disabled) {
        looks.disabled.Play(scene.get(), 0.0f);
        state = control_disabled;
    }
    enabled = 0;
}

bool GfxButtonControl::IsDisabled()
{
    return state != control_disabled;
}

void GfxButtonControl::SetSoundVolume(f32 _volume)
{
    looks.SetVolume(_volume);
}

f32 GfxButtonControl::GetGoOutTime()
{
    return goOut.lastTime - goOut.firstTime;
}

f32 GfxButtonControl::GetGoInTime()
{
    return goIn.lastTime - goIn.firstTime;
}

void GfxButtonControl::GoOut()
{
    any_menu_control_c::GoOut();
    goOut.Play(scene.get(), currentTime);
    state = control_going_out;
}

void GfxButtonControl::GoIn()
{
    any_menu_control_c::GoIn();
    goIn.Play(scene.get(), currentTime);
    state = control_going_in;
}

void GfxButtonControl::OnMouseMove(f32 _x, f32 _y, i32, i32)
{
    pointX = _x;
    pointY = _y;
}
