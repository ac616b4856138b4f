#pragma once
// movie_player_c: plays the intro clips at start-up and the outro clips after
// a mission that asked for them, each in a window of its own over the whole
// screen, and lets the user skip a clip with Escape, Space, Enter or any
// mouse button. Clips are read from disk ("movies/intro%d.avi",
// "movies/outro%d.avi", numbers 1 to 8), never from the archives; missing
// numbers are skipped, so any subset of the eight may exist.
//
// A clip that exists but cannot be played, or that fails while playing, is
// skipped at once: the player never waits for the end of a clip that did not
// start. A quit message that arrives during a clip ends it and stays queued
// for the program's own loop.
//
// Main thread only; the filter graph posts its events to the player window.
#include "platform/dshow/filter_graph.h"
#include "platform/win32/windows.h"

class movie_player_c {
public:
    // Zeroes the object and makes it the process-wide player, the one the
    // player window's procedure reaches.
    void Init();
    // Registers "videoClassName_windowclassname" once and makes the player
    // window over the primary screen: a visible pop-up without a parent, a
    // visible child with one. False when the window cannot be made.
    bool CreateWindow(HINSTANCE _instance, HWND _parent);
    // Plays one clip to its end or until skipped.
    void Play(const char* _file_name);
    // Releases every interface and marks the clip finished.
    void Stop();
    // Sends WM_CLOSE to the player window, which closes even when no clip
    // was played, and shows the arrow cursor.
    void Close();

    // The whole list: Init, CreateWindow, the clips of the pattern (one %d)
    // for 1 to 8, Close.
    static void PlayClips(HINSTANCE _instance, HWND _parent, const char* _pattern);

    HWND GetWindow() const { return window; }
    bool IsFinished() const { return finished != 0; }

private:
    static LRESULT WindowProc(HWND _hwnd, UINT _message, WPARAM _wparam, LPARAM _lparam);
    void HandleGraphEvents();

    IUnknown* unused = nullptr;
    IGraphBuilder* graph = nullptr;
    IMediaControl* control = nullptr;
    IMediaEventEx* events = nullptr;
    IVideoWindow* video = nullptr;
    HWND window = nullptr;
    u8 class_registered = 0;
    u8 finished = 0;
};
