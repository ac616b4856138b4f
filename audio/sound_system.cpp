#include "audio/sound_system.h"

#include <algorithm>
#include <cmath>
#include <stdexcept>

#include "audio/mpeg_source.h"
#include "audio/ogg_source.h"
#include "audio/pcm_source.h"

sound_system_c::~sound_system_c()
{
    // Each source unlists itself as it dies.
    while (!_sources.empty())
        delete _sources.front();
}

sound_source_c* sound_system_c::CreatePcmSource(const char* name, u32 flags)
{
    return new pcm_source_c(this, name, flags);
}

sound_source_c* sound_system_c::CreateMpegSource(const char* name, float, u32 flags)
{
    return new mpeg_source_c(this, name, flags);
}

sound_source_c* sound_system_c::CreateOggSource(const char* name, float, u32 flags)
{
    return new ogg_source_c(this, name, flags);
}

void sound_system_c::AcquireSoundSource(sound_source_c* _source)
{
    if (std::find(_sources.begin(), _sources.end(), _source) != _sources.end())
        throw std::logic_error("void sound_system_c::AcquireSoundSource(sound_source_c* _source)");
    _sources.push_back(_source);
}

void sound_system_c::ReleaseSoundSource(sound_source_c* _source)
{
    _sources.remove(_source);
}

sound_source_c::sound_source_c(sound_system_c* system, u32 flags) : _system(system), _flags(flags)
{
    _system->AcquireSoundSource(this);
}

sound_source_c::sound_source_c(const sound_source_c& other) : _system(other._system), _flags(other._flags)
{
    _system->AcquireSoundSource(this);
}

sound_source_c::~sound_source_c()
{
    _system->ReleaseSoundSource(this);
}

float DecibelToGain(float dB)
{
    return float(std::pow(10.0, double(dB) * 0.05));
}

float GainToDecibel(float gain)
{
    return gain > 0.00001f ? float(20.0 * std::log10(double(gain))) : -100.0f;
}
