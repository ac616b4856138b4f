#pragma once
// briefing_voice_c: speaks a mission's briefing once, 2.05 s after it was
// asked for, so that clicking through the missions does not start a voice
// for each. The stream is an Ogg Vorbis file read with 1 s of buffer and
// refilled by Update (no thread of its own); its volume is the sound option
// in decibels, taken when it starts.
//
// A briefing file that cannot be opened is not spoken: the request is
// dropped and the menus carry on.
#include "foundation/text_string.h"
#include "foundation/types.h"

class application_c;
class sound_source_c;

class briefing_voice_c {
public:
    static constexpr f32 kDelay = 2.05f;

    explicit briefing_voice_c(application_c* _application) : application(_application) {}
    ~briefing_voice_c() { Stop(); }
    briefing_voice_c(const briefing_voice_c&) = delete;
    briefing_voice_c& operator=(const briefing_voice_c&) = delete;

    // Asks for the file from _now; an empty name or the file already asked
    // for changes nothing, another file replaces the request (and silences
    // what speaks).
    void Play(const char* _file_name, f32 _now);
    // Silences and forgets the request.
    void Stop();
    bool IsPlaying() const { return playing != 0; }
    void SetVolume(f32 _volume) { volume = _volume; }
    void Update(f32 _now);

    const string_c& GetFile() const { return file; }
    sound_source_c* GetSource() const { return source; }

private:
    f32 volume = 1.0f;
    string_c file;
    sound_source_c* source = nullptr;
    f32 request_time = 0.0f;
    u8 playing = 0;
    application_c* application;
};
