#pragma once
// texture_def_c: what a texture is made of (an image file in one of three
// roles, or a drawn lens flare) and how it is prepared. Its key names the
// shared texture in the renderer's texture cache; LoadImage builds the pixels
// the renderer uploads.
#include "foundation/text_string.h"
#include "foundation/types.h"
#include "image/flare.h"
#include "image/texture_image.h"

class input_file_c;
class output_file_c;

// Stored as one byte in streams.
enum texture_type_e : u32 {
    texture_type_image = 0, // colour picture
    texture_type_alpha = 1, // grey mask
    texture_type_bump = 2,  // grey height map
    texture_type_flare = 3, // drawn from a flare_def_c
};

class texture_def_c {
public:
    texture_type_e type = texture_type_image;
    string_c imagePath; // empty for a flare
    flare_def_c flareDef;
    i32 width = 0;  // flare only
    i32 height = 0; // flare only
    bool mipmapping = false;
    bool highQuality = false; // image only: keep 32 bits instead of DXT
    texture_image_c image;    // empty until LoadImage; never copied

    texture_def_c() = default;
    texture_def_c(const char* _image_path, bool _mipmapping, bool _high_quality);
    // Image, Alpha or Bump; another type throws std::invalid_argument.
    texture_def_c(texture_type_e _type, const char* _image_path, bool _mipmapping, bool _high_quality);
    // A flare picture of _size x _size, mip-mapped, high quality.
    texture_def_c(const flare_def_c& _flare_def, i32 _size);
    // Copies everything but the image, which stays (or becomes) empty.
    texture_def_c(const texture_def_c& _other);
    texture_def_c& operator=(const texture_def_c& _other);

    // The cache key by type; empty for an unknown type.
    void GetKey(string_c& _key) const;

    // Builds the image: a flare is drawn; a picture file is loaded with the
    // current directory cleared, then (unless it is a DDS file, kept as
    // loaded) converted, fitted to power-of-two sides of at most 2048,
    // mip-mapped when asked and, for an Image that is not high quality,
    // dithered and compressed to DXT3 (alpha) or DXT1.
    void LoadImage();

    // u8 type, string path, the 38 flare words, u32 width, u32 height,
    // u8 mipmapping, u8 high quality.
    void Write(output_file_c& _file) const;
    // Throws file_error_c with the file's name when the record is cut short.
    void Read(input_file_c& _file);
};

// Smallest stored size of a texture definition, for bounding counts.
inline constexpr u64 texture_def_min_record_size = 4 + 4 + 38 * 4 + 4 + 4 + 2;

// The power-of-two rule for texture sides: below the minimum gives the
// minimum, above the maximum the maximum; a power of two stays; other values
// round down to a power of two.
i32 FitTextureSide(i32 _value, i32 _minimum, i32 _maximum);
