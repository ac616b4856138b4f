#include "engine/water_surface.h"

#include "engine/primitive_set.h"
#include "foundation/random_numbers.h"
#include "image/image.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace {

u8 Pixel(const image_c& _image, u32 _row, u32 _column)
{
    return _image.GetData()[u64(_row) * _image.GetPitch() + _column];
}

u32 Byte(f32 _value)
{
    if (!(_value > 0.0f))
        return 0;
    return _value >= 255.0f ? 255u : static_cast<u32>(_value);
}

} // namespace

f32 WaterEdgeFade(f32 _distance, f32 _k)
{
    const f32 fade = _distance * _k;
    return fade < 1.0f ? fade : 1.0f;
}

void BuildWaterSurface(triangle_set_c& _set, const image_c& _geography, f32 _extent, f32 _border)
{
    _set.vertices.clear();
    _set.indices.clear();
    if (!_geography.IsValid() || _geography.GetFormat() != format_l8)
        return;
    const u32 side = static_cast<u32>(std::min(_geography.GetWidth(), _geography.GetHeight()));
    const u32 points = side + 1;
    const f32 h = _extent * 0.5f;
    const f32 step = _extent / static_cast<f32>(side);
    const f32 k = 1.0f / (_border * _extent);
    const u32 none = 0xffffffffu;
    std::vector<u32> index(u64(points) * points, none);
    for (u32 r = 0; r < points; ++r)
        for (u32 c = 0; c < points; ++c) {
            const u32 r0 = r == 0 ? 0 : r - 1;
            const u32 r1 = std::min(r, side - 1);
            const u32 c0 = c == 0 ? 0 : c - 1;
            const u32 c1 = std::min(c, side - 1);
            if ((Pixel(_geography, r0, c0) | Pixel(_geography, r0, c1) | Pixel(_geography, r1, c0) |
                 Pixel(_geography, r1, c1)) == 0)
                continue;
            const f32 x = -h + static_cast<f32>(c) * step;
            const f32 z = h - static_cast<f32>(r) * step;
            const f32 a =
                WaterEdgeFade(h + x, k) * WaterEdgeFade(h - x, k) * WaterEdgeFade(h + z, k) * WaterEdgeFade(h - z, k);
            const u32 grey = Byte(RandomFloat(0.0f, 255.0f) * a);
            vertex_c vertex;
            vertex.position = vec3_c(x, 0.0f, z);
            vertex.diffuse = grey | grey << 8 | grey << 16 | Byte(255.0f * a) << 24;
            index[u64(r) * points + c] = _set.GetVertexCount();
            _set.vertices.push_back(vertex);
        }
    for (u32 r = 0; r < side; ++r)
        for (u32 c = 0; c < side; ++c) {
            const u32 i00 = index[u64(r) * points + c];
            const u32 i01 = index[u64(r) * points + c + 1];
            const u32 i10 = index[u64(r + 1) * points + c];
            const u32 i11 = index[u64(r + 1) * points + c + 1];
            if (i00 == none || i01 == none || i10 == none || i11 == none)
                continue;
            _set.indices.insert(_set.indices.end(), {i00, i01, i10, i01, i11, i10});
        }
}

bool IsWaterAt(const image_c& _geography, f32 _extent, f32 _x, f32 _z)
{
    if (!_geography.IsValid() || _geography.GetFormat() != format_l8 || !(_extent > 0.0f))
        return false;
    const f32 h = _extent * 0.5f;
    if (!(_x >= -h && _x <= h && _z >= -h && _z <= h))
        return false;
    const f32 width = static_cast<f32>(_geography.GetWidth());
    const f32 height = static_cast<f32>(_geography.GetHeight());
    const f32 column = std::clamp(std::trunc((h + _x) * width / _extent), 0.0f, width - 1.0f);
    const f32 row = std::clamp(std::trunc((h - _z) * height / _extent), 0.0f, height - 1.0f);
    return Pixel(_geography, static_cast<u32>(row), static_cast<u32>(column)) != 0;
}
