#pragma once
// What a window handle points to, and the per-thread message queue, shared by
// the window, message and SDL event parts of the layer. Not for the game.
#include <condition_variable>
#include <deque>
#include <future>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "platform/win32/windows.h"

// A SendMessage from another thread, answered by the owner's queue.
struct sent_message_s {
    MSG message;
    std::promise<LRESULT> result;
};

struct message_queue_s {
    std::mutex mutex;
    std::condition_variable changed;
    std::deque<MSG> posted;
    std::deque<std::shared_ptr<sent_message_s>> sent;
    bool quit = false;
    i32 quit_code = 0;
    // The thread made SDL windows: it pumps SDL's events and waits on them.
    bool sdl_owner = false;
    std::thread::id thread;
};

// The calling thread's queue, made on first use.
const std::shared_ptr<message_queue_s>& CurrentMessageQueue();
// Wakes the queue's thread if it waits on SDL's events rather than on the
// queue's condition.
void WakeMessageQueue(message_queue_s& queue);

struct window_s {
    std::string class_name;
    WNDPROC procedure = nullptr;
    HCURSOR class_cursor = nullptr;
    DWORD style = 0;
    DWORD ex_style = 0;
    RECT rect; // in the parent's space; the desktop's for a top-level window
    window_s* parent = nullptr;
    std::vector<window_s*> children;
    SDL_Window* sdl = nullptr; // top-level windows only
    u32 sdl_id = 0;
    std::shared_ptr<message_queue_s> queue;
};

// Every live window, under one lock; a handle not in it is not a window.
struct window_list_s {
    std::mutex mutex;
    std::vector<window_s*> windows;
};
window_list_s& Windows();
// The live window's queue, or null (with the list's lock taken inside).
std::shared_ptr<message_queue_s> QueueOfWindow(HWND window);
// The live top-level window shown by an SDL window id, or null.
HWND WindowOfSdlId(u32 id);
// Calls the procedure if the window is live.
LRESULT CallWindowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
// Starts SDL's video subsystem if needed, for the calling thread; false
// without a display.
bool StartSdlVideo();
