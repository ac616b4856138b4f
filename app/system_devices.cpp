#include <stdexcept>

#include "app/device_factory.h"
#include "app/movie_player.h"
#include "app/message/net_session.h"
#include "audio/a3d_device.h"
#include "engine/renderer.h"
#include "input/controllers.h"
#include "net/game_net_manager.h"
#include "render_d3d9/renderer.h"

void system_devices_c::GetDesktopSize(i32& _width, i32& _height)
{
    _width = GetSystemMetrics(SM_CXSCREEN);
    _height = GetSystemMetrics(SM_CYSCREEN);
    if (_width <= 0 || _height <= 0)
        throw std::runtime_error("No display to show the game on!");
}

std::unique_ptr<renderer_c> system_devices_c::CreateRenderer(HWND _hwnd, const display_mode_s* _mode)
{
    // A stencil buffer is required, nothing else.
    static const u32 flags = 2;
    return std::make_unique<d3d_fullscreen_renderer_c>(_hwnd, &flags, _mode);
}

std::unique_ptr<sound_system_c> system_devices_c::CreateSoundDevice(HWND _hwnd)
{
    // No limit of hardware sources, no fallback channel count, a listener.
    return std::make_unique<a3d_device_c>(_hwnd, -1, -1, sound_flag_3d);
}

namespace {

// The input layer as the application drives it at start-up.
class controllers_link_c : public input_link_c {
public:
    explicit controllers_link_c(HWND _hwnd) : controllers(_hwnd) {}

    bool LoadFromRegistry(const char* _company, const char* _product, const char* _value, u32 _version) override
    {
        return controllers.LoadFromRegistry(_company, _product, _value, _version);
    }
    void LoadFromFile(const char* _file_name) override { controllers.LoadFromFile(_file_name); }
    void SaveToRegistry(const char* _company, const char* _product, const char* _value, u32 _version) override
    {
        controllers.SaveToRegistry(_company, _product, _value, _version);
    }
    // The options give the divisor itself.
    void SetMouseSensitivity(f32 _sensitivity) override { controllers.SetMouseDivisor(_sensitivity); }
    controllers_c* GetControllers() override { return &controllers; }

private:
    controllers_c controllers;
};

} // namespace

std::unique_ptr<input_link_c> system_devices_c::CreateInput(HWND _hwnd)
{
    return std::make_unique<controllers_link_c>(_hwnd);
}

std::unique_ptr<net_session_c> system_devices_c::CreateNetManager(net_message_callback_t _callback, void* _context)
{
    auto manager = std::make_unique<GameNetManager>();
    manager->Init(1);
    manager->SetMessageCallback(_callback, _context);
    return manager;
}

void system_devices_c::PlayOutro(HWND _hwnd)
{
    movie_player_c::PlayClips(nullptr, _hwnd, "movies/outro%d.avi");
    SetForegroundWindow(_hwnd);
    SetFocus(_hwnd);
}
