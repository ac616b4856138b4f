#include "game/testing/recording_sound.h"

#include "foundation/file_error.h"

#include <algorithm>

recording_source_c::~recording_source_c()
{
    if (auto* system = dynamic_cast<recording_sound_system_c*>(GetSystem())) {
        std::erase(system->made, this);
        ++system->deleted;
    }
}

void recording_source_c::Note()
{
    ++calls;
    if (auto* system = dynamic_cast<recording_sound_system_c*>(GetSystem()))
        ++system->calls;
}

bool recording_source_c::SetPitch(float _pitch)
{
    pitch = _pitch;
    Note();
    return true;
}

bool recording_source_c::SetVolume(float _decibels)
{
    volume = _decibels;
    Note();
    return true;
}

bool recording_source_c::SetMinDistance(float _distance)
{
    distance = _distance;
    Note();
    return true;
}

bool recording_source_c::SetPosition(const vec3_c* _position)
{
    position = *_position;
    Note();
    return true;
}

bool recording_source_c::SetVelocity(const vec3_c* _velocity)
{
    velocity = *_velocity;
    Note();
    return true;
}

bool recording_source_c::SetLooping(bool _looping)
{
    looping = _looping;
    Note();
    return true;
}

bool recording_source_c::Play()
{
    playing = true;
    ++plays;
    Note();
    return true;
}

bool recording_source_c::Stop()
{
    playing = false;
    ++stops;
    Note();
    return true;
}

sound_source_c* recording_sound_system_c::CreatePcmSource(const char* _name, u32 _flags)
{
    if (!files.count(_name))
        throw file_error_c(_name, "File not found!");
    auto* source = new recording_source_c(this, _flags, _name);
    made.push_back(source);
    return source;
}

recording_source_c* recording_sound_system_c::Find(const std::string& _file) const
{
    for (auto it = made.rbegin(); it != made.rend(); ++it)
        if ((*it)->file == _file)
            return *it;
    return nullptr;
}
