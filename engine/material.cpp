#include "engine/material.h"

#include "engine/map_record.h"
#include "engine/object_chunk.h"
#include "engine/renderer.h"
#include "engine/sequent_map.h"
#include "engine/still_map.h"
#include "engine/stream_check.h"
#include "foundation/command.h"
#include "foundation/memory_file.h"

#include <stdexcept>

namespace {

constexpr u32 tag_color0 = MakeTag("col0");
constexpr u32 tag_color1 = MakeTag("col1");
constexpr u32 tag_reflection = MakeTag("refl");
constexpr u32 tag_bump = MakeTag("bump");

material_reader_f& ForeignReader()
{
    static material_reader_f reader = nullptr;
    return reader;
}

} // namespace

void RegisterMaterialReader(material_reader_f _reader)
{
    ForeignReader() = _reader;
}

material_c::material_c(const char* _name, renderer_c* _renderer) : name(_name), renderer(_renderer) {}

material_c::material_c(const material_c& _other)
    : node_c<material_c>(_other), graph_c(_other), name(_other.name), color(_other.color),
      luminosity(_other.luminosity), diffuse(_other.diffuse), specularColor(_other.specularColor),
      glossiness(_other.glossiness), specularLevel(_other.specularLevel), transparency(_other.transparency),
      reflectivity(_other.reflectivity), bumpAmplitude(_other.bumpAmplitude), pointSize(_other.pointSize),
      alphaThreshold(_other.alphaThreshold),
      flags(_other.flags), colorMaps{CloneMap(_other.colorMaps[0]), CloneMap(_other.colorMaps[1])},
      reflectionMap(CloneMap(_other.reflectionMap)), bumpMap(CloneMap(_other.bumpMap)), renderer(_other.renderer)
{}

material_c::~material_c()
{
    bumpMap.reset();
    reflectionMap.reset();
    colorMaps[1].reset();
    colorMaps[0].reset();
}

renderer_c* material_c::RendererForMaps() const
{
    if (!renderer)
        throw std::logic_error("renderer_c* material_c::RendererForMaps() const");
    return renderer;
}

void material_c::SetColorMap(u32 _layer, const char* _image_path)
{
    if (_layer > 1)
        return;
    colorMaps[_layer].reset();
    if (_image_path)
        colorMaps[_layer] = std::make_unique<still_map_c>(texture_def_c(_image_path, true, false), RendererForMaps());
}

void material_c::SetColorMap(u32 _layer, std::unique_ptr<map_c> _map)
{
    if (_layer <= 1)
        colorMaps[_layer] = std::move(_map);
}

void material_c::SetColorMapSequence(u32 _layer, const std::vector<string_c>& _image_paths, i32 _frame_offset,
                                     f32 _frame_rate, bool _loop, bool _bidirectional)
{
    if (_layer > 1)
        return;
    colorMaps[_layer].reset();
    if (_image_paths.empty())
        return;
    std::vector<texture_def_c> frames;
    frames.reserve(_image_paths.size());
    for (const string_c& path : _image_paths)
        frames.emplace_back(path, true, false);
    colorMaps[_layer] =
        std::make_unique<sequent_map_c>(frames, _frame_offset, _frame_rate, _loop, _bidirectional, RendererForMaps());
}

void material_c::SetReflectionMap(const char* _image_path)
{
    reflectionMap.reset();
    if (_image_path)
        reflectionMap = std::make_unique<still_map_c>(texture_def_c(_image_path, true, false), RendererForMaps());
}

void material_c::SetBumpMap(const char* _image_path)
{
    bumpMap.reset();
    if (_image_path)
        bumpMap = std::make_unique<still_map_c>(texture_def_c(texture_type_bump, _image_path, true, false),
                                                RendererForMaps());
}

void material_c::SetAlphaBlending(bool _on)
{
    if (_on)
        flags |= material_alpha_blending;
    else
        flags &= ~material_alpha_blending;
}

bool material_c::IsOpaque() const
{
    if (flags & (material_additive | material_alpha_blending))
        return false;
    return transparency <= 0.0f;
}

void material_c::Preload()
{
    for (const auto* map : {&colorMaps[0], &colorMaps[1], &reflectionMap, &bumpMap})
        if (*map)
            (*map)->Preload();
}

bool material_c::SetParameter(const command_c& _command)
{
    const char* keyword = _command.GetName();
    if (!keyword)
        return false;
    const string_c key(keyword);
    auto set_flag = [&](u32 _bit) {
        if (_command.GetInt(1u) != 0)
            flags |= _bit;
        else
            flags &= ~_bit;
    };
    if (key == "Lighting")
        set_flag(material_lighting);
    else if (key == "PointScale")
        set_flag(material_point_scale);
    else if (key == "PointSize")
        pointSize = _command.GetFloat(1u);
    else if (key == "AlphaBlending")
        SetAlphaBlending(_command.GetInt(1u) != 0);
    else if (key == "AlphaThreshold")
        alphaThreshold = _command.GetFloat(1u);
    else
        return false;
    return true;
}

float* material_c::GetEnvelopeTarget(u32 _index)
{
    float* const fields[] = {&color.x,         &color.y,         &color.z,         &luminosity, &diffuse,
                             &specularColor.x, &specularColor.y, &specularColor.z, &glossiness, &specularLevel,
                             &transparency,    &reflectivity,    &bumpAmplitude,   &pointSize,  &alphaThreshold};
    if (_index >= 3 && _index - 3 < std::size(fields))
        return fields[_index - 3];
    return graph_c::GetEnvelopeTarget(_index);
}

void material_c::Write(output_file_c& _file) const
{
    output_file_c body;
    body.WriteString(name);
    graph_c::Write(body);
    for (f32 value : {color.x, color.y, color.z, luminosity, diffuse, specularColor.x, specularColor.y, specularColor.z,
                      glossiness, specularLevel, transparency, reflectivity, bumpAmplitude, pointSize, alphaThreshold})
        body.WriteF32(value);
    body.WriteU32(flags);
    WriteMapRecord(body, tag_color0, colorMaps[0]);
    WriteMapRecord(body, tag_color1, colorMaps[1]);
    WriteMapRecord(body, tag_reflection, reflectionMap);
    WriteMapRecord(body, tag_bump, bumpMap);
    WriteChunk(_file, MakeTag("MTRL"), version, body);
}

material_c* material_c::Read(input_file_c& _file, renderer_c* _renderer)
{
    if (material_reader_f reader = ForeignReader())
        if (material_c* material = reader(_file, _renderer))
            return material;
    input_file_c body;
    if (!ReadChunk(_file, MakeTag("MTRL"), version, body))
        return nullptr;
    string_c name;
    ReadCheckedString(body, name);
    auto material = std::make_unique<material_c>(name, _renderer);
    material->graph_c::Read(body);
    for (f32* value :
         {&material->color.x, &material->color.y, &material->color.z, &material->luminosity, &material->diffuse,
          &material->specularColor.x, &material->specularColor.y, &material->specularColor.z, &material->glossiness,
          &material->specularLevel, &material->transparency, &material->reflectivity, &material->bumpAmplitude,
          &material->pointSize, &material->alphaThreshold})
        *value = ReadCheckedF32(body);
    material->flags = ReadCheckedU32(body);
    while (body.GetAlignedPointer32()) {
        const u32 tag = ReadCheckedU32(body);
        input_file_c block;
        ReadCheckedBlock(body, block);
        std::unique_ptr<map_c>* slot = nullptr;
        if (tag == tag_color0)
            slot = &material->colorMaps[0];
        else if (tag == tag_color1)
            slot = &material->colorMaps[1];
        else if (tag == tag_reflection)
            slot = &material->reflectionMap;
        else if (tag == tag_bump)
            slot = &material->bumpMap;
        if (!slot)
            continue;
        std::unique_ptr<map_c> map(ReadMap(block, material->RendererForMaps()));
        if (map)
            *slot = std::move(map);
    }
    return material.release();
}
