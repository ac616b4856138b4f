#include "platform/dinput8/sdl_input.h"

#include <gtest/gtest.h>

#include <SDL2/SDL.h>

#include <cstring>
#include <vector>

#include "platform/dinput8/sdl_keys.h"
#include "platform/dinput8/testing/sdl_events.h"
#include "platform/win32/sdl_events.h"

namespace {

TEST(SdlKeysTest, ScancodesGiveThePcScanCodeNumbers)
{
    const std::pair<SDL_Scancode, u8> cases[] = {
        {SDL_SCANCODE_ESCAPE, 0x01},
        {SDL_SCANCODE_1, 0x02},
        {SDL_SCANCODE_0, 0x0B},
        {SDL_SCANCODE_Q, 0x10},
        {SDL_SCANCODE_A, 0x1E},
        {SDL_SCANCODE_Z, 0x2C},
        {SDL_SCANCODE_M, 0x32},
        {SDL_SCANCODE_SPACE, 0x39},
        {SDL_SCANCODE_LCTRL, 0x1D},
        {SDL_SCANCODE_RCTRL, 0x9D},
        {SDL_SCANCODE_LALT, 0x38},
        {SDL_SCANCODE_RALT, 0xB8},
        {SDL_SCANCODE_LSHIFT, 0x2A},
        {SDL_SCANCODE_RSHIFT, 0x36},
        {SDL_SCANCODE_F1, 0x3B},
        {SDL_SCANCODE_F10, 0x44},
        {SDL_SCANCODE_F11, 0x57},
        {SDL_SCANCODE_F12, 0x58},
        {SDL_SCANCODE_UP, 0xC8},
        {SDL_SCANCODE_DOWN, 0xD0},
        {SDL_SCANCODE_LEFT, 0xCB},
        {SDL_SCANCODE_RIGHT, 0xCD},
        {SDL_SCANCODE_KP_0, 0x52},
        {SDL_SCANCODE_KP_ENTER, 0x9C},
        {SDL_SCANCODE_KP_DIVIDE, 0xB5},
        {SDL_SCANCODE_DELETE, 0xD3},
        {SDL_SCANCODE_PAGEDOWN, 0xD1},
        {SDL_SCANCODE_NONUSHASH, 0x2B},
        {SDL_SCANCODE_NONUSBACKSLASH, 0x56},
        {SDL_SCANCODE_UNKNOWN, 0},
    };
    for (const auto& [scancode, dik] : cases)
        EXPECT_EQ(DikFromScancode(scancode), dik) << SDL_GetScancodeName(scancode);
    EXPECT_EQ(DikFromScancode(static_cast<SDL_Scancode>(SDL_NUM_SCANCODES)), 0);
}

TEST(SdlKeysTest, KeyboardListsEachKeyCodeOnceInOrder)
{
    const std::vector<keyboard_key_c>& keys = KeyboardKeys();
    ASSERT_GT(keys.size(), 100u);
    for (size_t i = 1; i < keys.size(); ++i)
        EXPECT_LT(keys[i - 1].dik, keys[i].dik);
    for (const keyboard_key_c& key : keys)
        EXPECT_EQ(DikFromScancode(key.scancode), key.dik);
}

class SdlInputTest : public testing::Test {
protected:
    SdlInputTest() { sdl_input_backend_c::Get().Clear(); }
    ~SdlInputTest() override { sdl_input_backend_c::Get().Clear(); }
};

TEST_F(SdlInputTest, KeyEventsFromTheWindowLayerSetTheKeyState)
{
    sdl_input_backend_c& backend = sdl_input_backend_c::Get();
    ObserveSdlInput(KeyEvent(SDL_SCANCODE_A, true));
    ObserveSdlInput(KeyEvent(SDL_SCANCODE_KP_ENTER, true));
    EXPECT_TRUE(backend.IsKeyDown(0x1E));
    EXPECT_TRUE(backend.IsKeyDown(0x9C));
    EXPECT_FALSE(backend.IsKeyDown(0x1C));
    ObserveSdlInput(KeyEvent(SDL_SCANCODE_A, false));
    EXPECT_FALSE(backend.IsKeyDown(0x1E));
    ObserveSdlInput(FocusLostEvent());
    EXPECT_FALSE(backend.IsKeyDown(0x9C));
}

TEST_F(SdlInputTest, MouseMotionAndWheelAddUpUntilTaken)
{
    sdl_input_backend_c& backend = sdl_input_backend_c::Get();
    ObserveSdlInput(MotionEvent(7, -3));
    ObserveSdlInput(MotionEvent(7, -3));
    ObserveSdlInput(WheelEvent(1));
    ObserveSdlInput(WheelEvent(3, true));
    EXPECT_EQ(backend.TakeMotion(0), 14);
    EXPECT_EQ(backend.TakeMotion(1), -6);
    EXPECT_EQ(backend.TakeMotion(2), -240);
    EXPECT_EQ(backend.TakeMotion(0), 0);
    ObserveSdlInput(MouseButtonEvent(SDL_BUTTON_RIGHT, true));
    EXPECT_TRUE(backend.IsMouseButtonDown(1));
    EXPECT_FALSE(backend.IsMouseButtonDown(2));
}

BOOL Collect(const DIDEVICEINSTANCEA* _instance, void* _context)
{
    static_cast<std::vector<DIDEVICEINSTANCEA>*>(_context)->push_back(*_instance);
    return DIENUM_CONTINUE;
}

TEST_F(SdlInputTest, KeyboardDeviceReportsKeysInTheCallersFormat)
{
    void* out = nullptr;
    ASSERT_EQ(DirectInput8Create(nullptr, DIRECTINPUT_VERSION, IID_IDirectInput8A, &out, nullptr), DI_OK);
    IDirectInput8A* input = static_cast<IDirectInput8A*>(out);
    std::vector<DIDEVICEINSTANCEA> devices;
    ASSERT_EQ(input->EnumDevices(DI8DEVCLASS_ALL, Collect, &devices, DIEDFL_ATTACHEDONLY), DI_OK);
    ASSERT_GE(devices.size(), 2u);
    EXPECT_TRUE(devices[0].guidInstance == GUID_SysKeyboard);
    EXPECT_EQ(devices[0].dwDevType, DI8DEVTYPE_KEYBOARD);
    EXPECT_TRUE(devices[1].guidInstance == GUID_SysMouse);

    IDirectInputDevice8A* keyboard = nullptr;
    ASSERT_EQ(input->CreateDevice(GUID_SysKeyboard, &keyboard, nullptr), DI_OK);
    const DIOBJECTDATAFORMAT objects[] = {{nullptr, 0, DIDFT_PSHBUTTON | DIDFT_MAKEINSTANCE(0x39), 0},
                                          {nullptr, 1, DIDFT_PSHBUTTON | DIDFT_MAKEINSTANCE(0xC8), 0}};
    DIDATAFORMAT format;
    format.dwFlags = DIDF_ABSAXIS;
    format.dwDataSize = 4;
    format.dwNumObjs = 2;
    format.rgodf = objects;
    ASSERT_EQ(keyboard->SetDataFormat(&format), DI_OK);
    ASSERT_EQ(keyboard->Acquire(), DI_OK);
    ObserveSdlInput(KeyEvent(SDL_SCANCODE_UP, true));
    u8 state[4] = {9, 9, 9, 9};
    EXPECT_TRUE(SUCCEEDED(keyboard->Poll()));
    ASSERT_EQ(keyboard->GetDeviceState(4, state), DI_OK);
    EXPECT_EQ(state[0], 0);
    EXPECT_EQ(state[1], 0x80);
    keyboard->Release();
    input->Release();
}

} // namespace
