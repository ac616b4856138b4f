#include "engine/texture_def.h"

#include "engine/color.h"
#include "engine/stream_check.h"
#include "engine/text_format.h"
#include "foundation/memory_file.h"
#include "foundation/path.h"

#include <stdexcept>

texture_def_c::texture_def_c(const char* _image_path, bool _mipmapping, bool _high_quality)
    : mipmapping(_mipmapping), highQuality(_high_quality)
{
    imagePath = _image_path;
}

texture_def_c::texture_def_c(texture_type_e _type, const char* _image_path, bool _mipmapping, bool _high_quality)
    : texture_def_c(_image_path, _mipmapping, _high_quality)
{
    if (_type != texture_type_image && _type != texture_type_alpha && _type != texture_type_bump)
        throw std::invalid_argument("texture_def_c::texture_def_c(texture_type_e _type, const char* _image_path, "
                                    "bool _mipmapping, bool _high_quality)");
    type = _type;
}

texture_def_c::texture_def_c(const flare_def_c& _flare_def, i32 _size)
    : type(texture_type_flare), flareDef(_flare_def), width(_size), height(_size), mipmapping(true), highQuality(true)
{}

texture_def_c::texture_def_c(const texture_def_c& _other)
    : type(_other.type), imagePath(_other.imagePath), flareDef(_other.flareDef), width(_other.width),
      height(_other.height), mipmapping(_other.mipmapping), highQuality(_other.highQuality)
{}

texture_def_c& texture_def_c::operator=(const texture_def_c& _other)
{
    if (this == &_other)
        return *this;
    type = _other.type;
    imagePath = _other.imagePath;
    flareDef = _other.flareDef;
    width = _other.width;
    height = _other.height;
    mipmapping = _other.mipmapping;
    highQuality = _other.highQuality;
    image.Destroy();
    return *this;
}

namespace {

u32 PackedRgb(const f32 (&color)[3])
{
    return ColorToBgra(color[0], color[1], color[2]);
}

} // namespace

void texture_def_c::GetKey(string_c& _key) const
{
    const char* path = imagePath.GetLength() ? static_cast<const char*>(imagePath) : "(Unnamed)";
    switch (type) {
    case texture_type_image:
        _key = FormatText("Image={\"%s\" %d %d}", path, mipmapping ? 1 : 0, highQuality ? 1 : 0);
        return;
    case texture_type_alpha:
        _key = FormatText("Alpha={\"%s\" %d %d}", path, mipmapping ? 1 : 0, highQuality ? 1 : 0);
        return;
    case texture_type_bump:
        _key = FormatText("Bump={\"%s\" %d %d}", path, mipmapping ? 1 : 0, highQuality ? 1 : 0);
        return;
    case texture_type_flare: {
        const flare_def_c& f = flareDef;
        _key = FormatText("Flare={%d %d {0x%06X %g %g 0x%06X %g %g 0x%06X %g %g 0x%06X %g %g 0x%06X %g %g %g "
                          "%d %g %g %g %d %g %g %g %d %g %g %g}}",
                          width, height, PackedRgb(f.color), f.intensity, f.size, PackedRgb(f.glowColor), f.glowSize,
                          f.glowFalloff, PackedRgb(f.haloColor), f.haloSize, f.haloFalloff, PackedRgb(f.discColor),
                          f.discSize, f.discEdge, PackedRgb(f.ringColor), f.ringSize, f.ringWidth,
                          f.rayAngle * 57.29577951308232, f.rayCount, f.rayLength, f.rayWidth, f.rayIntensity,
                          f.ray2Count, f.ray2Length, f.ray2Width, f.ray2Intensity, f.streakCount, f.streakLength,
                          f.streakWidth, f.streakIntensity);
        return;
    }
    default: _key = ""; return;
    }
}

i32 FitTextureSide(i32 _value, i32 _minimum, i32 _maximum)
{
    if (_value < _minimum)
        return _minimum;
    if (_value > _maximum)
        return _maximum;
    if ((_value & (_value - 1)) == 0)
        return _value;
    i32 side = 2048;
    while (side > _value && side > 1)
        side >>= 1;
    return side;
}

void texture_def_c::LoadImage()
{
    if (type == texture_type_flare) {
        if (width > 0 && height > 0) {
            image.Create(width, height, format_x8r8g8b8, false, false);
            image.GetLevel(0, 0).MakeFlare(flareDef);
            if (mipmapping)
                image.CreateMipmaps();
        }
        return;
    }
    if (type != texture_type_image && type != texture_type_alpha && type != texture_type_bump)
        return;
    if (imagePath.GetLength() == 0)
        return;

    int file_type;
    {
        // Paths in definitions are whole: resolve them from the root.
        directory_cache_c root;
        file_type = image.Load(imagePath);
    }
    if (file_type == 3)
        return;

    if (type == texture_type_image) {
        const format_e format = image.GetFormat();
        if (format != format_x8r8g8b8 && format != format_a8r8g8b8)
            image.ChangeFormat(image.HasAlpha() ? format_a8r8g8b8 : format_x8r8g8b8);
    } else {
        image.ChangeFormat(format_l8);
    }
    image.Resize(FitTextureSide(image.GetWidth(), 1, 2048), FitTextureSide(image.GetHeight(), 1, 2048), 2);
    if (mipmapping)
        image.CreateMipmaps();
    if (type == texture_type_image && !highQuality) {
        const format_e target = image.HasAlpha() ? format_dxt3 : format_dxt1;
        image.DiffuseError(target);
        image.ChangeFormat(target);
    }
}

void texture_def_c::Write(output_file_c& _file) const
{
    _file.WriteU8(static_cast<u8>(type));
    _file.WriteString(imagePath);
    WriteFlareDef(_file, flareDef);
    _file.WriteU32(static_cast<u32>(width));
    _file.WriteU32(static_cast<u32>(height));
    _file.WriteU8(mipmapping ? 1 : 0);
    _file.WriteU8(highQuality ? 1 : 0);
}

void texture_def_c::Read(input_file_c& _file)
{
    type = static_cast<texture_type_e>(ReadCheckedU8(_file));
    ReadCheckedString(_file, imagePath);
    ReadFlareDef(_file, flareDef);
    width = static_cast<i32>(ReadCheckedU32(_file));
    height = static_cast<i32>(ReadCheckedU32(_file));
    mipmapping = ReadCheckedU8(_file) != 0;
    highQuality = ReadCheckedU8(_file) != 0;
}
