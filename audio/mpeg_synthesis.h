#pragma once
// The 32-band polyphase synthesis filter of one channel: 32 subband samples
// in, 32 PCM samples out (full scale 1.0).
#include "foundation/types.h"

class mpeg_synthesis_c {
public:
    mpeg_synthesis_c() { Reset(); }
    // Forgets the history of earlier samples.
    void Reset();
    // Filters one time slot of subband samples into 32 output samples.
    void Synthesize(const float subbands[32], float out[32]);

private:
    alignas(16) float _v[1024]; // ring of the last 16 matrixed blocks
    u32 _offset;
};
