#include "tools/make-models/pictures.h"

#include "foundation/memory_file.h"
#include "image/image.h"

#include <algorithm>
#include <cmath>

void WritePicture(const char* _file_name, int _width, int _height, bool _alpha, const picture_f& _pixel)
{
    image_c picture;
    picture.Create(_width, _height, _alpha ? format_a8r8g8b8 : format_x8r8g8b8);
    for (int y = 0; y < _height; ++y) {
        u8* row = picture.GetData() + static_cast<size_t>(y) * static_cast<size_t>(picture.GetPitch());
        for (int x = 0; x < _width; ++x) {
            const u32 argb = _alpha ? _pixel(x, y) : (_pixel(x, y) | 0xFF000000u);
            for (int byte = 0; byte < 4; ++byte)
                row[x * 4 + byte] = static_cast<u8>(argb >> (8 * byte));
        }
    }
    output_file_c file(_file_name);
    picture.Save(file, image_file_png);
    file.Commit();
}

float Hash01(u32 _x, u32 _y, u32 _seed)
{
    u32 h = _x * 374761393u + _y * 668265263u + _seed * 2246822519u;
    h = (h ^ (h >> 13)) * 1274126177u;
    h ^= h >> 16;
    return static_cast<float>(h & 0xFFFFFFu) / 16777216.0f;
}

u32 Colour(float _r, float _g, float _b, float _shade)
{
    auto byte = [&](float _v) { return static_cast<u32>(std::clamp(_v * _shade, 0.0f, 1.0f) * 255.0f + 0.5f); };
    return 0xFF000000u | (byte(_r) << 16) | (byte(_g) << 8) | byte(_b);
}

namespace {

float Shade(pattern_e _pattern, int _x, int _y)
{
    const u32 x = static_cast<u32>(_x), y = static_cast<u32>(_y);
    switch (_pattern) {
    case pattern_canvas: {
        // Doped canvas: ribs across, stitching along, a little grain.
        float shade = 0.9f + 0.1f * Hash01(x, y, 7);
        if (_y % 16 == 0)
            shade *= 0.8f;
        if (_x % 32 == 0 && _y % 4 < 2)
            shade *= 0.85f;
        return shade;
    }
    case pattern_wood: {
        const float grain = 0.5f + 0.5f * std::sin(static_cast<float>(_x) * 0.6f + 3.0f * std::sin(_y * 0.15f));
        return 0.75f + 0.2f * grain + 0.05f * Hash01(x, y, 3);
    }
    case pattern_metal: return _x % 32 == 16 && _y % 32 == 16 ? 0.6f : 0.85f + 0.15f * Hash01(x / 2, y, 5);
    case pattern_sandbag: {
        const bool seam = _y % 16 == 0 || (_x + (_y / 16) * 8) % 16 == 0;
        return seam ? 0.7f : 0.85f + 0.15f * Hash01(x, y, 11);
    }
    }
    return 1.0f;
}

} // namespace

void WritePattern(const char* _file_name, pattern_e _pattern, const vec3_c& _colour)
{
    WritePicture(_file_name, 64, 64, false,
                 [&](int _x, int _y) { return Colour(_colour.x, _colour.y, _colour.z, Shade(_pattern, _x, _y)); });
}
