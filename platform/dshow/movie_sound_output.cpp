#include "platform/dshow/movie_sound_output.h"

#include <AL/al.h>
#include <AL/alc.h>

#include <vector>

namespace {

using set_thread_context_t = ALCboolean(ALC_APIENTRY*)(ALCcontext*);

set_thread_context_t ThreadContextCall()
{
    static const auto call =
        alcIsExtensionPresent(nullptr, "ALC_EXT_thread_local_context")
            ? reinterpret_cast<set_thread_context_t>(alcGetProcAddress(nullptr, "alcSetThreadContext"))
            : nullptr;
    return call;
}

} // namespace

struct movie_sound_output_c::state_s {
    ALCdevice* device = nullptr;
    ALCcontext* context = nullptr;
    ALuint source = 0;
    std::vector<ALuint> free_buffers;
    std::vector<std::pair<ALuint, double>> queued; // buffer, seconds
    i32 rate = 0;
    i32 channels = 0;

    // Finished buffers come back for reuse.
    void Reclaim()
    {
        ALint done = 0;
        alGetSourcei(source, AL_BUFFERS_PROCESSED, &done);
        while (done-- > 0 && !queued.empty()) {
            ALuint buffer = 0;
            alSourceUnqueueBuffers(source, 1, &buffer);
            free_buffers.push_back(buffer);
            queued.erase(queued.begin());
        }
    }
};

movie_sound_output_c::movie_sound_output_c(i32 rate, i32 channels) : _state(std::make_unique<state_s>())
{
    state_s& s = *_state;
    set_thread_context_t setThreadContext = ThreadContextCall();
    if (!setThreadContext || rate <= 0 || channels < 1 || channels > 2)
        return;
    s.device = alcOpenDevice(nullptr);
    if (!s.device)
        return;
    s.context = alcCreateContext(s.device, nullptr);
    if (!s.context || !setThreadContext(s.context)) {
        if (s.context)
            alcDestroyContext(s.context);
        alcCloseDevice(s.device);
        s.context = nullptr;
        s.device = nullptr;
        return;
    }
    alGenSources(1, &s.source);
    s.rate = rate;
    s.channels = channels;
}

movie_sound_output_c::~movie_sound_output_c()
{
    state_s& s = *_state;
    if (!s.context)
        return;
    alSourceStop(s.source);
    alSourcei(s.source, AL_BUFFER, 0);
    alDeleteSources(1, &s.source);
    for (const auto& [buffer, seconds] : s.queued)
        alDeleteBuffers(1, &buffer);
    if (!s.free_buffers.empty())
        alDeleteBuffers(static_cast<ALsizei>(s.free_buffers.size()), s.free_buffers.data());
    ThreadContextCall()(nullptr);
    alcDestroyContext(s.context);
    alcCloseDevice(s.device);
}

bool movie_sound_output_c::IsOpen() const
{
    return _state->context != nullptr;
}

double movie_sound_output_c::GetQueued()
{
    state_s& s = *_state;
    if (!s.context)
        return 0;
    s.Reclaim();
    double seconds = 0;
    for (const auto& [buffer, length] : s.queued)
        seconds += length;
    ALint state = AL_STOPPED;
    alGetSourcei(s.source, AL_SOURCE_STATE, &state);
    return state == AL_PLAYING || state == AL_PAUSED ? seconds : 0.0;
}

void movie_sound_output_c::Queue(const i16* samples, size_t frames)
{
    state_s& s = *_state;
    if (!s.context || frames == 0)
        return;
    s.Reclaim();
    ALuint buffer = 0;
    if (!s.free_buffers.empty()) {
        buffer = s.free_buffers.back();
        s.free_buffers.pop_back();
    } else {
        alGenBuffers(1, &buffer);
    }
    const ALenum format = s.channels == 2 ? AL_FORMAT_STEREO16 : AL_FORMAT_MONO16;
    alBufferData(buffer, format, samples, static_cast<ALsizei>(frames * static_cast<size_t>(s.channels) * 2), s.rate);
    alSourceQueueBuffers(s.source, 1, &buffer);
    s.queued.emplace_back(buffer, static_cast<double>(frames) / s.rate);
    ALint state = AL_STOPPED;
    alGetSourcei(s.source, AL_SOURCE_STATE, &state);
    if (state != AL_PLAYING)
        alSourcePlay(s.source);
}
