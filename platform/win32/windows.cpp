#include "platform/win32/windows.h"

#include <SDL.h>

#include <algorithm>
#include <map>

#include "platform/win32/display.h"
#include "platform/win32/messages.h"
#include "platform/win32/sdl_display.h"
#include "platform/win32/window_object.h"

namespace {

struct window_class_s {
    std::string name;
    WNDPROC procedure;
    HCURSOR cursor;
};

std::mutex g_class_mutex;
std::vector<window_class_s> g_classes;

std::mutex g_focus_mutex;
HWND g_focus = nullptr;
HCURSOR g_cursor = nullptr;

bool SameName(const std::string& a, const char* b)
{
    return b && SDL_strcasecmp(a.c_str(), b) == 0;
}

// Stock cursors are numbered handles; SDL's system cursors stand behind them.
struct stock_cursor_s {
    const char* name;
    SDL_SystemCursor sdl;
};
const stock_cursor_s kStockCursors[] = {{IDC_ARROW, SDL_SYSTEM_CURSOR_ARROW}, {IDC_HAND, SDL_SYSTEM_CURSOR_HAND}};

void ShowCursorOf(HCURSOR cursor)
{
    if (!SDL_WasInit(SDL_INIT_VIDEO))
        return;
    if (!cursor) {
        SDL_ShowCursor(SDL_DISABLE);
        return;
    }
    static std::map<SDL_SystemCursor, SDL_Cursor*> made;
    const auto index = reinterpret_cast<std::uintptr_t>(cursor) - 1;
    const SDL_SystemCursor id = index < std::size(kStockCursors) ? kStockCursors[index].sdl : SDL_SYSTEM_CURSOR_ARROW;
    SDL_Cursor*& sdl = made[id];
    if (!sdl)
        sdl = SDL_CreateSystemCursor(id);
    if (sdl)
        SDL_SetCursor(sdl);
    SDL_ShowCursor(SDL_ENABLE);
}

bool IsLive(HWND window)
{
    auto& list = Windows();
    return std::find(list.windows.begin(), list.windows.end(), window) != list.windows.end();
}

} // namespace

window_list_s& Windows()
{
    static window_list_s list;
    return list;
}

std::shared_ptr<message_queue_s> QueueOfWindow(HWND window)
{
    std::lock_guard lock(Windows().mutex);
    return IsLive(window) ? window->queue : nullptr;
}

HWND WindowOfSdlId(u32 id)
{
    std::lock_guard lock(Windows().mutex);
    for (window_s* window : Windows().windows)
        if (window->sdl && window->sdl_id == id)
            return window;
    return nullptr;
}

LRESULT CallWindowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    WNDPROC procedure = nullptr;
    {
        std::lock_guard lock(Windows().mutex);
        if (IsLive(window))
            procedure = window->procedure;
    }
    return procedure ? procedure(window, message, wParam, lParam) : 0;
}

bool StartSdlVideo()
{
    if (!SDL_WasInit(SDL_INIT_VIDEO)) {
        if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0)
            return false;
        if (!GetDisplayBackend())
            SetDisplayBackend(MakeSdlDisplayBackend());
        // Loaded once for the whole run: SDL would unload OpenGL with the
        // last window, and the movie player's window comes and goes before
        // the main one.
        SDL_GL_LoadLibrary(nullptr);
    }
    CurrentMessageQueue()->sdl_owner = true;
    return true;
}

ATOM RegisterClassEx(const WNDCLASSEXA* description)
{
    if (!description || !description->lpszClassName || !description->lpfnWndProc || !*description->lpszClassName)
        return 0;
    std::lock_guard lock(g_class_mutex);
    for (const window_class_s& known : g_classes)
        if (SameName(known.name, description->lpszClassName))
            return 0;
    g_classes.push_back({description->lpszClassName, description->lpfnWndProc, description->hCursor});
    return static_cast<ATOM>(0xC000 + g_classes.size());
}

BOOL UnregisterClass(const char* className, HINSTANCE)
{
    std::lock_guard lock(g_class_mutex);
    const auto found = std::find_if(g_classes.begin(), g_classes.end(),
                                    [&](const window_class_s& known) { return SameName(known.name, className); });
    if (found == g_classes.end())
        return 0;
    g_classes.erase(found);
    return 1;
}

HWND CreateWindowEx(DWORD exStyle, const char* className, const char* title, DWORD style, i32 x, i32 y, i32 width,
                    i32 height, HWND parent, HMENU, HINSTANCE, void*)
{
    auto window = std::make_unique<window_s>();
    {
        std::lock_guard lock(g_class_mutex);
        const auto found = std::find_if(g_classes.begin(), g_classes.end(),
                                        [&](const window_class_s& known) { return SameName(known.name, className); });
        if (found == g_classes.end())
            return nullptr;
        window->class_name = found->name;
        window->procedure = found->procedure;
        window->class_cursor = found->cursor;
    }
    if ((style & WS_CHILD) && !IsWindow(parent))
        return nullptr;
    window->style = style;
    window->ex_style = exStyle;
    window->rect = {x, y, x + std::max(width, 0), y + std::max(height, 0)};
    window->queue = CurrentMessageQueue();
    if (style & WS_CHILD) {
        window->parent = parent;
    } else {
        if (!StartSdlVideo())
            return nullptr;
        u32 flags = (style & WS_VISIBLE) ? SDL_WINDOW_SHOWN : SDL_WINDOW_HIDDEN;
        if (style & WS_POPUP)
            flags |= SDL_WINDOW_BORDERLESS;
        if (exStyle & WS_EX_TOPMOST)
            flags |= SDL_WINDOW_ALWAYS_ON_TOP;
        // The renderer makes an OpenGL context on the window; where no OpenGL
        // exists the window still serves the messages.
        window->sdl = SDL_CreateWindow(title ? title : "", x, y, std::max(width, 1), std::max(height, 1),
                                       flags | SDL_WINDOW_OPENGL);
        if (!window->sdl)
            window->sdl = SDL_CreateWindow(title ? title : "", x, y, std::max(width, 1), std::max(height, 1), flags);
        if (!window->sdl)
            return nullptr;
        window->sdl_id = SDL_GetWindowID(window->sdl);
    }
    HWND handle = window.release();
    {
        std::lock_guard lock(Windows().mutex);
        Windows().windows.push_back(handle);
        if (handle->parent)
            handle->parent->children.push_back(handle);
    }
    if (SendMessage(handle, WM_CREATE, 0, 0) == -1) {
        DestroyWindow(handle);
        return nullptr;
    }
    return handle;
}

BOOL IsWindow(HWND window)
{
    std::lock_guard lock(Windows().mutex);
    return IsLive(window) ? 1 : 0;
}

BOOL DestroyWindow(HWND window)
{
    if (!IsWindow(window))
        return 0;
    std::vector<window_s*> children;
    {
        std::lock_guard lock(Windows().mutex);
        children = window->children;
    }
    for (window_s* child : children)
        DestroyWindow(child);
    SendMessage(window, WM_DESTROY, 0, 0);
    {
        std::lock_guard lock(Windows().mutex);
        auto& list = Windows().windows;
        // The procedure may have destroyed the window itself.
        const auto found = std::find(list.begin(), list.end(), window);
        if (found == list.end())
            return 1;
        list.erase(found);
        if (window->parent) {
            auto& siblings = window->parent->children;
            siblings.erase(std::remove(siblings.begin(), siblings.end(), window), siblings.end());
        }
    }
    {
        std::lock_guard lock(g_focus_mutex);
        if (g_focus == window)
            g_focus = nullptr;
    }
    {
        std::lock_guard lock(window->queue->mutex);
        auto& posted = window->queue->posted;
        posted.erase(std::remove_if(posted.begin(), posted.end(), [&](const MSG& m) { return m.hwnd == window; }),
                     posted.end());
    }
    if (window->sdl)
        SDL_DestroyWindow(window->sdl);
    delete window;
    return 1;
}

BOOL ShowWindow(HWND window, i32 command)
{
    if (!IsWindow(window))
        return 0;
    const bool was = (window->style & WS_VISIBLE) != 0;
    if (command == SW_HIDE)
        window->style &= ~WS_VISIBLE;
    else
        window->style |= WS_VISIBLE;
    if (window->sdl) {
        if (command == SW_HIDE)
            SDL_HideWindow(window->sdl);
        else
            SDL_ShowWindow(window->sdl);
    }
    return was ? 1 : 0;
}

BOOL UpdateWindow(HWND window)
{
    return IsWindow(window);
}

BOOL SetForegroundWindow(HWND window)
{
    if (!IsWindow(window))
        return 0;
    HWND top = window;
    while (top->parent)
        top = top->parent;
    if (top->sdl)
        SDL_RaiseWindow(top->sdl);
    return 1;
}

HWND SetFocus(HWND window)
{
    if (window && !IsWindow(window))
        return nullptr;
    std::lock_guard lock(g_focus_mutex);
    HWND previous = g_focus;
    g_focus = window;
    return previous;
}

HWND GetFocus()
{
    std::lock_guard lock(g_focus_mutex);
    return IsWindow(g_focus) ? g_focus : nullptr;
}

BOOL MoveWindow(HWND window, i32 x, i32 y, i32 width, i32 height, BOOL)
{
    if (!IsWindow(window))
        return 0;
    width = std::max(width, 0);
    height = std::max(height, 0);
    const bool resized =
        width != window->rect.right - window->rect.left || height != window->rect.bottom - window->rect.top;
    window->rect = {x, y, x + width, y + height};
    if (window->sdl) {
        SDL_SetWindowPosition(window->sdl, x, y);
        SDL_SetWindowSize(window->sdl, std::max(width, 1), std::max(height, 1));
    }
    if (resized)
        SendMessage(window, WM_SIZE, 0, MAKELPARAM(static_cast<u32>(width), static_cast<u32>(height)));
    return 1;
}

BOOL GetClientRect(HWND window, RECT* rect)
{
    if (!rect || !IsWindow(window))
        return 0;
    *rect = {0, 0, window->rect.right - window->rect.left, window->rect.bottom - window->rect.top};
    return 1;
}

HWND GetParent(HWND window)
{
    return IsWindow(window) ? window->parent : nullptr;
}

i32 GetSystemMetrics(i32 index)
{
    if ((index != SM_CXSCREEN && index != SM_CYSCREEN) || !StartSdlVideo())
        return 0;
    i32 width = 0, height = 0;
    const std::shared_ptr<display_backend_c> display = GetDisplayBackend();
    if (display && display->GetModeSize(width, height))
        return index == SM_CXSCREEN ? width : height;
    SDL_DisplayMode mode;
    if (SDL_GetDesktopDisplayMode(0, &mode) != 0)
        return 0;
    return index == SM_CXSCREEN ? mode.w : mode.h;
}

HCURSOR LoadCursor(HINSTANCE, const char* name)
{
    for (size_t i = 0; i < std::size(kStockCursors); ++i)
        if (kStockCursors[i].name == name)
            return reinterpret_cast<HCURSOR>(i + 1);
    return nullptr;
}

HICON LoadIcon(HINSTANCE, const char* name)
{
    return name == IDI_APPLICATION ? reinterpret_cast<HICON>(1) : nullptr;
}

HCURSOR SetCursor(HCURSOR cursor)
{
    std::lock_guard lock(g_focus_mutex);
    HCURSOR previous = g_cursor;
    g_cursor = cursor;
    ShowCursorOf(cursor);
    return previous;
}

SDL_Window* GetSdlWindow(HWND window)
{
    std::lock_guard lock(Windows().mutex);
    if (!IsLive(window))
        return nullptr;
    while (window->parent)
        window = window->parent;
    return window->sdl;
}
