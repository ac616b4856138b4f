#include "engine/object_chunk.h"

#include "engine/stream_check.h"
#include "foundation/memory_file.h"

#include <cstring>

bool PeekTag(const input_file_c& _file, u32 _tag)
{
    const u8* next = _file.GetAlignedPointer32();
    if (!next)
        return false;
    u32 tag = 0;
    std::memcpy(&tag, next, 4);
    return tag == _tag;
}

bool ReadChunk(input_file_c& _file, u32 _tag, u32 _version, input_file_c& _body)
{
    if (!PeekTag(_file, _tag))
        return false;
    ReadCheckedU32(_file);
    const u32 version = ReadCheckedU32(_file);
    ReadCheckedBlock(_file, _body);
    return version == _version;
}

void WriteChunk(output_file_c& _file, u32 _tag, u32 _version, const output_file_c& _body)
{
    _file.WriteU32(_tag);
    _file.WriteU32(_version);
    _file.WriteBlock(_body);
}
