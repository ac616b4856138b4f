#pragma once
// d3d_state_cache_c: the renderer's only way to the device state. It keeps
// the device capabilities and vertex-processing mode (0 software, 1 mixed,
// 2 hardware), creates and owns the shaders of a d3d_shader_set_s, their
// constant tables and sampler lists, the 512 vertex declarations, the
// render targets, the light set, the texture stages and the 16 samplers,
// and shadows everything it sets so that a value equal to the last one is
// never sent again. It assumes it is the only writer of device state; the
// font object restores whatever it touches.
//
// A draw describes its pass (SetupPass: shader row, vertex format, second
// stream, blending) and its states through the setters below.
//
// Declarations are indexed by (weights 0..3, matrix indices, normal,
// diffuse, coordinate sets 0..3, second-stream position, second-stream
// normal), the first factor most significant; stream 0 holds POSITION
// FLOAT3, BLENDWEIGHT FLOAT1-3, BLENDINDICES UBYTE4, NORMAL FLOAT3, COLOR,
// TEXCOORD0-2 FLOAT2 in that order, stream 1 POSITION1 and NORMAL1 FLOAT3.
//
// The blend-index capacity of a device is (MaxVertexBlendMatrixIndex + 1)
// / 2 - 1 counted signed, so a device without indexed blending (index 0)
// has none instead of four thousand million.
#include "engine/vertex.h"
#include "foundation/matrix.h"
#include "platform/d3d9/d3d9.h"
#include "platform/d3dx9/d3dx9_shader.h"
#include "render_d3d9/light_set.h"
#include "render_d3d9/shader_set.h"
#include "render_d3d9/target_setup.h"
#include "render_d3d9/texture_stage.h"

#include <array>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

constexpr u32 d3d_declaration_count = 512;

enum d3d_vertex_processing_e : u32 {
    d3d_vp_software = 0,
    d3d_vp_mixed = 1,
    d3d_vp_hardware = 2,
};

// Stencil test of a pass; the counter-clockwise side is used only with
// two-sided stencil on a device that has it.
struct d3d_stencil_s {
    bool enable = false;
    DWORD ref = 0;
    D3DCMPFUNC func = D3DCMP_ALWAYS;
    D3DSTENCILOP pass = D3DSTENCILOP_KEEP;
    D3DSTENCILOP fail = D3DSTENCILOP_KEEP;
    D3DSTENCILOP zfail = D3DSTENCILOP_KEEP;
    bool twoSided = false;
    D3DCMPFUNC ccwFunc = D3DCMP_ALWAYS;
    D3DSTENCILOP ccwPass = D3DSTENCILOP_KEEP;
    D3DSTENCILOP ccwFail = D3DSTENCILOP_KEEP;
    D3DSTENCILOP ccwZfail = D3DSTENCILOP_KEEP;
};

// A scene's fog: mode 0 linear, 1 exponential, 2 squared exponential.
struct d3d_fog_s {
    u32 mode = 0;
    vec3_c color;
    f32 start = 0.0f;
    f32 end = 0.0f;
    f32 density = 0.0f;
};

// What a pass takes from a second vertex stream (tweening).
struct d3d_second_stream_s {
    bool position = false;
    bool normal = false;
};

class d3d_state_cache_c {
public:
    d3d_state_cache_c() = default;
    ~d3d_state_cache_c();
    d3d_state_cache_c(const d3d_state_cache_c&) = delete;
    d3d_state_cache_c& operator=(const d3d_state_cache_c&) = delete;

    // Reads the caps, builds targets, material, light set, stages and
    // samplers, the declarations, the shaders the device can run (software
    // processing counted as able), their constant tables and sampler lists,
    // and sends the default state. False when the caps, a declaration, a
    // shader, a constant table or a sampler list cannot be had.
    bool Init(IDirect3DDevice9* _device, u32 _vertex_processing, u32 _max_lights, bool _wbuffer, bool _stencil,
              const d3d_shader_set_s& _shaders, u32 _anisotropy_limit);
    // Releases everything made and puts the cached defaults back.
    void Reset();
    bool IsReady() const { return device != nullptr; }

    IDirect3DDevice9* GetDevice() const { return device; }
    const D3DCAPS9& GetCaps() const { return caps; }
    u32 GetVertexProcessing() const { return vertexProcessing; }
    bool HasStencil() const { return stencil; }
    d3d_target_setup_c& Targets() { return targets; }
    d3d_light_set_c& Lights() { return lights; }

    // Boolean and valued render states.
    void SetNormalizeNormals(bool _on);
    void SetClipping(bool _on);
    void SetGouraud(bool _on);
    void SetSpecular(bool _on);
    void SetPointSprites(bool _on);
    void SetColorVertex(bool _on);
    void SetCullMode(D3DCULL _mode);
    void SetFillMode(D3DFILLMODE _mode);
    void SetTweenFactor(f32 _factor);
    void SetTextureFactor(D3DCOLOR _color);
    // Z on sends USEW with the W-buffer, else TRUE; writes only while Z is
    // on; the function only while Z is on.
    void SetDepth(bool _enable, bool _write, D3DCMPFUNC _func);
    // Nothing without a stencil buffer; off sends only the enable.
    void SetStencil(const d3d_stencil_s& _stencil);
    // Factors only while blending.
    void SetAlphaBlend(bool _enable, D3DBLEND _source, D3DBLEND _dest);
    // Reference = threshold x 255 truncated, held to 0..255.
    void SetAlphaTest(bool _enable, f32 _threshold);
    // Null switches fog off; _black sends a black fog colour (additive
    // passes).
    void SetFog(const d3d_fog_s* _fog, bool _black);
    // Without scaling the size is held to 1..MaxPointSize and truncated.
    void SetPointSize(f32 _size, bool _scaling);

    void SetViewport(i32 _x, i32 _y, i32 _width, i32 _height);
    void SetProjection(const mat4_c& _matrix);
    void SetWorldMatrix(u32 _index, const mat4x3_c& _matrix);
    // Unchanged buffers are not sent again; null unbinds.
    void SetStreams(IDirect3DVertexBuffer9* _first, UINT _first_stride, IDirect3DVertexBuffer9* _second,
                    UINT _second_stride, IDirect3DIndexBuffer9* _indices);

    // Vertex shader constants by register.
    void SetVertexConstant(u32 _register, f32 _value);
    void SetVertexConstant(u32 _register, f32 _x, f32 _y);
    void SetVertexConstant(u32 _register, const vec3_c& _value, f32 _w = 1.0f);
    // Sent transposed, four registers.
    void SetVertexConstant(u32 _register, const mat4_c& _matrix);
    // By name through the row's constant table; an unknown name (or a row
    // without a table) sets nothing.
    void SetVertexConstant(u32 _row, const char* _name, f32 _value);
    void SetVertexConstant(u32 _row, const char* _name, const vec3_c& _value, f32 _w = 1.0f);
    void SetVertexConstant(u32 _row, const char* _name, const mat4_c& _matrix);
    // Pixel shader constants by register or by name as arrays of 3-vectors
    // (w 1) or 2-vectors (0, 1).
    void SetPixelConstant(u32 _register, const f32* _values, u32 _count);
    void SetPixelConstants(u32 _entry, const char* _name, const vec3_c* _values, u32 _count);
    void SetPixelConstants(u32 _entry, const char* _name, const f32 (*_pairs)[2], u32 _count);
    // The register a name stands for, or -1.
    i32 VertexRegister(u32 _row, const char* _name) const;
    i32 PixelRegister(u32 _entry, const char* _name) const;

    // Entry 0 (none) or 1 (glow); an entry the device lacks binds none.
    void SetPixelShader(u32 _entry);
    bool HasPixelShader(u32 _entry) const;
    bool HasVertexShader(u32 _row, u32 _column) const;
    // The sampler whose name matches exactly gets Setup; entry 0 or an
    // unknown name sets nothing.
    void SetSamplerByName(u32 _entry, const char* _name, bool _mip, bool _filtered, bool _wrap);

    // Stages and samplers past the device's are ignored.
    void SetStage(u32 _stage, const d3d_stage_op_s& _color, const d3d_stage_op_s& _alpha,
                  IDirect3DBaseTexture9* _texture, i32 _coord_index, const mat4x3_c* _transform, f32 _bump_scale);
    void UnbindStageTextures();
    u32 GetStageCount() const { return static_cast<u32>(stages.size()); }
    void SetSampler(u32 _sampler, bool _mip, bool _filtered, bool _wrap);

    // Sent when a colour moved by FLT_EPSILON or more, or alpha or power
    // changed; specular and power only for a non-black specular colour with
    // a positive power.
    void SetMaterial(const vec3_c& _color, f32 _alpha, const vec3_c& _specular, f32 _power, const vec3_c& _emissive);

    // In mixed mode decides software processing first. A format with a
    // position binds its declaration; without one it is pre-transformed and
    // binds the FVF XYZRHW [| DIFFUSE] | TEXn, unless it has a normal, which
    // binds no input at all (the end of a frame uses that). Row 3 takes its
    // vs_2_0 program where the draw runs vertex shader 2.0. Blending: a
    // second stream tweens; else 1-3 weights, 0WEIGHTS for indexed blending
    // without weights, DISABLE.
    void SetupPass(u32 _row, const vertex_format_c& _format, const d3d_second_stream_s& _second, bool _indexed,
                   u32 _blend_count);

    // The declaration index of a format and second stream.
    static u32 DeclarationIndex(const vertex_format_c& _format, const d3d_second_stream_s& _second);
    // The elements of declaration _index, D3DDECL_END last.
    static std::vector<D3DVERTEXELEMENT9> DeclarationElements(u32 _index);

    // Capability queries.
    u32 GetFilteringDegree() const;
    bool SupportsVertexShader(DWORD _version, bool _software) const;
    bool SupportsPixelShader(DWORD _version) const;
    // 0 means no limit.
    u32 GetPrimitiveLimit(bool _software) const;
    bool NeedsSoftware(bool _tweening, bool _blending, u32 _blend_count, bool _shader) const;
    // Signed, so that a device without indexed blending has none.
    i64 BlendIndexCapacity() const;
    // Render states asked for that the device already had, so not sent.
    u64 GetFilteredStateCount() const { return filteredStates; }
    // "Maximum Point Size: ..." through the processing mode line.
    void PrintCapabilities(std::ostream& _out) const;

private:
    struct shader_row_s {
        IDirect3DVertexShader9* shaders[2] = {};
        ID3DXConstantTable* table = nullptr;
    };
    struct pixel_entry_s {
        IDirect3DPixelShader9* shader = nullptr;
        ID3DXConstantTable* table = nullptr;
        std::vector<std::string> samplers;
    };

    void SendState(D3DRENDERSTATETYPE _state, DWORD _value);
    void SendDefaults();
    void PutDefaults();
    bool MakeShaders(const d3d_shader_set_s& _shaders);
    static i32 Register(ID3DXConstantTable* _table, const char* _name);

    IDirect3DDevice9* device = nullptr;
    D3DCAPS9 caps;
    u32 vertexProcessing = d3d_vp_hardware;
    bool wbuffer = false;
    bool stencil = false;
    d3d_target_setup_c targets;
    d3d_light_set_c lights;
    std::vector<std::unique_ptr<d3d_texture_stage_c>> stages;
    std::vector<std::unique_ptr<d3d_sampler_c>> samplers;
    std::array<IDirect3DVertexDeclaration9*, d3d_declaration_count> declarations{};
    std::array<shader_row_s, d3d_shader_row_count> rows{};
    std::array<pixel_entry_s, d3d_pixel_entry_count> pixelEntries{};

    // Cached device values: render states by number, and the rest.
    std::array<DWORD, d3d_render_state_count> renderStates{};
    bool zEnable = false;
    D3DCMPFUNC zFunc = D3DCMP_LESS;
    D3DVIEWPORT9 viewport;
    D3DMATERIAL9 material;
    DWORD fvf = 0;
    IDirect3DVertexDeclaration9* declaration = nullptr;
    u32 vertexShaderRow = 0;
    IDirect3DVertexShader9* vertexShader = nullptr;
    u32 pixelEntry = 0;
    IDirect3DVertexBuffer9* streams[2] = {};
    UINT strides[2] = {};
    IDirect3DIndexBuffer9* indices = nullptr;
    bool softwareProcessing = false;
    bool tweening = false;
    bool indexedBlend = false;
    u32 blendWeights = 0;
    bool blending = false;
    u64 filteredStates = 0;
};
