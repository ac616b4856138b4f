#pragma once
// Shared pieces of the landscape objects' tests: pictures as files, chunk
// bytes, and a camera that sees through a recording renderer.
#include "engine/camera.h"
#include "engine/null_object.h"
#include "foundation/types.h"
#include "image/format.h"

#include <string>
#include <vector>

class output_file_c;
class recording_renderer_c;
class renderer_c;
class water_c;

// A picture of one colour saved as a BMP file.
std::vector<u8> PictureBytes(int _width, int _height, format_e _format, u32 _colour);
// A grey picture from its pixels, row by row.
std::vector<u8> GreyPictureBytes(int _side, const std::vector<u8>& _pixels);
std::vector<u8> Bytes(const output_file_c& _out);
// _object written whole, as bytes.
std::vector<u8> Written(const null_object_c& _object);
// A square of water of the extent over a flat geography of _side texels,
// its surface built, with the reflection map and, for an intensity above
// 0, the caustic picture at that intensity and scale.
water_c* FlatWater(renderer_c* _renderer, f32 _extent, int _side, const char* _reflection, const char* _caustic,
                   f32 _intensity, f32 _scale);
// The tags of the sub-records "xxxN" following the fixed items of a body
// are not parsed here; this finds whether a tag occurs on a word boundary.
bool HasTagAt(const std::vector<u8>& _bytes, u32 _tag, size_t* _offset = nullptr);

// A camera at _position looking along +z turned by _heading, with the
// renderer's view shape and planes 1 to 10000.
class test_camera_c : public camera_c {
public:
    test_camera_c(recording_renderer_c& _renderer, const vec3_c& _position, f32 _heading = 0.0f);
};
