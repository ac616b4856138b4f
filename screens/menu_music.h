#pragma once
// menu_music_c: the menus' background music, one looping Ogg Vorbis stream
// per name ("Main", "Career", "Multi"; names compare without regard to
// case), and the fades between them.
//
// Every track plays at volume x gain x its share of the running switch,
// turned into decibels with GainToDecibel. `volume` is the music option
// (set each frame); `gain` is the master gain, faded by FadeTo (the career
// screens lower it to 0.12 while a briefing is spoken).
//
// SwitchMusic(name, now, duration) starts a transition from the track now
// playing to the named one: state 1 fades the new one in when nothing
// plays, state 2 fades the current one out when no name is given, state 3
// cross-fades, the old track going silent over the first half and the new
// one rising over the second. A switch during a switch stops everything
// first, so the new track rises over the whole duration. A switch to the
// track that already plays steadily leaves it playing.
//
// A music file that cannot be opened leaves that name without a track: the
// menus stay silent there instead of failing. A name without a track plays
// nothing.
#include <memory>
#include <vector>

#include "foundation/text_string.h"
#include "foundation/types.h"

class application_c;
class sound_source_c;

class menu_music_c {
public:
    enum switch_state_e : u32 {
        switch_steady = 0,
        switch_fade_in = 1,
        switch_fade_out = 2,
        switch_cross = 3,
    };

    explicit menu_music_c(application_c* _application);
    // Stops and deletes every track.
    ~menu_music_c();
    menu_music_c(const menu_music_c&) = delete;
    menu_music_c& operator=(const menu_music_c&) = delete;

    // A looping stream of the file (1 s of buffer, volume control, refilled
    // by its own thread) under the name.
    void AddMusic(const char* _name, const char* _file_name);
    // At once: that track at full volume and playing, every other stopped.
    void PlayMusic(const char* _name);
    void SwitchMusic(const char* _name, f32 _now, f32 _duration);
    // A master-gain fade to _target over _duration from _now; ignored while
    // a fade runs or when the gain is already _target.
    void FadeTo(f32 _target, f32 _duration, f32 _now);
    // Every track stopped and silent; no current or next track.
    void StopAll();
    void SetVolume(f32 _volume) { volume = _volume; }
    void Update(f32 _now);

    const string_c& GetCurrent() const { return current; }
    const string_c& GetNext() const { return next; }
    u32 GetSwitchState() const { return switch_state; }
    f32 GetGain() const { return gain; }
    bool IsFading() const { return fading != 0; }
    // The track of that name (the last one added), or null.
    sound_source_c* FindTrack(const char* _name) const;

private:
    struct track_s {
        string_c name;
        sound_source_c* source = nullptr;
    };

    void SetTrackGain(const string_c& _name, f32 _gain) const;
    void StopTrack(const string_c& _name) const;
    void StartSilent(const string_c& _name) const;

    f32 fade_start = 0.0f;
    f32 fade_duration = 0.0f;
    f32 fade_target = 0.0f;
    f32 gain = 1.0f;
    f32 fade_from = 0.0f;
    f32 fade_rate = 0.0f;
    u8 fading = 0;
    std::vector<track_s> tracks;
    application_c* application;
    string_c current;
    string_c next;
    f32 switch_start = 0.0f;
    f32 switch_duration = 0.0f;
    u32 switch_state = switch_steady;
    f32 volume = 1.0f;
};
