#pragma once
// Short clips made with FFmpeg's own encoders, for the movie tests: an AVI
// of MPEG-4 pictures, each a flat colour that changes with the frame, and
// optionally a tone as 16-bit PCM.
#include <string>

#include "foundation/types.h"

namespace movie_testing {

struct clip_s {
    i32 frames = 5;
    i32 width = 64;
    i32 height = 48;
    i32 fps = 25;
    bool sound = true;
    i32 rate = 22050;
};

// A path in a folder of this process's own (tests of several processes run
// side by side), removed at exit.
std::string ScratchPath(const std::string& name);

// Writes the clip to path; throws std::runtime_error when FFmpeg cannot.
void WriteClip(const std::string& path, const clip_s& clip);

} // namespace movie_testing
