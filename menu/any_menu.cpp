#include "menu/any_menu.h"

#include "engine/renderer.h"
#include "foundation/command.h"
#include "foundation/script_loader.h"
#include "menu/any_menu_control.h"
#include "menu/board.h"
#include "menu/button.h"
#include "menu/check_box.h"
#include "menu/combo_box.h"
#include "menu/drag.h"
#include "menu/gfx_button.h"
#include "menu/list_box.h"
#include "menu/menu_message.h"
#include "menu/menu_control_keys.h"
#include "menu/menu_rect.h"
#include "menu/slider.h"
#include "menu/tab.h"
#include "menu/text_box.h"
#include "menu/text_window.h"
#include "menu/tool_tip.h"

#include <algorithm>

namespace {
// Keys of the menu script a control keyword reads.
enum control_key_e : u32 {
    key_rectangle = 0x1,
    key_text = 0x2,
    key_tooltip = 0x4,
    key_text_file = 0x8,
    key_position = 0x10,      // "x" "y", required
    key_position_size = 0x20, // "x" "y" "w" "h", required
    key_no_script = 0x40,     // the keyword names no control script
};

using control_factory_f = std::unique_ptr<any_menu_control_c> (*)(const char*, const char*, renderer_c*,
                                                                  sound_system_c*, menu_string_table_c*);

template <typename T>
std::unique_ptr<any_menu_control_c> MakeControl(const char* _name, const char* _script, renderer_c* _renderer,
                                                sound_system_c* _sound_system, menu_string_table_c* _table)
{
    return std::make_unique<T>(_name, _script, _renderer, _sound_system, _table);
}

struct control_keyword_s {
    const char* keyword;
    u32 keys;
    control_factory_f factory;
};

const control_keyword_s controlKeywords[] = {
    {"TextWindowControl", key_rectangle | key_text_file, MakeControl<TextWindowControl>},
    {"GfxButtonControl", key_tooltip, MakeControl<GfxButtonControl>},
    {"CheckBoxControl", key_position | key_text | key_tooltip, MakeControl<CheckBoxControl>},
    {"SliderControl", key_rectangle | key_tooltip, MakeControl<SliderControl>},
    {"SliderHorizontalControl", key_rectangle | key_tooltip, MakeControl<SliderHorizontalControl>},
    {"TextBoxControl", key_rectangle | key_text | key_tooltip, MakeControl<TextBoxControl>},
    {"ComboBoxControl", key_rectangle | key_tooltip, MakeControl<ComboBoxControl>},
    {"ListBoxControl", key_rectangle | key_tooltip, MakeControl<ListBoxControl>},
    {"BoardControl", 0, MakeControl<BoardControl>},
    {"ProgressBarControl", key_rectangle, MakeControl<ProgressBarControl>},
    {"ButtonControl", key_rectangle | key_tooltip | key_text, MakeControl<ButtonControl>},
    {"DragSquareControl", key_rectangle | key_no_script, MakeControl<DragSquareControl>},
    {"DragItemControl", key_rectangle, MakeControl<DragItemControl>},
    {"TabControl", key_position_size | key_text | key_tooltip, MakeControl<TabControl>},
};

// A script number as an index; one outside the int range gives -1, which no
// table holds.
i32 TruncateIndex(f32 _value)
{
    return _value > -2147483648.0f && _value < 2147483648.0f ? static_cast<i32>(_value) : -1;
}
}

dialog_chain_c::dialog_chain_c(const char* _name) : name(_name) {}

dialog_chain_c::~dialog_chain_c() = default;

void dialog_chain_c::ShowOnlyChild(const char* _name)
{
    if (_name && !FindMenu(_name)) {
        MenuMessage("Wrong!");
        _name = nullptr;
    }
    for (const auto& menu : menus)
        menu->Enable(_name && menu->GetName() == _name);
}

void dialog_chain_c::Render()
{
    for (const auto& menu : menus)
        menu->Render();
}

void dialog_chain_c::Process(f32 _time)
{
    for (const auto& menu : menus)
        menu->Process(_time);
}

void dialog_chain_c::SetTransition(f32 _progress)
{
    for (const auto& menu : menus)
        menu->SetTransition(_progress);
}

void dialog_chain_c::Append(std::unique_ptr<any_menu_c> _menu)
{
    menus.push_back(std::move(_menu));
}

any_menu_c* dialog_chain_c::FindMenu(const char* _name) const
{
    for (const auto& menu : menus)
        if (menu->GetName() == _name)
            return menu.get();
    return nullptr;
}

any_menu_c::any_menu_c(const char* _name, renderer_c* _renderer, sound_system_c* _sound_system)
    : name(_name), renderer(_renderer), soundSystem(_sound_system)
{}

any_menu_c::~any_menu_c()
{
    DestroyControls();
}

void any_menu_c::Render()
{
    if (disabled)
        return;
    renderer->SetViewport(0.0f, 0.0f, 1.0f, 1.0f, 1.0f);
    // Black, stencil 0, no colour write, depth write, no stencil write: the
    // menu's bodies never sort against what was drawn before.
    renderer->DrawDebug28(0.0f, 0.0f, 0.0f, 1.0f, 0.0f);
    any_menu_control_c* captured = FindCapturedControl();
    for (const auto& control : controls)
        if (control.get() != captured)
            control->Render();
    if (captured)
        captured->Render();
    for (const auto& chain : chains)
        chain->Render();
    if (toolTip)
        toolTip->Render();
}

void any_menu_c::Process(f32 _time)
{
    for (const auto& chain : chains)
        for (const auto& menu : chain->GetMenus())
            if (menu->IsEnabled())
                menu->OnMouseMove(pointerX, pointerY, 0, 0);
    for (const auto& chain : chains)
        chain->Process(_time);
    time = _time;
    for (const auto& control : controls) {
        control->SetCurrentTime(_time);
        control->Process(_time);
    }
    if (toolTip) {
        const char* tipText = nullptr;
        for (const auto& control : controls) {
            const char* text = control->GetToolTipText();
            if (!text)
                continue;
            tipText = text;
            const f32 since = std::min(_time - control->GetStateTime(), _time - control->GetHoverTime());
            if (since < toolTip->delay && _time - lastPointerTime < toolTip->delay)
                control->SetHoverTime(_time);
            if (since < toolTip->delay)
                toolTip->transparency = 1.0f;
            else if (toolTip->fadeInTime > 0.0f)
                toolTip->transparency = std::max(1.0f - (since - toolTip->delay) / toolTip->fadeInTime, 0.0f);
            else
                toolTip->transparency = 0.0f;
        }
        toolTip->Process(_time, pointerX, pointerY, tipText);
    }
    stateCache.clear();
    for (const auto& control : controls) {
        menu_state_record_c record;
        record.name = control->GetName();
        control->GetState(record);
        stateCache.push_back(std::move(record));
    }
}

void any_menu_c::Enable(bool _enabled)
{
    disabled = _enabled ? 0 : 1;
}

bool any_menu_c::IsEnabled()
{
    return disabled == 0;
}

f32 any_menu_c::LoadScript(const char* _file_name, u32 _step)
{
    if (!script) {
        script = std::make_unique<script_loader_c>(_file_name);
        scriptFile = _file_name;
    }
    u32 read = 0;
    while (script->GetProgress() < 1.0) {
        if (_step > 0 && read == _step)
            return static_cast<f32>(script->GetProgress());
        // Comments after the last command leave the share below 1.
        if (!script->ReadCommand())
            break;
        ++read;
        try {
            RunScriptCommand(*script);
        } catch (const command_error_c& error) {
            MenuScriptMessage(error, script->GetFileName());
        }
    }
    script.reset();
    Process(0.0f);
    return 1.0f;
}

void any_menu_c::RunScriptCommand(const script_loader_c& _command)
{
    const string_c keyword(_command.GetName());
    if (keyword == "StringTableFile") {
        stringTable.AppendFile(_command.GetParameter(1u));
        return;
    }
    if (keyword == "ToolTip") {
        toolTip = std::make_unique<ToolTip>(_command.GetParameter(1u), renderer, soundSystem, &stringTable);
        return;
    }
    if (keyword == "FullScreenMenu") {
        fullScreen = 1;
        return;
    }
    for (const control_keyword_s& entry : controlKeywords) {
        if (keyword != entry.keyword)
            continue;
        const char* scriptFile = entry.keys & key_no_script ? "" : _command.GetParameter(2u);
        AddControl(_command, entry.keys,
                   entry.factory(_command.GetParameter(1u), scriptFile, renderer, soundSystem, &stringTable));
        return;
    }
    if (keyword == "AddItemToDragSquare") {
        const char* item = _command.GetParameter(1u);
        const char* square = _command.GetParameter(2u);
        if (!FindControl(item))
            MenuMessage(string_c(item) + " - item Not found - (AddItemToDragSquare)");
        if (!FindControl(square))
            MenuMessage(string_c(square) + " - Square Not found - (AddItemToDragSquare)");
        return;
    }
    if (keyword == "AddItem") {
        any_menu_control_c* control = FindControl(_command.GetParameter(1u));
        if (!control) {
            MenuMessage("Additem - nzla nazwa kontrolik!");
            return;
        }
        if (const char* text = stringTable.Find(TruncateIndex(_command.GetFloat(2u))))
            control->AddItem(text);
        return;
    }
    if (keyword == "Disable") {
        any_menu_control_c* control = FindControl(_command.GetParameter(1u));
        if (!control) {
            MenuMessage("Disable - nzla nazwa kontrolik!");
            return;
        }
        control->Disable(false);
        return;
    }
    if (keyword == "AddDialogChain")
        AddDialogChain(_command.GetParameter(1u), _command.GetParameter(2u), _command.GetParameter(3u));
}

void any_menu_c::AddControl(const script_loader_c& _command, u32 _keys, std::unique_ptr<any_menu_control_c> _control)
{
    if (menu_rect_c* rect = _keys & key_rectangle ? _control->GetRectangle() : nullptr)
        ReadMenuRectangle(_command, *rect, true);
    if (_keys & key_position)
        static_cast<CheckBoxControl&>(*_control).SetPosition(_command.GetFloat("x"), _command.GetFloat("y"));
    if (_keys & key_position_size)
        static_cast<TabControl&>(*_control).SetHome(_command.GetFloat("x"), _command.GetFloat("y"),
                                                    _command.GetFloat("w"), _command.GetFloat("h"));
    if ((_keys & key_text) && _command.FindParameter("text"))
        if (const char* text = stringTable.Find(_command.GetInt("text")))
            _control->SetCaption(text);
    if ((_keys & key_tooltip) && _command.FindParameter("tooltiptext"))
        if (const char* text = stringTable.Find(_command.GetInt("tooltiptext")))
            _control->SetToolTipText(text);
    if (_keys & key_text_file)
        if (const char* file = _command.FindParameter("TextFile"))
            static_cast<TextWindowControl&>(*_control).LoadTextFile(file);
    controls.push_back(std::move(_control));
}

void any_menu_c::AddDialogChain(const char* _chain_name, const char* _menu_name, const char* _script_file)
{
    for (const any_menu_c* menu = this; menu; menu = menu->parentMenu) {
        if (menu->scriptFile == _script_file) {
            MenuMessage(string_c(_script_file) + " - dialog chain loops back to its own menu script!");
            return;
        }
    }
    dialog_chain_c* chain = FindDialogChain(_chain_name);
    if (!chain) {
        chains.push_back(std::make_unique<dialog_chain_c>(_chain_name));
        chain = chains.back().get();
    }
    auto menu = std::make_unique<any_menu_c>(_menu_name, renderer, soundSystem);
    menu->parentMenu = this;
    menu->LoadScript(_script_file, 0);
    menu->Enable(false);
    chain->Append(std::move(menu));
}

void any_menu_c::DestroyControls()
{
    controls.clear();
    chains.clear();
    toolTip.reset();
    script.reset();
}

void any_menu_c::SetControlsSoundVolume(f32 _volume)
{
    for (const auto& control : controls)
        control->SetSoundVolume(_volume);
}

f32 any_menu_c::GetGoOutTime()
{
    f32 longest = 0.0f;
    for (const auto& control : controls)
        longest = std::max(longest, control->GetGoOutTime());
    return longest;
}

f32 any_menu_c::GetGoInTime()
{
    f32 longest = 0.0f;
    for (const auto& control : controls)
        longest = std::max(longest, control->GetGoInTime());
    return longest;
}

void any_menu_c::GoOut()
{
    for (const auto& chain : chains)
        for (const auto& menu : chain->GetMenus())
            menu->GoOut();
    for (const auto& control : controls)
        control->GoOut();
}

void any_menu_c::GoIn()
{
    for (const auto& chain : chains)
        for (const auto& menu : chain->GetMenus())
            menu->GoIn();
    for (const auto& control : controls)
        control->GoIn();
}

any_menu_control_c* any_menu_c::FindControl(const char* _name)
{
    for (const auto& control : controls)
        if (control->GetName() == _name)
            return control.get();
    return nullptr;
}

any_menu_control_c* any_menu_c::FindReported(const char* _name, const char* _signature)
{
    any_menu_control_c* control = FindControl(_name);
    if (!control)
        MenuMessage(string_c(_name) + " Not found! - " + _signature);
    return control;
}

void any_menu_c::ControlDisable(const char* _control_name, bool _enabled)
{
    if (any_menu_control_c* control =
            FindReported(_control_name, "void any_menu_c::ControlDisable(char *ControlName, bool dis)"))
        control->Disable(_enabled);
}

bool any_menu_c::ControlIsDisabled(const char* _control_name)
{
    any_menu_control_c* control = FindReported(_control_name, "bool any_menu_c::ControlIsDisabled(char *ControlName)");
    return control && control->IsDisabled();
}

void any_menu_c::ControlGetState(const char* _control_name, menu_ret_c& _ret)
{
    for (const menu_state_record_c& record : stateCache) {
        if (record.name == _control_name) {
            _ret.boolValue = record.boolValue;
            _ret.floatValue = record.floatValue;
            _ret.intValue = record.intValue;
            _ret.stringValue = record.stringValue;
            return;
        }
    }
    MenuMessage(string_c(_control_name) +
                " Not found! - void any_menu_c::ControlGetState(char *ControlName, menu_ret_c &Ret)");
}

void any_menu_c::ControlSetState(const char* _control_name, menu_ret_c* _ret)
{
    if (any_menu_control_c* control =
            FindReported(_control_name, "void any_menu_c::ControlSetState(char *ControlName, menu_ret_c *Ret)"))
        control->SetState(_ret);
}

void any_menu_c::ControlSetState(const char* _control_name, f32 _value)
{
    menu_ret_c ret;
    ret.floatValue = _value;
    ControlSetState(_control_name, &ret);
}

void any_menu_c::ControlSetState(const char* _control_name, i32 _value)
{
    menu_ret_c ret;
    ret.intValue = _value;
    ControlSetState(_control_name, &ret);
}

void any_menu_c::ControlSetState(const char* _control_name, const char* _value)
{
    menu_ret_c ret;
    ret.stringValue = _value;
    ControlSetState(_control_name, &ret);
}

void any_menu_c::ControlSetState(const char* _control_name, bool _value)
{
    menu_ret_c ret;
    ret.boolValue = _value ? 1 : 0;
    ControlSetState(_control_name, &ret);
}

menu_ret_c any_menu_c::ReadState(const char* _control_name)
{
    menu_ret_c ret;
    ControlGetState(_control_name, ret);
    return ret;
}

f32 any_menu_c::ControlGetFloat(const char* _control_name)
{
    return ReadState(_control_name).floatValue;
}

i32 any_menu_c::ControlGetInt(const char* _control_name)
{
    return ReadState(_control_name).intValue;
}

string_c any_menu_c::ControlGetString(const char* _control_name)
{
    return ReadState(_control_name).stringValue;
}

bool any_menu_c::ControlGetBool(const char* _control_name)
{
    return ReadState(_control_name).boolValue != 0;
}

void any_menu_c::SetTransition(f32 _progress)
{
    for (const auto& chain : chains)
        chain->SetTransition(_progress);
    for (const auto& control : controls)
        control->SetTransition(_progress);
}

any_menu_control_c* any_menu_c::FindCapturedControl() const
{
    for (const auto& control : controls)
        if (control->GetControlState() == control_captured)
            return control.get();
    return nullptr;
}

void any_menu_c::OnMouseMove(f32 _x, f32 _y, i32 _a, i32 _b)
{
    if (disabled)
        return;
    for (const auto& chain : chains)
        for (const auto& menu : chain->GetMenus())
            menu->OnMouseMove(_x, _y, _a, _b);
    pointerX = _x;
    pointerY = _y;
    pointerA = _a;
    pointerB = _b;
    lastPointerTime = time;
    any_menu_control_c* hovered = nullptr;
    for (const auto& control : controls) {
        if (control->GetControlState() == control_over) {
            hovered = control.get();
            break;
        }
    }
    any_menu_control_c* captured = FindCapturedControl();
    if (hovered && captured && captured->IsInside(_x, _y))
        hovered->OnMouseMove(-1.0f, -1.0f, 0, 0);
    for (const auto& control : controls) {
        if (control->GetControlState() == control_captured && control->IsInside(_x, _y)) {
            control->OnMouseMove(_x, _y, _a, _b);
            return;
        }
    }
    for (const auto& control : controls)
        control->OnMouseMove(_x, _y, _a, _b);
}

template <typename MenuCall, typename ControlCall>
void any_menu_c::Forward(MenuCall _menu_call, ControlCall _control_call)
{
    if (disabled)
        return;
    for (const auto& chain : chains)
        for (const auto& menu : chain->GetMenus())
            _menu_call(*menu);
    lastPointerTime = time;
    for (const auto& control : controls)
        _control_call(*control);
}

// Each event goes to the operation of the same name on menus and controls.
#define FORWARD_EVENT(_operation)                                                                                      \
    void any_menu_c::_operation()                                                                                      \
    {                                                                                                                  \
        Forward([](any_menu_c& _menu) { _menu._operation(); },                                                         \
                [](any_menu_control_c& _control) { _control._operation(); });                                          \
    }
#define FORWARD_EVENT_WITH(_operation, _type)                                                                          \
    void any_menu_c::_operation(_type _value)                                                                          \
    {                                                                                                                  \
        Forward([_value](any_menu_c& _menu) { _menu._operation(_value); },                                             \
                [_value](any_menu_control_c& _control) { _control._operation(_value); });                              \
    }

FORWARD_EVENT_WITH(OnMouseWheel, i32)
FORWARD_EVENT(OnLeftButtonDown)
FORWARD_EVENT(OnLeftButtonUp)
FORWARD_EVENT(OnLeftClick)
FORWARD_EVENT(OnLeftDoubleClick)
FORWARD_EVENT(OnRightButtonDown)
FORWARD_EVENT(OnRightButtonUp)
FORWARD_EVENT(OnRightClick)
FORWARD_EVENT(OnRightDoubleClick)
FORWARD_EVENT(OnMiddleButtonDown)
FORWARD_EVENT(OnMiddleButtonUp)
FORWARD_EVENT(OnMiddleClick)
FORWARD_EVENT(OnMiddleDoubleClick)
FORWARD_EVENT_WITH(OnKeyDown, u32)
FORWARD_EVENT_WITH(OnKeyUp, u32)
FORWARD_EVENT_WITH(OnKeyPress, u32)
FORWARD_EVENT_WITH(OnChar, u32)

dialog_chain_c* any_menu_c::FindDialogChain(const char* _name) const
{
    for (const auto& chain : chains)
        if (chain->GetName() == _name)
            return chain.get();
    return nullptr;
}
