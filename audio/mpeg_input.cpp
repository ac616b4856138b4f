#include "audio/mpeg_input.h"

#include <algorithm>
#include <cstring>

u32 mpeg_memory_input_c::Read(void* buffer, u32 bytes) {
  const u64 count = std::min<u64>(bytes, _size - _position);
  if (count) std::memcpy(buffer, _data + _position, count);
  _position += count;
  return u32(count);
}

bool mpeg_memory_input_c::Seek(u64 position) {
  _position = std::min(position, _size);
  return true;
}
