#include "app/state_manager.h"

#include <algorithm>

#include "app/application.h"

void state_manager_c::Add(state_c* _state)
{
    states.push_back(_state);
}

void state_manager_c::Remove(const string_c& _name)
{
    const auto it = std::find_if(states.begin(), states.end(), [&](state_c* s) { return s->GetName() == _name; });
    if (current && current->GetName() == _name)
        current = nullptr;
    if (it != states.end())
        states.erase(it);
}

void state_manager_c::RemoveAll()
{
    states.clear();
    current = nullptr;
}

state_c* state_manager_c::Find(const string_c& _name) const
{
    for (state_c* s : states)
        if (s->GetName() == _name)
            return s;
    return nullptr;
}

string_c state_manager_c::GetCurrentName() const
{
    return current ? current->GetName() : string_c();
}

void state_manager_c::Switch(const string_c& _name, application_c* _application)
{
    // With no state current the current name is empty.
    if (current ? current->GetName() == _name : _name.IsEmpty())
        return;
    if (state_c* left = current) {
        current = nullptr;
        left->Leave();
        left->SetActive(false);
    }
    if (_application)
        _application->BetweenStates();
    state_c* next = _name.IsEmpty() ? nullptr : Find(_name);
    if (!next)
        return;
    next->SetApplication(_application);
    next->Enter(_application);
    current = next;
    next->SetActive(true);
}

LRESULT state_manager_c::ForwardMessage(HWND _hwnd, UINT _msg, WPARAM _wparam, LPARAM _lparam)
{
    return current ? current->OnMessage(_hwnd, _msg, _wparam, _lparam) : 0;
}

i32 state_manager_c::Update(double _t)
{
    return current ? current->Update(_t) : -1;
}

void state_manager_c::Render(double _t)
{
    if (current)
        current->Render(_t);
}
