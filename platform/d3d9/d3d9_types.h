#pragma once
// The Direct3D 9 vocabulary the renderer speaks: result codes, formats, the
// render, texture-stage and sampler state names with their values, and the
// plain records passed to the device. Only the names the renderer uses are
// declared; numbers are those Direct3D 9 gives them, so that shader token
// streams, stored formats and state dumps mean the same as on Windows.
#include "foundation/types.h"
#include "platform/win32/window_types.h"

using HRESULT = i32;
using ULONG = u32;
using LONG = i32;
using FLOAT = f32;
using INT = i32;

constexpr HRESULT D3D_OK = 0;
constexpr HRESULT E_FAIL = static_cast<HRESULT>(0x80004005u);
constexpr HRESULT E_OUTOFMEMORY = static_cast<HRESULT>(0x8007000Eu);
constexpr HRESULT D3DERR_NOTFOUND = static_cast<HRESULT>(0x88760866u);
constexpr HRESULT D3DERR_DEVICELOST = static_cast<HRESULT>(0x88760868u);
constexpr HRESULT D3DERR_NOTAVAILABLE = static_cast<HRESULT>(0x8876086Au);
constexpr HRESULT D3DERR_INVALIDCALL = static_cast<HRESULT>(0x8876086Cu);
constexpr HRESULT D3DERR_OUTOFVIDEOMEMORY = static_cast<HRESULT>(0x8876017Cu);
constexpr bool SUCCEEDED(HRESULT _hr)
{
    return _hr >= 0;
}
constexpr bool FAILED(HRESULT _hr)
{
    return _hr < 0;
}

constexpr UINT D3D_SDK_VERSION = 31;
constexpr UINT D3DADAPTER_DEFAULT = 0;

constexpr DWORD MAKEFOURCC(char _a, char _b, char _c, char _d)
{
    return static_cast<DWORD>(static_cast<u8>(_a)) | (static_cast<DWORD>(static_cast<u8>(_b)) << 8) |
           (static_cast<DWORD>(static_cast<u8>(_c)) << 16) | (static_cast<DWORD>(static_cast<u8>(_d)) << 24);
}

enum D3DFORMAT : u32 {
    D3DFMT_UNKNOWN = 0,
    D3DFMT_R8G8B8 = 20,
    D3DFMT_A8R8G8B8 = 21,
    D3DFMT_X8R8G8B8 = 22,
    D3DFMT_R5G6B5 = 23,
    D3DFMT_X1R5G5B5 = 24,
    D3DFMT_A1R5G5B5 = 25,
    D3DFMT_A4R4G4B4 = 26,
    D3DFMT_R3G3B2 = 27,
    D3DFMT_A8 = 28,
    D3DFMT_A8R3G3B2 = 29,
    D3DFMT_X4R4G4B4 = 30,
    D3DFMT_A2B10G10R10 = 31,
    D3DFMT_A8B8G8R8 = 32,
    D3DFMT_X8B8G8R8 = 33,
    D3DFMT_G16R16 = 34,
    D3DFMT_A2R10G10B10 = 35,
    D3DFMT_A16B16G16R16 = 36,
    D3DFMT_A8P8 = 40,
    D3DFMT_P8 = 41,
    D3DFMT_L8 = 50,
    D3DFMT_A8L8 = 51,
    D3DFMT_A4L4 = 52,
    D3DFMT_V8U8 = 60,
    D3DFMT_L6V5U5 = 61,
    D3DFMT_X8L8V8U8 = 62,
    D3DFMT_Q8W8V8U8 = 63,
    D3DFMT_V16U16 = 64,
    D3DFMT_A2W10V10U10 = 67,
    D3DFMT_D16_LOCKABLE = 70,
    D3DFMT_D32 = 71,
    D3DFMT_D15S1 = 73,
    D3DFMT_D24S8 = 75,
    D3DFMT_D24X8 = 77,
    D3DFMT_D24X4S4 = 79,
    D3DFMT_D16 = 80,
    D3DFMT_L16 = 81,
    D3DFMT_D32F_LOCKABLE = 82,
    D3DFMT_D24FS8 = 83,
    D3DFMT_INDEX16 = 101,
    D3DFMT_INDEX32 = 102,
    D3DFMT_Q16W16V16U16 = 110,
    D3DFMT_R16F = 111,
    D3DFMT_G16R16F = 112,
    D3DFMT_A16B16G16R16F = 113,
    D3DFMT_R32F = 114,
    D3DFMT_G32R32F = 115,
    D3DFMT_A32B32G32R32F = 116,
    D3DFMT_CxV8U8 = 117,
    D3DFMT_DXT1 = MAKEFOURCC('D', 'X', 'T', '1'),
    D3DFMT_DXT2 = MAKEFOURCC('D', 'X', 'T', '2'),
    D3DFMT_DXT3 = MAKEFOURCC('D', 'X', 'T', '3'),
    D3DFMT_DXT4 = MAKEFOURCC('D', 'X', 'T', '4'),
    D3DFMT_DXT5 = MAKEFOURCC('D', 'X', 'T', '5'),
};

enum D3DDEVTYPE : u32 { D3DDEVTYPE_HAL = 1, D3DDEVTYPE_REF = 2, D3DDEVTYPE_SW = 3 };

enum D3DRESOURCETYPE : u32 {
    D3DRTYPE_SURFACE = 1,
    D3DRTYPE_VOLUME = 2,
    D3DRTYPE_TEXTURE = 3,
    D3DRTYPE_VOLUMETEXTURE = 4,
    D3DRTYPE_CUBETEXTURE = 5,
    D3DRTYPE_VERTEXBUFFER = 6,
    D3DRTYPE_INDEXBUFFER = 7,
};

enum D3DPOOL : u32 { D3DPOOL_DEFAULT = 0, D3DPOOL_MANAGED = 1, D3DPOOL_SYSTEMMEM = 2, D3DPOOL_SCRATCH = 3 };

enum D3DMULTISAMPLE_TYPE : u32 {
    D3DMULTISAMPLE_NONE = 0,
    D3DMULTISAMPLE_2_SAMPLES = 2,
    D3DMULTISAMPLE_3_SAMPLES = 3,
    D3DMULTISAMPLE_4_SAMPLES = 4,
};

enum D3DSWAPEFFECT : u32 { D3DSWAPEFFECT_DISCARD = 1, D3DSWAPEFFECT_FLIP = 2, D3DSWAPEFFECT_COPY = 3 };

enum D3DPRIMITIVETYPE : u32 {
    D3DPT_POINTLIST = 1,
    D3DPT_LINELIST = 2,
    D3DPT_LINESTRIP = 3,
    D3DPT_TRIANGLELIST = 4,
    D3DPT_TRIANGLESTRIP = 5,
    D3DPT_TRIANGLEFAN = 6,
    D3DPT_FORCE_DWORD = 0x7FFFFFFF,
};

enum D3DCUBEMAP_FACES : u32 {
    D3DCUBEMAP_FACE_POSITIVE_X = 0,
    D3DCUBEMAP_FACE_NEGATIVE_X = 1,
    D3DCUBEMAP_FACE_POSITIVE_Y = 2,
    D3DCUBEMAP_FACE_NEGATIVE_Y = 3,
    D3DCUBEMAP_FACE_POSITIVE_Z = 4,
    D3DCUBEMAP_FACE_NEGATIVE_Z = 5,
};

// Usage flags of resources and of CheckDeviceFormat.
constexpr DWORD D3DUSAGE_RENDERTARGET = 0x1;
constexpr DWORD D3DUSAGE_DEPTHSTENCIL = 0x2;
constexpr DWORD D3DUSAGE_WRITEONLY = 0x8;
constexpr DWORD D3DUSAGE_SOFTWAREPROCESSING = 0x10;
constexpr DWORD D3DUSAGE_POINTS = 0x40;
constexpr DWORD D3DUSAGE_DYNAMIC = 0x200;

constexpr DWORD D3DLOCK_READONLY = 0x10;
constexpr DWORD D3DLOCK_DISCARD = 0x2000;
constexpr DWORD D3DLOCK_NOOVERWRITE = 0x1000;

constexpr DWORD D3DCREATE_SOFTWARE_VERTEXPROCESSING = 0x20;
constexpr DWORD D3DCREATE_HARDWARE_VERTEXPROCESSING = 0x40;
constexpr DWORD D3DCREATE_MIXED_VERTEXPROCESSING = 0x80;

constexpr DWORD D3DCLEAR_TARGET = 0x1;
constexpr DWORD D3DCLEAR_ZBUFFER = 0x2;
constexpr DWORD D3DCLEAR_STENCIL = 0x4;

constexpr DWORD D3DSGR_NO_CALIBRATION = 0;

constexpr DWORD D3DPRESENT_INTERVAL_DEFAULT = 0;
constexpr DWORD D3DPRESENT_INTERVAL_ONE = 0x1;
constexpr DWORD D3DPRESENT_INTERVAL_IMMEDIATE = 0x80000000u;

// Render states; the device keeps them in a table indexed by these values.
enum D3DRENDERSTATETYPE : u32 {
    D3DRS_ZENABLE = 7,
    D3DRS_FILLMODE = 8,
    D3DRS_SHADEMODE = 9,
    D3DRS_ZWRITEENABLE = 14,
    D3DRS_ALPHATESTENABLE = 15,
    D3DRS_LASTPIXEL = 16,
    D3DRS_SRCBLEND = 19,
    D3DRS_DESTBLEND = 20,
    D3DRS_CULLMODE = 22,
    D3DRS_ZFUNC = 23,
    D3DRS_ALPHAREF = 24,
    D3DRS_ALPHAFUNC = 25,
    D3DRS_DITHERENABLE = 26,
    D3DRS_ALPHABLENDENABLE = 27,
    D3DRS_FOGENABLE = 28,
    D3DRS_SPECULARENABLE = 29,
    D3DRS_FOGCOLOR = 34,
    D3DRS_FOGTABLEMODE = 35,
    D3DRS_FOGSTART = 36,
    D3DRS_FOGEND = 37,
    D3DRS_FOGDENSITY = 38,
    D3DRS_RANGEFOGENABLE = 48,
    D3DRS_STENCILENABLE = 52,
    D3DRS_STENCILFAIL = 53,
    D3DRS_STENCILZFAIL = 54,
    D3DRS_STENCILPASS = 55,
    D3DRS_STENCILFUNC = 56,
    D3DRS_STENCILREF = 57,
    D3DRS_STENCILMASK = 58,
    D3DRS_STENCILWRITEMASK = 59,
    D3DRS_TEXTUREFACTOR = 60,
    D3DRS_WRAP0 = 128,
    D3DRS_CLIPPING = 136,
    D3DRS_LIGHTING = 137,
    D3DRS_AMBIENT = 139,
    D3DRS_FOGVERTEXMODE = 140,
    D3DRS_COLORVERTEX = 141,
    D3DRS_LOCALVIEWER = 142,
    D3DRS_NORMALIZENORMALS = 143,
    D3DRS_DIFFUSEMATERIALSOURCE = 145,
    D3DRS_SPECULARMATERIALSOURCE = 146,
    D3DRS_AMBIENTMATERIALSOURCE = 147,
    D3DRS_EMISSIVEMATERIALSOURCE = 148,
    D3DRS_VERTEXBLEND = 151,
    D3DRS_CLIPPLANEENABLE = 152,
    D3DRS_POINTSIZE = 154,
    D3DRS_POINTSIZE_MIN = 155,
    D3DRS_POINTSPRITEENABLE = 156,
    D3DRS_POINTSCALEENABLE = 157,
    D3DRS_POINTSCALE_A = 158,
    D3DRS_POINTSCALE_B = 159,
    D3DRS_POINTSCALE_C = 160,
    D3DRS_MULTISAMPLEANTIALIAS = 161,
    D3DRS_MULTISAMPLEMASK = 162,
    D3DRS_POINTSIZE_MAX = 166,
    D3DRS_INDEXEDVERTEXBLENDENABLE = 167,
    D3DRS_COLORWRITEENABLE = 168,
    D3DRS_TWEENFACTOR = 170,
    D3DRS_BLENDOP = 171,
    D3DRS_SCISSORTESTENABLE = 174,
    D3DRS_TWOSIDEDSTENCILMODE = 185,
    D3DRS_CCW_STENCILFAIL = 186,
    D3DRS_CCW_STENCILZFAIL = 187,
    D3DRS_CCW_STENCILPASS = 188,
    D3DRS_CCW_STENCILFUNC = 189,
    D3DRS_COLORWRITEENABLE1 = 190,
    D3DRS_COLORWRITEENABLE2 = 191,
    D3DRS_COLORWRITEENABLE3 = 192,
    D3DRS_BLENDFACTOR = 193,
};
// One past the highest render state number the device keeps.
constexpr u32 d3d_render_state_count = 256;

enum D3DTEXTURESTAGESTATETYPE : u32 {
    D3DTSS_COLOROP = 1,
    D3DTSS_COLORARG1 = 2,
    D3DTSS_COLORARG2 = 3,
    D3DTSS_ALPHAOP = 4,
    D3DTSS_ALPHAARG1 = 5,
    D3DTSS_ALPHAARG2 = 6,
    D3DTSS_BUMPENVMAT00 = 7,
    D3DTSS_BUMPENVMAT01 = 8,
    D3DTSS_BUMPENVMAT10 = 9,
    D3DTSS_BUMPENVMAT11 = 10,
    D3DTSS_TEXCOORDINDEX = 11,
    D3DTSS_BUMPENVLSCALE = 22,
    D3DTSS_BUMPENVLOFFSET = 23,
    D3DTSS_TEXTURETRANSFORMFLAGS = 24,
    D3DTSS_COLORARG0 = 26,
    D3DTSS_ALPHAARG0 = 27,
    D3DTSS_RESULTARG = 28,
    D3DTSS_CONSTANT = 32,
};
constexpr u32 d3d_stage_state_count = 33;
constexpr u32 d3d_stage_count = 8;

enum D3DSAMPLERSTATETYPE : u32 {
    D3DSAMP_ADDRESSU = 1,
    D3DSAMP_ADDRESSV = 2,
    D3DSAMP_ADDRESSW = 3,
    D3DSAMP_BORDERCOLOR = 4,
    D3DSAMP_MAGFILTER = 5,
    D3DSAMP_MINFILTER = 6,
    D3DSAMP_MIPFILTER = 7,
    D3DSAMP_MIPMAPLODBIAS = 8,
    D3DSAMP_MAXMIPLEVEL = 9,
    D3DSAMP_MAXANISOTROPY = 10,
    D3DSAMP_SRGBTEXTURE = 11,
};
constexpr u32 d3d_sampler_state_count = 14;
constexpr u32 d3d_sampler_count = 16;

enum D3DTRANSFORMSTATETYPE : u32 {
    D3DTS_VIEW = 2,
    D3DTS_PROJECTION = 3,
    D3DTS_TEXTURE0 = 16,
    D3DTS_TEXTURE7 = 23,
    D3DTS_WORLD = 256,
};
constexpr D3DTRANSFORMSTATETYPE D3DTS_WORLDMATRIX(u32 _index)
{
    return static_cast<D3DTRANSFORMSTATETYPE>(256 + _index);
}
// World matrices the device keeps (indices 0..255 of D3DTS_WORLDMATRIX).
constexpr u32 d3d_world_matrix_count = 256;

// Values of the render, stage and sampler states.
enum D3DZBUFFERTYPE : u32 { D3DZB_FALSE = 0, D3DZB_TRUE = 1, D3DZB_USEW = 2 };
enum D3DFILLMODE : u32 { D3DFILL_POINT = 1, D3DFILL_WIREFRAME = 2, D3DFILL_SOLID = 3 };
enum D3DSHADEMODE : u32 { D3DSHADE_FLAT = 1, D3DSHADE_GOURAUD = 2 };
enum D3DCULL : u32 { D3DCULL_NONE = 1, D3DCULL_CW = 2, D3DCULL_CCW = 3 };
enum D3DCMPFUNC : u32 {
    D3DCMP_NEVER = 1,
    D3DCMP_LESS = 2,
    D3DCMP_EQUAL = 3,
    D3DCMP_LESSEQUAL = 4,
    D3DCMP_GREATER = 5,
    D3DCMP_NOTEQUAL = 6,
    D3DCMP_GREATEREQUAL = 7,
    D3DCMP_ALWAYS = 8,
};
enum D3DBLEND : u32 {
    D3DBLEND_ZERO = 1,
    D3DBLEND_ONE = 2,
    D3DBLEND_SRCCOLOR = 3,
    D3DBLEND_INVSRCCOLOR = 4,
    D3DBLEND_SRCALPHA = 5,
    D3DBLEND_INVSRCALPHA = 6,
    D3DBLEND_DESTALPHA = 7,
    D3DBLEND_INVDESTALPHA = 8,
    D3DBLEND_DESTCOLOR = 9,
    D3DBLEND_INVDESTCOLOR = 10,
};
enum D3DBLENDOP : u32 { D3DBLENDOP_ADD = 1 };
enum D3DSTENCILOP : u32 {
    D3DSTENCILOP_KEEP = 1,
    D3DSTENCILOP_ZERO = 2,
    D3DSTENCILOP_REPLACE = 3,
    D3DSTENCILOP_INCRSAT = 4,
    D3DSTENCILOP_DECRSAT = 5,
    D3DSTENCILOP_INVERT = 6,
    D3DSTENCILOP_INCR = 7,
    D3DSTENCILOP_DECR = 8,
};
enum D3DFOGMODE : u32 { D3DFOG_NONE = 0, D3DFOG_EXP = 1, D3DFOG_EXP2 = 2, D3DFOG_LINEAR = 3 };
enum D3DMATERIALCOLORSOURCE : u32 { D3DMCS_MATERIAL = 0, D3DMCS_COLOR1 = 1, D3DMCS_COLOR2 = 2 };
enum D3DVERTEXBLENDFLAGS : u32 {
    D3DVBF_DISABLE = 0,
    D3DVBF_1WEIGHTS = 1,
    D3DVBF_2WEIGHTS = 2,
    D3DVBF_3WEIGHTS = 3,
    D3DVBF_TWEENING = 255,
    D3DVBF_0WEIGHTS = 256,
};
enum D3DTEXTUREOP : u32 {
    D3DTOP_DISABLE = 1,
    D3DTOP_SELECTARG1 = 2,
    D3DTOP_SELECTARG2 = 3,
    D3DTOP_MODULATE = 4,
    D3DTOP_MODULATE2X = 5,
    D3DTOP_MODULATE4X = 6,
    D3DTOP_ADD = 7,
    D3DTOP_BLENDDIFFUSEALPHA = 12,
    D3DTOP_BLENDTEXTUREALPHA = 13,
    D3DTOP_BLENDFACTORALPHA = 14,
    D3DTOP_BLENDCURRENTALPHA = 16,
    D3DTOP_BUMPENVMAP = 22,
    D3DTOP_BUMPENVMAPLUMINANCE = 23,
    D3DTOP_MULTIPLYADD = 25,
    D3DTOP_LERP = 26,
};
// Texture stage arguments; COMPLEMENT is or-ed in.
constexpr DWORD D3DTA_DIFFUSE = 0;
constexpr DWORD D3DTA_CURRENT = 1;
constexpr DWORD D3DTA_TEXTURE = 2;
constexpr DWORD D3DTA_TFACTOR = 3;
constexpr DWORD D3DTA_SPECULAR = 4;
constexpr DWORD D3DTA_COMPLEMENT = 0x10;
constexpr DWORD D3DTA_ALPHAREPLICATE = 0x20;
// Texture coordinate generation, or-ed with the set index.
constexpr DWORD D3DTSS_TCI_PASSTHRU = 0;
constexpr DWORD D3DTSS_TCI_CAMERASPACENORMAL = 0x10000;
constexpr DWORD D3DTSS_TCI_CAMERASPACEPOSITION = 0x20000;
constexpr DWORD D3DTSS_TCI_CAMERASPACEREFLECTIONVECTOR = 0x30000;
enum D3DTEXTURETRANSFORMFLAGS : u32 { D3DTTFF_DISABLE = 0, D3DTTFF_COUNT2 = 2, D3DTTFF_COUNT3 = 3 };
enum D3DTEXTUREFILTERTYPE : u32 { D3DTEXF_NONE = 0, D3DTEXF_POINT = 1, D3DTEXF_LINEAR = 2, D3DTEXF_ANISOTROPIC = 3 };
enum D3DTEXTUREADDRESS : u32 { D3DTADDRESS_WRAP = 1, D3DTADDRESS_MIRROR = 2, D3DTADDRESS_CLAMP = 3 };
enum D3DLIGHTTYPE : u32 { D3DLIGHT_POINT = 1, D3DLIGHT_SPOT = 2, D3DLIGHT_DIRECTIONAL = 3 };

// Colour write channels.
constexpr DWORD D3DCOLORWRITEENABLE_RED = 1;
constexpr DWORD D3DCOLORWRITEENABLE_GREEN = 2;
constexpr DWORD D3DCOLORWRITEENABLE_BLUE = 4;
constexpr DWORD D3DCOLORWRITEENABLE_ALPHA = 8;

// Flexible vertex format bits of pre-transformed vertices.
constexpr DWORD D3DFVF_XYZ = 0x002;
constexpr DWORD D3DFVF_XYZRHW = 0x004;
constexpr DWORD D3DFVF_NORMAL = 0x010;
constexpr DWORD D3DFVF_DIFFUSE = 0x040;
constexpr DWORD D3DFVF_SPECULAR = 0x080;
constexpr DWORD D3DFVF_TEXCOUNT_SHIFT = 8;
constexpr DWORD D3DFVF_TEXCOUNT_MASK = 0xF00;
constexpr DWORD D3DFVF_TEX1 = 0x100;
constexpr DWORD D3DFVF_TEX4 = 0x400;
constexpr DWORD D3DFVF_TEX8 = 0x800;

// A colour as four bytes blue, green, red, alpha in memory.
using D3DCOLOR = DWORD;
constexpr D3DCOLOR D3DCOLOR_ARGB(u32 _a, u32 _r, u32 _g, u32 _b)
{
    return ((_a & 0xFF) << 24) | ((_r & 0xFF) << 16) | ((_g & 0xFF) << 8) | (_b & 0xFF);
}

struct D3DCOLORVALUE {
    f32 r = 0.0f;
    f32 g = 0.0f;
    f32 b = 0.0f;
    f32 a = 0.0f;
    bool operator==(const D3DCOLORVALUE&) const = default;
};

struct D3DVECTOR {
    f32 x = 0.0f;
    f32 y = 0.0f;
    f32 z = 0.0f;
    bool operator==(const D3DVECTOR&) const = default;
};

// Row-vector convention: m[row][column], the translation in row 3.
struct D3DMATRIX {
    f32 m[4][4] = {};
    bool operator==(const D3DMATRIX&) const = default;
};
constexpr D3DMATRIX d3d_identity_matrix{{{1, 0, 0, 0}, {0, 1, 0, 0}, {0, 0, 1, 0}, {0, 0, 0, 1}}};

struct D3DVIEWPORT9 {
    DWORD X = 0;
    DWORD Y = 0;
    DWORD Width = 0;
    DWORD Height = 0;
    f32 MinZ = 0.0f;
    f32 MaxZ = 1.0f;
    bool operator==(const D3DVIEWPORT9&) const = default;
};

struct D3DMATERIAL9 {
    D3DCOLORVALUE Diffuse;
    D3DCOLORVALUE Ambient;
    D3DCOLORVALUE Specular;
    D3DCOLORVALUE Emissive;
    f32 Power = 0.0f;
    bool operator==(const D3DMATERIAL9&) const = default;
};

struct D3DLIGHT9 {
    D3DLIGHTTYPE Type = D3DLIGHT_DIRECTIONAL;
    D3DCOLORVALUE Diffuse;
    D3DCOLORVALUE Specular;
    D3DCOLORVALUE Ambient;
    D3DVECTOR Position;
    D3DVECTOR Direction;
    f32 Range = 0.0f;
    f32 Falloff = 0.0f;
    f32 Attenuation0 = 0.0f;
    f32 Attenuation1 = 0.0f;
    f32 Attenuation2 = 0.0f;
    f32 Theta = 0.0f;
    f32 Phi = 0.0f;
    bool operator==(const D3DLIGHT9&) const = default;
};

struct D3DLOCKED_RECT {
    i32 Pitch = 0;
    void* pBits = nullptr;
};

struct D3DDISPLAYMODE {
    UINT Width = 0;
    UINT Height = 0;
    UINT RefreshRate = 0;
    D3DFORMAT Format = D3DFMT_UNKNOWN;
    bool operator==(const D3DDISPLAYMODE&) const = default;
};

struct D3DPRESENT_PARAMETERS {
    UINT BackBufferWidth = 0;
    UINT BackBufferHeight = 0;
    D3DFORMAT BackBufferFormat = D3DFMT_UNKNOWN;
    UINT BackBufferCount = 0;
    D3DMULTISAMPLE_TYPE MultiSampleType = D3DMULTISAMPLE_NONE;
    DWORD MultiSampleQuality = 0;
    D3DSWAPEFFECT SwapEffect = D3DSWAPEFFECT_DISCARD;
    HWND hDeviceWindow = nullptr;
    BOOL Windowed = 0;
    BOOL EnableAutoDepthStencil = 0;
    D3DFORMAT AutoDepthStencilFormat = D3DFMT_UNKNOWN;
    DWORD Flags = 0;
    UINT FullScreen_RefreshRateInHz = 0;
    UINT PresentationInterval = 0;
};

struct LARGE_INTEGER_PARTS {
    DWORD LowPart = 0;
    LONG HighPart = 0;
};

struct D3DADAPTER_IDENTIFIER9 {
    char Driver[512] = {};
    char Description[512] = {};
    char DeviceName[32] = {};
    LARGE_INTEGER_PARTS DriverVersion;
    DWORD VendorId = 0;
    DWORD DeviceId = 0;
};

struct D3DSURFACE_DESC {
    D3DFORMAT Format = D3DFMT_UNKNOWN;
    D3DRESOURCETYPE Type = D3DRTYPE_SURFACE;
    DWORD Usage = 0;
    D3DPOOL Pool = D3DPOOL_DEFAULT;
    UINT Width = 0;
    UINT Height = 0;
};

struct D3DGAMMARAMP {
    WORD red[256] = {};
    WORD green[256] = {};
    WORD blue[256] = {};
    bool operator==(const D3DGAMMARAMP&) const = default;
};

struct PALETTEENTRY {
    u8 peRed = 0;
    u8 peGreen = 0;
    u8 peBlue = 0;
    u8 peFlags = 0;
    bool operator==(const PALETTEENTRY&) const = default;
};

// Vertex declarations.
enum D3DDECLTYPE : u8 {
    D3DDECLTYPE_FLOAT1 = 0,
    D3DDECLTYPE_FLOAT2 = 1,
    D3DDECLTYPE_FLOAT3 = 2,
    D3DDECLTYPE_FLOAT4 = 3,
    D3DDECLTYPE_D3DCOLOR = 4,
    D3DDECLTYPE_UBYTE4 = 5,
    D3DDECLTYPE_UNUSED = 17,
};
enum D3DDECLMETHOD : u8 { D3DDECLMETHOD_DEFAULT = 0 };
enum D3DDECLUSAGE : u8 {
    D3DDECLUSAGE_POSITION = 0,
    D3DDECLUSAGE_BLENDWEIGHT = 1,
    D3DDECLUSAGE_BLENDINDICES = 2,
    D3DDECLUSAGE_NORMAL = 3,
    D3DDECLUSAGE_TEXCOORD = 5,
    D3DDECLUSAGE_COLOR = 10,
};
struct D3DVERTEXELEMENT9 {
    WORD Stream = 0;
    WORD Offset = 0;
    u8 Type = D3DDECLTYPE_FLOAT3;
    u8 Method = D3DDECLMETHOD_DEFAULT;
    u8 Usage = D3DDECLUSAGE_POSITION;
    u8 UsageIndex = 0;
    bool operator==(const D3DVERTEXELEMENT9&) const = default;
};
// The element that closes a declaration.
constexpr D3DVERTEXELEMENT9 D3DDECL_END{0xFF, 0, D3DDECLTYPE_UNUSED, 0, 0, 0};
// Bytes of one element of the type; 0 for UNUSED.
u32 D3DDeclTypeSize(u8 _type);

// A float state value travels as its bit pattern.
DWORD FloatToDword(f32 _value);
f32 DwordToFloat(DWORD _value);
