#pragma once
// The 3D-audio device the audio library plays through: one device object, its
// listener, and sources that hold PCM data, play it once or looped, place it
// in space and signal events as play passes given byte positions.
//
// Built on OpenAL Soft. Every call returns A3D_OK (0) or a negative A3DERR_
// code; nothing throws. All calls are serialised by one process-wide lock, so
// sources may be used from several threads.
//
// Sources are 2D (A3DSOURCE_2D: the channels go straight to the left and
// right outputs, with a gain for each) or 3D (placed in space; mono data is
// positioned, and distance follows the inverse-distance-clamped rule
// gain = 1 / (1 + rolloff * (distance / min - 1)) for min <= distance <= max).
//
// A source with notifications plays its data as a ring of segments whose
// boundaries are the notification positions; each segment is taken from the
// data when it is queued for play, about half the ring ahead, so a segment
// rewritten soon after its event was signalled is heard in its new form.
#include <memory>
#include <mutex>
#include <vector>

#include "foundation/types.h"
#include "platform/win32/threads.h"

using a3d_result = i32;

constexpr a3d_result A3D_OK = 0;
constexpr a3d_result A3DERR_INVALID_PARAM = -1;
constexpr a3d_result A3DERR_NOT_INITIALIZED = -2;
constexpr a3d_result A3DERR_ALREADY_INITIALIZED = -3;
constexpr a3d_result A3DERR_NO_DEVICE = -4;
constexpr a3d_result A3DERR_OUT_OF_SOURCES = -5;
constexpr a3d_result A3DERR_NO_FORMAT = -6;
constexpr a3d_result A3DERR_NO_DATA = -7;
constexpr a3d_result A3DERR_BUFFER_IN_USE = -8;
constexpr a3d_result A3DERR_PLAYING = -9;
constexpr a3d_result A3DERR_UNSUPPORTED = -10;
constexpr a3d_result A3DERR_AUDIO_LIBRARY = -11;

// Source creation flag: a 2D source; without it the source is placed in 3D.
constexpr u32 A3DSOURCE_2D = 1;
// Play modes.
constexpr u32 A3D_SINGLE = 0;
constexpr u32 A3D_LOOPED = 1;
// Status bit: the source is playing.
constexpr u32 A3D_STATUS_PLAYING = 1;
// Coordinate systems: right-handed (the start) or left-handed, x right, y up
// and z ahead, as the renderer uses.
constexpr u32 A3D_RIGHT_HANDED_CS = 0;
constexpr u32 A3D_LEFT_HANDED_CS = 1;
// Distance mode: beyond the maximum distance the gain stays as it is there.
constexpr u32 A3D_HOLD_BEYOND_MAX = 1;

// PCM format: the 18-byte wave format record's fields.
struct a3d_wave_format_c {
    u16 format_tag = 1; // 1 = PCM, the only kind accepted
    u16 channels = 0;
    u32 samples_per_second = 0;
    u32 average_bytes_per_second = 0;
    u16 block_align = 0;
    u16 bits_per_sample = 0;
    u16 extra_size = 0;
};

struct a3d_vector_c {
    f32 x = 0, y = 0, z = 0;
};

class a3d_c;
struct a3d_shared_data_c;
struct a3d_context_c;

class a3d_source_c {
public:
    ~a3d_source_c();
    a3d_source_c(const a3d_source_c&) = delete;
    a3d_source_c& operator=(const a3d_source_c&) = delete;

    // Format of the data: PCM, 1 or 2 channels, 8 or 16 bits, block alignment
    // channels * bits / 8. Not after the data was allocated.
    a3d_result SetWaveFormat(const a3d_wave_format_c& _format);
    a3d_result GetWaveFormat(a3d_wave_format_c* _format) const;
    // Allocates silent data of whole sample frames (bytes rounded down);
    // needs the format. Duplicates share this data.
    a3d_result AllocateAudioData(u32 _bytes);
    // Drops this source's share of the data; the data lives while a duplicate
    // still uses it.
    a3d_result FreeAudioData();
    a3d_result GetAudioSize(u32* _bytes) const;

    // Gives write access to bytes [offset, offset + bytes) of the data: the
    // first part up to the end of the data, the second part the rest from its
    // start. Every successful Lock must be followed by Unlock on the same
    // thread; no other call of the device runs in between.
    a3d_result Lock(u32 _offset, u32 _bytes, void** _part1, u32* _size1, void** _part2, u32* _size2);
    // Ends a Lock. Changed data of a source without notifications is heard
    // from its next Play, which gives A3DERR_BUFFER_IN_USE while another
    // source sharing the data plays the old bytes or is stopped inside them.
    a3d_result Unlock(void* _part1, u32 _size1, void* _part2, u32 _size2);

    // Signals each event when play passes its byte position; position 0 means
    // the end of the data (the wrap of a looped play). Not while playing.
    a3d_result SetNotifications(u32 _count, const u32* _positions, event_c* const* _events);
    // Removes the notifications; a playing source with notifications stops.
    a3d_result ClearNotifications();

    a3d_result Play(u32 _mode);
    // Stops and keeps the play position: a later Play continues there.
    a3d_result Stop();
    // Back to the start of the data.
    a3d_result Rewind();
    a3d_result GetStatus(u32* _status) const;
    // Play position in seconds of data; not for sources with notifications.
    a3d_result SetPlayPosition(f32 _seconds);
    a3d_result GetPlayPosition(f32* _seconds) const;

    // Rate factor, >= 0.
    a3d_result SetPitch(f32 _pitch);
    a3d_result GetPitch(f32* _pitch) const;
    // Linear gain, >= 0.
    a3d_result SetGain(f32 _gain);
    a3d_result GetGain(f32* _gain) const;
    // Left and right gains of a 2D source, >= 0.
    a3d_result SetPanValues(f32 _left, f32 _right);
    a3d_result GetPanValues(f32* _left, f32* _right) const;
    // 3D distances: 0 <= min <= max; mode A3D_HOLD_BEYOND_MAX.
    a3d_result SetMinMaxDistance(f32 _min, f32 _max, u32 _mode);
    a3d_result GetMinMaxDistance(f32* _min, f32* _max, u32* _mode) const;
    a3d_result SetPosition3f(f32 _x, f32 _y, f32 _z);
    a3d_result GetPosition3f(f32* _x, f32* _y, f32* _z) const;
    a3d_result SetVelocity3f(f32 _x, f32 _y, f32 _z);
    a3d_result GetVelocity3f(f32* _x, f32* _y, f32* _z) const;
    // Importance in [0, 1] (0.5 at the start). OpenAL mixes every source, so
    // it does not change what is heard; it is kept for copies of the source.
    a3d_result SetPriority(f32 _priority);
    a3d_result GetPriority(f32* _priority) const;

    u32 GetFlags() const { return _flags; }

private:
    friend class a3d_c;
    a3d_source_c(a3d_c* _device, u32 _flags);

    bool IsAlive() const { return _device != nullptr; }
    bool Is2d() const { return (_flags & A3DSOURCE_2D) != 0; }
    int Voices() const { return Is2d() ? 2 : 1; }
    bool IsQueued() const { return !_notifications.empty(); }
    a3d_result CreateVoices();
    void Detach();
    void ApplyGains();
    void ApplyDistance();
    a3d_result AttachStaticData();
    a3d_result UploadStatic();
    void StopQueue();
    a3d_result QueueSegments();
    void Service();
    bool AnyVoicePlaying() const;

    struct notification_c {
        u32 position;
        event_c* event;
    };

    a3d_c* _device;
    const u32 _flags;
    u32 _voices[2] = {0, 0};
    a3d_wave_format_c _format_set;
    bool _has_format = false;
    std::shared_ptr<a3d_shared_data_c> _data;
    u32 _attached_version = 0; // which upload of the data the voices hold

    f32 _pitch = 1, _gain = 1, _pan_left = 1, _pan_right = 1;
    f32 _min_distance = 1, _max_distance = 3.0e38f;
    u32 _distance_mode = A3D_HOLD_BEYOND_MAX;
    a3d_vector_c _position, _velocity;
    f32 _priority = 0.5f;

    // Ring play with notifications.
    std::vector<notification_c> _notifications;
    std::vector<u32> _bounds; // segment starts, ascending, the first 0
    struct queued_c {
        u32 segment;
        u32 buffers[2];
    };
    std::vector<queued_c> _queue; // oldest first
    std::vector<u32> _free_buffers;
    u32 _next_segment = 0;
    bool _playing = false; // ring play: wanted to play
    bool _looped = false;
    bool _ending = false; // single play: the last segment is queued
};

class a3d_listener_c {
public:
    a3d_result SetPosition3f(f32 _x, f32 _y, f32 _z);
    a3d_result SetVelocity3f(f32 _x, f32 _y, f32 _z);
    // Direction ahead and direction up.
    a3d_result SetOrientation6f(f32 _front_x, f32 _front_y, f32 _front_z, f32 _up_x, f32 _up_y, f32 _up_z);

private:
    friend class a3d_c;
    explicit a3d_listener_c(a3d_c* _device) : _device(_device) {}
    a3d_c* _device;
};

class a3d_c {
public:
    // Where new devices play: the system's output (ALSOFT_DRIVERS chooses the
    // backend; a name picks one device) or a loopback device rendered by
    // RenderLoopback, stereo 32-bit float at the given rate. Process-wide.
    static void UseSystemDevice(const char* _device_name = nullptr);
    static void UseLoopback(u32 _rate);
    // Audio devices open at the moment, for checks that nothing is left.
    static int OpenDevices();

    // A3DERR_UNSUPPORTED when the audio library lacks what the device needs.
    static a3d_result Create(std::unique_ptr<a3d_c>* _device);
    ~a3d_c();
    a3d_c(const a3d_c&) = delete;
    a3d_c& operator=(const a3d_c&) = delete;

    // The sources that may exist at once are the hardware count (set before
    // Init) plus the fallback count; a negative count sets no limit.
    a3d_result SetMaxHardwareSources(int _count);
    a3d_result SetNumFallbackSources(int _count);
    // Opens the output. The window and the cooperation level have no meaning
    // here; the features and the reflection delay select nothing either.
    a3d_result Init(u32 _features, u32 _reflection_delay, u32 _reserved, void* _window, u32 _cooperation);
    // The listener, owned by the device; after Init.
    a3d_result QueryListener(a3d_listener_c** _listener);
    a3d_result SetCoordinateSystem(u32 _system);
    // Changes of 3D state wait after DeferChanges until Flush applies them
    // together.
    a3d_result Flush();
    a3d_result DeferChanges();
    // Distance rolloff of every 3D source, >= 0.
    a3d_result SetRolloffFactor(f32 _factor);
    // Gain of the whole output, >= 0.
    a3d_result SetOutputGain(f32 _gain);
    a3d_result NewSource(u32 _flags, std::unique_ptr<a3d_source_c>* _source);
    // A source of the same kind sharing the original's data, in its start
    // state (pitch, gains, distances, position and notifications not copied).
    a3d_result DuplicateSource(a3d_source_c* _original, std::unique_ptr<a3d_source_c>* _source);
    // Closes the output; sources still alive stay as empty shells.
    a3d_result Shutdown();

    // Loopback devices only: renders frames of stereo float samples
    // (interleaved) and moves ring play on as it goes.
    a3d_result RenderLoopback(f32* _samples, u32 _frames);

private:
    friend class a3d_source_c;
    friend class a3d_listener_c;
    a3d_c();
    void ServiceSources();
    void ServiceLoop();
    bool Flip() const { return _coordinate_system == A3D_LEFT_HANDED_CS; }
    u32 Rate() const;

    std::unique_ptr<a3d_context_c> _context;
    std::unique_ptr<a3d_listener_c> _listener;
    std::vector<a3d_source_c*> _sources;
    int _hardware_sources = -1;
    int _fallback_sources = -1;
    u32 _coordinate_system = A3D_RIGHT_HANDED_CS;
    f32 _rolloff = 1;
};
