#pragma once
// A source that delivers the samples of a RIFF/WAVE file as they are stored.
#include <memory>

#include "audio/sound_data.h"
#include "audio/sound_system.h"

class pcm_source_c : public virtual sound_source_c {
public:
    // Reads the format and size; file_error_c as SoundFile.
    pcm_source_c(sound_system_c* system, const char* name, u32 flags);
    pcm_source_c(const pcm_source_c& other);

    sound_source_c* Clone() override;
    // The data from its start, every call.
    u32 Read(u8* buffer, u32 bytes) override;
    u32 GetChannels() override { return _data->GetFormat()->channels; }
    u32 GetSampleRate() override { return _data->GetFormat()->samples_per_second; }
    u32 GetBitsPerSample() override { return _data->GetFormat()->bits_per_sample; }
    // Size / bytes per second; 0 for a format with no bytes per second.
    float GetLength() override;

    sound_data_c* GetData() const { return _data.get(); }
    const pcm_format_c* GetFormat() const { return _data->GetFormat(); }
    u32 GetSize() const { return _data->GetSize(); }

private:
    std::unique_ptr<sound_data_c> _data;
};
