#include "audio/a3d_device.h"

#include <algorithm>
#include <cfloat>

#include "audio/a3d_sound.h"
#include "audio/a3d_stream.h"

namespace {

bool SameFormat(const a3d_wave_format_c& a, const a3d_wave_format_c& b)
{
    return a.format_tag == b.format_tag && a.channels == b.channels && a.samples_per_second == b.samples_per_second &&
           a.average_bytes_per_second == b.average_bytes_per_second && a.block_align == b.block_align &&
           a.bits_per_sample == b.bits_per_sample && a.extra_size == b.extra_size;
}

} // namespace

a3d_device_c::a3d_device_c(void* _window, int _max_hardware_sources, int _fallback_software_channels, u32 _flags)
    : sound_system_c(_flags), _max_distance_gain(DecibelToGain(-20.0f))
{
    if (a3d_c::Create(&_a3d) != A3D_OK)
        Fail("Could not create A3D interface!");
    if (_max_hardware_sources >= 0 && _a3d->SetMaxHardwareSources(_max_hardware_sources) != A3D_OK)
        Fail("Could not set the maximum number of hardware sources!");
    if (_a3d->Init(0, 128, 0, _window, 3) != A3D_OK)
        Fail("Could not initialize sound device!");
    if (Is3d() && _a3d->QueryListener(&_listener) != A3D_OK)
        Fail("Could not set 3D parameters of the listener!");
    if (_fallback_software_channels >= 0 && _a3d->SetNumFallbackSources(_fallback_software_channels) != A3D_OK)
        Fail("Could not set the number of fallback software channels!");
    _a3d->SetCoordinateSystem(A3D_LEFT_HANDED_CS);
    _a3d->DeferChanges();
}

void a3d_device_c::Fail(const char* _message)
{
    _listener = nullptr;
    _a3d.reset();
    throw a3d_error_c(_message);
}

a3d_device_c::~a3d_device_c()
{
    // Sounds end first: a stream's refill thread must be gone before the
    // device it calls closes.
    while (!_sounds.empty())
        delete _sounds.back();
    _listener = nullptr;
    _registry.clear();
    if (_a3d)
        _a3d->Shutdown();
    _a3d.reset();
}

void a3d_device_c::AddSound(a3d_sound_c* _sound)
{
    _sounds.push_back(_sound);
}

void a3d_device_c::RemoveSound(a3d_sound_c* _sound)
{
    _sounds.erase(std::remove(_sounds.begin(), _sounds.end(), _sound), _sounds.end());
}

sound_source_c* a3d_device_c::CreatePcmSource(const char* _name, u32 _flags)
{
    return new a3d_static_sound_c(this, _name, _flags);
}

sound_source_c* a3d_device_c::CreateMpegSource(const char* _name, float _seconds, u32 _flags)
{
    return new a3d_mpeg_stream_c(this, _name, _seconds, _flags);
}

sound_source_c* a3d_device_c::CreateOggSource(const char* _name, float _seconds, u32 _flags)
{
    return new a3d_ogg_stream_c(this, _name, _seconds, _flags);
}

bool a3d_device_c::SetDistanceAttenuation(float _decibels)
{
    if (!Is3d() || !_registry.empty())
        return false;
    _max_distance_gain = DecibelToGain(std::clamp(_decibels, -100.0f, 0.0f));
    return true;
}

bool a3d_device_c::SetRolloffFactor(float _factor)
{
    if (!Is3d() || !_registry.empty())
        return false;
    _rolloff = std::max(_factor, 0.0f);
    return _a3d->SetRolloffFactor(_rolloff) == A3D_OK;
}

bool a3d_device_c::SetSoundGain(float _gain)
{
    if (!Is3d())
        return false;
    return _a3d->SetOutputGain(std::max(_gain, 0.0f)) == A3D_OK;
}

bool a3d_device_c::SetListenerPosition(const vec3_c* _position)
{
    if (!Is3d() || _listener == nullptr || _position == nullptr)
        return false;
    return _listener->SetPosition3f(_position->x, _position->y, _position->z) == A3D_OK;
}

bool a3d_device_c::SetListenerVelocity(const vec3_c* _velocity)
{
    if (!Is3d() || _listener == nullptr || _velocity == nullptr)
        return false;
    return _listener->SetVelocity3f(_velocity->x, _velocity->y, _velocity->z) == A3D_OK;
}

bool a3d_device_c::SetListenerOrientation(const mat4x3_c* _orientation)
{
    if (!Is3d() || _listener == nullptr || _orientation == nullptr)
        return false;
    const float(&m)[4][3] = _orientation->m;
    return _listener->SetOrientation6f(m[2][0], m[2][1], m[2][2], m[1][0], m[1][1], m[1][2]) == A3D_OK;
}

bool a3d_device_c::Update()
{
    _a3d->Flush();
    _a3d->DeferChanges();
    return true;
}

float a3d_device_c::MaxDistanceRatio() const
{
    // Without rolloff the gain never falls, so no distance is the maximum.
    if (_rolloff <= 0.0f)
        return FLT_MAX;
    const double g = _max_distance_gain;
    const double ratio = ((1.0 - g) / g + _rolloff) / _rolloff;
    return ratio < FLT_MAX ? static_cast<float>(ratio) : FLT_MAX;
}

a3d_source_c* a3d_device_c::Duplicate(const record_c& _original)
{
    std::unique_ptr<a3d_source_c> copy;
    if (_a3d->DuplicateSource(_original.source.get(), &copy) != A3D_OK)
        return nullptr;
    bool reset = copy->SetPitch(1.0f) == A3D_OK && copy->SetGain(1.0f) == A3D_OK;
    if (reset && (_original.a3d_flags & A3DSOURCE_2D) != 0)
        reset = copy->SetPanValues(1.0f, 1.0f) == A3D_OK;
    reset = reset && copy->SetPriority(0.5f) == A3D_OK && copy->Rewind() == A3D_OK;
    if (!reset)
        return nullptr;
    a3d_source_c* made = copy.get();
    _registry.push_back(
        {_original.path, _original.format, _original.bytes, _original.a3d_flags, _original.streamed, std::move(copy)});
    return made;
}

a3d_source_c* a3d_device_c::CreateDeviceSource(const string_c& _path, const a3d_wave_format_c& _format, u32 _bytes,
                                               u32 _a3d_flags, bool _streamed)
{
    if (!_streamed) {
        for (const record_c& record : _registry) {
            if (record.streamed || !(record.path == _path) || !SameFormat(record.format, _format) ||
                record.bytes != _bytes || record.a3d_flags != _a3d_flags)
                continue;
            if (a3d_source_c* duplicate = Duplicate(record))
                return duplicate;
            break;
        }
    }
    std::unique_ptr<a3d_source_c> source;
    if (_a3d->NewSource(_a3d_flags, &source) != A3D_OK)
        throw a3d_error_c("Could not create sound buffer!");
    if (source->SetWaveFormat(_format) != A3D_OK)
        throw a3d_error_c("Could not set audio format!");
    if (source->AllocateAudioData(_bytes) != A3D_OK)
        throw a3d_error_c("Could not allocate audio data!");
    a3d_source_c* made = source.get();
    _registry.push_back({_path, _format, _bytes, _a3d_flags, _streamed, std::move(source)});
    return made;
}

void a3d_device_c::ReleaseDeviceSource(a3d_source_c* _source)
{
    if (_source == nullptr)
        return;
    auto found = std::find_if(_registry.begin(), _registry.end(),
                              [_source](const record_c& record) { return record.source.get() == _source; });
    if (found == _registry.end())
        return;
    found->source->FreeAudioData();
    _registry.erase(found);
}
