#include "engine/map.h"

#include "engine/object_chunk.h"
#include "engine/sequent_map.h"
#include "engine/still_map.h"
#include "engine/stream_check.h"
#include "foundation/memory_file.h"

#include <cmath>

map_c::map_c()
{
    transform.SetIdentity();
}

void map_c::Save(const char* _file_name) const
{
    output_file_c file(_file_name);
    Write(file);
    file.Commit();
}

void map_c::SetTransform(const f32* _values)
{
    mat4x3_c matrix;
    for (int i = 0; i < 12; ++i)
        matrix.m[i / 3][i % 3] = _values[i];
    SetTransform(matrix);
}

void map_c::SetTransform(const mat4x3_c& _transform)
{
    transform = _transform;
    mat4x3_c identity;
    identity.SetIdentity();
    hasTransform = !transform.IsEqual(identity);
}

void map_c::WriteBody(output_file_c& _file) const
{
    _file.WriteU32(texCoordSet);
    for (int i = 0; i < 12; ++i)
        _file.WriteF32(transform.m[i / 3][i % 3]);
    _file.WriteU8(hasTransform ? 1 : 0);
    _file.WriteU8(repeat);
    _file.WriteU8(filtering);
    _file.WriteU8(static_cast<u8>(blendMode));
}

void map_c::ReadBody(input_file_c& _file)
{
    // The renderer indexes three coordinate sets: apply the setter's rule.
    SetTexCoordSet(ReadCheckedU32(_file));
    for (int i = 0; i < 12; ++i)
        transform.m[i / 3][i % 3] = ReadCheckedF32(_file);
    hasTransform = ReadCheckedU8(_file) != 0;
    repeat = ReadCheckedU8(_file);
    filtering = ReadCheckedU8(_file);
    blendMode = ReadCheckedU8(_file);
}

map_c* ReadMap(input_file_c& _file, texture_cache_c* _cache)
{
    if (PeekTag(_file, MakeTag("STIL")))
        return still_map_c::Read(_file, _cache);
    return sequent_map_c::Read(_file, _cache);
}
