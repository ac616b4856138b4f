#include "platform/win32/message_box.h"

#include <SDL2/SDL.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

message_box_hook_t installed_hook = nullptr;
void* installed_context = nullptr;

bool HasDisplay()
{
    const char* driver = SDL_GetCurrentVideoDriver();
    if (driver == nullptr)
        driver = std::getenv("SDL_VIDEODRIVER");
    if (driver != nullptr && (std::strcmp(driver, "offscreen") == 0 || std::strcmp(driver, "dummy") == 0))
        return false;
    return std::getenv("DISPLAY") != nullptr || std::getenv("WAYLAND_DISPLAY") != nullptr;
}

Uint32 Flags(UINT _type)
{
    switch (_type & 0xF0) {
    case MB_ICONERROR: return SDL_MESSAGEBOX_ERROR;
    case MB_ICONWARNING: return SDL_MESSAGEBOX_WARNING;
    default: return SDL_MESSAGEBOX_INFORMATION;
    }
}

} // namespace

void SetMessageBoxHook(message_box_hook_t _hook, void* _context)
{
    installed_hook = _hook;
    installed_context = _context;
}

int MessageBoxA(HWND, const char* _text, const char* _caption, UINT _type)
{
    const char* text = _text != nullptr ? _text : "";
    const char* caption = _caption != nullptr ? _caption : "";
    if (installed_hook != nullptr) {
        installed_hook(text, caption, _type, installed_context);
        return IDOK;
    }
    if (HasDisplay() && SDL_ShowSimpleMessageBox(Flags(_type), caption, text, nullptr) == 0)
        return IDOK;
    std::fprintf(stderr, "%s\n%s\n", caption, text);
    std::fflush(stderr);
    return IDOK;
}
