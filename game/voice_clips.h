#pragma once
// The HUD's sounds that are not placed in the world: the mission's voice
// clips, played one at a time in the order queued, and the scripts' 2D
// sounds, played at once.
//
// A voice clip may carry the number of an in-game text, shown as an info
// line when the clip starts. A clip whose file could not be opened is
// queued without a sound: its text still shows in its turn and the next
// clip follows at the next update.
#include "audio/sound_system.h"
#include "foundation/text_string.h"

#include <deque>
#include <memory>
#include <vector>

// "data\game\voice\" + the number with at least three digits + ".wav"
// (7 gives "007", 42 "042", 123 "123"); empty for a negative number,
// which names no clip.
string_c VoiceClipName(i32 _number);

class voice_queue_c {
public:
    static constexpr i32 no_text = -1;

    voice_queue_c();
    ~voice_queue_c();

    void Queue(std::unique_ptr<sound_source_c> _clip, i32 _text);
    // The first clip: started and silent, it leaves the queue; not started,
    // it starts playing now. Returns the text number of a clip that started
    // now, else no_text.
    i32 Update();
    void Clear();
    size_t GetCount() const { return clips.size(); }
    // The first clip's sound; null when the queue is empty or it has none.
    sound_source_c* GetFirst() const;

private:
    struct voice_clip_c {
        u8 started = 0;
        i32 text = no_text;
        std::unique_ptr<sound_source_c> sound;
    };
    std::deque<voice_clip_c> clips;
};

class sounds_2d_c {
public:
    sounds_2d_c();
    ~sounds_2d_c();

    // Drops every sound that is no longer playing, then plays this one
    // (null only drops).
    void Play(std::unique_ptr<sound_source_c> _sound);
    void Clear() { sounds.clear(); }
    size_t GetCount() const { return sounds.size(); }

private:
    std::vector<std::unique_ptr<sound_source_c>> sounds;
};
