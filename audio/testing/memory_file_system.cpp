#include "audio/testing/memory_file_system.h"

#include <algorithm>
#include <cstring>
#include <stdexcept>

#include "foundation/file_error.h"

namespace audio_testing {

const std::vector<u8>& memory_file_system_c::Find(const char* name) const
{
    const auto found = _files.find(name);
    if (found == _files.end())
        throw file_error_c(name, "File not found!");
    return found->second;
}

u32 memory_file_system_c::GetSize(const char* name)
{
    return u32(Find(name).size());
}

u32 memory_file_system_c::Load(const char* name, void* buffer, u32 bufferSize)
{
    const std::vector<u8>& bytes = Find(name);
    if (bytes.size() > bufferSize)
        throw file_error_c(name, "Out of buffer!");
    if (!bytes.empty())
        std::memcpy(buffer, bytes.data(), bytes.size());
    return u32(bytes.size());
}

bool CloneReadsTheSame(sound_source_c& source, u32 bytes)
{
    std::vector<u8> first(bytes), second(bytes);
    const u32 got = source.Read(first.data(), bytes);
    sound_source_c* copy = source.Clone();
    const u32 copied = copy->Read(second.data(), bytes);
    delete copy;
    return got == bytes && copied == bytes && first == second;
}

} // namespace audio_testing
