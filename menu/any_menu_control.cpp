#include "menu/any_menu_control.h"

#include "foundation/script_loader.h"
#include "menu/menu_message.h"

any_menu_control_c::any_menu_control_c(const char* _name, const char* _script_file, renderer_c* _renderer,
                                       sound_system_c* _sound_system, menu_string_table_c* _string_table)
    : name(_name), renderer(_renderer), soundSystem(_sound_system), stringTable(_string_table)
{
    if (_script_file && *_script_file)
        script = std::make_unique<script_loader_c>(_script_file);
}

any_menu_control_c::~any_menu_control_c() = default;

void any_menu_control_c::Render()
{
    MenuMessage("void any_menu_control_c::Render() -  Virtual!");
}

void any_menu_control_c::Process(f32)
{
    MenuMessage("void any_menu_control_c::Process(float Time) - Virtal!");
}

void any_menu_control_c::ProcessScript()
{
    MenuMessage("void any_menu_control_c::ProcessScript() - Virtal!");
}

void any_menu_control_c::AddItem(const char*)
{
    MenuMessage("void any_menu_control_c::AddItem(char *ItemName)- Nieprawidlowa nazwa kontroliki w additem ??");
}

void any_menu_control_c::RemoveItem(const char*)
{
    MenuMessage("void any_menu_control_c::RemoveItem(char *ItemName)- Nieprawidlowa nazwa kontroliki??");
}

void any_menu_control_c::SetSoundVolume(f32) {}

void any_menu_control_c::Disable(bool)
{
    MenuMessage("void any_menu_control_c::Disable(bool Dis = true) -  virtual!");
}

bool any_menu_control_c::IsDisabled()
{
    MenuMessage("bool any_menu_control_c::IsDisabled() - virtual!");
    return false;
}

void any_menu_control_c::GetState(menu_ret_c&)
{
    MenuMessage("void any_menu_control_c::GetState(menu_ret_c &Ret) - virtual!");
}

void any_menu_control_c::SetState(menu_ret_c*)
{
    MenuMessage("void any_menu_control_c::SetState(menu_ret_c *Ret) - virtual!");
}

f32 any_menu_control_c::GetGoOutTime()
{
    return 0.0f;
}

f32 any_menu_control_c::GetGoInTime()
{
    return 0.0f;
}

void any_menu_control_c::GoOut()
{
    OnMouseMove(-1.0f, -1.0f, 0, 0);
    hoverTime = currentTime;
}

void any_menu_control_c::GoIn()
{
    OnMouseMove(-1.0f, -1.0f, 0, 0);
    hoverTime = currentTime;
}

f32 any_menu_control_c::SetTransition(f32 _progress)
{
    transition = _progress;
    return transition;
}

void any_menu_control_c::OnMouseMove(f32, f32, i32, i32) {}
void any_menu_control_c::OnMouseWheel(i32) {}
void any_menu_control_c::OnLeftButtonDown() {}
void any_menu_control_c::OnLeftButtonUp() {}
void any_menu_control_c::OnLeftClick() {}
void any_menu_control_c::OnLeftDoubleClick() {}
void any_menu_control_c::OnRightButtonDown() {}
void any_menu_control_c::OnRightButtonUp() {}
void any_menu_control_c::OnRightClick() {}
void any_menu_control_c::OnRightDoubleClick() {}
void any_menu_control_c::OnMiddleButtonDown() {}
void any_menu_control_c::OnMiddleButtonUp() {}
void any_menu_control_c::OnMiddleClick() {}
void any_menu_control_c::OnMiddleDoubleClick() {}
void any_menu_control_c::OnKeyDown(u32) {}
void any_menu_control_c::OnKeyUp(u32) {}
void any_menu_control_c::OnKeyPress(u32) {}
void any_menu_control_c::OnChar(u32) {}

bool any_menu_control_c::IsInside(f32, f32)
{
    MenuMessage("any_menu_control_c::IsInside(float x, float y)");
    return false;
}

menu_rect_c* any_menu_control_c::GetRectangle()
{
    return nullptr;
}

void any_menu_control_c::SetCaption(const char*) {}

const char* any_menu_control_c::GetToolTipText() const
{
    return state == control_over && hasToolTip ? toolTipText.GetData() : nullptr;
}

void any_menu_control_c::SetToolTipText(const char* _text)
{
    hasToolTip = _text != nullptr;
    toolTipText = _text;
}

const char* any_menu_control_c::ReadScriptCommand()
{
    return script ? script->ReadCommand() : nullptr;
}
