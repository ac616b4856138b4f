#include "input/controllers.h"

#include <gtest/gtest.h>

#include "input/testing/bindings.h"
#include "input/testing/script_devices.h"

namespace {

class ControllersTest : public testing::Test {
protected:
    ControllersTest()
    {
        keyboard = &AddKeyboard(input);
        mouse = &AddMouse(input);
        stick = &AddStick(input);
    }

    script_input_c input;
    script_input_scope_c scope{input};
    script_device_c* keyboard;
    script_device_c* mouse;
    script_device_c* stick;
};

// One button action through a sequence of frames: {held, dt, value after}.
struct frame_s {
    bool held;
    f32 dt;
    f32 value;
};

struct button_case_s {
    const char* what;
    f32 ramp;
    f32 fall_back;
    std::vector<frame_s> frames;
};

TEST_F(ControllersTest, ButtonRampsAndFallsBack)
{
    const button_case_s cases[] = {
        {"at once", 0, 0, {{true, 0.1f, 1}, {true, 0.1f, 1}, {false, 0.1f, 0}}},
        {"ramp, stays", 0.5f, 0, {{true, 0.25f, 0.5f}, {false, 0.25f, 0.5f}, {false, 1.0f, 0.5f}}},
        {"ramp, falls back", 0.5f, 0.5f, {{true, 0.25f, 0.5f}, {false, 0.25f, 0}}},
        {"ramp clamps", 0.5f, 0, {{true, 0.4f, 0.8f}, {true, 0.4f, 1}}},
        {"ramp 0 follows the button", 0, 1.0f, {{true, 0.1f, 1}, {false, 0.1f, 0}}},
        {"falls back in steps", 0.1f, 1.0f, {{true, 0.1f, 1}, {false, 0.25f, 0.75f}, {false, 1.0f, 0}}},
    };
    for (const button_case_s& c : cases) {
        controllers_c controllers(nullptr);
        Bind(controllers, {{"fire", GUID_SysKeyboard, key_a, c.ramp, c.fall_back, 0}});
        for (const frame_s& f : c.frames) {
            keyboard->SetButton(key_a, f.held);
            controllers.Update(f.dt);
            EXPECT_FLOAT_EQ(controllers.GetAction(0).value, f.value) << c.what;
        }
    }
}

TEST_F(ControllersTest, PairedButtonsDriveOneAxis)
{
    controllers_c controllers(nullptr);
    Bind(controllers, {{"left", GUID_SysKeyboard, key_a, 0, 0, 1}, {"right", GUID_SysKeyboard, key_d, 0, 0, 0}});
    keyboard->SetButton(key_a, true);
    controllers.Update(0.1f);
    controllers.Update(0.1f);
    EXPECT_EQ(controllers.GetAction(0).value, -1);
    EXPECT_EQ(controllers.GetAction(1).value, 1);
    keyboard->SetButton(key_a, false);
    controllers.Update(0.1f);
    EXPECT_EQ(controllers.GetAction(0).value, -1);
    EXPECT_EQ(controllers.GetAction(1).value, 1);
    // Each frame adds -1 to the held half, from +1 over 0 to -1.
    keyboard->SetButton(key_d, true);
    controllers.Update(0.1f);
    EXPECT_EQ(controllers.GetAction(1).value, 0);
    controllers.Update(0.1f);
    EXPECT_EQ(controllers.GetAction(0).value, 1);
    EXPECT_EQ(controllers.GetAction(1).value, -1);
}

TEST_F(ControllersTest, PartnerSetByThePairFallsBackInTheSameUpdate)
{
    controllers_c controllers(nullptr);
    Bind(controllers, {{"left", GUID_SysKeyboard, key_a, 0, 0.5f, 1}, {"right", GUID_SysKeyboard, key_d, 0, 0.5f, 0}});
    keyboard->SetButton(key_a, true);
    controllers.Update(0.1f);
    EXPECT_FLOAT_EQ(controllers.GetAction(0).value, -1);
    EXPECT_FLOAT_EQ(controllers.GetAction(1).value, 0.8f);
}

TEST_F(ControllersTest, LastActionWithThePairedFlagActsAlone)
{
    controllers_c controllers(nullptr);
    Bind(controllers, {{"fire", GUID_SysKeyboard, key_s, 0, 0, 0}, {"last", GUID_SysKeyboard, key_a, 0, 0, 1}});
    keyboard->SetButton(key_a, true);
    controllers.Update(0.1f);
    EXPECT_EQ(controllers.GetAction(1).value, 1);
    EXPECT_EQ(controllers.GetAction(0).value, 0);
}

TEST_F(ControllersTest, MouseCountsAccumulateOverTheDivisor)
{
    controllers_c controllers(nullptr);
    Bind(controllers, {{"yaw", GUID_SysMouse, mouse_x, 0, 0, 0}});
    controllers.SetMouseDivisor(950);
    mouse->Move(mouse_x, 475);
    controllers.Update(0.1f);
    EXPECT_FLOAT_EQ(controllers.GetAction(0).value, 0.5f);
    // No movement: the value stays.
    controllers.Update(0.1f);
    EXPECT_FLOAT_EQ(controllers.GetAction(0).value, 0.5f);
    mouse->Move(mouse_x, 950);
    controllers.Update(0.1f);
    EXPECT_EQ(controllers.GetAction(0).value, 1);
    mouse->Move(mouse_x, -950);
    controllers.Update(0.1f);
    EXPECT_FLOAT_EQ(controllers.GetAction(0).value, 0);
}

TEST_F(ControllersTest, MouseAxisAsSecondHalfIsNegatedAndSetsItsPartner)
{
    controllers_c controllers(nullptr);
    Bind(controllers, {{"first", GUID_SysMouse, mouse_y, 0, 0, 1}, {"second", GUID_SysMouse, mouse_x, 0, 0, 0}});
    controllers.SetMouseDivisor(100);
    mouse->Move(mouse_x, 25);
    controllers.Update(0.1f);
    EXPECT_FLOAT_EQ(controllers.GetAction(1).value, -0.25f);
    EXPECT_FLOAT_EQ(controllers.GetAction(0).value, 0.25f);
}

TEST_F(ControllersTest, AbsoluteAxisIsNegated)
{
    controllers_c controllers(nullptr);
    Bind(controllers, {{"pitch", stick_guid, stick_y, 0, 0, 0}});
    const std::pair<LONG, f32> cases[] = {{0, 1}, {1000, -1}, {500, 0}, {750, -0.5f}};
    for (const auto& [raw, value] : cases) {
        stick->SetAxis(stick_y, raw);
        controllers.Update(0.1f);
        EXPECT_FLOAT_EQ(controllers.GetAction(0).value, value) << raw;
    }
}

TEST_F(ControllersTest, ObjectTheDeviceNoLongerListsOnlyFallsBack)
{
    controllers_c controllers(nullptr);
    Bind(controllers, {{"gone", stick_guid, 999, 0, 0.5f, 1}, {"next", GUID_SysKeyboard, key_s, 0, 0, 0}});
    controllers.GetAction(0).value = 0.5f;
    controllers.GetAction(1).value = 0.25f;
    controllers.Update(0.1f);
    EXPECT_FLOAT_EQ(controllers.GetAction(0).value, 0.3f);
    // Reading 0 couples nothing; the second half then reads its own key.
    EXPECT_FLOAT_EQ(controllers.GetAction(1).value, 0.25f);
}

TEST_F(ControllersTest, ActionsWithoutAReadyDeviceKeepTheirValues)
{
    stick->Fail("Acquire", DIERR_GENERIC);
    const GUID absent = MakeGuid(0xABCD, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0);
    controllers_c controllers(nullptr);
    Bind(controllers, {{"unready", stick_guid, stick_x, 0, 0, 0}, {"absent", absent, 1, 0, 0.1f, 0}});
    controllers.GetAction(0).value = 0.5f;
    controllers.GetAction(1).value = -0.5f;
    controllers.Update(1.0f);
    EXPECT_EQ(controllers.GetAction(0).value, 0.5f);
    EXPECT_EQ(controllers.GetAction(1).value, -0.5f);
    controllers.ResetActionValues();
    EXPECT_EQ(controllers.GetAction(0).value, 0);
    EXPECT_EQ(controllers.GetAction(1).value, 0);
}

TEST_F(ControllersTest, SameFramesGiveTheSameValues)
{
    auto run = [&]() {
        script_input_c local;
        script_input_scope_c localScope(local);
        script_device_c& keys = AddKeyboard(local);
        script_device_c& stickDevice = AddStick(local);
        controllers_c controllers(nullptr);
        Bind(controllers, {{"a", GUID_SysKeyboard, key_a, 0.3f, 0.7f, 1},
                           {"d", GUID_SysKeyboard, key_d, 0.3f, 0.7f, 0},
                           {"x", stick_guid, stick_x, 0, 0, 0}});
        std::vector<f32> values;
        for (int frame = 0; frame < 40; ++frame) {
            keys.SetButton(key_a, frame % 7 < 3);
            keys.SetButton(key_d, frame % 5 == 1);
            stickDevice.SetAxis(stick_x, (frame * 37) % 1001);
            controllers.Update(0.016f + 0.001f * static_cast<f32>(frame % 3));
            for (u32 i = 0; i < 3; ++i)
                values.push_back(controllers.GetAction(i).value);
        }
        return values;
    };
    EXPECT_EQ(run(), run());
}

} // namespace
