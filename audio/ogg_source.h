#pragma once
// An Ogg Vorbis source over a file held in memory, decoded by vorbisfile.
// PCM is 16-bit; looping and seeking (by decoding from the start) are supported.
#include <vorbis/vorbisfile.h>

#include "audio/memory_source.h"

class ogg_source_c : public virtual sound_source_c, public memory_source_c {
public:
    // Throws file_error_c "File is not an OGG bitstream!" when vorbisfile
    // refuses the data.
    ogg_source_c(sound_system_c* system, const char* name, u32 flags);
    // Decodes from the start of a copy of the file.
    ogg_source_c(const ogg_source_c& other);
    ~ogg_source_c() override;

    sound_source_c* Clone() override;
    u32 Read(u8* buffer, u32 bytes) override { return LoopingRead(buffer, bytes); }
    // Back to the start, then decodes and drops the samples before `seconds`.
    bool Seek(float seconds) override;
    u32 GetChannels() override;
    u32 GetSampleRate() override;
    u32 GetBitsPerSample() override { return 16; }
    // The total time, or 0 when vorbisfile cannot tell.
    float GetLength() override;

protected:
    u32 RawRead(u8* buffer, u32 bytes) override;

private:
    void OpenOgg();
    static size_t ReadCallback(void* buffer, size_t size, size_t count, void* source);
    static int SeekCallback(void* source, ogg_int64_t offset, int whence);
    static int CloseCallback(void* source);
    static long TellCallback(void* source);

    u64 _position = 0;
    OggVorbis_File _file{};
    bool _open = false;
    int _bitstream = 0;
};
