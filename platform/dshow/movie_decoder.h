#pragma once
// A clip's pictures and sound, decoded by FFmpeg in the order of the file:
// pictures as 32-bit RGBA rows at the clip's size, sound as interleaved
// signed 16-bit samples at the clip's rate, mono or stereo. Times are seconds
// from the clip's start.
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "foundation/types.h"

class movie_error_c : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

struct movie_picture_s {
    double time = 0;
    i32 width = 0;
    i32 height = 0;
    std::vector<u8> rgba; // width * height * 4 bytes, top row first
};

struct movie_sound_s {
    double time = 0;
    std::vector<i16> samples; // interleaved
};

class movie_decoder_c {
public:
    // Opens the file and its best video and audio streams; throws
    // movie_error_c when it cannot be read or has neither.
    explicit movie_decoder_c(const std::string& path);
    ~movie_decoder_c();
    movie_decoder_c(const movie_decoder_c&) = delete;
    movie_decoder_c& operator=(const movie_decoder_c&) = delete;

    bool HasVideo() const;
    bool HasAudio() const;
    // Sound format; 0 without audio.
    i32 GetSampleRate() const;
    i32 GetChannels() const;
    // The clip's length in seconds as its file states it; 0 when unknown.
    double GetDuration() const;

    // The next decoded picture or sound, whichever the file holds next: true
    // with one of them filled (the other left empty), false at the end. A
    // damaged part of the file ends the clip there.
    bool Next(movie_picture_s& picture, movie_sound_s& sound);

private:
    struct state_s;
    std::unique_ptr<state_s> _state;
};
