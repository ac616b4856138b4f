#pragma once
// Turns one 32-bit work level (pixels 0xAARRGGBB) into DXT blocks.
#include "foundation/types.h"

#include <memory>
#include <vector>

// Block codes: the low byte says how transparent texels are found (0 none,
// 2 by alpha), the second byte which alpha block is written (0 none,
// 1 explicit 4-bit, 2 interpolated).
enum dxt_code_e : i32 {
    dxt_code_dxt1 = 0,
    dxt_code_dxt1_alpha = 2,
    dxt_code_dxt3 = 256,
    dxt_code_dxt5 = 512,
};

// A level to encode. Texels beyond `width` x `height` are missing: they take
// no part in the fit, whatever the work image holds there.
struct dxt_level_c {
    const u32* pixels = nullptr;
    i32 width = 0;
    i32 height = 0;
    i32 pitch = 0; // in pixels
};

// Bytes of a level: 8 or 16 per 4x4 block.
u64 DxtLevelSize(i32 width, i32 height, i32 code);

// Encodes the level; `weights` are the red, green and blue error weights.
// Large levels are shared among up to `threads` threads (0: the number set
// by SetDxtLevelThreads); the bytes are the same for any number of threads.
std::vector<u8> EncodeDxtLevel(const dxt_level_c& level, i32 code, const f32 weights[3], bool force_four_colors,
                               bool quick_fit, u32 threads = 0);

// Encodes a run of levels with one code and one set of settings, as
// EncodeDxtLevel would each. Their block rows go to up to `threads` threads
// (0: the number set by SetDxtLevelThreads, 1: the calling thread alone, in
// Finish) as soon as a level is added, and a thread that finds a level's rows
// all handed out moves on to the next level's; the bytes are the same for any
// number of threads.
class dxt_chain_encoder_c {
public:
    dxt_chain_encoder_c(i32 code, const f32 weights[3], bool force_four_colors, bool quick_fit, u32 threads = 0);
    dxt_chain_encoder_c(const dxt_chain_encoder_c&) = delete;
    dxt_chain_encoder_c& operator=(const dxt_chain_encoder_c&) = delete;
    // Waits for the threads, which first encode whatever was added.
    ~dxt_chain_encoder_c();

    // Adds a level; its pixels must stay as they are until Finish returns.
    void Add(const dxt_level_c& level);
    // Encodes the rows left on the calling thread as well and returns the
    // levels' bytes in the order they were added. Adds no more levels after.
    std::vector<std::vector<u8>> Finish();

private:
    struct state_c;
    std::unique_ptr<state_c> state_;
};

// How many threads level encoding, and the level generator's reading and
// halving around it, may use from now on, for the whole process: 0 (the
// default) one per processor, 1 the calling thread alone.
void SetDxtLevelThreads(u32 threads);

// The number of threads SetDxtLevelThreads allows, 0 turned into the number
// of processors.
u32 DxtLevelThreads();

// Encodes one block of up to 16 texels (t = 4 x row + column); a texel not in
// `present` is missing. Writes 8 or 16 bytes.
void EncodeDxtBlock(const u32 texels[16], const bool present[16], i32 code, const f32 weights[3],
                    bool force_four_colors, bool quick_fit, u8* out);
