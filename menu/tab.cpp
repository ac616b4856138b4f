#include "menu/tab.h"

#include "engine/font_handle.h"
#include "foundation/script_loader.h"
#include "menu/button.h"
#include "menu/check_box.h"
#include "menu/menu_control_keys.h"
#include "menu/menu_message.h"
#include "menu/menu_string_table.h"

namespace {
const menu_rect_c hidden;

// Children the tab never lets the pointer reach.
bool IsShut(const string_c& _name, const char* _first, const char* _second)
{
    return _name == _first || _name == _second;
}
}

TabControl::TabControl(const char* _name, const char* _script_file, renderer_c* _renderer,
                       sound_system_c* _sound_system, menu_string_table_c* _string_table)
    : any_menu_control_c(_name, _script_file, _renderer, _sound_system, _string_table)
{
    ProcessScript();
    Disable(true);
}

TabControl::~TabControl() = default;

template <typename T>
std::unique_ptr<T> TabControl::MakeChild(const command_c& _command, bool _corner_form, bool _tool_tip)
{
    auto child =
        std::make_unique<T>(_command.GetParameter(1u), _command.GetParameter(2u), renderer, soundSystem, stringTable);
    menu_rect_c rect;
    if (ReadMenuRectangle(_command, rect, _corner_form))
        child->SetSize(_command.GetFloat("w"), _command.GetFloat("h"));
    child->SetRect(rect);
    if (_tool_tip && _command.FindParameter("tooltiptext") && stringTable)
        child->SetToolTipText(stringTable->Find(_command.GetInt("tooltiptext")));
    if (_tool_tip && _command.FindParameter("text") && stringTable)
        if (const char* caption = stringTable->Find(_command.GetInt("text")))
            child->SetCaption(caption);
    return child;
}

void TabControl::ProcessScript()
{
    while (const char* key = ReadScriptCommand()) {
        const command_c& command = GetScript();
        const string_c keyword(key);
        if (look.ReadKey(key, command, renderer, soundSystem)) {
            continue;
        } else if (keyword == "HideButtonControl") {
            hideButton = MakeChild<ButtonControl>(command, false, false);
        } else if (keyword == "ButtonControl") {
            buttons.push_back(MakeChild<ButtonControl>(command, true, true));
        } else if (keyword == "OptionsBoard") {
            board = MakeChild<ButtonControl>(command, true, false);
            board->SetSize(board->GetRect().GetWidth(), board->GetRect().GetHeight());
            board->Disable(false);
        } else if (keyword == "OptionsControl") {
            options.push_back(MakeChild<OptionsControl>(command, true, true));
        } else if (keyword == "AddOptionsElement") {
            OptionsControl* owner = FindOptions(command.GetParameter(1u));
            if (!owner) {
                MenuMessage("Options not found!");
                continue;
            }
            auto element = std::make_unique<ButtonControl>(command.GetParameter(2u), command.GetParameter(3u), renderer,
                                                           soundSystem, stringTable);
            if (command.FindParameter("text") && stringTable)
                if (const char* caption = stringTable->Find(command.GetInt("text")))
                    element->SetCaption(caption);
            owner->AddElement(std::move(element));
        }
    }
}

OptionsControl* TabControl::FindOptions(const char* _name) const
{
    for (const auto& option : options)
        if (option->GetName() == _name)
            return option.get();
    return nullptr;
}

void TabControl::SetHome(f32 _x, f32 _y, f32 _width, f32 _height)
{
    home = {_x, _y, _x + _width, _y + _height};
}

void TabControl::LayOut()
{
    positionX = home.left;
    positionY = home.top;
    area = home;
    if (!open) {
        for (const auto& button : buttons)
            button->SetRect(hidden);
        for (const auto& option : options)
            option->SetRect(hidden);
        if (board)
            board->SetRect(hidden);
        if (hideButton)
            hideButton->SetRect(hidden);
        return;
    }
    f32 total = 0.0f;
    for (const auto& button : buttons)
        if (button->IsDisabled())
            total += button->GetHeight();
    for (const auto& option : options)
        if (option->IsDisabled())
            total += option->GetHeight();
    positionY = home.top - (total + gap);
    area = {home.left, positionY, home.right, home.bottom};
    f32 y = positionY + home.GetHeight();
    const auto place = [&](ButtonControl& _child) {
        if (!_child.IsDisabled()) {
            _child.SetRect(hidden);
            return;
        }
        _child.SetRect({home.left, y, home.left + _child.GetWidth(), y + _child.GetHeight()});
        y += _child.GetHeight();
    };
    for (const auto& button : buttons)
        place(*button);
    y += gap;
    for (const auto& option : options) {
        place(*option);
        for (const auto& element : option->GetElements())
            element->SetRect(hidden);
    }
    positionY -= gap;
    LayOutBoard(total);
}

void TabControl::LayOutBoard(f32 _total)
{
    u32 count = 0;
    if (openOptions)
        for (const auto& element : openOptions->GetElements())
            count += element->IsDisabled() ? 1 : 0;
    if (!openOptions || !board || count == 0) {
        if (board)
            board->SetRect(hidden);
        if (hideButton)
            hideButton->SetRect(hidden);
        return;
    }
    const f32 width = board->GetWidth();
    const f32 rows = static_cast<f32>((count + 1) / 2) * width * 0.5f;
    menu_rect_c rect;
    rect.left = home.left;
    rect.top = home.top - (rows + _total + 2.0f * gap);
    rect.right = rect.left + width;
    rect.bottom = rect.top + rows;
    u32 k = 0;
    for (const auto& element : openOptions->GetElements()) {
        if (!element->IsDisabled())
            continue;
        const f32 left = rect.left + 0.01f + (k % 2 ? width * 0.5f : 0.0f);
        const f32 top = rect.top + static_cast<f32>(k / 2) * width * 0.5f;
        element->SetRect({left, top, left + width * 0.45454545454545453f, top + width * 0.34176349965823644f});
        ++k;
    }
    rect.top -= 0.01f;
    board->SetRect(rect);
    area.top -= rect.GetHeight();
    if (hideButton) {
        const f32 top = rect.top + 0.008f;
        hideButton->SetRect(
            {rect.right - hideButton->GetWidth() - 0.01f, top, rect.right, top + hideButton->GetHeight()});
    }
}

void TabControl::ProcessOptions(f32 _time)
{
    menu_ret_c ret;
    for (const auto& option : options) {
        option->Process(_time);
        for (const auto& element : option->GetElements()) {
            ret.Clear();
            element->GetState(ret);
            if (ret.intValue == 2) {
                for (const auto& other : option->GetElements()) {
                    if (CheckBoxControl* mark = other->GetCheckBox()) {
                        menu_ret_c value;
                        value.boolValue = other == element ? 1 : 0;
                        mark->SetState(&value);
                    }
                }
                option->SetChosen(element.get());
                openOptions = nullptr;
            }
            element->Process(_time);
        }
        ret.Clear();
        option->GetState(ret);
        if (ret.intValue == 2)
            openOptions = option.get();
    }
}

void TabControl::Process(f32 _time)
{
    LayOut();
    for (const auto& button : buttons)
        button->Process(_time);
    ProcessOptions(_time);
    if (hideButton) {
        menu_ret_c ret;
        hideButton->GetState(ret);
        if (ret.intValue == 2)
            openOptions = nullptr;
    }
    if (board)
        board->Process(_time);
    const menu_rect_c header{positionX, positionY, positionX + home.GetWidth(), positionY + home.GetHeight()};
    look.Place(header, transition);
    if (state != control_disabled)
        look.Hover(state, header.IsInside(mouseX, mouseY), _time, hoverTime);
    look.Animate(_time);
    if (hideButton)
        hideButton->Process(_time);
    currentTime = _time;
}

void TabControl::OnMouseMove(f32 _x, f32 _y, i32 _a, i32 _b)
{
    for (const auto& button : buttons) {
        if (IsShut(button->GetName(), "Kamikaze", "Destruct"))
            button->OnMouseMove(-1.0f, -1.0f, 0, 0);
        else
            button->OnMouseMove(_x, _y, _a, _b);
    }
    for (const auto& option : options) {
        if (IsShut(option->GetName(), "BEHEVIOUR", "Sensors")) {
            option->OnMouseMove(-1.0f, -1.0f, 0, 0);
            continue;
        }
        option->OnMouseMove(_x, _y, _a, _b);
        for (const auto& element : option->GetElements())
            element->OnMouseMove(_x, _y, _a, _b);
    }
    if (hideButton)
        hideButton->OnMouseMove(_x, _y, _a, _b);
    mouseX = _x;
    mouseY = _y;
}

void TabControl::OnLeftClick()
{
    for (const auto& button : buttons)
        button->OnLeftClick();
    for (const auto& option : options) {
        option->OnLeftClick();
        for (const auto& element : option->GetElements())
            element->OnLeftClick();
    }
    if (state == control_over)
        open = look.Toggle(open != 0, currentTime) ? 1 : 0;
    if (hideButton)
        hideButton->OnLeftClick();
}

void TabControl::Render()
{
    if (open) {
        if (openOptions) {
            if (board)
                board->Render();
            if (hideButton)
                hideButton->Render();
            for (const auto& element : openOptions->GetElements())
                element->Render();
        }
        for (const auto& button : buttons)
            if (button->IsDisabled())
                button->Render();
        for (const auto& option : options)
            if (option->IsDisabled())
                option->Render();
    }
    look.Render(false);
    if (look.font) {
        const f32 transparency = state == control_disabled ? transition * 0.5f : transition;
        look.font->DrawText(positionX + 0.01f, positionY, text, look.color, transparency, 0);
    }
}

void TabControl::SetSoundVolume(f32 _volume)
{
    look.SetVolume(_volume);
}

void TabControl::Disable(bool _enabled)
{
    state = _enabled ? control_normal : control_disabled;
    look.Show(_enabled, open != 0, currentTime);
}

bool TabControl::IsDisabled()
{
    return state != control_disabled;
}

void TabControl::GetState(menu_ret_c& _ret)
{
    _ret.Clear();
    _ret.boolValue = open;
}

void TabControl::SetState(menu_ret_c* _ret)
{
    open = _ret->boolValue ? 1 : 0;
    look.ShowCheck(open != 0, state != control_disabled, currentTime);
}

bool TabControl::IsInside(f32, f32)
{
    return area.IsInside(mouseX, mouseY);
}
