#include "platform/d3d9/testing/gl_scene.h"
#include "platform/d3d9/format_layout.h"
#include "platform/d3d9/gl_backend.h"
#include "platform/d3d9/testing/expected_image.h"
#include "platform/win32/messages.h"
#include "platform/win32/windows.h"

#include <cstring>

namespace {

LRESULT SceneProc(HWND _window, UINT _message, WPARAM _w, LPARAM _l)
{
    return DefWindowProc(_window, _message, _w, _l);
}

}

void gl_scene_c::SetUp()
{
    WNDCLASSEXA description;
    description.lpfnWndProc = SceneProc;
    description.lpszClassName = "gl scene";
    RegisterClassEx(&description);
    window = CreateWindowEx(0, "gl scene", "", WS_POPUP, 0, 0, size, size, nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(window, nullptr);
    InstallGlBackend();
    d3d = Direct3DCreate9(D3D_SDK_VERSION);
    ASSERT_NE(d3d, nullptr) << GlBackendFailure();
    D3DPRESENT_PARAMETERS parameters;
    parameters.BackBufferWidth = size;
    parameters.BackBufferHeight = size;
    parameters.BackBufferFormat = D3DFMT_X8R8G8B8;
    parameters.Windowed = 1;
    parameters.hDeviceWindow = window;
    parameters.EnableAutoDepthStencil = 1;
    parameters.AutoDepthStencilFormat = D3DFMT_D24S8;
    ASSERT_EQ(d3d->CreateDevice(0, D3DDEVTYPE_HAL, window, D3DCREATE_HARDWARE_VERTEXPROCESSING, &parameters, &device),
              D3D_OK)
        << GlBackendFailure();
}

void gl_scene_c::TearDown()
{
    if (device != nullptr) {
        device->Release();
    }
    if (d3d != nullptr) {
        d3d->Release();
    }
    SetDirect3DBackend({});
    if (window != nullptr) {
        DestroyWindow(window);
    }
    UnregisterClass("gl scene", nullptr);
}

void gl_scene_c::BeginUnlitScene()
{
    if (device == nullptr) {
        return;
    }
    device->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER | D3DCLEAR_STENCIL, 0xFF000000u, 1.0f, 0);
    device->SetRenderState(D3DRS_CULLMODE, D3DCULL_NONE);
    device->SetRenderState(D3DRS_LIGHTING, 0);
    device->BeginScene();
}

void gl_scene_c::Quad(f32 _x0, f32 _y0, f32 _x1, f32 _y1, D3DCOLOR _color, f32 _z)
{
    const gl_test_vertex_s quad[4] = {{_x0, _y0, _z, 1.0f, _color, 0.0f, 0.0f},
                                      {_x1, _y0, _z, 1.0f, _color, 1.0f, 0.0f},
                                      {_x0, _y1, _z, 1.0f, _color, 0.0f, 1.0f},
                                      {_x1, _y1, _z, 1.0f, _color, 1.0f, 1.0f}};
    device->SetFVF(gl_test_fvf);
    EXPECT_EQ(device->DrawPrimitiveUP(D3DPT_TRIANGLESTRIP, 2, quad, sizeof(gl_test_vertex_s)), D3D_OK);
}

IDirect3DTexture9* gl_scene_c::Texture(UINT _width, UINT _height, D3DFORMAT _format, const std::vector<u8>& _bytes)
{
    IDirect3DTexture9* texture = nullptr;
    EXPECT_EQ(device->CreateTexture(_width, _height, 1, 0, _format, D3DPOOL_MANAGED, &texture, nullptr), D3D_OK);
    if (texture == nullptr) {
        return nullptr;
    }
    D3DLOCKED_RECT locked;
    EXPECT_EQ(texture->LockRect(0, &locked, nullptr, 0), D3D_OK);
    const u64 row = D3DFormatRowBytes(_format, _width);
    const u32 rows = D3DFormatRowCount(_format, _height);
    for (u32 y = 0; y < rows && (y + 1) * row <= _bytes.size(); ++y) {
        std::memcpy(static_cast<u8*>(locked.pBits) + y * u64(locked.Pitch), _bytes.data() + y * row, row);
    }
    texture->UnlockRect(0);
    return texture;
}

std::vector<u8> gl_scene_c::Capture()
{
    EXPECT_EQ(device->Present(nullptr, nullptr, nullptr, nullptr), D3D_OK);
    IDirect3DSurface9* surface = nullptr;
    EXPECT_EQ(device->CreateOffscreenPlainSurface(size, size, D3DFMT_A8R8G8B8, D3DPOOL_SYSTEMMEM, &surface, nullptr),
              D3D_OK);
    std::vector<u8> out(size * size * 4);
    if (surface == nullptr) {
        return out;
    }
    EXPECT_EQ(device->GetFrontBufferData(0, surface), D3D_OK);
    D3DLOCKED_RECT locked;
    EXPECT_EQ(surface->LockRect(&locked, nullptr, D3DLOCK_READONLY), D3D_OK);
    for (u32 y = 0; y < size; ++y) {
        std::memcpy(out.data() + y * size * 4, static_cast<u8*>(locked.pBits) + y * u64(locked.Pitch), size * 4);
    }
    surface->UnlockRect();
    surface->Release();
    return out;
}

D3DCOLOR gl_scene_c::Pixel(const std::vector<u8>& _capture, u32 _x, u32 _y)
{
    return CapturedPixel(_capture, size, _x, _y);
}

void gl_scene_c::ExpectImage(const std::vector<u8>& _capture, const std::string& _name, u32 _tolerance)
{
    ExpectImageFile(_capture, size, size, SKYVARN_D3D9_EXPECTED, _name, _tolerance);
}
