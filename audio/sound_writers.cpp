#include "audio/sound_writers.h"

#include <vorbis/vorbisenc.h>

#include <algorithm>
#include <cmath>
#include <stdexcept>

namespace {

void PutU32(std::vector<u8>& _out, u32 _value)
{
    for (int i = 0; i < 4; ++i)
        _out.push_back(u8(_value >> (8 * i)));
}

void PutU16(std::vector<u8>& _out, u32 _value)
{
    _out.push_back(u8(_value));
    _out.push_back(u8(_value >> 8));
}

// Owns the encoder's state so that a failure part-way frees it all.
class vorbis_encoder_c {
public:
    vorbis_encoder_c(u32 _rate, u32 _channels, float _quality)
    {
        vorbis_info_init(&info);
        if (vorbis_encode_init_vbr(&info, long(_channels), long(_rate), _quality) != 0) {
            vorbis_info_clear(&info);
            throw std::runtime_error("The Vorbis encoder refuses " + std::to_string(_rate) + " Hz, " +
                                     std::to_string(_channels) + " channels");
        }
        vorbis_comment_init(&comment);
        vorbis_analysis_init(&dsp, &info);
        vorbis_block_init(&dsp, &block);
        ogg_stream_init(&stream, 20320);
    }
    ~vorbis_encoder_c()
    {
        ogg_stream_clear(&stream);
        vorbis_block_clear(&block);
        vorbis_dsp_clear(&dsp);
        vorbis_comment_clear(&comment);
        vorbis_info_clear(&info);
    }
    vorbis_encoder_c(const vorbis_encoder_c&) = delete;
    vorbis_encoder_c& operator=(const vorbis_encoder_c&) = delete;

    vorbis_info info;
    vorbis_comment comment;
    vorbis_dsp_state dsp;
    vorbis_block block;
    ogg_stream_state stream;
};

} // namespace

std::vector<u8> MakeWave(u32 _rate, u32 _channels, u32 _frames, const sound_signal_f& _sample)
{
    std::vector<u8> out;
    const u32 data = _frames * _channels * 2;
    out.insert(out.end(), {'R', 'I', 'F', 'F'});
    PutU32(out, 36 + data);
    out.insert(out.end(), {'W', 'A', 'V', 'E', 'f', 'm', 't', ' '});
    PutU32(out, 16);
    PutU16(out, 1);
    PutU16(out, _channels);
    PutU32(out, _rate);
    PutU32(out, _rate * _channels * 2);
    PutU16(out, _channels * 2);
    PutU16(out, 16);
    out.insert(out.end(), {'d', 'a', 't', 'a'});
    PutU32(out, data);
    for (u32 f = 0; f < _frames; ++f)
        for (u32 c = 0; c < _channels; ++c) {
            const double v = std::clamp(_sample(f, c), -1.0, 1.0);
            PutU16(out, u32(i32(std::lround(v * 32767.0))) & 0xFFFF);
        }
    return out;
}

std::vector<u8> MakeOggVorbis(u32 _rate, u32 _channels, u32 _frames, const sound_signal_f& _sample, float _quality)
{
    std::vector<u8> out;
    vorbis_encoder_c encoder(_rate, _channels, _quality);
    auto put_page = [&](const ogg_page& _page) {
        out.insert(out.end(), _page.header, _page.header + _page.header_len);
        out.insert(out.end(), _page.body, _page.body + _page.body_len);
    };
    ogg_packet header, header_comment, header_code;
    vorbis_analysis_headerout(&encoder.dsp, &encoder.comment, &header, &header_comment, &header_code);
    ogg_stream_packetin(&encoder.stream, &header);
    ogg_stream_packetin(&encoder.stream, &header_comment);
    ogg_stream_packetin(&encoder.stream, &header_code);
    ogg_page page;
    while (ogg_stream_flush(&encoder.stream, &page))
        put_page(page);
    u32 frame = 0;
    bool end = false;
    while (!end) {
        const u32 count = std::min<u32>(1024, _frames - frame);
        if (count == 0) {
            vorbis_analysis_wrote(&encoder.dsp, 0);
        } else {
            float** buffer = vorbis_analysis_buffer(&encoder.dsp, int(count));
            for (u32 i = 0; i < count; ++i)
                for (u32 c = 0; c < _channels; ++c)
                    buffer[c][i] = float(std::clamp(_sample(frame + i, c), -1.0, 1.0));
            vorbis_analysis_wrote(&encoder.dsp, int(count));
            frame += count;
        }
        while (vorbis_analysis_blockout(&encoder.dsp, &encoder.block) == 1) {
            vorbis_analysis(&encoder.block, nullptr);
            vorbis_bitrate_addblock(&encoder.block);
            ogg_packet packet;
            while (vorbis_bitrate_flushpacket(&encoder.dsp, &packet)) {
                ogg_stream_packetin(&encoder.stream, &packet);
                while (ogg_stream_pageout(&encoder.stream, &page)) {
                    put_page(page);
                    if (ogg_page_eos(&page))
                        end = true;
                }
            }
        }
        if (count == 0)
            end = true;
    }
    while (ogg_stream_flush(&encoder.stream, &page))
        put_page(page);
    return out;
}
