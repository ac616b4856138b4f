#include "audio/pcm_source.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "audio/testing/memory_file_system.h"
#include "foundation/file_error.h"

using namespace audio_testing;

namespace {

// Builds RIFF files chunk by chunk.
struct riff_c {
    std::vector<u8> chunks;
    u32 size_adjust = 0; // added to the true RIFF size
    bool size_override = false;
    u32 size_value = 0;

    riff_c& Chunk(const char* id, std::vector<u8> body, bool pad = true, u32 stated = 0xFFFFFFFFu)
    {
        chunks.insert(chunks.end(), id, id + 4);
        const u32 length = stated == 0xFFFFFFFFu ? u32(body.size()) : stated;
        for (int i = 0; i < 4; ++i)
            chunks.push_back(u8(length >> (8 * i)));
        chunks.insert(chunks.end(), body.begin(), body.end());
        if (pad && (body.size() & 1))
            chunks.push_back(0);
        return *this;
    }
    std::vector<u8> Bytes() const
    {
        std::vector<u8> out = {'R', 'I', 'F', 'F'};
        const u32 size = size_override ? size_value : u32(4 + chunks.size()) + size_adjust;
        for (int i = 0; i < 4; ++i)
            out.push_back(u8(size >> (8 * i)));
        out.insert(out.end(), {'W', 'A', 'V', 'E'});
        out.insert(out.end(), chunks.begin(), chunks.end());
        return out;
    }
};

std::vector<u8> Format(u32 channels, u32 rate, u32 bits, u32 length = 16)
{
    const pcm_format_c f = MakePcmFormat(channels, rate, bits);
    std::vector<u8> body(sizeof(f));
    std::memcpy(body.data(), &f, sizeof(f));
    body.resize(length, 0);
    return body;
}

std::vector<u8> Samples(u32 count)
{
    std::vector<u8> out(count);
    for (u32 i = 0; i < count; ++i)
        out[i] = u8(i * 7 + 1);
    return out;
}

std::string Failure(const std::vector<u8>& file)
{
    return SourceFailure<pcm_source_c>("test.wav", file);
}

TEST(pcm_source, make_pcm_format)
{
    const pcm_format_c f = MakePcmFormat(2, 22050, 16);
    EXPECT_EQ(f.format_tag, 1);
    EXPECT_EQ(f.channels, 2);
    EXPECT_EQ(f.samples_per_second, 22050u);
    EXPECT_EQ(f.block_align, 4);
    EXPECT_EQ(f.average_bytes_per_second, 88200u);
    EXPECT_EQ(f.bits_per_sample, 16);
    EXPECT_EQ(f.extra_size, 0);
}

TEST(pcm_source, reads_format_and_data_in_any_order)
{
    const std::vector<u8> data = Samples(400);
    const std::vector<u8> layouts[] = {
        riff_c().Chunk("fmt ", Format(1, 8000, 8)).Chunk("data", data).Bytes(),
        riff_c().Chunk("data", data).Chunk("fmt ", Format(1, 8000, 8)).Bytes(),
        // An odd-sized chunk is followed by one pad byte.
        riff_c().Chunk("LIST", Samples(5)).Chunk("fmt ", Format(1, 8000, 8)).Chunk("data", data).Bytes(),
        // An empty data chunk does not count; the next one does.
        riff_c()
            .Chunk("data", {})
            .Chunk("fmt ", Format(1, 8000, 8))
            .Chunk("junk", Samples(3))
            .Chunk("data", data)
            .Bytes(),
        // A second format chunk is ignored.
        riff_c().Chunk("fmt ", Format(1, 8000, 8)).Chunk("fmt ", Format(2, 44100, 16)).Chunk("data", data).Bytes(),
    };
    for (const std::vector<u8>& file : layouts) {
        memory_file_system_c files;
        files.Add("sounds\\beep.wav", file);
        sound_system_c system(0);
        pcm_source_c source(&system, "sounds\\beep.wav", 0);
        EXPECT_EQ(source.GetChannels(), 1u);
        EXPECT_EQ(source.GetSampleRate(), 8000u);
        EXPECT_EQ(source.GetBitsPerSample(), 8u);
        EXPECT_EQ(source.GetSize(), 400u);
        EXPECT_FLOAT_EQ(source.GetLength(), 0.05f);
        std::vector<u8> out(1000, 0xEE);
        EXPECT_EQ(source.Read(out.data(), 1000), 400u);
        EXPECT_EQ(0, std::memcmp(out.data(), data.data(), 400));
        // Every read starts from the beginning.
        EXPECT_EQ(source.Read(out.data(), 100), 100u);
        EXPECT_EQ(0, std::memcmp(out.data(), data.data(), 100));
    }
}

TEST(pcm_source, short_format_reads_missing_fields_as_zero)
{
    // 14 bytes of format are enough; the bits per sample that follow read as 0.
    memory_file_system_c files;
    files.Add("f.wav", riff_c().Chunk("fmt ", Format(2, 8000, 8, 14)).Chunk("data", Samples(10)).Bytes());
    sound_system_c system(0);
    pcm_source_c source(&system, "f.wav", 0);
    EXPECT_EQ(source.GetChannels(), 2u);
    EXPECT_EQ(source.GetBitsPerSample(), 0u);
    EXPECT_EQ(source.GetFormat()->block_align, 2);
    EXPECT_EQ(source.GetLength(), 0.0f);
}

TEST(pcm_source, refuses_bad_files)
{
    const std::vector<u8> data = Samples(64);
    riff_c beyond;
    beyond.Chunk("fmt ", Format(1, 8000, 8)).Chunk("data", data);
    beyond.size_adjust = 1;
    riff_c huge;
    huge.Chunk("fmt ", Format(1, 8000, 8)).Chunk("data", data);
    huge.size_override = true;
    huge.size_value = 0xFFFFFFF8u;
    std::vector<u8> not_wave = riff_c().Chunk("fmt ", Format(1, 8000, 8)).Bytes();
    not_wave[8] = 'A';
    const struct {
        std::vector<u8> file;
        const char* failure;
    } cases[] = {
        {not_wave, "test.wav|Unknown file format!"},
        {std::vector<u8>{'R', 'I', 'F', 'F', 4, 0, 0, 0, 'W', 'A', 'V'}, "test.wav|Unknown file format!"},
        {beyond.Bytes(), "test.wav|Unexpected end of file!"},
        {huge.Bytes(), "test.wav|Unexpected end of file!"},
        {riff_c().Chunk("fmt ", Format(1, 8000, 8, 13)).Chunk("data", data).Bytes(),
         "test.wav|Unexpected end of file!"},
        {riff_c().Chunk("fmt ", Format(1, 8000, 8)).Bytes(), "test.wav|File does not contain any sample!"},
        {riff_c().Chunk("data", data).Bytes(), "test.wav|File does not contain any sample!"},
        // Chunk sizes are checked against the file: one that claims more, one
        // whose size would wrap the offset back onto itself, a header cut short.
        {riff_c().Chunk("fmt ", Format(1, 8000, 8)).Chunk("data", data, true, 65).Bytes(),
         "test.wav|Unexpected end of file!"},
        {riff_c().Chunk("junk", data, true, 0xFFFFFFF7u).Chunk("fmt ", Format(1, 8000, 8)).Bytes(),
         "test.wav|Unexpected end of file!"},
        {riff_c().Chunk("fmt ", Format(1, 8000, 8)).Chunk("junk", data, true, 0xFFFFFFFFu - 1).Bytes(),
         "test.wav|Unexpected end of file!"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Failure(c.file), c.failure);
    std::vector<u8> cut = riff_c().Chunk("fmt ", Format(1, 8000, 8)).Bytes();
    cut.insert(cut.end(), {'d', 'a', 't'});
    cut[4] = u8(cut.size() - 8);
    EXPECT_EQ(Failure(cut), "test.wav|Unexpected end of file!");
}

TEST(pcm_source, missing_file_fails_in_the_file_layer)
{
    memory_file_system_c files;
    sound_system_c system(0);
    EXPECT_THROW(pcm_source_c(&system, "nothing.wav", 0), file_error_c);
    EXPECT_EQ(system.GetSourceCount(), 0u);
}

TEST(pcm_source, clone_and_changed_file)
{
    memory_file_system_c files;
    const std::vector<u8> data = Samples(100);
    files.Add("a.wav", riff_c().Chunk("fmt ", Format(2, 11025, 16)).Chunk("data", data).Bytes());
    sound_system_c system(0);
    auto* source = new pcm_source_c(&system, "a.wav", 2);
    sound_source_c* copy = source->Clone();
    EXPECT_EQ(system.GetSourceCount(), 2u);
    EXPECT_EQ(copy->GetFlags(), 2u);
    delete source;
    std::vector<u8> out(100);
    EXPECT_EQ(copy->Read(out.data(), 100), 100u);
    EXPECT_EQ(out, data);
    // After construction nothing throws: a file that went bad reads nothing.
    files.Add("a.wav", std::vector<u8>(20, 0));
    EXPECT_EQ(copy->Read(out.data(), 100), 0u);
    delete copy;
    EXPECT_EQ(system.GetSourceCount(), 0u);
}

TEST(pcm_source, length_of_a_format_without_bytes_per_second_is_zero)
{
    memory_file_system_c files;
    files.Add("z.wav", riff_c().Chunk("fmt ", Format(0, 8000, 16)).Chunk("data", Samples(10)).Bytes());
    sound_system_c system(0);
    pcm_source_c source(&system, "z.wav", 0);
    EXPECT_EQ(source.GetLength(), 0.0f);
}

} // namespace
