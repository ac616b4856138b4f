#include "tools/data-kit/picture_paint.h"

#include "image/image.h"

#include <algorithm>

void PaintPicture(image_c& _picture, const paint_f& _pixel)
{
    for (int y = 0; y < _picture.GetHeight(); ++y) {
        u8* row = _picture.GetData() + static_cast<size_t>(y) * _picture.GetPitch();
        for (int x = 0; x < _picture.GetWidth(); ++x) {
            const u32 argb = _pixel(x, y);
            for (int byte = 0; byte < 4; ++byte)
                row[x * 4 + byte] = static_cast<u8>(argb >> (8 * byte));
        }
    }
}

u32 BlendColour(u32 _a, u32 _b, f32 _t)
{
    _t = std::clamp(_t, 0.0f, 1.0f);
    u32 out = 0;
    for (int shift = 0; shift < 32; shift += 8) {
        const f32 a = static_cast<f32>((_a >> shift) & 0xFF), b = static_cast<f32>((_b >> shift) & 0xFF);
        out |= static_cast<u32>(a + (b - a) * _t + 0.5f) << shift;
    }
    return out;
}
