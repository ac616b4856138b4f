#pragma once
// Where the shell gets its two states, "menu" and "game". The libraries
// that build them sit above the shell, so the program's main installs one
// factory for each before WinMain runs (tests install their own). A factory
// makes a fresh state under its name every time the shell needs one: both
// at initialisation, and a new one to replace each state after its visit.
//
// The game state pauses the shell's frame timer; the shell hands the timer
// over through the factory's set_frame_timer, which a state that keeps no
// timer leaves empty.
#include <functional>
#include <memory>

#include "app/state.h"

class timer_c;

struct state_factory_s {
    std::function<std::unique_ptr<state_c>()> make;
    std::function<void(state_c&, timer_c*)> set_frame_timer;
};

// Installs the factory of that state name (compared without regard to
// case); a factory without `make` removes it.
void SetStateFactory(const char* _name, state_factory_s _factory);

// A new state of that name. Throws std::runtime_error naming the state when
// no factory is installed for it or the factory makes none.
std::unique_ptr<state_c> MakeState(const char* _name);

// Hands the state the frame timer (null: none yet) through the setter of
// the factory of its name; nothing without one.
void SetStateFrameTimer(state_c& _state, timer_c* _timer);
