#include "audio/mpeg_layer12.h"

#include <cmath>
#include <cstring>

#include "audio/mpeg_bit_reader.h"
#include "audio/mpeg_tables.h"

namespace {

struct scale_table_c {
    float factors[64];
    scale_table_c()
    {
        for (int i = 0; i < 63; ++i)
            factors[i] = float(2.0 * std::pow(2.0, -i / 3.0));
        factors[63] = 0.0f; // not allowed; silences the subband
    }
};

const float* ScaleFactors()
{
    static const scale_table_c table;
    return table.factors;
}

// Requantised value of code c among n levels: (2c - (n - 1)) / n.
inline float Requantise(u32 code, u32 levels)
{
    return float(2.0 * double(code) - double(levels - 1)) / float(levels);
}

u32 Bound(const mpeg_header_c& header, u32 limit)
{
    if (header.mode != 1)
        return limit;
    const u32 bound = (header.mode_extension + 1) * 4;
    return bound < limit ? bound : limit;
}

const mpeg_allocation_c& AllocationFor(const mpeg_header_c& header)
{
    if (header.version != 0)
        return mpeg_allocations[4];
    const u32 per_channel = header.BitRate() / header.Channels() / 1000;
    if (per_channel <= 48)
        return mpeg_allocations[header.rate_index == 2 ? 3 : 2];
    if (per_channel <= 80 || header.rate_index == 1)
        return mpeg_allocations[0];
    return mpeg_allocations[1];
}

} // namespace

u32 DecodeMpegLayer1(const mpeg_header_c& header, const u8* body, u32 size, mpeg_subband_block& out)
{
    const float* scale = ScaleFactors();
    const u32 channels = header.Channels();
    const u32 bound = Bound(header, 32);
    mpeg_bit_reader_c reader(body, 0);
    u32 allocation[2][32] = {};
    u32 factor[2][32] = {};
    for (u32 sb = 0; sb < 32; ++sb) {
        for (u32 ch = 0; ch < (sb < bound ? channels : 1); ++ch)
            allocation[ch][sb] = reader.Get(4);
        if (sb >= bound)
            allocation[1][sb] = allocation[0][sb];
    }
    for (u32 sb = 0; sb < 32; ++sb)
        for (u32 ch = 0; ch < channels; ++ch)
            if (allocation[ch][sb])
                factor[ch][sb] = reader.Get(6);
    std::memset(out, 0, sizeof(mpeg_subband_block));
    for (u32 slot = 0; slot < 12; ++slot) {
        for (u32 sb = 0; sb < 32; ++sb) {
            for (u32 ch = 0; ch < (sb < bound ? channels : 1); ++ch) {
                const u32 a = allocation[ch][sb];
                if (!a || a == 15)
                    continue;
                const u32 bits = a + 1;
                const float value = Requantise(reader.Get(bits), (1u << bits) - 1);
                out[ch][slot][sb] = value * scale[factor[ch][sb]];
                if (sb >= bound)
                    out[1][slot][sb] = value * scale[factor[1][sb]];
            }
        }
    }
    if (reader.Position() > u64(size) * 8)
        return 0;
    return 12;
}

u32 DecodeMpegLayer2(const mpeg_header_c& header, const u8* body, u32 size, mpeg_subband_block& out)
{
    const float* scale = ScaleFactors();
    const mpeg_allocation_c& table = AllocationFor(header);
    const u32 channels = header.Channels();
    const u32 limit = table.sblimit;
    const u32 bound = Bound(header, limit);
    u32 row[32] = {};
    for (u32 sb = 0, group = 0; sb < limit; ++sb) {
        while (sb > table.last_subband[group])
            ++group;
        row[sb] = group;
    }
    mpeg_bit_reader_c reader(body, 0);
    u32 levels[2][32] = {};
    for (u32 sb = 0; sb < limit; ++sb) {
        const u32 r = row[sb];
        for (u32 ch = 0; ch < (sb < bound ? channels : 1); ++ch)
            levels[ch][sb] = table.levels[r][reader.Get(table.nbal[r])];
        if (sb >= bound)
            levels[1][sb] = levels[0][sb];
    }
    u32 selection[2][32] = {};
    for (u32 sb = 0; sb < limit; ++sb)
        for (u32 ch = 0; ch < channels; ++ch)
            if (levels[ch][sb])
                selection[ch][sb] = reader.Get(2);
    u32 factor[2][32][3] = {};
    for (u32 sb = 0; sb < limit; ++sb) {
        for (u32 ch = 0; ch < channels; ++ch) {
            if (!levels[ch][sb])
                continue;
            u32* f = factor[ch][sb];
            switch (selection[ch][sb]) {
            case 0:
                f[0] = reader.Get(6);
                f[1] = reader.Get(6);
                f[2] = reader.Get(6);
                break;
            case 1:
                f[0] = f[1] = reader.Get(6);
                f[2] = reader.Get(6);
                break;
            case 2: f[0] = f[1] = f[2] = reader.Get(6); break;
            default:
                f[0] = reader.Get(6);
                f[1] = f[2] = reader.Get(6);
                break;
            }
        }
    }
    std::memset(out, 0, sizeof(mpeg_subband_block));
    for (u32 granule = 0; granule < 12; ++granule) {
        const u32 part = granule / 4;
        for (u32 sb = 0; sb < limit; ++sb) {
            for (u32 ch = 0; ch < (sb < bound ? channels : 1); ++ch) {
                const u32 n = levels[ch][sb];
                if (!n)
                    continue;
                float values[3];
                if (n == 3 || n == 5 || n == 9) {
                    u32 code = reader.Get(n == 3 ? 5 : n == 5 ? 7 : 10);
                    for (float& value : values) {
                        value = Requantise(code % n, n);
                        code /= n;
                    }
                } else {
                    u32 bits = 0;
                    while ((1u << bits) <= n)
                        ++bits;
                    for (float& value : values)
                        value = Requantise(reader.Get(bits), n);
                }
                for (u32 s = 0; s < 3; ++s) {
                    out[ch][granule * 3 + s][sb] = values[s] * scale[factor[ch][sb][part]];
                    if (sb >= bound)
                        out[1][granule * 3 + s][sb] = values[s] * scale[factor[1][sb][part]];
                }
            }
        }
    }
    if (reader.Position() > u64(size) * 8)
        return 0;
    return 36;
}
