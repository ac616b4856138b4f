#include "menu/button.h"

#include "audio/sound_system.h"
#include "engine/font_handle.h"
#include "engine/scene.h"
#include "foundation/script_loader.h"
#include "menu/check_box.h"
#include "menu/menu_control_keys.h"

ButtonControl::ButtonControl(const char* _name, const char* _script_file, renderer_c* _renderer,
                             sound_system_c* _sound_system, menu_string_table_c* _string_table)
    : any_menu_control_c(_name, _script_file, _renderer, _sound_system, _string_table)
{
    ProcessScript();
    Disable(true);
}

ButtonControl::~ButtonControl() = default;

void ButtonControl::ReadStyle(const command_c& _command, i32 _state)
{
    styles[_state].color = _command.GetVector("Color");
    styles[_state].deltaY = _command.GetFloat("DeltaY");
    styles[_state].deltaX = _command.GetFloat("DeltaX");
}

void ButtonControl::ProcessScript()
{
    while (const char* key = ReadScriptCommand()) {
        const command_c& command = GetScript();
        const string_c keyword(key);
        if (keyword == "BodyFile") {
            body = LoadMenuBodyScene(command.GetParameter(1u), renderer, true);
        } else if (looks.ReadKey(key, command, soundSystem)) {
        } else if (keyword == "Charset") {
            font = ReadMenuFont(command, renderer);
        } else if (keyword == "Enabled_Charset") {
            ReadStyle(command, control_normal);
        } else if (keyword == "MouseOver_Charset") {
            ReadStyle(command, control_over);
        } else if (keyword == "Disabled_Charset") {
            ReadStyle(command, control_disabled);
        } else if (keyword == "Action_Charset") {
            ReadStyle(command, control_captured);
        } else if (keyword == "FadeSize") {
            fadeSize = 1;
        } else if (keyword == "DeltaTextPos") {
            textMode = 1;
            textOffsetX = command.GetFloat("x");
            textOffsetY = command.GetFloat("y");
        } else if (keyword == "CheckBoxControl") {
            const f32 offsetX = command.GetFloat("x");
            const f32 offsetY = command.GetFloat("y");
            checkBox = std::make_unique<CheckBoxControl>(command.GetParameter(1u), command.GetParameter(2u), renderer,
                                                         soundSystem, stringTable);
            checkBoxOffsetX = offsetX;
            checkBoxOffsetY = offsetY;
        }
    }
}

void ButtonControl::SetSize(f32 _width, f32 _height)
{
    width = _width;
    height = _height;
}

void ButtonControl::Disable(bool _enabled)
{
    if (checkBox)
        checkBox->Disable(_enabled);
    state = _enabled ? control_normal : control_disabled;
    (_enabled ? looks.enabled : looks.disabled).Play(body.get(), currentTime);
}

bool ButtonControl::IsDisabled()
{
    return state != control_disabled;
}

void ButtonControl::Settle()
{
    if (IsInside(mouseX, mouseY)) {
        looks.over.Play(body.get(), 0.0f);
        state = control_over;
    } else {
        looks.enabled.Play(body.get(), 0.0f);
        state = control_normal;
    }
}

void ButtonControl::GetState(menu_ret_c& _ret)
{
    if (clickDone) {
        _ret.intValue = 2;
        clickDone = 0;
        Settle();
        return;
    }
    _ret.intValue = state == control_captured ? 1 : 0;
}

void ButtonControl::SetState(menu_ret_c*) {}

void ButtonControl::OnMouseMove(f32 _x, f32 _y, i32, i32)
{
    const bool hidden = rect.IsZero();
    mouseX = hidden ? -4.0f : _x;
    mouseY = hidden ? -4.0f : _y;
}

bool ButtonControl::IsInside(f32, f32)
{
    return rect.IsInside(mouseX, mouseY);
}

void ButtonControl::OnLeftClick()
{
    if (state != control_over)
        return;
    PlayMenuSound(looks.actionSound.get());
    stateTime = currentTime;
    state = control_captured;
    looks.action.Play(body.get(), currentTime);
}

void ButtonControl::SetSoundVolume(f32 _volume)
{
    looks.SetVolume(_volume);
}

void ButtonControl::Process(f32 _time)
{
    if (body) {
        if (fadeSize) {
            PlaceShrunkMenuScene(*body, rect, transition, 0.75f);
        } else {
            body->dissolve = transition;
            PlaceMenuScene(*body, rect);
        }
    }
    if (state != control_disabled) {
        const bool inside = IsInside(mouseX, mouseY);
        if (inside && state == control_normal) {
            PlayMenuSound(looks.overSound.get());
            looks.over.Play(body.get(), _time);
            state = control_over;
            hoverTime = _time;
        } else if (!inside && state == control_over) {
            looks.enabled.Play(body.get(), _time);
            state = control_normal;
        }
    }
    if (state == control_captured)
        clickDone = _time >= stateTime + (looks.action.lastTime - looks.action.firstTime) ? 1 : 0;
    currentTime = _time;
    if (body)
        AnimateMenuScene(*body, _time);
    if (checkBox) {
        checkBox->SetPosition(rect.left + checkBoxOffsetX, rect.top + checkBoxOffsetY);
        checkBox->SetTransition(transition);
        checkBox->Process(_time);
    }
}

void ButtonControl::Render()
{
    if (rect.IsZero())
        return;
    if (body)
        body->Render();
    if (checkBox)
        checkBox->Render();
    if (!font)
        return;
    const caption_style_s& style = styles[state >= 0 && state < 4 ? state : control_normal];
    f32 x = rect.left + textOffsetX;
    f32 y = rect.top + textOffsetY;
    if (textMode == 0) {
        x = rect.left + (rect.GetWidth() - font->GetTextWidth(text)) * 0.5f;
        y = rect.top + (rect.GetHeight() - font->GetLineHeight()) * 0.5f;
    }
    font->DrawText(x + style.deltaX, y + style.deltaY, text, style.color, transition, 0);
}

OptionsControl::~OptionsControl() = default;

void OptionsControl::AddElement(std::unique_ptr<ButtonControl> _element)
{
    elements.push_back(std::move(_element));
}

void OptionsControl::Process(f32 _time)
{
    text = caption + " > ";
    if (chosen)
        text += chosen->GetText();
    ButtonControl::Process(_time);
}
