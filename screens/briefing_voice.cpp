#include "screens/briefing_voice.h"

#include "app/application.h"
#include "audio/sound_system.h"
#include "foundation/file_error.h"

void briefing_voice_c::Play(const char* _file_name, f32 _now)
{
    if (!_file_name || !*_file_name || file == _file_name)
        return;
    Stop();
    request_time = _now;
    file = _file_name;
}

void briefing_voice_c::Stop()
{
    if (source) {
        if (source->IsPlaying())
            source->Stop();
        DeleteObject(source);
    }
    playing = 0;
    request_time = 0.0f;
    file.Clear();
}

void briefing_voice_c::Update(f32 _now)
{
    if (!file.IsEmpty() && request_time + kDelay < _now && !playing) {
        sound_system_c* device = application->GetSoundDevice();
        try {
            source = device ? device->CreateOggSource(file, 1.0f, sound_flag_volume) : nullptr;
        } catch (const file_error_c&) {
            source = nullptr;
        }
        if (!source) {
            Stop();
            return;
        }
        playing = 1;
        source->SetVolume(GainToDecibel(volume));
        source->Play();
    }
    if (source)
        source->Update();
    if (playing && source && !source->IsPlaying())
        Stop();
}
