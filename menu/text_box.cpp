#include "menu/text_box.h"

#include "audio/sound_system.h"
#include "engine/font_handle.h"
#include "engine/scene.h"
#include "foundation/script_loader.h"
#include "menu/menu_control_keys.h"
#include "platform/win32/window_types.h"

#include <algorithm>
#include <cmath>

TextBoxControl::TextBoxControl(const char* _name, const char* _script_file, renderer_c* _renderer,
                               sound_system_c* _sound_system, menu_string_table_c* _string_table)
    : any_menu_control_c(_name, _script_file, _renderer, _sound_system, _string_table)
{
    ProcessScript();
}

TextBoxControl::~TextBoxControl() = default;

void TextBoxControl::ProcessScript()
{
    while (const char* key = ReadScriptCommand()) {
        const command_c& command = GetScript();
        const string_c keyword(key);
        if (keyword == "BodyFile") {
            bodyScene = LoadMenuBodyScene(command.GetParameter(1u), renderer);
        } else if (looks.ReadKey(key, command, soundSystem)) {
        } else if (keyword == "Charset") {
            font = ReadMenuFont(command, renderer);
        } else if (keyword == "CharsetColor") {
            color = ReadMenuColor(command);
        } else if (keyword == "LeftMargin") {
            leftMargin = command.GetFloat(1u);
        } else if (keyword == "InputMode") {
            allowNumbers = command.GetInt("AllowNumbers", nullptr, 0) != 0;
            allowLetters = command.GetInt("AllowLetters", nullptr, 0) != 0;
            allowOther = command.GetInt("AllowOther", nullptr, 0) != 0;
            allowSpace = command.GetInt("AllowSpace", nullptr, 0) != 0;
        } else if (keyword == "InputLenght") {
            const i32 length = command.GetInt(1u);
            maxLength = length > 0 ? static_cast<u32>(length) : 0;
        } else if (keyword == "scrool_text") {
            scrollText = 1;
        } else if (keyword == "Cursor") {
            cursorChar = command.FindParameter("char");
            const char* colorText = command.FindParameter("color");
            cursorColor = colorText ? command_c::ParseVector(colorText) : vec3_c(0.0f, 0.0f, 0.0f);
        } else if (keyword == "ClickDontClear") {
            clickKeepsText = 1;
        } else if (keyword == "MinVal") {
            minValue = command.GetInt(1u);
        } else if (keyword == "MaxVal") {
            maxValue = command.GetInt(1u);
        }
    }
}

void TextBoxControl::PlayClip(menu_anim_clip_c& _clip)
{
    _clip.Play(bodyScene.get(), 0.0f);
}

void TextBoxControl::SetCaption(const char* _text)
{
    text = _text;
    cursor = text.GetLength();
}

void TextBoxControl::Clear()
{
    PlayMenuSound(looks.actionSound.get());
    text.Clear();
    PlayClip(looks.action);
    state = control_captured;
    cursor = 0;
}

void TextBoxControl::GetState(menu_ret_c& _ret)
{
    _ret.Clear();
    _ret.stringValue = text;
    _ret.intValue = lastKey;
    lastKey = 0;
}

void TextBoxControl::SetState(menu_ret_c* _ret)
{
    text = _ret->stringValue;
    cursor = std::min(cursor, text.GetLength());
    lastKey = 0;
}

void TextBoxControl::Disable(bool _enabled)
{
    if (_enabled) {
        state = control_normal;
        PlayClip(looks.enabled);
        cursor = text.GetLength();
    } else {
        state = control_disabled;
        PlayClip(looks.disabled);
    }
}

bool TextBoxControl::IsDisabled()
{
    return state != control_disabled;
}

bool TextBoxControl::IsInside(f32 _x, f32 _y)
{
    return rect.IsInside(_x, _y);
}

void TextBoxControl::OnMouseMove(f32 _x, f32 _y, i32, i32)
{
    pointerX = _x;
    pointerY = _y;
}

void TextBoxControl::SetSoundVolume(f32 _volume)
{
    looks.SetVolume(_volume);
}

void TextBoxControl::Process(f32 _time)
{
    cursorBlink = 0.5f * std::sin(15.0f * _time) + 0.5f;
    if (bodyScene) {
        PlaceMenuScene(*bodyScene, rect);
        bodyScene->dissolve = transition;
    }
    if (state != control_disabled && AllowsAnyClass()) {
        const bool inside = rect.IsInside(pointerX, pointerY);
        if (!inside && state == control_over) {
            state = control_normal;
            PlayClip(looks.enabled);
        } else if (inside && state == control_normal) {
            state = control_over;
            PlayMenuSound(looks.overSound.get());
            PlayClip(looks.over);
            hoverTime = currentTime;
        }
    }
    if (bodyScene)
        AnimateMenuScene(*bodyScene, _time);
}

void TextBoxControl::OnLeftClick()
{
    if (state != control_over) {
        ApplyNumericClamp();
        return;
    }
    PlayMenuSound(looks.actionSound.get());
    if (!clickKeepsText)
        text.Clear();
    PlayClip(looks.action);
    state = control_captured;
    cursor = text.GetLength();
}

void TextBoxControl::OnLeftButtonDown()
{
    if (state == control_captured && !rect.IsInside(pointerX, pointerY)) {
        PlayClip(looks.enabled);
        state = control_normal;
    }
}

void TextBoxControl::ApplyNumericClamp()
{
    if (minValue == 0 && maxValue == 0)
        return;
    i32 value = std::max(text.ToInt(), minValue);
    if (maxValue >= minValue)
        value = std::min(value, maxValue);
    text = value;
    cursor = std::min(cursor, text.GetLength());
}

void TextBoxControl::OnKeyDown(u32 _virtual_key)
{
    lastKey = static_cast<i32>(_virtual_key);
    if (state != control_captured)
        return;
    switch (_virtual_key) {
    case VK_LEFT:
        if (!scrollText && cursor > 0) {
            PlayMenuSound(looks.actionSound.get());
            --cursor;
        }
        break;
    case VK_RIGHT:
        if (!scrollText && cursor < text.GetLength()) {
            PlayMenuSound(looks.actionSound.get());
            ++cursor;
        }
        break;
    case VK_DELETE:
        PlayMenuSound(looks.actionSound.get());
        if (cursor < text.GetLength())
            text.Erase(static_cast<int>(cursor), 1);
        break;
    case VK_RETURN:
        PlayMenuSound(looks.actionSound.get());
        if (rect.IsInside(pointerX, pointerY)) {
            PlayClip(looks.over);
            state = control_over;
        } else {
            PlayClip(looks.enabled);
            state = control_normal;
        }
        ApplyNumericClamp();
        break;
    case VK_BACK:
        if (cursor > 0) {
            text.Erase(static_cast<int>(cursor) - 1, 1);
            PlayMenuSound(looks.actionSound.get());
            --cursor;
        }
        break;
    case VK_HOME:
        PlayMenuSound(looks.actionSound.get());
        cursor = 0;
        break;
    case VK_END:
        PlayMenuSound(looks.actionSound.get());
        cursor = text.GetLength();
        break;
    default: break;
    }
}

bool TextBoxControl::Accepts(u32 _character) const
{
    if (_character >= '0' && _character <= '9')
        return allowNumbers;
    if ((_character >= 'A' && _character <= 'Z') || (_character >= 'a' && _character <= 'z'))
        return allowLetters;
    if ((_character >= 0x21 && _character <= 0x2F) || (_character >= 0x3A && _character <= 0x40) ||
        (_character >= 0x5B && _character <= 0x60) || (_character >= 0x7B && _character <= 0x7D))
        return allowOther;
    if (_character == 0x20)
        return allowSpace;
    return false;
}

void TextBoxControl::OnChar(u32 _character)
{
    lastKey = static_cast<i32>(_character);
    if (state != control_captured || text.GetLength() >= maxLength || !Accepts(_character))
        return;
    text.Insert(static_cast<int>(cursor), static_cast<char>(_character));
    ++cursor;
    PlayMenuSound(looks.actionSound.get());
}

f32 TextBoxControl::TextWidth(const char* _text)
{
    return font ? font->GetTextWidth(_text) : 0.0f;
}

string_c TextBoxControl::GetShownText(u32* _dropped)
{
    string_c shown = text;
    u32 dropped = 0;
    if (scrollText) {
        while (!shown.IsEmpty() && rect.left + 2.0f * leftMargin + TextWidth(shown) >= rect.right) {
            shown.Erase(0, 1);
            ++dropped;
        }
    }
    if (_dropped)
        *_dropped = dropped;
    return shown;
}

void TextBoxControl::Render()
{
    if (bodyScene)
        bodyScene->Render();
    if (state == control_disabled && !allowNumbers && !allowLetters && !allowOther)
        return;
    if (!font)
        return;
    const f32 y = rect.top + (rect.bottom - rect.top) / 2.0f;
    u32 dropped = 0;
    const string_c shown = GetShownText(&dropped);
    font->DrawText(rect.left + leftMargin, y, shown, color, transition, 0);
    if (state != control_captured)
        return;
    // The cursor stands after the part of the shown text that precedes it.
    const u32 before = cursor > dropped ? cursor - dropped : 0;
    const f32 x = rect.left + leftMargin + TextWidth(shown.Left(before));
    font->DrawText(x, y, cursorChar, cursorColor, cursorBlink, 0);
}
