#include <algorithm>
#include <cstring>

#include "platform/a3d/a3d_context.h"

a3d_shared_data_c::~a3d_shared_data_c()
{
    for (ALuint buffer : buffers)
        if (buffer != 0)
            alDeleteBuffers(1, &buffer);
}

bool A3dUploadPcm(const ALuint* _buffers, bool _two_d, const a3d_wave_format_c& _format, const u8* _data, u32 _bytes)
{
    const u32 frames = _bytes / _format.block_align;
    const ALsizei rate = static_cast<ALsizei>(_format.samples_per_second);
    const bool eight = _format.bits_per_sample == 8;
    if (!_two_d) {
        ALenum format = _format.channels == 1 ? (eight ? AL_FORMAT_MONO8 : AL_FORMAT_MONO16)
                                              : (eight ? AL_FORMAT_STEREO8 : AL_FORMAT_STEREO16);
        alBufferData(_buffers[0], format, _data, static_cast<ALsizei>(frames * _format.block_align), rate);
        return A3dCheck() == A3D_OK;
    }
    std::vector<i16> left(static_cast<size_t>(frames) * 2, 0), right(left.size(), 0);
    auto sample = [&](size_t index) -> i16 {
        if (eight)
            return static_cast<i16>((static_cast<int>(_data[index]) - 128) * 256);
        i16 value;
        std::memcpy(&value, _data + index * 2, 2);
        return value;
    };
    const size_t channels = _format.channels;
    for (size_t frame = 0; frame < frames; ++frame) {
        left[frame * 2] = sample(frame * channels);
        right[frame * 2 + 1] = sample(frame * channels + channels - 1);
    }
    const ALsizei size = static_cast<ALsizei>(left.size() * sizeof(i16));
    alBufferData(_buffers[0], AL_FORMAT_STEREO16, left.data(), size, rate);
    alBufferData(_buffers[1], AL_FORMAT_STEREO16, right.data(), size, rate);
    return A3dCheck() == A3D_OK;
}

a3d_source_c::a3d_source_c(a3d_c* _device, u32 _flags) : _device(_device), _flags(_flags) {}

a3d_source_c::~a3d_source_c()
{
    std::lock_guard<std::recursive_mutex> lock(A3dLock());
    if (!IsAlive())
        return;
    a3d_scope_c scope(_device->_context.get());
    auto& sources = _device->_sources;
    sources.erase(std::remove(sources.begin(), sources.end(), this), sources.end());
    Detach();
}

a3d_result a3d_source_c::CreateVoices()
{
    alGenSources(Voices(), _voices);
    if (A3dCheck() != A3D_OK) {
        _voices[0] = _voices[1] = 0;
        return A3DERR_OUT_OF_SOURCES;
    }
    for (int v = 0; v < Voices(); ++v) {
        if (Is2d()) {
            alSourcei(_voices[v], AL_SOURCE_RELATIVE, AL_TRUE);
            alSource3f(_voices[v], AL_POSITION, 0, 0, 0);
            alSourcef(_voices[v], AL_ROLLOFF_FACTOR, 0);
            alSourcei(_voices[v], AL_DIRECT_CHANNELS_SOFT, AL_TRUE);
        }
    }
    ApplyDistance();
    return A3dCheck();
}

void a3d_source_c::Detach()
{
    if (IsQueued())
        StopQueue();
    alDeleteSources(Voices(), _voices);
    _voices[0] = _voices[1] = 0;
    for (const queued_c& queued : _queue)
        alDeleteBuffers(Voices(), queued.buffers);
    _queue.clear();
    if (!_free_buffers.empty())
        alDeleteBuffers(static_cast<ALsizei>(_free_buffers.size()), _free_buffers.data());
    _free_buffers.clear();
    _data.reset();
    _device = nullptr;
    alGetError();
}

#define A3D_ALIVE()                                                                                                    \
    if (!IsAlive())                                                                                                    \
        return A3DERR_NOT_INITIALIZED;                                                                                 \
    a3d_scope_c scope(_device->_context.get())

a3d_result a3d_source_c::SetWaveFormat(const a3d_wave_format_c& _format)
{
    A3D_ALIVE();
    if (_data)
        return A3DERR_ALREADY_INITIALIZED;
    const bool valid = _format.format_tag == 1 && (_format.channels == 1 || _format.channels == 2) &&
                       (_format.bits_per_sample == 8 || _format.bits_per_sample == 16) &&
                       _format.samples_per_second > 0 &&
                       _format.block_align == _format.channels * _format.bits_per_sample / 8;
    if (!valid)
        return A3DERR_INVALID_PARAM;
    _format_set = _format;
    _has_format = true;
    return A3D_OK;
}

a3d_result a3d_source_c::GetWaveFormat(a3d_wave_format_c* _format) const
{
    if (_format == nullptr)
        return A3DERR_INVALID_PARAM;
    std::lock_guard<std::recursive_mutex> lock(A3dLock());
    if (_data) {
        *_format = _data->format;
        return A3D_OK;
    }
    if (!_has_format)
        return A3DERR_NO_FORMAT;
    *_format = _format_set;
    return A3D_OK;
}

a3d_result a3d_source_c::AllocateAudioData(u32 _bytes)
{
    A3D_ALIVE();
    if (_data)
        return A3DERR_ALREADY_INITIALIZED;
    if (!_has_format)
        return A3DERR_NO_FORMAT;
    const u32 frames = _bytes / _format_set.block_align;
    if (frames == 0)
        return A3DERR_INVALID_PARAM;
    auto data = std::make_shared<a3d_shared_data_c>();
    data->format = _format_set;
    data->two_d = Is2d();
    alGenBuffers(Voices(), data->buffers);
    if (A3dCheck() != A3D_OK) {
        data->buffers[0] = data->buffers[1] = 0;
        return A3DERR_AUDIO_LIBRARY;
    }
    const u8 silence = _format_set.bits_per_sample == 8 ? 0x80 : 0;
    data->bytes.assign(static_cast<size_t>(frames) * _format_set.block_align, silence);
    _data = std::move(data);
    _attached_version = 0;
    return A3D_OK;
}

a3d_result a3d_source_c::FreeAudioData()
{
    A3D_ALIVE();
    if (!_data)
        return A3DERR_NO_DATA;
    if (IsQueued())
        StopQueue();
    alSourceStopv(Voices(), _voices);
    for (int v = 0; v < Voices(); ++v)
        alSourcei(_voices[v], AL_BUFFER, 0);
    _attached_version = 0;
    _data.reset();
    return A3dCheck();
}

a3d_result a3d_source_c::GetAudioSize(u32* _bytes) const
{
    if (_bytes == nullptr)
        return A3DERR_INVALID_PARAM;
    std::lock_guard<std::recursive_mutex> lock(A3dLock());
    if (!_data)
        return A3DERR_NO_DATA;
    *_bytes = static_cast<u32>(_data->bytes.size());
    return A3D_OK;
}

a3d_result a3d_source_c::Lock(u32 _offset, u32 _bytes, void** _part1, u32* _size1, void** _part2, u32* _size2)
{
    if (_part1 == nullptr || _size1 == nullptr)
        return A3DERR_INVALID_PARAM;
    A3dLock().lock();
    const u64 size = _data ? _data->bytes.size() : 0;
    a3d_result result = A3D_OK;
    if (!IsAlive())
        result = A3DERR_NOT_INITIALIZED;
    else if (!_data)
        result = A3DERR_NO_DATA;
    else if (_offset >= size || _bytes == 0 || _bytes > size)
        result = A3DERR_INVALID_PARAM;
    if (result != A3D_OK) {
        A3dLock().unlock();
        return result;
    }
    const u64 first = std::min<u64>(_bytes, size - _offset);
    *_part1 = _data->bytes.data() + _offset;
    *_size1 = static_cast<u32>(first);
    if (_part2 != nullptr)
        *_part2 = first < _bytes ? _data->bytes.data() : nullptr;
    if (_size2 != nullptr)
        *_size2 = static_cast<u32>(_bytes - first);
    return A3D_OK;
}

a3d_result a3d_source_c::Unlock(void*, u32, void*, u32)
{
    // The lock taken by Lock is held until here.
    if (_data && !IsQueued())
        _data->dirty = _data->dirty || _data->uploaded != _data->bytes;
    A3dLock().unlock();
    return A3D_OK;
}

a3d_result a3d_source_c::UploadStatic()
{
    a3d_shared_data_c& data = *_data;
    if (!data.dirty)
        return A3D_OK;
    // Our own voices let go of the buffers first; a playing duplicate keeps them.
    if (!AnyVoicePlaying()) {
        alSourceStopv(Voices(), _voices);
        for (int v = 0; v < Voices(); ++v)
            alSourcei(_voices[v], AL_BUFFER, 0);
        _attached_version = 0;
    }
    alGetError();
    if (!A3dUploadPcm(data.buffers, data.two_d, data.format, data.bytes.data(), static_cast<u32>(data.bytes.size())))
        return A3DERR_BUFFER_IN_USE;
    data.uploaded = data.bytes;
    data.dirty = false;
    ++data.version;
    return A3D_OK;
}

a3d_result a3d_source_c::AttachStaticData()
{
    if (!_data)
        return A3DERR_NO_DATA;
    a3d_result result = UploadStatic();
    if (result != A3D_OK)
        return result;
    if (_attached_version == _data->version)
        return A3D_OK;
    alSourceStopv(Voices(), _voices);
    for (int v = 0; v < Voices(); ++v)
        alSourcei(_voices[v], AL_BUFFER, static_cast<ALint>(_data->buffers[v]));
    if (A3dCheck() != A3D_OK)
        return A3DERR_AUDIO_LIBRARY;
    _attached_version = _data->version;
    return A3D_OK;
}

bool a3d_source_c::AnyVoicePlaying() const
{
    for (int v = 0; v < Voices(); ++v) {
        ALint state = AL_STOPPED;
        alGetSourcei(_voices[v], AL_SOURCE_STATE, &state);
        if (state == AL_PLAYING)
            return true;
    }
    return false;
}

a3d_result a3d_source_c::SetNotifications(u32 _count, const u32* _positions, event_c* const* _events)
{
    A3D_ALIVE();
    if (_count == 0 || _positions == nullptr || _events == nullptr)
        return A3DERR_INVALID_PARAM;
    if (!_data)
        return A3DERR_NO_DATA;
    if (_playing || AnyVoicePlaying())
        return A3DERR_PLAYING;
    const u32 size = static_cast<u32>(_data->bytes.size());
    const u32 align = _data->format.block_align;
    std::vector<notification_c> notifications;
    std::vector<u32> bounds = {0};
    for (u32 i = 0; i < _count; ++i) {
        if (_positions[i] >= size || _positions[i] % align != 0 || _events[i] == nullptr)
            return A3DERR_INVALID_PARAM;
        notifications.push_back({_positions[i], _events[i]});
        bounds.push_back(_positions[i]);
    }
    std::sort(bounds.begin(), bounds.end());
    bounds.erase(std::unique(bounds.begin(), bounds.end()), bounds.end());
    if (IsQueued())
        StopQueue();
    alSourceStopv(Voices(), _voices);
    for (int v = 0; v < Voices(); ++v)
        alSourcei(_voices[v], AL_BUFFER, 0);
    _attached_version = 0;
    _notifications = std::move(notifications);
    _bounds = std::move(bounds);
    _next_segment = 0;
    return A3dCheck();
}

a3d_result a3d_source_c::ClearNotifications()
{
    A3D_ALIVE();
    if (IsQueued())
        StopQueue();
    _notifications.clear();
    _bounds.clear();
    return A3D_OK;
}

void a3d_source_c::StopQueue()
{
    alSourceStopv(Voices(), _voices);
    for (int v = 0; v < Voices(); ++v)
        alSourcei(_voices[v], AL_BUFFER, 0);
    for (const queued_c& queued : _queue)
        _free_buffers.insert(_free_buffers.end(), queued.buffers, queued.buffers + Voices());
    _queue.clear();
    _next_segment = 0;
    _playing = false;
    _ending = false;
    alGetError();
}

a3d_result a3d_source_c::QueueSegments()
{
    const u32 segments = static_cast<u32>(_bounds.size());
    const u32 depth = std::max<u32>(1, segments / 2);
    const u32 size = static_cast<u32>(_data->bytes.size());
    while (_queue.size() < depth && !_ending) {
        const u32 segment = _next_segment;
        const u32 begin = _bounds[segment];
        const u32 end = segment + 1 < segments ? _bounds[segment + 1] : size;
        queued_c queued{segment, {0, 0}};
        for (int v = 0; v < Voices(); ++v) {
            if (_free_buffers.empty()) {
                alGenBuffers(1, &queued.buffers[v]);
            } else {
                queued.buffers[v] = _free_buffers.back();
                _free_buffers.pop_back();
            }
        }
        if (A3dCheck() != A3D_OK ||
            !A3dUploadPcm(queued.buffers, Is2d(), _data->format, _data->bytes.data() + begin, end - begin)) {
            for (int v = 0; v < Voices(); ++v)
                if (queued.buffers[v] != 0)
                    _free_buffers.push_back(queued.buffers[v]);
            return A3DERR_AUDIO_LIBRARY;
        }
        for (int v = 0; v < Voices(); ++v)
            alSourceQueueBuffers(_voices[v], 1, &queued.buffers[v]);
        _queue.push_back(queued);
        _next_segment = (segment + 1) % segments;
        if (_next_segment == 0 && !_looped)
            _ending = true;
    }
    return A3dCheck();
}

void a3d_source_c::Service()
{
    if (!IsQueued() || !_playing)
        return;
    ALint processed = 1 << 30;
    for (int v = 0; v < Voices(); ++v) {
        ALint count = 0;
        alGetSourcei(_voices[v], AL_BUFFERS_PROCESSED, &count);
        processed = std::min(processed, count);
    }
    const u32 segments = static_cast<u32>(_bounds.size());
    const u32 size = static_cast<u32>(_data->bytes.size());
    for (ALint i = 0; i < processed && !_queue.empty(); ++i) {
        queued_c played = _queue.front();
        _queue.erase(_queue.begin());
        for (int v = 0; v < Voices(); ++v) {
            ALuint buffer = 0;
            alSourceUnqueueBuffers(_voices[v], 1, &buffer);
            _free_buffers.push_back(buffer);
        }
        const u32 end = played.segment + 1 < segments ? _bounds[played.segment + 1] : size;
        for (const notification_c& notification : _notifications)
            if (notification.position == end % size)
                notification.event->Set();
    }
    QueueSegments();
    if (!AnyVoicePlaying()) {
        if (_queue.empty()) {
            // A single play has reached the end of the data.
            StopQueue();
        } else {
            alSourcePlayv(Voices(), _voices);
        }
    }
    alGetError();
}

a3d_result a3d_source_c::Play(u32 _mode)
{
    A3D_ALIVE();
    if (_mode != A3D_SINGLE && _mode != A3D_LOOPED)
        return A3DERR_INVALID_PARAM;
    if (!_data)
        return A3DERR_NO_DATA;
    if (IsQueued()) {
        _looped = _mode == A3D_LOOPED;
        if (_looped)
            _ending = false;
        if (_playing)
            return A3D_OK;
        a3d_result result = QueueSegments();
        if (result != A3D_OK)
            return result;
        alSourcePlayv(Voices(), _voices);
        if (A3dCheck() != A3D_OK)
            return A3DERR_AUDIO_LIBRARY;
        _playing = true;
        return A3D_OK;
    }
    a3d_result result = AttachStaticData();
    if (result != A3D_OK)
        return result;
    for (int v = 0; v < Voices(); ++v)
        alSourcei(_voices[v], AL_LOOPING, _mode == A3D_LOOPED);
    if (!AnyVoicePlaying())
        alSourcePlayv(Voices(), _voices);
    return A3dCheck();
}

a3d_result a3d_source_c::Stop()
{
    A3D_ALIVE();
    if (AnyVoicePlaying())
        alSourcePausev(Voices(), _voices);
    _playing = false;
    return A3dCheck();
}

a3d_result a3d_source_c::Rewind()
{
    A3D_ALIVE();
    if (IsQueued()) {
        if (_playing)
            return A3DERR_PLAYING;
        StopQueue();
        return A3D_OK;
    }
    const bool playing = AnyVoicePlaying();
    alSourceRewindv(Voices(), _voices);
    if (playing)
        alSourcePlayv(Voices(), _voices);
    return A3dCheck();
}

a3d_result a3d_source_c::GetStatus(u32* _status) const
{
    if (_status == nullptr)
        return A3DERR_INVALID_PARAM;
    if (!IsAlive())
        return A3DERR_NOT_INITIALIZED;
    a3d_scope_c scope(_device->_context.get());
    const bool playing = IsQueued() ? _playing : AnyVoicePlaying();
    *_status = playing ? A3D_STATUS_PLAYING : 0;
    return A3dCheck();
}

a3d_result a3d_source_c::SetPlayPosition(f32 _seconds)
{
    A3D_ALIVE();
    if (!(_seconds >= 0))
        return A3DERR_INVALID_PARAM;
    if (IsQueued())
        return A3DERR_UNSUPPORTED;
    a3d_result result = AttachStaticData();
    if (result != A3D_OK)
        return result;
    const f64 frames = static_cast<f64>(_data->bytes.size() / _data->format.block_align);
    if (_seconds * static_cast<f64>(_data->format.samples_per_second) >= frames)
        return A3DERR_INVALID_PARAM;
    for (int v = 0; v < Voices(); ++v)
        alSourcef(_voices[v], AL_SEC_OFFSET, _seconds);
    return A3dCheck();
}

a3d_result a3d_source_c::GetPlayPosition(f32* _seconds) const
{
    if (_seconds == nullptr)
        return A3DERR_INVALID_PARAM;
    if (!IsAlive())
        return A3DERR_NOT_INITIALIZED;
    a3d_scope_c scope(_device->_context.get());
    alGetSourcef(_voices[0], AL_SEC_OFFSET, _seconds);
    return A3dCheck();
}

a3d_result a3d_source_c::SetPitch(f32 _value)
{
    A3D_ALIVE();
    if (!(_value >= 0))
        return A3DERR_INVALID_PARAM;
    _pitch = _value;
    for (int v = 0; v < Voices(); ++v)
        alSourcef(_voices[v], AL_PITCH, _pitch);
    return A3dCheck();
}

void a3d_source_c::ApplyGains()
{
    if (Is2d()) {
        alSourcef(_voices[0], AL_GAIN, _gain * _pan_left);
        alSourcef(_voices[1], AL_GAIN, _gain * _pan_right);
    } else {
        alSourcef(_voices[0], AL_GAIN, _gain);
    }
}

a3d_result a3d_source_c::SetGain(f32 _value)
{
    A3D_ALIVE();
    if (!(_value >= 0))
        return A3DERR_INVALID_PARAM;
    _gain = _value;
    ApplyGains();
    return A3dCheck();
}

a3d_result a3d_source_c::SetPanValues(f32 _left, f32 _right)
{
    A3D_ALIVE();
    if (!Is2d())
        return A3DERR_UNSUPPORTED;
    if (!(_left >= 0) || !(_right >= 0))
        return A3DERR_INVALID_PARAM;
    _pan_left = _left;
    _pan_right = _right;
    ApplyGains();
    return A3dCheck();
}

void a3d_source_c::ApplyDistance()
{
    if (Is2d())
        return;
    alSourcef(_voices[0], AL_REFERENCE_DISTANCE, _min_distance);
    alSourcef(_voices[0], AL_MAX_DISTANCE, _max_distance);
    alSourcef(_voices[0], AL_ROLLOFF_FACTOR, _device->_rolloff);
}

a3d_result a3d_source_c::SetMinMaxDistance(f32 _min, f32 _max, u32 _mode)
{
    A3D_ALIVE();
    if (Is2d())
        return A3DERR_UNSUPPORTED;
    if (!(_min >= 0) || !(_max >= _min) || _mode != A3D_HOLD_BEYOND_MAX)
        return A3DERR_INVALID_PARAM;
    _min_distance = _min;
    _max_distance = _max;
    _distance_mode = _mode;
    ApplyDistance();
    return A3dCheck();
}

a3d_result a3d_source_c::SetPosition3f(f32 _x, f32 _y, f32 _z)
{
    A3D_ALIVE();
    if (Is2d())
        return A3DERR_UNSUPPORTED;
    _position = {_x, _y, _z};
    alSource3f(_voices[0], AL_POSITION, _x, _y, _device->Flip() ? -_z : _z);
    return A3dCheck(A3DERR_INVALID_PARAM);
}

a3d_result a3d_source_c::SetVelocity3f(f32 _x, f32 _y, f32 _z)
{
    A3D_ALIVE();
    if (Is2d())
        return A3DERR_UNSUPPORTED;
    _velocity = {_x, _y, _z};
    alSource3f(_voices[0], AL_VELOCITY, _x, _y, _device->Flip() ? -_z : _z);
    return A3dCheck(A3DERR_INVALID_PARAM);
}

a3d_result a3d_source_c::SetPriority(f32 _value)
{
    std::lock_guard<std::recursive_mutex> lock(A3dLock());
    if (!(_value >= 0 && _value <= 1))
        return A3DERR_INVALID_PARAM;
    _priority = _value;
    return A3D_OK;
}

#define A3D_GET(check)                                                                                                 \
    std::lock_guard<std::recursive_mutex> lock(A3dLock());                                                             \
    if (!(check))                                                                                                      \
    return A3DERR_INVALID_PARAM

a3d_result a3d_source_c::GetPitch(f32* _value) const
{
    A3D_GET(_value != nullptr);
    *_value = _pitch;
    return A3D_OK;
}

a3d_result a3d_source_c::GetGain(f32* _value) const
{
    A3D_GET(_value != nullptr);
    *_value = _gain;
    return A3D_OK;
}

a3d_result a3d_source_c::GetPanValues(f32* _left, f32* _right) const
{
    A3D_GET(_left != nullptr && _right != nullptr);
    *_left = _pan_left;
    *_right = _pan_right;
    return A3D_OK;
}

a3d_result a3d_source_c::GetMinMaxDistance(f32* _min, f32* _max, u32* _mode) const
{
    A3D_GET(_min != nullptr && _max != nullptr && _mode != nullptr);
    *_min = _min_distance;
    *_max = _max_distance;
    *_mode = _distance_mode;
    return A3D_OK;
}

a3d_result a3d_source_c::GetPosition3f(f32* _x, f32* _y, f32* _z) const
{
    A3D_GET(_x != nullptr && _y != nullptr && _z != nullptr);
    *_x = _position.x;
    *_y = _position.y;
    *_z = _position.z;
    return A3D_OK;
}

a3d_result a3d_source_c::GetVelocity3f(f32* _x, f32* _y, f32* _z) const
{
    A3D_GET(_x != nullptr && _y != nullptr && _z != nullptr);
    *_x = _velocity.x;
    *_y = _velocity.y;
    *_z = _velocity.z;
    return A3D_OK;
}

a3d_result a3d_source_c::GetPriority(f32* _value) const
{
    A3D_GET(_value != nullptr);
    *_value = _priority;
    return A3D_OK;
}
