#include "tools/make-data/landscape.h"

#include "engine/still_map.h"
#include "engine/terrain.h"
#include "engine/terrain_builder.h"
#include "engine/renderer.h"
#include "foundation/memory_file.h"
#include "game/objects/noise.h"
#include "image/image.h"
#include "image/texture_image.h"

#include <algorithm>
#include <cmath>
#include <memory>

namespace {

constexpr int kColorSide = 1024;
constexpr int kDetailSide = 256;

f32 Smooth(f32 _edge0, f32 _edge1, f32 _x)
{
    const f32 t = std::clamp((_x - _edge0) / (_edge1 - _edge0), 0.0f, 1.0f);
    return t * t * (3.0f - 2.0f * t);
}

f32 Fractal(f32 _x, f32 _z, int _octaves)
{
    f32 sum = 0.0f, amplitude = 1.0f, frequency = 1.0f;
    for (int i = 0; i < _octaves; ++i) {
        const f32 point[2] = {_x * frequency + 17.3f * static_cast<f32>(i),
                              _z * frequency - 5.1f * static_cast<f32>(i)};
        sum += Noise2(point) * amplitude;
        amplitude *= 0.5f;
        frequency *= 2.0f;
    }
    return sum;
}

u32 Mix(u32 _a, u32 _b, f32 _t)
{
    u32 out = 0xFF000000;
    for (int shift = 0; shift < 24; shift += 8) {
        const f32 a = static_cast<f32>((_a >> shift) & 0xFF), b = static_cast<f32>((_b >> shift) & 0xFF);
        out |= static_cast<u32>(std::clamp(a + (b - a) * _t, 0.0f, 255.0f)) << shift;
    }
    return out;
}

u32 Scale(u32 _color, f32 _factor)
{
    return Mix(0xFF000000, _color, _factor);
}

void PutPixel(image_c& _image, int _x, int _y, u32 _argb)
{
    u8* pixel = _image.GetData() + static_cast<size_t>(_y) * _image.GetPitch() + static_cast<size_t>(_x) * 4;
    pixel[0] = static_cast<u8>(_argb);
    pixel[1] = static_cast<u8>(_argb >> 8);
    pixel[2] = static_cast<u8>(_argb >> 16);
    pixel[3] = static_cast<u8>(_argb >> 24);
}

// A mip-mapped DXT1 texture of a picture made by _pixel(x, y).
template <typename Pixel>
texture_image_c MakeTexture(int _side, Pixel _pixel)
{
    texture_image_c texture(_side, _side, format_a8r8g8b8, false, false);
    image_c& level = texture.GetLevel(0);
    for (int y = 0; y < _side; ++y)
        for (int x = 0; x < _side; ++x)
            PutPixel(level, x, y, _pixel(x, y));
    texture.CreateMipmaps();
    texture.ChangeFormat(format_dxt1);
    return texture;
}

// Every patch draws with its own maps.
void SetMaps(terrain_c& _patch, const map_c& _color, const map_c& _detail)
{
    _patch.SetColorMap(0, _color.Clone());
    _patch.SetColorMap(1, _detail.Clone());
    for (u32 slot = 0; slot < 4; ++slot)
        if (terrain_c* child = _patch.GetChild(slot))
            SetMaps(*child, _color, _detail);
}

} // namespace

landscape_c::landscape_c() : heights(size_t(kTerrainSide) * kTerrainSide)
{
    const f32 half = GetSize() * 0.5f;
    for (u32 row = 0; row < kTerrainSide; ++row) {
        for (u32 column = 0; column < kTerrainSide; ++column) {
            const f32 x = static_cast<f32>(column) * kTerrainSpacing - half;
            const f32 z = half - static_cast<f32>(row) * kTerrainSpacing;
            // Broad hills with rougher ridges, rising towards the edges so
            // the horizon is closed.
            const f32 hills = Fractal(x / 1400.0f, z / 1400.0f, 5) * 160.0f;
            const f32 ridges = std::fabs(Fractal(x / 600.0f + 40.0f, z / 600.0f, 3)) * 90.0f;
            const f32 distance = std::sqrt(x * x + z * z);
            const f32 rim = Smooth(1800.0f, 2800.0f, std::max(std::fabs(x), std::fabs(z))) * 260.0f;
            const f32 ground = 60.0f + hills + ridges + rim;
            // The meadow: flat within 700 m, blending into the hills by 1300 m.
            const f32 open = Smooth(700.0f, 1300.0f, distance);
            heights[size_t(row) * kTerrainSide + column] = kMeadowHeight + (ground - kMeadowHeight) * open;
        }
    }
}

f32 landscape_c::GetHeight(f32 _x, f32 _z) const
{
    const f32 half = GetSize() * 0.5f;
    const f32 column = std::clamp((_x + half) / kTerrainSpacing, 0.0f, static_cast<f32>(kTerrainSide - 1));
    const f32 row = std::clamp((half - _z) / kTerrainSpacing, 0.0f, static_cast<f32>(kTerrainSide - 1));
    const u32 c0 = std::min(static_cast<u32>(column), kTerrainSide - 2);
    const u32 r0 = std::min(static_cast<u32>(row), kTerrainSide - 2);
    const f32 fc = column - static_cast<f32>(c0), fr = row - static_cast<f32>(r0);
    const auto at = [this](u32 _r, u32 _c) { return heights[size_t(_r) * kTerrainSide + _c]; };
    const f32 top = at(r0, c0) + (at(r0, c0 + 1) - at(r0, c0)) * fc;
    const f32 bottom = at(r0 + 1, c0) + (at(r0 + 1, c0 + 1) - at(r0 + 1, c0)) * fc;
    return top + (bottom - top) * fr;
}

u32 landscape_c::GroundColor(u32 _row, u32 _column) const
{
    const auto at = [this](u32 _r, u32 _c) {
        return heights[size_t(std::min(_r, kTerrainSide - 1)) * kTerrainSide + std::min(_c, kTerrainSide - 1)];
    };
    const f32 height = at(_row, _column);
    const f32 dx = (at(_row, _column + 1) - at(_row, _column > 0 ? _column - 1 : 0)) / (2.0f * kTerrainSpacing);
    const f32 dz = (at(_row > 0 ? _row - 1 : 0, _column) - at(_row + 1, _column)) / (2.0f * kTerrainSpacing);
    // Normal (-dx, 1, -dz), lit by a low sun from the south-west.
    const f32 length = std::sqrt(dx * dx + 1.0f + dz * dz);
    const f32 nx = -dx / length, ny = 1.0f / length, nz = -dz / length;
    const f32 sun = std::max(0.0f, nx * -0.5f + ny * 0.7f + nz * -0.5f) / 0.866f;
    const f32 slope = 1.0f - ny;

    const f32 x = static_cast<f32>(_column), z = static_cast<f32>(_row);
    const f32 patchwork = Fractal(x / 9.0f, z / 9.0f, 2);
    u32 color = Mix(0xFF4C7A2E, 0xFF7E8F3A, std::clamp(patchwork + 0.5f, 0.0f, 1.0f));
    color = Mix(color, 0xFF6E6658, Smooth(0.12f, 0.3f, slope));
    color = Mix(color, 0xFF8A8478, Smooth(260.0f, 420.0f, height));
    color = Mix(color, 0xFFE8ECEF, Smooth(480.0f, 560.0f, height));
    return Scale(color, 0.45f + 0.6f * sun);
}

void landscape_c::AddTerrain(data_files_t& _files, renderer_c* _renderer) const
{
    const std::string folder = kTerrainFolder;
    const f32 last = static_cast<f32>(kTerrainSide - 1);
    AddDataTexture(_files, folder + "color.dds", MakeTexture(kColorSide, [this, last](int _x, int _y) {
                       const f32 scale = last / static_cast<f32>(kColorSide - 1);
                       return GroundColor(static_cast<u32>(static_cast<f32>(_y) * scale + 0.5f),
                                          static_cast<u32>(static_cast<f32>(_x) * scale + 0.5f));
                   }));
    AddDataTexture(_files, folder + "detail.dds", MakeTexture(kDetailSide, [](int _x, int _y) {
                       // Tiles seamlessly: the noise lattice repeats every 256 units.
                       const f32 value = Fractal(static_cast<f32>(_x) / 16.0f, static_cast<f32>(_y) / 16.0f, 4);
                       const u32 grey = static_cast<u32>(std::clamp(128.0f + value * 70.0f, 60.0f, 200.0f));
                       return 0xFF000000 | grey << 16 | grey << 8 | grey;
                   }));

    std::unique_ptr<terrain_c> terrain(
        BuildTerrain("meadow", _renderer, heights.data(), kTerrainSide, kTerrainSpacing, kTerrainPatchCells));
    terrain->position = vec3_c(-GetSize() * 0.5f, 0.0f, GetSize() * 0.5f);
    still_map_c color(texture_def_c((folder + "color.dds").c_str(), true, true), _renderer);
    color.SetRepeat(0);
    still_map_c detail(texture_def_c((folder + "detail.dds").c_str(), true, true), _renderer);
    // The detail layer is placed by the terrain's own x and z.
    const f32 repeat = 1.0f / kDetailRepeat;
    const f32 transform[12] = {repeat, 0.0f, 0.0f, 0.0f, 0.0f, 0.0f, 0.0f, repeat, 0.0f, 0.0f, 0.0f, 0.0f};
    detail.SetTransform(transform);
    detail.SetBlendMode(2);
    SetMaps(*terrain, color, detail);
    output_file_c out;
    terrain->Write(out);
    _files[folder + "terrain.ter"] = DataBytes(out);
}

image_c landscape_c::MakeMapPicture(int _side) const
{
    image_c picture;
    picture.Create(_side, _side, format_a8r8g8b8);
    const f32 scale = static_cast<f32>(kTerrainSide - 1) / static_cast<f32>(_side - 1);
    for (int y = 0; y < _side; ++y)
        for (int x = 0; x < _side; ++x)
            PutPixel(picture, x, y,
                     GroundColor(static_cast<u32>(static_cast<f32>(y) * scale + 0.5f),
                                 static_cast<u32>(static_cast<f32>(x) * scale + 0.5f)));
    return picture;
}
