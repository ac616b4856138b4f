#include "menu/combo_box.h"

#include "audio/sound_system.h"
#include "engine/font_handle.h"
#include "engine/scene.h"
#include "foundation/script_loader.h"
#include "menu/menu_control_keys.h"
#include "menu/slider.h"

#include <algorithm>
#include <cmath>

ComboBoxControl::ComboBoxControl(const char* _name, const char* _script_file, renderer_c* _renderer,
                                 sound_system_c* _sound_system, menu_string_table_c* _string_table)
    : any_menu_control_c(_name, _script_file, _renderer, _sound_system, _string_table)
{
    ProcessScript();
    list.selected = 0;
    Disable(true);
}

ComboBoxControl::~ComboBoxControl() = default;

void ComboBoxControl::ProcessScript()
{
    while (const char* key = ReadScriptCommand()) {
        const command_c& command = GetScript();
        const string_c keyword(key);
        if (keyword == "MainBorderFile") {
            mainBorder = LoadMenuBodyScene(command.GetParameter(1u), renderer, true);
        } else if (keyword == "SelectBorderFile") {
            selectBorder = LoadMenuBodyScene(command.GetParameter(1u), renderer, true);
        } else if (keyword == "MarkFile") {
            mark = LoadMenuBodyScene(command.GetParameter(1u), renderer, true);
        } else if (keyword == "ButtonDownFile") {
            buttonDown = LoadMenuBodyScene(command.GetParameter(1u), renderer, true);
        } else if (keyword == "LeftMargin") {
            leftMargin = command.GetFloat(1u);
        } else if (keyword == "RightMargin") {
            rightMargin = command.GetFloat(1u);
        } else if (keyword == "Charset") {
            font = ReadMenuFont(command, renderer);
        } else if (keyword == "DefaultCharsetColor") {
            defaultColor = ReadMenuColor(command);
        } else if (keyword == "MaxItems") {
            maxItems = static_cast<u32>(std::max(command.GetInt(1u), 1));
        } else if (keyword == "ForceUp") {
            forceUp = 1;
        } else if (keyword == "SliderFile") {
            slider =
                std::make_unique<SliderControl>("Slider", command.GetParameter(1u), renderer, soundSystem, stringTable);
            sliderSpeed = slider->GetSpeed();
        } else if (keyword == "SelectedCharsetColor") {
            selectedColor = ReadMenuColor(command);
        } else if (keyword == "MainBorder_Disabled") {
            ReadMenuClip(command, disabledClip);
        } else if (keyword == "MainBorder_Enabled") {
            ReadMenuClip(command, enabledClip);
        } else if (keyword == "MainBorder_MouseOver") {
            ReadMenuClip(command, overClip);
            overSound = ReadMenuSound(command, soundSystem);
        } else if (keyword == "MainBorder_Action") {
            ReadMenuClip(command, actionClip);
            actionSound = ReadMenuSound(command, soundSystem);
        }
    }
}

f32 ComboBoxControl::LineHeight() const
{
    return font ? font->GetLineHeight() : 0.0f;
}

u32 ComboBoxControl::Shown() const
{
    return std::min(static_cast<u32>(list.items.size()), maxItems);
}

i32 ComboBoxControl::GetFirstShown() const
{
    return list.FirstShown(slider.get(), maxItems);
}

f32 ComboBoxControl::ListTransparency() const
{
    const f32 remaining = fadeTime - (currentTime - stateTime);
    if (!(remaining > 0.0f) || remaining > fadeTime)
        return transition;
    return transition + (1.0f - transition) * (remaining / fadeTime);
}

void ComboBoxControl::AddItem(const char* _item_name)
{
    list.items.emplace_back(_item_name);
}

void ComboBoxControl::RemoveItem(const char* _item_name)
{
    if (_item_name)
        return;
    list.items.clear();
    list.selected = -1;
}

void ComboBoxControl::GetState(menu_ret_c& _ret)
{
    list.Report(_ret);
}

void ComboBoxControl::SetState(menu_ret_c* _ret)
{
    list.selected = list.Bounded(_ret->intValue);
}

void ComboBoxControl::Process(f32 _time)
{
    currentTime = _time;
    const f32 line = LineHeight();
    if (buttonDown) {
        const f32 side = rect.GetHeight() * 0.5f;
        const f32 left = rect.right - side - side * 0.5f;
        const f32 top = rect.top + side * 0.5f;
        buttonDown->dissolve = transition;
        PlaceMenuScene(*buttonDown, {left, top, left + side, top + side});
        AnimateMenuScene(*buttonDown, _time);
    }
    if (HasScrollBar())
        slider->SetSpeed(sliderSpeed / static_cast<f32>(list.items.size() - maxItems));
    if (mainBorder) {
        mainBorder->dissolve = transition;
        PlaceMenuScene(*mainBorder, rect);
    }
    if (state != control_disabled) {
        const bool inside = IsInside(mouseX, mouseY);
        if (!inside && state == control_over) {
            enabledClip.Play(mainBorder.get(), _time);
            state = control_normal;
        } else if (inside && state == control_normal) {
            PlayMenuSound(overSound.get());
            overClip.Play(mainBorder.get(), _time);
            state = control_over;
            hoverTime = _time;
        }
    }
    if (state == control_captured) {
        f32 width = rect.GetWidth();
        if (font)
            for (const string_c& item : list.items)
                width = std::max(width, font->GetTextWidth(item) + leftMargin + rightMargin);
        const f32 height = line * static_cast<f32>(Shown());
        f32 x = rect.left;
        f32 y = rect.bottom;
        if (y + height > 1.0f || forceUp)
            y = rect.top - height;
        const f32 reach = x + width + (HasScrollBar() ? line : 0.0f);
        if (reach > 1.0f)
            x -= reach - 1.0f;
        listRect = {x, y, x + width, y + height};
        if (selectBorder) {
            selectBorder->dissolve = ListTransparency();
            PlaceMenuScene(*selectBorder, listRect);
        }
        if (slider) {
            *slider->GetRectangle() = {x + width, y, x + width + line, y + line * static_cast<f32>(maxItems)};
            slider->SetTransition(ListTransparency());
        }
    }
    if (slider)
        slider->Process(_time);
    if (selectBorder)
        AnimateMenuScene(*selectBorder, _time);
    if (mainBorder)
        AnimateMenuScene(*mainBorder, _time);
}

void ComboBoxControl::Render()
{
    if (mainBorder)
        mainBorder->Render();
    if (buttonDown)
        buttonDown->Render();
    if (list.items.empty() || list.Bounded(list.selected) < 0 || !font)
        return;
    const f32 line = LineHeight();
    const string_c shown = ShortenMenuText(*font, list.items[static_cast<size_t>(list.selected)],
                                           rect.GetWidth() - (leftMargin + rightMargin));
    font->DrawText(rect.left + leftMargin, rect.top + rect.GetHeight() * 0.5f - line * 0.5f, shown, defaultColor,
                   transition, 0);
    if (state != control_captured)
        return;
    if (selectBorder)
        selectBorder->Render();
    const i32 first = GetFirstShown();
    const u32 end = std::min(static_cast<u32>(first) + Shown(), static_cast<u32>(list.items.size()));
    for (u32 i = static_cast<u32>(first); i < end; ++i) {
        const f32 y = listRect.top + line * static_cast<f32>(i - static_cast<u32>(first));
        const bool under = listRect.left < mouseX && mouseX < listRect.right && y < mouseY && mouseY < y + line;
        if (under && mark) {
            PlaceMenuScene(*mark, {listRect.left, y, listRect.right, y + line});
            AnimateMenuScene(*mark, currentTime);
            mark->Render();
        }
        font->DrawText(listRect.left + leftMargin, y, list.items[i], under ? selectedColor : defaultColor,
                       ListTransparency(), 0);
    }
    if (HasScrollBar())
        slider->Render();
}

void ComboBoxControl::OnLeftClick()
{
    if (state == control_over) {
        PlayMenuSound(actionSound.get());
        stateTime = currentTime;
        state = control_captured;
        actionClip.Play(mainBorder.get(), currentTime);
        return;
    }
    if (state != control_captured)
        return;
    const f32 line = LineHeight();
    if (line > 0.0f && listRect.IsInside(mouseX, mouseY) && !list.items.empty()) {
        PlayMenuSound(actionSound.get());
        const i32 first = GetFirstShown();
        const i32 last = std::min(first + static_cast<i32>(Shown()), static_cast<i32>(list.items.size())) - 1;
        const i32 index = std::clamp(static_cast<i32>((mouseY - listRect.top) / line) + first, first, last);
        if (index != list.selected)
            list.changed = 1;
        list.selected = index;
        state = control_normal;
        return;
    }
    if (slider)
        slider->OnLeftClick();
}

void ComboBoxControl::OnLeftButtonDown()
{
    if (state != control_captured)
        return;
    menu_rect_c reach = listRect;
    if (list.items.size() >= maxItems)
        reach.right += LineHeight();
    if (!reach.IsInside(mouseX, mouseY) && !rect.IsInside(mouseX, mouseY))
        state = control_normal;
    if (slider)
        slider->OnLeftButtonDown();
}

void ComboBoxControl::OnLeftButtonUp()
{
    if (state != control_captured)
        return;
    if (rect.IsInside(mouseX, mouseY))
        state = control_normal;
    if (slider)
        slider->OnLeftButtonUp();
}

void ComboBoxControl::OnMouseMove(f32 _x, f32 _y, i32 _a, i32 _b)
{
    mouseX = _x;
    mouseY = _y;
    if (state == control_captured && slider)
        slider->OnMouseMove(_x, _y, _a, _b);
}

bool ComboBoxControl::IsInside(f32, f32)
{
    return rect.IsInside(mouseX, mouseY);
}

void ComboBoxControl::SetSoundVolume(f32 _volume)
{
    SetMenuSoundVolume(actionSound.get(), _volume);
    SetMenuSoundVolume(overSound.get(), _volume);
}

void ComboBoxControl::Disable(bool _enabled)
{
    state = _enabled ? control_normal : control_disabled;
    (_enabled ? enabledClip : disabledClip).Play(mainBorder.get(), 0.0f);
}

bool ComboBoxControl::IsDisabled()
{
    return state != control_disabled;
}
