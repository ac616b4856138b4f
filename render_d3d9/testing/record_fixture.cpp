#include "render_d3d9/testing/record_fixture.h"

void record_fixture_c::SetUp()
{
    InstallRecordBackend(config);
}

void record_fixture_c::TearDown()
{
    if (device != nullptr) {
        device->Release();
    }
    if (d3d != nullptr) {
        d3d->Release();
    }
    RemoveRecordBackend();
}

record_device_c* record_fixture_c::Make(DWORD _behaviour)
{
    d3d = Direct3DCreate9(D3D_SDK_VERSION);
    D3DPRESENT_PARAMETERS parameters;
    parameters.Windowed = 1;
    parameters.EnableAutoDepthStencil = 1;
    parameters.AutoDepthStencilFormat = D3DFMT_D24S8;
    EXPECT_EQ(d3d->CreateDevice(0, D3DDEVTYPE_HAL, nullptr, _behaviour, &parameters, &device), D3D_OK);
    rec = static_cast<record_device_c*>(device);
    return rec;
}
