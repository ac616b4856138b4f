#include "menu/check_box.h"

#include "audio/sound_system.h"
#include "engine/font_handle.h"
#include "engine/scene.h"
#include "foundation/script_loader.h"
#include "menu/menu_control_keys.h"
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
        if (keyword == "BorderFile") {
            border = LoadMenuBodyScene(command.GetParameter(1u), renderer, true);
        } else if (keyword == "CheckFile") {
            check = LoadMenuBodyScene(command.GetParameter(1u), renderer, true);
        } else if (keyword == "Border_Disabled") {
            ReadMenuClip(command, borderDisabled);
        } else if (keyword == "Border_Enabled") {
            ReadMenuClip(command, borderEnabled);
        } else if (keyword == "Border_MouseOver") {
            ReadMenuClip(command, borderOver);
            overSound = ReadMenuSound(command, soundSystem);
        } else if (keyword == "Check_Disabled") {
            ReadMenuClip(command, checkDisabled);
        } else if (keyword == "Check_ON") {
            ReadMenuClip(command, checkOn);
            onSound = ReadMenuSound(command, soundSystem);
        } else if (keyword == "Check_OFF") {
            ReadMenuClip(command, checkOff);
            offSound = ReadMenuSound(command, soundSystem);
        } else if (keyword == "Charset") {
            font = ReadMenuFont(command, renderer);
        } else if (keyword == "CharsetColor") {
            color = ReadMenuColor(command);
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

void CheckBoxControl::PlayCheckClip()
{
    (checked && state != control_disabled ? checkOn : checkOff).Play(check.get(), currentTime);
}

void CheckBoxControl::Disable(bool _enabled)
{
    if (_enabled) {
        state = control_normal;
        borderEnabled.Play(border.get(), currentTime);
        PlayCheckClip();
    } else {
        state = control_disabled;
        borderDisabled.Play(border.get(), currentTime);
        checkDisabled.Play(check.get(), currentTime);
    }
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
    PlayCheckClip();
}

void CheckBoxControl::OnMouseMove(f32 _x, f32 _y, i32, i32)
{
    mouseX = _x;
    mouseY = _y;
}

bool CheckBoxControl::IsInside(f32, f32)
{
    if (textMode == 0) {
        const f32 caption = font ? font->GetTextWidth(text) : 0.0f;
        return x <= mouseX && mouseX <= x + width + caption && y <= mouseY && mouseY <= y + height;
    }
    return textMode == 1 && x <= mouseX && mouseX <= x + width && y <= mouseY && mouseY <= y + height;
}

void CheckBoxControl::OnLeftClick()
{
    if (state != control_over)
        return;
    if (checked) {
        PlayMenuSound(offSound.get());
        checkOff.Play(check.get(), currentTime);
        checked = 0;
    } else {
        PlayMenuSound(onSound.get());
        checkOn.Play(check.get(), currentTime);
        checked = 1;
    }
}

void CheckBoxControl::SetSoundVolume(f32 _volume)
{
    SetMenuSoundVolume(onSound.get(), _volume);
    SetMenuSoundVolume(offSound.get(), _volume);
    SetMenuSoundVolume(overSound.get(), _volume);
}

void CheckBoxControl::Process(f32 _time)
{
    currentTime = _time;
    const menu_rect_c box{x, y, x + width, y + height};
    for (scene_c* scene : {check.get(), border.get()}) {
        if (!scene)
            continue;
        scene->dissolve = transition;
        PlaceMenuScene(*scene, box);
    }
    if (state != control_disabled) {
        const bool inside = IsInside(mouseX, mouseY);
        if (!inside && state == control_over) {
            borderEnabled.Play(border.get(), _time);
            state = control_normal;
        } else if (inside && state == control_normal) {
            borderOver.Play(border.get(), _time);
            PlayMenuSound(overSound.get());
            state = control_over;
            hoverTime = _time;
        }
    }
    for (scene_c* scene : {check.get(), border.get()})
        if (scene)
            AnimateMenuScene(*scene, _time);
}

void CheckBoxControl::Render()
{
    scene_c* first = inverseRenderOrder ? check.get() : border.get();
    scene_c* second = inverseRenderOrder ? border.get() : check.get();
    for (scene_c* scene : {first, second})
        if (scene)
            scene->Render();
    if (!font)
        return;
    const f32 transparency = state == control_disabled ? transition * 0.5f : transition;
    if (textMode == 0)
        font->DrawText(x + width, y + height * 0.5f - font->GetLineHeight() * 0.5f, text, color, transparency, 0);
    else
        font->DrawText(x + textOffsetX, y + textOffsetY, text, color, transparency, 0);
}
