#include "platform/d3d9/format_layout.h"
#include "platform/d3d9/record_config.h"
#include "platform/d3d9/record_device.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

class RecordBackend : public ::testing::Test {
protected:
    void SetUp() override { InstallRecordBackend(config); }
    void TearDown() override
    {
        if (device != nullptr) {
            device->Release();
        }
        if (d3d != nullptr) {
            d3d->Release();
        }
        RemoveRecordBackend();
    }

    record_device_c* MakeDevice(BOOL _windowed = 1, DWORD _behaviour = D3DCREATE_HARDWARE_VERTEXPROCESSING)
    {
        d3d = Direct3DCreate9(D3D_SDK_VERSION);
        D3DPRESENT_PARAMETERS parameters;
        parameters.Windowed = _windowed;
        parameters.EnableAutoDepthStencil = 1;
        parameters.AutoDepthStencilFormat = D3DFMT_D24S8;
        EXPECT_EQ(d3d->CreateDevice(0, D3DDEVTYPE_HAL, nullptr, _behaviour, &parameters, &device), D3D_OK);
        return static_cast<record_device_c*>(device);
    }

    record_config_c config;
    IDirect3D9* d3d = nullptr;
    IDirect3DDevice9* device = nullptr;
};

TEST(Direct3DCreate, GivesNothingWithoutABackendOrForAnotherVersion)
{
    RemoveRecordBackend();
    EXPECT_EQ(Direct3DCreate9(D3D_SDK_VERSION), nullptr);
    record_config_c config;
    InstallRecordBackend(config);
    EXPECT_EQ(Direct3DCreate9(32), nullptr);
    IDirect3D9* d3d = Direct3DCreate9(D3D_SDK_VERSION);
    ASSERT_NE(d3d, nullptr);
    d3d->Release();
    config.Fail("Direct3DCreate9");
    EXPECT_EQ(Direct3DCreate9(D3D_SDK_VERSION), nullptr);
    RemoveRecordBackend();
}

TEST_F(RecordBackend, StartsFromTheDocumentedDefaults)
{
    record_device_c* rec = MakeDevice();
    const d3d9_device_state_c& state = rec->State();
    EXPECT_EQ(state.renderStates[D3DRS_ZENABLE], D3DZB_TRUE);
    EXPECT_EQ(state.renderStates[D3DRS_CULLMODE], D3DCULL_CCW);
    EXPECT_EQ(state.renderStates[D3DRS_LIGHTING], 1u);
    EXPECT_EQ(state.renderStates[D3DRS_DIFFUSEMATERIALSOURCE], D3DMCS_COLOR1);
    EXPECT_EQ(state.renderStates[D3DRS_SPECULARMATERIALSOURCE], D3DMCS_COLOR2);
    EXPECT_EQ(state.renderStates[D3DRS_LOCALVIEWER], 1u);
    EXPECT_EQ(state.RenderStateFloat(D3DRS_FOGEND), 1.0f);
    EXPECT_EQ(state.stageStates[0][D3DTSS_COLOROP], D3DTOP_MODULATE);
    EXPECT_EQ(state.stageStates[1][D3DTSS_COLOROP], D3DTOP_DISABLE);
    EXPECT_EQ(state.stageStates[3][D3DTSS_TEXCOORDINDEX], 3u);
    EXPECT_EQ(state.stageStates[2][D3DTSS_RESULTARG], D3DTA_CURRENT);
    EXPECT_EQ(state.samplerStates[5][D3DSAMP_ADDRESSU], D3DTADDRESS_WRAP);
    EXPECT_EQ(state.samplerStates[5][D3DSAMP_MINFILTER], D3DTEXF_POINT);
    EXPECT_EQ(state.viewport.Width, config.clientWidth);
    EXPECT_EQ(state.renderTargets[0], rec->BackBuffer());
}

TEST_F(RecordBackend, KeepsWhatIsSetAndCountsEachCall)
{
    record_device_c* rec = MakeDevice();
    config.ClearLog();
    device->SetRenderState(D3DRS_CULLMODE, D3DCULL_NONE);
    device->SetRenderState(D3DRS_CULLMODE, D3DCULL_NONE);
    device->SetRenderState(D3DRS_ZFUNC, D3DCMP_LESS);
    device->SetTextureStageState(1, D3DTSS_COLOROP, D3DTOP_ADD);
    device->SetSamplerState(2, D3DSAMP_MAGFILTER, D3DTEXF_LINEAR);
    D3DMATRIX world = d3d_identity_matrix;
    world.m[3][0] = 5.0f;
    device->SetTransform(D3DTS_WORLDMATRIX(3), &world);
    const f32 constant[8] = {1, 2, 3, 4, 5, 6, 7, 8};
    device->SetVertexShaderConstantF(10, constant, 2);

    EXPECT_EQ(config.Count("SetRenderState"), 3u);
    EXPECT_EQ(config.Count("SetRenderState", D3DRS_CULLMODE), 2u);
    EXPECT_EQ(rec->State().renderStates[D3DRS_CULLMODE], D3DCULL_NONE);
    EXPECT_EQ(rec->State().stageStates[1][D3DTSS_COLOROP], D3DTOP_ADD);
    EXPECT_EQ(rec->State().samplerStates[2][D3DSAMP_MAGFILTER], D3DTEXF_LINEAR);
    EXPECT_EQ(rec->State().worldMatrices[3], world);
    EXPECT_EQ(rec->State().vertexConstants[11][3], 8.0f);
    DWORD value = 0;
    device->GetRenderState(D3DRS_ZFUNC, &value);
    EXPECT_EQ(value, D3DCMP_LESS);
    EXPECT_EQ(device->SetVertexShaderConstantF(255, constant, 2), D3DERR_INVALIDCALL);
}

TEST_F(RecordBackend, BoundObjectsAreHeldUntilUnbound)
{
    MakeDevice();
    IDirect3DTexture9* texture = nullptr;
    ASSERT_EQ(device->CreateTexture(8, 8, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, &texture, nullptr), D3D_OK);
    device->SetTexture(0, texture);
    EXPECT_EQ(texture->AddRef(), 3u);
    texture->Release();
    EXPECT_EQ(texture->Release(), 1u);
    IDirect3DBaseTexture9* bound = nullptr;
    device->GetTexture(0, &bound);
    EXPECT_EQ(bound, texture);
    bound->Release();
    device->SetTexture(0, nullptr);
}

TEST_F(RecordBackend, TexturesMakeTheirChainAndLockWithThePaddedPitch)
{
    config.pitchPadding = 12;
    MakeDevice();
    struct case_s {
        D3DFORMAT format;
        UINT width, height, levels, expectLevels;
        i32 pitch0;
    };
    const case_s cases[] = {
        {D3DFMT_L8, 16, 4, 0, 5, 16 + 12},
        {D3DFMT_A8R8G8B8, 5, 3, 0, 3, 20 + 12},
        {D3DFMT_DXT1, 8, 8, 1, 1, 16 + 12},
        {D3DFMT_DXT5, 6, 6, 2, 2, 32 + 12},
    };
    for (const case_s& c : cases) {
        IDirect3DTexture9* texture = nullptr;
        ASSERT_EQ(device->CreateTexture(c.width, c.height, c.levels, 0, c.format, D3DPOOL_MANAGED, &texture, nullptr),
                  D3D_OK);
        EXPECT_EQ(texture->GetLevelCount(), c.expectLevels) << c.format;
        D3DLOCKED_RECT locked;
        ASSERT_EQ(texture->LockRect(0, &locked, nullptr, 0), D3D_OK);
        EXPECT_EQ(locked.Pitch, c.pitch0) << c.format;
        EXPECT_EQ(texture->LockRect(0, &locked, nullptr, 0), D3DERR_INVALIDCALL) << "locked twice";
        EXPECT_EQ(texture->UnlockRect(0), D3D_OK);
        EXPECT_EQ(texture->UnlockRect(0), D3DERR_INVALIDCALL);
        texture->Release();
    }
}

TEST_F(RecordBackend, SubRectangleLocksPointIntoTheSurface)
{
    MakeDevice();
    IDirect3DSurface9* surface = nullptr;
    ASSERT_EQ(device->CreateOffscreenPlainSurface(10, 10, D3DFMT_A8R8G8B8, D3DPOOL_SCRATCH, &surface, nullptr), D3D_OK);
    D3DLOCKED_RECT whole;
    surface->LockRect(&whole, nullptr, 0);
    surface->UnlockRect();
    const RECT rect{2, 3, 6, 7};
    D3DLOCKED_RECT part;
    ASSERT_EQ(surface->LockRect(&part, &rect, D3DLOCK_READONLY), D3D_OK);
    EXPECT_EQ(static_cast<u8*>(part.pBits) - static_cast<u8*>(whole.pBits), 3 * 40 + 2 * 4);
    surface->UnlockRect();
    const RECT outside{8, 8, 11, 9};
    EXPECT_EQ(surface->LockRect(&part, &outside, 0), D3DERR_INVALIDCALL);
    surface->Release();
}

TEST_F(RecordBackend, InjectedFailuresStartAfterTheGivenSuccesses)
{
    MakeDevice();
    config.Fail("CreateVertexDeclaration", E_OUTOFMEMORY, 2);
    const D3DVERTEXELEMENT9 elements[] = {{0, 0, D3DDECLTYPE_FLOAT3, 0, D3DDECLUSAGE_POSITION, 0}, D3DDECL_END};
    IDirect3DVertexDeclaration9* made[3] = {};
    EXPECT_EQ(device->CreateVertexDeclaration(elements, &made[0]), D3D_OK);
    EXPECT_EQ(device->CreateVertexDeclaration(elements, &made[1]), D3D_OK);
    EXPECT_EQ(device->CreateVertexDeclaration(elements, &made[2]), E_OUTOFMEMORY);
    EXPECT_EQ(made[0]->GetElements()[1], D3DDECL_END);
    made[0]->Release();
    made[1]->Release();
    config.Fail("Present", D3DERR_DEVICELOST);
    EXPECT_EQ(device->Present(nullptr, nullptr, nullptr, nullptr), D3DERR_DEVICELOST);
}

TEST_F(RecordBackend, ClearFillsTheViewportAndPresentShowsIt)
{
    record_device_c* rec = MakeDevice();
    const D3DVIEWPORT9 viewport{10, 20, 4, 2, 0.0f, 1.0f};
    device->SetViewport(&viewport);
    device->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0x11223344u, 1.0f, 0);
    device->Present(nullptr, nullptr, nullptr, nullptr);
    IDirect3DSurface9* capture = nullptr;
    device->CreateOffscreenPlainSurface(config.clientWidth, config.clientHeight, D3DFMT_A8R8G8B8, D3DPOOL_SCRATCH,
                                        &capture, nullptr);
    ASSERT_EQ(device->GetFrontBufferData(0, capture), D3D_OK);
    D3DLOCKED_RECT locked;
    capture->LockRect(&locked, nullptr, D3DLOCK_READONLY);
    auto pixel = [&](u32 _x, u32 _y) {
        u32 value;
        std::memcpy(&value, static_cast<u8*>(locked.pBits) + _y * locked.Pitch + _x * 4, 4);
        return value;
    };
    EXPECT_EQ(pixel(10, 20), 0x11223344u);
    EXPECT_EQ(pixel(13, 21), 0x11223344u);
    EXPECT_EQ(pixel(14, 21), 0u);
    EXPECT_EQ(pixel(10, 22), 0u);
    capture->UnlockRect();
    capture->Release();
    ASSERT_EQ(rec->Clears().size(), 1u);
    EXPECT_EQ(rec->Clears()[0].flags, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER);
}

TEST_F(RecordBackend, DrawsAreLoggedWithTheirStateAndOnlyInsideAScene)
{
    record_device_c* rec = MakeDevice();
    const f32 quad[4][5] = {{0, 0, 1, 1, 0}, {1, 0, 1, 1, 0}, {0, 1, 1, 1, 0}, {1, 1, 1, 1, 0}};
    EXPECT_EQ(device->DrawPrimitiveUP(D3DPT_TRIANGLESTRIP, 2, quad, 20), D3DERR_INVALIDCALL);
    device->BeginScene();
    EXPECT_EQ(device->BeginScene(), D3DERR_INVALIDCALL);
    device->SetRenderState(D3DRS_ALPHABLENDENABLE, 1);
    EXPECT_EQ(device->DrawPrimitiveUP(D3DPT_TRIANGLESTRIP, 2, quad, 20), D3D_OK);
    device->SetRenderState(D3DRS_ALPHABLENDENABLE, 0);
    device->EndScene();
    ASSERT_EQ(rec->Draws().size(), 1u);
    EXPECT_EQ(rec->Draws()[0].vertices.size(), 80u);
    EXPECT_EQ(rec->Draws()[0].state->renderStates[D3DRS_ALPHABLENDENABLE], 1u);
}

TEST_F(RecordBackend, BufferDrawsAreCheckedAgainstTheBoundBuffers)
{
    MakeDevice();
    IDirect3DVertexBuffer9* vertices = nullptr;
    IDirect3DIndexBuffer9* indices = nullptr;
    device->CreateVertexBuffer(12 * 4, D3DUSAGE_WRITEONLY, 0, D3DPOOL_MANAGED, &vertices, nullptr);
    device->CreateIndexBuffer(2 * 6, D3DUSAGE_WRITEONLY, D3DFMT_INDEX16, D3DPOOL_MANAGED, &indices, nullptr);
    device->SetStreamSource(0, vertices, 0, 12);
    device->SetIndices(indices);
    device->BeginScene();
    EXPECT_EQ(device->DrawIndexedPrimitive(D3DPT_TRIANGLELIST, 0, 0, 4, 0, 2), D3D_OK);
    EXPECT_EQ(device->DrawIndexedPrimitive(D3DPT_TRIANGLELIST, 0, 0, 4, 3, 2), D3DERR_INVALIDCALL);
    EXPECT_EQ(device->DrawPrimitive(D3DPT_TRIANGLESTRIP, 0, 2), D3D_OK);
    EXPECT_EQ(device->DrawPrimitive(D3DPT_TRIANGLESTRIP, 1, 2), D3DERR_INVALIDCALL);
    device->EndScene();
    device->SetStreamSource(0, nullptr, 0, 0);
    device->SetIndices(nullptr);
    vertices->Release();
    indices->Release();
}

TEST_F(RecordBackend, AdapterAnswersFromTheConfiguration)
{
    config.Accept(D3DUSAGE_DEPTHSTENCIL, D3DRTYPE_SURFACE, D3DFMT_D16);
    config.depthMatches = {D3DFMT_D16};
    MakeDevice();
    EXPECT_EQ(
        d3d->CheckDeviceFormat(0, D3DDEVTYPE_HAL, D3DFMT_X8R8G8B8, D3DUSAGE_DEPTHSTENCIL, D3DRTYPE_SURFACE, D3DFMT_D16),
        D3D_OK);
    EXPECT_EQ(d3d->CheckDeviceFormat(0, D3DDEVTYPE_HAL, D3DFMT_X8R8G8B8, 0, D3DRTYPE_TEXTURE, D3DFMT_L8),
              D3DERR_NOTAVAILABLE);
    EXPECT_EQ(d3d->CheckDepthStencilMatch(0, D3DDEVTYPE_HAL, D3DFMT_X8R8G8B8, D3DFMT_X8R8G8B8, D3DFMT_D24S8),
              D3DERR_NOTAVAILABLE);
    EXPECT_EQ(d3d->GetAdapterModeCount(0, D3DFMT_R5G6B5), 1u);
    D3DDISPLAYMODE mode;
    EXPECT_EQ(d3d->EnumAdapterModes(0, D3DFMT_R5G6B5, 1, &mode), D3DERR_INVALIDCALL);
    EXPECT_EQ(d3d->CheckDeviceMultiSampleType(0, D3DDEVTYPE_HAL, D3DFMT_X8R8G8B8, 1, D3DMULTISAMPLE_3_SAMPLES, nullptr),
              D3DERR_NOTAVAILABLE);
}

TEST_F(RecordBackend, ShadersNeedAVersionAndAnEndToken)
{
    MakeDevice();
    const DWORD good[] = {D3DVS_VERSION(1, 1), 0x0001FFFEu, 0x12345678u, 0x0000FFFFu};
    const DWORD pixel[] = {D3DPS_VERSION(2, 0), 0x0000FFFFu};
    IDirect3DVertexShader9* shader = nullptr;
    ASSERT_EQ(device->CreateVertexShader(good, &shader), D3D_OK);
    UINT count = 0;
    shader->GetFunction(&count);
    EXPECT_EQ(count, 4u);
    shader->Release();
    EXPECT_EQ(device->CreateVertexShader(pixel, &shader), D3DERR_INVALIDCALL);
}

TEST(FormatLayout, RowsOfBlocksForCompressedFormats)
{
    EXPECT_EQ(D3DFormatRowBytes(D3DFMT_DXT1, 5), 16u);
    EXPECT_EQ(D3DFormatRowBytes(D3DFMT_DXT3, 4), 16u);
    EXPECT_EQ(D3DFormatRowCount(D3DFMT_DXT5, 5), 2u);
    EXPECT_EQ(D3DFormatRowBytes(D3DFMT_R5G6B5, 3), 6u);
    EXPECT_EQ(D3DFormatRowCount(D3DFMT_L8, 5), 5u);
    EXPECT_EQ(D3DFormatUnitBytes(D3DFMT_UNKNOWN), 0u);
}

}
