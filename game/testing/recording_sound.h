#pragma once
// A sound system for game tests: its sources play nothing and remember what
// they were told (playing, looping, pitch, volume, range, place), and it
// opens only the file names it was given, so a missing sound file can be
// tried.
#include "audio/sound_system.h"

#include <set>
#include <string>
#include <vector>

class recording_source_c : public sound_source_c {
public:
    recording_source_c(sound_system_c* _system, u32 _flags, const std::string& _file)
        : sound_source_c(_system, _flags), file(_file)
    {}
    // Leaves the system's list of made sources.
    ~recording_source_c() override;

    sound_source_c* Clone() override { return new recording_source_c(GetSystem(), GetFlags(), file); }
    u32 Read(u8*, u32) override { return 0; }
    bool SetPitch(float _pitch) override;
    bool SetVolume(float _decibels) override;
    bool SetMinDistance(float _distance) override;
    bool SetPosition(const vec3_c* _position) override;
    bool SetVelocity(const vec3_c* _velocity) override;
    bool SetLooping(bool _looping) override;
    bool IsPlaying() override { return playing; }
    bool Play() override;
    bool Stop() override;
    u32 GetChannels() override { return 1; }
    u32 GetSampleRate() override { return 22050; }
    u32 GetBitsPerSample() override { return 16; }
    float GetLength() override { return 1.0f; }

    std::string file;
    bool playing = false;
    bool looping = false;
    float pitch = 1.0f;
    float volume = 0.0f;
    float distance = 0.0f;
    vec3_c position;
    vec3_c velocity;
    int plays = 0;
    int stops = 0;
    // Calls that changed something.
    int calls = 0;

private:
    void Note();
};

class recording_sound_system_c : public sound_system_c {
public:
    recording_sound_system_c() : sound_system_c(sound_flag_3d) {}

    // file_error_c for a name not in files.
    sound_source_c* CreatePcmSource(const char* _name, u32 _flags) override;

    // The source made from _file most recently; null when none.
    recording_source_c* Find(const std::string& _file) const;
    std::set<std::string> files;
    // The live sources, in the order they were made.
    std::vector<recording_source_c*> made;
    // Calls made on every source so far, deleted ones included.
    int calls = 0;
    int deleted = 0;
};
