#include "engine/map_record.h"

#include "foundation/memory_file.h"

void WriteMapRecord(output_file_c& _file, u32 _tag, const std::unique_ptr<map_c>& _map)
{
    if (!_map)
        return;
    output_file_c block;
    _map->Write(block);
    _file.WriteU32(_tag);
    _file.WriteBlock(block);
}

std::unique_ptr<map_c> CloneMap(const std::unique_ptr<map_c>& _map)
{
    return _map ? std::unique_ptr<map_c>(_map->Clone()) : nullptr;
}
