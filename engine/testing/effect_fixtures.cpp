#include "engine/testing/effect_fixtures.h"

#include "engine/aabb.h"
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

wall_c::wall_c(float _z, float _min_x, float _max_x) : null_object_c("wall"), z(_z), minX(_min_x), maxX(_max_x)
{
    SetFlags(object_rendered | object_ray_testable);
}

void wall_c::GetBoundingBox(aabb_c& _box)
{
    _box.Set(vec3_c(minX, -10, z), vec3_c(maxX, 10, z));
}

bool wall_c::RayTest(float& _distance, vec3_c& _normal, const ray_c& _ray, bool, bool, float _maximum)
{
    if (_ray.direction.z == 0.0f)
        return false;
    const float t = (z - _ray.origin.z) / _ray.direction.z;
    const vec3_c hit = _ray.origin + _ray.direction * t;
    if (t < 0.0f || t > _maximum || hit.x < minX || hit.x > maxX || hit.y < -10.0f || hit.y > 10.0f)
        return false;
    _distance = t;
    _normal = vec3_c(0, 0, -1);
    return true;
}
