#include "platform/dshow/testing/movie_clip.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
}

#include <cmath>
#include <filesystem>
#include <stdexcept>

#include <stdlib.h>

namespace movie_testing {

namespace {

void Check(int result, const char* what)
{
    if (result < 0)
        throw std::runtime_error(std::string("making a test clip: ") + what);
}

struct writer_s {
    AVFormatContext* format = nullptr;
    AVCodecContext* video = nullptr;
    AVCodecContext* audio = nullptr;
    AVStream* video_stream = nullptr;
    AVStream* audio_stream = nullptr;
    AVFrame* frame = nullptr;
    AVPacket* packet = nullptr;

    ~writer_s()
    {
        av_packet_free(&packet);
        av_frame_free(&frame);
        avcodec_free_context(&video);
        avcodec_free_context(&audio);
        if (format) {
            avio_closep(&format->pb);
            avformat_free_context(format);
        }
    }

    void Drain(AVCodecContext* codec, AVStream* stream)
    {
        while (avcodec_receive_packet(codec, packet) >= 0) {
            av_packet_rescale_ts(packet, codec->time_base, stream->time_base);
            packet->stream_index = stream->index;
            Check(av_interleaved_write_frame(format, packet), "writing a packet");
        }
    }
};

struct scratch_folder_s {
    std::string path;
    scratch_folder_s()
    {
        std::string pattern = (std::filesystem::temp_directory_path() / "skyvarn-clips-XXXXXX").string();
        if (!mkdtemp(pattern.data()))
            throw std::runtime_error("no scratch folder for test clips");
        path = pattern;
    }
    ~scratch_folder_s()
    {
        std::error_code ignored;
        std::filesystem::remove_all(path, ignored);
    }
};

} // namespace

std::string ScratchPath(const std::string& name)
{
    static const scratch_folder_s folder;
    return folder.path + "/" + name;
}

void WriteClip(const std::string& path, const clip_s& clip)
{
    writer_s w;
    Check(avformat_alloc_output_context2(&w.format, nullptr, "avi", path.c_str()), "the container");
    const AVCodec* mpeg4 = avcodec_find_encoder(AV_CODEC_ID_MPEG4);
    if (!mpeg4)
        throw std::runtime_error("making a test clip: no MPEG-4 encoder");
    w.video_stream = avformat_new_stream(w.format, nullptr);
    w.video = avcodec_alloc_context3(mpeg4);
    w.video->width = clip.width;
    w.video->height = clip.height;
    w.video->pix_fmt = AV_PIX_FMT_YUV420P;
    w.video->time_base = AVRational{1, clip.fps};
    w.video->framerate = AVRational{clip.fps, 1};
    w.video->gop_size = 2;
    Check(avcodec_open2(w.video, mpeg4, nullptr), "the video encoder");
    Check(avcodec_parameters_from_context(w.video_stream->codecpar, w.video), "the video stream");
    w.video_stream->time_base = w.video->time_base;
    if (clip.sound) {
        const AVCodec* pcm = avcodec_find_encoder(AV_CODEC_ID_PCM_S16LE);
        w.audio_stream = avformat_new_stream(w.format, nullptr);
        w.audio = avcodec_alloc_context3(pcm);
        w.audio->sample_fmt = AV_SAMPLE_FMT_S16;
        w.audio->sample_rate = clip.rate;
        av_channel_layout_default(&w.audio->ch_layout, 1);
        w.audio->time_base = AVRational{1, clip.rate};
        Check(avcodec_open2(w.audio, pcm, nullptr), "the audio encoder");
        Check(avcodec_parameters_from_context(w.audio_stream->codecpar, w.audio), "the audio stream");
        w.audio_stream->time_base = w.audio->time_base;
    }
    Check(avio_open(&w.format->pb, path.c_str(), AVIO_FLAG_WRITE), "the file");
    Check(avformat_write_header(w.format, nullptr), "the header");
    w.frame = av_frame_alloc();
    w.packet = av_packet_alloc();

    const i32 per_frame = clip.rate / clip.fps;
    for (i32 n = 0; n < clip.frames; ++n) {
        av_frame_unref(w.frame);
        w.frame->format = AV_PIX_FMT_YUV420P;
        w.frame->width = clip.width;
        w.frame->height = clip.height;
        Check(av_frame_get_buffer(w.frame, 0), "a picture");
        for (int plane = 0; plane < 3; ++plane) {
            const int rows = plane == 0 ? clip.height : clip.height / 2;
            const u8 value = static_cast<u8>(plane == 0 ? 40 + n * 30 : 128);
            for (int y = 0; y < rows; ++y)
                std::fill_n(w.frame->data[plane] + y * w.frame->linesize[plane], w.frame->linesize[plane], value);
        }
        w.frame->pts = n;
        Check(avcodec_send_frame(w.video, w.frame), "encoding a picture");
        w.Drain(w.video, w.video_stream);
        if (w.audio) {
            av_frame_unref(w.frame);
            w.frame->format = AV_SAMPLE_FMT_S16;
            w.frame->nb_samples = per_frame;
            w.frame->sample_rate = clip.rate;
            av_channel_layout_default(&w.frame->ch_layout, 1);
            Check(av_frame_get_buffer(w.frame, 0), "a sound");
            auto* samples = reinterpret_cast<i16*>(w.frame->data[0]);
            for (i32 i = 0; i < per_frame; ++i)
                samples[i] = static_cast<i16>(8000 * std::sin(2 * M_PI * 440 * (n * per_frame + i) / clip.rate));
            w.frame->pts = static_cast<i64>(n) * per_frame;
            Check(avcodec_send_frame(w.audio, w.frame), "encoding a sound");
            w.Drain(w.audio, w.audio_stream);
        }
    }
    avcodec_send_frame(w.video, nullptr);
    w.Drain(w.video, w.video_stream);
    if (w.audio) {
        avcodec_send_frame(w.audio, nullptr);
        w.Drain(w.audio, w.audio_stream);
    }
    Check(av_write_trailer(w.format), "the trailer");
}

} // namespace movie_testing
