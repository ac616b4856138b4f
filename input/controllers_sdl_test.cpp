// The whole path from SDL's events and joysticks to the actions.
#include "input/controllers.h"

#include <gtest/gtest.h>

#include <SDL2/SDL.h>

#include "input/testing/bindings.h"
#include "platform/dinput8/sdl_input.h"
#include "platform/dinput8/testing/sdl_events.h"
#include "platform/win32/sdl_events.h"

namespace {

class SdlControllersTest : public testing::Test {
protected:
    SdlControllersTest()
    {
        video = SDL_InitSubSystem(SDL_INIT_VIDEO) == 0;
        joysticks = SDL_InitSubSystem(SDL_INIT_JOYSTICK) == 0;
        sdl_input_backend_c::Get().Clear();
    }
    ~SdlControllersTest() override
    {
        sdl_input_backend_c::Get().Clear();
        if (joysticks)
            SDL_QuitSubSystem(SDL_INIT_JOYSTICK);
        if (video)
            SDL_QuitSubSystem(SDL_INIT_VIDEO);
    }

    bool video = false;
    bool joysticks = false;
};

TEST_F(SdlControllersTest, KeysAndTheMouseReachTheActions)
{
    ASSERT_TRUE(video) << SDL_GetError();
    controllers_c controllers(nullptr);
    Bind(controllers, {{"throttle up", GUID_SysKeyboard, 0x1E, 0, 0, 1},
                       {"throttle down", GUID_SysKeyboard, 0x2C, 0, 0, 0},
                       {"fire", GUID_SysMouse, 12, 0, 0, 0},
                       {"yaw", GUID_SysMouse, 0, 0, 0, 0},
                       {"zoom", GUID_SysMouse, 8, 0, 0, 0}});
    controllers.SetMouseDivisor(200);
    EXPECT_STREQ(controllers.GetAction(0).object_name.GetData(), "A");
    EXPECT_STREQ(controllers.GetAction(3).object_name.GetData(), "X-axis");

    ObserveSdlInput(KeyEvent(SDL_SCANCODE_Z, true));
    ObserveSdlInput(MouseButtonEvent(SDL_BUTTON_LEFT, true));
    ObserveSdlInput(MotionEvent(30, 0));
    ObserveSdlInput(MotionEvent(30, 0));
    ObserveSdlInput(WheelEvent(1));

    controllers.Update(0.02f);
    controllers.Update(0.02f);
    EXPECT_EQ(controllers.GetAction(1).value, -1);
    EXPECT_EQ(controllers.GetAction(0).value, 1);
    EXPECT_EQ(controllers.GetAction(2).value, 1);
    // Motion is counted once, in the frame after it came.
    EXPECT_FLOAT_EQ(controllers.GetAction(3).value, 0.3f);
    EXPECT_FLOAT_EQ(controllers.GetAction(4).value, 0.6f);
}

TEST_F(SdlControllersTest, VirtualJoystickAxesAndButtonsReachTheActions)
{
    ASSERT_TRUE(joysticks) << SDL_GetError();
    const int index = SDL_JoystickAttachVirtual(SDL_JOYSTICK_TYPE_UNKNOWN, 2, 3, 0);
    ASSERT_GE(index, 0) << SDL_GetError();
    SDL_Joystick* handle = SDL_JoystickOpen(index);
    ASSERT_NE(handle, nullptr) << SDL_GetError();
    {
        controllers_c controllers(nullptr);
        input_devices_c& devices = controllers.GetDevices();
        input_device_c* stick = nullptr;
        for (u32 i = 0; i < devices.GetDeviceCount(); ++i)
            if (devices.GetDevice(i)->GetObjectCount() == 5)
                stick = devices.GetDevice(i);
        ASSERT_NE(stick, nullptr);
        ASSERT_TRUE(stick->IsReady());
        EXPECT_EQ(stick->GetObjectNumber(0), 0u);
        EXPECT_EQ(stick->GetObjectNumber(1), 4u);
        EXPECT_EQ(stick->GetObjectNumber(4), 50u);
        EXPECT_STREQ(stick->GetObjectName(1).GetData(), "Y Axis");

        Bind(controllers, {{"roll", stick->GetInstance(), 0, 0, 0, 0},
                           {"pitch", stick->GetInstance(), 4, 0, 0, 0},
                           {"fire", stick->GetInstance(), 50, 0, 0, 0}});
        SDL_JoystickSetVirtualAxis(handle, 0, 32767);
        SDL_JoystickSetVirtualAxis(handle, 1, -32768);
        SDL_JoystickSetVirtualButton(handle, 2, 1);
        controllers.Update(0.02f);
        EXPECT_FLOAT_EQ(controllers.GetAction(0).value, -1);
        EXPECT_FLOAT_EQ(controllers.GetAction(1).value, 1);
        EXPECT_EQ(controllers.GetAction(2).value, 1);
        SDL_JoystickSetVirtualButton(handle, 2, 0);
        SDL_JoystickSetVirtualAxis(handle, 0, 0);
        controllers.Update(0.02f);
        EXPECT_EQ(controllers.GetAction(2).value, 0);
        EXPECT_NEAR(controllers.GetAction(0).value, 0, 1e-4);

        // Unplugged: the device stops reporting and the actions keep their values.
        SDL_JoystickClose(handle);
        handle = nullptr;
        ASSERT_EQ(SDL_JoystickDetachVirtual(index), 0);
        controllers.GetAction(1).value = 0.5f;
        controllers.Update(0.02f);
        EXPECT_FALSE(stick->IsReady());
        EXPECT_EQ(controllers.GetAction(1).value, 0.5f);
        controllers.Update(0.02f);
    }
    if (handle != nullptr) {
        SDL_JoystickClose(handle);
        SDL_JoystickDetachVirtual(index);
    }
}

} // namespace
