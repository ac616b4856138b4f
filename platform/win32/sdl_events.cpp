#include "platform/win32/sdl_events.h"

#include <algorithm>

#include "platform/win32/messages.h"
#include "platform/win32/performance_counter.h"
#include "platform/win32/window_object.h"

namespace {

struct key_s {
    SDL_Scancode scancode;
    WPARAM key;
};

// Keys by their place on the keyboard; letters and digits follow the layout.
constexpr key_s kKeys[] = {
    {SDL_SCANCODE_BACKSPACE, VK_BACK},
    {SDL_SCANCODE_TAB, VK_TAB},
    {SDL_SCANCODE_CLEAR, VK_CLEAR},
    {SDL_SCANCODE_RETURN, VK_RETURN},
    {SDL_SCANCODE_KP_ENTER, VK_RETURN},
    {SDL_SCANCODE_LSHIFT, VK_SHIFT},
    {SDL_SCANCODE_RSHIFT, VK_SHIFT},
    {SDL_SCANCODE_LCTRL, VK_CONTROL},
    {SDL_SCANCODE_RCTRL, VK_CONTROL},
    {SDL_SCANCODE_LALT, VK_MENU},
    {SDL_SCANCODE_RALT, VK_MENU},
    {SDL_SCANCODE_PAUSE, VK_PAUSE},
    {SDL_SCANCODE_CAPSLOCK, VK_CAPITAL},
    {SDL_SCANCODE_ESCAPE, VK_ESCAPE},
    {SDL_SCANCODE_SPACE, VK_SPACE},
    {SDL_SCANCODE_PAGEUP, VK_PRIOR},
    {SDL_SCANCODE_PAGEDOWN, VK_NEXT},
    {SDL_SCANCODE_END, VK_END},
    {SDL_SCANCODE_HOME, VK_HOME},
    {SDL_SCANCODE_LEFT, VK_LEFT},
    {SDL_SCANCODE_UP, VK_UP},
    {SDL_SCANCODE_RIGHT, VK_RIGHT},
    {SDL_SCANCODE_DOWN, VK_DOWN},
    {SDL_SCANCODE_PRINTSCREEN, VK_SNAPSHOT},
    {SDL_SCANCODE_INSERT, VK_INSERT},
    {SDL_SCANCODE_DELETE, VK_DELETE},
    {SDL_SCANCODE_LGUI, VK_LWIN},
    {SDL_SCANCODE_RGUI, VK_RWIN},
    {SDL_SCANCODE_APPLICATION, VK_APPS},
    {SDL_SCANCODE_KP_0, VK_NUMPAD0},
    {SDL_SCANCODE_KP_1, VK_NUMPAD0 + 1},
    {SDL_SCANCODE_KP_2, VK_NUMPAD0 + 2},
    {SDL_SCANCODE_KP_3, VK_NUMPAD0 + 3},
    {SDL_SCANCODE_KP_4, VK_NUMPAD0 + 4},
    {SDL_SCANCODE_KP_5, VK_NUMPAD0 + 5},
    {SDL_SCANCODE_KP_6, VK_NUMPAD0 + 6},
    {SDL_SCANCODE_KP_7, VK_NUMPAD0 + 7},
    {SDL_SCANCODE_KP_8, VK_NUMPAD0 + 8},
    {SDL_SCANCODE_KP_9, VK_NUMPAD0 + 9},
    {SDL_SCANCODE_KP_MULTIPLY, VK_MULTIPLY},
    {SDL_SCANCODE_KP_PLUS, VK_ADD},
    {SDL_SCANCODE_KP_MINUS, VK_SUBTRACT},
    {SDL_SCANCODE_KP_PERIOD, VK_DECIMAL},
    {SDL_SCANCODE_KP_DIVIDE, VK_DIVIDE},
    {SDL_SCANCODE_NUMLOCKCLEAR, VK_NUMLOCK},
    {SDL_SCANCODE_SCROLLLOCK, VK_SCROLL},
    {SDL_SCANCODE_SEMICOLON, VK_OEM_1},
    {SDL_SCANCODE_EQUALS, VK_OEM_PLUS},
    {SDL_SCANCODE_COMMA, VK_OEM_COMMA},
    {SDL_SCANCODE_MINUS, VK_OEM_MINUS},
    {SDL_SCANCODE_PERIOD, VK_OEM_PERIOD},
    {SDL_SCANCODE_SLASH, VK_OEM_2},
    {SDL_SCANCODE_GRAVE, VK_OEM_3},
    {SDL_SCANCODE_LEFTBRACKET, VK_OEM_4},
    {SDL_SCANCODE_BACKSLASH, VK_OEM_5},
    {SDL_SCANCODE_RIGHTBRACKET, VK_OEM_6},
    {SDL_SCANCODE_APOSTROPHE, VK_OEM_7},
};

std::function<void(const SDL_Event&)>& Observer()
{
    static std::function<void(const SDL_Event&)> observer;
    return observer;
}

HWND FocusWithin(HWND top)
{
    HWND focus = GetFocus();
    for (HWND w = focus; w; w = GetParent(w))
        if (w == top)
            return focus;
    return top;
}

// The deepest visible child under the point (client coordinates of top),
// with the point made relative to it.
HWND WindowAt(HWND top, i32& x, i32& y)
{
    std::lock_guard lock(Windows().mutex);
    HWND at = top;
    for (bool deeper = true; deeper;) {
        deeper = false;
        for (auto it = at->children.rbegin(); it != at->children.rend(); ++it) {
            const RECT& r = (*it)->rect;
            if (((*it)->style & WS_VISIBLE) && x >= r.left && x < r.right && y >= r.top && y < r.bottom) {
                x -= r.left;
                y -= r.top;
                at = *it;
                deeper = true;
                break;
            }
        }
    }
    return at;
}

WPARAM MouseFlags(u32 buttons)
{
    const SDL_Keymod mod = SDL_GetModState();
    WPARAM flags = 0;
    if (buttons & SDL_BUTTON_LMASK)
        flags |= MK_LBUTTON;
    if (buttons & SDL_BUTTON_RMASK)
        flags |= MK_RBUTTON;
    if (buttons & SDL_BUTTON_MMASK)
        flags |= MK_MBUTTON;
    if (mod & KMOD_SHIFT)
        flags |= MK_SHIFT;
    if (mod & KMOD_CTRL)
        flags |= MK_CONTROL;
    return flags;
}

LPARAM Point(i32 x, i32 y)
{
    return MAKELPARAM(static_cast<u32>(x), static_cast<u32>(y));
}

// Code points of UTF-8 text; malformed bytes end it.
std::vector<u32> CodePoints(const char* text)
{
    std::vector<u32> out;
    const auto* p = reinterpret_cast<const unsigned char*>(text);
    while (*p) {
        const int length = *p < 0x80 ? 1 : (*p >> 5) == 6 ? 2 : (*p >> 4) == 14 ? 3 : (*p >> 3) == 30 ? 4 : 0;
        if (length == 0)
            break;
        u32 code = length == 1 ? *p : *p & (0x7F >> length);
        for (int i = 1; i < length; ++i) {
            if ((p[i] & 0xC0) != 0x80)
                return out;
            code = (code << 6) | (p[i] & 0x3F);
        }
        out.push_back(code);
        p += length;
    }
    return out;
}

void KeyMessages(const SDL_KeyboardEvent& key, std::vector<MSG>& out)
{
    HWND top = WindowOfSdlId(key.windowID);
    const WPARAM code = VirtualKeyOfSdl(key.keysym);
    if (!top || code == 0)
        return;
    const bool down = key.type == SDL_KEYDOWN;
    const bool alt = (key.keysym.mod & KMOD_ALT) != 0 || code == VK_MENU;
    // F10 is the system's menu key, a system key even without Alt.
    const bool system = alt || code == VK_F1 + 9;
    u32 bits = 1;
    if (alt)
        bits |= 1u << 29;
    if (!down || key.repeat)
        bits |= 1u << 30;
    if (!down)
        bits |= 1u << 31;
    const UINT message = down ? (system ? WM_SYSKEYDOWN : WM_KEYDOWN) : (system ? WM_SYSKEYUP : WM_KEYUP);
    out.push_back({FocusWithin(top), message, code, static_cast<LPARAM>(bits), GetTickCount(), {}});
}

} // namespace

WPARAM VirtualKeyOfSdl(const SDL_Keysym& key)
{
    if (key.sym >= SDLK_a && key.sym <= SDLK_z)
        return static_cast<WPARAM>('A' + (key.sym - SDLK_a));
    if (key.sym >= SDLK_0 && key.sym <= SDLK_9)
        return static_cast<WPARAM>(key.sym);
    if (key.scancode >= SDL_SCANCODE_F1 && key.scancode <= SDL_SCANCODE_F12)
        return VK_F1 + (key.scancode - SDL_SCANCODE_F1);
    if (key.scancode >= SDL_SCANCODE_F13 && key.scancode <= SDL_SCANCODE_F24)
        return VK_F1 + 12 + (key.scancode - SDL_SCANCODE_F13);
    // Letters and digits of another layout's place still have their codes.
    if (key.scancode >= SDL_SCANCODE_A && key.scancode <= SDL_SCANCODE_Z)
        return static_cast<WPARAM>('A' + (key.scancode - SDL_SCANCODE_A));
    if (key.scancode >= SDL_SCANCODE_1 && key.scancode <= SDL_SCANCODE_9)
        return static_cast<WPARAM>('1' + (key.scancode - SDL_SCANCODE_1));
    if (key.scancode == SDL_SCANCODE_0)
        return '0';
    for (const key_s& k : kKeys)
        if (k.scancode == key.scancode)
            return k.key;
    return 0;
}

std::vector<MSG> MessagesOfSdlEvent(const SDL_Event& event)
{
    std::vector<MSG> out;
    const DWORD now = GetTickCount();
    switch (event.type) {
    case SDL_KEYDOWN:
    case SDL_KEYUP: KeyMessages(event.key, out); break;
    case SDL_TEXTINPUT: {
        HWND top = WindowOfSdlId(event.text.windowID);
        if (!top)
            break;
        const bool alt = (SDL_GetModState() & KMOD_ALT) != 0;
        for (u32 code : CodePoints(event.text.text))
            if (code > 0 && code < 256)
                out.push_back({FocusWithin(top), alt ? WM_SYSCHAR : WM_CHAR, code, 1, now, {}});
        break;
    }
    case SDL_MOUSEMOTION: {
        HWND top = WindowOfSdlId(event.motion.windowID);
        if (!top)
            break;
        i32 x = event.motion.x, y = event.motion.y;
        HWND at = WindowAt(top, x, y);
        out.push_back({at, WM_SETCURSOR, reinterpret_cast<WPARAM>(at), MAKELPARAM(1, WM_MOUSEMOVE), now, {}});
        out.push_back({at, WM_MOUSEMOVE, MouseFlags(event.motion.state), Point(x, y), now, {}});
        break;
    }
    case SDL_MOUSEBUTTONDOWN:
    case SDL_MOUSEBUTTONUP: {
        HWND top = WindowOfSdlId(event.button.windowID);
        if (!top)
            break;
        const bool down = event.type == SDL_MOUSEBUTTONDOWN;
        UINT message = 0;
        switch (event.button.button) {
        case SDL_BUTTON_LEFT: message = down ? WM_LBUTTONDOWN : WM_LBUTTONUP; break;
        case SDL_BUTTON_RIGHT: message = down ? WM_RBUTTONDOWN : WM_RBUTTONUP; break;
        case SDL_BUTTON_MIDDLE: message = down ? WM_MBUTTONDOWN : WM_MBUTTONUP; break;
        default: return out;
        }
        i32 x = event.button.x, y = event.button.y;
        HWND at = WindowAt(top, x, y);
        out.push_back({at, message, MouseFlags(SDL_GetMouseState(nullptr, nullptr)), Point(x, y), now, {}});
        break;
    }
    case SDL_MOUSEWHEEL: {
        HWND top = WindowOfSdlId(event.wheel.windowID);
        if (!top || event.wheel.y == 0)
            break;
        i32 x = 0, y = 0;
        const u32 buttons = SDL_GetMouseState(&x, &y);
        const i32 delta = (event.wheel.direction == SDL_MOUSEWHEEL_FLIPPED ? -1 : 1) * event.wheel.y * WHEEL_DELTA;
        // The wheel message carries screen coordinates.
        const LPARAM where = Point(x + top->rect.left, y + top->rect.top);
        out.push_back({FocusWithin(top),
                       WM_MOUSEWHEEL,
                       (MouseFlags(buttons) & 0xFFFF) | (static_cast<WPARAM>(static_cast<u16>(delta)) << 16),
                       where,
                       now,
                       {}});
        break;
    }
    case SDL_WINDOWEVENT: {
        HWND top = WindowOfSdlId(event.window.windowID);
        if (!top)
            break;
        switch (event.window.event) {
        case SDL_WINDOWEVENT_FOCUS_GAINED: out.push_back({top, WM_ACTIVATEAPP, 1, 0, now, {}}); break;
        case SDL_WINDOWEVENT_FOCUS_LOST: out.push_back({top, WM_ACTIVATEAPP, 0, 0, now, {}}); break;
        case SDL_WINDOWEVENT_CLOSE: out.push_back({top, WM_CLOSE, 0, 0, now, {}}); break;
        case SDL_WINDOWEVENT_SIZE_CHANGED: {
            const i32 w = event.window.data1, h = event.window.data2;
            if (w == top->rect.right - top->rect.left && h == top->rect.bottom - top->rect.top)
                break;
            top->rect.right = top->rect.left + w;
            top->rect.bottom = top->rect.top + h;
            out.push_back({top, WM_SIZE, 0, Point(w, h), now, {}});
            break;
        }
        default: break;
        }
        break;
    }
    case SDL_QUIT: {
        // The desktop's end of session, or SIGINT or SIGTERM: every top-level
        // window is asked to close, so the program ends as through its own
        // close.
        std::lock_guard lock(Windows().mutex);
        for (window_s* window : Windows().windows)
            if (window->sdl && !window->parent)
                out.push_back({window, WM_CLOSE, 0, 0, now, {}});
        break;
    }
    default: break;
    }
    return out;
}

void SetSdlInputObserver(std::function<void(const SDL_Event&)> observer)
{
    Observer() = std::move(observer);
}

void ObserveSdlInput(const SDL_Event& event)
{
    switch (event.type) {
    case SDL_KEYDOWN:
    case SDL_KEYUP:
    case SDL_TEXTINPUT:
    case SDL_MOUSEMOTION:
    case SDL_MOUSEBUTTONDOWN:
    case SDL_MOUSEBUTTONUP:
    case SDL_MOUSEWHEEL:
        if (Observer())
            Observer()(event);
        break;
    case SDL_WINDOWEVENT:
        // A key released while another window has the focus never comes
        // back as a release; the observer drops what it holds.
        if (event.window.event == SDL_WINDOWEVENT_FOCUS_LOST && Observer())
            Observer()(event);
        break;
    default: break;
    }
}
