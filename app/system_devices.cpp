#include <stdexcept>

#include "app/device_factory.h"
#include "app/message/net_session.h"
#include "audio/a3d_device.h"
#include "engine/renderer.h"

void system_devices_c::GetDesktopSize(i32&, i32&)
{
    throw std::runtime_error("The desktop size needs the window layer, which is not built yet!");
}

std::unique_ptr<renderer_c> system_devices_c::CreateRenderer(HWND, const display_mode_s*)
{
    throw std::runtime_error("The full-screen renderer is not built yet!");
}

std::unique_ptr<sound_system_c> system_devices_c::CreateSoundDevice(HWND _hwnd)
{
    // No limit of hardware sources, no fallback channel count, a listener.
    return std::make_unique<a3d_device_c>(_hwnd, -1, -1, sound_flag_3d);
}

std::unique_ptr<input_link_c> system_devices_c::CreateInput(HWND)
{
    throw std::runtime_error("The input layer is not built yet!");
}

std::unique_ptr<net_session_c> system_devices_c::CreateNetManager(net_message_callback_t, void*)
{
    throw std::runtime_error("The network manager is not built yet!");
}

void system_devices_c::PlayOutro(HWND)
{
    throw std::runtime_error("The movie player is not built yet!");
}
