#include "screens/menu_music.h"

#include <algorithm>

#include "app/application.h"
#include "audio/sound_system.h"
#include "foundation/file_error.h"

namespace {

constexpr f32 kSilent = -100.0f;
constexpr f32 kStreamSeconds = 1.0f;

} // namespace

menu_music_c::menu_music_c(application_c* _application) : application(_application) {}

menu_music_c::~menu_music_c()
{
    current.Clear();
    next.Clear();
    for (track_s& track : tracks) {
        track.source->Stop();
        DeleteObject(track.source);
    }
}

void menu_music_c::AddMusic(const char* _name, const char* _file_name)
{
    sound_system_c* device = application->GetSoundDevice();
    if (!device)
        return;
    sound_source_c* source = nullptr;
    try {
        source = device->CreateOggSource(_file_name, kStreamSeconds, sound_flag_refill_thread | sound_flag_volume);
    } catch (const file_error_c&) {
        return;
    }
    if (!source)
        return;
    source->SetLooping(true);
    tracks.push_back({_name, source});
}

sound_source_c* menu_music_c::FindTrack(const char* _name) const
{
    for (auto track = tracks.rbegin(); track != tracks.rend(); ++track)
        if (track->name == _name)
            return track->source;
    return nullptr;
}

void menu_music_c::SetTrackGain(const string_c& _name, f32 _gain) const
{
    if (sound_source_c* source = FindTrack(_name))
        source->SetVolume(GainToDecibel(_gain));
}

void menu_music_c::StopTrack(const string_c& _name) const
{
    if (sound_source_c* source = FindTrack(_name))
        source->Stop();
}

void menu_music_c::StartSilent(const string_c& _name) const
{
    if (sound_source_c* source = FindTrack(_name)) {
        source->SetVolume(kSilent);
        source->Play();
    }
}

void menu_music_c::PlayMusic(const char* _name)
{
    for (track_s& track : tracks) {
        if (track.name == _name)
            continue;
        track.source->Stop();
        track.source->SetVolume(kSilent);
    }
    if (sound_source_c* source = FindTrack(_name)) {
        source->SetVolume(0.0f);
        source->Play();
    }
    current = _name;
    next.Clear();
    switch_state = switch_steady;
    switch_start = 0.0f;
}

void menu_music_c::SwitchMusic(const char* _name, f32 _now, f32 _duration)
{
    // Restarting the steady track from silence would only break the music.
    if (switch_state == switch_steady && !current.IsEmpty() && current == _name)
        return;
    if (switch_state != switch_steady)
        StopAll();
    switch_start = _now;
    switch_duration = _duration;
    next = _name;
    const bool hasCurrent = !current.IsEmpty();
    const bool hasNext = !next.IsEmpty();
    if (!hasCurrent && !hasNext) {
        switch_state = switch_steady;
        switch_start = 0.0f;
    } else if (!hasCurrent) {
        switch_state = switch_fade_in;
        StartSilent(next);
    } else if (!hasNext) {
        switch_state = switch_fade_out;
    } else {
        switch_state = switch_cross;
        StartSilent(next);
    }
}

void menu_music_c::FadeTo(f32 _target, f32 _duration, f32 _now)
{
    if (fading || _target == gain)
        return;
    fade_start = _now;
    fade_duration = _duration;
    fade_target = _target;
    fade_from = gain;
    fade_rate = (_target - gain) / _duration;
    fading = 1;
}

void menu_music_c::StopAll()
{
    for (track_s& track : tracks) {
        track.source->Stop();
        track.source->SetVolume(kSilent);
    }
    current.Clear();
    next.Clear();
    switch_state = switch_steady;
}

void menu_music_c::Update(f32 _now)
{
    if (fading) {
        gain = (_now - fade_start) * fade_rate + fade_from;
        if (fade_start + fade_duration < _now) {
            gain = fade_target;
            fading = 0;
        }
    }
    const f32 base = volume * gain;
    switch (switch_state) {
    case switch_steady: SetTrackGain(current, base); break;
    case switch_fade_in: {
        const string_c incoming = next;
        f32 f = (_now - switch_start) / switch_duration;
        if (f >= 1.0f) {
            f = 1.0f;
            current = next;
            next.Clear();
            switch_state = switch_steady;
        }
        SetTrackGain(incoming, base * f);
        break;
    }
    case switch_fade_out: {
        const string_c outgoing = current;
        f32 f = 1.0f - (_now - switch_start) / switch_duration;
        if (f <= 0.0f) {
            f = 0.0f;
            current.Clear();
            next.Clear();
            switch_state = switch_steady;
            StopTrack(outgoing);
        }
        SetTrackGain(outgoing, base * f);
        break;
    }
    case switch_cross: {
        const f32 half = switch_duration * 0.5f;
        const f32 out = std::max(0.0f, 1.0f - (_now - switch_start) / half);
        f32 in = 0.0f;
        if (out == 0.0f)
            in = std::min(1.0f, (_now - (switch_start + half)) / half);
        SetTrackGain(current, base * out);
        SetTrackGain(next, base * in);
        if (in >= 1.0f) {
            StopTrack(current);
            current = next;
            next.Clear();
            switch_state = switch_steady;
        }
        break;
    }
    default: break;
    }
}
