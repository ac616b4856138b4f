#pragma once
// The input-device interface the input layer is written against: one holder
// object that lists the attached keyboards, mice and game controllers and
// makes device objects; devices that describe their objects (axes, buttons),
// take a data format of the caller's making, and fill a state buffer in that
// format on every read; and force-feedback effects created from effect
// records and started and stopped by the game.
//
// Results are HRESULT codes with the values the game compares against:
// DI_OK (0) and DI_NOEFFECT (1) succeed; anything negative fails. Nothing
// throws. Interfaces are counted references: Release on the last one
// deletes the object.
//
// Two backends make the holder (see dinput8_backend.h): `sdl` reads the
// system keyboard and mouse from the events the window layer hands over and
// joysticks and game controllers through SDL2; `script` (for tests) plays
// devices, states and failures a test describes.
#include <cstring>

#include "foundation/types.h"
#include "platform/win32/window_types.h"

using HRESULT = i32;
using LONG = i32;
using ULONG = u32;

// 16 bytes in the Windows layout: Data1, Data2 and Data3 little-endian.
struct GUID {
    u32 Data1 = 0;
    u16 Data2 = 0;
    u16 Data3 = 0;
    u8 Data4[8] = {0, 0, 0, 0, 0, 0, 0, 0};

    friend bool operator==(const GUID& a, const GUID& b) { return std::memcmp(&a, &b, sizeof(GUID)) == 0; }
};
static_assert(sizeof(GUID) == 16);

constexpr GUID MakeGuid(u32 _d1, u16 _d2, u16 _d3, u8 _a, u8 _b, u8 _c, u8 _d, u8 _e, u8 _f, u8 _g, u8 _h)
{
    return GUID{_d1, _d2, _d3, {_a, _b, _c, _d, _e, _f, _g, _h}};
}

// Instance identifiers of the system keyboard and mouse; stored bindings
// name these devices by them.
constexpr GUID GUID_SysMouse = MakeGuid(0x6F1D2B60, 0xD5A0, 0x11CF, 0xBF, 0xC7, 0x44, 0x45, 0x53, 0x54, 0, 0);
constexpr GUID GUID_SysKeyboard = MakeGuid(0x6F1D2B61, 0xD5A0, 0x11CF, 0xBF, 0xC7, 0x44, 0x45, 0x53, 0x54, 0, 0);
// The interface asked of DirectInput8Create; this layer's own identifier.
constexpr GUID IID_IDirectInput8A = MakeGuid(0x5C1A7E08, 0x0800, 0x4D38, 'S', 'k', 'y', 'v', 'a', 'r', 'n', 'I');

// Effect types, as effect files name them.
constexpr GUID GUID_ConstantForce =
    MakeGuid(0x13541C20, 0x8E33, 0x11D0, 0x9A, 0xD0, 0x00, 0xA0, 0xC9, 0xA0, 0x6E, 0x35);
constexpr GUID GUID_RampForce = MakeGuid(0x13541C21, 0x8E33, 0x11D0, 0x9A, 0xD0, 0x00, 0xA0, 0xC9, 0xA0, 0x6E, 0x35);
constexpr GUID GUID_Square = MakeGuid(0x13541C22, 0x8E33, 0x11D0, 0x9A, 0xD0, 0x00, 0xA0, 0xC9, 0xA0, 0x6E, 0x35);
constexpr GUID GUID_Sine = MakeGuid(0x13541C23, 0x8E33, 0x11D0, 0x9A, 0xD0, 0x00, 0xA0, 0xC9, 0xA0, 0x6E, 0x35);
constexpr GUID GUID_Triangle = MakeGuid(0x13541C24, 0x8E33, 0x11D0, 0x9A, 0xD0, 0x00, 0xA0, 0xC9, 0xA0, 0x6E, 0x35);
constexpr GUID GUID_SawtoothUp = MakeGuid(0x13541C25, 0x8E33, 0x11D0, 0x9A, 0xD0, 0x00, 0xA0, 0xC9, 0xA0, 0x6E, 0x35);
constexpr GUID GUID_SawtoothDown = MakeGuid(0x13541C26, 0x8E33, 0x11D0, 0x9A, 0xD0, 0x00, 0xA0, 0xC9, 0xA0, 0x6E, 0x35);
constexpr GUID GUID_Spring = MakeGuid(0x13541C27, 0x8E33, 0x11D0, 0x9A, 0xD0, 0x00, 0xA0, 0xC9, 0xA0, 0x6E, 0x35);
constexpr GUID GUID_Damper = MakeGuid(0x13541C28, 0x8E33, 0x11D0, 0x9A, 0xD0, 0x00, 0xA0, 0xC9, 0xA0, 0x6E, 0x35);
constexpr GUID GUID_Inertia = MakeGuid(0x13541C29, 0x8E33, 0x11D0, 0x9A, 0xD0, 0x00, 0xA0, 0xC9, 0xA0, 0x6E, 0x35);
constexpr GUID GUID_Friction = MakeGuid(0x13541C2A, 0x8E33, 0x11D0, 0x9A, 0xD0, 0x00, 0xA0, 0xC9, 0xA0, 0x6E, 0x35);

// Results.
constexpr HRESULT DI_OK = 0;
constexpr HRESULT DI_NOEFFECT = 1;
constexpr HRESULT DIERR_INPUTLOST = static_cast<HRESULT>(0x8007001E);
constexpr HRESULT DIERR_NOTACQUIRED = static_cast<HRESULT>(0x8007000C);
constexpr HRESULT DIERR_INVALIDPARAM = static_cast<HRESULT>(0x80070057);
constexpr HRESULT DIERR_OUTOFMEMORY = static_cast<HRESULT>(0x8007000E);
constexpr HRESULT DIERR_NOTFOUND = static_cast<HRESULT>(0x80070002);
constexpr HRESULT DIERR_UNSUPPORTED = static_cast<HRESULT>(0x80004001);
constexpr HRESULT DIERR_GENERIC = static_cast<HRESULT>(0x80004005);
constexpr HRESULT DIERR_NOINTERFACE = static_cast<HRESULT>(0x80004002);
constexpr HRESULT DIERR_DEVICENOTREG = static_cast<HRESULT>(0x80040154);
constexpr HRESULT DIERR_NOTINITIALIZED = static_cast<HRESULT>(0x80070015);
constexpr HRESULT DIERR_ACQUIRED = static_cast<HRESULT>(0x800700AA);

constexpr bool SUCCEEDED(HRESULT _hr)
{
    return _hr >= 0;
}

// A text for a result code, for error reports; never null.
const char* DirectInputErrorText(HRESULT _hr);

constexpr DWORD DIRECTINPUT_VERSION = 0x0800;

// Device types: the low byte of dwDevType.
constexpr DWORD DI8DEVTYPE_MOUSE = 0x12;
constexpr DWORD DI8DEVTYPE_KEYBOARD = 0x13;
constexpr DWORD DI8DEVTYPE_JOYSTICK = 0x14;
constexpr DWORD DI8DEVTYPE_GAMEPAD = 0x15;
constexpr DWORD DI8DEVTYPE_DRIVING = 0x16;
constexpr DWORD DI8DEVTYPE_FLIGHT = 0x17;

constexpr DWORD DI8DEVCLASS_ALL = 0;
constexpr DWORD DIEDFL_ATTACHEDONLY = 1;
constexpr BOOL DIENUM_STOP = 0;
constexpr BOOL DIENUM_CONTINUE = 1;

// Object type bits.
constexpr DWORD DIDFT_ALL = 0;
constexpr DWORD DIDFT_RELAXIS = 0x01;
constexpr DWORD DIDFT_ABSAXIS = 0x02;
constexpr DWORD DIDFT_AXIS = 0x03;
constexpr DWORD DIDFT_PSHBUTTON = 0x04;
constexpr DWORD DIDFT_TGLBUTTON = 0x08;
constexpr DWORD DIDFT_BUTTON = 0x0C;
constexpr DWORD DIDFT_POV = 0x10;
// An object's instance number sits in bits 8 to 23 of its type word.
constexpr DWORD DIDFT_MAKEINSTANCE(DWORD _n)
{
    return (_n & 0xFFFF) << 8;
}
constexpr DWORD DIDFT_GETINSTANCE(DWORD _type)
{
    return (_type >> 8) & 0xFFFF;
}
// Object flag: the object can play force feedback.
constexpr DWORD DIDOI_FFACTUATOR = 0x01;

// Data format flags.
constexpr DWORD DIDF_ABSAXIS = 1;
constexpr DWORD DIDF_RELAXIS = 2;

// Cooperative levels.
constexpr DWORD DISCL_EXCLUSIVE = 1;
constexpr DWORD DISCL_NONEXCLUSIVE = 2;
constexpr DWORD DISCL_FOREGROUND = 4;
constexpr DWORD DISCL_BACKGROUND = 8;

constexpr DWORD MAX_PATH = 260;

struct DIDEVICEINSTANCEA {
    DWORD dwSize = sizeof(DIDEVICEINSTANCEA);
    GUID guidInstance;
    GUID guidProduct;
    DWORD dwDevType = 0;
    char tszInstanceName[MAX_PATH] = {};
    char tszProductName[MAX_PATH] = {};
    GUID guidFFDriver;
    WORD wUsagePage = 0;
    WORD wUsage = 0;
};
static_assert(sizeof(DIDEVICEINSTANCEA) == 580);

struct DIDEVICEOBJECTINSTANCEA {
    DWORD dwSize = sizeof(DIDEVICEOBJECTINSTANCEA);
    GUID guidType;
    // Offset in the device's native data format: the object's lasting number.
    DWORD dwOfs = 0;
    DWORD dwType = 0;
    DWORD dwFlags = 0;
    char tszName[MAX_PATH] = {};
};

// One object of a caller's data format. The object is the one whose type
// word (kind and instance bits) equals dwType; its value goes to dwOfs of
// the state buffer: one byte (0x80 when pressed) for a button, a LONG for
// an axis.
struct DIOBJECTDATAFORMAT {
    const GUID* pguid = nullptr;
    DWORD dwOfs = 0;
    DWORD dwType = 0;
    DWORD dwFlags = 0;
};

// dwObjSize is sizeof(DIOBJECTDATAFORMAT) of this build.
struct DIDATAFORMAT {
    DWORD dwSize = sizeof(DIDATAFORMAT);
    DWORD dwObjSize = sizeof(DIOBJECTDATAFORMAT);
    DWORD dwFlags = 0;
    DWORD dwDataSize = 0;
    DWORD dwNumObjs = 0;
    const DIOBJECTDATAFORMAT* rgodf = nullptr;
};

// Properties.
constexpr DWORD DIPROP_RANGE = 4;
constexpr DWORD DIPH_DEVICE = 0;
constexpr DWORD DIPH_BYOFFSET = 1;

struct DIPROPHEADER {
    DWORD dwSize = 0;
    DWORD dwHeaderSize = sizeof(DIPROPHEADER);
    DWORD dwObj = 0;
    DWORD dwHow = 0;
};

struct DIPROPRANGE {
    DIPROPHEADER diph{sizeof(DIPROPRANGE), sizeof(DIPROPHEADER), 0, 0};
    LONG lMin = 0;
    LONG lMax = 0;
};

// Force feedback.
constexpr DWORD DIES_SOLO = 1;
constexpr DWORD DIEFF_OBJECTIDS = 0x01;
constexpr DWORD DIEFF_OBJECTOFFSETS = 0x02;
constexpr DWORD DIEFF_CARTESIAN = 0x10;
constexpr DWORD DIEFF_POLAR = 0x20;
constexpr DWORD DIEFF_SPHERICAL = 0x40;
constexpr DWORD DI_FFNOMINALMAX = 10000;
constexpr DWORD DI_DEGREES = 100;
constexpr DWORD INFINITE_DURATION = 0xFFFFFFFF;

struct DIENVELOPE {
    DWORD dwSize = sizeof(DIENVELOPE);
    DWORD dwAttackLevel = 0;
    DWORD dwAttackTime = 0; // microseconds
    DWORD dwFadeLevel = 0;
    DWORD dwFadeTime = 0;
};

struct DICONSTANTFORCE {
    LONG lMagnitude = 0;
};

struct DIRAMPFORCE {
    LONG lStart = 0;
    LONG lEnd = 0;
};

struct DIPERIODIC {
    DWORD dwMagnitude = 0;
    LONG lOffset = 0;
    DWORD dwPhase = 0;
    DWORD dwPeriod = 0; // microseconds
};

struct DICONDITION {
    LONG lOffset = 0;
    LONG lPositiveCoefficient = 0;
    LONG lNegativeCoefficient = 0;
    DWORD dwPositiveSaturation = 0;
    DWORD dwNegativeSaturation = 0;
    LONG lDeadBand = 0;
};

// Durations are in microseconds, levels and gains in 0..DI_FFNOMINALMAX.
struct DIEFFECT {
    DWORD dwSize = sizeof(DIEFFECT);
    DWORD dwFlags = 0;
    DWORD dwDuration = 0;
    DWORD dwSamplePeriod = 0;
    DWORD dwGain = 0;
    DWORD dwTriggerButton = 0xFFFFFFFF;
    DWORD dwTriggerRepeatInterval = 0;
    DWORD cAxes = 0;
    DWORD* rgdwAxes = nullptr;
    LONG* rglDirection = nullptr;
    DIENVELOPE* lpEnvelope = nullptr;
    DWORD cbTypeSpecificParams = 0;
    void* lpvTypeSpecificParams = nullptr;
    DWORD dwStartDelay = 0;
};

// One effect of an effect file; valid during the enumeration callback only.
struct DIFILEEFFECT {
    DWORD dwSize = sizeof(DIFILEEFFECT);
    GUID GuidEffect;
    const DIEFFECT* lpDiEffect = nullptr;
    char szFriendlyName[MAX_PATH] = {};
};

class IDirectInputDevice8A;
using LPDIENUMDEVICESCALLBACKA = BOOL (*)(const DIDEVICEINSTANCEA*, void*);
using LPDIENUMDEVICEOBJECTSCALLBACKA = BOOL (*)(const DIDEVICEOBJECTINSTANCEA*, void*);
using LPDIENUMEFFECTSINFILECALLBACK = BOOL (*)(const DIFILEEFFECT*, void*);

// Counted reference; Release of the last reference deletes the object.
class IUnknownLike {
public:
    ULONG AddRef() { return ++_references; }
    ULONG Release();

protected:
    virtual ~IUnknownLike() = default;

private:
    ULONG _references = 1;
};

class IDirectInputEffect : public IUnknownLike {
public:
    // Plays the effect _iterations times (INFINITE_DURATION: until stopped);
    // DIES_SOLO stops the device's other effects first.
    virtual HRESULT Start(DWORD _iterations, DWORD _flags) = 0;
    virtual HRESULT Stop() = 0;
};

class IDirectInputDevice8A : public IUnknownLike {
public:
    // Lists the device's objects, the same order on every call. _flags
    // DIDFT_ALL lists every object.
    virtual HRESULT EnumObjects(LPDIENUMDEVICEOBJECTSCALLBACKA _callback, void* _ref, DWORD _flags) = 0;
    virtual HRESULT GetDeviceInfo(DIDEVICEINSTANCEA* _info) = 0;
    virtual HRESULT SetCooperativeLevel(HWND _window, DWORD _flags) = 0;
    // The format is copied. Axes are reported absolute or, with DIDF_RELAXIS,
    // as the movement since the previous GetDeviceState.
    virtual HRESULT SetDataFormat(const DIDATAFORMAT* _format) = 0;
    virtual HRESULT Acquire() = 0;
    virtual HRESULT Unacquire() = 0;
    virtual HRESULT Poll() = 0;
    // Fills _size bytes (the format's data size) with the current state.
    virtual HRESULT GetDeviceState(DWORD _size, void* _data) = 0;
    // DIPROP_RANGE of the object at an offset of the data format.
    virtual HRESULT GetProperty(DWORD _property, DIPROPHEADER* _header) = 0;
    virtual HRESULT CreateEffect(const GUID& _type, const DIEFFECT* _effect, IDirectInputEffect** _out,
                                 void* _outer) = 0;
    // Calls _callback for each effect of a RIFF effect file (effect_file.h);
    // DIERR_NOTFOUND for a missing file, DIERR_INVALIDPARAM for a damaged one
    // (after the effects before the damage were enumerated).
    virtual HRESULT EnumEffectsInFile(const char* _file, LPDIENUMEFFECTSINFILECALLBACK _callback, void* _ref,
                                      DWORD _flags);
};

class IDirectInput8A : public IUnknownLike {
public:
    virtual HRESULT EnumDevices(DWORD _class, LPDIENUMDEVICESCALLBACKA _callback, void* _ref, DWORD _flags) = 0;
    virtual HRESULT CreateDevice(const GUID& _instance, IDirectInputDevice8A** _out, void* _outer) = 0;
};

// Makes the holder from the installed backend (dinput8_backend.h). _module
// is not used; _version must be DIRECTINPUT_VERSION and _iid
// IID_IDirectInput8A.
HRESULT DirectInput8Create(HINSTANCE _module, DWORD _version, const GUID& _iid, void** _out, void* _outer);
