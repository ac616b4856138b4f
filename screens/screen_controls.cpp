#include "screens/screen_controls.h"

#include <algorithm>

#include "menu/any_menu.h"
#include "menu/any_menu_control.h"
#include "menu/text_box.h"
#include "menu/text_window.h"
#include "platform/win32/window_types.h"

menu_ret_c ReadControl(any_menu_c* _menu, const char* _name)
{
    menu_ret_c ret;
    if (_menu)
        _menu->ControlGetState(_name, ret);
    return ret;
}

bool IsClicked(any_menu_c* _menu, const char* _name)
{
    return ReadControl(_menu, _name).intValue == kButtonClicked;
}

string_c UpdateNumberBox(any_menu_c* _menu, const char* _box, const char* _up, const char* _down, i32 _min, i32 _max)
{
    const menu_ret_c box = ReadControl(_menu, _box);
    i32 step = 0;
    if (IsClicked(_menu, _up))
        ++step;
    if (IsClicked(_menu, _down))
        --step;
    if (box.intValue != kKeyEnter && step == 0)
        return box.stringValue;
    string_c text;
    text += std::clamp(box.stringValue.ToInt() + step, _min, _max);
    _menu->ControlSetState(_box, text.GetData());
    return text;
}

bool IsEditing(any_menu_c* _menu, const char* _name)
{
    any_menu_control_c* control = _menu ? _menu->FindControl(_name) : nullptr;
    return control && control->GetControlState() == control_captured;
}

void SetUsable(any_menu_c* _menu, const char* _name, bool _usable)
{
    if (!_menu)
        return;
    if (_menu->ControlIsDisabled(_name) != _usable)
        _menu->ControlDisable(_name, _usable);
}

void Deselect(any_menu_c* _menu, const char* _name)
{
    if (_menu)
        _menu->ControlSetState(_name, -1);
}

void ResetControl(any_menu_c* _menu, const char* _name)
{
    if (!_menu)
        return;
    menu_ret_c cleared;
    _menu->ControlSetState(_name, &cleared);
}

TextWindowControl* FindTextWindow(any_menu_c* _menu, const char* _name)
{
    return _menu ? dynamic_cast<TextWindowControl*>(_menu->FindControl(_name)) : nullptr;
}

void LoadTextInto(any_menu_c* _menu, const char* _name, const char* _file_name)
{
    if (TextWindowControl* window = FindTextWindow(_menu, _name))
        window->LoadTextFile(_file_name);
}

void ClearText(any_menu_c* _menu, const char* _name)
{
    if (TextWindowControl* window = FindTextWindow(_menu, _name))
        window->SetText(nullptr, false);
}

void SetLabel(any_menu_c* _menu, const char* _name, const char* _text)
{
    if (!_menu)
        return;
    any_menu_control_c* control = _menu->FindControl(_name);
    if (!control)
        return;
    if (auto* window = dynamic_cast<TextWindowControl*>(control))
        window->SetText(_text, false);
    else
        control->SetCaption(_text);
}

void StartEditing(any_menu_c* _menu, const char* _name, const string_c& _text)
{
    auto* box = _menu ? dynamic_cast<TextBoxControl*>(_menu->FindControl(_name)) : nullptr;
    if (!box)
        return;
    menu_ret_c text;
    text.stringValue = _text;
    box->Clear();
    box->SetState(&text);
    box->OnKeyDown(VK_END);
}

bool ReadSwitch(any_menu_c* _menu, const char* _name)
{
    const menu_ret_c ret = ReadControl(_menu, _name);
    return ret.boolValue != 0 || ret.intValue != 0;
}

void SetSwitch(any_menu_c* _menu, const char* _name, bool _on)
{
    if (!_menu)
        return;
    menu_ret_c ret;
    ret.boolValue = _on ? 1 : 0;
    ret.intValue = _on ? 1 : 0;
    _menu->ControlSetState(_name, &ret);
}

any_menu_c* FindChainMenu(any_menu_c* _menu, const char* _chain, const char* _child)
{
    if (!_menu)
        return nullptr;
    const dialog_chain_c* chain = _menu->FindDialogChain(_chain);
    return chain ? chain->FindMenu(_child) : nullptr;
}
