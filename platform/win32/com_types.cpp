#include "platform/win32/com_types.h"

HRESULT CoInitialize(void*)
{
    return S_OK;
}

void CoUninitialize() {}
