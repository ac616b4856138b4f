#include "audio/mpeg_layer3.h"

#include <immintrin.h>

#include <algorithm>
#include <cmath>
#include <cstring>

#include "audio/mpeg_bit_reader.h"
#include "audio/mpeg_huffman.h"
#include "audio/mpeg_tables.h"
#include "foundation/processor_dispatch.h"

namespace {

constexpr u32 reservoir_keep = 511; // the farthest main_data_begin reaches back
constexpr u32 reservoir_padding = 64;
constexpr int power_offset = 512;

struct layer3_tables_c {
    float pow43[2 * 8206 + 1];                // sign(v) |v|^(4/3) at v + 8206
    float pow2[power_offset + 64];            // 2^(q / 4) for q in [-512, 64)
    alignas(16) float imdct_long[18][20];     // [input k][row]; rows are outputs 0..8 and 18..26, 2 of padding
    alignas(16) float imdct_long4[18][18][4]; // [input k][row], each value four times
    float imdct_short[6][12];                 // [input k][output]
    float windows[4][36];                     // block types 0, 1, 2 (short, 12 used), 3
    float alias_cs[8], alias_ca[8];
    float is_left[7], is_right[7]; // MPEG-1 intensity ratios

    layer3_tables_c()
    {
        for (int i = 0; i <= 8206; ++i) {
            const float value = float(std::pow(double(i), 4.0 / 3.0));
            pow43[8206 + i] = value;
            pow43[8206 - i] = -value;
        }
        for (int q = -power_offset; q < 64; ++q)
            pow2[q + power_offset] = float(std::pow(2.0, q / 4.0));
        for (int r = 0; r < 18; ++r) {
            const int i = r < 9 ? r : r + 9;
            for (int k = 0; k < 18; ++k)
                imdct_long[k][r] = float(std::cos(M_PI / 72.0 * (2 * i + 19) * (2 * k + 1)));
        }
        for (int r = 0; r < 18; ++r)
            for (int k = 0; k < 18; ++k)
                for (int lane = 0; lane < 4; ++lane)
                    imdct_long4[k][r][lane] = imdct_long[k][r];
        for (int i = 0; i < 12; ++i)
            for (int k = 0; k < 6; ++k)
                imdct_short[k][i] = float(std::cos(M_PI / 24.0 * (2 * i + 7) * (2 * k + 1)));
        for (int i = 0; i < 36; ++i)
            windows[0][i] = float(std::sin(M_PI / 36.0 * (i + 0.5)));
        for (int i = 0; i < 36; ++i) {
            double start = 0.0, stop = 0.0;
            if (i < 18)
                start = std::sin(M_PI / 36.0 * (i + 0.5));
            else if (i < 24)
                start = 1.0;
            else if (i < 30)
                start = std::sin(M_PI / 12.0 * (i - 18 + 0.5));
            if (i >= 6 && i < 12)
                stop = std::sin(M_PI / 12.0 * (i - 6 + 0.5));
            else if (i >= 12 && i < 18)
                stop = 1.0;
            else if (i >= 18)
                stop = std::sin(M_PI / 36.0 * (i + 0.5));
            windows[1][i] = float(start);
            windows[3][i] = float(stop);
            windows[2][i] = i < 12 ? float(std::sin(M_PI / 12.0 * (i + 0.5))) : 0.0f;
        }
        static const double c[8] = {-0.6, -0.535, -0.33, -0.185, -0.095, -0.041, -0.0142, -0.0037};
        for (int i = 0; i < 8; ++i) {
            const double s = std::sqrt(1.0 + c[i] * c[i]);
            alias_cs[i] = float(1.0 / s);
            alias_ca[i] = float(c[i] / s);
        }
        for (int p = 0; p < 7; ++p) {
            if (p == 6) {
                is_left[p] = 1.0f;
                is_right[p] = 0.0f;
                continue;
            }
            const double t = std::tan(p * M_PI / 12.0);
            is_left[p] = float(t / (1.0 + t));
            is_right[p] = float(1.0 / (1.0 + t));
        }
    }
};

const layer3_tables_c& Tables()
{
    static const layer3_tables_c tables;
    return tables;
}

bool IsShort(u32 window_switching, u32 block_type)
{
    return window_switching && block_type == 2;
}

// Long blocks of subbands sb..sb+3 through IMDCT, window and overlap; the
// lower two take the window of low_type, the upper two that of type. Built
// plain and for AVX2 below.
[[gnu::always_inline]] inline void LongBlocksBody(const float* xr, int sb, u32 low_type, u32 type, float (*overlap)[32],
                                                  float (*out)[32])
{
    const layer3_tables_c& tables = Tables();
    // Lanes are the four subbands; each row of the IMDCT is one coefficient per input.
    __m128 x[18];
    for (int k = 0; k < 18; ++k)
        x[k] = _mm_setr_ps(xr[18 * sb + k], xr[18 * (sb + 1) + k], xr[18 * (sb + 2) + k], xr[18 * (sb + 3) + k]);
    __m128 half[18];
    // Nine rows at a time keep their sums in registers while the inputs stream by.
    for (int first = 0; first < 18; first += 9) {
        __m128 sum[9];
#pragma GCC unroll 9
        for (int j = 0; j < 9; ++j)
            sum[j] = _mm_setzero_ps();
        for (int k = 0; k < 18; ++k) {
            const __m128 input = x[k];
#pragma GCC unroll 9
            for (int j = 0; j < 9; ++j)
                sum[j] = _mm_add_ps(sum[j], _mm_mul_ps(input, _mm_load_ps(tables.imdct_long4[k][first + j])));
        }
#pragma GCC unroll 9
        for (int j = 0; j < 9; ++j)
            half[first + j] = sum[j];
    }
    const float* low_window = tables.windows[low_type];
    const float* window = tables.windows[type];
    // sb is a multiple of 4: lanes 1 and 3 are the odd subbands, inverted on odd slots.
    const __m128 inversion = _mm_setr_ps(1.0f, -1.0f, 1.0f, -1.0f);
    for (int i = 0; i < 18; ++i) {
        const __m128 low = i < 9 ? half[i] : _mm_sub_ps(_mm_setzero_ps(), half[17 - i]);
        const __m128 high = i < 9 ? half[9 + i] : half[26 - i];
        const __m128 rise = _mm_setr_ps(low_window[i], low_window[i], window[i], window[i]);
        const __m128 fall = _mm_setr_ps(low_window[18 + i], low_window[18 + i], window[18 + i], window[18 + i]);
        __m128 value = _mm_add_ps(_mm_mul_ps(low, rise), _mm_loadu_ps(&overlap[i][sb]));
        if (i & 1)
            value = _mm_mul_ps(value, inversion);
        _mm_storeu_ps(&out[i][sb], value);
        _mm_storeu_ps(&overlap[i][sb], _mm_mul_ps(high, fall));
    }
}

void LongBlocksPlain(const float* xr, int sb, u32 low_type, u32 type, float (*overlap)[32], float (*out)[32])
{
    LongBlocksBody(xr, sb, low_type, type, overlap, out);
}

[[gnu::target("avx2")]] void LongBlocksAvx2(const float* xr, int sb, u32 low_type, u32 type, float (*overlap)[32],
                                            float (*out)[32])
{
    LongBlocksBody(xr, sb, low_type, type, overlap, out);
}

using long_blocks4_c = processor_dispatch_c<&LongBlocksPlain, &LongBlocksAvx2>;

} // namespace

u32 MpegLowerRateLengths(u32 sfc, bool intensity_right, u32 slen[4])
{
    slen[0] = slen[1] = slen[2] = slen[3] = 0;
    if (!intensity_right) {
        if (sfc < 400) {
            slen[0] = (sfc >> 4) / 5;
            slen[1] = (sfc >> 4) % 5;
            slen[2] = (sfc & 15) >> 2;
            slen[3] = sfc & 3;
            return 0;
        }
        if (sfc < 500) {
            sfc -= 400;
            slen[0] = (sfc >> 2) / 5;
            slen[1] = (sfc >> 2) % 5;
            slen[2] = sfc & 3;
            return 1;
        }
        sfc -= 500;
        slen[0] = sfc / 3;
        slen[1] = sfc % 3;
        return 2;
    }
    sfc >>= 1;
    if (sfc < 180) {
        slen[0] = sfc / 36;
        slen[1] = (sfc % 36) / 6;
        slen[2] = (sfc % 36) % 6;
        return 3;
    }
    if (sfc < 244) {
        sfc -= 180;
        slen[0] = (sfc & 63) >> 4;
        slen[1] = (sfc & 15) >> 2;
        slen[2] = sfc & 3;
        return 4;
    }
    sfc -= 244;
    slen[0] = sfc / 3;
    slen[1] = sfc % 3;
    return 5;
}

mpeg_layer3_c::mpeg_layer3_c()
{
    Reset();
}

void mpeg_layer3_c::Reset()
{
    ClearReservoir();
    ClearOverlap();
}

void mpeg_layer3_c::ClearReservoir()
{
    _reservoir_size = 0;
    std::memset(_reservoir, 0, sizeof(_reservoir));
}

void mpeg_layer3_c::ClearOverlap()
{
    std::memset(_overlap, 0, sizeof(_overlap));
}

void mpeg_layer3_c::AppendMainData(const u8* data, u32 size)
{
    const u32 room = sizeof(_reservoir) - reservoir_padding;
    if (_reservoir_size + size > room) {
        const u32 keep = std::min(_reservoir_size, reservoir_keep);
        std::memmove(_reservoir, _reservoir + _reservoir_size - keep, keep);
        _reservoir_size = keep;
    }
    size = std::min(size, room - _reservoir_size);
    std::memcpy(_reservoir + _reservoir_size, data, size);
    _reservoir_size += size;
    std::memset(_reservoir + _reservoir_size, 0, reservoir_padding);
}

void mpeg_layer3_c::Feed(const mpeg_header_c& header, const u8* body, u32 size)
{
    const u32 side = header.SideInfoBytes();
    if (size > side)
        AppendMainData(body + side, size - side);
    if (_reservoir_size > reservoir_keep) {
        std::memmove(_reservoir, _reservoir + _reservoir_size - reservoir_keep, reservoir_keep);
        _reservoir_size = reservoir_keep;
        std::memset(_reservoir + _reservoir_size, 0, reservoir_padding);
    }
}

bool mpeg_layer3_c::ReadSideInfo(const mpeg_header_c& header, const u8* body, u32 size, side_info_c& side) const
{
    if (size < header.SideInfoBytes())
        return false;
    const u32 channels = header.Channels();
    const bool mpeg1 = header.version == 0;
    mpeg_bit_reader_c reader(body, 0);
    if (mpeg1) {
        side.main_data_begin = reader.Get(9);
        reader.Skip(channels == 1 ? 5 : 3);
        for (u32 ch = 0; ch < channels; ++ch)
            side.scfsi[ch] = reader.Get(4);
    } else {
        side.main_data_begin = reader.Get(8);
        reader.Skip(channels == 1 ? 1 : 2);
        side.scfsi[0] = side.scfsi[1] = 0;
    }
    bool valid = true;
    for (u32 gr = 0; gr < (mpeg1 ? 2u : 1u); ++gr) {
        for (u32 ch = 0; ch < channels; ++ch) {
            granule_c& g = side.granules[gr][ch];
            g.part2_3_length = reader.Get(12);
            g.big_values = reader.Get(9);
            g.global_gain = reader.Get(8);
            g.scalefac_compress = reader.Get(mpeg1 ? 4 : 9);
            g.window_switching = reader.Get(1);
            if (g.window_switching) {
                g.block_type = reader.Get(2);
                g.mixed_block = reader.Get(1);
                g.table_select[0] = reader.Get(5);
                g.table_select[1] = reader.Get(5);
                g.table_select[2] = 0;
                for (u32& gain : g.subblock_gain)
                    gain = reader.Get(3);
                g.region0_count = (g.block_type == 2 && !g.mixed_block) ? 8 : 7;
                g.region1_count = 36;
                if (g.block_type == 0)
                    valid = false;
            } else {
                g.block_type = 0;
                g.mixed_block = 0;
                for (u32& table : g.table_select)
                    table = reader.Get(5);
                g.subblock_gain[0] = g.subblock_gain[1] = g.subblock_gain[2] = 0;
                g.region0_count = reader.Get(4);
                g.region1_count = reader.Get(3);
            }
            // The lower rates imply pre-emphasis by the largest scalefac_compress
            // values, except in an intensity-coded right channel.
            const bool intensity_right = header.mode == 1 && (header.mode_extension & 1) && ch == 1;
            g.preflag = mpeg1 ? reader.Get(1) : (!intensity_right && g.scalefac_compress >= 500);
            g.scalefac_scale = reader.Get(1);
            g.count1_table = reader.Get(1);
            if (g.big_values > 288)
                valid = false;
        }
    }
    return valid;
}

void mpeg_layer3_c::ReadScaleFactors(const mpeg_header_c& header, mpeg_bit_reader_c& reader, const granule_c& g,
                                     u32 channel, u32 granule_index, u32 scfsi, scale_factors_c& f) const
{
    const bool short_blocks = IsShort(g.window_switching, g.block_type);
    if (header.version == 0) {
        const u32 slen1 = mpeg_slen[0][g.scalefac_compress];
        const u32 slen2 = mpeg_slen[1][g.scalefac_compress];
        std::fill(std::begin(f.long_illegal), std::end(f.long_illegal), u8(7));
        std::fill(std::begin(f.short_illegal), std::end(f.short_illegal), u8(7));
        if (short_blocks) {
            u32 sfb = 0;
            if (g.mixed_block) {
                for (; sfb < 8; ++sfb)
                    f.long_bands[sfb] = u8(reader.Get(slen1));
                sfb = 3;
            }
            for (; sfb < 12; ++sfb)
                for (u32 w = 0; w < 3; ++w)
                    f.short_bands[sfb][w] = u8(reader.Get(sfb < 6 ? slen1 : slen2));
            f.short_bands[12][0] = f.short_bands[12][1] = f.short_bands[12][2] = 0;
            return;
        }
        static const u32 group_start[5] = {0, 6, 11, 16, 21};
        for (u32 group = 0; group < 4; ++group) {
            if (granule_index == 1 && ((scfsi >> (3 - group)) & 1))
                continue;
            for (u32 sfb = group_start[group]; sfb < group_start[group + 1]; ++sfb)
                f.long_bands[sfb] = u8(reader.Get(sfb < 11 ? slen1 : slen2));
        }
        f.long_bands[21] = 0;
        return;
    }

    // Lower sample rates: four parts of scale factors with their own lengths.
    const bool intensity_right = header.mode == 1 && (header.mode_extension & 1) && channel == 1;
    u32 slen[4];
    const u32 row = MpegLowerRateLengths(g.scalefac_compress, intensity_right, slen);
    const u32 kind = short_blocks ? (g.mixed_block ? 2 : 1) : 0;
    const u8* counts = mpeg_lsf_band_counts[row][kind];
    std::memset(f.long_bands, 0, sizeof(f.long_bands));
    std::memset(f.short_bands, 0, sizeof(f.short_bands));
    std::memset(f.long_illegal, 0, sizeof(f.long_illegal));
    std::memset(f.short_illegal, 0, sizeof(f.short_illegal));
    u32 index = 0;
    for (u32 part = 0; part < 4; ++part) {
        const u32 bits = std::min(slen[part], 5u);
        const u8 illegal = u8((1u << bits) - 1);
        for (u32 i = 0; i < counts[part]; ++i, ++index) {
            const u8 value = u8(reader.Get(bits));
            if (!short_blocks) {
                if (index < 22) {
                    f.long_bands[index] = value;
                    f.long_illegal[index] = illegal;
                }
            } else if (g.mixed_block && index < 6) {
                f.long_bands[index] = value;
                f.long_illegal[index] = illegal;
            } else {
                const u32 s = index - (g.mixed_block ? 6 : 0);
                const u32 sfb = (g.mixed_block ? 3 : 0) + s / 3;
                if (sfb < 13) {
                    f.short_bands[sfb][s % 3] = value;
                    f.short_illegal[sfb] = illegal;
                }
            }
        }
    }
    // The last band carries no scale factor; intensity there follows the one before.
    f.long_illegal[21] = f.long_illegal[20];
    f.short_illegal[12] = f.short_illegal[11];
}

int mpeg_layer3_c::ReadSpectrum(const mpeg_header_c& header, mpeg_bit_reader_c& reader, const granule_c& g, u64 end_bit,
                                int values[576]) const
{
    const mpeg_huffman_c& huffman = mpeg_huffman_c::Get();
    const u16* long_bands = mpeg_long_bands[header.RateNumber()];
    const u16* short_bands = mpeg_short_bands[header.RateNumber()];
    const u32 big_end = std::min(g.big_values * 2, 576u);
    u32 region1, region2;
    if (g.window_switching) {
        // Short and mixed blocks alike: the first three short bands (36 lines; 72 at 8 kHz).
        region1 = g.block_type == 2 ? short_bands[3] * 3u : long_bands[8];
        region2 = 576;
    } else {
        region1 = long_bands[std::min(g.region0_count + 1, 22u)];
        region2 = long_bands[std::min(g.region0_count + g.region1_count + 2, 22u)];
    }
    region1 = std::min(region1, big_end);
    region2 = std::min(std::max(region2, region1), big_end);
    const u32 ends[3] = {region1, region2, big_end};
    u32 i = 0;
    for (u32 region = 0; region < 3; ++region) {
        const u32 table = g.table_select[region];
        if (i >= ends[region])
            continue;
        if (table == 0) {
            for (; i < ends[region]; ++i)
                values[i] = 0;
            continue;
        }
        if (!mpeg_huffman_c::IsUsable(table))
            return -1;
        if (!huffman.DecodePairs(reader, table, values, i, ends[region], end_bit))
            return -1;
        i = ends[region];
    }
    while (i + 4 <= 576 && reader.Position() < end_bit) {
        int quad[4];
        huffman.DecodeQuad(reader, g.count1_table, quad);
        // A quadruple that ends past the granule's data is a stuffing artefact.
        if (reader.Position() > end_bit)
            break;
        values[i] = quad[0];
        values[i + 1] = quad[1];
        values[i + 2] = quad[2];
        values[i + 3] = quad[3];
        i += 4;
    }
    const int count = int(i);
    for (; i < 576; ++i)
        values[i] = 0;
    return count;
}

void mpeg_layer3_c::Requantise(const mpeg_header_c& header, const granule_c& g, const scale_factors_c& f,
                               const int values[576], int count, float xr[576]) const
{
    const layer3_tables_c& tables = Tables();
    const u16* long_bands = mpeg_long_bands[header.RateNumber()];
    const u16* short_bands = mpeg_short_bands[header.RateNumber()];
    const int base = int(g.global_gain) - 210;
    const int shift = g.scalefac_scale ? 4 : 2;
    std::fill(xr, xr + 576, 0.0f);
    auto scale = [&](int first, int last, int q) {
        q = std::clamp(q, -power_offset, 63);
        const float factor = tables.pow2[q + power_offset];
        last = std::min(last, count);
        const float* signed_powers = tables.pow43 + 8206;
        for (int i = first; i < last; ++i)
            xr[i] = signed_powers[values[i]] * factor;
    };
    const bool short_blocks = IsShort(g.window_switching, g.block_type);
    const int long_end = !short_blocks ? 576 : (g.mixed_block ? 36 : 0);
    for (int sfb = 0; sfb < 22 && long_bands[sfb] < long_end; ++sfb) {
        const int sf = sfb < 21 ? f.long_bands[sfb] + (g.preflag ? mpeg_pretab[sfb] : 0) : 0;
        scale(long_bands[sfb], std::min<int>(long_bands[sfb + 1], long_end), base - shift * sf);
    }
    if (!short_blocks)
        return;
    for (int sfb = g.mixed_block ? 3 : 0; sfb < 13; ++sfb) {
        const int width = short_bands[sfb + 1] - short_bands[sfb];
        for (int w = 0; w < 3; ++w) {
            const int first = short_bands[sfb] * 3 + w * width;
            const int sf = sfb < 12 ? f.short_bands[sfb][w] : 0;
            scale(first, first + width, base - 8 * int(g.subblock_gain[w]) - shift * sf);
        }
    }
}

void mpeg_layer3_c::Stereo(const mpeg_header_c& header, const granule_c& right, const scale_factors_c& rf,
                           int right_count, float xr[2][576]) const
{
    const layer3_tables_c& tables = Tables();
    const bool mid_side = header.mode == 1 && (header.mode_extension & 2);
    const bool intensity = header.mode == 1 && (header.mode_extension & 1);
    const float root_half = float(M_SQRT1_2);
    auto mid_side_lines = [&](int first, int last) {
        if (!mid_side)
            return;
        for (int i = first; i < last; ++i) {
            const float m = xr[0][i], s = xr[1][i];
            xr[0][i] = (m + s) * root_half;
            xr[1][i] = (m - s) * root_half;
        }
    };
    if (!intensity) {
        mid_side_lines(0, 576);
        return;
    }
    const bool mpeg1 = header.version == 0;
    // Lower rates: positions scale by powers of 2^(-1/4) or 2^(-1/2).
    const double io = (right.scalefac_compress & 1) ? M_SQRT1_2 : std::pow(2.0, -0.25);
    auto intensity_lines = [&](int first, int last, u32 position, u32 illegal) {
        if (position == illegal) {
            mid_side_lines(first, last);
            return;
        }
        float kl, kr;
        if (mpeg1) {
            position = std::min(position, 6u);
            kl = tables.is_left[position];
            kr = tables.is_right[position];
        } else if (position == 0) {
            kl = kr = 1.0f;
        } else if (position & 1) {
            kl = float(std::pow(io, (position + 1) / 2));
            kr = 1.0f;
        } else {
            kl = 1.0f;
            kr = float(std::pow(io, position / 2));
        }
        for (int i = first; i < last; ++i) {
            const float v = xr[0][i];
            xr[0][i] = v * kl;
            xr[1][i] = v * kr;
        }
    };
    const u16* long_bands = mpeg_long_bands[header.RateNumber()];
    const u16* short_bands = mpeg_short_bands[header.RateNumber()];
    const bool short_blocks = IsShort(right.window_switching, right.block_type);
    if (!short_blocks) {
        // Intensity starts with the band after the right channel's last non-zero line.
        int last = std::min(right_count, 576) - 1;
        while (last >= 0 && xr[1][last] == 0.0f)
            --last;
        int sfb = 0;
        while (sfb < 22 && long_bands[sfb] <= last)
            ++sfb;
        mid_side_lines(0, long_bands[sfb]);
        for (; sfb < 22; ++sfb) {
            const int band = std::min(sfb, 20);
            intensity_lines(long_bands[sfb], long_bands[sfb + 1], rf.long_bands[band], rf.long_illegal[band]);
        }
        return;
    }
    const int first_short = right.mixed_block ? 3 : 0;
    int highest = 0; // highest band, over the windows, that holds right-channel data
    for (int w = 0; w < 3; ++w) {
        int start = 13; // first band of this window from which intensity applies
        for (int sfb = 12; sfb >= first_short; --sfb) {
            const int width = short_bands[sfb + 1] - short_bands[sfb];
            const int first = short_bands[sfb] * 3 + w * width;
            bool zero = true;
            for (int i = first; i < first + width && zero; ++i)
                zero = xr[1][i] == 0.0f;
            if (!zero)
                break;
            start = sfb;
        }
        highest = std::max(highest, start);
        for (int sfb = first_short; sfb < 13; ++sfb) {
            const int width = short_bands[sfb + 1] - short_bands[sfb];
            const int first = short_bands[sfb] * 3 + w * width;
            if (sfb < start) {
                mid_side_lines(first, first + width);
            } else {
                const int band = std::min(sfb, 11);
                intensity_lines(first, first + width, rf.short_bands[band][w], rf.short_illegal[band]);
            }
        }
    }
    if (right.mixed_block) {
        // The long bands below the short part take intensity only when no
        // window holds right-channel data above them.
        if (highest > first_short) {
            mid_side_lines(0, 36);
            return;
        }
        int last_nonzero = -1;
        for (int i = 0; i < 36; ++i)
            if (xr[1][i] != 0.0f)
                last_nonzero = i;
        int sfb = 0;
        while (long_bands[sfb] <= last_nonzero)
            ++sfb;
        mid_side_lines(0, std::min<int>(long_bands[sfb], 36));
        for (; long_bands[sfb] < 36; ++sfb)
            intensity_lines(long_bands[sfb], std::min<int>(long_bands[sfb + 1], 36), rf.long_bands[sfb],
                            rf.long_illegal[sfb]);
    }
}

void mpeg_layer3_c::Hybrid(const mpeg_header_c& header, const granule_c& g, u32 channel, float xr[576], int limit,
                           float out[18][32])
{
    const layer3_tables_c& tables = Tables();
    const bool short_blocks = IsShort(g.window_switching, g.block_type);
    const int long_subbands = !short_blocks ? 32 : (g.mixed_block ? 2 : 0);
    // Subbands from `active` on hold only zeros (alias reduction reaches one
    // subband beyond the last line that may be non-zero).
    int active = 32;
    if (!short_blocks) {
        active = std::min(32, (limit + 17) / 18 + 1);
    } else {
        const u16* bands = mpeg_short_bands[header.RateNumber()];
        int sfb = 0;
        while (sfb < 13 && bands[sfb + 1] * 3 < limit)
            ++sfb;
        active = std::min(32, (bands[sfb + 1] * 3 + 17) / 18 + (g.mixed_block ? 1 : 0));
    }

    if (short_blocks) {
        // Reorder short-block lines from band-window order into subband order:
        // line j of window w goes to 3 j + w.
        const u16* short_bands = mpeg_short_bands[header.RateNumber()];
        float reordered[576];
        const int first_sfb = g.mixed_block ? 3 : 0;
        const int first_line = short_bands[first_sfb] * 3;
        std::memcpy(reordered, xr, sizeof(float) * first_line);
        for (int sfb = first_sfb; sfb < 13; ++sfb) {
            const int start = short_bands[sfb];
            const int width = short_bands[sfb + 1] - start;
            for (int w = 0; w < 3; ++w)
                for (int k = 0; k < width; ++k)
                    reordered[3 * (start + k) + w] = xr[3 * start + w * width + k];
        }
        std::memcpy(xr, reordered, sizeof(reordered));
    }

    // Alias reduction between neighbouring long-block subbands.
    for (int sb = 1; sb < std::min(long_subbands, active); ++sb) {
        float* upper = xr + 18 * sb;
        for (int i = 0; i < 8; ++i) {
            const float a = upper[-1 - i], b = upper[i];
            upper[-1 - i] = a * tables.alias_cs[i] - b * tables.alias_ca[i];
            upper[i] = b * tables.alias_cs[i] + a * tables.alias_ca[i];
        }
    }

    float(*overlap)[32] = _overlap[channel];
    int sb = 0;
    if (long_subbands == 32) {
        const u32 type = g.window_switching ? g.block_type : 0;
        // A mixed start or stop block keeps the normal window in its lowest two subbands.
        const u32 low_type = g.window_switching && g.mixed_block ? 0 : type;
        for (; sb < active; sb += 4)
            long_blocks4_c::Call(xr, sb, sb == 0 ? low_type : type, type, overlap, out);
    }
    for (; sb < 32; ++sb) {
        const float* in = xr + 18 * sb;
        if (sb >= active) {
            // No input: what overlaps from the last granule is all there is.
            for (int i = 0; i < 18; ++i) {
                out[i][sb] = ((sb & 1) && (i & 1)) ? -overlap[i][sb] : overlap[i][sb];
                overlap[i][sb] = 0.0f;
            }
            continue;
        }
        float z[36];
        if (sb < long_subbands) {
            // The two long subbands of a mixed block use the normal window.
            float half[18] = {};
            for (int k = 0; k < 18; ++k)
                for (int r = 0; r < 18; ++r)
                    half[r] += in[k] * tables.imdct_long[k][r];
            // Rows 0..8 mirror with opposite sign onto 17..9; rows 18..26 mirror onto 35..27.
            for (int i = 0; i < 9; ++i) {
                z[i] = half[i];
                z[17 - i] = -half[i];
                z[18 + i] = half[9 + i];
                z[35 - i] = half[9 + i];
            }
            for (int i = 0; i < 36; ++i)
                z[i] *= tables.windows[0][i];
        } else {
            std::fill(z, z + 36, 0.0f);
            for (int w = 0; w < 3; ++w) {
                float y[12] = {};
                for (int k = 0; k < 6; ++k) {
                    const float x = in[3 * k + w];
                    const float* row = tables.imdct_short[k];
                    for (int i = 0; i < 12; ++i)
                        y[i] += x * row[i];
                }
                for (int i = 0; i < 12; ++i)
                    z[6 + 6 * w + i] += y[i] * tables.windows[2][i];
            }
        }
        for (int i = 0; i < 18; ++i) {
            float value = z[i] + overlap[i][sb];
            // Frequency inversion of odd subbands.
            if ((sb & 1) && (i & 1))
                value = -value;
            out[i][sb] = value;
            overlap[i][sb] = z[18 + i];
        }
    }
}

u32 mpeg_layer3_c::Decode(const mpeg_header_c& header, const u8* body, u32 size, mpeg_granule_block out[2])
{
    side_info_c side{};
    const bool valid = ReadSideInfo(header, body, size, side);
    const u32 side_bytes = header.SideInfoBytes();
    const u32 before = _reservoir_size;
    if (size > side_bytes)
        AppendMainData(body + side_bytes, size - side_bytes);
    const bool available = valid && side.main_data_begin <= before;
    const u64 total_bits = u64(_reservoir_size) * 8;
    u64 position = available ? u64(before - side.main_data_begin) * 8 : 0;

    const u32 channels = header.Channels();
    const u32 granules = header.version == 0 ? 2 : 1;
    scale_factors_c factors[2]{};
    for (u32 gr = 0; gr < granules; ++gr) {
        float xr[2][576];
        int counts[2] = {0, 0};
        for (u32 ch = 0; ch < channels; ++ch) {
            const granule_c& g = side.granules[gr][ch];
            int values[576];
            int count = -1;
            if (available) {
                const u64 end = position + g.part2_3_length;
                if (end <= total_bits) {
                    mpeg_bit_reader_c reader(_reservoir, position);
                    ReadScaleFactors(header, reader, g, ch, gr, side.scfsi[ch], factors[ch]);
                    if (reader.Position() <= end)
                        count = ReadSpectrum(header, reader, g, end, values);
                }
                position = end;
            }
            if (count < 0) {
                std::fill(xr[ch], xr[ch] + 576, 0.0f);
                counts[ch] = 0;
            } else {
                Requantise(header, g, factors[ch], values, count, xr[ch]);
                counts[ch] = count;
            }
        }
        if (channels == 2) {
            Stereo(header, side.granules[gr][1], factors[1], counts[1], xr);
            // Joint stereo spreads either channel's lines into the other.
            if (header.mode == 1)
                counts[0] = counts[1] = std::max(counts[0], counts[1]);
        }
        for (u32 ch = 0; ch < channels; ++ch) {
            granule_c g = side.granules[gr][ch];
            if (!available)
                g.window_switching = g.block_type = g.mixed_block = 0;
            Hybrid(header, g, ch, xr[ch], counts[ch], out[gr][ch]);
        }
    }
    if (_reservoir_size > reservoir_keep) {
        std::memmove(_reservoir, _reservoir + _reservoir_size - reservoir_keep, reservoir_keep);
        _reservoir_size = reservoir_keep;
        std::memset(_reservoir + _reservoir_size, 0, reservoir_padding);
    }
    return granules;
}
