#include "audio/a3d_stream.h"

#include <chrono>
#include <system_error>

a3d_stream_c::a3d_stream_c(a3d_device_c* _device, const string_c& _path) : a3d_sound_c(_device, _path, true) {}

a3d_stream_c::~a3d_stream_c()
{
    Release();
}

u32 a3d_stream_c::GetRefillPeriod() const
{
    return _segment_count > 0 ? static_cast<u32>(_seconds * 1000.0f / static_cast<float>(_segment_count)) : 0;
}

void a3d_stream_c::Start(float _ring_seconds)
{
    Release();
    const bool threaded = (GetFlags() & sound_flag_refill_thread) != 0;
    const float per_second = threaded ? 16.0f : 128.0f;
    float s = _ring_seconds > 0.0f ? _ring_seconds : 0.0f;
    // A ring needs two segments: one playing while the other is refilled.
    s = std::max(s, 2.0f / per_second);
    const u32 channels = GetChannels(), rate = GetSampleRate(), bits = GetBitsPerSample();
    const int count = std::max(2, static_cast<int>(s * per_second));
    const int frames = std::max(1, static_cast<int>(static_cast<double>(rate) * s / count));
    const u64 segment_size = static_cast<u64>(channels) * static_cast<u64>(frames) * (bits / 8);
    if (segment_size == 0 || segment_size * static_cast<u64>(count) > 0x7FFFFFFF)
        throw a3d_error_c("Could not allocate audio data!");

    _seconds = s;
    _segment_size = static_cast<int>(segment_size);
    _segment_count = count;
    _current_segment = 0;
    _end_segment = -1;
    _ended = false;

    const pcm_format_c pcm = MakePcmFormat(channels, rate, bits);
    a3d_wave_format_c format;
    format.channels = pcm.channels;
    format.samples_per_second = pcm.samples_per_second;
    format.average_bytes_per_second = pcm.average_bytes_per_second;
    format.block_align = pcm.block_align;
    format.bits_per_sample = pcm.bits_per_sample;
    CreateDeviceSource(format, static_cast<u32>(segment_size * count));
    FillRing();

    std::vector<u32> positions;
    std::vector<event_c*> list;
    for (int i = 0; i < count; ++i) {
        _events.push_back(std::make_unique<event_c>());
        list.push_back(_events.back().get());
        positions.push_back(static_cast<u32>(((i + 1) % count) * _segment_size));
    }
    if (_source->SetNotifications(static_cast<u32>(count), positions.data(), list.data()) != A3D_OK) {
        _events.clear();
        ReleaseDeviceSource();
        throw a3d_error_c("Could not set notification position!");
    }

    if (threaded) {
        _lock = std::make_unique<critical_section_c>();
        _running = true;
        _resumed = false;
        try {
            _thread = std::make_unique<thread_c>([this] { return RefillThread(); });
        } catch (const std::system_error&) {
            _running = false;
            _lock.reset();
            _source->ClearNotifications();
            _events.clear();
            ReleaseDeviceSource();
            throw a3d_error_c("Could not create thread!");
        }
    }
}

void a3d_stream_c::FillRing()
{
    const u32 ring = static_cast<u32>(_segment_size) * static_cast<u32>(_segment_count);
    const u32 bytes = FillBuffer(0, ring);
    // Data shorter than the ring ends inside it.
    if (bytes < ring)
        _end_segment = static_cast<int>(bytes / static_cast<u32>(_segment_size));
}

void a3d_stream_c::Release()
{
    if (_thread) {
        _running = false;
        if (!_resumed)
            _thread->Resume();
        _thread->Wait();
        _thread.reset();
        _resumed = false;
    }
    _running = false;
    _lock.reset();
    if (_source != nullptr)
        _source->ClearNotifications();
    _events.clear();
    _segment_size = 0;
    _segment_count = 0;
    _current_segment = 0;
    _end_segment = -1;
    _playing = false;
    ReleaseDeviceSource();
}

u32 a3d_stream_c::RefillThread()
{
    const auto period = std::chrono::milliseconds(GetRefillPeriod());
    while (_running.load()) {
        std::this_thread::sleep_for(period);
        _thread->SuspendPoint();
        if (!_running.load())
            break;
        Update();
        ++_refill_passes;
    }
    return 0;
}

bool a3d_stream_c::Played(int _segment)
{
    return _events[static_cast<size_t>(_segment)]->Wait(0);
}

bool a3d_stream_c::Update()
{
    critical_section_lock_c lock(_lock.get());
    if (_events.empty() || !IsPlaying())
        return false;
    int first = 0;
    for (int i = _current_segment; i < _segment_count; ++i) {
        if (!Played(i))
            break;
        if (i == _end_segment) {
            Stop();
            _ended = true;
            return false;
        }
        ++first;
    }
    if (first == 0)
        return true;
    int wrapped = 0;
    // Play can only have wrapped when it passed the last segment.
    if (_current_segment > 0 && _current_segment + first == _segment_count) {
        for (int i = 0; i < _current_segment; ++i) {
            if (!Played(i))
                break;
            if (i == _end_segment) {
                Stop();
                _ended = true;
                return false;
            }
            ++wrapped;
        }
    }
    const u32 size = static_cast<u32>(_segment_size);
    u32 bytes = FillBuffer(static_cast<u32>(_current_segment) * size, static_cast<u32>(first) * size);
    if (wrapped > 0)
        bytes += FillBuffer(0, static_cast<u32>(wrapped) * size);
    if (_end_segment == -1 && bytes < static_cast<u32>(first + wrapped) * size) {
        _end_segment = _current_segment + static_cast<int>(bytes / size);
        if (_end_segment >= _segment_count)
            _end_segment -= _segment_count;
    }
    _current_segment += first + wrapped;
    if (_current_segment >= _segment_count)
        _current_segment -= _segment_count;
    return true;
}

bool a3d_stream_c::Restart()
{
    if (_source == nullptr || !DataSeek(0.0f) || _source->Rewind() != A3D_OK)
        return false;
    for (int i = 0; i < _segment_count; ++i)
        Played(i);
    _current_segment = 0;
    _end_segment = -1;
    _ended = false;
    FillRing();
    return true;
}

bool a3d_stream_c::Play()
{
    critical_section_lock_c lock(_lock.get());
    if (_source == nullptr)
        return false;
    if (_ended && !Restart())
        return false;
    bool played = _source->Play(A3D_LOOPED) == A3D_OK && _device->Update();
    if (played && _thread && !_resumed) {
        _thread->Resume();
        _resumed = true;
    }
    _playing = played;
    return played;
}

bool a3d_stream_c::Stop()
{
    critical_section_lock_c lock(_lock.get());
    if (_source == nullptr)
        return false;
    // The thread itself stopping at the end stays resumed and idle.
    if (_thread && _resumed && !_thread->IsCurrent()) {
        _thread->Suspend();
        _resumed = false;
    }
    bool stopped = _source->Stop() == A3D_OK && _device->Update();
    if (stopped)
        _playing = false;
    return stopped;
}

bool a3d_stream_c::IsPlaying()
{
    return _playing.load();
}

bool a3d_stream_c::SetLoopStart(float _seconds)
{
    critical_section_lock_c lock(_lock.get());
    return DataSetLoopStart(_seconds);
}

bool a3d_stream_c::SetLooping(bool _looping)
{
    critical_section_lock_c lock(_lock.get());
    return DataSetLooping(_looping);
}

bool a3d_stream_c::Seek(float _seconds)
{
    critical_section_lock_c lock(_lock.get());
    if (!DataSeek(_seconds))
        return false;
    // New data follows, so an end met before no longer stops play.
    _end_segment = -1;
    return true;
}

bool a3d_stream_c::SetPitch(float _pitch)
{
    critical_section_lock_c lock(_lock.get());
    return a3d_sound_c::SetPitch(_pitch);
}

bool a3d_stream_c::SetVolume(float _decibels)
{
    critical_section_lock_c lock(_lock.get());
    return a3d_sound_c::SetVolume(_decibels);
}

bool a3d_stream_c::SetPan(float _decibels)
{
    critical_section_lock_c lock(_lock.get());
    return a3d_sound_c::SetPan(_decibels);
}

bool a3d_stream_c::SetMinDistance(float _distance)
{
    critical_section_lock_c lock(_lock.get());
    return a3d_sound_c::SetMinDistance(_distance);
}

bool a3d_stream_c::SetPosition(const vec3_c* _position)
{
    critical_section_lock_c lock(_lock.get());
    return a3d_sound_c::SetPosition(_position);
}

bool a3d_stream_c::SetVelocity(const vec3_c* _velocity)
{
    critical_section_lock_c lock(_lock.get());
    return a3d_sound_c::SetVelocity(_velocity);
}

bool a3d_stream_c::SetUnitParameter(float _value)
{
    critical_section_lock_c lock(_lock.get());
    return a3d_sound_c::SetUnitParameter(_value);
}
