#pragma once
// The movie player's filter graph, over FFmpeg: any container and codec
// FFmpeg reads. One object answers for the graph, its media control, its
// media events and its video window.
//
// RenderFile opens the file and its best video and audio streams (either may
// be missing, not both). Run plays from the start on a thread of the graph:
// frames are shown at their times in a child window of the owner given to
// put_Owner, drawn with an OpenGL context of its own on the owner's SDL
// window, so that the player needs no renderer; sound goes to OpenAL through
// a context of the thread's own, beside any other in the program. When the
// clip has been shown and heard to its end (or a damaged part ends it), the
// graph queues EC_COMPLETE and posts the notify message to the notify
// window. The video window passes mouse clicks on it to its owner, which
// keeps the keys by holding the focus.
//
// Time is the machine's own clock, not the program's replaceable one: a
// clip plays in real time whatever a test does with the frame clock. Without
// OpenGL (no display) frames are decoded and timed but not drawn; without an
// audio device the sound is decoded and dropped, the clip taking its length.
#include "platform/dshow/com.h"

using OAHWND = LONG_PTR;
using REFTIME = double;

// Media event codes.
constexpr LONG EC_COMPLETE = 0x01;
constexpr LONG EC_USERABORT = 0x02;
constexpr LONG EC_ERRORABORT = 0x03;

// RenderFile results.
constexpr HRESULT VFW_E_NOT_FOUND = static_cast<HRESULT>(0x80040216);
constexpr HRESULT VFW_E_CANNOT_RENDER = static_cast<HRESULT>(0x80040218);
constexpr HRESULT VFW_E_UNSUPPORTED_STREAM = static_cast<HRESULT>(0x80040265);
constexpr HRESULT VFW_E_WRONG_STATE = static_cast<HRESULT>(0x80040227);

class IGraphBuilder : public IUnknown {
public:
    // Opens the clip; playList must be null. Each character of the name is
    // one byte of the file's path, as single-byte names widen; E_INVALIDARG
    // for a character above 255.
    virtual HRESULT RenderFile(const wchar_t* file, const wchar_t* playList) = 0;

protected:
    ~IGraphBuilder() = default;
};

class IMediaControl : public IUnknown {
public:
    // Starts playing from the beginning; VFW_E_WRONG_STATE before a file.
    virtual HRESULT Run() = 0;
    // Ends play; the clip's events stop coming.
    virtual HRESULT Stop() = 0;

protected:
    ~IMediaControl() = default;
};

class IMediaEventEx : public IUnknown {
public:
    // Each queued event posts message (wParam 0, lParam instance) to window.
    virtual HRESULT SetNotifyWindow(OAHWND window, LONG message, LONG_PTR instance) = 0;
    // Takes the next event; E_ABORT when none comes within timeout ms.
    virtual HRESULT GetEvent(LONG* code, LONG_PTR* param1, LONG_PTR* param2, LONG timeout) = 0;
    virtual HRESULT FreeEventParams(LONG code, LONG_PTR param1, LONG_PTR param2) = 0;

protected:
    ~IMediaEventEx() = default;
};

class IVideoWindow : public IUnknown {
public:
    // The video window becomes a child of window (made on the caller's
    // thread, which must own window and dispatch its messages).
    virtual HRESULT put_Owner(OAHWND window) = 0;
    // WS_CHILD is required; the clipping styles have no effect.
    virtual HRESULT put_WindowStyle(LONG style) = 0;
    virtual HRESULT SetWindowPosition(LONG left, LONG top, LONG width, LONG height) = 0;
    virtual HRESULT put_Visible(LONG visible) = 0;

protected:
    ~IVideoWindow() = default;
};

extern const CLSID CLSID_FilterGraph;
extern const IID IID_IGraphBuilder;
extern const IID IID_IMediaControl;
extern const IID IID_IMediaEventEx;
extern const IID IID_IVideoWindow;

// OATRUE and OAFALSE of put_Visible.
constexpr LONG OATRUE = -1;
constexpr LONG OAFALSE = 0;
