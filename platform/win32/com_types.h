#pragma once
// The vocabulary shared by the layers that stand in for the system's object
// interfaces (3D device, input devices, movie graph): result codes, 16-byte
// identities and counted references. Objects live in the process; there is
// no registration, apartment or marshalling, so CoInitialize has nothing to
// prepare and CoUninitialize nothing to release.
#include <cstdint>
#include <cstring>

#include "foundation/types.h"

using HRESULT = i32;
using LONG = i32;
using ULONG = u32;
using LONG_PTR = std::intptr_t;

// 16 bytes in the Windows layout: Data1, Data2 and Data3 little-endian.
struct GUID {
    u32 Data1 = 0;
    u16 Data2 = 0;
    u16 Data3 = 0;
    u8 Data4[8] = {0, 0, 0, 0, 0, 0, 0, 0};

    friend bool operator==(const GUID& a, const GUID& b) { return std::memcmp(&a, &b, sizeof(GUID)) == 0; }
};
static_assert(sizeof(GUID) == 16);
using IID = GUID;
using CLSID = GUID;
using REFIID = const IID&;
using REFCLSID = const CLSID&;

constexpr GUID MakeGuid(u32 _d1, u16 _d2, u16 _d3, u8 _a, u8 _b, u8 _c, u8 _d, u8 _e, u8 _f, u8 _g, u8 _h)
{
    return GUID{_d1, _d2, _d3, {_a, _b, _c, _d, _e, _f, _g, _h}};
}

constexpr HRESULT S_OK = 0;
constexpr HRESULT E_NOTIMPL = static_cast<HRESULT>(0x80004001u);
constexpr HRESULT E_NOINTERFACE = static_cast<HRESULT>(0x80004002u);
constexpr HRESULT E_POINTER = static_cast<HRESULT>(0x80004003u);
constexpr HRESULT E_ABORT = static_cast<HRESULT>(0x80004004u);
constexpr HRESULT E_FAIL = static_cast<HRESULT>(0x80004005u);
constexpr HRESULT E_UNEXPECTED = static_cast<HRESULT>(0x8000FFFFu);
constexpr HRESULT E_OUTOFMEMORY = static_cast<HRESULT>(0x8007000Eu);
constexpr HRESULT E_INVALIDARG = static_cast<HRESULT>(0x80070057u);

constexpr bool SUCCEEDED(HRESULT _hr)
{
    return _hr >= 0;
}
constexpr bool FAILED(HRESULT _hr)
{
    return _hr < 0;
}

// A counted reference: Release of the last one deletes the object. An
// object that answers for more than one interface says so in QueryInterface.
class IUnknown {
public:
    virtual HRESULT QueryInterface(REFIID, void** _object)
    {
        if (_object)
            *_object = nullptr;
        return E_NOINTERFACE;
    }
    virtual ULONG AddRef() = 0;
    virtual ULONG Release() = 0;

protected:
    virtual ~IUnknown() = default;
};

HRESULT CoInitialize(void* _reserved);
void CoUninitialize();
