#include "menu/board.h"

#include "engine/scene.h"
#include "foundation/script_loader.h"
#include "menu/menu_control_keys.h"

BoardControl::BoardControl(const char* _name, const char* _script_file, renderer_c* _renderer,
                           sound_system_c* _sound_system, menu_string_table_c* _string_table)
    : any_menu_control_c(_name, _script_file, _renderer, _sound_system, _string_table)
{
    ProcessScript();
    Disable(true);
}

BoardControl::~BoardControl() = default;

void BoardControl::ProcessScript()
{
    while (const char* key = ReadScriptCommand()) {
        const command_c& command = GetScript();
        const string_c keyword(key);
        if (keyword == "BodyFile")
            body = LoadMenuBodyScene(command.GetParameter(1u), renderer, true);
        else if (keyword == "GoIn")
            ReadMenuClip(command, goIn);
        else if (keyword == "GoOut")
            ReadMenuClip(command, goOut);
        else if (keyword == "Enabled")
            ReadMenuClip(command, enabled);
    }
}

void BoardControl::Render()
{
    if (body)
        body->Render();
}

void BoardControl::Process(f32 _time)
{
    if (state == control_going_in && _time - goIn.startTime > goIn.lastTime - goIn.firstTime) {
        enabled.Play(body.get(), 0.0f);
        state = control_normal;
    } else if (state == control_going_out && _time - goOut.startTime > goOut.lastTime - goOut.firstTime) {
        enabled.Play(body.get(), 0.0f);
        state = control_normal;
    }
    currentTime = _time;
    if (body)
        AnimateMenuScene(*body, _time);
}

void BoardControl::Disable(bool)
{
    enabled.Play(body.get(), 0.0f);
    state = control_normal;
}

bool BoardControl::IsDisabled()
{
    return true;
}

void BoardControl::GetState(menu_ret_c&) {}
void BoardControl::SetState(menu_ret_c*) {}

f32 BoardControl::GetGoOutTime()
{
    return goOut.lastTime - goOut.firstTime;
}

f32 BoardControl::GetGoInTime()
{
    return goIn.lastTime - goIn.firstTime;
}

void BoardControl::GoOut()
{
    any_menu_control_c::GoOut();
    goOut.Play(body.get(), currentTime);
    state = control_going_out;
}

void BoardControl::GoIn()
{
    any_menu_control_c::GoIn();
    goIn.Play(body.get(), currentTime);
    state = control_going_in;
}

bool BoardControl::IsInside(f32, f32)
{
    return false;
}

ProgressBarControl::ProgressBarControl(const char* _name, const char* _script_file, renderer_c* _renderer,
                                       sound_system_c* _sound_system, menu_string_table_c* _string_table)
    : any_menu_control_c(_name, _script_file, _renderer, _sound_system, _string_table)
{
    ProcessScript();
    Disable(true);
}

ProgressBarControl::~ProgressBarControl() = default;

void ProgressBarControl::ProcessScript()
{
    while (const char* key = ReadScriptCommand()) {
        const command_c& command = GetScript();
        const string_c keyword(key);
        if (keyword == "BarFile")
            bar = LoadMenuBodyScene(command.GetParameter(1u), renderer, true);
        else if (keyword == "Bar_Disabled")
            ReadMenuClip(command, barDisabled);
        else if (keyword == "Bar_Action")
            ReadMenuClip(command, barAction);
    }
}

void ProgressBarControl::Render()
{
    if (bar)
        bar->Render();
}

void ProgressBarControl::Process(f32 _time)
{
    currentTime = _time;
    if (!bar)
        return;
    PlaceMenuScene(*bar, rect);
    bar->dissolve = transition;
    AnimateMenuScene(*bar, (barAction.lastTime - barAction.firstTime) * value);
}

void ProgressBarControl::Disable(bool _enabled)
{
    state = _enabled ? control_normal : control_disabled;
    (_enabled ? barAction : barDisabled).Play(bar.get(), 0.0f);
}

bool ProgressBarControl::IsDisabled()
{
    return state != control_disabled;
}

void ProgressBarControl::GetState(menu_ret_c& _ret)
{
    _ret.Clear();
    _ret.floatValue = value;
}

void ProgressBarControl::SetState(menu_ret_c* _ret)
{
    value = _ret->floatValue;
}

bool ProgressBarControl::IsInside(f32, f32)
{
    return false;
}
