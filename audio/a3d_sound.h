#pragma once
// The device half of every sound of a3d_device_c, and the WAVE sound.
//
// a3d_sound_c holds the sound's device buffer and carries the operations
// every device sound shares: pitch (flag 1), volume (flag 2), pan (flag 4),
// the 3D operations (flag 8) and the unit parameter. An operation whose
// flag is missing, or a sound without a buffer, answers false; so does one
// the device refuses.
#include "audio/a3d_device.h"
#include "audio/pcm_source.h"
#include "foundation/text_string.h"

class a3d_sound_c : public virtual sound_source_c {
public:
    ~a3d_sound_c() override;

    bool SetPitch(float _pitch) override;
    // Decibels clamped to [-100, 0].
    bool SetVolume(float _decibels) override;
    // Positive decibels attenuate the left channel, negative the right, each
    // by at most 100 dB.
    bool SetPan(float _decibels) override;
    // The maximum distance follows from the device's ratio.
    bool SetMinDistance(float _distance) override;
    bool SetPosition(const vec3_c* _position) override;
    bool SetVelocity(const vec3_c* _velocity) override;
    // Clamped to [0, 1].
    bool SetUnitParameter(float _value) override;

    a3d_source_c* GetDeviceSource() const { return _source; }

protected:
    a3d_sound_c(a3d_device_c* _device, const string_c& _path, bool _streamed);
    a3d_sound_c(const a3d_sound_c&) = delete;

    bool HasFlag(u32 _flag) { return (GetFlags() & _flag) != 0; }
    void CreateDeviceSource(const a3d_wave_format_c& _format, u32 _bytes);
    void ReleaseDeviceSource();
    // Fills bytes of the buffer from offset with Read, padding a short read
    // with silence; returns the bytes Read delivered, 0 when the region
    // cannot be locked whole.
    u32 FillBuffer(u32 _offset, u32 _bytes);
    // Gives another sound's pitch, gains, distances, position, velocity and
    // unit parameter to this one.
    void CopyDeviceState(const a3d_sound_c& _other);

    a3d_device_c* _device;
    string_c _path;
    a3d_source_c* _source = nullptr; // belongs to the device's registry
    u32 _a3d_flags;
    u32 _looped_play;
    bool _streamed;
};

// A WAVE sound, copied whole into its buffer; sounds of the same file share
// their data on the device.
class a3d_static_sound_c : public pcm_source_c, public a3d_sound_c {
public:
    // Throws file_error_c for the file and a3d_error_c for the buffer.
    a3d_static_sound_c(a3d_device_c* _device, const char* _name, u32 _flags);
    ~a3d_static_sound_c() override;

    // The copy plays like this sound: same data, flags and device state.
    sound_source_c* Clone() override;
    // Plays looped or once from the next Play; a playing sound restarts in
    // the new mode.
    bool SetLooping(bool _looping) override;
    bool Seek(float _seconds) override;
    bool IsPlaying() override;
    bool Play() override;
    bool Stop() override;

private:
    a3d_static_sound_c(const a3d_static_sound_c& _other);
    void Fill();
};
