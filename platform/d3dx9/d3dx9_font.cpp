#include "platform/d3dx9/d3dx9_font.h"
#include "platform/d3d9/ref_counted.h"
#include "platform/d3dx9/d3dx9_shader.h"

#include <fontconfig/fontconfig.h>
#include <ft2build.h>
#include FT_FREETYPE_H

#include <algorithm>
#include <array>
#include <cstring>
#include <iostream>
#include <mutex>
#include <set>
#include <string>
#include <strings.h>
#include <vector>

namespace {

constexpr u32 atlas_size = 512;

// The file and index fontconfig gives for a face, falling back to sans.
bool FindFace(const D3DXFONT_DESCA& _desc, std::string& _file, int& _index)
{
    static std::mutex lock;
    static std::set<std::string> reported;
    const std::lock_guard guard(lock);
    // Our own configuration, given back at exit so that nothing of it is
    // left behind.
    static const struct configuration_s {
        FcConfig* config = FcInitLoadConfigAndFonts();
        ~configuration_s()
        {
            if (config != nullptr) {
                FcConfigDestroy(config);
                FcFini();
            }
        }
    } configuration;
    if (configuration.config == nullptr) {
        return false;
    }
    auto match = [&](const char* _family, std::string& _found_family) {
        FcPattern* pattern = FcPatternCreate();
        FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8*>(_family));
        FcPatternAddInteger(pattern, FC_WEIGHT, _desc.Weight >= FW_BOLD ? FC_WEIGHT_BOLD : FC_WEIGHT_REGULAR);
        FcPatternAddInteger(pattern, FC_SLANT, _desc.Italic != 0 ? FC_SLANT_ITALIC : FC_SLANT_ROMAN);
        FcConfigSubstitute(configuration.config, pattern, FcMatchPattern);
        FcDefaultSubstitute(pattern);
        FcResult result = FcResultNoMatch;
        FcPattern* found = FcFontMatch(configuration.config, pattern, &result);
        FcPatternDestroy(pattern);
        if (found == nullptr) {
            return false;
        }
        FcChar8* file = nullptr;
        FcChar8* family = nullptr;
        int index = 0;
        const bool ok = FcPatternGetString(found, FC_FILE, 0, &file) == FcResultMatch;
        if (ok) {
            _file = reinterpret_cast<const char*>(file);
            FcPatternGetInteger(found, FC_INDEX, 0, &index);
            _index = index;
            if (FcPatternGetString(found, FC_FAMILY, 0, &family) == FcResultMatch) {
                _found_family = reinterpret_cast<const char*>(family);
            }
        }
        FcPatternDestroy(found);
        return ok;
    };
    char face[sizeof(_desc.FaceName) + 1] = {};
    std::memcpy(face, _desc.FaceName, sizeof(_desc.FaceName));
    std::string family;
    if (face[0] != '\0' && match(face, family) && strcasecmp(family.c_str(), face) == 0) {
        return true;
    }
    if (reported.insert(face).second) {
        std::cerr << "Font face \"" << face << "\" not found; using a sans face\n";
    }
    return match("sans", family);
}

struct glyph_s {
    bool made = false;
    i32 advance = 0;
    i32 left = 0;
    i32 top = 0;
    u32 width = 0;
    u32 height = 0;
    u32 atlasX = 0;
    u32 atlasY = 0;
};

struct font_vertex_s {
    f32 x, y, z, rhw;
    D3DCOLOR color;
    f32 u, v;
};

// Device states the font sets, saved and put back around each draw.
constexpr D3DRENDERSTATETYPE touched_states[] = {
    D3DRS_ZENABLE,         D3DRS_ZWRITEENABLE,   D3DRS_ALPHABLENDENABLE, D3DRS_SRCBLEND,  D3DRS_DESTBLEND,
    D3DRS_ALPHATESTENABLE, D3DRS_CULLMODE,       D3DRS_LIGHTING,         D3DRS_FOGENABLE, D3DRS_FILLMODE,
    D3DRS_STENCILENABLE,   D3DRS_SPECULARENABLE, D3DRS_VERTEXBLEND,      D3DRS_SHADEMODE, D3DRS_COLORWRITEENABLE,
};
constexpr D3DTEXTURESTAGESTATETYPE touched_stage_states[] = {
    D3DTSS_COLOROP,   D3DTSS_COLORARG1, D3DTSS_COLORARG2,     D3DTSS_ALPHAOP,
    D3DTSS_ALPHAARG1, D3DTSS_ALPHAARG2, D3DTSS_TEXCOORDINDEX, D3DTSS_TEXTURETRANSFORMFLAGS,
};
constexpr D3DSAMPLERSTATETYPE touched_sampler_states[] = {D3DSAMP_MAGFILTER, D3DSAMP_MINFILTER, D3DSAMP_MIPFILTER,
                                                          D3DSAMP_ADDRESSU, D3DSAMP_ADDRESSV};

class font_c final : public ref_counted_c<ID3DXFont> {
public:
    font_c(IDirect3DDevice9* _device, const D3DXFONT_DESCA& _desc) : device(_device), desc(_desc) { device->AddRef(); }
    ~font_c() override
    {
        if (atlas != nullptr) {
            atlas->Release();
        }
        if (face != nullptr) {
            FT_Done_Face(face);
        }
        if (library != nullptr) {
            FT_Done_FreeType(library);
        }
        device->Release();
    }

    bool Open()
    {
        std::string file;
        int index = 0;
        if (!FindFace(desc, file, index) || FT_Init_FreeType(&library) != 0 ||
            FT_New_Face(library, file.c_str(), index, &face) != 0) {
            return false;
        }
        const u32 pixels = static_cast<u32>(std::clamp(std::abs(desc.Height), 1, 512));
        if (desc.Height < 0) {
            FT_Set_Pixel_Sizes(face, 0, pixels);
        } else {
            // A cell height: scale so that ascender minus descender fits it.
            const f32 units = static_cast<f32>(face->ascender - face->descender);
            const f32 em = units > 0 ? static_cast<f32>(face->units_per_EM) * pixels / units : pixels;
            FT_Set_Pixel_Sizes(face, 0, std::max<u32>(1, static_cast<u32>(em)));
        }
        ascender = static_cast<i32>(face->size->metrics.ascender >> 6);
        const i32 descender = static_cast<i32>(-face->size->metrics.descender >> 6);
        lineHeight = ascender + descender;
        leading = std::max<i32>(0, static_cast<i32>(face->size->metrics.height >> 6) - lineHeight);
        if (FAILED(device->CreateTexture(atlas_size, atlas_size, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, &atlas,
                                         nullptr))) {
            atlas = nullptr;
            return false;
        }
        return true;
    }

    HRESULT GetDescA(D3DXFONT_DESCA* _desc) override
    {
        if (_desc == nullptr) {
            return D3DERR_INVALIDCALL;
        }
        *_desc = desc;
        return D3D_OK;
    }

    INT DrawTextA(void*, const char* _text, INT _count, RECT* _rect, DWORD _format, D3DCOLOR _color) override
    {
        if (_text == nullptr || _rect == nullptr) {
            return 0;
        }
        const u64 length = _count < 0 ? std::strlen(_text) : static_cast<u64>(_count);
        const i32 line_step = lineHeight + ((_format & DT_EXTERNALLEADING) != 0 ? leading : 0);
        std::vector<font_vertex_s> vertices;
        i32 x = 0;
        i32 lines = 1;
        i32 widest = 0;
        for (u64 i = 0; i < length; ++i) {
            const u8 code = static_cast<u8>(_text[i]);
            if (code == '\n') {
                widest = std::max(widest, x);
                x = 0;
                ++lines;
                continue;
            }
            const glyph_s& glyph = Glyph(code);
            if ((_format & DT_CALCRECT) == 0 && glyph.width > 0) {
                AddQuad(vertices, glyph, _rect->left + x, _rect->top + (lines - 1) * line_step, _color);
            }
            x += glyph.advance;
        }
        widest = std::max(widest, x);
        const i32 height = lines * lineHeight + (lines - 1) * (line_step - lineHeight);
        if ((_format & DT_CALCRECT) != 0) {
            _rect->right = _rect->left + widest;
            _rect->bottom = _rect->top + height;
            return height;
        }
        if (!vertices.empty()) {
            Draw(vertices);
        }
        return height;
    }

private:
    const glyph_s& Glyph(u8 _code)
    {
        glyph_s& glyph = glyphs[_code];
        if (glyph.made) {
            return glyph;
        }
        glyph.made = true;
        const FT_Int32 load = FT_LOAD_RENDER | (desc.Quality == NONANTIALIASED_QUALITY ? FT_LOAD_TARGET_MONO : 0);
        if (FT_Load_Char(face, _code, load) != 0) {
            return glyph;
        }
        const FT_GlyphSlot slot = face->glyph;
        glyph.advance = static_cast<i32>(slot->advance.x >> 6);
        glyph.left = slot->bitmap_left;
        glyph.top = slot->bitmap_top;
        const FT_Bitmap& bitmap = slot->bitmap;
        if (bitmap.width == 0 || bitmap.rows == 0) {
            return glyph;
        }
        if (penX + bitmap.width + 1 > atlas_size) {
            penX = 0;
            penY += rowHeight + 1;
            rowHeight = 0;
        }
        if (penY + bitmap.rows > atlas_size || bitmap.width > atlas_size) {
            return glyph;
        }
        D3DLOCKED_RECT locked;
        if (FAILED(atlas->LockRect(0, &locked, nullptr, 0))) {
            return glyph;
        }
        for (u32 y = 0; y < bitmap.rows; ++y) {
            const u8* row = bitmap.buffer + static_cast<i64>(y) * bitmap.pitch;
            auto* out = static_cast<u8*>(locked.pBits) + (penY + y) * static_cast<u64>(locked.Pitch) + penX * 4;
            for (u32 x = 0; x < bitmap.width; ++x) {
                const u8 coverage = bitmap.pixel_mode == FT_PIXEL_MODE_MONO
                                        ? (((row[x / 8] >> (7 - x % 8)) & 1) != 0 ? 255 : 0)
                                        : row[x];
                const u8 texel[4] = {255, 255, 255, coverage};
                std::memcpy(out + x * 4, texel, 4);
            }
        }
        atlas->UnlockRect(0);
        glyph.width = bitmap.width;
        glyph.height = bitmap.rows;
        glyph.atlasX = penX;
        glyph.atlasY = penY;
        penX += bitmap.width + 1;
        rowHeight = std::max(rowHeight, bitmap.rows);
        return glyph;
    }

    void AddQuad(std::vector<font_vertex_s>& _vertices, const glyph_s& _glyph, i32 _x, i32 _y, D3DCOLOR _color)
    {
        // Pixel centres sit half a pixel in.
        const f32 left = static_cast<f32>(_x + _glyph.left) - 0.5f;
        const f32 top = static_cast<f32>(_y + ascender - _glyph.top) - 0.5f;
        const f32 right = left + static_cast<f32>(_glyph.width);
        const f32 bottom = top + static_cast<f32>(_glyph.height);
        const f32 u0 = static_cast<f32>(_glyph.atlasX) / atlas_size;
        const f32 v0 = static_cast<f32>(_glyph.atlasY) / atlas_size;
        const f32 u1 = static_cast<f32>(_glyph.atlasX + _glyph.width) / atlas_size;
        const f32 v1 = static_cast<f32>(_glyph.atlasY + _glyph.height) / atlas_size;
        const font_vertex_s a{left, top, 0.0f, 1.0f, _color, u0, v0};
        const font_vertex_s b{right, top, 0.0f, 1.0f, _color, u1, v0};
        const font_vertex_s c{left, bottom, 0.0f, 1.0f, _color, u0, v1};
        const font_vertex_s d{right, bottom, 0.0f, 1.0f, _color, u1, v1};
        _vertices.insert(_vertices.end(), {a, b, c, c, b, d});
    }

    void Draw(const std::vector<font_vertex_s>& _vertices)
    {
        std::array<DWORD, std::size(touched_states)> states{};
        std::array<DWORD, std::size(touched_stage_states)> stage0{};
        DWORD stage1_color = 0;
        DWORD stage1_alpha = 0;
        std::array<DWORD, std::size(touched_sampler_states)> sampler0{};
        for (u32 i = 0; i < states.size(); ++i) {
            device->GetRenderState(touched_states[i], &states[i]);
        }
        for (u32 i = 0; i < stage0.size(); ++i) {
            device->GetTextureStageState(0, touched_stage_states[i], &stage0[i]);
        }
        device->GetTextureStageState(1, D3DTSS_COLOROP, &stage1_color);
        device->GetTextureStageState(1, D3DTSS_ALPHAOP, &stage1_alpha);
        for (u32 i = 0; i < sampler0.size(); ++i) {
            device->GetSamplerState(0, touched_sampler_states[i], &sampler0[i]);
        }
        IDirect3DBaseTexture9* texture = nullptr;
        IDirect3DVertexDeclaration9* declaration = nullptr;
        IDirect3DVertexShader9* vertex_shader = nullptr;
        IDirect3DPixelShader9* pixel_shader = nullptr;
        IDirect3DVertexBuffer9* stream = nullptr;
        UINT offset = 0;
        UINT stride = 0;
        DWORD fvf = 0;
        device->GetTexture(0, &texture);
        device->GetVertexDeclaration(&declaration);
        device->GetFVF(&fvf);
        device->GetVertexShader(&vertex_shader);
        device->GetPixelShader(&pixel_shader);
        device->GetStreamSource(0, &stream, &offset, &stride);

        const DWORD wanted_states[] = {
            D3DZB_FALSE,   0, 1, D3DBLEND_SRCALPHA, D3DBLEND_INVSRCALPHA, 0,  D3DCULL_NONE, 0, 0,
            D3DFILL_SOLID, 0, 0, D3DVBF_DISABLE,    D3DSHADE_GOURAUD,     0xF};
        for (u32 i = 0; i < states.size(); ++i) {
            device->SetRenderState(touched_states[i], wanted_states[i]);
        }
        const DWORD wanted_stage[] = {
            D3DTOP_MODULATE, D3DTA_TEXTURE, D3DTA_DIFFUSE, D3DTOP_MODULATE, D3DTA_TEXTURE, D3DTA_DIFFUSE, 0,
            D3DTTFF_DISABLE};
        for (u32 i = 0; i < stage0.size(); ++i) {
            device->SetTextureStageState(0, touched_stage_states[i], wanted_stage[i]);
        }
        device->SetTextureStageState(1, D3DTSS_COLOROP, D3DTOP_DISABLE);
        device->SetTextureStageState(1, D3DTSS_ALPHAOP, D3DTOP_DISABLE);
        const DWORD wanted_sampler[] = {D3DTEXF_POINT, D3DTEXF_POINT, D3DTEXF_NONE, D3DTADDRESS_CLAMP,
                                        D3DTADDRESS_CLAMP};
        for (u32 i = 0; i < sampler0.size(); ++i) {
            device->SetSamplerState(0, touched_sampler_states[i], wanted_sampler[i]);
        }
        device->SetTexture(0, atlas);
        device->SetVertexShader(nullptr);
        device->SetPixelShader(nullptr);
        device->SetFVF(D3DFVF_XYZRHW | D3DFVF_DIFFUSE | D3DFVF_TEX1);
        device->DrawPrimitiveUP(D3DPT_TRIANGLELIST, static_cast<UINT>(_vertices.size() / 3), _vertices.data(),
                                sizeof(font_vertex_s));

        for (u32 i = 0; i < states.size(); ++i) {
            device->SetRenderState(touched_states[i], states[i]);
        }
        for (u32 i = 0; i < stage0.size(); ++i) {
            device->SetTextureStageState(0, touched_stage_states[i], stage0[i]);
        }
        device->SetTextureStageState(1, D3DTSS_COLOROP, stage1_color);
        device->SetTextureStageState(1, D3DTSS_ALPHAOP, stage1_alpha);
        for (u32 i = 0; i < sampler0.size(); ++i) {
            device->SetSamplerState(0, touched_sampler_states[i], sampler0[i]);
        }
        device->SetTexture(0, texture);
        if (declaration != nullptr) {
            device->SetVertexDeclaration(declaration);
        } else {
            device->SetFVF(fvf);
        }
        device->SetVertexShader(vertex_shader);
        device->SetPixelShader(pixel_shader);
        device->SetStreamSource(0, stream, offset, stride);
        for (IUnknown* held : {static_cast<IUnknown*>(texture), static_cast<IUnknown*>(declaration),
                               static_cast<IUnknown*>(vertex_shader), static_cast<IUnknown*>(pixel_shader),
                               static_cast<IUnknown*>(stream)}) {
            if (held != nullptr) {
                held->Release();
            }
        }
    }

    IDirect3DDevice9* device;
    D3DXFONT_DESCA desc;
    FT_Library library = nullptr;
    FT_Face face = nullptr;
    IDirect3DTexture9* atlas = nullptr;
    std::array<glyph_s, 256> glyphs{};
    u32 penX = 0;
    u32 penY = 0;
    u32 rowHeight = 0;
    i32 ascender = 0;
    i32 lineHeight = 0;
    i32 leading = 0;
};

}

HRESULT D3DXCreateFontIndirect(IDirect3DDevice9* _device, const D3DXFONT_DESCA* _desc, ID3DXFont** _font)
{
    const HRESULT fault = D3DXFault("D3DXCreateFontIndirect");
    if (FAILED(fault)) {
        return fault;
    }
    if (_device == nullptr || _desc == nullptr || _font == nullptr) {
        return D3DERR_INVALIDCALL;
    }
    auto* font = new font_c(_device, *_desc);
    if (!font->Open()) {
        font->Release();
        return E_FAIL;
    }
    *_font = font;
    return D3D_OK;
}
