#pragma once
// The hand-over of SDL events from the window layer, the only reader of
// SDL's event queue, to the layers that keep state from them (the input
// devices' keyboard and mouse). The window layer passes every event it
// takes to DispatchSdlEvent; listeners see them in the order they came.
// Main thread only.
#include <SDL2/SDL_events.h>

using sdl_event_listener_t = void (*)(const SDL_Event& _event, void* _context);

// Adding a listener that is already there does nothing.
void AddSdlEventListener(sdl_event_listener_t _listener, void* _context);
void RemoveSdlEventListener(sdl_event_listener_t _listener, void* _context);
void DispatchSdlEvent(const SDL_Event& _event);
