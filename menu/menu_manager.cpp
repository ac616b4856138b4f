#include "menu/menu_manager.h"

#include "engine/list_error.h"
#include "engine/scene.h"
#include "engine/scene_loader.h"
#include "foundation/command.h"
#include "foundation/script_loader.h"
#include "menu/any_menu.h"
#include "menu/menu_message.h"

#include <algorithm>
#include <cstring>

namespace {
// Share of a transition; one without duration is over at once.
f32 Progress(f32 _time, f32 _start, f32 _duration)
{
    return _duration > 0.0f ? (_time - _start) / _duration : 1.0f;
}

f32 OrDefault(f32 _time, f32 _default)
{
    return _time != 0.0f ? _time : _default;
}
}

menu_manager_c::menu_manager_c(renderer_c* _renderer, sound_system_c* _sound_system)
    : renderer(_renderer), soundSystem(_sound_system)
{}

menu_manager_c::~menu_manager_c()
{
    Clear();
}

void menu_manager_c::Clear()
{
    listReader.reset();
    backgroundScene.reset();
    currentMenu = nextMenu = dialogMenu = pendingMenu = nullptr;
    menus.clear();
    recordDone = 1;
    transitionState = transition_none;
    dialogState = 0;
    transitionDuration = transitionStart = dialogDuration = dialogStart = 0.0f;
    listFinished = false;
}

f32 menu_manager_c::Load(const char* _file_name, u32 _step)
{
    if (!listReader) {
        listReader = std::make_unique<script_loader_c>(_file_name);
        recordCount = 0;
        while (listReader->ReadCommand())
            ++recordCount;
        listReader = std::make_unique<script_loader_c>(_file_name);
        recordIndex = 0;
        recordDone = 1;
        listFinished = false;
    }
    if (_step == 0) {
        while (!listFinished)
            ReadRecord(0);
    } else {
        f32 share = ReadRecord(_step);
        if (share == 0.0f)
            share = 1.0f;
        if (!listFinished && recordCount > 0)
            return std::min((share + static_cast<f32>(recordIndex) - 1.0f) / static_cast<f32>(recordCount), 1.0f);
    }
    listReader.reset();
    return 1.0f;
}

f32 menu_manager_c::ReadRecord(u32 _step)
{
    if (!listReader || listFinished)
        return 0.0f;
    if (recordDone) {
        const char* name = listReader->ReadCommand();
        if (!name) {
            listFinished = true;
            return 0.0f;
        }
        ++recordIndex;
        recordDone = 0;
        try {
            StartRecord(name);
        } catch (const command_error_c& error) {
            MenuScriptMessage(error, listReader->GetFileName());
            recordDone = 1;
        }
        if (recordDone) {
            // The last record read ends the list, so the bar reaches its end.
            listFinished = recordIndex >= recordCount;
            return 0.0f;
        }
    }
    const f32 share = pendingMenu->LoadScript(pendingScript.data(), _step);
    if (share < 1.0f)
        return share;
    recordDone = 1;
    pendingMenu->Enable(false);
    pendingMenu = nullptr;
    listFinished = recordIndex >= recordCount;
    return 0.0f;
}

void menu_manager_c::StartRecord(const char* _name)
{
    const string_c keyword(_name);
    if (keyword == "BackgroundScene") {
        backgroundScene.reset(LoadScene(listReader->GetParameter(1u), renderer));
        recordDone = 1;
    } else if (keyword == "AddMenu") {
        const char* menuName = listReader->GetParameter(1u);
        const char* script = listReader->GetParameter(2u);
        pendingMenu = FindMenu(menuName);
        if (!pendingMenu) {
            menus.push_back(std::make_unique<any_menu_c>(menuName, renderer, soundSystem));
            pendingMenu = menus.back().get();
        }
        pendingScript.assign(script, script + std::strlen(script) + 1);
    } else {
        recordDone = 1;
    }
}

bool menu_manager_c::ShowsBackground() const
{
    if (!backgroundScene)
        return false;
    const bool covered = currentMenu && currentMenu->IsEnabled() && currentMenu->IsFullScreen();
    if (transitionState == transition_none)
        return !covered;
    return !(covered && nextMenu && nextMenu->IsFullScreen());
}

void menu_manager_c::Update(f32 _time)
{
    currentTime = _time;
    if (ShowsBackground()) {
        backgroundScene->Animate(_time, true);
        backgroundScene->PrepareFrame();
    }
    StepTransition(_time);
    StepDialog(_time);
    for (const auto& menu : menus)
        menu->Process(_time);
}

void menu_manager_c::StepTransition(f32 _time)
{
    const auto ended = [&] { return transitionStart + transitionDuration < _time; };
    if (transitionState == transition_cross) {
        const f32 p = Progress(_time, transitionStart, transitionDuration);
        currentMenu->SetTransition(p);
        nextMenu->SetTransition(1.0f - p);
        if (ended()) {
            currentMenu->Enable(false);
            currentMenu = nextMenu;
            nextMenu = nullptr;
            currentMenu->SetTransition(0.0f);
            transitionState = transition_none;
        }
    }
    if (transitionState == transition_out_in) {
        currentMenu->SetTransition(Progress(_time, transitionStart, transitionDuration));
        if (ended()) {
            currentMenu->Enable(false);
            currentMenu = nullptr;
            transitionStart = _time;
            transitionDuration = OrDefault(nextMenu->GetGoInTime(), transitionDuration);
            transitionState = transition_in;
            nextMenu->Enable(true);
            nextMenu->GoIn();
        }
    }
    if (transitionState == transition_in) {
        nextMenu->SetTransition(1.0f - Progress(_time, transitionStart, transitionDuration));
        if (ended()) {
            currentMenu = nextMenu;
            nextMenu = nullptr;
            currentMenu->SetTransition(0.0f);
            transitionState = transition_none;
        }
    }
    if (transitionState == transition_out) {
        currentMenu->SetTransition(Progress(_time, transitionStart, transitionDuration));
        if (ended()) {
            currentMenu->SetTransition(0.0f);
            currentMenu->Enable(false);
            transitionState = transition_none;
        }
    }
}

void menu_manager_c::StepDialog(f32 _time)
{
    if (!dialogMenu)
        return;
    const f32 p = Progress(_time, dialogStart, dialogDuration);
    const bool ended = dialogStart + dialogDuration < _time;
    if (dialogState == 3) {
        dialogMenu->SetTransition(1.0f - p);
        if (ended)
            dialogState = 0;
    } else if (dialogState == 1) {
        dialogMenu->SetTransition(p);
        if (ended) {
            dialogState = 0;
            dialogMenu->Enable(false);
            dialogMenu = nullptr;
        }
    }
}

void menu_manager_c::Render(bool _with_dialog)
{
    if (ShowsBackground())
        backgroundScene->Render();
    for (const auto& menu : menus)
        if (menu.get() != dialogMenu)
            menu->Render();
    if (_with_dialog && dialogMenu)
        dialogMenu->Render();
}

void menu_manager_c::RenderDialog()
{
    if (dialogMenu)
        dialogMenu->Render();
}

void menu_manager_c::SetMenusSoundVolume(f32 _volume)
{
    for (const auto& menu : menus)
        menu->SetControlsSoundVolume(_volume);
}

void menu_manager_c::SetMenu(const char* _name)
{
    currentMenu = nextMenu = nullptr;
    transitionState = transition_none;
    for (const auto& menu : menus) {
        if (menu.get() == dialogMenu)
            continue;
        if (_name && !currentMenu && menu->GetName() == _name) {
            menu->Enable(true);
            menu->SetTransition(0.0f);
            menu->OnMouseMove(pointerX, pointerY, 0, 0);
            currentMenu = menu.get();
        } else {
            menu->Enable(false);
        }
    }
}

void menu_manager_c::SwitchMenu(const char* _name, f32 _default_time)
{
    any_menu_c* next = _name ? GetMenu(_name) : nullptr;
    if (transitionState != transition_none)
        SetMenu(nullptr);
    nextMenu = next;
    transitionStart = currentTime;
    if (currentMenu) {
        transitionState = nextMenu ? transition_out_in : transition_out;
        transitionDuration = OrDefault(currentMenu->GetGoOutTime(), _default_time);
        currentMenu->GoOut();
    } else if (nextMenu) {
        transitionState = transition_in;
        nextMenu->Enable(true);
        transitionDuration = OrDefault(nextMenu->GetGoInTime(), _default_time);
        nextMenu->GoIn();
    }
}

void menu_manager_c::CrossSwitchMenu(const char* _name, f32 _default_time)
{
    any_menu_c* next = _name ? GetMenu(_name) : nullptr;
    if (transitionState != transition_none)
        SetMenu(nullptr);
    if (!currentMenu || !next) {
        SwitchMenu(_name, _default_time);
        return;
    }
    nextMenu = next;
    transitionStart = currentTime;
    transitionState = transition_cross;
    transitionDuration = OrDefault(std::max(nextMenu->GetGoOutTime(), currentMenu->GetGoOutTime()), _default_time);
    currentMenu->GoOut();
    nextMenu->Enable(true);
    nextMenu->GoIn();
}

void menu_manager_c::ShowDialog(const char* _name, f32 _default_time)
{
    if (_name) {
        any_menu_c* dialog = GetMenu(_name);
        if (dialogMenu && dialogMenu != dialog)
            dialogMenu->Enable(false);
        dialogMenu = dialog;
        dialogMenu->Enable(true);
        dialogState = 3;
        dialogStart = currentTime;
        dialogDuration = OrDefault(dialogMenu->GetGoInTime(), _default_time);
        dialogMenu->GoIn();
        return;
    }
    if (dialogMenu) {
        dialogState = 1;
        dialogStart = currentTime;
        dialogDuration = OrDefault(dialogMenu->GetGoOutTime(), _default_time);
        dialogMenu->GoOut();
    }
    if (currentMenu)
        currentMenu->OnMouseMove(pointerX, pointerY, 0, 0);
}

any_menu_c* menu_manager_c::GetMenu(const char* _name) const
{
    any_menu_c* menu = FindMenu(_name);
    if (!menu)
        throw list_error_c("Could not find item!", string_c(_name));
    return menu;
}

any_menu_c* menu_manager_c::FindMenu(const char* _name) const
{
    for (const auto& menu : menus)
        if (menu->GetName() == _name)
            return menu.get();
    return nullptr;
}

any_menu_c* menu_manager_c::GetCurrentMenu() const
{
    return currentMenu && currentMenu->IsEnabled() ? currentMenu : nullptr;
}

const char* menu_manager_c::GetCurrentMenuName() const
{
    return currentMenu ? currentMenu->GetName().GetData() : nullptr;
}

template <typename Call>
void menu_manager_c::Route(Call _call)
{
    if (dialogMenu) {
        _call(*dialogMenu);
        return;
    }
    for (const auto& menu : menus)
        _call(*menu);
}

void menu_manager_c::OnMouseMove(f32 _x, f32 _y, i32 _a, i32 _b)
{
    pointerX = _x;
    pointerY = _y;
    for (const auto& menu : menus) {
        if (!dialogMenu || menu.get() == dialogMenu)
            menu->OnMouseMove(_x, _y, _a, _b);
        else
            menu->OnMouseMove(-1.0f, -1.0f, 0, 0);
    }
}

void menu_manager_c::OnMouseWheel(i32 _steps)
{
    Route([_steps](any_menu_c& _menu) { _menu.OnMouseWheel(_steps); });
}

void menu_manager_c::OnLeftButtonDown()
{
    Route([](any_menu_c& _menu) { _menu.OnLeftButtonDown(); });
}

void menu_manager_c::OnLeftButtonUp()
{
    Route([](any_menu_c& _menu) { _menu.OnLeftButtonUp(); });
}

void menu_manager_c::OnLeftClick()
{
    Route([](any_menu_c& _menu) { _menu.OnLeftClick(); });
}

void menu_manager_c::OnRightButtonUp()
{
    Route([](any_menu_c& _menu) { _menu.OnRightButtonUp(); });
}

void menu_manager_c::OnRightClick()
{
    Route([](any_menu_c& _menu) { _menu.OnRightClick(); });
}

void menu_manager_c::OnMiddleButtonUp()
{
    Route([](any_menu_c& _menu) { _menu.OnMiddleButtonUp(); });
}

void menu_manager_c::OnMiddleClick()
{
    Route([](any_menu_c& _menu) { _menu.OnMiddleClick(); });
}

void menu_manager_c::OnKeyDown(u32 _virtual_key)
{
    Route([_virtual_key](any_menu_c& _menu) { _menu.OnKeyDown(_virtual_key); });
}

void menu_manager_c::OnKeyUp(u32 _virtual_key)
{
    Route([_virtual_key](any_menu_c& _menu) { _menu.OnKeyUp(_virtual_key); });
}

void menu_manager_c::OnChar(u32 _character)
{
    Route([_character](any_menu_c& _menu) { _menu.OnChar(_character); });
}
