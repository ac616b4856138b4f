#pragma once
// A clip's sound on OpenAL, through a device and context of its own made
// current for the playing thread only, so the program's sound device keeps
// its context. Used from one thread. Without an audio device every call
// does nothing and the sound is dropped.
#include <memory>

#include "foundation/types.h"

class movie_sound_output_c {
public:
    movie_sound_output_c(i32 rate, i32 channels);
    ~movie_sound_output_c();
    movie_sound_output_c(const movie_sound_output_c&) = delete;
    movie_sound_output_c& operator=(const movie_sound_output_c&) = delete;

    bool IsOpen() const;
    // Seconds of sound queued and not yet heard.
    double GetQueued();
    // Queues frames (interleaved) and starts play if it stopped.
    void Queue(const i16* samples, size_t frames);

private:
    struct state_s;
    std::unique_ptr<state_s> _state;
};
