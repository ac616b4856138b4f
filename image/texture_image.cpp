#include "image/texture_image.h"

#include <stdexcept>

#include "foundation/memory_file.h"
#include "image/dds_file.h"

int LevelSide(int side, int level)
{
    const int halved = level >= 31 ? 0 : side >> level;
    return halved < 1 ? 1 : halved;
}

int FullChainLength(int width, int height)
{
    int levels = 1;
    while (width > 1 || height > 1) {
        width = width > 1 ? width / 2 : 1;
        height = height > 1 ? height / 2 : 1;
        ++levels;
    }
    return levels;
}

texture_image_c::texture_image_c()
{
    faces[0].emplace_back();
}

texture_image_c::texture_image_c(int _width, int _height, format_e _format, bool _mipmaps, bool _cubic)
{
    Create(_width, _height, _format, _mipmaps, _cubic);
}

void texture_image_c::Destroy()
{
    width = height = 0;
    format = format_none;
    for (std::vector<image_c>& face : faces)
        std::vector<image_c>().swap(face);
}

void texture_image_c::Create(int _width, int _height, format_e _format, bool _mipmaps, bool _cubic)
{
    if (_width == width && _height == height && _format == format && (GetLevelCount() > 1) == _mipmaps &&
        IsCubic() == _cubic && !faces[0].empty() && faces[0][0].GetData() != nullptr)
        return;
    Destroy();
    if (_width <= 0 || _height <= 0 || _format <= format_none || _format >= format_count)
        return;
    if (((_mipmaps || FormatIsCompressed(_format)) && (!IsPow2(_width) || !IsPow2(_height))) ||
        (_cubic && _width != _height) || !IsImageSizeAllowed(_width, _height, _format))
        throw std::invalid_argument(
            "void texture_image_c::Create(int _width, int _height, format_e _format, bool _mipmaps, bool _cubic)");
    const int levels = _mipmaps ? FullChainLength(_width, _height) : 1;
    const int face_count = _cubic ? max_faces : 1;
    try {
        for (int f = 0; f < face_count; ++f) {
            faces[f].resize(levels);
            for (int k = 0; k < levels; ++k)
                faces[f][k].Create(LevelSide(_width, k), LevelSide(_height, k), _format);
        }
    } catch (...) {
        Destroy();
        throw;
    }
    width = _width;
    height = _height;
    format = _format;
}

int texture_image_c::GetLevelCount() const
{
    if (faces[0].size() == 1 && faces[0][0].GetData() == nullptr && width == 0)
        return 0;
    return int(faces[0].size());
}

int texture_image_c::GetSize() const
{
    i64 total = 0;
    for (const std::vector<image_c>& face : faces)
        for (const image_c& level : face)
            total += level.GetSize();
    return total > INT32_MAX ? INT32_MAX : int(total);
}

bool texture_image_c::IsValid() const
{
    if (faces[0].empty())
        return false;
    if (IsCubic() && width != height)
        return false;
    const int levels = int(faces[0].size());
    if ((levels > 1 || FormatIsCompressed(format)) && (!IsPow2(width) || !IsPow2(height)))
        return false;
    for (int f = 0; f < GetFaceCount(); ++f) {
        const std::vector<image_c>& face = faces[f];
        if (int(face.size()) != levels)
            return false;
        for (int k = 0; k < levels; ++k) {
            const image_c& level = face[k];
            if (!level.IsValid() || level.GetPadding() != 0 || level.GetFormat() != format ||
                level.GetWidth() != LevelSide(width, k) || level.GetHeight() != LevelSide(height, k))
                return false;
            if (level.GetWidth() == 1 && level.GetHeight() == 1 && k != levels - 1)
                return false;
        }
        if (levels > 1) {
            const image_c& last = face[levels - 1];
            if (last.GetWidth() > 2 || last.GetHeight() > 2)
                return false;
        }
    }
    return true;
}

void texture_image_c::CreateMipmaps()
{
    if (!IsValid() || GetLevelCount() != 1)
        return;
    if (!IsPow2(width) || !IsPow2(height))
        throw std::invalid_argument("void texture_image_c::CreateMipmaps()");
    const int levels = FullChainLength(width, height);
    for (int f = 0; f < GetFaceCount(); ++f) {
        std::vector<image_c> chain(levels);
        chain[0] = std::move(faces[f][0]);
        for (int k = 1; k < levels; ++k) {
            const image_c& above = chain[k - 1];
            chain[k].Create(LevelSide(width, k), LevelSide(height, k), format);
            try {
                image_c::BilinearScale(chain[k].GetData(), chain[k].GetWidth(), chain[k].GetHeight(), 0,
                                       above.GetData(), above.GetWidth(), above.GetHeight(), 0, format);
            } catch (...) {
                faces[f][0] = std::move(chain[0]);
                throw;
            }
        }
        faces[f] = std::move(chain);
    }
}

void texture_image_c::Resize(int _width, int _height, int filter)
{
    if (!IsValid() || _width <= 0 || _height <= 0 || (_width == width && _height == height))
        return;
    const bool mipmapped = GetLevelCount() > 1;
    if ((mipmapped || IsCompressed()) && (!IsPow2(_width) || !IsPow2(_height)))
        throw std::invalid_argument("void texture_image_c::Resize(int width, int height, int filter)");
    if (filter < filter_point || filter > filter_bicubic)
        throw std::invalid_argument("void image_c::Resize(int width, int height, int filter)");
    const int levels = mipmapped ? FullChainLength(_width, _height) : 1;
    for (int f = 0; f < GetFaceCount(); ++f) {
        std::vector<image_c>& face = faces[f];
        face[0].Resize(_width, _height, filter);
        if (!mipmapped)
            continue;
        const int existing = int(face.size());
        face.resize(levels);
        for (int k = 1; k < levels; ++k) {
            const int w = LevelSide(_width, k);
            const int h = LevelSide(_height, k);
            if (k < existing) {
                face[k].Resize(w, h, filter);
            } else {
                image_c scaled(face[k - 1]);
                scaled.Resize(w, h, filter);
                face[k] = std::move(scaled);
            }
        }
    }
    width = _width;
    height = _height;
}

void texture_image_c::ChangeFormat(format_e _format)
{
    if (!IsValid() || _format == format)
        return;
    // Refused up front so that no level is left converted when another cannot be.
    if (FormatIsCompressed(_format) && (!IsPow2(width) || !IsPow2(height)))
        throw std::invalid_argument("void image_c::ChangeFormat(format_e target)");
    for (int f = 0; f < GetFaceCount(); ++f)
        for (image_c& level : faces[f])
            level.ChangeFormat(_format);
    format = _format;
}

void texture_image_c::DiffuseError(format_e _format)
{
    if (!IsValid() || _format == format)
        return;
    for (int f = 0; f < GetFaceCount(); ++f)
        for (image_c& level : faces[f])
            level.DiffuseError(_format);
}

int texture_image_c::Load(const char* name)
{
    input_file_c file(name);
    return Load(file);
}

int texture_image_c::Load(input_file_c& file)
{
    if (IsDds(file)) {
        ReadDds(*this, file);
        return image_file_dds;
    }
    Destroy();
    faces[0].emplace_back();
    const int type = faces[0][0].Load(file);
    width = faces[0][0].GetWidth();
    height = faces[0][0].GetHeight();
    format = faces[0][0].GetFormat();
    return type;
}

void texture_image_c::SaveDds(const char* name) const
{
    if (!IsValid())
        return;
    output_file_c file(name);
    WriteDds(*this, file);
    file.Commit();
}

void texture_image_c::SaveDds(output_file_c& file) const
{
    WriteDds(*this, file);
}
