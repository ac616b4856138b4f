#include "audio/a3d_sound.h"

#include <algorithm>
#include <cfloat>
#include <cstring>

#include "foundation/path.h"

namespace {

a3d_wave_format_c DeviceFormat(const pcm_format_c& _format)
{
    a3d_wave_format_c format;
    format.format_tag = _format.format_tag;
    format.channels = _format.channels;
    format.samples_per_second = _format.samples_per_second;
    format.average_bytes_per_second = _format.average_bytes_per_second;
    format.block_align = _format.block_align;
    format.bits_per_sample = _format.bits_per_sample;
    format.extra_size = 0;
    return format;
}

} // namespace

a3d_sound_c::a3d_sound_c(a3d_device_c* _device, const string_c& _path, bool _streamed)
    : _device(_device), _path(_path), _a3d_flags((GetFlags() & sound_flag_3d) != 0 ? 0 : A3DSOURCE_2D),
      _looped_play(_streamed ? 1 : 0), _streamed(_streamed)
{
    _device->AddSound(this);
}

a3d_sound_c::~a3d_sound_c()
{
    ReleaseDeviceSource();
    _device->RemoveSound(this);
}

void a3d_sound_c::CreateDeviceSource(const a3d_wave_format_c& _format, u32 _bytes)
{
    _source = _device->CreateDeviceSource(_path, _format, _bytes, _a3d_flags, _streamed);
}

void a3d_sound_c::ReleaseDeviceSource()
{
    _device->ReleaseDeviceSource(_source);
    _source = nullptr;
}

u32 a3d_sound_c::FillBuffer(u32 _offset, u32 _bytes)
{
    if (_source == nullptr || _bytes == 0)
        return 0;
    void *part1 = nullptr, *part2 = nullptr;
    u32 size1 = 0, size2 = 0;
    if (_source->Lock(_offset, _bytes, &part1, &size1, &part2, &size2) != A3D_OK)
        return 0;
    // A region that wraps is not filled at all; the lock is given back either way.
    u32 got = 0;
    if (size1 >= _bytes) {
        u8* target = static_cast<u8*>(part1);
        got = std::min(Read(target, _bytes), _bytes);
        if (got < _bytes)
            std::memset(target + got, GetBitsPerSample() == 8 ? 0x80 : 0, _bytes - got);
    }
    _source->Unlock(part1, size1, part2, size2);
    return got;
}

bool a3d_sound_c::SetPitch(float _pitch)
{
    if (!HasFlag(sound_flag_pitch) || _source == nullptr)
        return false;
    return _source->SetPitch(std::max(_pitch, 0.0f)) == A3D_OK;
}

bool a3d_sound_c::SetVolume(float _decibels)
{
    if (!HasFlag(sound_flag_volume) || _source == nullptr)
        return false;
    return _source->SetGain(DecibelToGain(std::clamp(_decibels, -100.0f, 0.0f))) == A3D_OK;
}

bool a3d_sound_c::SetPan(float _decibels)
{
    if (!HasFlag(sound_flag_pan) || _source == nullptr)
        return false;
    const float left = DecibelToGain(-std::clamp(_decibels, 0.0f, 100.0f));
    const float right = DecibelToGain(std::clamp(_decibels, -100.0f, 0.0f));
    return _source->SetPanValues(left, right) == A3D_OK;
}

bool a3d_sound_c::SetMinDistance(float _distance)
{
    if (!HasFlag(sound_flag_3d) || _source == nullptr)
        return false;
    const float min = std::max(_distance, 0.0f);
    const float ratio = _device->MaxDistanceRatio();
    const float max = min > 0.0f && ratio > FLT_MAX / min ? FLT_MAX : min * ratio;
    return _source->SetMinMaxDistance(min, max, A3D_HOLD_BEYOND_MAX) == A3D_OK;
}

bool a3d_sound_c::SetPosition(const vec3_c* _position)
{
    if (!HasFlag(sound_flag_3d) || _source == nullptr || _position == nullptr)
        return false;
    return _source->SetPosition3f(_position->x, _position->y, _position->z) == A3D_OK;
}

bool a3d_sound_c::SetVelocity(const vec3_c* _velocity)
{
    if (!HasFlag(sound_flag_3d) || _source == nullptr || _velocity == nullptr)
        return false;
    return _source->SetVelocity3f(_velocity->x, _velocity->y, _velocity->z) == A3D_OK;
}

bool a3d_sound_c::SetUnitParameter(float _value)
{
    if (_source == nullptr)
        return false;
    return _source->SetPriority(std::clamp(_value, 0.0f, 1.0f)) == A3D_OK;
}

void a3d_sound_c::CopyDeviceState(const a3d_sound_c& _other)
{
    a3d_source_c* from = _other._source;
    if (from == nullptr || _source == nullptr)
        return;
    f32 a = 0, b = 0, c = 0;
    u32 mode = 0;
    if (from->GetPitch(&a) == A3D_OK)
        _source->SetPitch(a);
    if (from->GetGain(&a) == A3D_OK)
        _source->SetGain(a);
    if (from->GetPanValues(&a, &b) == A3D_OK)
        _source->SetPanValues(a, b);
    if (from->GetMinMaxDistance(&a, &b, &mode) == A3D_OK)
        _source->SetMinMaxDistance(a, b, mode);
    if (from->GetPosition3f(&a, &b, &c) == A3D_OK)
        _source->SetPosition3f(a, b, c);
    if (from->GetVelocity3f(&a, &b, &c) == A3D_OK)
        _source->SetVelocity3f(a, b, c);
    if (from->GetPriority(&a) == A3D_OK)
        _source->SetPriority(a);
}

a3d_static_sound_c::a3d_static_sound_c(a3d_device_c* _device, const char* _name, u32 _flags)
    : sound_source_c(_device, _flags), pcm_source_c(_device, _name, _flags),
      a3d_sound_c(_device, MakeFullPath(_name), false)
{
    Fill();
}

a3d_static_sound_c::a3d_static_sound_c(const a3d_static_sound_c& _other)
    : sound_source_c(_other), pcm_source_c(_other), a3d_sound_c(_other._device, _other._path, false)
{
    _looped_play = _other._looped_play;
    Fill();
    CopyDeviceState(_other);
}

a3d_static_sound_c::~a3d_static_sound_c() = default;

void a3d_static_sound_c::Fill()
{
    CreateDeviceSource(DeviceFormat(*GetFormat()), GetSize());
    FillBuffer(0, GetSize());
}

sound_source_c* a3d_static_sound_c::Clone()
{
    return new a3d_static_sound_c(*this);
}

bool a3d_static_sound_c::SetLooping(bool _looping)
{
    if (_source == nullptr)
        return false;
    const u32 looped = _looping ? 1 : 0;
    if (looped == _looped_play)
        return true;
    _looped_play = looped;
    if (IsPlaying()) {
        Stop();
        Play();
    }
    return true;
}

bool a3d_static_sound_c::Seek(float _seconds)
{
    if (_source == nullptr)
        return false;
    return _source->SetPlayPosition(std::max(_seconds, 0.0f)) == A3D_OK;
}

bool a3d_static_sound_c::IsPlaying()
{
    u32 status = 0;
    if (_source == nullptr || _source->GetStatus(&status) != A3D_OK)
        return false;
    return (status & A3D_STATUS_PLAYING) != 0;
}

bool a3d_static_sound_c::Play()
{
    if (_source == nullptr)
        return false;
    if (_source->Play(_looped_play != 0 ? A3D_LOOPED : A3D_SINGLE) != A3D_OK)
        return false;
    return _device->Update();
}

bool a3d_static_sound_c::Stop()
{
    if (_source == nullptr || _source->Stop() != A3D_OK)
        return false;
    return _device->Update();
}
