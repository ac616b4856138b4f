#include "platform/d3d9/gl_format.h"

#include <cstring>

namespace {

constexpr GLenum dxt1 = 0x83F1; // COMPRESSED_RGBA_S3TC_DXT1
constexpr GLenum dxt3 = 0x83F2;
constexpr GLenum dxt5 = 0x83F3;

gl_format_s Plain(GLenum _internal, GLenum _format, GLenum _type, bool _renderable = false)
{
    gl_format_s f;
    f.internal = _internal;
    f.format = _format;
    f.type = _type;
    f.renderable = _renderable;
    return f;
}

gl_format_s Swizzled(gl_format_s _f, GLint _r, GLint _g, GLint _b, GLint _a)
{
    _f.swizzle[0] = _r;
    _f.swizzle[1] = _g;
    _f.swizzle[2] = _b;
    _f.swizzle[3] = _a;
    return _f;
}

gl_format_s Compressed(GLenum _internal)
{
    gl_format_s f;
    f.internal = _internal;
    f.compressed = true;
    return f;
}

gl_format_s Widened()
{
    gl_format_s f = Plain(GL_RGBA8, GL_BGRA, GL_UNSIGNED_BYTE);
    f.widened = true;
    return f;
}

const gl_format_s bgra8 = Plain(GL_RGBA8, GL_BGRA, GL_UNSIGNED_BYTE, true);
const gl_format_s rgb565 = Plain(GL_RGB565, GL_RGB, GL_UNSIGNED_SHORT_5_6_5, true);
const gl_format_s bgr5a1 = Plain(GL_RGB5_A1, GL_BGRA, GL_UNSIGNED_SHORT_1_5_5_5_REV, true);
const gl_format_s bgra4 = Plain(GL_RGBA4, GL_BGRA, GL_UNSIGNED_SHORT_4_4_4_4_REV, true);
const gl_format_s rgba8 = Plain(GL_RGBA8, GL_RGBA, GL_UNSIGNED_BYTE, true);
const gl_format_s one_alpha_bgra8 = Swizzled(bgra8, GL_RED, GL_GREEN, GL_BLUE, GL_ONE);

}

const gl_format_s* GlFormat(D3DFORMAT _format)
{
    static const gl_format_s a8r8g8b8 = bgra8;
    static const gl_format_s x8r8g8b8 = one_alpha_bgra8;
    static const gl_format_s r8g8b8 = Plain(GL_RGB8, GL_BGR, GL_UNSIGNED_BYTE);
    static const gl_format_s r5g6b5 = rgb565;
    static const gl_format_s a1r5g5b5 = bgr5a1;
    static const gl_format_s x1r5g5b5 = Swizzled(bgr5a1, GL_RED, GL_GREEN, GL_BLUE, GL_ONE);
    static const gl_format_s a4r4g4b4 = bgra4;
    static const gl_format_s x4r4g4b4 = Swizzled(bgra4, GL_RED, GL_GREEN, GL_BLUE, GL_ONE);
    static const gl_format_s a8b8g8r8 = rgba8;
    static const gl_format_s x8b8g8r8 = Swizzled(rgba8, GL_RED, GL_GREEN, GL_BLUE, GL_ONE);
    static const gl_format_s a2b10g10r10 = Plain(GL_RGB10_A2, GL_RGBA, GL_UNSIGNED_INT_2_10_10_10_REV, true);
    static const gl_format_s a2r10g10b10 = Plain(GL_RGB10_A2, GL_BGRA, GL_UNSIGNED_INT_2_10_10_10_REV, true);
    static const gl_format_s a8 = Swizzled(Plain(GL_R8, GL_RED, GL_UNSIGNED_BYTE), GL_ZERO, GL_ZERO, GL_ZERO, GL_RED);
    static const gl_format_s l8 = Swizzled(Plain(GL_R8, GL_RED, GL_UNSIGNED_BYTE), GL_RED, GL_RED, GL_RED, GL_ONE);
    static const gl_format_s l16 = Swizzled(Plain(GL_R16, GL_RED, GL_UNSIGNED_SHORT), GL_RED, GL_RED, GL_RED, GL_ONE);
    static const gl_format_s a8l8 = Swizzled(Plain(GL_RG8, GL_RG, GL_UNSIGNED_BYTE), GL_RED, GL_RED, GL_RED, GL_GREEN);
    static const gl_format_s v8u8 = Swizzled(Plain(GL_RG8_SNORM, GL_RG, GL_BYTE), GL_RED, GL_GREEN, GL_ONE, GL_ONE);
    static const gl_format_s v16u16 = Swizzled(Plain(GL_RG16_SNORM, GL_RG, GL_SHORT), GL_RED, GL_GREEN, GL_ONE, GL_ONE);
    static const gl_format_s q8w8v8u8 = Plain(GL_RGBA8_SNORM, GL_RGBA, GL_BYTE);
    static const gl_format_s g16r16 =
        Swizzled(Plain(GL_RG16, GL_RG, GL_UNSIGNED_SHORT, true), GL_RED, GL_GREEN, GL_ONE, GL_ONE);
    static const gl_format_s a16b16g16r16 = Plain(GL_RGBA16, GL_RGBA, GL_UNSIGNED_SHORT, true);
    static const gl_format_s r16f =
        Swizzled(Plain(GL_R16F, GL_RED, GL_HALF_FLOAT, true), GL_RED, GL_ONE, GL_ONE, GL_ONE);
    static const gl_format_s g16r16f =
        Swizzled(Plain(GL_RG16F, GL_RG, GL_HALF_FLOAT, true), GL_RED, GL_GREEN, GL_ONE, GL_ONE);
    static const gl_format_s a16b16g16r16f = Plain(GL_RGBA16F, GL_RGBA, GL_HALF_FLOAT, true);
    static const gl_format_s r32f = Swizzled(Plain(GL_R32F, GL_RED, GL_FLOAT, true), GL_RED, GL_ONE, GL_ONE, GL_ONE);
    static const gl_format_s g32r32f =
        Swizzled(Plain(GL_RG32F, GL_RG, GL_FLOAT, true), GL_RED, GL_GREEN, GL_ONE, GL_ONE);
    static const gl_format_s a32b32g32r32f = Plain(GL_RGBA32F, GL_RGBA, GL_FLOAT, true);
    static const gl_format_s s3tc1 = Compressed(dxt1);
    static const gl_format_s s3tc3 = Compressed(dxt3);
    static const gl_format_s s3tc5 = Compressed(dxt5);
    static const gl_format_s widened = Widened();

    switch (_format) {
    case D3DFMT_A8R8G8B8: return &a8r8g8b8;
    case D3DFMT_X8R8G8B8: return &x8r8g8b8;
    case D3DFMT_R8G8B8: return &r8g8b8;
    case D3DFMT_R5G6B5: return &r5g6b5;
    case D3DFMT_A1R5G5B5: return &a1r5g5b5;
    case D3DFMT_X1R5G5B5: return &x1r5g5b5;
    case D3DFMT_A4R4G4B4: return &a4r4g4b4;
    case D3DFMT_X4R4G4B4: return &x4r4g4b4;
    case D3DFMT_A8B8G8R8: return &a8b8g8r8;
    case D3DFMT_X8B8G8R8: return &x8b8g8r8;
    case D3DFMT_A2B10G10R10: return &a2b10g10r10;
    case D3DFMT_A2R10G10B10: return &a2r10g10b10;
    case D3DFMT_A8: return &a8;
    case D3DFMT_L8: return &l8;
    case D3DFMT_L16: return &l16;
    case D3DFMT_A8L8: return &a8l8;
    case D3DFMT_V8U8: return &v8u8;
    case D3DFMT_V16U16: return &v16u16;
    case D3DFMT_Q8W8V8U8: return &q8w8v8u8;
    case D3DFMT_G16R16: return &g16r16;
    case D3DFMT_A16B16G16R16: return &a16b16g16r16;
    case D3DFMT_R16F: return &r16f;
    case D3DFMT_G16R16F: return &g16r16f;
    case D3DFMT_A16B16G16R16F: return &a16b16g16r16f;
    case D3DFMT_R32F: return &r32f;
    case D3DFMT_G32R32F: return &g32r32f;
    case D3DFMT_A32B32G32R32F: return &a32b32g32r32f;
    case D3DFMT_DXT1: return &s3tc1;
    case D3DFMT_DXT2:
    case D3DFMT_DXT3: return &s3tc3;
    case D3DFMT_DXT4:
    case D3DFMT_DXT5: return &s3tc5;
    case D3DFMT_R3G3B2:
    case D3DFMT_A8R3G3B2:
    case D3DFMT_A4L4: return &widened;
    default: return nullptr;
    }
}

namespace {

u8 Expand(u32 _value, u32 _bits)
{
    const u32 top = (1u << _bits) - 1;
    return static_cast<u8>((_value * 255 + top / 2) / top);
}

}

std::vector<u8> GlWidenPixels(D3DFORMAT _format, const u8* _bytes, u64 _pitch, u32 _width, u32 _height)
{
    std::vector<u8> out(u64{_width} * _height * 4);
    for (u32 y = 0; y < _height; ++y) {
        const u8* row = _bytes + y * _pitch;
        for (u32 x = 0; x < _width; ++x) {
            u8* bgra = out.data() + (u64{y} * _width + x) * 4;
            switch (_format) {
            case D3DFMT_R3G3B2:
            case D3DFMT_A8R3G3B2: {
                const u32 v = _format == D3DFMT_R3G3B2 ? row[x] : row[x * 2];
                bgra[0] = Expand(v & 3, 2);
                bgra[1] = Expand((v >> 2) & 7, 3);
                bgra[2] = Expand((v >> 5) & 7, 3);
                bgra[3] = _format == D3DFMT_R3G3B2 ? 255 : row[x * 2 + 1];
                break;
            }
            case D3DFMT_A4L4: {
                const u8 l = Expand(row[x] & 15, 4);
                bgra[0] = bgra[1] = bgra[2] = l;
                bgra[3] = Expand(row[x] >> 4, 4);
                break;
            }
            default: std::memset(bgra, 0, 4); break;
            }
        }
    }
    return out;
}

bool GlDepthFormat(D3DFORMAT _format)
{
    switch (_format) {
    case D3DFMT_D16:
    case D3DFMT_D16_LOCKABLE:
    case D3DFMT_D15S1:
    case D3DFMT_D24S8:
    case D3DFMT_D24X8:
    case D3DFMT_D24X4S4:
    case D3DFMT_D32: return true;
    default: return false;
    }
}
