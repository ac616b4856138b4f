#pragma once
// An MPEG audio source over a file held in memory. Opening skips a leading
// ID3v2 tag, junk of up to 1024 bytes before the first frame, and a trailing
// 128-byte ID3v1 "TAG" block. PCM is 16-bit; looping and seeking are supported.
#include "audio/memory_source.h"
#include "audio/mpeg_decoder.h"
#include "foundation/byte_stream.h"

class mpeg_source_c : public virtual sound_source_c, public memory_source_c {
public:
    // Throws file_error_c "Could not open audio MPEG!" when no stream opens.
    mpeg_source_c(sound_system_c* system, const char* name, u32 flags);
    // Decodes from the start of a copy of the file.
    mpeg_source_c(const mpeg_source_c& other);
    ~mpeg_source_c() override;

    sound_source_c* Clone() override;
    u32 Read(u8* buffer, u32 bytes) override { return LoopingRead(buffer, bytes); }
    bool Seek(float seconds) override;
    u32 GetChannels() override { return _channels; }
    u32 GetSampleRate() override { return _rate; }
    u32 GetBitsPerSample() override { return 16; }
    float GetLength() override;

    // Where the audio frames lie in the file.
    u64 GetAudioStart() const { return _start; }
    u64 GetAudioLength() const { return _length; }

protected:
    u32 RawRead(u8* buffer, u32 bytes) override;

private:
    void OpenMpeg();

    u64 _start = 0;
    u64 _length = 0;
    // The file's bytes, the window of them that holds frames, and the decoder
    // over that window; closed in reverse order.
    std::unique_ptr<memory_stream_c> _file_stream;
    std::unique_ptr<range_stream_c> _window;
    std::unique_ptr<mpeg_decoder_c> _decoder;
    u32 _channels = 0;
    u32 _rate = 0;
};
