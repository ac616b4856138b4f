#pragma once
// SDL events as the window layer would hand them over, for tests of the
// SDL backend and of the actions above it.
#include <SDL2/SDL_events.h>

inline SDL_Event KeyEvent(SDL_Scancode _scancode, bool _down)
{
    SDL_Event event{};
    event.type = _down ? SDL_KEYDOWN : SDL_KEYUP;
    event.key.keysym.scancode = _scancode;
    return event;
}

inline SDL_Event MotionEvent(int _dx, int _dy)
{
    SDL_Event event{};
    event.type = SDL_MOUSEMOTION;
    event.motion.xrel = _dx;
    event.motion.yrel = _dy;
    return event;
}

inline SDL_Event WheelEvent(int _notches, bool _flipped = false)
{
    SDL_Event event{};
    event.type = SDL_MOUSEWHEEL;
    event.wheel.y = _notches;
    event.wheel.direction = _flipped ? SDL_MOUSEWHEEL_FLIPPED : SDL_MOUSEWHEEL_NORMAL;
    return event;
}

inline SDL_Event MouseButtonEvent(Uint8 _button, bool _down)
{
    SDL_Event event{};
    event.type = _down ? SDL_MOUSEBUTTONDOWN : SDL_MOUSEBUTTONUP;
    event.button.button = _button;
    return event;
}

inline SDL_Event FocusLostEvent()
{
    SDL_Event event{};
    event.type = SDL_WINDOWEVENT;
    event.window.event = SDL_WINDOWEVENT_FOCUS_LOST;
    return event;
}
