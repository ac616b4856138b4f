#include "engine/water.h"

#include "engine/aabb.h"
#include "engine/body_items.h"
#include "engine/box_ray.h"
#include "engine/camera.h"
#include "engine/geometry_def.h"
#include "engine/grey_map.h"
#include "engine/mesh.h"
#include "engine/model_view.h"
#include "engine/object_chunk.h"
#include "engine/object_format.h"
#include "engine/renderer.h"
#include "engine/sequent_map.h"
#include "engine/stream_check.h"
#include "engine/still_map.h"
#include "engine/water_surface.h"
#include "foundation/command.h"
#include "foundation/memory_file.h"

#include <cfloat>
#include <memory>

namespace {

constexpr u32 tag_geography = MakeTag("geog");
constexpr u32 tag_reflection = MakeTag("refl");
constexpr u32 tag_caustic = MakeTag("caus");

// Numbers every surface geometry the program builds, so names stay unique.
u32 surface_counter = 0;

const bool registered = (water_c::RegisterReader(), true);

f32 AtLeastZero(f32 _value)
{
    return _value > 0.0f ? _value : 0.0f;
}

f32 Between(f32 _value, f32 _low, f32 _high)
{
    return !(_value > _low) ? _low : !(_value < _high) ? _high : _value;
}

void WriteMapRecord(output_file_c& _body, u32 _tag, const map_c* _map)
{
    if (!_map)
        return;
    output_file_c block;
    _map->Write(block);
    _body.WriteU32(_tag);
    _body.WriteBlock(block);
}

void ReplaceMap(map_c*& _slot, map_c* _map)
{
    if (_map != _slot)
        delete _slot;
    _slot = _map;
}

} // namespace

water_c::water_c(const char* _name, renderer_c* _renderer) : null_object_c(_name), renderer(_renderer)
{
    flags = object_rendered | object_ray_testable | object_depth_test | object_fog;
    modelView.SetIdentity();
}

water_c::water_c(const water_c& _other)
    : null_object_c(_other), causticScale(_other.causticScale), causticIntensity(_other.causticIntensity),
      box(_other.box), extent(_other.extent), border(_other.border), geography(_other.geography),
      mesh(_other.mesh ? new mesh_c(*_other.mesh) : nullptr),
      reflectionMap(_other.reflectionMap ? _other.reflectionMap->Clone() : nullptr),
      causticMap(_other.causticMap ? _other.causticMap->Clone() : nullptr), modelView(_other.modelView),
      localTime(_other.localTime), renderer(_other.renderer)
{
    for (u32 i = 0; i < water_wave_count; ++i) {
        waveAmplitudes[i] = _other.waveAmplitudes[i];
        waveLengths[i] = _other.waveLengths[i];
        waveVelocities[i] = _other.waveVelocities[i];
    }
}

water_c::~water_c()
{
    delete causticMap;
    delete reflectionMap;
    delete mesh;
}

void water_c::SetExtent(f32 _extent)
{
    extent = AtLeastZero(_extent);
    SetFlags(water_bounds_dirty | water_surface_dirty);
}

void water_c::SetBorder(f32 _border)
{
    border = Between(_border, 0.0f, 0.5f);
    SetFlags(water_surface_dirty);
}

void water_c::SetGeographyMap(const image_c& _image)
{
    geography = SquareGreyImage(_image);
    SetFlags(water_surface_dirty);
}

void water_c::SetWaveAmplitude(u32 _wave, f32 _amplitude)
{
    if (_wave >= water_wave_count)
        return;
    waveAmplitudes[_wave] = AtLeastZero(_amplitude);
    SetFlags(water_bounds_dirty);
}

void water_c::SetWaveLength(u32 _wave, f32 _length)
{
    if (_wave < water_wave_count)
        waveLengths[_wave] = _length > FLT_EPSILON ? _length : FLT_EPSILON;
}

void water_c::SetWaveVelocity(u32 _wave, const vec3_c& _velocity)
{
    if (_wave < water_wave_count)
        waveVelocities[_wave] = _velocity;
}

void water_c::SetReflectionMap(const char* _image_path)
{
    ReplaceMap(reflectionMap,
               _image_path ? new still_map_c(texture_def_c(_image_path, true, false), renderer) : nullptr);
}

void water_c::SetCausticMapSequence(const std::vector<string_c>& _paths, f32 _frames_per_second, bool _bidirectional)
{
    map_c* map = nullptr;
    if (!_paths.empty()) {
        std::vector<texture_def_c> definitions;
        for (const string_c& path : _paths)
            definitions.emplace_back(path.GetData(), true, true);
        map = new sequent_map_c(definitions, 0, _frames_per_second, true, _bidirectional, renderer);
    }
    ReplaceMap(causticMap, map);
}

void water_c::SetCausticScale(f32 _scale)
{
    causticScale = AtLeastZero(_scale);
}

void water_c::SetCausticIntensity(f32 _intensity)
{
    causticIntensity = Between(_intensity, 0.0f, 1.0f);
}

vec3_c water_c::GetWaveVelocity(u32 _wave) const
{
    return _wave < water_wave_count ? waveVelocities[_wave] : vec3_c();
}

void water_c::UpdateBounds()
{
    if (!(flags & water_bounds_dirty))
        return;
    const f32 h = extent * 0.5f;
    const f32 a = waveAmplitudes[0] + waveAmplitudes[1] + waveAmplitudes[2];
    box.Set(vec3_c(-h, -a, -h), vec3_c(h, a, h));
    ClearFlags(water_bounds_dirty);
}

void water_c::BuildSurface()
{
    if (!(flags & water_surface_dirty))
        return;
    delete mesh;
    mesh = nullptr;
    if (geography.IsValid()) {
        geometry_def_c definition(string_c("%s (%d)", name.GetData(), static_cast<int>(++surface_counter)));
        definition.format.hasPosition = 1;
        definition.format.hasDiffuse = 1;
        definition.needsVertexShader = 1;
        auto* set = new triangle_set_c;
        definition.AddPrimitiveSet(set);
        BuildWaterSurface(*set, geography, extent, border);
        mesh = new mesh_c(name, definition, renderer);
    }
    ClearFlags(water_surface_dirty);
}

f32 water_c::Animate(f32 _time)
{
    localTime = null_object_c::Animate(_time);
    return localTime;
}

null_object_c* water_c::Clone() const
{
    return new water_c(*this);
}

void water_c::Write(output_file_c& _file) const
{
    // The stored box and mesh are current ones; bringing them up to date
    // changes only derived data.
    auto* self = const_cast<water_c*>(this);
    self->UpdateBounds();
    self->BuildSurface();
    output_file_c body;
    WriteNullBody(body);
    WriteBoundingBox(body, box);
    body.WriteF32(extent);
    body.WriteF32(border);
    for (f32 amplitude : waveAmplitudes)
        body.WriteF32(amplitude);
    for (f32 length : waveLengths)
        body.WriteF32(length);
    for (const vec3_c& velocity : waveVelocities) {
        body.WriteF32(velocity.x);
        body.WriteF32(velocity.y);
        body.WriteF32(velocity.z);
    }
    body.WriteF32(causticScale);
    body.WriteF32(causticIntensity);
    if (geography.IsValid()) {
        output_file_c block;
        geography.Save(block, image_file_bmp);
        body.WriteU32(tag_geography);
        body.WriteBlock(block);
    }
    WriteMapRecord(body, tag_reflection, reflectionMap);
    WriteMapRecord(body, tag_caustic, causticMap);
    if (mesh)
        mesh->Write(body);
    WriteChunk(_file, MakeTag("WATR"), version, body);
}

void water_c::Preload()
{
    if (reflectionMap)
        reflectionMap->Preload();
    if (causticMap)
        causticMap->Preload();
}

bool water_c::SetParameter(const command_c& _command)
{
    if (null_object_c::SetParameter(_command))
        return true;
    const char* keyword = _command.GetName();
    if (!keyword)
        return false;
    const string_c word(keyword);
    if (word == "Extent")
        SetExtent(_command.GetFloat(1u));
    else if (word == "Border")
        SetBorder(_command.GetFloat(1u));
    else if (word == "GeographyMap")
        SetGeographyMap(image_c(_command.GetParameter(1u)));
    else if (word == "WaveAmplitude")
        for (u32 i = 0; i < water_wave_count; ++i)
            SetWaveAmplitude(i, _command.GetFloat(i + 1));
    else if (word == "WaveLength")
        for (u32 i = 0; i < water_wave_count; ++i)
            SetWaveLength(i, _command.GetFloat(i + 1));
    else if (word == "WaveVelocity")
        for (u32 i = 0; i < water_wave_count; ++i)
            SetWaveVelocity(i, _command.GetVector(i + 1));
    else if (word == "ReflectionMap")
        SetReflectionMap(_command.GetParameter(1u));
    else if (word == "CausticMapList") {
        std::vector<string_c> paths;
        ReadStringList(_command.GetParameter(1u), paths);
        SetCausticMapSequence(paths, _command.GetFloat("FPS", 30.0f), _command.GetInt("BIDIRECTIONAL", "BIDI", 0) != 0);
    } else if (word == "CausticScale")
        SetCausticScale(_command.GetFloat(1u));
    else if (word == "CausticIntensity")
        SetCausticIntensity(_command.GetFloat(1u));
    else
        return false;
    return true;
}

void water_c::GetBoundingBox(aabb_c& _box)
{
    UpdateBounds();
    _box = aabb_c(box);
}

bool water_c::Cull(object_list_t&, object_list_t& _pass1, scene_c*, camera_c* _camera, u32 _mask, u32)
{
    visible = false;
    if (!(flags & object_rendered) || !IsSolid())
        return false;
    BuildSurface();
    if (!mesh)
        return false;
    UpdateBounds();
    UpdateModelView(modelView, *this, transform.world, *_camera);
    if (ClipToView(box, modelView, *_camera, _mask) == 0)
        return false;
    _pass1.push_back(this);
    visible = true;
    return true;
}

bool water_c::RayTest(float& _distance, vec3_c& _normal, const ray_c& _ray, bool, bool _precise, float _maximum)
{
    if (!(flags & object_ray_testable) || !IsSolid())
        return false;
    UpdateBounds();
    box_ray_c ray;
    if (!ray.Start(transform, box, _ray, _maximum))
        return false;
    f32 distance = ray.boxDistance;
    if (_precise) {
        if (!geography.IsValid())
            return false;
        // The surface plane y = 0; parallel rays and a plane behind miss.
        if (ray.local.direction.y == 0.0f)
            return false;
        distance = -ray.local.origin.y / ray.local.direction.y;
        if (!(distance >= 0.0f))
            return false;
        const vec3_c p = ray.local.origin + ray.local.direction * distance;
        if (!IsWaterAt(geography, extent, p.x, p.z))
            return false;
    }
    _distance = ray.Fraction(transform, distance);
    _normal = box_ray_c::UpAxis(transform);
    return true;
}

void water_c::Render(int)
{
    renderer->DrawWater(this, localTime, box.NeedsClipping());
}

void water_c::DrawBounds()
{
    renderer->DrawBox(box, vec3_c(0.5f, 0.75f, 0.75f), 0.75f, modelView);
}

water_c* water_c::Read(input_file_c& _file, renderer_c* _renderer)
{
    input_file_c body;
    std::unique_ptr<water_c> water = ReadStoredObject<water_c>(_file, MakeTag("WATR"), _renderer, body);
    if (!water)
        return nullptr;
    ReadBoundingBox(body, water->box);
    water->extent = ReadCheckedF32(body);
    water->border = ReadCheckedF32(body);
    for (f32& amplitude : water->waveAmplitudes)
        amplitude = ReadCheckedF32(body);
    for (f32& length : water->waveLengths)
        length = ReadCheckedF32(body);
    for (vec3_c& velocity : water->waveVelocities) {
        velocity.x = ReadCheckedF32(body);
        velocity.y = ReadCheckedF32(body);
        velocity.z = ReadCheckedF32(body);
    }
    water->causticScale = ReadCheckedF32(body);
    water->causticIntensity = ReadCheckedF32(body);
    ReadBodyItems(
        body,
        [&](input_file_c& _body) {
            mesh_c* mesh = mesh_c::Read(_body, _renderer);
            if (!mesh)
                return false;
            delete water->mesh;
            water->mesh = mesh;
            return true;
        },
        [&](u32 _tag, input_file_c& _block) {
            if (_tag == tag_geography) {
                image_c image;
                image.Load(_block);
                // Surfaces and ray tests read one byte a pixel of a square.
                water->geography = SquareGreyImage(image);
            } else if (_tag == tag_reflection || _tag == tag_caustic) {
                if (map_c* map = ReadMap(_block, _renderer))
                    ReplaceMap(_tag == tag_reflection ? water->reflectionMap : water->causticMap, map);
            }
        });
    return water.release();
}

void water_c::RegisterReader()
{
    RegisterObjectReader(reader_water, [](input_file_c& _file, renderer_c* _renderer) -> null_object_c* {
        return water_c::Read(_file, _renderer);
    });
}

void ReadStringList(const char* _file_name, std::vector<string_c>& _out)
{
    _out.clear();
    input_file_c file(_file_name);
    const char* text = reinterpret_cast<const char*>(file.GetData());
    const u64 size = file.GetSize();
    u64 start = 0;
    while (start < size) {
        u64 end = start;
        while (end < size && text[end] != '\n')
            ++end;
        u64 first = start, last = end;
        while (first < last && (text[first] == ' ' || text[first] == '\t'))
            ++first;
        // A text stream reads the line ends of DOS files as plain ones.
        if (last > first && text[last - 1] == '\r')
            --last;
        while (last > first && (text[last - 1] == ' ' || text[last - 1] == '\t'))
            --last;
        if (last > first) {
            string_c line;
            line.Assign(text + first, static_cast<unsigned>(last - first));
            _out.push_back(line);
        }
        start = end + 1;
    }
}
