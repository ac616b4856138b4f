#include "game/voice_clips.h"

#include "audio/sound_system.h"

#include <algorithm>

string_c VoiceClipName(i32 _number)
{
    if (_number < 0)
        return string_c();
    return string_c("data\\game\\voice\\%03d.wav", _number);
}

voice_queue_c::voice_queue_c() = default;
voice_queue_c::~voice_queue_c() = default;

void voice_queue_c::Queue(std::unique_ptr<sound_source_c> _clip, i32 _text)
{
    voice_clip_c clip;
    clip.text = _text;
    clip.sound = std::move(_clip);
    clips.push_back(std::move(clip));
}

i32 voice_queue_c::Update()
{
    if (clips.empty())
        return no_text;
    voice_clip_c& first = clips.front();
    if (first.started) {
        if (!first.sound || !first.sound->IsPlaying())
            clips.pop_front();
        return no_text;
    }
    first.started = 1;
    if (first.sound)
        first.sound->Play();
    return first.text;
}

void voice_queue_c::Clear()
{
    clips.clear();
}

sound_source_c* voice_queue_c::GetFirst() const
{
    return clips.empty() ? nullptr : clips.front().sound.get();
}

sounds_2d_c::sounds_2d_c() = default;
sounds_2d_c::~sounds_2d_c() = default;

void sounds_2d_c::Play(std::unique_ptr<sound_source_c> _sound)
{
    std::erase_if(sounds, [](const std::unique_ptr<sound_source_c>& _playing) { return !_playing->IsPlaying(); });
    if (_sound == nullptr)
        return;
    _sound->Play();
    sounds.push_back(std::move(_sound));
}
