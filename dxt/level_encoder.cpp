#include "dxt/level_encoder.h"

#include "dxt/alpha_fitter.h"
#include "dxt/color_fitter.h"
#include "dxt/rounding.h"

#include <algorithm>
#include <atomic>
#include <cmath>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <system_error>
#include <thread>
#include <utility>

u64 DxtLevelSize(i32 width, i32 height, i32 code)
{
    const u64 block = (code & 0xff00) ? 16 : 8;
    return block * ((static_cast<u64>(std::max(width, 0)) + 3) / 4) * ((static_cast<u64>(std::max(height, 0)) + 3) / 4);
}

namespace {

void Put16(u8* out, u32 v)
{
    out[0] = static_cast<u8>(v);
    out[1] = static_cast<u8>(v >> 8);
}

void EncodeExplicitAlpha(const u32 texels[16], const bool present[16], u8* out)
{
    for (i32 row = 0; row < 4; ++row) {
        u32 word = 0;
        for (i32 col = 0; col < 4; ++col) {
            u32 q = 0;
            const i32 t = row * 4 + col;
            if (present[t]) {
                const f32 a = static_cast<f32>(texels[t] >> 24) / 255.0f;
                q = static_cast<u32>(static_cast<i32>(std::floor(a * 15.0f + 0.5f)));
            }
            word = (word >> 4) | (q << 12);
        }
        Put16(out + 2 * row, word);
    }
}

// The last whole block of one alpha value a thread encoded, as for colour
// (flat_block_c below): clear surroundings and solid fills repeat it.
struct flat_alpha_c {
    bool valid = false;
    u32 alpha = 0;
    bool quick = false;
    u8 bytes[8] = {};
};

thread_local flat_alpha_c last_flat_alpha;

void EncodeInterpolatedAlpha(const u32 texels[16], const bool present[16], bool quick, u8* out)
{
    const u32 alpha = texels[0] >> 24;
    bool flat = true;
    for (i32 t = 0; t < 16; ++t)
        flat &= present[t] && (texels[t] >> 24) == alpha;
    if (flat && last_flat_alpha.valid && last_flat_alpha.alpha == alpha && last_flat_alpha.quick == quick) {
        std::copy(last_flat_alpha.bytes, last_flat_alpha.bytes + 8, out);
        return;
    }
    dxt_alpha_block_c block;
    i32 slot[16];
    for (i32 t = 0; t < 16; ++t) {
        slot[t] = -1;
        if (!present[t])
            continue;
        const u32 a = texels[t] >> 24;
        slot[t] = block.count;
        block.alpha[block.count++] = a == 255 ? 1.0f : static_cast<f32>(a) / 255.0f;
    }
    i32 a0 = 0, a1 = 1, mode = 6;
    i32 index[16] = {};
    if (block.count > 0) {
        FitAlphaBlock(block, quick);
        a0 = block.endpoints[0];
        a1 = block.endpoints[1];
        mode = block.mode;
        for (i32 i = 0; i < block.count; ++i)
            index[i] = block.indices[i];
        if (a0 == a1) {
            // One value: the fixed 0 and 255 entries a six-value block gave stay as they are.
            const bool keep_fixed = mode == 6;
            a1 = a0 + 1;
            mode = 6;
            for (i32 i = 0; i < block.count; ++i)
                if (!(keep_fixed && index[i] >= 6))
                    index[i] = 0;
        }
    }
    const bool ordered = mode == 8 ? a0 > a1 : a0 <= a1;
    if (!ordered) {
        std::swap(a0, a1);
        for (i32 i = 0; i < block.count; ++i) {
            i32& x = index[i];
            if (x <= 1)
                x ^= 1;
            else if (mode == 8)
                x = 9 - x;
            else if (x <= 5)
                x = 7 - x;
        }
    }
    out[0] = static_cast<u8>(std::clamp(a0, 0, 255));
    out[1] = static_cast<u8>(std::clamp(a1, 0, 255));
    u64 bits = 0;
    for (i32 t = 0; t < 16; ++t) {
        const u64 x = slot[t] < 0 ? 0 : static_cast<u64>(index[slot[t]] & 7);
        bits |= x << (3 * t);
    }
    for (i32 i = 0; i < 6; ++i)
        out[2 + i] = static_cast<u8>(bits >> (8 * i));
    if (flat) {
        last_flat_alpha = {true, alpha, quick, {}};
        std::copy(out, out + 8, last_flat_alpha.bytes);
    }
}

// The last whole block of one opaque colour a thread encoded: flat areas
// (backgrounds, a sprite's fills) repeat one colour block after block, and
// such a block's bytes depend on nothing but the colour and the settings.
struct flat_block_c {
    bool valid = false;
    u32 rgb = 0;
    i32 code = 0;
    f32 weights[3] = {};
    bool force_four = false;
    bool quick = false;
    u8 bytes[8] = {};

    bool Matches(u32 _rgb, i32 _code, const f32 _weights[3], bool _force_four, bool _quick) const
    {
        return valid && rgb == _rgb && code == _code && std::equal(weights, weights + 3, _weights) &&
               force_four == _force_four && quick == _quick;
    }
};

thread_local flat_block_c last_flat;

void EncodeColor(const u32 texels[16], const bool present[16], i32 code, const f32 weights[3], bool force_four,
                 bool quick, u8* out)
{
    const u32 threshold = (255u * 128u) / 255u;
    const u32 rgb = texels[0] & 0xFFFFFFu;
    bool flat = true;
    for (i32 t = 0; t < 16; ++t)
        flat &= present[t] && (texels[t] & 0xFFFFFFu) == rgb && ((code & 0xff) != 2 || (texels[t] >> 24) > threshold);
    if (flat && last_flat.Matches(rgb, code, weights, force_four, quick)) {
        std::copy(last_flat.bytes, last_flat.bytes + 8, out);
        return;
    }
    dxt_color_block_c block;
    i32 slot[16];
    i32 covered = 0;
    for (i32 t = 0; t < 16; ++t) {
        slot[t] = -1;
        if (!present[t])
            continue;
        ++covered;
        const u32 p = texels[t];
        if ((code & 0xff) == 2 && !((p >> 24) > threshold)) {
            block.has_transparent = true;
            continue;
        }
        slot[t] = block.count;
        f64* c = block.colors[block.count++];
        c[0] = ByteToUnit(p >> 16);
        c[1] = ByteToUnit(p >> 8);
        c[2] = ByteToUnit(p);
    }
    for (i32 c = 0; c < 3; ++c)
        block.channel_weight[c] = weights[c];
    block.palette_request = block.count == covered ? 4 : 3;
    block.force_four = code == dxt_code_dxt1 ? force_four : (code == dxt_code_dxt1_alpha ? false : true);
    block.palette_size = block.palette_request;
    u32 c0 = 0, c1 = 0;
    i32 palette = block.palette_request;
    if (block.count > 0) {
        FitColorBlock(block, quick);
        palette = block.palette_size;
        auto pack = [](const i32* e) {
            return static_cast<u32>(((e[0] & 31) << 11) | ((e[1] & 63) << 5) | (e[2] & 31));
        };
        c0 = pack(block.endpoints[0]);
        c1 = pack(block.endpoints[1]);
    }
    if (block.force_four)
        palette = 4;
    i32 index[16] = {};
    for (i32 i = 0; i < block.count; ++i)
        index[i] = block.indices[i];
    if (c0 == c1) {
        if (code == dxt_code_dxt1_alpha) {
            c1 = (c1 + 1) & 0xffff;
            palette = 3;
            for (i32 i = 0; i < block.count; ++i)
                index[i] = 0;
        } else {
            c0 = (c0 + 1) & 0xffff;
            for (i32 i = 0; i < block.count; ++i)
                index[i] = 1;
        }
    }
    const bool ordered = palette == 4 ? c0 > c1 : c0 <= c1;
    if (!ordered) {
        std::swap(c0, c1);
        for (i32 i = 0; i < block.count; ++i) {
            if (palette == 4)
                index[i] ^= 1;
            else if (index[i] <= 1)
                index[i] ^= 1;
        }
    }
    Put16(out, c0);
    Put16(out + 2, c1);
    u32 word = 0;
    for (i32 t = 0; t < 16; ++t) {
        const u32 x = slot[t] < 0 ? 3u : static_cast<u32>(index[slot[t]] & 3);
        word |= x << (2 * t);
    }
    for (i32 i = 0; i < 4; ++i)
        out[4 + i] = static_cast<u8>(word >> (8 * i));
    if (flat) {
        last_flat = {true, rgb, code, {weights[0], weights[1], weights[2]}, force_four, quick, {}};
        std::copy(out, out + 8, last_flat.bytes);
    }
}

} // namespace

void EncodeDxtBlock(const u32 texels[16], const bool present[16], i32 code, const f32 weights[3],
                    bool force_four_colors, bool quick_fit, u8* out)
{
    const i32 alpha = (code >> 8) & 0xff;
    if (alpha == 1)
        EncodeExplicitAlpha(texels, present, out);
    if (alpha == 2)
        EncodeInterpolatedAlpha(texels, present, quick_fit, out);
    EncodeColor(texels, present, code, weights, force_four_colors, quick_fit, alpha ? out + 8 : out);
}

namespace {

// Encodes block rows [first, end) of the level into `out` (the whole level's bytes).
void EncodeBlockRows(const dxt_level_c& level, i32 code, const f32 weights[3], bool force_four_colors, bool quick_fit,
                     i32 first, i32 end, u8* out)
{
    const u64 block_bytes = (code & 0xff00) ? 16 : 8;
    const u64 row_blocks = (static_cast<u64>(level.width) + 3) / 4;
    u8* dst = out + static_cast<u64>(first) * row_blocks * block_bytes;
    for (i32 y = first * 4; y < end * 4 && y < level.height; y += 4)
        for (i32 x = 0; x < level.width; x += 4) {
            u32 texels[16] = {};
            bool present[16] = {};
            const u32* at = level.pixels + static_cast<u64>(y) * static_cast<u64>(level.pitch) + x;
            if (x + 4 <= level.width && y + 4 <= level.height) {
                // A whole block: four rows of four, no edge to test.
                for (i32 r = 0; r < 4; ++r)
                    std::copy(at + static_cast<u64>(r) * static_cast<u64>(level.pitch),
                              at + static_cast<u64>(r) * static_cast<u64>(level.pitch) + 4, texels + r * 4);
                std::fill(present, present + 16, true);
            } else {
                for (i32 r = 0; r < 4; ++r)
                    for (i32 c = 0; c < 4; ++c) {
                        if (x + c >= level.width || y + r >= level.height)
                            continue;
                        present[r * 4 + c] = true;
                        texels[r * 4 + c] = at[static_cast<u64>(r) * static_cast<u64>(level.pitch) + c];
                    }
            }
            EncodeDxtBlock(texels, present, code, weights, force_four_colors, quick_fit, dst);
            dst += block_bytes;
        }
}

// Blocks a thread must have to be worth starting (about half a millisecond of
// work): the quick fit takes a fraction of a microsecond a block, the full fit
// several.
constexpr u64 kQuickBlocksPerThread = 1024;
constexpr u64 kFullBlocksPerThread = 64;

// Blocks handed out at once, a tenth of a millisecond of work or so: a small
// level's rows one by one would cost more in handing out than in encoding.
constexpr u64 kQuickBlocksPerTake = 128;
constexpr u64 kFullBlocksPerTake = 32;

std::atomic<u32> level_threads{0};

// One added level and how far its rows have been handed out.
struct chain_level_c {
    dxt_level_c level;
    std::vector<u8> out;
    i32 rows = 0;
    i32 rows_per_take = 1;
    i32 next_row = 0;
};

} // namespace

struct dxt_chain_encoder_c::state_c {
    i32 code = 0;
    f32 weights[3] = {};
    bool force_four_colors = false;
    bool quick_fit = false;
    u32 threads = 1;

    std::mutex lock;
    std::condition_variable added;
    // A deque: the levels stay where they are while more are added.
    std::deque<chain_level_c> levels;
    size_t first_open = 0;
    bool closed = false;
    u64 blocks = 0;
    u64 takes = 0;
    std::vector<std::thread> pool;
    bool out_of_threads = false;

    // The next rows to encode, waiting for a level while more may come; null
    // once every row is handed out and no level will be added.
    chain_level_c* Take(i32& first, i32& end)
    {
        std::unique_lock<std::mutex> guard(lock);
        while (true) {
            while (first_open < levels.size() && levels[first_open].next_row >= levels[first_open].rows)
                ++first_open;
            if (first_open < levels.size()) {
                chain_level_c& l = levels[first_open];
                first = l.next_row;
                end = std::min(l.rows, first + l.rows_per_take);
                l.next_row = end;
                return &l;
            }
            if (closed)
                return nullptr;
            added.wait(guard);
        }
    }

    // Each row is written to its own part of its level's bytes, so what a
    // thread encodes does not depend on which rows the others took.
    void Work()
    {
        i32 first = 0, end = 0;
        while (chain_level_c* l = Take(first, end))
            EncodeBlockRows(l->level, code, weights, force_four_colors, quick_fit, first, end, l->out.data());
    }

    void Close()
    {
        {
            std::lock_guard<std::mutex> guard(lock);
            closed = true;
        }
        added.notify_all();
    }

    void Join()
    {
        for (std::thread& t : pool)
            t.join();
        pool.clear();
    }
};

void SetDxtLevelThreads(u32 threads)
{
    level_threads.store(threads, std::memory_order_relaxed);
}

u32 DxtLevelThreads()
{
    const u32 threads = level_threads.load(std::memory_order_relaxed);
    return threads != 0 ? threads : std::max(1u, std::thread::hardware_concurrency());
}

dxt_chain_encoder_c::dxt_chain_encoder_c(i32 code, const f32 weights[3], bool force_four_colors, bool quick_fit,
                                         u32 threads)
    : state_(std::make_unique<state_c>())
{
    state_->code = code;
    std::copy(weights, weights + 3, state_->weights);
    state_->force_four_colors = force_four_colors;
    state_->quick_fit = quick_fit;
    state_->threads = threads != 0 ? threads : DxtLevelThreads();
}

dxt_chain_encoder_c::~dxt_chain_encoder_c()
{
    state_->Close();
    state_->Join();
}

void dxt_chain_encoder_c::Add(const dxt_level_c& level)
{
    state_c& s = *state_;
    chain_level_c l;
    l.level = level;
    l.out.resize(DxtLevelSize(level.width, level.height, s.code));
    l.rows = (std::max(level.height, 0) + 3) / 4;
    const u64 row_blocks = std::max<u64>(1, (static_cast<u64>(std::max(level.width, 0)) + 3) / 4);
    const u64 per_take = s.quick_fit ? kQuickBlocksPerTake : kFullBlocksPerTake;
    l.rows_per_take = static_cast<i32>((per_take + row_blocks - 1) / row_blocks);
    s.blocks += static_cast<u64>(l.rows) * row_blocks;
    s.takes += (static_cast<u64>(l.rows) + l.rows_per_take - 1) / l.rows_per_take;
    {
        std::lock_guard<std::mutex> guard(s.lock);
        s.levels.push_back(std::move(l));
    }
    s.added.notify_all();
    // Threads are started as the work added so far can keep them busy; the
    // calling thread joins them in Finish.
    const u64 useful = std::max<u64>(1, s.blocks / (s.quick_fit ? kQuickBlocksPerThread : kFullBlocksPerThread));
    const u64 wanted = std::min<u64>({s.threads, useful, std::max<u64>(1, s.takes)});
    while (!s.out_of_threads && s.pool.size() + 1 < wanted) {
        try {
            s.pool.emplace_back([&s] { s.Work(); });
        } catch (const std::system_error&) {
            // No more threads to be had: those started and the calling thread share the rows.
            s.out_of_threads = true;
        }
    }
}

std::vector<std::vector<u8>> dxt_chain_encoder_c::Finish()
{
    state_c& s = *state_;
    s.Close();
    s.Work();
    s.Join();
    std::vector<std::vector<u8>> out;
    out.reserve(s.levels.size());
    for (chain_level_c& l : s.levels)
        out.push_back(std::move(l.out));
    return out;
}

std::vector<u8> EncodeDxtLevel(const dxt_level_c& level, i32 code, const f32 weights[3], bool force_four_colors,
                               bool quick_fit, u32 threads)
{
    dxt_chain_encoder_c encoder(code, weights, force_four_colors, quick_fit, threads);
    encoder.Add(level);
    return std::move(encoder.Finish().front());
}
