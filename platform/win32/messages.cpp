#include "platform/win32/messages.h"

#include <SDL.h>

#include <chrono>

#include "platform/win32/performance_counter.h"
#include "platform/win32/sdl_events.h"
#include "platform/win32/window_object.h"

namespace {

using namespace std::chrono_literals;

// Posted to SDL's queue to wake a thread that waits on it; never a message.
u32 WakeEventType()
{
    static const u32 type = SDL_RegisterEvents(1);
    return type;
}

bool InRange(UINT message, UINT first, UINT last)
{
    return (first == 0 && last == 0) || (message >= first && message <= last);
}

bool Matches(const MSG& message, HWND window, UINT first, UINT last)
{
    return (!window || message.hwnd == window) && InRange(message.message, first, last);
}

// SDL's waiting events join the queue; WM_SETCURSOR is sent, as the system
// sends it, before the motion it belongs to.
void PumpSdlEvents(message_queue_s& queue)
{
    if (!queue.sdl_owner || !SDL_WasInit(SDL_INIT_VIDEO))
        return;
    SDL_Event event;
    while (SDL_PollEvent(&event)) {
        if (event.type == WakeEventType())
            continue;
        ObserveSdlInput(event);
        for (const MSG& message : MessagesOfSdlEvent(event)) {
            if (message.message == WM_SETCURSOR) {
                SendMessage(message.hwnd, message.message, message.wParam, message.lParam);
                continue;
            }
            std::lock_guard lock(queue.mutex);
            queue.posted.push_back(message);
        }
    }
}

// Answers SendMessage calls of other threads; true when it answered one.
bool AnswerSentMessages(message_queue_s& queue)
{
    bool answered = false;
    for (;;) {
        std::shared_ptr<sent_message_s> sent;
        {
            std::lock_guard lock(queue.mutex);
            if (queue.sent.empty())
                return answered;
            sent = queue.sent.front();
            queue.sent.pop_front();
        }
        const MSG& m = sent->message;
        sent->result.set_value(CallWindowProcedure(m.hwnd, m.message, m.wParam, m.lParam));
        answered = true;
    }
}

// Takes (or, without remove, copies) the first matching message; WM_QUIT
// comes when nothing posted is left.
bool TakeMessage(message_queue_s& queue, MSG* out, HWND window, UINT first, UINT last, bool remove)
{
    std::lock_guard lock(queue.mutex);
    for (auto it = queue.posted.begin(); it != queue.posted.end(); ++it) {
        if (!Matches(*it, window, first, last))
            continue;
        *out = *it;
        if (remove)
            queue.posted.erase(it);
        return true;
    }
    if (queue.quit && InRange(WM_QUIT, first, last)) {
        *out = MSG{nullptr, WM_QUIT, static_cast<WPARAM>(queue.quit_code), 0, GetTickCount(), {}};
        if (remove)
            queue.quit = false;
        return true;
    }
    return false;
}

// Blocks until something may have arrived: a posted or sent message, or an
// SDL event for the thread that made the windows.
void WaitForArrival(message_queue_s& queue)
{
    if (queue.sdl_owner && SDL_WasInit(SDL_INIT_VIDEO)) {
        {
            std::lock_guard lock(queue.mutex);
            if (!queue.posted.empty() || !queue.sent.empty() || queue.quit)
                return;
        }
        // A post from another thread pushes a wake event; the limit only
        // bounds the wait should a wake be missed.
        SDL_WaitEventTimeout(nullptr, 100);
        return;
    }
    std::unique_lock lock(queue.mutex);
    queue.changed.wait_for(lock, 100ms, [&] { return !queue.posted.empty() || !queue.sent.empty() || queue.quit; });
}

} // namespace

const std::shared_ptr<message_queue_s>& CurrentMessageQueue()
{
    thread_local const std::shared_ptr<message_queue_s> queue = [] {
        auto made = std::make_shared<message_queue_s>();
        made->thread = std::this_thread::get_id();
        return made;
    }();
    return queue;
}

void WakeMessageQueue(message_queue_s& queue)
{
    queue.changed.notify_all();
    if (queue.sdl_owner && queue.thread != std::this_thread::get_id() && SDL_WasInit(SDL_INIT_VIDEO)) {
        SDL_Event wake{};
        wake.type = WakeEventType();
        SDL_PushEvent(&wake);
    }
}

BOOL PeekMessage(MSG* message, HWND window, UINT first, UINT last, UINT remove)
{
    message_queue_s& queue = *CurrentMessageQueue();
    AnswerSentMessages(queue);
    PumpSdlEvents(queue);
    return TakeMessage(queue, message, window, first, last, (remove & PM_REMOVE) != 0) ? 1 : 0;
}

BOOL GetMessage(MSG* message, HWND window, UINT first, UINT last)
{
    if (window && !IsWindow(window))
        return -1;
    message_queue_s& queue = *CurrentMessageQueue();
    for (;;) {
        AnswerSentMessages(queue);
        PumpSdlEvents(queue);
        if (TakeMessage(queue, message, window, first, last, true))
            return message->message == WM_QUIT ? 0 : 1;
        if (window && !IsWindow(window))
            return -1;
        WaitForArrival(queue);
    }
}

BOOL WaitMessage()
{
    message_queue_s& queue = *CurrentMessageQueue();
    for (;;) {
        if (AnswerSentMessages(queue))
            return 1;
        PumpSdlEvents(queue);
        {
            std::lock_guard lock(queue.mutex);
            if (!queue.posted.empty() || queue.quit)
                return 1;
        }
        WaitForArrival(queue);
    }
}

BOOL PostMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    std::shared_ptr<message_queue_s> queue = window ? QueueOfWindow(window) : CurrentMessageQueue();
    if (!queue)
        return 0;
    {
        std::lock_guard lock(queue->mutex);
        queue->posted.push_back({window, message, wParam, lParam, GetTickCount(), {}});
    }
    WakeMessageQueue(*queue);
    return 1;
}

LRESULT SendMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    std::shared_ptr<message_queue_s> queue = QueueOfWindow(window);
    if (!queue)
        return 0;
    if (queue->thread == std::this_thread::get_id())
        return CallWindowProcedure(window, message, wParam, lParam);
    auto sent = std::make_shared<sent_message_s>();
    sent->message = {window, message, wParam, lParam, GetTickCount(), {}};
    std::future<LRESULT> result = sent->result.get_future();
    {
        std::lock_guard lock(queue->mutex);
        queue->sent.push_back(sent);
    }
    WakeMessageQueue(*queue);
    // A window destroyed before its thread answered answers 0.
    while (result.wait_for(50ms) != std::future_status::ready)
        if (!IsWindow(window)) {
            std::lock_guard lock(queue->mutex);
            for (auto it = queue->sent.begin(); it != queue->sent.end(); ++it)
                if (*it == sent) {
                    queue->sent.erase(it);
                    return 0;
                }
        }
    return result.get();
}

void PostQuitMessage(i32 exitCode)
{
    message_queue_s& queue = *CurrentMessageQueue();
    {
        std::lock_guard lock(queue.mutex);
        queue.quit = true;
        queue.quit_code = exitCode;
    }
    queue.changed.notify_all();
}

BOOL TranslateMessage(const MSG* message)
{
    if (!message || (message->message != WM_KEYDOWN && message->message != WM_SYSKEYDOWN))
        return 0;
    WPARAM character = 0;
    switch (message->wParam) {
    case VK_RETURN: character = '\r'; break;
    case VK_BACK: character = '\b'; break;
    case VK_TAB: character = '\t'; break;
    case VK_ESCAPE: character = 0x1B; break;
    default: return 0;
    }
    std::shared_ptr<message_queue_s> queue = QueueOfWindow(message->hwnd);
    if (!queue)
        return 0;
    std::lock_guard lock(queue->mutex);
    // The character comes next, before anything queued after its key.
    queue->posted.push_front({message->hwnd, message->message == WM_KEYDOWN ? WM_CHAR : WM_SYSCHAR, character,
                              message->lParam, message->time, message->pt});
    return 1;
}

LRESULT DispatchMessage(const MSG* message)
{
    if (!message || !message->hwnd)
        return 0;
    return CallWindowProcedure(message->hwnd, message->message, message->wParam, message->lParam);
}

LRESULT DefWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_CLOSE: DestroyWindow(window); return 0;
    case WM_SETCURSOR:
        if (IsWindow(window) && window->class_cursor) {
            SetCursor(window->class_cursor);
            return 1;
        }
        return 0;
    case WM_SYSKEYDOWN:
        if (wParam == VK_F1 + 3 && (static_cast<u32>(lParam) & (1u << 29)))
            PostMessage(window, WM_CLOSE, 0, 0);
        return 0;
    default: return 0;
    }
}

HRESULT CoInitialize(void*)
{
    return S_OK;
}

void CoUninitialize() {}
