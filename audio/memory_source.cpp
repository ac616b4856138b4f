#include "audio/memory_source.h"

#include <algorithm>

#include "foundation/path.h"

namespace {

input_file_c LoadSoundFile(const char* name)
{
    const string_c path = MakeFullPath(name);
    directory_cache_c guard;
    return input_file_c(path);
}

} // namespace

memory_source_c::memory_source_c(const char* name) : _file(LoadSoundFile(name)) {}

bool memory_source_c::SetLoopStart(float seconds)
{
    _loop_start = std::max(seconds, 0.0f);
    return true;
}

bool memory_source_c::SetLooping(bool looping)
{
    _looping = looping;
    return true;
}

u32 memory_source_c::LoopingRead(u8* buffer, u32 bytes)
{
    u32 got = RawRead(buffer, bytes);
    if (!_looping)
        return got;
    while (got < bytes) {
        if (!Seek(_loop_start))
            break;
        const u32 more = RawRead(buffer + got, bytes - got);
        if (more == 0)
            break;
        got += more;
    }
    return got;
}
