#include "input/input_devices.h"

#include <gtest/gtest.h>

#include <memory>
#include <stdexcept>
#include <string>

#include "input/testing/script_devices.h"

namespace {

class InputDeviceTest : public testing::Test {
protected:
    // Enumerates and sets up the scripted devices; the device of a GUID.
    input_device_c& Create(const GUID& _guid)
    {
        devices = std::make_unique<input_devices_c>();
        devices->CreateDevices(nullptr);
        return *devices->FindDevice(_guid);
    }

    script_input_c input;
    script_input_scope_c scope{input};
    std::unique_ptr<input_devices_c> devices;
};

TEST_F(InputDeviceTest, FormatPacksButtonsInBytesAndAxesOnFourByteBoundaries)
{
    script_device_c& stick = AddStick(input);
    input_devices_c devices;
    devices.CreateDevices(nullptr);
    input_device_c* device = devices.FindDevice(stick_guid);
    ASSERT_NE(device, nullptr);
    ASSERT_TRUE(device->IsReady());

    // Trigger, X, Thumb, Y; the hat is left out. The axis after the odd
    // button count starts at the next multiple of 4.
    ASSERT_EQ(device->GetObjectCount(), 4u);
    const DWORD offsets[] = {0, 4, 8, 12};
    const u32 numbers[] = {stick_trigger, stick_x, stick_thumb, stick_y};
    const char* names[] = {"Trigger", "X Axis", "Thumb", "Y Axis"};
    for (u32 i = 0; i < 4; ++i) {
        EXPECT_EQ(device->GetObjectFormat(i).dwOfs, offsets[i]) << i;
        EXPECT_EQ(device->GetObjectFormat(i).dwType, stick.objects[i].type) << i;
        EXPECT_EQ(device->GetObjectNumber(i), numbers[i]) << i;
        EXPECT_STREQ(device->GetObjectName(i).GetData(), names[i]) << i;
    }
    EXPECT_EQ(device->GetStateSize(), 16u);
    const std::vector<std::string> expected = {"SetCooperativeLevel 9", "SetDataFormat 1 16 4"};
    EXPECT_EQ(stick.log, expected);
    EXPECT_TRUE(stick.acquired);
}

TEST_F(InputDeviceTest, KeyboardAndMouseKeepTheDefaultLevelAndTheMouseReportsRelativeAxes)
{
    script_device_c& keyboard = AddKeyboard(input);
    script_device_c& mouse = AddMouse(input);
    input_devices_c devices;
    devices.CreateDevices(nullptr);
    EXPECT_EQ(keyboard.log, std::vector<std::string>{"SetDataFormat 1 4 4"});
    // Three axes of 4 bytes, two buttons, rounded up to 4.
    EXPECT_EQ(mouse.log, std::vector<std::string>{"SetDataFormat 2 16 5"});
}

TEST_F(InputDeviceTest, OnlyKeyboardsMiceJoysticksGamepadsAndWheelsAreEnumerated)
{
    const DWORD types[] = {DI8DEVTYPE_MOUSE,
                           DI8DEVTYPE_KEYBOARD,
                           DI8DEVTYPE_JOYSTICK,
                           DI8DEVTYPE_GAMEPAD,
                           DI8DEVTYPE_DRIVING,
                           DI8DEVTYPE_FLIGHT,
                           0x11,
                           0x18};
    u32 n = 0;
    for (DWORD type : types)
        input.AddDevice(type | 0x100, MakeGuid(n++, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0), "device");
    input_devices_c devices;
    devices.CreateDevices(nullptr);
    ASSERT_EQ(devices.GetDeviceCount(), 5u);
    for (u32 i = 0; i < 5; ++i)
        EXPECT_EQ(devices.GetDevice(i)->GetInstance().Data1, i);
}

TEST_F(InputDeviceTest, DeviceWithoutObjectsHasAnEmptyFormat)
{
    input.AddDevice(DI8DEVTYPE_GAMEPAD, stick_guid, "Empty");
    input_devices_c devices;
    devices.CreateDevices(nullptr);
    input_device_c* device = devices.FindDevice(stick_guid);
    ASSERT_TRUE(device->IsReady());
    EXPECT_EQ(device->GetStateSize(), 0u);
    EXPECT_EQ(device->GetObjectCount(), 0u);
    EXPECT_TRUE(device->Poll());
}

TEST_F(InputDeviceTest, FailedSetUpStepLeavesOnlyThatDeviceUnready)
{
    for (const char* step :
         {"CreateDevice", "EnumObjects", "GetDeviceInfo", "SetCooperativeLevel", "SetDataFormat", "Acquire"}) {
        script_input_c local;
        script_input_scope_c localScope(local);
        AddStick(local).Fail(step, DIERR_GENERIC);
        AddStick(local, other_stick_guid);
        input_devices_c devices;
        devices.CreateDevices(nullptr);
        ASSERT_EQ(devices.GetDeviceCount(), 2u) << step;
        EXPECT_FALSE(devices.GetDevice(0)->IsReady()) << step;
        EXPECT_TRUE(devices.GetDevice(1)->IsReady()) << step;
        EXPECT_FALSE(devices.GetDevice(0)->Poll()) << step;
        i32 kind = 7;
        EXPECT_EQ(devices.GetDevice(0)->Read(stick_x, &kind), 0.0) << step;
        EXPECT_EQ(kind, input_device_c::kind_none) << step;
    }
}

TEST_F(InputDeviceTest, SetUpFailureTextNamesTheErrorTheSourceAndTheLine)
{
    AddStick(input).Fail("SetDataFormat", DIERR_INVALIDPARAM);
    void* holder = nullptr;
    ASSERT_EQ(DirectInput8Create(nullptr, DIRECTINPUT_VERSION, IID_IDirectInput8A, &holder, nullptr), DI_OK);
    IDirectInput8A* directInput = static_cast<IDirectInput8A*>(holder);
    input_device_c device(stick_guid, "Stick");
    try {
        device.Setup(directInput, nullptr);
        ADD_FAILURE() << "no exception";
    } catch (const std::runtime_error& error) {
        const std::string text = error.what();
        const std::string head = std::string("Description:\n") + DirectInputErrorText(DIERR_INVALIDPARAM) +
                                 "\n\nFile <advanced_controllers_device>\nLine ";
        EXPECT_EQ(text.substr(0, head.size()), head);
        EXPECT_GT(std::stoi(text.substr(head.size())), 0);
    }
    EXPECT_FALSE(device.IsReady());
    directInput->Release();
}

TEST_F(InputDeviceTest, HolderThatCannotBeCreatedHasNoDevices)
{
    AddStick(input);
    input.holder.Fail("CreateInput", DIERR_GENERIC);
    input_devices_c devices;
    devices.CreateDevices(nullptr);
    EXPECT_FALSE(devices.IsReady());
    EXPECT_EQ(devices.GetDeviceCount(), 0u);
    devices.PollAll();
}

TEST_F(InputDeviceTest, ReadGivesButtonsNormalisedAxesAndRawMouseCounts)
{
    script_device_c& stick = AddStick(input);
    script_device_c& mouse = AddMouse(input);
    input_device_c& s = Create(stick_guid);
    input_device_c& m = *devices->FindDevice(GUID_SysMouse);

    struct case_s {
        LONG x;
        bool trigger;
        f64 expected_x;
    };
    const case_s cases[] = {{0, true, -1.0}, {1000, false, 1.0}, {500, true, 0.0}, {250, false, -0.5}};
    for (const case_s& c : cases) {
        stick.SetAxis(stick_x, c.x);
        stick.SetButton(stick_trigger, c.trigger);
        ASSERT_TRUE(s.Poll());
        i32 kind = -5;
        EXPECT_DOUBLE_EQ(s.Read(stick_x, &kind), c.expected_x) << c.x;
        EXPECT_EQ(kind, input_device_c::kind_absolute_axis);
        EXPECT_EQ(s.Read(stick_trigger, &kind), c.trigger ? 1.0 : 0.0);
        EXPECT_EQ(kind, input_device_c::kind_button);
    }
    i32 kind = -5;
    EXPECT_EQ(s.Read(1234, &kind), 0.0);
    EXPECT_EQ(kind, input_device_c::kind_none);

    mouse.Move(mouse_x, 37);
    mouse.Move(mouse_x, -3);
    ASSERT_TRUE(m.Poll());
    EXPECT_EQ(m.Read(mouse_x, &kind), 34.0);
    EXPECT_EQ(kind, input_device_c::kind_mouse_axis);
    // Relative counts are the movement since the last read.
    ASSERT_TRUE(m.Poll());
    EXPECT_EQ(m.Read(mouse_x, &kind), 0.0);
}

TEST_F(InputDeviceTest, AxisWithAnEmptyRangeReadsCentre)
{
    script_device_c& stick = input.AddDevice(DI8DEVTYPE_JOYSTICK, stick_guid, "Flat");
    stick.AddAxis(stick_x, "X", 7, 7);
    stick.SetAxis(stick_x, 7);
    input_device_c& s = Create(stick_guid);
    ASSERT_TRUE(s.Poll());
    i32 kind = -5;
    EXPECT_EQ(s.Read(stick_x, &kind), 0.0);
    EXPECT_EQ(kind, input_device_c::kind_absolute_axis);
}

TEST_F(InputDeviceTest, LostInputIsReacquiredAndReadAgain)
{
    script_device_c& stick = AddStick(input);
    input_device_c& s = Create(stick_guid);
    stick.SetButton(stick_thumb, true);
    stick.QueuePoll(DIERR_INPUTLOST);
    stick.Fail("Acquire", DIERR_INPUTLOST, 2);
    const u32 acquiresBefore = stick.acquires;
    ASSERT_TRUE(s.Poll());
    EXPECT_EQ(stick.acquires - acquiresBefore, 3u);
    i32 kind;
    EXPECT_EQ(s.Read(stick_thumb, &kind), 1.0);
    EXPECT_TRUE(s.IsReady());
}

TEST_F(InputDeviceTest, InputLostForGoodStopsTheDeviceReporting)
{
    script_device_c& stick = AddStick(input);
    input_device_c& s = Create(stick_guid);
    stick.QueuePoll(DIERR_INPUTLOST);
    stick.Fail("Acquire", DIERR_INPUTLOST, 1000);
    const u32 acquiresBefore = stick.acquires;
    EXPECT_FALSE(s.Poll());
    EXPECT_EQ(stick.acquires - acquiresBefore, input_device_c::max_reacquire_attempts);
    EXPECT_FALSE(s.IsReady());
    const u32 polls = stick.polls;
    EXPECT_FALSE(s.Poll());
    EXPECT_EQ(stick.polls, polls);
}

TEST_F(InputDeviceTest, OtherPollFailureKeepsTheLastStateUnread)
{
    script_device_c& stick = AddStick(input);
    input_device_c& s = Create(stick_guid);
    stick.SetButton(stick_trigger, true);
    ASSERT_TRUE(s.Poll());
    stick.SetButton(stick_trigger, false);
    stick.QueuePoll(DIERR_GENERIC);
    EXPECT_FALSE(s.Poll());
    EXPECT_FALSE(stick.acquired);
    i32 kind;
    EXPECT_EQ(s.Read(stick_trigger, &kind), 1.0);
    EXPECT_TRUE(s.IsReady());
}

TEST_F(InputDeviceTest, NoEffectPollStillReadsTheState)
{
    script_device_c& stick = AddStick(input);
    input_device_c& s = Create(stick_guid);
    stick.SetButton(stick_trigger, true);
    stick.QueuePoll(DI_NOEFFECT);
    ASSERT_TRUE(s.Poll());
    i32 kind;
    EXPECT_EQ(s.Read(stick_trigger, &kind), 1.0);
}

} // namespace
