#include "menu/list_box.h"

#include "audio/sound_system.h"
#include "engine/font_handle.h"
#include "engine/scene.h"
#include "foundation/script_loader.h"
#include "menu/menu_control_keys.h"
#include "menu/menu_message.h"
#include "menu/slider.h"

#include <algorithm>
#include <cmath>

ListBoxControl::ListBoxControl(const char* _name, const char* _script_file, renderer_c* _renderer,
                               sound_system_c* _sound_system, menu_string_table_c* _string_table)
    : any_menu_control_c(_name, _script_file, _renderer, _sound_system, _string_table)
{
    ProcessScript();
    list.selected = -1;
    Disable(true);
    if (slider)
        slider->SetValue(1.0f);
}

ListBoxControl::~ListBoxControl() = default;

void ListBoxControl::ProcessScript()
{
    while (const char* key = ReadScriptCommand()) {
        const command_c& command = GetScript();
        const string_c keyword(key);
        if (keyword == "BorderFile") {
            border = LoadMenuBodyScene(command.GetParameter(1u), renderer, true);
        } else if (keyword == "MarkFile") {
            mark = LoadMenuBodyScene(command.GetParameter(1u), renderer, true);
        } else if (keyword == "Charset") {
            font = ReadMenuFont(command, renderer);
        } else if (keyword == "DefaultCharsetColor") {
            defaultColor = ReadMenuColor(command);
        } else if (keyword == "SelectedCharsetColor") {
            selectedColor = ReadMenuColor(command);
        } else if (keyword == "SliderFile") {
            slider =
                std::make_unique<SliderControl>("Slider", command.GetParameter(1u), renderer, soundSystem, stringTable);
            sliderSpeed = slider->GetSpeed();
        } else if (keyword == "LeftMargin") {
            leftMargin = command.GetFloat(1u);
        } else if (keyword == "RightMargin") {
            rightMargin = command.GetFloat(1u);
        } else if (keyword == "UpMargin") {
            upMargin = command.GetFloat(1u);
        } else if (keyword == "DownMargin") {
            downMargin = command.GetFloat(1u);
        } else if (keyword == "Disabled") {
            ReadMenuClip(command, disabledClip);
        } else if (keyword == "Enabled") {
            ReadMenuClip(command, enabledClip);
            clickSound = ReadMenuSound(command, soundSystem);
        } else if (keyword == "ColumnsNo") {
            columnSpace.assign(static_cast<size_t>(std::clamp(command.GetInt(1u), 1, 64)), 0.0f);
        } else if (keyword == "SetColumnSpace") {
            const i32 column = command.GetInt(1u);
            if (column < 0 || column >= GetColumnCount())
                MenuMessage("SetColumnSpace - column index out of range!");
            else
                columnSpace[static_cast<size_t>(column)] = command.GetFloat(2u);
        }
    }
}

f32 ListBoxControl::LineHeight() const
{
    return font ? font->GetLineHeight() : 0.0f;
}

void ListBoxControl::AddItem(const char* _item_name)
{
    list.items.emplace_back(_item_name);
}

void ListBoxControl::RemoveItem(const char* _item_name)
{
    if (!_item_name)
        list.items.clear();
    else if (list.Bounded(list.selected) >= 0)
        list.items.erase(list.items.begin() + list.selected);
    list.selected = -1;
}

void ListBoxControl::GetState(menu_ret_c& _ret)
{
    list.Report(_ret);
}

void ListBoxControl::SetState(menu_ret_c* _ret)
{
    if (_ret->stringValue.IsEmpty()) {
        list.selected = list.Bounded(_ret->intValue);
        return;
    }
    for (size_t i = 0; i < list.items.size(); ++i) {
        if (list.items[i] == _ret->stringValue) {
            list.selected = static_cast<i32>(i);
            return;
        }
    }
}

i32 ListBoxControl::GetFirstShown() const
{
    return list.FirstShown(slider.get(), visible);
}

void ListBoxControl::Process(f32 _time)
{
    const f32 line = LineHeight();
    if (slider)
        slider->SetSpeed(list.items.size() > visible ? sliderSpeed / static_cast<f32>(list.items.size() - visible)
                                                     : sliderSpeed);
    if (state != control_disabled) {
        const bool inside = IsInside(mouseX, mouseY);
        if (inside && state == control_normal) {
            state = control_over;
            hoverTime = _time;
        } else if (!inside && state == control_over) {
            state = control_normal;
        }
    }
    const f32 rows = line > 0.0f ? std::floor((rect.GetHeight() - upMargin - downMargin) / line) : 0.0f;
    visible = rows > 0.0f ? static_cast<u32>(std::min(rows, 1.0e6f)) : 0;
    area = {rect.left, rect.top, rect.right - line, rect.bottom};
    if (slider) {
        slider->SetTransition(transition);
        if (visible < list.items.size()) {
            if (!slider->IsDisabled() && state != control_disabled)
                slider->Disable(true);
        } else if (slider->IsDisabled()) {
            slider->Disable(false);
        }
        *slider->GetRectangle() = {rect.right - line, rect.top, rect.right, rect.bottom};
    }
    if (border) {
        border->dissolve = transition;
        PlaceMenuScene(*border, area);
        AnimateMenuScene(*border, _time);
    }
    const i32 shownIndex = list.selected - GetFirstShown();
    if (mark && list.selected >= 0 && shownIndex >= 0 && static_cast<u32>(shownIndex) < visible) {
        mark->dissolve = transition;
        const f32 top = rect.top + upMargin + line * static_cast<f32>(shownIndex);
        PlaceMenuScene(*mark, {area.left + leftMargin, top, area.right - rightMargin, top + line});
        AnimateMenuScene(*mark, _time);
    }
    if (slider)
        slider->Process(_time);
}

void ListBoxControl::DrawCell(const char* _text, f32 _left, f32 _right, f32 _y, const vec3_c& _color)
{
    if (!(_right > _left))
        return;
    font->DrawText(_left, _y, ShortenMenuText(*font, _text, _right - _left), _color, transition, 0);
}

void ListBoxControl::Render()
{
    if (border)
        border->Render();
    const i32 first = GetFirstShown();
    if (font && !list.items.empty()) {
        const f32 line = LineHeight();
        const u32 end = std::min(static_cast<u32>(first) + visible, static_cast<u32>(list.items.size()));
        for (u32 i = static_cast<u32>(first); i < end; ++i) {
            const f32 y = area.top + upMargin + line * static_cast<f32>(i - static_cast<u32>(first));
            const vec3_c& color = static_cast<i32>(i) == list.selected ? selectedColor : defaultColor;
            if (columnSpace.size() == 1) {
                DrawCell(list.items[i], rect.left + leftMargin, rect.right - rightMargin, y, color);
                continue;
            }
            const string_c& text = list.items[i];
            i32 start = 0;
            for (size_t k = 0; k < columnSpace.size(); ++k) {
                const i32 bar = start <= static_cast<i32>(text.GetLength()) ? text.Find('|', start) : -1;
                const i32 stop = bar < 0 ? static_cast<i32>(text.GetLength()) : bar;
                const string_c cell = start < stop ? text.Mid(start, static_cast<u32>(stop - start)) : string_c();
                const f32 left = rect.left + columnSpace[k];
                const f32 right = k + 1 == columnSpace.size() ? rect.right - rightMargin : left + columnSpace[k + 1];
                DrawCell(cell, left, right, y, color);
                start = bar < 0 ? static_cast<i32>(text.GetLength()) + 1 : bar + 1;
            }
        }
    }
    if (slider)
        slider->Render();
    const i32 shownIndex = list.selected - first;
    if (mark && list.selected >= 0 && shownIndex >= 0 && static_cast<u32>(shownIndex) < visible)
        mark->Render();
}

void ListBoxControl::OnLeftClick()
{
    const f32 line = LineHeight();
    const f32 rowsTop = area.top + upMargin;
    if (state == control_over && line > 0.0f && rowsTop < mouseY &&
        mouseY < rowsTop + line * static_cast<f32>(visible) && area.left < mouseX && mouseX < area.right) {
        i32 index = static_cast<i32>((mouseY - rowsTop) / line + static_cast<f32>(GetFirstShown()));
        if (index < 0 || static_cast<size_t>(index) >= list.items.size())
            index = -1;
        if (index != list.selected) {
            list.changed = 1;
            PlayMenuSound(clickSound.get());
        }
        list.selected = index;
    }
    if (slider)
        slider->OnLeftClick();
}

void ListBoxControl::OnMouseMove(f32 _x, f32 _y, i32 _a, i32 _b)
{
    mouseX = _x;
    mouseY = _y;
    if (slider)
        slider->OnMouseMove(_x, _y, _a, _b);
}

void ListBoxControl::OnLeftButtonDown()
{
    if (slider)
        slider->OnLeftButtonDown();
}

void ListBoxControl::OnLeftButtonUp()
{
    if (slider)
        slider->OnLeftButtonUp();
}

bool ListBoxControl::IsInside(f32, f32)
{
    return rect.IsInside(mouseX, mouseY);
}

void ListBoxControl::SetSoundVolume(f32 _volume)
{
    SetMenuSoundVolume(clickSound.get(), _volume);
}

void ListBoxControl::Disable(bool _enabled)
{
    state = _enabled ? control_normal : control_disabled;
    (_enabled ? enabledClip : disabledClip).Play(border.get(), 0.0f);
    if (slider)
        slider->Disable(_enabled);
}

bool ListBoxControl::IsDisabled()
{
    return state != control_disabled;
}
