#include "audio/testing/memory_file_system.h"

#include <vorbis/vorbisenc.h>

#include <algorithm>
#include <cstring>
#include <stdexcept>

#include "foundation/file_error.h"

namespace audio_testing {

const std::vector<u8>& memory_file_system_c::Find(const char* name) const
{
    const auto found = _files.find(name);
    if (found == _files.end())
        throw file_error_c(name, "File not found!");
    return found->second;
}

u32 memory_file_system_c::GetSize(const char* name)
{
    return u32(Find(name).size());
}

u32 memory_file_system_c::Load(const char* name, void* buffer, u32 bufferSize)
{
    const std::vector<u8>& bytes = Find(name);
    if (bytes.size() > bufferSize)
        throw file_error_c(name, "Out of buffer!");
    if (!bytes.empty())
        std::memcpy(buffer, bytes.data(), bytes.size());
    return u32(bytes.size());
}

bool CloneReadsTheSame(sound_source_c& source, u32 bytes)
{
    std::vector<u8> first(bytes), second(bytes);
    const u32 got = source.Read(first.data(), bytes);
    sound_source_c* copy = source.Clone();
    const u32 copied = copy->Read(second.data(), bytes);
    delete copy;
    return got == bytes && copied == bytes && first == second;
}

std::vector<u8> MakeOggVorbis(u32 rate, u32 channels, u32 frames, double (*sample)(u32, u32, u32))
{
    std::vector<u8> out;
    vorbis_info info;
    vorbis_info_init(&info);
    if (vorbis_encode_init_vbr(&info, long(channels), long(rate), 0.4f) != 0)
        throw std::runtime_error("vorbis_encode_init_vbr failed");
    vorbis_comment comment;
    vorbis_comment_init(&comment);
    vorbis_dsp_state dsp;
    vorbis_analysis_init(&dsp, &info);
    vorbis_block block;
    vorbis_block_init(&dsp, &block);
    ogg_stream_state stream;
    ogg_stream_init(&stream, 20320);
    auto put_page = [&](const ogg_page& page) {
        out.insert(out.end(), page.header, page.header + page.header_len);
        out.insert(out.end(), page.body, page.body + page.body_len);
    };
    ogg_packet header, header_comment, header_code;
    vorbis_analysis_headerout(&dsp, &comment, &header, &header_comment, &header_code);
    ogg_stream_packetin(&stream, &header);
    ogg_stream_packetin(&stream, &header_comment);
    ogg_stream_packetin(&stream, &header_code);
    ogg_page page;
    while (ogg_stream_flush(&stream, &page))
        put_page(page);
    u32 frame = 0;
    bool end = false;
    while (!end) {
        const u32 count = std::min<u32>(1024, frames - frame);
        if (count == 0) {
            vorbis_analysis_wrote(&dsp, 0);
        } else {
            float** buffer = vorbis_analysis_buffer(&dsp, int(count));
            for (u32 i = 0; i < count; ++i)
                for (u32 c = 0; c < channels; ++c)
                    buffer[c][i] = float(sample(frame + i, c, rate));
            vorbis_analysis_wrote(&dsp, int(count));
            frame += count;
        }
        while (vorbis_analysis_blockout(&dsp, &block) == 1) {
            vorbis_analysis(&block, nullptr);
            vorbis_bitrate_addblock(&block);
            ogg_packet packet;
            while (vorbis_bitrate_flushpacket(&dsp, &packet)) {
                ogg_stream_packetin(&stream, &packet);
                while (ogg_stream_pageout(&stream, &page)) {
                    put_page(page);
                    if (ogg_page_eos(&page))
                        end = true;
                }
            }
        }
        if (count == 0)
            end = true;
    }
    while (ogg_stream_flush(&stream, &page))
        put_page(page);
    ogg_stream_clear(&stream);
    vorbis_block_clear(&block);
    vorbis_dsp_clear(&dsp);
    vorbis_comment_clear(&comment);
    vorbis_info_clear(&info);
    return out;
}

} // namespace audio_testing
