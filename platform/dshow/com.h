#pragma once
// The little of COM the movie player uses: interface identities, reference
// counting and the creation of an object by its class identity. Objects live
// in the process; there is no registration, apartment or marshalling, so
// CoInitialize (platform/win32/messages.h) has nothing to prepare.
#include <cstdint>

#include "foundation/types.h"
#include "platform/win32/messages.h"

struct GUID {
    u32 Data1;
    u16 Data2;
    u16 Data3;
    u8 Data4[8];
};
using IID = GUID;
using CLSID = GUID;
using REFIID = const IID&;
using REFCLSID = const CLSID&;
using ULONG = u32;
using LONG = i32;
using LONG_PTR = std::intptr_t;

bool operator==(const GUID& a, const GUID& b);

constexpr HRESULT E_NOTIMPL = static_cast<HRESULT>(0x80004001);
constexpr HRESULT E_NOINTERFACE = static_cast<HRESULT>(0x80004002);
constexpr HRESULT E_POINTER = static_cast<HRESULT>(0x80004003);
constexpr HRESULT E_ABORT = static_cast<HRESULT>(0x80004004);
constexpr HRESULT E_FAIL = static_cast<HRESULT>(0x80004005);
constexpr HRESULT E_UNEXPECTED = static_cast<HRESULT>(0x8000FFFF);
constexpr HRESULT E_OUTOFMEMORY = static_cast<HRESULT>(0x8007000E);
constexpr HRESULT E_INVALIDARG = static_cast<HRESULT>(0x80070057);
constexpr HRESULT REGDB_E_CLASSNOTREG = static_cast<HRESULT>(0x80040154);

constexpr bool SUCCEEDED(HRESULT result)
{
    return result >= 0;
}
constexpr bool FAILED(HRESULT result)
{
    return result < 0;
}

class IUnknown {
public:
    virtual HRESULT QueryInterface(REFIID iid, void** object) = 0;
    virtual ULONG AddRef() = 0;
    virtual ULONG Release() = 0;

protected:
    ~IUnknown() = default;
};

extern const IID IID_IUnknown;

constexpr u32 CLSCTX_INPROC_SERVER = 0x1;

// Makes an object of a known class and asks it for iid. Aggregation (outer
// not null) is not supported.
HRESULT CoCreateInstance(REFCLSID clsid, IUnknown* outer, u32 context, REFIID iid, void** object);
