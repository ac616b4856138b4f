#include "platform/dshow/movie_decoder.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/imgutils.h>
#include <libswresample/swresample.h>
#include <libswscale/swscale.h>
}

#include <algorithm>
#include <limits>

namespace {

// Pictures larger than this are refused rather than allocated.
constexpr i64 kMaxPixels = 8192LL * 8192;

struct codec_s {
    int index = -1;
    AVCodecContext* context = nullptr;
    double time_base = 0;
};

double Seconds(i64 stamp, double time_base, double fallback)
{
    return stamp == AV_NOPTS_VALUE ? fallback : static_cast<double>(stamp) * time_base;
}

} // namespace

struct movie_decoder_c::state_s {
    AVFormatContext* format = nullptr;
    codec_s video;
    codec_s audio;
    AVPacket* packet = nullptr;
    AVFrame* frame = nullptr;
    SwsContext* scaler = nullptr;
    SwrContext* resampler = nullptr;
    i32 channels = 0;
    i32 rate = 0;
    double next_sound_time = 0;
    double next_picture_time = 0;
    bool draining = false;
    bool ended = false;

    ~state_s()
    {
        sws_freeContext(scaler);
        swr_free(&resampler);
        av_frame_free(&frame);
        av_packet_free(&packet);
        avcodec_free_context(&video.context);
        avcodec_free_context(&audio.context);
        avformat_close_input(&format);
    }

    void OpenStream(AVMediaType type, codec_s& codec)
    {
        const AVCodec* decoder = nullptr;
        const int index = av_find_best_stream(format, type, -1, -1, &decoder, 0);
        if (index < 0 || !decoder)
            return;
        AVCodecContext* context = avcodec_alloc_context3(decoder);
        if (!context)
            return;
        AVStream* stream = format->streams[index];
        if (avcodec_parameters_to_context(context, stream->codecpar) < 0 ||
            avcodec_open2(context, decoder, nullptr) < 0) {
            avcodec_free_context(&context);
            return;
        }
        codec.index = index;
        codec.context = context;
        codec.time_base = av_q2d(stream->time_base);
    }

    bool Picture(movie_picture_s& out)
    {
        const AVCodecContext* c = video.context;
        const i32 w = frame->width, h = frame->height;
        if (w <= 0 || h <= 0 || static_cast<i64>(w) * h > kMaxPixels)
            return false;
        scaler = sws_getCachedContext(scaler, w, h, static_cast<AVPixelFormat>(frame->format), w, h, AV_PIX_FMT_RGBA,
                                      SWS_BILINEAR, nullptr, nullptr, nullptr);
        if (!scaler)
            return false;
        out.width = w;
        out.height = h;
        out.rgba.assign(static_cast<size_t>(w) * static_cast<size_t>(h) * 4, 0);
        u8* planes[4] = {out.rgba.data(), nullptr, nullptr, nullptr};
        int strides[4] = {w * 4, 0, 0, 0};
        if (sws_scale(scaler, frame->data, frame->linesize, 0, h, planes, strides) != h)
            return false;
        const double frame_length = c->framerate.num > 0 ? av_q2d(av_inv_q(c->framerate)) : 0.04;
        out.time = Seconds(frame->best_effort_timestamp, video.time_base, next_picture_time);
        next_picture_time = out.time + frame_length;
        return true;
    }

    bool Sound(movie_sound_s& out)
    {
        if (!resampler) {
            AVChannelLayout layout;
            av_channel_layout_default(&layout, channels);
            if (swr_alloc_set_opts2(&resampler, &layout, AV_SAMPLE_FMT_S16, rate, &audio.context->ch_layout,
                                    audio.context->sample_fmt, audio.context->sample_rate, 0, nullptr) < 0 ||
                swr_init(resampler) < 0)
                return false;
        }
        const int room = swr_get_out_samples(resampler, frame->nb_samples);
        if (room <= 0)
            return false;
        out.samples.assign(static_cast<size_t>(room) * static_cast<size_t>(channels), 0);
        u8* target = reinterpret_cast<u8*>(out.samples.data());
        const int made =
            swr_convert(resampler, &target, room, const_cast<const u8**>(frame->extended_data), frame->nb_samples);
        if (made < 0)
            return false;
        out.samples.resize(static_cast<size_t>(made) * static_cast<size_t>(channels));
        out.time = Seconds(frame->best_effort_timestamp, audio.time_base, next_sound_time);
        next_sound_time = out.time + static_cast<double>(made) / rate;
        return true;
    }

    // A frame waiting in a decoder, tried video first.
    int Receive(movie_picture_s& picture, movie_sound_s& sound)
    {
        for (codec_s* codec : {&video, &audio}) {
            if (!codec->context)
                continue;
            for (;;) {
                const int got = avcodec_receive_frame(codec->context, frame);
                if (got < 0)
                    break;
                const bool ok = codec == &video ? Picture(picture) : Sound(sound);
                av_frame_unref(frame);
                if (ok)
                    return 1;
            }
        }
        return 0;
    }
};

movie_decoder_c::movie_decoder_c(const std::string& path) : _state(std::make_unique<state_s>())
{
    state_s& s = *_state;
    if (avformat_open_input(&s.format, path.c_str(), nullptr, nullptr) < 0)
        throw movie_error_c("Cannot open movie \"" + path + "\"");
    if (avformat_find_stream_info(s.format, nullptr) < 0)
        throw movie_error_c("Cannot read the streams of movie \"" + path + "\"");
    s.OpenStream(AVMEDIA_TYPE_VIDEO, s.video);
    s.OpenStream(AVMEDIA_TYPE_AUDIO, s.audio);
    if (!s.video.context && !s.audio.context)
        throw movie_error_c("Movie \"" + path + "\" has no stream that can be decoded");
    if (s.audio.context) {
        s.channels = std::clamp(s.audio.context->ch_layout.nb_channels, 1, 2);
        s.rate = s.audio.context->sample_rate;
        if (s.rate <= 0 || s.rate > 384000) {
            avcodec_free_context(&s.audio.context);
            s.audio.index = -1;
            s.channels = s.rate = 0;
        }
    }
    s.packet = av_packet_alloc();
    s.frame = av_frame_alloc();
    if (!s.packet || !s.frame)
        throw movie_error_c("Out of memory opening movie \"" + path + "\"");
}

movie_decoder_c::~movie_decoder_c() = default;

bool movie_decoder_c::HasVideo() const
{
    return _state->video.context != nullptr;
}

bool movie_decoder_c::HasAudio() const
{
    return _state->audio.context != nullptr;
}

i32 movie_decoder_c::GetSampleRate() const
{
    return _state->rate;
}

i32 movie_decoder_c::GetChannels() const
{
    return _state->channels;
}

double movie_decoder_c::GetDuration() const
{
    const i64 d = _state->format->duration;
    return d > 0 && d != AV_NOPTS_VALUE ? static_cast<double>(d) / AV_TIME_BASE : 0.0;
}

bool movie_decoder_c::Next(movie_picture_s& picture, movie_sound_s& sound)
{
    state_s& s = *_state;
    picture.rgba.clear();
    sound.samples.clear();
    while (!s.ended) {
        if (s.Receive(picture, sound))
            return true;
        if (s.draining) {
            s.ended = true;
            break;
        }
        const int read = av_read_frame(s.format, s.packet);
        if (read < 0) {
            // The end, or a part that cannot be read: what the decoders hold
            // is still shown.
            s.draining = true;
            for (codec_s* codec : {&s.video, &s.audio})
                if (codec->context)
                    avcodec_send_packet(codec->context, nullptr);
            continue;
        }
        codec_s* codec = s.packet->stream_index == s.video.index   ? &s.video
                         : s.packet->stream_index == s.audio.index ? &s.audio
                                                                   : nullptr;
        // A packet a decoder refuses is skipped; the next ones may decode.
        if (codec)
            avcodec_send_packet(codec->context, s.packet);
        av_packet_unref(s.packet);
    }
    return false;
}
