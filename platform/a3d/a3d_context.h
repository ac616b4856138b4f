#pragma once
// What the device's parts share inside the layer: the OpenAL device and
// context, the process-wide lock every call holds, the data that a source
// and its duplicates share, and the conversion of PCM for the voices.
#define AL_ALEXT_PROTOTYPES
#include <AL/al.h>
#include <AL/alc.h>
#include <AL/alext.h>

#include <atomic>
#include <condition_variable>
#include <mutex>
#include <thread>

#include "platform/a3d/a3d.h"

// Every call of the layer holds this lock, so OpenAL's current context and
// the sources' data are used by one thread at a time.
std::recursive_mutex& A3dLock();

struct a3d_context_c {
    ALCdevice* device = nullptr;
    ALCcontext* context = nullptr;
    bool loopback = false;
    u32 rate = 0;

    // System devices: a thread moves ring play on, as loopback rendering does.
    std::thread service;
    std::mutex service_mutex;
    std::condition_variable service_wake;
    bool service_stop = false;
};

// Holds the lock and makes the device's context current for OpenAL calls.
class a3d_scope_c {
public:
    explicit a3d_scope_c(const a3d_context_c* _context);
    ~a3d_scope_c() = default;

private:
    std::lock_guard<std::recursive_mutex> _lock;
};

// The data of a source and its duplicates.
struct a3d_shared_data_c {
    a3d_wave_format_c format;
    bool two_d = false;
    std::vector<u8> bytes;
    // Static play: what the buffers hold, and which upload that is.
    std::vector<u8> uploaded;
    ALuint buffers[2] = {0, 0};
    u32 version = 0;
    bool dirty = true;

    ~a3d_shared_data_c();
};

// Puts PCM into the buffers of a source's voices: a 3D source gets the data
// as it is; a 2D source two stereo 16-bit buffers, one holding the left
// output's samples and one the right's, so each has its own gain.
bool A3dUploadPcm(const ALuint* _buffers, bool _two_d, const a3d_wave_format_c& _format, const u8* _data, u32 _bytes);

// A3D_OK when OpenAL reported no error since the last check.
a3d_result A3dCheck(a3d_result _failure = A3DERR_AUDIO_LIBRARY);
