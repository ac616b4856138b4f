#pragma once
// state_manager_c: the named states in the order they were added, the
// current one, and the switch between them. The manager does not own the
// states.
//
// Switch(name, application), unless name is already current (names compare
// without regard to case):
//   1. the current state is left and marked inactive, and no state is current
//      any more, so nothing reaches a state that has left;
//   2. the application re-creates its per-state devices: the sound device is
//      deleted, the renderer's font, texture and geometry caches are purged,
//      a pending outro is played, and a new sound device is made
//      (application_c::BetweenStates);
//   3. the first state of that name is stored with the application, entered,
//      made current and marked active. An empty or unknown name enters
//      nothing (the shell switches to "" at shutdown).
// Exceptions of a state pass through unchanged.
#include <list>

#include "app/state.h"

class state_manager_c {
public:
    state_manager_c() = default;
    ~state_manager_c() { RemoveAll(); }
    state_manager_c(const state_manager_c&) = delete;
    state_manager_c& operator=(const state_manager_c&) = delete;

    void Add(state_c* _state);
    // Unlinks the first state of that name (not destroyed); when it is the
    // current one, no state is current any more.
    void Remove(const string_c& _name);
    void RemoveAll();
    void Switch(const string_c& _name, application_c* _application);

    // The current state's answers, or 0 / -1 / nothing without one.
    LRESULT ForwardMessage(HWND _hwnd, UINT _msg, WPARAM _wparam, LPARAM _lparam);
    i32 Update(double _t);
    void Render(double _t);

    // The current state, or null.
    state_c* GetCurrent() const { return current; }
    // The first state of that name, or null.
    state_c* Find(const string_c& _name) const;
    string_c GetCurrentName() const;
    bool HasCurrent() const { return current != nullptr; }
    size_t GetCount() const { return states.size(); }

private:
    std::list<state_c*> states;
    state_c* current = nullptr;
};
