#include "platform/d3dx9/d3dx9_font.h"
#include "platform/d3d9/record_config.h"
#include "platform/d3d9/record_device.h"
#include "platform/d3dx9/d3dx9_shader.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

class Font : public ::testing::Test {
protected:
    void SetUp() override
    {
        InstallRecordBackend(config);
        d3d = Direct3DCreate9(D3D_SDK_VERSION);
        D3DPRESENT_PARAMETERS parameters;
        parameters.Windowed = 1;
        d3d->CreateDevice(0, D3DDEVTYPE_HAL, nullptr, D3DCREATE_HARDWARE_VERTEXPROCESSING, &parameters, &device);
        rec = static_cast<record_device_c*>(device);
    }
    void TearDown() override
    {
        device->Release();
        d3d->Release();
        RemoveRecordBackend();
    }
    ID3DXFont* Make(const char* _face, INT _height, UINT _weight = FW_NORMAL)
    {
        D3DXFONT_DESCA desc;
        desc.Height = _height;
        desc.Weight = _weight;
        std::strncpy(desc.FaceName, _face, sizeof(desc.FaceName) - 1);
        ID3DXFont* font = nullptr;
        EXPECT_EQ(D3DXCreateFontIndirect(device, &desc, &font), D3D_OK);
        return font;
    }

    record_config_c config;
    IDirect3D9* d3d = nullptr;
    IDirect3DDevice9* device = nullptr;
    record_device_c* rec = nullptr;
};

TEST_F(Font, MeasuresLinesAndWidths)
{
    ID3DXFont* font = Make("DejaVu Sans", -20);
    ASSERT_NE(font, nullptr);
    RECT narrow{10, 20, 10, 20};
    font->DrawTextA(nullptr, "iii", -1, &narrow, DT_NOPREFIX | DT_NOCLIP | DT_CALCRECT, 0xFFFFFFFFu);
    RECT wide{0, 0, 0, 0};
    const INT height = font->DrawTextA(nullptr, "WWW", -1, &wide, DT_NOPREFIX | DT_NOCLIP | DT_CALCRECT, 0);
    EXPECT_GT(narrow.right, 10);
    EXPECT_LT(narrow.right - narrow.left, wide.right);
    EXPECT_EQ(narrow.bottom - narrow.top, height);
    EXPECT_GE(height, 20);
    RECT two{0, 0, 0, 0};
    font->DrawTextA(nullptr, "WWW\nW", -1, &two, DT_CALCRECT, 0);
    EXPECT_EQ(two.right, wide.right) << "the widest line";
    EXPECT_EQ(two.bottom, 2 * height);
    RECT leading{0, 0, 0, 0};
    font->DrawTextA(nullptr, "W\nW", -1, &leading, DT_CALCRECT | DT_EXTERNALLEADING, 0);
    EXPECT_GE(leading.bottom, two.bottom);
    EXPECT_TRUE(rec->Draws().empty()) << "measuring draws nothing";
    font->Release();
}

TEST_F(Font, DrawingLeavesTheDeviceAsItWas)
{
    ID3DXFont* font = Make("DejaVu Sans", -16);
    ASSERT_NE(font, nullptr);
    device->SetRenderState(D3DRS_ZENABLE, D3DZB_TRUE);
    device->SetRenderState(D3DRS_FILLMODE, D3DFILL_WIREFRAME);
    device->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_ADD);
    const D3DVERTEXELEMENT9 elements[] = {{0, 0, D3DDECLTYPE_FLOAT3, 0, D3DDECLUSAGE_POSITION, 0}, D3DDECL_END};
    IDirect3DVertexDeclaration9* declaration = nullptr;
    device->CreateVertexDeclaration(elements, &declaration);
    device->SetVertexDeclaration(declaration);
    IDirect3DVertexBuffer9* buffer = nullptr;
    device->CreateVertexBuffer(64, D3DUSAGE_WRITEONLY, 0, D3DPOOL_MANAGED, &buffer, nullptr);
    device->SetStreamSource(0, buffer, 0, 12);
    const d3d9_device_state_c before = rec->State();
    device->BeginScene();
    RECT rect{5, 5, 200, 50};
    font->DrawTextA(nullptr, "Ab c", -1, &rect, DT_NOPREFIX | DT_NOCLIP, 0x80FF0000u);
    device->EndScene();
    const d3d9_device_state_c& after = rec->State();
    EXPECT_EQ(after.renderStates, before.renderStates);
    EXPECT_EQ(after.stageStates, before.stageStates);
    EXPECT_EQ(after.samplerStates, before.samplerStates);
    EXPECT_EQ(after.textures, before.textures);
    EXPECT_EQ(after.declaration, before.declaration);
    EXPECT_EQ(after.streams[0], before.streams[0]);
    EXPECT_EQ(after.vertexShader, before.vertexShader);
    ASSERT_EQ(rec->Draws().size(), 1u);
    const record_draw_s& draw = rec->Draws()[0];
    EXPECT_EQ(draw.count, 6u) << "two triangles for each of the three inked letters";
    EXPECT_EQ(draw.state->renderStates[D3DRS_ALPHABLENDENABLE], 1u);
    EXPECT_EQ(draw.state->renderStates[D3DRS_FILLMODE], D3DFILL_SOLID);
    EXPECT_EQ(draw.state->fvf, D3DFVF_XYZRHW | D3DFVF_DIFFUSE | D3DFVF_TEX1);
    u32 color = 0;
    std::memcpy(&color, draw.vertices.data() + 16, 4);
    EXPECT_EQ(color, 0x80FF0000u);
    device->SetStreamSource(0, nullptr, 0, 0);
    device->SetVertexDeclaration(nullptr);
    buffer->Release();
    declaration->Release();
    font->Release();
}

TEST_F(Font, UnknownFacesFallBackToSans)
{
    ID3DXFont* font = Make("No Such Face Anywhere", -12, FW_BOLD);
    ASSERT_NE(font, nullptr);
    RECT rect{0, 0, 0, 0};
    EXPECT_GT(font->DrawTextA(nullptr, "x", -1, &rect, DT_CALCRECT, 0), 0);
    EXPECT_GT(rect.right, 0);
    font->Release();
}

TEST_F(Font, CreationFailuresAreReported)
{
    SetD3DXFaultHook(
        [](const char* _function) { return std::strcmp(_function, "D3DXCreateFontIndirect") == 0 ? E_FAIL : D3D_OK; });
    D3DXFONT_DESCA desc;
    ID3DXFont* font = nullptr;
    EXPECT_EQ(D3DXCreateFontIndirect(device, &desc, &font), E_FAIL);
    SetD3DXFaultHook({});
    config.Fail("CreateTexture");
    EXPECT_EQ(D3DXCreateFontIndirect(device, &desc, &font), E_FAIL) << "no glyph texture";
    EXPECT_EQ(font, nullptr);
}

}
