#pragma once
// Maps held by an owner (scene, material) as sub-objects of its chunk: a
// u32 tag and a block holding the map's own chunk.
#include "engine/map.h"

#include <memory>

class output_file_c;

// Nothing for an empty slot.
void WriteMapRecord(output_file_c& _file, u32 _tag, const std::unique_ptr<map_c>& _map);
// A copy of the map, or null.
std::unique_ptr<map_c> CloneMap(const std::unique_ptr<map_c>& _map);
