#include "platform/win32/sdl_event_sink.h"

#include <algorithm>
#include <utility>
#include <vector>

namespace {

std::vector<std::pair<sdl_event_listener_t, void*>>& Listeners()
{
    static std::vector<std::pair<sdl_event_listener_t, void*>> listeners;
    return listeners;
}

} // namespace

void AddSdlEventListener(sdl_event_listener_t _listener, void* _context)
{
    auto& listeners = Listeners();
    const std::pair<sdl_event_listener_t, void*> entry(_listener, _context);
    if (_listener != nullptr && std::find(listeners.begin(), listeners.end(), entry) == listeners.end())
        listeners.push_back(entry);
}

void RemoveSdlEventListener(sdl_event_listener_t _listener, void* _context)
{
    auto& listeners = Listeners();
    listeners.erase(std::remove(listeners.begin(), listeners.end(), std::make_pair(_listener, _context)),
                    listeners.end());
}

void DispatchSdlEvent(const SDL_Event& _event)
{
    // A copy, so a listener may add or remove listeners.
    const auto listeners = Listeners();
    for (const auto& [listener, context] : listeners)
        listener(_event, context);
}
