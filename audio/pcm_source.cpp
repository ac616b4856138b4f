#include "audio/pcm_source.h"

pcm_source_c::pcm_source_c(sound_system_c* system, const char* name, u32 flags)
    : sound_source_c(system, flags), _data(std::make_unique<SoundFile>(name))
{}

pcm_source_c::pcm_source_c(const pcm_source_c& other) : sound_source_c(other), _data(other._data->Clone()) {}

sound_source_c* pcm_source_c::Clone()
{
    return new pcm_source_c(*this);
}

u32 pcm_source_c::Read(u8* buffer, u32 bytes)
{
    return _data->ReadData(buffer, bytes);
}

float pcm_source_c::GetLength()
{
    const pcm_format_c* format = _data->GetFormat();
    const u64 per_second = (u64(format->bits_per_sample) * format->channels * format->samples_per_second) >> 3;
    if (per_second == 0)
        return 0.0f;
    return float(_data->GetSize()) / float(per_second);
}
