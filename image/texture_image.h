#pragma once
// texture_image_c: the multi-level picture a texture is made of: a mip chain
// (level 0 first) and, for a cube map, six faces of chains in DDS order
// (+X, -X, +Y, -Y, +Z, -Z). Every level has the texture's format and level k
// the sides of level 0 halved k times (never below 1).
//
// Loaded from a DDS file whole, or from one BMP, PNG or JPEG picture; gains
// mip levels by repeated bilinear halving; resized with its levels rebuilt;
// converted or error-diffused level by level. Operations on a texture that is
// not valid do nothing.
#include <vector>

#include "image/image.h"

class texture_image_c {
public:
    static constexpr int max_faces = 6;

    // Sides and format 0, face 0 holding one empty image.
    texture_image_c();
    texture_image_c(int _width, int _height, format_e _format, bool _mipmaps, bool _cubic);

    // Sides and format 0, every face emptied.
    void Destroy();
    // Nothing happens when sides, format, mip-mapping and cube-ness are already
    // these (pixels kept). Sides <= 0 or format_none leave the texture empty.
    // Mip-maps or a compressed format with a side that is not a power of two,
    // or a cube map that is not square, throw std::invalid_argument. Pixel
    // contents are undefined.
    void Create(int _width, int _height, format_e _format, bool _mipmaps, bool _cubic);
    // Gives a single-level texture its chain down to 1x1, each level bilinear
    // from the one before (l8 and the 32-bit formats only). Sides that are not
    // powers of two throw std::invalid_argument.
    void CreateMipmaps();
    // Resizes level 0 of each face with the filter and rebuilds any chain down
    // to 1x1 at the new sides. A mip-mapped texture keeps the power-of-two rule:
    // other sides throw std::invalid_argument before anything changes.
    void Resize(int width, int height, int filter);
    // Converts every level of every face.
    void ChangeFormat(format_e format);
    // image_c::DiffuseError on every level; the format field stays.
    void DiffuseError(format_e format);

    // A DDS file is read whole (returns image_file_dds); otherwise face 0 gets
    // one picture read by image_c::Load (image_file_bmp, _png or _jpeg).
    int Load(const char* name);
    int Load(input_file_c& file);
    // Writes the texture as a DDS file (stored through the current file writer
    // when the output file is committed); an invalid texture writes nothing.
    void SaveDds(const char* name) const;
    void SaveDds(output_file_c& file) const;

    image_c& GetLevel(int level, int face = 0) { return faces[face][level]; }
    const image_c& GetLevel(int level, int face = 0) const { return faces[face][level]; }
    int GetLevelCount() const;
    bool IsCubic() const { return !faces[1].empty(); }
    int GetFaceCount() const { return IsCubic() ? max_faces : 1; }
    int GetSize() const;
    int GetWidth() const { return width; }
    int GetHeight() const { return height; }
    format_e GetFormat() const { return format; }
    bool HasAlpha() const { return FormatHasAlpha(format); }
    bool IsCompressed() const { return FormatIsCompressed(format); }
    int GetBitsPerPixel() const { return FormatBitsPerPixel(format); }
    bool IsValid() const;

private:
    int width = 0;
    int height = 0;
    format_e format = format_none;
    std::vector<image_c> faces[max_faces];
};

// Sides of level k of a chain whose level 0 is side: halved k times, never below 1.
int LevelSide(int side, int level);
// Levels of a full chain down to 1x1.
int FullChainLength(int width, int height);
