#include "engine/testing/landscape_fixtures.h"

#include "engine/testing/recording_renderer.h"
#include "engine/water.h"
#include "foundation/memory_file.h"
#include "image/image.h"

#include <cstring>

std::vector<u8> PictureBytes(int _width, int _height, format_e _format, u32 _colour)
{
    image_c picture;
    picture.Create(_width, _height, _format);
    picture.Fill(_colour);
    output_file_c out;
    picture.Save(out, image_file_bmp);
    return Bytes(out);
}

std::vector<u8> GreyPictureBytes(int _side, const std::vector<u8>& _pixels)
{
    image_c picture;
    picture.Create(_side, _side, format_x8r8g8b8);
    for (int r = 0; r < _side; ++r)
        for (int c = 0; c < _side; ++c) {
            const u32 grey = _pixels[r * _side + c] * 0x010101u;
            std::memcpy(picture.GetData() + r * picture.GetPitch() + c * 4, &grey, 4);
        }
    output_file_c out;
    picture.Save(out, image_file_bmp);
    return Bytes(out);
}

std::vector<u8> Bytes(const output_file_c& _out)
{
    return std::vector<u8>(_out.GetData(), _out.GetData() + _out.GetSize());
}

std::vector<u8> Written(const null_object_c& _object)
{
    output_file_c out;
    _object.Write(out);
    return Bytes(out);
}

bool HasTagAt(const std::vector<u8>& _bytes, u32 _tag, size_t* _offset)
{
    for (size_t at = 0; at + 4 <= _bytes.size(); at += 4) {
        u32 word;
        std::memcpy(&word, _bytes.data() + at, 4);
        if (word == _tag) {
            if (_offset)
                *_offset = at;
            return true;
        }
    }
    return false;
}

test_camera_c::test_camera_c(recording_renderer_c& _renderer, const vec3_c& _position, f32 _heading) : camera_c("Eye")
{
    position = _position;
    rotation = vec3_c(_heading, 0.0f, 0.0f);
    UpdateTransform(nullptr);
    SetViewShape(_renderer);
    SetProjection(1.0f, 10000.0f);
}

water_c* FlatWater(renderer_c* _renderer, f32 _extent, int _side, const char* _reflection, const char* _caustic,
                   f32 _intensity, f32 _scale)
{
    auto* water = new water_c("sea", _renderer);
    water->SetExtent(_extent);
    image_c geography;
    geography.Create(_side, _side, format_l8);
    geography.Fill(0xFFFFFFFF);
    water->SetGeographyMap(geography);
    water->SetReflectionMap(_reflection);
    if (_intensity > 0.0f && _caustic != nullptr) {
        water->SetCausticMapSequence({string_c(_caustic)}, 10.0f, false);
    }
    water->SetCausticIntensity(_intensity);
    water->SetCausticScale(_scale);
    water->BuildSurface();
    return water;
}
