#pragma once
// The fixed tables of MPEG audio (ISO/IEC 11172-3, ISO/IEC 13818-3 and the
// 2.5 extension of the latter's sample rates).
#include "foundation/types.h"

// Bit rates in kbit/s by [MPEG-1 = 0, lower rates = 1][layer I..III][index].
extern const u16 mpeg_bit_rates[2][3][16];
// Sample rates of MPEG-1 by index; MPEG-2 halves and MPEG-2.5 quarters them.
extern const u32 mpeg_sample_rates[3];

// Layer III scale-factor band boundaries by rate number
// (version * 3 + sample-rate index): 23 long and 14 short boundaries.
extern const u16 mpeg_long_bands[9][23];
extern const u16 mpeg_short_bands[9][14];
// Pre-emphasis added to long scale factors when preflag is set.
extern const u8 mpeg_pretab[22];
// Scale-factor lengths of MPEG-1 layer III by scalefac_compress.
extern const u8 mpeg_slen[2][16];
// Scale-factor counts of the lower rates: [row][long, short, mixed][part].
extern const u8 mpeg_lsf_band_counts[6][3][4];

// Huffman code tables of layer III. Each is a text of space-separated code
// words in (x, y) order; mpeg_huffman_size gives the side of the square.
// The indices follow table_select with 4 and 14 absent, 16..23 sharing
// table 16 and 24..31 sharing table 24.
struct mpeg_huffman_def_c {
    const char* codes; // null: no codes (table 0) or not allowed (4, 14)
    u8 size;
    u8 linbits;
};
extern const mpeg_huffman_def_c mpeg_huffman_defs[32];
// The two count1 tables (quadruples v w x y as one 4-bit value).
extern const char* const mpeg_count1_codes[2];

// The synthesis window D[0..256] in units of 2^-16; the rest follows by symmetry.
extern const i32 mpeg_synthesis_window[257];

// Layer II bit allocation: one row of quantisation levels per subband group.
struct mpeg_allocation_c {
    u8 sblimit;
    u8 groups;          // number of rows in use
    u8 last_subband[5]; // last subband (inclusive) of each row
    u8 nbal[5];         // allocation bits of each row
    u16 levels[5][16];  // levels by allocation code; 0 = no samples
};
// Tables a, b, c, d of MPEG-1 and the one of the lower rates.
extern const mpeg_allocation_c mpeg_allocations[5];
