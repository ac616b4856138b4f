#include "platform/d3d9/gl_fixed_function.h"

#include <cmath>
#include <cstring>
#include <stdexcept>

// Vertex constants "vc", in vec4 registers; matrices as four rows.
//   0-15 world matrices 0-3, 16 view, 20 projection, 24 + 4 * stage the
//   texture transforms, 56 material diffuse, ambient, specular, emissive,
//   60 (power), 61 global ambient, 62 + 8 * light: diffuse, specular,
//   ambient, camera-space position, camera-space direction, (range,
//   falloff, attenuation 0, 1), (attenuation 2, cos theta/2, cos phi/2),
//   126 fog (start, end, density), 127 (tween factor), 128 unused,
//   129 viewport (x, y, width, height), 130 point (size, min, max),
//   131 point scale (a, b, c), 132 the normal matrix (three rows),
//   139 + 4 * index the indexed blending palette (64 matrices).
// Pixel constants "pc":
//   0 texture factor, 1 fog colour, 2 fog (start, end, density),
//   3 (alpha reference), 4 + 2 * stage bump matrix (00, 01, 10, 11),
//   5 + 2 * stage (luminance scale, offset).
namespace {

constexpr u32 vc_world = 0;
constexpr u32 vc_view = 16;
constexpr u32 vc_projection = 20;
constexpr u32 vc_texture = 24;
constexpr u32 vc_material = 56;
constexpr u32 vc_ambient = 61;
constexpr u32 vc_lights = 62;
constexpr u32 vc_fog = 126;
constexpr u32 vc_tween = 127;
constexpr u32 vc_viewport = 129;
constexpr u32 vc_point = 130;
constexpr u32 vc_point_scale = 131;
constexpr u32 vc_normal = 132;
constexpr u32 vc_palette = 139;
constexpr u32 palette_size = 64;

constexpr u32 pc_factor = 0;
constexpr u32 pc_fog_color = 1;
constexpr u32 pc_fog = 2;
constexpr u32 pc_alpha_ref = 3;
constexpr u32 pc_bump = 4;

constexpr DWORD d3dta_selectmask = 0x0F;
constexpr DWORD d3dta_temp = 5;
constexpr DWORD d3dtop_addsigned = 8;
constexpr DWORD d3dtop_addsigned2x = 9;
constexpr DWORD d3dtop_subtract = 10;
constexpr DWORD d3dtop_addsmooth = 11;
constexpr DWORD d3dtop_dotproduct3 = 24;
constexpr DWORD d3dttff_projected = 256;

std::array<f32, 4> Color(D3DCOLOR _color)
{
    return {((_color >> 16) & 0xFF) / 255.0f, ((_color >> 8) & 0xFF) / 255.0f, (_color & 0xFF) / 255.0f,
            ((_color >> 24) & 0xFF) / 255.0f};
}

std::array<f32, 4> Value(const D3DCOLORVALUE& _c)
{
    return {_c.r, _c.g, _c.b, _c.a};
}

void PutMatrix(const D3DMATRIX& _m, std::array<f32, 4>* _rows)
{
    for (u32 r = 0; r < 4; ++r) {
        _rows[r] = {_m.m[r][0], _m.m[r][1], _m.m[r][2], _m.m[r][3]};
    }
}

D3DMATRIX Multiply(const D3DMATRIX& _a, const D3DMATRIX& _b)
{
    D3DMATRIX out;
    for (u32 r = 0; r < 4; ++r) {
        for (u32 c = 0; c < 4; ++c) {
            out.m[r][c] =
                _a.m[r][0] * _b.m[0][c] + _a.m[r][1] * _b.m[1][c] + _a.m[r][2] * _b.m[2][c] + _a.m[r][3] * _b.m[3][c];
        }
    }
    return out;
}

// Rows of the inverse transpose of the upper 3x3, which carries normals.
void PutNormalMatrix(const D3DMATRIX& _m, std::array<f32, 4>* _rows)
{
    const auto& a = _m.m;
    const f32 c00 = a[1][1] * a[2][2] - a[1][2] * a[2][1];
    const f32 c01 = a[1][2] * a[2][0] - a[1][0] * a[2][2];
    const f32 c02 = a[1][0] * a[2][1] - a[1][1] * a[2][0];
    const f32 det = a[0][0] * c00 + a[0][1] * c01 + a[0][2] * c02;
    if (std::fabs(det) < 1e-12f) {
        for (u32 r = 0; r < 3; ++r) {
            _rows[r] = {a[r][0], a[r][1], a[r][2], 0.0f};
        }
        return;
    }
    const f32 inv = 1.0f / det;
    // The cofactor matrix over the determinant is the inverse transpose.
    _rows[0] = {c00 * inv, c01 * inv, c02 * inv, 0.0f};
    _rows[1] = {(a[0][2] * a[2][1] - a[0][1] * a[2][2]) * inv, (a[0][0] * a[2][2] - a[0][2] * a[2][0]) * inv,
                (a[0][1] * a[2][0] - a[0][0] * a[2][1]) * inv, 0.0f};
    _rows[2] = {(a[0][1] * a[1][2] - a[0][2] * a[1][1]) * inv, (a[0][2] * a[1][0] - a[0][0] * a[1][2]) * inv,
                (a[0][0] * a[1][1] - a[0][1] * a[1][0]) * inv, 0.0f};
}

std::array<f32, 4> Transform(const D3DVECTOR& _v, f32 _w, const D3DMATRIX& _m)
{
    std::array<f32, 4> out{};
    for (u32 c = 0; c < 4; ++c) {
        out[c] = _v.x * _m.m[0][c] + _v.y * _m.m[1][c] + _v.z * _m.m[2][c] + _w * _m.m[3][c];
    }
    return out;
}

u32 LightKind(const d3d9_light_slot_s& _slot)
{
    if (!_slot.enabled) {
        return 0;
    }
    switch (_slot.light.Type) {
    case D3DLIGHT_POINT: return 1;
    case D3DLIGHT_SPOT: return 2;
    default: return 3;
    }
}

}

namespace {

i32 Slot(u32 _slot)
{
    return static_cast<i32>(_slot);
}

}

i32 GlAttributeSlot(u8 _usage, u8 _usage_index)
{
    switch (_usage) {
    case D3DDECLUSAGE_POSITION:
        return _usage_index < 2 ? Slot(_usage_index == 0 ? gl_attr_position : gl_attr_position1) : -1;
    case D3DDECLUSAGE_BLENDWEIGHT: return _usage_index == 0 ? Slot(gl_attr_blend_weight) : -1;
    case D3DDECLUSAGE_BLENDINDICES: return _usage_index == 0 ? Slot(gl_attr_blend_indices) : -1;
    case D3DDECLUSAGE_NORMAL: return _usage_index < 2 ? Slot(_usage_index == 0 ? gl_attr_normal : gl_attr_normal1) : -1;
    case D3DDECLUSAGE_COLOR: return _usage_index < 2 ? Slot(gl_attr_color0 + _usage_index) : -1;
    case D3DDECLUSAGE_TEXCOORD: return _usage_index < 8 ? Slot(gl_attr_texcoord0 + _usage_index) : -1;
    default: return -1;
    }
}

std::size_t gl_fixed_key_hash_s::operator()(const gl_fixed_key_s& _key) const
{
    const auto* bytes = reinterpret_cast<const u8*>(&_key);
    std::size_t hash = 1469598103934665603ull;
    for (std::size_t i = 0; i < sizeof(_key); ++i) {
        hash = (hash ^ bytes[i]) * 1099511628211ull;
    }
    return hash;
}

namespace {

// A stage operation packed for the key. A stage that reads a texture it
// does not have passes the current colour on, as Direct3D's drivers do,
// so that untextured draws keep their vertex colours.
u32 StageOperation(DWORD _op, DWORD _arg1, DWORD _arg2, DWORD _arg0, bool _textured)
{
    const auto reads_texture = [](DWORD _arg) { return (_arg & d3dta_selectmask) == D3DTA_TEXTURE; };
    const bool three = _op == D3DTOP_MULTIPLYADD || _op == D3DTOP_LERP;
    const bool blends_texture = _op == D3DTOP_BLENDTEXTUREALPHA;
    if (!_textured && _op != D3DTOP_DISABLE &&
        (reads_texture(_arg1) || (_op != D3DTOP_SELECTARG1 && reads_texture(_arg2)) ||
         (three && reads_texture(_arg0)) || blends_texture)) {
        return D3DTOP_SELECTARG1 | D3DTA_CURRENT << 8;
    }
    return _op | _arg1 << 8 | _arg2 << 16 | _arg0 << 24;
}

}

gl_fixed_key_s GlFixedFunctionKey(const d3d9_device_state_c& _state, const gl_vertex_layout_s& _layout,
                                  const gl_texture_kinds_t& _textures, bool _points)
{
    const auto& rs = _state.renderStates;
    gl_fixed_key_s key;
    key.present = _layout.present;
    for (u32 set = 0; set < 8; ++set) {
        key.texcoordComponents |= u32{_layout.components[gl_attr_texcoord0 + set]} << (set * 4);
    }
    key.pretransformed = _layout.pretransformed;
    if (!_layout.pretransformed) {
        key.lighting = rs[D3DRS_LIGHTING] != 0;
        if (key.lighting) {
            for (u32 i = 0; i < d3d_light_count; ++i) {
                key.lightKinds |= LightKind(_state.lights[i]) << (i * 2);
            }
            const u32 colors = rs[D3DRS_COLORVERTEX] != 0 ? 3 : 0;
            key.materialSources =
                (rs[D3DRS_DIFFUSEMATERIALSOURCE] & colors) | (rs[D3DRS_AMBIENTMATERIALSOURCE] & colors) << 2 |
                (rs[D3DRS_SPECULARMATERIALSOURCE] & colors) << 4 | (rs[D3DRS_EMISSIVEMATERIALSOURCE] & colors) << 6;
            key.localViewer = rs[D3DRS_LOCALVIEWER] != 0;
            key.normalize = rs[D3DRS_NORMALIZENORMALS] != 0;
        }
        key.blend = rs[D3DRS_VERTEXBLEND] == D3DVBF_TWEENING ? 255 : rs[D3DRS_VERTEXBLEND] & 3;
        if (key.blend != 0 && key.blend != 255 && rs[D3DRS_INDEXEDVERTEXBLENDENABLE] != 0) {
            key.blend |= 4;
        }
    }
    key.specular = rs[D3DRS_SPECULARENABLE] != 0;
    if (rs[D3DRS_FOGENABLE] != 0) {
        key.tableFog = rs[D3DRS_FOGTABLEMODE];
        if (key.tableFog == D3DFOG_NONE) {
            key.vertexFog = _layout.pretransformed ? 4 : rs[D3DRS_FOGVERTEXMODE];
        }
        key.rangeFog = rs[D3DRS_RANGEFOGENABLE] != 0;
    }
    if (_points) {
        key.points = 1 | (rs[D3DRS_POINTSPRITEENABLE] != 0 ? 2 : 0) | (rs[D3DRS_POINTSCALEENABLE] != 0 ? 4 : 0);
    }
    key.shaderStages = _state.pixelShader != nullptr ? d3d_stage_count : 0;
    bool disabled = false;
    for (u32 stage = 0; stage < d3d_stage_count; ++stage) {
        const auto& ts = _state.stageStates[stage];
        disabled = disabled || ts[D3DTSS_COLOROP] == D3DTOP_DISABLE;
        if (disabled && stage >= key.shaderStages) {
            break;
        }
        if (!disabled) {
            key.colorOps[stage] = StageOperation(ts[D3DTSS_COLOROP], ts[D3DTSS_COLORARG1], ts[D3DTSS_COLORARG2],
                                                 ts[D3DTSS_COLORARG0], _textures[stage] != 0);
            key.alphaOps[stage] = StageOperation(ts[D3DTSS_ALPHAOP], ts[D3DTSS_ALPHAARG1], ts[D3DTSS_ALPHAARG2],
                                                 ts[D3DTSS_ALPHAARG0], _textures[stage] != 0);
        }
        const DWORD index = ts[D3DTSS_TEXCOORDINDEX];
        const DWORD flags = ts[D3DTSS_TEXTURETRANSFORMFLAGS];
        key.coords[stage] = (index & 7) | ((index >> 16) & 3) << 3 | (flags & 7) << 5 |
                            ((flags & d3dttff_projected) != 0 ? 1u : 0u) << 8 | u32{_textures[stage]} << 9 |
                            ((ts[D3DTSS_RESULTARG] & d3dta_selectmask) == d3dta_temp ? 1u : 0u) << 11;
    }
    if (rs[D3DRS_ALPHATESTENABLE] != 0) {
        key.alphaFunc = rs[D3DRS_ALPHAFUNC];
    }
    return key;
}

const char* const gl_position_fixup_glsl = R"(
uniform vec4 fixup;
vec4 GlPositionFixup(vec4 p)
{
    return vec4(p.x + p.w * fixup.x, -p.y + p.w * fixup.y, 2.0 * p.z - p.w, p.w);
}
)";

namespace {

std::string Str(u32 _v)
{
    return std::to_string(_v);
}

// Reads four rows of vc as a row-vector transform.
const char* const vertex_helpers = R"(
vec4 Xform(vec4 p, int r) { return p.x * vc[r] + p.y * vc[r + 1] + p.z * vc[r + 2] + p.w * vc[r + 3]; }
vec3 Xform3(vec3 n, int r) { return n.x * vc[r].xyz + n.y * vc[r + 1].xyz + n.z * vc[r + 2].xyz; }
)";

const char* const attribute_names[gl_attr_count] = {
    "a_position", "a_weight", "a_indices", "a_normal", "a_color0", "a_color1", "a_tex0",      "a_tex1",
    "a_tex2",     "a_tex3",   "a_tex4",    "a_tex5",   "a_tex6",   "a_tex7",   "a_position1", "a_normal1"};

bool Has(const gl_fixed_key_s& _key, u32 _slot)
{
    return (_key.present & (1u << _slot)) != 0;
}

// A material colour: the vertex colour its source names when present,
// the material's otherwise.
std::string MaterialColor(const gl_fixed_key_s& _key, u32 _which, u32 _register)
{
    const u32 source = (_key.materialSources >> (_which * 2)) & 3;
    if (source == D3DMCS_COLOR1 && Has(_key, gl_attr_color0)) {
        return "a_color0";
    }
    if (source == D3DMCS_COLOR2 && Has(_key, gl_attr_color1)) {
        return "a_color1";
    }
    return "vc[" + Str(_register) + "]";
}

std::string LightingCode(const gl_fixed_key_s& _key)
{
    std::string s;
    s += "    vec3 n = normalize_n(normal);\n";
    s += "    vec3 toEye = " + std::string(_key.localViewer ? "normalize(-eye.xyz)" : "vec3(0.0, 0.0, -1.0)") + ";\n";
    s += "    vec3 dsum = vec3(0.0), ssum = vec3(0.0), asum = vec3(0.0);\n";
    for (u32 i = 0; i < d3d_light_count; ++i) {
        const u32 kind = (_key.lightKinds >> (i * 2)) & 3;
        if (kind == 0) {
            continue;
        }
        const std::string b = Str(vc_lights + i * 8);
        const auto at = [&](u32 _k) { return "vc[" + Str(vc_lights + i * 8 + _k) + "]"; };
        s += "    {\n";
        if (kind == 3) {
            s += "        vec3 l = -" + at(4) + ".xyz; float att = 1.0;\n";
        } else {
            s +=
                "        vec3 d = " + at(3) + ".xyz - eye.xyz; float dist = length(d); vec3 l = d / max(dist, 1e-6);\n";
            s += "        float att = dist > " + at(5) + ".x ? 0.0 : 1.0 / max(" + at(5) + ".z + " + at(5) +
                 ".w * dist + " + at(6) + ".x * dist * dist, 1e-6);\n";
            if (kind == 2) {
                s += "        float rho = dot(-l, " + at(4) + ".xyz);\n";
                s += "        float spot = rho > " + at(6) + ".y ? 1.0 : rho <= " + at(6) +
                     ".z ? 0.0 : pow(clamp((rho - " + at(6) + ".z) / max(" + at(6) + ".y - " + at(6) +
                     ".z, 1e-6), 0.0, 1.0), " + at(5) + ".y);\n";
                s += "        att *= spot;\n";
            }
        }
        s += "        float ndl = max(dot(n, l), 0.0);\n";
        s += "        dsum += " + at(0) + ".rgb * ndl * att;\n";
        s += "        asum += " + at(2) + ".rgb * att;\n";
        if (_key.specular) {
            s += "        vec3 h = normalize(l + toEye);\n";
            s += "        if (ndl > 0.0) ssum += " + at(1) + ".rgb * pow(max(dot(n, h), 0.0), vc[" +
                 Str(vc_material + 4) + "].x) * att;\n";
        }
        s += "    }\n";
    }
    const std::string diffuse = MaterialColor(_key, 0, vc_material);
    const std::string ambient = MaterialColor(_key, 1, vc_material + 1);
    const std::string specular = MaterialColor(_key, 2, vc_material + 2);
    const std::string emissive = MaterialColor(_key, 3, vc_material + 3);
    s += "    v_diffuse = vec4(clamp(" + emissive + ".rgb + " + ambient + ".rgb * (vc[" + Str(vc_ambient) +
         "].rgb + asum) + " + diffuse + ".rgb * dsum, 0.0, 1.0), clamp(" + diffuse + ".a, 0.0, 1.0));\n";
    s += "    v_specular = vec4(clamp(" + specular + ".rgb * ssum, 0.0, 1.0), 1.0);\n";
    return s;
}

}

std::string GlFixedVertexSource(const gl_fixed_key_s& _key)
{
    std::string s = "#version 330 core\n";
    for (u32 slot = 0; slot < gl_attr_count; ++slot) {
        if (Has(_key, slot)) {
            s += "layout(location = " + Str(slot) + ") in vec4 " + attribute_names[slot] + ";\n";
        }
    }
    s += "uniform vec4 vc[" + Str(gl_vertex_constant_count) + "];\n";
    s += "out vec4 v_diffuse;\nout vec4 v_specular;\nout vec4 v_tex[8];\nout float v_fog;\nout float v_distance;\n";
    s += gl_position_fixup_glsl;
    s += vertex_helpers;
    s += "vec3 normalize_n(vec3 n) { return " + std::string(_key.normalize ? "normalize(n)" : "n") + "; }\n";
    s += "void main()\n{\n";
    const bool has_normal = Has(_key, gl_attr_normal);
    if (!Has(_key, gl_attr_position)) {
        // Direct3D reads a missing element as (0, 0, 0, 1).
        s += "    const vec4 a_position = vec4(0.0, 0.0, 0.0, 1.0);\n";
    }
    if (_key.pretransformed) {
        s += "    float w = a_position.w != 0.0 ? 1.0 / a_position.w : 1.0;\n";
        s += "    vec4 vp = vc[" + Str(vc_viewport) + "];\n";
        s += "    vec4 clip = vec4(((a_position.x - vp.x) / vp.z * 2.0 - 1.0) * w, (1.0 - (a_position.y - vp.y) / "
             "vp.w * 2.0) * w, a_position.z * w, w);\n";
        s += "    vec4 eye = vec4(0.0, 0.0, w, 1.0);\n    vec3 normal = vec3(0.0, 0.0, -1.0);\n";
    } else {
        s += "    vec4 p = vec4(a_position.xyz, 1.0);\n";
        s += std::string("    vec3 normal = ") + (has_normal ? "a_normal.xyz" : "vec3(0.0)") + ";\n";
        if (_key.blend == 255) {
            s += "    p.xyz = mix(p.xyz, a_position1.xyz, vc[" + Str(vc_tween) + "].x);\n";
            if (has_normal && Has(_key, gl_attr_normal1)) {
                s += "    normal = mix(normal, a_normal1.xyz, vc[" + Str(vc_tween) + "].x);\n";
            }
        }
        const u32 weights = _key.blend == 255 ? 0 : _key.blend & 3;
        if (weights == 0) {
            s += "    vec4 world = Xform(p, " + Str(vc_world) + ");\n";
            s += "    vec4 eye = Xform(world, " + Str(vc_view) + ");\n";
            s += "    vec3 eyeNormal = Xform3(normal, " + Str(vc_normal) + ");\n";
        } else {
            const bool indexed = (_key.blend & 4) != 0;
            s += "    vec4 world = vec4(0.0); vec3 worldNormal = vec3(0.0); float rest = 1.0;\n";
            for (u32 m = 0; m <= weights; ++m) {
                const std::string weight = m < weights ? "a_weight[" + Str(m) + "]" : "rest";
                const std::string base = indexed ? Str(vc_palette) + " + 4 * int(clamp(a_indices[" + Str(m) +
                                                       "], 0.0, " + Str(palette_size - 1) + ".0))"
                                                 : Str(vc_world + m * 4);
                s += "    { int r = " + base + "; float k = " + weight + ";\n";
                s += "      world += k * Xform(p, r); worldNormal += k * Xform3(normal, r);";
                s += m < weights ? " rest -= k; }\n" : " }\n";
            }
            s += "    vec4 eye = Xform(world, " + Str(vc_view) + ");\n";
            s += "    vec3 eyeNormal = Xform3(worldNormal, " + Str(vc_view) + ");\n";
        }
        s += "    vec4 clip = Xform(eye, " + Str(vc_projection) + ");\n";
        s += "    normal = eyeNormal;\n";
    }
    s += "    gl_Position = GlPositionFixup(clip);\n";
    if (_key.lighting) {
        s += LightingCode(_key);
    } else {
        s += std::string("    v_diffuse = ") + (Has(_key, gl_attr_color0) ? "a_color0" : "vec4(1.0)") + ";\n";
        s += std::string("    v_specular = ") + (Has(_key, gl_attr_color1) ? "a_color1" : "vec4(0.0)") + ";\n";
    }
    s += "    float dist = " + std::string(_key.rangeFog ? "length(eye.xyz)" : "abs(eye.z)") + ";\n";
    s += "    v_distance = dist;\n";
    s += "    vec4 fog = vc[" + Str(vc_fog) + "];\n";
    switch (_key.vertexFog) {
    case D3DFOG_LINEAR: s += "    v_fog = clamp((fog.y - dist) / (fog.y - fog.x), 0.0, 1.0);\n"; break;
    case D3DFOG_EXP: s += "    v_fog = clamp(exp(-fog.z * dist), 0.0, 1.0);\n"; break;
    case D3DFOG_EXP2: s += "    v_fog = clamp(exp(-(fog.z * dist) * (fog.z * dist)), 0.0, 1.0);\n"; break;
    case 4: s += "    v_fog = " + std::string(Has(_key, gl_attr_color1) ? "a_color1.a" : "1.0") + ";\n"; break;
    default: s += "    v_fog = 1.0;\n"; break;
    }
    for (u32 stage = 0; stage < d3d_stage_count; ++stage) {
        const u32 coords = _key.coords[stage];
        if (_key.colorOps[stage] == 0 && stage >= _key.shaderStages) {
            s += "    v_tex[" + Str(stage) + "] = vec4(0.0, 0.0, 0.0, 1.0);\n";
            continue;
        }
        const u32 set = coords & 7;
        const u32 generate = (coords >> 3) & 3;
        const u32 count = (coords >> 5) & 7;
        const u32 components = (_key.texcoordComponents >> (set * 4)) & 15;
        std::string source;
        switch (generate) {
        case 1: source = "vec4(normalize_n(normal), 1.0)"; break;
        case 2: source = "vec4(eye.xyz, 1.0)"; break;
        case 3: source = "vec4(reflect(normalize(eye.xyz), normalize(normal)), 1.0)"; break;
        default: {
            const std::string name = attribute_names[gl_attr_texcoord0 + set];
            // Two-component coordinates meet a transform as (u, v, 1, 0),
            // so the third row of the matrix carries their translation.
            if (!Has(_key, gl_attr_texcoord0 + set)) {
                source = "vec4(0.0, 0.0, 1.0, 0.0)";
            } else if (components <= 2) {
                source = "vec4(" + name + ".xy, 1.0, 0.0)";
            } else {
                source = "vec4(" + name + ".xyz, 1.0)";
            }
            break;
        }
        }
        if (count != 0) {
            source = "Xform(" + source + ", " + Str(vc_texture + stage * 4) + ")";
        }
        s += "    v_tex[" + Str(stage) + "] = " + source + ";\n";
    }
    if ((_key.points & 1) != 0) {
        s += "    vec4 pt = vc[" + Str(vc_point) + "];\n";
        if ((_key.points & 4) != 0) {
            s += "    vec4 ps = vc[" + Str(vc_point_scale) + "];\n";
            s += "    float size = vc[" + Str(vc_viewport) +
                 "].w * pt.x * sqrt(1.0 / max(ps.x + ps.y * dist + ps.z * dist * dist, 1e-6));\n";
        } else {
            s += "    float size = pt.x;\n";
        }
        s += "    gl_PointSize = clamp(size, pt.y, pt.z);\n";
    }
    s += "}\n";
    return s;
}

namespace {

// The GLSL of a stage argument.
std::string Argument(DWORD _arg, u32 _stage, bool _alpha)
{
    std::string v;
    switch (_arg & d3dta_selectmask) {
    case D3DTA_DIFFUSE: v = "diffuse"; break;
    case D3DTA_CURRENT: v = "current"; break;
    case D3DTA_TEXTURE: v = "tex" + Str(_stage); break;
    case D3DTA_TFACTOR: v = "pc[" + Str(pc_factor) + "]"; break;
    case D3DTA_SPECULAR: v = "specular"; break;
    case d3dta_temp: v = "temp"; break;
    default: v = "pc[" + Str(pc_factor) + "]"; break;
    }
    if ((_arg & D3DTA_ALPHAREPLICATE) != 0) {
        v = v + ".aaaa";
    }
    if ((_arg & D3DTA_COMPLEMENT) != 0) {
        v = "(vec4(1.0) - " + v + ")";
    }
    return v + (_alpha ? ".a" : ".rgb");
}

// One stage operation over the channel it names.
std::string Operation(u32 _packed, u32 _stage, bool _alpha)
{
    const DWORD op = _packed & 0xFF;
    const std::string a1 = Argument((_packed >> 8) & 0xFF, _stage, _alpha);
    const std::string a2 = Argument((_packed >> 16) & 0xFF, _stage, _alpha);
    const std::string a0 = Argument((_packed >> 24) & 0xFF, _stage, _alpha);
    const std::string ch = _alpha ? ".a" : ".rgb";
    const auto blend = [&](const std::string& _factor) {
        return a1 + " * " + _factor + " + " + a2 + " * (1.0 - " + _factor + ")";
    };
    switch (op) {
    case D3DTOP_SELECTARG1: return a1;
    case D3DTOP_SELECTARG2: return a2;
    case D3DTOP_MODULATE: return a1 + " * " + a2;
    case D3DTOP_MODULATE2X: return "2.0 * " + a1 + " * " + a2;
    case D3DTOP_MODULATE4X: return "4.0 * " + a1 + " * " + a2;
    case D3DTOP_ADD: return a1 + " + " + a2;
    case d3dtop_addsigned: return a1 + " + " + a2 + " - 0.5";
    case d3dtop_addsigned2x: return "2.0 * (" + a1 + " + " + a2 + " - 0.5)";
    case d3dtop_subtract: return a1 + " - " + a2;
    case d3dtop_addsmooth: return a1 + " + " + a2 + " - " + a1 + " * " + a2;
    case D3DTOP_BLENDDIFFUSEALPHA: return blend("diffuse.a");
    case D3DTOP_BLENDTEXTUREALPHA: return blend("tex" + Str(_stage) + ".a");
    case D3DTOP_BLENDFACTORALPHA: return blend("pc[" + Str(pc_factor) + "].a");
    case D3DTOP_BLENDCURRENTALPHA: return blend("current.a");
    case D3DTOP_MULTIPLYADD: return a0 + " + " + a1 + " * " + a2;
    case D3DTOP_LERP: return a0 + " * " + a1 + " + (1.0 - " + a0 + ") * " + a2;
    case d3dtop_dotproduct3: {
        const std::string a1c = Argument((_packed >> 8) & 0xFF, _stage, false);
        const std::string a2c = Argument((_packed >> 16) & 0xFF, _stage, false);
        const std::string dot = "dot(2.0 * " + a1c + " - 1.0, 2.0 * " + a2c + " - 1.0)";
        return _alpha ? dot : "vec3(" + dot + ")";
    }
    case D3DTOP_BUMPENVMAP:
    case D3DTOP_BUMPENVMAPLUMINANCE: return "current" + ch;
    default:
        throw std::runtime_error("fixed-function emulation: texture stage operation " + std::to_string(op) +
                                 " is not implemented");
    }
}

}

std::string GlFixedPixelSource(const gl_fixed_key_s& _key)
{
    std::string s = "#version 330 core\n";
    s += "uniform vec4 pc[" + Str(gl_pixel_constant_count) + "];\n";
    for (u32 stage = 0; stage < d3d_stage_count; ++stage) {
        const u32 kind = (_key.coords[stage] >> 9) & 3;
        if (_key.colorOps[stage] != 0 && kind != 0) {
            s += std::string("uniform ") + (kind == 2 ? "samplerCube" : "sampler2D") + " s" + Str(stage) + ";\n";
        }
    }
    s += "in vec4 v_diffuse;\nin vec4 v_specular;\nin vec4 v_tex[8];\nin float v_fog;\nin float v_distance;\n";
    // Every bound target gets the one colour.
    for (u32 target = 0; target < d3d_render_target_count; ++target) {
        s += "layout(location = " + Str(target) + ") out vec4 o_color" + Str(target) + ";\n";
    }
    s += "void main()\n{\n";
    s += "    vec4 diffuse = clamp(v_diffuse, 0.0, 1.0);\n    vec4 specular = clamp(v_specular, 0.0, 1.0);\n";
    s += "    vec4 current = diffuse;\n    vec4 temp = vec4(0.0);\n";
    s += "    vec2 bump = vec2(0.0);\n    float luminance = 1.0;\n";
    for (u32 stage = 0; stage < d3d_stage_count && _key.colorOps[stage] != 0; ++stage) {
        const u32 coords = _key.coords[stage];
        const u32 kind = (coords >> 9) & 3;
        const bool projected = ((coords >> 8) & 1) != 0;
        const std::string st = Str(stage);
        std::string coord = (_key.points & 2) != 0 ? "vec4(gl_PointCoord, 0.0, 1.0)" : "v_tex[" + st + "]";
        s += "    vec4 c" + st + " = " + coord + ";\n";
        if (projected) {
            s += "    c" + st + " /= c" + st + ".w;\n";
        }
        s += "    c" + st + ".xy += bump;\n";
        if (kind == 0) {
            s += "    vec4 tex" + st + " = vec4(0.0, 0.0, 0.0, 1.0);\n";
        } else if (kind == 2) {
            s += "    vec4 tex" + st + " = texture(s" + st + ", c" + st + ".xyz);\n";
        } else {
            s += "    vec4 tex" + st + " = texture(s" + st + ", c" + st + ".xy);\n";
        }
        s += "    tex" + st + ".rgb *= luminance;\n    bump = vec2(0.0);\n    luminance = 1.0;\n";
        const DWORD color_op = _key.colorOps[stage] & 0xFF;
        const DWORD alpha_op = _key.alphaOps[stage] & 0xFF;
        s += "    {\n        vec3 rgb = clamp(" + Operation(_key.colorOps[stage], stage, false) + ", 0.0, 1.0);\n";
        s += "        float a = " +
             (alpha_op == D3DTOP_DISABLE ? std::string("current.a")
                                         : "clamp(" + Operation(_key.alphaOps[stage], stage, true) + ", 0.0, 1.0)") +
             ";\n";
        s += std::string("        ") + (((coords >> 11) & 1) != 0 ? "temp" : "current") + " = vec4(rgb, a);\n    }\n";
        if (color_op == D3DTOP_BUMPENVMAP || color_op == D3DTOP_BUMPENVMAPLUMINANCE) {
            const std::string m = "pc[" + Str(pc_bump + stage * 2) + "]";
            s += "    bump = vec2(tex" + st + ".r * " + m + ".x + tex" + st + ".g * " + m + ".z, tex" + st + ".r * " +
                 m + ".y + tex" + st + ".g * " + m + ".w);\n";
            if (color_op == D3DTOP_BUMPENVMAPLUMINANCE) {
                const std::string l = "pc[" + Str(pc_bump + stage * 2 + 1) + "]";
                s += "    luminance = clamp(tex" + st + ".b * " + l + ".x + " + l + ".y, 0.0, 1.0);\n";
            }
        }
    }
    s += "    vec4 color = current;\n";
    if (_key.specular) {
        s += "    color.rgb = clamp(color.rgb + specular.rgb, 0.0, 1.0);\n";
    }
    if (_key.alphaFunc != 0 && _key.alphaFunc != D3DCMP_ALWAYS) {
        static const char* const tests[] = {"", "false", "a < r", "a == r", "a <= r", "a > r", "a != r", "a >= r"};
        s += "    { float a = floor(color.a * 255.0 + 0.5); float r = pc[" + Str(pc_alpha_ref) + "].x;\n";
        s += std::string("      if (!(") + tests[_key.alphaFunc < 8 ? _key.alphaFunc : 1] + ")) discard; }\n";
    }
    if (_key.tableFog != D3DFOG_NONE || _key.vertexFog != D3DFOG_NONE) {
        s += "    vec4 fog = pc[" + Str(pc_fog) + "];\n";
        switch (_key.tableFog) {
        case D3DFOG_LINEAR: s += "    float f = clamp((fog.y - v_distance) / (fog.y - fog.x), 0.0, 1.0);\n"; break;
        case D3DFOG_EXP: s += "    float f = clamp(exp(-fog.z * v_distance), 0.0, 1.0);\n"; break;
        case D3DFOG_EXP2:
            s += "    float f = clamp(exp(-(fog.z * v_distance) * (fog.z * v_distance)), 0.0, 1.0);\n";
            break;
        default: s += "    float f = clamp(v_fog, 0.0, 1.0);\n"; break;
        }
        s += "    color.rgb = mix(pc[" + Str(pc_fog_color) + "].rgb, color.rgb, f);\n";
    }
    s += "    o_color0 = color;\n    o_color1 = color;\n    o_color2 = color;\n    o_color3 = color;\n}\n";
    return s;
}

void GlFixedVertexConstants(const d3d9_device_state_c& _state, gl_vertex_constants_t& _out)
{
    const auto& rs = _state.renderStates;
    for (u32 m = 0; m < 4; ++m) {
        PutMatrix(_state.worldMatrices[m], &_out[vc_world + m * 4]);
    }
    PutMatrix(_state.view, &_out[vc_view]);
    PutMatrix(_state.projection, &_out[vc_projection]);
    for (u32 stage = 0; stage < d3d_stage_count; ++stage) {
        PutMatrix(_state.textureTransforms[stage], &_out[vc_texture + stage * 4]);
    }
    const D3DMATERIAL9& material = _state.material;
    _out[vc_material] = Value(material.Diffuse);
    _out[vc_material + 1] = Value(material.Ambient);
    _out[vc_material + 2] = Value(material.Specular);
    _out[vc_material + 3] = Value(material.Emissive);
    _out[vc_material + 4] = {material.Power, 0.0f, 0.0f, 0.0f};
    _out[vc_ambient] = Color(rs[D3DRS_AMBIENT]);
    for (u32 i = 0; i < d3d_light_count; ++i) {
        const D3DLIGHT9& light = _state.lights[i].light;
        std::array<f32, 4>* r = &_out[vc_lights + i * 8];
        r[0] = Value(light.Diffuse);
        r[1] = Value(light.Specular);
        r[2] = Value(light.Ambient);
        r[3] = Transform(light.Position, 1.0f, _state.view);
        std::array<f32, 4> direction = Transform(light.Direction, 0.0f, _state.view);
        const f32 length =
            std::sqrt(direction[0] * direction[0] + direction[1] * direction[1] + direction[2] * direction[2]);
        if (length > 0.0f) {
            for (u32 c = 0; c < 3; ++c) {
                direction[c] /= length;
            }
        }
        r[4] = direction;
        r[5] = {light.Range, light.Falloff, light.Attenuation0, light.Attenuation1};
        r[6] = {light.Attenuation2, std::cos(light.Theta * 0.5f), std::cos(light.Phi * 0.5f), 0.0f};
    }
    _out[vc_fog] = {_state.RenderStateFloat(D3DRS_FOGSTART), _state.RenderStateFloat(D3DRS_FOGEND),
                    _state.RenderStateFloat(D3DRS_FOGDENSITY), 0.0f};
    _out[vc_tween] = {_state.RenderStateFloat(D3DRS_TWEENFACTOR), 0.0f, 0.0f, 0.0f};
    const D3DVIEWPORT9& vp = _state.viewport;
    _out[vc_viewport] = {static_cast<f32>(vp.X), static_cast<f32>(vp.Y), static_cast<f32>(vp.Width),
                         static_cast<f32>(vp.Height)};
    _out[vc_point] = {_state.RenderStateFloat(D3DRS_POINTSIZE), _state.RenderStateFloat(D3DRS_POINTSIZE_MIN),
                      _state.RenderStateFloat(D3DRS_POINTSIZE_MAX), 0.0f};
    _out[vc_point_scale] = {_state.RenderStateFloat(D3DRS_POINTSCALE_A), _state.RenderStateFloat(D3DRS_POINTSCALE_B),
                            _state.RenderStateFloat(D3DRS_POINTSCALE_C), 0.0f};
    PutNormalMatrix(Multiply(_state.worldMatrices[0], _state.view), &_out[vc_normal]);
    for (u32 m = 0; m < palette_size; ++m) {
        PutMatrix(_state.worldMatrices[m], &_out[vc_palette + m * 4]);
    }
}

void GlFixedPixelConstants(const d3d9_device_state_c& _state, gl_pixel_constants_t& _out)
{
    const auto& rs = _state.renderStates;
    _out[pc_factor] = Color(rs[D3DRS_TEXTUREFACTOR]);
    _out[pc_fog_color] = Color(rs[D3DRS_FOGCOLOR]);
    _out[pc_fog] = {_state.RenderStateFloat(D3DRS_FOGSTART), _state.RenderStateFloat(D3DRS_FOGEND),
                    _state.RenderStateFloat(D3DRS_FOGDENSITY), 0.0f};
    _out[pc_alpha_ref] = {static_cast<f32>(rs[D3DRS_ALPHAREF] & 0xFF), 0.0f, 0.0f, 0.0f};
    for (u32 stage = 0; stage < d3d_stage_count; ++stage) {
        const auto& ts = _state.stageStates[stage];
        _out[pc_bump + stage * 2] = {DwordToFloat(ts[D3DTSS_BUMPENVMAT00]), DwordToFloat(ts[D3DTSS_BUMPENVMAT01]),
                                     DwordToFloat(ts[D3DTSS_BUMPENVMAT10]), DwordToFloat(ts[D3DTSS_BUMPENVMAT11])};
        _out[pc_bump + stage * 2 + 1] = {DwordToFloat(ts[D3DTSS_BUMPENVLSCALE]),
                                         DwordToFloat(ts[D3DTSS_BUMPENVLOFFSET]), 0.0f, 0.0f};
    }
}
