#include "platform/dshow/com.h"

#include <cstring>

#include "platform/dshow/filter_graph.h"

// Identities of our own; nothing outside the program reads them.
const IID IID_IUnknown = {0x5C3A0001, 0x7E21, 0x4B0D, {0x9A, 0x11, 0x53, 0x6B, 0x79, 0x76, 0x61, 0x01}};

bool operator==(const GUID& a, const GUID& b)
{
    return std::memcmp(&a, &b, sizeof(GUID)) == 0;
}

// Made by filter_graph.cpp.
HRESULT CreateFilterGraph(REFIID iid, void** object);

HRESULT CoCreateInstance(REFCLSID clsid, IUnknown* outer, u32, REFIID iid, void** object)
{
    if (!object)
        return E_POINTER;
    *object = nullptr;
    if (outer)
        return E_NOINTERFACE;
    if (clsid == CLSID_FilterGraph)
        return CreateFilterGraph(iid, object);
    return REGDB_E_CLASSNOTREG;
}
