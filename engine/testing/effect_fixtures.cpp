#include "engine/testing/effect_fixtures.h"

#include "engine/effect_readers.h"
#include "engine/null_object.h"
#include "engine/object_chunk.h"
#include "engine/object_format.h"
#include "engine/testing/recording_renderer.h"
#include "image/image.h"

#include <cfloat>
#include <stdexcept>
#include <vector>

std::unique_ptr<camera_c> MakeTestCamera(const vec3_c& _position, const vec3_c& _rotation)
{
    auto camera = std::make_unique<camera_c>("camera");
    camera->zoom = 1.0f;
    // A renderer without a viewport gives a square view of half size 1 / zoom.
    const recording_renderer_c no_viewport;
    camera->SetViewShape(no_viewport);
    camera->SetProjection(1.0f, 1000.0f);
    camera->position = _position;
    camera->rotation = _rotation;
    camera->UpdateTransform(nullptr);
    return camera;
}

void AddTestPicture(memory_file_system_c& _files, const std::string& _name)
{
    image_c picture;
    picture.Create(8, 8, format_x8r8g8b8);
    picture.Fill(0xFF336699);
    output_file_c out;
    picture.Save(out, image_file_bmp);
    _files.Add(_name, std::vector<u8>(out.GetData(), out.GetData() + out.GetSize()));
}

input_file_c ViewOf(const output_file_c& _out)
{
    return input_file_c(_out.GetData(), _out.GetSize());
}

effect_readers_scope_c::effect_readers_scope_c()
{
    RegisterEffectReaders();
}

effect_readers_scope_c::~effect_readers_scope_c()
{
    for (object_reader_e slot : {reader_sprite, reader_anim_sprite, reader_flare, reader_emitter, reader_trail})
        RegisterObjectReader(slot, nullptr);
}

std::unique_ptr<null_object_c> RoundTrip(const null_object_c& _object, renderer_c* _renderer)
{
    const effect_readers_scope_c readers;
    output_file_c out;
    _object.Write(out);
    input_file_c in = ViewOf(out);
    return std::unique_ptr<null_object_c>(LoadObject(in, _renderer, false));
}

std::vector<u8> BodyBytes(const null_object_c& _object, u32 _tag, u32 _version)
{
    output_file_c out;
    _object.Write(out);
    input_file_c in = ViewOf(out);
    input_file_c body;
    if (!ReadChunk(in, _tag, _version, body))
        throw std::runtime_error("not a chunk of that kind");
    return std::vector<u8>(body.GetData(), body.GetData() + body.GetSize());
}

void AppendBytes(output_file_c& _out, const std::vector<u8>& _bytes)
{
    for (u8 byte : _bytes)
        _out.WriteU8(byte);
}

std::vector<u8> ChunkBytes(u32 _tag, u32 _version, const std::vector<u8>& _body)
{
    output_file_c body;
    AppendBytes(body, _body);
    output_file_c out;
    WriteChunk(out, _tag, _version, body);
    return std::vector<u8>(out.GetData(), out.GetData() + out.GetSize());
}
