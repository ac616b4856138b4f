#include "platform/d3d9/d3d9.h"
#include "platform/d3d9/gl_backend.h"

#include <utility>

namespace {

direct3d_backend_t& Backend()
{
    // The program draws with OpenGL unless told otherwise.
    static direct3d_backend_t backend = GlDirect3DCreate9;
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
