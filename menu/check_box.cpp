#include "menu/check_box.h"

#include "engine/font_handle.h"
#include "engine/scene.h"
#include "foundation/script_loader.h"
#include "menu/menu_rect.h"

CheckBoxControl::CheckBoxControl(const char* _name, const char* _script_file, renderer_c* _renderer,
                                 sound_system_c* _sound_system, menu_string_table_c* _string_table)
    : any_menu_control_c(_name, _script_file, _renderer, _sound_system, _string_table)
{
    ProcessScript();
    Disable(true);
}

CheckBoxControl::~CheckBoxControl() = default;

void CheckBoxControl::ProcessScript()
{
    while (const char* key = ReadScriptCommand()) {
        const command_c& command = GetScript();
        const string_c keyword(key);
        if (look.ReadKey(key, command, renderer, soundSystem)) {
            continue;
        } else if (keyword == "Size") {
            width = command.GetFloat("x");
            height = command.GetFloat("y");
        } else if (keyword == "DeltaTextPos") {
            textMode = 1;
            textOffsetX = command.GetFloat("x");
            textOffsetY = command.GetFloat("y");
        } else if (keyword == "InverseRenderOrder") {
            inverseRenderOrder = 1;
        }
    }
}

void CheckBoxControl::SetPosition(f32 _x, f32 _y)
{
    x = _x;
    y = _y;
}

void CheckBoxControl::Disable(bool _enabled)
{
    state = _enabled ? control_normal : control_disabled;
    look.Show(_enabled, checked != 0, currentTime);
}

bool CheckBoxControl::IsDisabled()
{
    return state != control_disabled;
}

void CheckBoxControl::GetState(menu_ret_c& _ret)
{
    _ret.Clear();
    _ret.boolValue = checked;
}

void CheckBoxControl::SetState(menu_ret_c* _ret)
{
    checked = _ret->boolValue ? 1 : 0;
    look.ShowCheck(checked != 0, state != control_disabled, currentTime);
}

void CheckBoxControl::OnMouseMove(f32 _x, f32 _y, i32, i32)
{
    mouseX = _x;
    mouseY = _y;
}

bool CheckBoxControl::IsInside(f32, f32)
{
    if (textMode == 0) {
        const f32 caption = look.font ? look.font->GetTextWidth(text) : 0.0f;
        return x <= mouseX && mouseX <= x + width + caption && y <= mouseY && mouseY <= y + height;
    }
    return textMode == 1 && x <= mouseX && mouseX <= x + width && y <= mouseY && mouseY <= y + height;
}

void CheckBoxControl::OnLeftClick()
{
    if (state == control_over)
        checked = look.Toggle(checked != 0, currentTime) ? 1 : 0;
}

void CheckBoxControl::SetSoundVolume(f32 _volume)
{
    look.SetVolume(_volume);
}

void CheckBoxControl::Process(f32 _time)
{
    currentTime = _time;
    look.Place({x, y, x + width, y + height}, transition);
    if (state != control_disabled)
        look.Hover(state, IsInside(mouseX, mouseY), _time, hoverTime);
    look.Animate(_time);
}

void CheckBoxControl::Render()
{
    look.Render(inverseRenderOrder != 0);
    if (!look.font)
        return;
    const f32 transparency = state == control_disabled ? transition * 0.5f : transition;
    if (textMode == 0)
        look.font->DrawText(x + width, y + height * 0.5f - look.font->GetLineHeight() * 0.5f, text, look.color,
                            transparency, 0);
    else
        look.font->DrawText(x + textOffsetX, y + textOffsetY, text, look.color, transparency, 0);
}
