#include "engine/still_map.h"

#include "engine/object_chunk.h"
#include "engine/texture_cache.h"
#include "foundation/memory_file.h"

#include <memory>
#include <stdexcept>

still_map_c::still_map_c(const texture_def_c& _definition, texture_cache_c* _cache) : cache(_cache)
{
    // Objects made without a renderer (a scene read for its structure) must
    // fail here rather than crash on their first picture.
    if (!cache)
        throw std::invalid_argument(
            "still_map_c::still_map_c(const texture_def_c& _definition, texture_cache_c* _cache)");
    texture = cache->AddRef(cache->GetTexture(_definition));
}

still_map_c::still_map_c(const still_map_c& _other) : map_c(_other), texture(_other.texture), cache(_other.cache)
{
    cache->AddRef(texture);
}

still_map_c::~still_map_c()
{
    cache->Release(texture);
}

map_c* still_map_c::Clone() const
{
    return new still_map_c(*this);
}

void still_map_c::Write(output_file_c& _file) const
{
    output_file_c body;
    texture->definition.Write(body);
    WriteBody(body);
    WriteChunk(_file, MakeTag("STIL"), version, body);
}

void still_map_c::Preload()
{
    cache->Preload(texture);
}

texture_c* still_map_c::GetTexture(f32) const
{
    return texture;
}

still_map_c* still_map_c::Read(input_file_c& _file, texture_cache_c* _cache)
{
    input_file_c body;
    if (!ReadChunk(_file, MakeTag("STIL"), version, body))
        return nullptr;
    texture_def_c definition;
    definition.Read(body);
    std::unique_ptr<still_map_c> map(new still_map_c(definition, _cache));
    map->ReadBody(body);
    return map.release();
}
