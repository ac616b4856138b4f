#include "input/controllers.h"

#include <gtest/gtest.h>

#include "input/testing/bindings.h"
#include "input/testing/script_devices.h"

namespace {

class CaptureTest : public testing::Test {
protected:
    CaptureTest()
    {
        keyboard = &AddKeyboard(input);
        mouse = &AddMouse(input);
        stick = &AddStick(input);
    }

    // A controllers_c with one action "rudder" on the keyboard's D key.
    std::unique_ptr<controllers_c> Make()
    {
        auto controllers = std::make_unique<controllers_c>(nullptr);
        Bind(*controllers,
             {{"throttle", GUID_SysKeyboard, key_a, 0, 0, 0}, {"rudder", GUID_SysKeyboard, key_d, 0.5f, 0.25f, 1}});
        return controllers;
    }

    script_input_c input;
    script_input_scope_c scope{input};
    script_device_c* keyboard;
    script_device_c* mouse;
    script_device_c* stick;
};

TEST_F(CaptureTest, ButtonIsTakenOnReleaseAndBindsTheAction)
{
    auto controllers = Make();
    controllers->BeginCapture(1);
    EXPECT_FALSE(controllers->CaptureInput());
    stick->SetButton(stick_thumb, true);
    EXPECT_FALSE(controllers->CaptureInput());
    EXPECT_FALSE(controllers->CaptureInput());
    stick->SetButton(stick_thumb, false);
    ASSERT_TRUE(controllers->CaptureInput());
    const action_c& action = controllers->GetAction(1);
    EXPECT_TRUE(action.device_guid == stick_guid);
    EXPECT_EQ(action.device, controllers->GetDevices().FindDevice(stick_guid));
    EXPECT_EQ(action.object_number, stick_thumb);
    EXPECT_STREQ(action.object_name.GetData(), "Thumb");
    EXPECT_STREQ(action.name.GetData(), "rudder");
    EXPECT_EQ(action.ramp_time, 0.5f);
    EXPECT_EQ(action.fall_back_time, 0.25f);
    EXPECT_EQ(action.paired, 1);
    EXPECT_STREQ(controllers->GetAction(0).name.GetData(), "throttle");
    EXPECT_EQ(controllers->GetAction(0).object_number, key_a);
}

TEST_F(CaptureTest, ButtonHeldWhenCaptureBeginsIsTakenWhenReleased)
{
    auto controllers = Make();
    keyboard->SetButton(key_s, true);
    controllers->BeginCapture(0);
    EXPECT_FALSE(controllers->CaptureInput());
    keyboard->SetButton(key_s, false);
    ASSERT_TRUE(controllers->CaptureInput());
    EXPECT_EQ(controllers->GetAction(0).object_number, key_s);
}

TEST_F(CaptureTest, MouseMustMoveMoreThanTenCountsInOneFrame)
{
    auto controllers = Make();
    controllers->BeginCapture(0);
    mouse->Move(mouse_y, -10);
    EXPECT_FALSE(controllers->CaptureInput());
    mouse->Move(mouse_y, 6);
    EXPECT_FALSE(controllers->CaptureInput());
    mouse->Move(mouse_y, -11);
    ASSERT_TRUE(controllers->CaptureInput());
    EXPECT_TRUE(controllers->GetAction(0).device_guid == GUID_SysMouse);
    EXPECT_EQ(controllers->GetAction(0).object_number, mouse_y);
}

TEST_F(CaptureTest, JoystickAxisMustMoveMoreThanFifteenHundredthsOfItsSpan)
{
    auto controllers = Make();
    controllers->BeginCapture(0);
    // 0..1000 normalises to -1..1, so 0.15 is 75 counts.
    stick->SetAxis(stick_y, 575);
    EXPECT_FALSE(controllers->CaptureInput());
    stick->SetAxis(stick_y, 424);
    ASSERT_TRUE(controllers->CaptureInput());
    EXPECT_EQ(controllers->GetAction(0).object_number, stick_y);
}

TEST_F(CaptureTest, FirstChangedObjectInDeviceOrderWins)
{
    auto controllers = Make();
    controllers->BeginCapture(0);
    stick->SetAxis(stick_x, 0);
    mouse->Move(mouse_x, 50);
    ASSERT_TRUE(controllers->CaptureInput());
    EXPECT_TRUE(controllers->GetAction(0).device_guid == GUID_SysMouse);
}

TEST_F(CaptureTest, NothingToTakeWithoutDevices)
{
    script_input_c empty;
    script_input_scope_c emptyScope(empty);
    controllers_c controllers(nullptr);
    controllers.BeginCapture(0);
    EXPECT_FALSE(controllers.CaptureInput());
    EXPECT_FALSE(controllers.CaptureInput());
}

} // namespace
