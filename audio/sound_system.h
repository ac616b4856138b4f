#pragma once
// The audio interfaces every sound of the system goes through.
//
// sound_system_c makes sound sources and keeps a list of the live ones; a
// source registers itself when constructed and leaves the list when
// destroyed, and deleting the system deletes whatever is still listed.
// sound_source_c is a playable source of 8- or 16-bit PCM. It is always a
// virtual base: a device sound that joins a data source and a device buffer
// has one sound_source_c. The optional operations answer false unless a
// class overrides them; a device gates them by the creation flags.
#include <list>

#include "foundation/matrix.h"
#include "foundation/types.h"
#include "foundation/vector_math.h"

class sound_source_c;

// Creation flags of sources (and, for 3D, of the system).
enum : u32 {
    sound_flag_pitch = 1,
    sound_flag_volume = 2,
    sound_flag_pan = 4,
    sound_flag_3d = 8,
    sound_flag_refill_thread = 0x10000,
};

class sound_system_c {
public:
    explicit sound_system_c(u32 flags) : _flags(flags) {}
    sound_system_c(const sound_system_c&) = delete;
    sound_system_c& operator=(const sound_system_c&) = delete;
    // Deletes every listed source, first element first.
    virtual ~sound_system_c();

    // A WAVE source (pcm_source_c); file_error_c when the file is missing or bad.
    virtual sound_source_c* CreatePcmSource(const char* name, u32 flags);
    // An MPEG audio source; the library's own source ignores `seconds`, which
    // a device takes as the length of its stream buffer.
    virtual sound_source_c* CreateMpegSource(const char* name, float seconds, u32 flags);
    // An Ogg Vorbis source; `seconds` as for CreateMpegSource.
    virtual sound_source_c* CreateOggSource(const char* name, float seconds, u32 flags);
    virtual bool SetDistanceAttenuation(float) { return false; }
    virtual bool SetRolloffFactor(float) { return false; }
    virtual bool SetSoundGain(float) { return false; }
    virtual bool SetListenerPosition(const vec3_c*) { return false; }
    virtual bool SetListenerVelocity(const vec3_c*) { return false; }
    virtual bool SetListenerOrientation(const mat4x3_c*) { return false; }
    // A slot without a defined use; false everywhere.
    virtual bool Reserved(int) { return false; }
    virtual bool Update() { return false; }

    // Appends a source to the list; a source already listed throws
    // std::logic_error and leaves the list unchanged.
    void AcquireSoundSource(sound_source_c* _source);
    // Removes every list entry equal to the source.
    void ReleaseSoundSource(sound_source_c* _source);

    u32 GetFlags() const { return _flags; }
    size_t GetSourceCount() const { return _sources.size(); }

private:
    std::list<sound_source_c*> _sources;
    u32 _flags;
};

class sound_source_c {
public:
    // Registers with the system (which must outlive the source).
    sound_source_c(sound_system_c* system, u32 flags);
    // A copy registers itself as a source of its own.
    sound_source_c(const sound_source_c& other);
    sound_source_c& operator=(const sound_source_c&) = delete;
    virtual ~sound_source_c();

    // A new, independent copy of the same sound.
    virtual sound_source_c* Clone() = 0;
    // The next PCM bytes, interleaved little-endian; fewer at the end.
    virtual u32 Read(u8* buffer, u32 bytes) = 0;
    virtual bool SetPitch(float) { return false; }
    virtual bool SetVolume(float) { return false; } // decibels, 0 = full
    virtual bool SetPan(float) { return false; }    // decibels; > 0 attenuates the first channel
    virtual bool SetMinDistance(float) { return false; }
    virtual bool SetPosition(const vec3_c*) { return false; }
    virtual bool SetVelocity(const vec3_c*) { return false; }
    virtual bool SetUnitParameter(float) { return false; }
    virtual bool SetLoopStart(float) { return false; } // seconds
    virtual bool SetLooping(bool) { return false; }
    virtual bool Seek(float) { return false; } // seconds
    virtual bool IsPlaying() { return false; }
    virtual bool Play() { return false; }
    virtual bool Stop() { return false; }
    virtual bool Update() { return false; }
    virtual u32 GetChannels() = 0;
    virtual u32 GetSampleRate() = 0;
    virtual u32 GetBitsPerSample() = 0;
    virtual float GetLength() = 0; // seconds

    sound_system_c* GetSystem() const { return _system; }
    u32 GetFlags() const { return _flags; }

private:
    sound_system_c* _system;
    u32 _flags;
};

// Deletes an object through its virtual destructor; null is allowed.
template <typename T>
void DeleteObject(T*& object)
{
    delete object;
    object = nullptr;
}

// 10^(dB / 20).
float DecibelToGain(float dB);
// 20 log10(gain), or -100 for gains up to 0.00001.
float GainToDecibel(float gain);
