#include "platform/d3d9/record_config.h"
#include "platform/d3d9/testing/gl_scene.h"

#include <vector>

namespace {

// One draw sequence as the renderer runs it: states, a texture, a render
// target and back, buffers, a declaration, draws from buffers and from
// memory.
void RunSequence(IDirect3DDevice9* _device)
{
    _device->SetRenderState(D3DRS_LIGHTING, 0);
    _device->SetRenderState(D3DRS_ALPHABLENDENABLE, 1);
    _device->SetRenderState(D3DRS_SRCBLEND, D3DBLEND_SRCALPHA);
    _device->SetRenderState(D3DRS_DESTBLEND, D3DBLEND_INVSRCALPHA);
    _device->SetRenderState(D3DRS_FOGENABLE, 1);
    _device->SetRenderState(D3DRS_FOGSTART, FloatToDword(10.0f));
    _device->SetRenderState(D3DRS_STENCILENABLE, 1);
    _device->SetRenderState(D3DRS_CCW_STENCILPASS, D3DSTENCILOP_DECR);
    _device->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_MODULATE2X);
    _device->SetTextureStageState(1, D3DTSS_COLOROP, D3DTOP_ADD);
    _device->SetTextureStageState(1, D3DTSS_TEXCOORDINDEX, 0);
    _device->SetSamplerState(0, D3DSAMP_MINFILTER, D3DTEXF_LINEAR);
    _device->SetSamplerState(3, D3DSAMP_ADDRESSU, D3DTADDRESS_CLAMP);
    D3DMATRIX world = d3d_identity_matrix;
    world.m[3][0] = 2.0f;
    _device->SetTransform(D3DTS_WORLD, &world);
    _device->SetTransform(D3DTS_TEXTURE7, &world);
    D3DMATERIAL9 material;
    material.Diffuse = {1, 0.5f, 0.25f, 1};
    _device->SetMaterial(&material);
    D3DLIGHT9 light;
    light.Type = D3DLIGHT_POINT;
    light.Range = 100;
    _device->SetLight(2, &light);
    _device->LightEnable(2, 1);

    IDirect3DTexture9* texture = nullptr;
    _device->CreateTexture(8, 8, 0, 0, D3DFMT_DXT1, D3DPOOL_MANAGED, &texture, nullptr);
    _device->SetTexture(0, texture);
    IDirect3DTexture9* target = nullptr;
    _device->CreateTexture(32, 16, 1, D3DUSAGE_RENDERTARGET, D3DFMT_A8R8G8B8, D3DPOOL_DEFAULT, &target, nullptr);
    IDirect3DSurface9* back = nullptr;
    IDirect3DSurface9* surface = nullptr;
    _device->GetRenderTarget(0, &back);
    target->GetSurfaceLevel(0, &surface);
    _device->SetRenderTarget(0, surface);
    _device->Clear(0, nullptr, D3DCLEAR_TARGET, 0, 1.0f, 0);
    _device->SetRenderTarget(0, back);
    const D3DVIEWPORT9 viewport{4, 4, 40, 30, 0.0f, 1.0f};
    _device->SetViewport(&viewport);

    const D3DVERTEXELEMENT9 elements[] = {{0, 0, D3DDECLTYPE_FLOAT3, 0, D3DDECLUSAGE_POSITION, 0},
                                          {0, 12, D3DDECLTYPE_D3DCOLOR, 0, D3DDECLUSAGE_COLOR, 0},
                                          D3DDECL_END};
    IDirect3DVertexDeclaration9* declaration = nullptr;
    _device->CreateVertexDeclaration(elements, &declaration);
    IDirect3DVertexBuffer9* vertices = nullptr;
    _device->CreateVertexBuffer(3 * 16, D3DUSAGE_WRITEONLY, 0, D3DPOOL_MANAGED, &vertices, nullptr);
    void* data = nullptr;
    vertices->Lock(0, 0, &data, 0);
    std::fill_n(static_cast<u8*>(data), 3 * 16, u8{0});
    vertices->Unlock();
    IDirect3DIndexBuffer9* indices = nullptr;
    _device->CreateIndexBuffer(6, D3DUSAGE_WRITEONLY, D3DFMT_INDEX16, D3DPOOL_MANAGED, &indices, nullptr);
    indices->Lock(0, 0, &data, 0);
    const u16 order[3] = {0, 1, 2};
    std::copy(order, order + 3, static_cast<u16*>(data));
    indices->Unlock();

    _device->BeginScene();
    _device->SetVertexDeclaration(declaration);
    _device->SetStreamSource(0, vertices, 0, 16);
    _device->SetIndices(indices);
    _device->DrawIndexedPrimitive(D3DPT_TRIANGLELIST, 0, 0, 3, 0, 1);
    _device->DrawPrimitive(D3DPT_TRIANGLELIST, 0, 1);
    const f32 user[3][5] = {};
    _device->SetFVF(D3DFVF_XYZRHW | D3DFVF_DIFFUSE);
    _device->DrawPrimitiveUP(D3DPT_TRIANGLELIST, 1, user, 20);
    _device->EndScene();

    for (IUnknown* object :
         std::initializer_list<IUnknown*>{texture, target, back, surface, declaration, vertices, indices}) {
        object->Release();
    }
}

// Everything the device answers about its state, in one list.
std::vector<u64> Readback(IDirect3DDevice9* _device)
{
    std::vector<u64> out;
    DWORD value = 0;
    for (u32 rs = 0; rs < d3d_render_state_count; ++rs) {
        _device->GetRenderState(static_cast<D3DRENDERSTATETYPE>(rs), &value);
        out.push_back(value);
    }
    for (u32 stage = 0; stage < d3d_stage_count; ++stage) {
        for (u32 ts = 0; ts < d3d_stage_state_count; ++ts) {
            _device->GetTextureStageState(stage, static_cast<D3DTEXTURESTAGESTATETYPE>(ts), &value);
            out.push_back(value);
        }
    }
    for (u32 sampler = 0; sampler < d3d_sampler_count; ++sampler) {
        for (u32 ss = 0; ss < d3d_sampler_state_count; ++ss) {
            _device->GetSamplerState(sampler, static_cast<D3DSAMPLERSTATETYPE>(ss), &value);
            out.push_back(value);
        }
    }
    for (D3DTRANSFORMSTATETYPE t : {D3DTS_VIEW, D3DTS_PROJECTION, D3DTS_TEXTURE7, D3DTS_WORLD}) {
        D3DMATRIX m;
        _device->GetTransform(t, &m);
        for (const auto& row : m.m) {
            for (f32 f : row) {
                out.push_back(FloatToDword(f));
            }
        }
    }
    D3DVIEWPORT9 viewport;
    _device->GetViewport(&viewport);
    out.insert(out.end(), {viewport.X, viewport.Y, viewport.Width, viewport.Height});
    _device->GetFVF(&value);
    out.push_back(value);
    IDirect3DVertexBuffer9* stream = nullptr;
    UINT offset = 0, stride = 0;
    _device->GetStreamSource(0, &stream, &offset, &stride);
    out.insert(out.end(), {stream != nullptr, offset, stride});
    IDirect3DIndexBuffer9* indices = nullptr;
    _device->GetIndices(&indices);
    IDirect3DBaseTexture9* texture = nullptr;
    _device->GetTexture(0, &texture);
    IDirect3DVertexDeclaration9* declaration = nullptr;
    _device->GetVertexDeclaration(&declaration);
    out.insert(out.end(), {indices != nullptr, texture != nullptr, declaration != nullptr});
    for (IUnknown* object : std::initializer_list<IUnknown*>{stream, indices, texture, declaration}) {
        if (object != nullptr) {
            object->Release();
        }
    }
    return out;
}

using GlReadback = gl_scene_c;

TEST_F(GlReadback, OneSequenceReadsBackAlikeOnBothBackends)
{
    RunSequence(device);
    const std::vector<u64> drawn = Readback(device);

    record_config_c config;
    InstallRecordBackend(config);
    IDirect3D9* record = Direct3DCreate9(D3D_SDK_VERSION);
    ASSERT_NE(record, nullptr);
    D3DPRESENT_PARAMETERS parameters;
    parameters.BackBufferWidth = size;
    parameters.BackBufferHeight = size;
    parameters.Windowed = 1;
    parameters.EnableAutoDepthStencil = 1;
    parameters.AutoDepthStencilFormat = D3DFMT_D24S8;
    IDirect3DDevice9* recorded = nullptr;
    ASSERT_EQ(
        record->CreateDevice(0, D3DDEVTYPE_HAL, nullptr, D3DCREATE_HARDWARE_VERTEXPROCESSING, &parameters, &recorded),
        D3D_OK);
    RunSequence(recorded);
    const std::vector<u64> logged = Readback(recorded);
    recorded->Release();
    record->Release();
    RemoveRecordBackend();

    ASSERT_EQ(drawn.size(), logged.size());
    for (std::size_t i = 0; i < drawn.size(); ++i) {
        EXPECT_EQ(drawn[i], logged[i]) << "entry " << i;
    }
}

}
