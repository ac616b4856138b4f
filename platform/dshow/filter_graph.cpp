#include "platform/dshow/filter_graph.h"

#include <SDL.h>
#include <SDL_opengl.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <optional>
#include <thread>

#include "platform/dshow/movie_decoder.h"
#include "platform/dshow/movie_sound_output.h"
#include "platform/win32/messages.h"
#include "platform/win32/windows.h"

const CLSID CLSID_FilterGraph = {0x5C3A0002, 0x7E21, 0x4B0D, {0x9A, 0x11, 0x53, 0x6B, 0x79, 0x76, 0x61, 0x02}};
const IID IID_IGraphBuilder = {0x5C3A0003, 0x7E21, 0x4B0D, {0x9A, 0x11, 0x53, 0x6B, 0x79, 0x76, 0x61, 0x03}};
const IID IID_IMediaControl = {0x5C3A0004, 0x7E21, 0x4B0D, {0x9A, 0x11, 0x53, 0x6B, 0x79, 0x76, 0x61, 0x04}};
const IID IID_IMediaEventEx = {0x5C3A0005, 0x7E21, 0x4B0D, {0x9A, 0x11, 0x53, 0x6B, 0x79, 0x76, 0x61, 0x05}};
const IID IID_IVideoWindow = {0x5C3A0006, 0x7E21, 0x4B0D, {0x9A, 0x11, 0x53, 0x6B, 0x79, 0x76, 0x61, 0x06}};

namespace {

using clock_t_ = std::chrono::steady_clock;
using namespace std::chrono_literals;

constexpr const char* kVideoClass = "movie video window";
// Asks the video window, on its thread, to show the newest picture.
constexpr UINT WM_SHOW_PICTURE = WM_USER + 0x3F0;
// Sound queued ahead of what is heard.
constexpr double kSoundAhead = 0.5;

// The path's bytes: the program widens its single-byte names one byte to a
// character, so each character below 256 is a byte; false for another.
bool PathBytes(const wchar_t* _text, std::string& _path)
{
    for (; *_text; ++_text) {
        if (static_cast<u32>(*_text) > 0xFF)
            return false;
        _path += static_cast<char>(*_text);
    }
    return true;
}

// The few OpenGL calls of the picture, fetched from the context's library.
struct gl_s {
    void(APIENTRY* Viewport)(GLint, GLint, GLsizei, GLsizei);
    void(APIENTRY* ClearColor)(GLfloat, GLfloat, GLfloat, GLfloat);
    void(APIENTRY* Clear)(GLbitfield);
    void(APIENTRY* GenTextures)(GLsizei, GLuint*);
    void(APIENTRY* DeleteTextures)(GLsizei, const GLuint*);
    void(APIENTRY* BindTexture)(GLenum, GLuint);
    void(APIENTRY* TexParameteri)(GLenum, GLenum, GLint);
    void(APIENTRY* TexImage2D)(GLenum, GLint, GLint, GLsizei, GLsizei, GLint, GLenum, GLenum, const void*);
    void(APIENTRY* Enable)(GLenum);
    void(APIENTRY* Begin)(GLenum);
    void(APIENTRY* End)();
    void(APIENTRY* TexCoord2f)(GLfloat, GLfloat);
    void(APIENTRY* Vertex2f)(GLfloat, GLfloat);
    void(APIENTRY* PixelStorei)(GLenum, GLint);

    bool Load()
    {
        return Fetch(Viewport, "glViewport") && Fetch(ClearColor, "glClearColor") && Fetch(Clear, "glClear") &&
               Fetch(GenTextures, "glGenTextures") && Fetch(DeleteTextures, "glDeleteTextures") &&
               Fetch(BindTexture, "glBindTexture") && Fetch(TexParameteri, "glTexParameteri") &&
               Fetch(TexImage2D, "glTexImage2D") && Fetch(Enable, "glEnable") && Fetch(Begin, "glBegin") &&
               Fetch(End, "glEnd") && Fetch(TexCoord2f, "glTexCoord2f") && Fetch(Vertex2f, "glVertex2f") &&
               Fetch(PixelStorei, "glPixelStorei");
    }

private:
    template <class call_t>
    static bool Fetch(call_t& call, const char* name)
    {
        call = reinterpret_cast<call_t>(SDL_GL_GetProcAddress(name));
        return call != nullptr;
    }
};

class filter_graph_c;

// What the video window's procedure draws: the newest picture, kept apart
// from the graph so that a message arriving after the graph is gone finds
// nothing to draw.
struct video_screen_s {
    std::mutex mutex;
    std::optional<movie_picture_s> picture;
};

LRESULT VideoWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

class filter_graph_c final : public IGraphBuilder, public IMediaControl, public IMediaEventEx, public IVideoWindow {
public:
    ~filter_graph_c()
    {
        StopPlay();
        DestroyVideoWindow();
    }

    // IUnknown, the same for every face of the object.
    HRESULT QueryInterface(REFIID iid, void** object) override
    {
        if (!object)
            return E_POINTER;
        if (iid == IID_IUnknown || iid == IID_IGraphBuilder)
            *object = static_cast<IGraphBuilder*>(this);
        else if (iid == IID_IMediaControl)
            *object = static_cast<IMediaControl*>(this);
        else if (iid == IID_IMediaEventEx)
            *object = static_cast<IMediaEventEx*>(this);
        else if (iid == IID_IVideoWindow)
            *object = static_cast<IVideoWindow*>(this);
        else {
            *object = nullptr;
            return E_NOINTERFACE;
        }
        AddRef();
        return S_OK;
    }
    ULONG AddRef() override { return ++_references; }
    ULONG Release() override
    {
        const ULONG left = --_references;
        if (left == 0)
            delete this;
        return left;
    }

    HRESULT RenderFile(const wchar_t* file, const wchar_t* playList) override
    {
        if (!file || playList)
            return E_INVALIDARG;
        StopPlay();
        std::string path;
        if (!PathBytes(file, path))
            return E_INVALIDARG;
        try {
            _decoder = std::make_unique<movie_decoder_c>(path);
        } catch (const movie_error_c&) {
            _decoder.reset();
            return VFW_E_CANNOT_RENDER;
        }
        return S_OK;
    }

    HRESULT Run() override
    {
        if (!_decoder)
            return VFW_E_WRONG_STATE;
        if (_player.joinable())
            return S_OK;
        _stopping = false;
        _player = std::thread([this] { Play(); });
        return S_OK;
    }

    HRESULT Stop() override
    {
        StopPlay();
        return S_OK;
    }

    HRESULT SetNotifyWindow(OAHWND window, LONG message, LONG_PTR instance) override
    {
        std::lock_guard lock(_events_mutex);
        _notify_window = reinterpret_cast<HWND>(window);
        _notify_message = static_cast<UINT>(message);
        _notify_instance = instance;
        return S_OK;
    }

    HRESULT GetEvent(LONG* code, LONG_PTR* param1, LONG_PTR* param2, LONG timeout) override
    {
        if (!code || !param1 || !param2)
            return E_POINTER;
        std::unique_lock lock(_events_mutex);
        const auto ready = [&] { return !_events.empty(); };
        if (timeout < 0)
            _events_changed.wait(lock, ready);
        else
            _events_changed.wait_for(lock, std::chrono::milliseconds(timeout), ready);
        if (_events.empty())
            return E_ABORT;
        *code = _events.front();
        *param1 = *param2 = 0;
        _events.pop_front();
        return S_OK;
    }

    HRESULT FreeEventParams(LONG, LONG_PTR, LONG_PTR) override { return S_OK; }

    HRESULT put_Owner(OAHWND owner) override
    {
        DestroyVideoWindow();
        HWND parent = reinterpret_cast<HWND>(owner);
        if (!parent)
            return S_OK;
        if (!IsWindow(parent))
            return E_INVALIDARG;
        static const bool registered = [] {
            WNDCLASSEXA description;
            description.lpfnWndProc = VideoWindowProc;
            description.lpszClassName = kVideoClass;
            return RegisterClassEx(&description) != 0;
        }();
        if (!registered)
            return E_FAIL;
        RECT area;
        GetClientRect(parent, &area);
        _video_window = CreateWindowEx(0, kVideoClass, "", WS_CHILD, 0, 0, area.right, area.bottom, parent, nullptr,
                                       nullptr, nullptr);
        if (!_video_window)
            return E_FAIL;
        Screens().emplace_back(_video_window, _screen);
        return S_OK;
    }

    HRESULT put_WindowStyle(LONG style) override { return (static_cast<u32>(style) & WS_CHILD) ? S_OK : E_INVALIDARG; }

    HRESULT SetWindowPosition(LONG left, LONG top, LONG width, LONG height) override
    {
        return _video_window && MoveWindow(_video_window, left, top, width, height, 1) ? S_OK : VFW_E_NOT_FOUND;
    }

    HRESULT put_Visible(LONG visible) override
    {
        if (!_video_window)
            return VFW_E_NOT_FOUND;
        ShowWindow(_video_window, visible ? SW_SHOW : SW_HIDE);
        return S_OK;
    }

    // The screen a video window draws, or null once its graph let it go.
    static std::shared_ptr<video_screen_s> ScreenOf(HWND window)
    {
        for (const auto& [w, screen] : Screens())
            if (w == window)
                return screen;
        return nullptr;
    }

private:
    static std::vector<std::pair<HWND, std::shared_ptr<video_screen_s>>>& Screens()
    {
        static std::vector<std::pair<HWND, std::shared_ptr<video_screen_s>>> screens;
        return screens;
    }

    void DestroyVideoWindow()
    {
        if (!_video_window)
            return;
        auto& screens = Screens();
        std::erase_if(screens, [&](const auto& entry) { return entry.first == _video_window; });
        DestroyWindow(_video_window);
        _video_window = nullptr;
    }

    void StopPlay()
    {
        {
            std::lock_guard lock(_play_mutex);
            _stopping = true;
        }
        _play_changed.notify_all();
        if (_player.joinable())
            _player.join();
        std::lock_guard lock(_events_mutex);
        _events.clear();
    }

    // Sleeps until the moment, or returns false when play is stopped.
    bool WaitUntil(clock_t_::time_point when)
    {
        std::unique_lock lock(_play_mutex);
        return !_play_changed.wait_until(lock, when, [&] { return _stopping.load(); });
    }

    void Queue(LONG code)
    {
        HWND window;
        UINT message;
        LONG_PTR instance;
        {
            std::lock_guard lock(_events_mutex);
            _events.push_back(code);
            window = _notify_window;
            message = _notify_message;
            instance = _notify_instance;
        }
        _events_changed.notify_all();
        if (window)
            PostMessage(window, message, 0, instance);
    }

    void Play()
    {
        const auto start = clock_t_::now();
        const auto at = [&](double seconds) {
            return start + std::chrono::duration_cast<clock_t_::duration>(std::chrono::duration<double>(seconds));
        };
        std::optional<movie_sound_output_c> sound;
        if (_decoder->HasAudio())
            sound.emplace(_decoder->GetSampleRate(), _decoder->GetChannels());
        movie_picture_s picture;
        movie_sound_s samples;
        double end = 0;
        while (!_stopping && _decoder->Next(picture, samples)) {
            if (!picture.rgba.empty()) {
                if (!WaitUntil(at(picture.time)))
                    return;
                end = std::max(end, picture.time);
                {
                    std::lock_guard lock(_screen->mutex);
                    _screen->picture = std::move(picture);
                }
                if (_video_window)
                    PostMessage(_video_window, WM_SHOW_PICTURE, 0, 0);
                continue;
            }
            const size_t frames = samples.samples.size() / static_cast<size_t>(_decoder->GetChannels());
            end = std::max(end, samples.time + static_cast<double>(frames) / _decoder->GetSampleRate());
            // Sound runs ahead of the clock by a little; the rest waits.
            if (!WaitUntil(at(samples.time - kSoundAhead)))
                return;
            sound->Queue(samples.samples.data(), frames);
        }
        if (_stopping || !WaitUntil(at(end)))
            return;
        // What is still queued is heard before the clip ends.
        while (sound && sound->GetQueued() > 0)
            if (!WaitUntil(clock_t_::now() + 10ms))
                return;
        Queue(EC_COMPLETE);
    }

    std::atomic<ULONG> _references{1};
    std::unique_ptr<movie_decoder_c> _decoder;
    HWND _video_window = nullptr;
    std::shared_ptr<video_screen_s> _screen = std::make_shared<video_screen_s>();

    std::thread _player;
    std::mutex _play_mutex;
    std::condition_variable _play_changed;
    std::atomic<bool> _stopping{false};

    std::mutex _events_mutex;
    std::condition_variable _events_changed;
    std::deque<LONG> _events;
    HWND _notify_window = nullptr;
    UINT _notify_message = 0;
    LONG_PTR _notify_instance = 0;
};

// The picture on the owner's SDL window, scaled to fit with black bars.
class video_drawer_c {
public:
    ~video_drawer_c()
    {
        if (_context)
            SDL_GL_DeleteContext(_context);
    }

    void Draw(HWND window, const movie_picture_s& picture)
    {
        SDL_Window* sdl = GetSdlWindow(window);
        if (!sdl || !MakeCurrent(sdl))
            return;
        RECT area;
        GetClientRect(window, &area);
        const i32 w = area.right, h = area.bottom;
        if (w <= 0 || h <= 0)
            return;
        _gl.Viewport(0, 0, w, h);
        _gl.ClearColor(0, 0, 0, 1);
        _gl.Clear(GL_COLOR_BUFFER_BIT);
        _gl.Enable(GL_TEXTURE_2D);
        _gl.BindTexture(GL_TEXTURE_2D, _texture);
        _gl.PixelStorei(GL_UNPACK_ALIGNMENT, 4);
        _gl.TexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, picture.width, picture.height, 0, GL_RGBA, GL_UNSIGNED_BYTE,
                       picture.rgba.data());
        const float scale = std::min(static_cast<float>(w) / picture.width, static_cast<float>(h) / picture.height);
        const float sx = picture.width * scale / w, sy = picture.height * scale / h;
        _gl.Begin(GL_QUADS);
        _gl.TexCoord2f(0, 1);
        _gl.Vertex2f(-sx, -sy);
        _gl.TexCoord2f(1, 1);
        _gl.Vertex2f(sx, -sy);
        _gl.TexCoord2f(1, 0);
        _gl.Vertex2f(sx, sy);
        _gl.TexCoord2f(0, 0);
        _gl.Vertex2f(-sx, sy);
        _gl.End();
        SDL_GL_SwapWindow(sdl);
    }

private:
    bool MakeCurrent(SDL_Window* sdl)
    {
        if (_failed)
            return false;
        if (!_context) {
            // A context of the old kind, whatever the renderer asked of SDL.
            SDL_GL_ResetAttributes();
            SDL_GL_SetAttribute(SDL_GL_CONTEXT_MAJOR_VERSION, 2);
            SDL_GL_SetAttribute(SDL_GL_CONTEXT_MINOR_VERSION, 1);
            _context = SDL_GL_CreateContext(sdl);
            SDL_GL_ResetAttributes();
            if (!_context || !_gl.Load()) {
                _failed = true;
                return false;
            }
            _gl.GenTextures(1, &_texture);
            _gl.BindTexture(GL_TEXTURE_2D, _texture);
            _gl.TexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
            _gl.TexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
        }
        return SDL_GL_MakeCurrent(sdl, _context) == 0;
    }

    SDL_GLContext _context = nullptr;
    gl_s _gl{};
    GLuint _texture = 0;
    bool _failed = false;
};

std::vector<std::pair<HWND, std::unique_ptr<video_drawer_c>>>& Drawers()
{
    static std::vector<std::pair<HWND, std::unique_ptr<video_drawer_c>>> drawers;
    return drawers;
}

LRESULT VideoWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_SHOW_PICTURE: {
        std::shared_ptr<video_screen_s> screen = filter_graph_c::ScreenOf(window);
        if (!screen)
            return 0;
        std::optional<movie_picture_s> picture;
        {
            std::lock_guard lock(screen->mutex);
            picture.swap(screen->picture);
        }
        if (!picture)
            return 0;
        auto& drawers = Drawers();
        auto found = std::find_if(drawers.begin(), drawers.end(), [&](const auto& d) { return d.first == window; });
        if (found == drawers.end())
            found = drawers.insert(drawers.end(), {window, std::make_unique<video_drawer_c>()});
        found->second->Draw(window, *picture);
        return 0;
    }
    case WM_DESTROY: std::erase_if(Drawers(), [&](const auto& d) { return d.first == window; }); return 0;
    // The owner decides what a click does.
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN:
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN: return SendMessage(GetParent(window), message, wParam, lParam);
    default: return DefWindowProc(window, message, wParam, lParam);
    }
}

} // namespace

HRESULT CreateFilterGraph(REFIID iid, void** object)
{
    auto* graph = new filter_graph_c;
    const HRESULT result = graph->QueryInterface(iid, object);
    graph->Release();
    return result;
}
