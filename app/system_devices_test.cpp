#include "app/device_factory.h"

#include <gtest/gtest.h>

#include "app/message/net_session.h"
#include "input/controllers.h"
#include "platform/d3d9/record_config.h"
#include "platform/win32/messages.h"
#include "platform/win32/windows.h"
#include "render_d3d9/d3d_error.h"
#include "render_d3d9/renderer.h"
#include "platform/dinput8/script_input.h"
#include "platform/win32/testing/temporary_config_home.h"

namespace {

TEST(SystemDevices, DesktopSizeComesFromTheDisplay)
{
    system_devices_c devices;
    i32 width = 0, height = 0;
    devices.GetDesktopSize(width, height);
    EXPECT_GT(width, 0);
    EXPECT_GT(height, 0);
}

TEST(SystemDevices, InputLinkDrivesTheControllers)
{
    temporary_config_home_c home;
    script_input_c input;
    script_input_scope_c scope{input};
    system_devices_c devices;
    std::unique_ptr<input_link_c> link = devices.CreateInput(nullptr);
    ASSERT_NE(link->GetControllers(), nullptr);
    // Mouse speed 0.5 in the options is a divisor of 950.
    link->SetMouseSensitivity(950.0f);
    EXPECT_EQ(link->GetControllers()->GetMouseDivisor(), 950.0f);
    EXPECT_FALSE(link->LoadFromRegistry("Kestrova", "Skyvarn", "controllers", 1)) << "nothing stored yet";
}

TEST(SystemDevices, RendererNeedsADirect3DBackend)
{
    system_devices_c devices;
    const display_mode_s desktop{0, 0, 0, 0};
    EXPECT_THROW(devices.CreateRenderer(nullptr, &desktop), d3d_error_c);

    record_config_c config;
    InstallRecordBackend(config);
    WNDCLASSEXA description;
    description.lpfnWndProc = DefWindowProc;
    description.lpszClassName = "renderer test";
    RegisterClassEx(&description);
    HWND window = CreateWindowEx(0, "renderer test", "", WS_POPUP, 0, 0, 320, 240, nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(window, nullptr);
    {
        std::unique_ptr<renderer_c> renderer = devices.CreateRenderer(window, &desktop);
        ASSERT_NE(renderer, nullptr);
        EXPECT_EQ(static_cast<d3d_renderer_c*>(renderer.get())->GetFlags(), 2u) << "a stencil, nothing else";
    }
    DestroyWindow(window);
    RemoveRecordBackend();
}

TEST(SystemDevices, NetworkManagerIsReadyToHost)
{
    system_devices_c devices;
    std::unique_ptr<net_session_c> manager = devices.CreateNetManager(nullptr, nullptr);
    ASSERT_NE(manager, nullptr);
    // Not in a session: no id of its own yet, and nothing to send to.
    EXPECT_EQ(manager->GetLocalId(), 0);
}

} // namespace
