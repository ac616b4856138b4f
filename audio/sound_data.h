#pragma once
// Stored sample data: the 18-byte PCM format record of WAVE files, the
// abstract sound_data_c and its implementation over a WAVE file.
#include <memory>

#include "foundation/memory_file.h"
#include "foundation/text_string.h"
#include "foundation/types.h"

#pragma pack(push, 1)
// The WAVE "fmt " layout, little-endian.
struct pcm_format_c {
    u16 format_tag; // 1 = PCM
    u16 channels;
    u32 samples_per_second;
    u32 average_bytes_per_second;
    u16 block_align;
    u16 bits_per_sample;
    u16 extra_size;
};
#pragma pack(pop)
static_assert(sizeof(pcm_format_c) == 18);

// Tag 1, block alignment (bits / 8) x channels, bytes per second = block
// alignment x rate, no extra bytes.
pcm_format_c MakePcmFormat(u32 channels, u32 rate, u32 bits);

class sound_data_c {
public:
    virtual ~sound_data_c() = default;
    virtual std::unique_ptr<sound_data_c> Clone() const = 0;
    virtual const pcm_format_c* GetFormat() const = 0;
    virtual u32 GetSize() const = 0; // data bytes
    // Copies up to `bytes` bytes of the data from its start; returns the count.
    virtual u32 ReadData(u8* buffer, u32 bytes) = 0;
};

// Where a WAVE file keeps its format and samples.
struct wave_layout_c {
    pcm_format_c format;
    u32 data_offset;
    u32 data_size;
};

// True when the bytes are a RIFF/WAVE file (12 bytes at least, "RIFF" at 0,
// "WAVE" at 8).
bool IsRiffWave(const u8* data, u32 size);
// Walks the chunks of a RIFF/WAVE file held whole in memory. The first
// "fmt " and the first "data" chunk with samples count; chunks may come in
// any order, odd sizes are padded to even. Throws file_error_c with `path`:
// "Unexpected end of file!" when the RIFF size or a chunk runs past the
// bytes there are, or a "fmt " body is shorter than 14 bytes; "File does not
// contain any sample!" when no format and data pair is found.
wave_layout_c ParseWave(const u8* data, u32 size, const string_c& path);

// A WAVE file by name: the format and size are read at construction, the
// samples again from the file at each ReadData; the file is read through the
// current file system.
class SoundFile : public sound_data_c {
public:
    // Throws file_error_c: the file system's for a missing file, "Unknown file
    // format!" for a file that is not RIFF/WAVE, or ParseWave's.
    explicit SoundFile(const char* name);
    std::unique_ptr<sound_data_c> Clone() const override;
    const pcm_format_c* GetFormat() const override { return &_format; }
    u32 GetSize() const override { return _size; }
    // 0 when the file can no longer be read as it was.
    u32 ReadData(u8* buffer, u32 bytes) override;
    const string_c& GetPath() const { return _path; }

private:
    string_c _path;
    u32 _size = 0;
    pcm_format_c _format{};
};
