#pragma once
// The audible sound system: sounds created here play through the 3D-audio
// device (platform/a3d). WAVE sounds are copied into one device buffer;
// MPEG and Ogg Vorbis sounds stream through a ring (audio/a3d_stream.h).
//
// Created with flag 8 the device has a listener and places 3D sounds; the
// distance rule is gain = 1 / (1 + k (d / min - 1)) from a sound's minimum
// distance up to its maximum, where the gain has fallen to the device's gain
// at maximum distance g (0.1 at the start) and then holds:
// max = min * ((1 - g) / g + k) / k, or no limit when the rolloff k is 0.
// Positions are in the renderer's left-handed space (x right, y up, z ahead).
//
// Set-up failures throw a3d_error_c and leave nothing open.
#include <memory>
#include <vector>

#include "audio/a3d_error.h"
#include "audio/sound_system.h"
#include "foundation/text_string.h"
#include "platform/a3d/a3d.h"

class a3d_sound_c;

class a3d_device_c : public sound_system_c {
public:
    // A negative count leaves the device's default. The window is unused on
    // this platform.
    a3d_device_c(void* _window, int _max_hardware_sources, int _fallback_software_channels, u32 _flags);
    ~a3d_device_c() override;

    a3d_device_c(const a3d_device_c&) = delete;
    a3d_device_c& operator=(const a3d_device_c&) = delete;

    sound_source_c* CreatePcmSource(const char* _name, u32 _flags) override;
    // seconds is the length of the stream's ring.
    sound_source_c* CreateMpegSource(const char* _name, float _seconds, u32 _flags) override;
    sound_source_c* CreateOggSource(const char* _name, float _seconds, u32 _flags) override;

    // Flag 8 and no sound yet: the gain at maximum distance, from decibels
    // clamped to [-100, 0].
    bool SetDistanceAttenuation(float _decibels) override;
    // Flag 8 and no sound yet: the rolloff factor k, at least 0.
    bool SetRolloffFactor(float _factor) override;
    // Flag 8: the gain of everything, at least 0.
    bool SetSoundGain(float _gain) override;
    bool SetListenerPosition(const vec3_c* _position) override;
    bool SetListenerVelocity(const vec3_c* _velocity) override;
    // Row 2 of the matrix is the direction ahead, row 1 the direction up.
    bool SetListenerOrientation(const mat4x3_c* _orientation) override;
    // Applies the 3D changes made since the last Update together.
    bool Update() override;

    // Maximum distance over minimum distance for every sound of the device.
    float MaxDistanceRatio() const;
    // The device interface, for loopback rendering in tests.
    a3d_c* GetA3d() const { return _a3d.get(); }

    // Makes the device buffer of a sound: for a sound that is not streamed, a
    // duplicate of a live buffer with the same path, format, size and flags
    // when there is one (they share their data), else a new buffer.
    // Throws a3d_error_c. The device keeps the buffer until
    // ReleaseDeviceSource.
    a3d_source_c* CreateDeviceSource(const string_c& _path, const a3d_wave_format_c& _format, u32 _bytes,
                                     u32 _a3d_flags, bool _streamed);
    void ReleaseDeviceSource(a3d_source_c* _source);

    // Sounds of this device register so that the device can end them before
    // it closes.
    void AddSound(a3d_sound_c* _sound);
    void RemoveSound(a3d_sound_c* _sound);

private:
    struct record_c {
        string_c path;
        a3d_wave_format_c format;
        u32 bytes;
        u32 a3d_flags;
        bool streamed;
        std::unique_ptr<a3d_source_c> source;
    };

    bool Is3d() const { return (GetFlags() & sound_flag_3d) != 0; }
    void Fail(const char* _message);
    a3d_source_c* Duplicate(const record_c& _original);

    std::unique_ptr<a3d_c> _a3d;
    a3d_listener_c* _listener = nullptr; // belongs to _a3d
    std::vector<record_c> _registry;
    std::vector<a3d_sound_c*> _sounds;
    float _max_distance_gain;
    float _rolloff = 1.0f;
};
