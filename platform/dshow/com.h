#pragma once
// The creation of an object by its class identity, for the movie player's
// graph; identities, results and counted references are the shared ones.
#include "platform/win32/com_types.h"

constexpr HRESULT REGDB_E_CLASSNOTREG = static_cast<HRESULT>(0x80040154u);

extern const IID IID_IUnknown;

constexpr u32 CLSCTX_INPROC_SERVER = 0x1;

// Makes an object of a known class and asks it for iid. Aggregation (outer
// not null) is not supported.
HRESULT CoCreateInstance(REFCLSID clsid, IUnknown* outer, u32 context, REFIID iid, void** object);
