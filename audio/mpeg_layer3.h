#pragma once
// Layer III: side information, bit reservoir, scale factors, Huffman data,
// requantisation, stereo processing, reordering, alias reduction and the
// hybrid filter bank (IMDCT with overlap). Its output feeds the polyphase
// synthesis as time slots of 32 subband samples.
#include "audio/mpeg_bit_reader.h"
#include "audio/mpeg_header.h"

// Scale-factor lengths of the four parts at the lower rates, by
// scalefac_compress (9 bits) and whether the channel is the intensity-coded
// right one; returns the row of mpeg_lsf_band_counts.
u32 MpegLowerRateLengths(u32 scalefac_compress, bool intensity_right, u32 slen[4]);

// Hybrid filter output of one granule: [channel][time slot][subband].
using mpeg_granule_block = float[2][18][32];

class mpeg_layer3_c {
public:
    mpeg_layer3_c();
    // Forgets the reservoir and the overlap store (start of a stream or a seek).
    void Reset();
    // Clears only the overlap store.
    void ClearOverlap();
    // Forgets only the reservoir.
    void ClearReservoir();
    // Adds the frame's main data to the reservoir without decoding it.
    // `body` is the frame after header and CRC, `size` its byte count.
    void Feed(const mpeg_header_c& header, const u8* body, u32 size);
    // Decodes one frame: 2 granules for MPEG-1, 1 for the lower rates;
    // returns the number of granules written to `out`. A granule whose side
    // information or data is damaged, or whose main data lies before what the
    // reservoir holds, is decoded as silence.
    u32 Decode(const mpeg_header_c& header, const u8* body, u32 size, mpeg_granule_block out[2]);

private:
    struct granule_c {
        u32 part2_3_length, big_values, global_gain, scalefac_compress;
        u32 window_switching, block_type, mixed_block;
        u32 table_select[3], subblock_gain[3], region0_count, region1_count;
        u32 preflag, scalefac_scale, count1_table;
    };
    struct side_info_c {
        u32 main_data_begin;
        u32 scfsi[2];
        granule_c granules[2][2];
    };
    struct scale_factors_c {
        u8 long_bands[22];
        u8 short_bands[13][3];
        // Intensity positions that mean "no intensity" (lower rates: per band).
        u8 long_illegal[22];
        u8 short_illegal[13];
    };

    bool ReadSideInfo(const mpeg_header_c& header, const u8* body, u32 size, side_info_c& side) const;
    void AppendMainData(const u8* data, u32 size);
    void ReadScaleFactors(const mpeg_header_c& header, mpeg_bit_reader_c& reader, const granule_c& granule, u32 channel,
                          u32 granule_index, u32 scfsi, scale_factors_c& factors) const;
    // Decodes Huffman data up to `end_bit`; returns the count of lines that
    // may be non-zero, or -1 when the data is damaged.
    int ReadSpectrum(const mpeg_header_c& header, mpeg_bit_reader_c& reader, const granule_c& granule, u64 end_bit,
                     int values[576]) const;
    void Requantise(const mpeg_header_c& header, const granule_c& granule, const scale_factors_c& factors,
                    const int values[576], int count, float xr[576]) const;
    void Stereo(const mpeg_header_c& header, const granule_c& right, const scale_factors_c& right_factors,
                int right_count, float xr[2][576]) const;
    // `limit`: lines from there on are zero.
    void Hybrid(const mpeg_header_c& header, const granule_c& granule, u32 channel, float xr[576], int limit,
                float out[18][32]);

    // Main data of earlier frames; 4 zero bytes always follow the valid part.
    u8 _reservoir[4096 + 4];
    u32 _reservoir_size;
    // [channel][time slot][subband], so that four subbands sit side by side.
    alignas(16) float _overlap[2][18][32];
};
