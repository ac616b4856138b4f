#include "platform/d3d9/d3d9.h"

#include <utility>

namespace {

direct3d_backend_t& Backend()
{
    static direct3d_backend_t backend;
    return backend;
}

}

void SetDirect3DBackend(direct3d_backend_t _backend)
{
    Backend() = std::move(_backend);
}

IDirect3D9* Direct3DCreate9(UINT _sdk_version)
{
    if (_sdk_version != D3D_SDK_VERSION || !Backend()) {
        return nullptr;
    }
    return Backend()(_sdk_version);
}
