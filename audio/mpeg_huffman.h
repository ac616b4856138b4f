#pragma once
// Layer III Huffman decoding through lookup tables built once from the
// standard's code words.
#include <vector>

#include "audio/mpeg_bit_reader.h"
#include "audio/mpeg_tables.h"

class mpeg_huffman_c {
public:
    // The tables of the process, built on first use.
    static const mpeg_huffman_c& Get();

    // Decodes one big-values pair with table_select `table` (1..31, not 4 or
    // 14), including linbits; x and y come back signed.
    void DecodePair(mpeg_bit_reader_c& reader, u32 table, int& x, int& y) const;
    // Decodes pairs into values[first .. last) (last - first even); false as
    // soon as the reader passes end_bit (damaged data).
    bool DecodePairs(mpeg_bit_reader_c& reader, u32 table, int* values, u32 first, u32 last, u64 end_bit) const;
    // Decodes one count1 quadruple; values come back as -1, 0 or 1.
    void DecodeQuad(mpeg_bit_reader_c& reader, u32 table, int out[4]) const;
    // True when table_select names a table with codes (0 has none; 4 and 14 are not allowed).
    static bool IsUsable(u32 table);

private:
    mpeg_huffman_c();

    // Entries: bit 31 set marks a symbol (bits 16..20 the code length still
    // to skip, bits 0..7 the symbol); otherwise bits 5.. give the offset of the
    // next level and bits 0..4 its width.
    struct lookup_c {
        std::vector<u32> entries;
        u32 root_bits = 0;
    };
    // `size`: side of a pair table, whose symbols become x << 4 | y; 0 for quadruples.
    static lookup_c Build(const char* codes, u32 size);
    static u32 Decode(const lookup_c& lookup, mpeg_bit_reader_c& reader)
    {
        u32 bits = lookup.root_bits;
        u32 entry = lookup.entries[reader.Peek(bits)];
        while (!(entry & 0x80000000u)) {
            reader.Skip(bits);
            bits = entry & 31;
            entry = lookup.entries[(entry >> 5) + reader.Peek(bits)];
        }
        reader.Skip((entry >> 16) & 31);
        return entry & 0xFF;
    }

    lookup_c _pairs[32];
    lookup_c _quads[2];
};

inline void mpeg_huffman_c::DecodePair(mpeg_bit_reader_c& reader, u32 table, int& x, int& y) const
{
    const u32 symbol = Decode(_pairs[table], reader);
    const u32 linbits = mpeg_huffman_defs[table].linbits;
    int ux = int(symbol >> 4);
    int uy = int(symbol & 15);
    if (linbits == 0) {
        // Both sign bits at once, without branches on the values.
        const u32 nx = ux != 0, ny = uy != 0;
        const u32 signs = reader.Peek(2);
        const u32 sx = nx & (signs >> 1);
        const u32 sy = ny & (nx ? signs : (signs >> 1));
        reader.Skip(nx + ny);
        x = sx ? -ux : ux;
        y = sy ? -uy : uy;
        return;
    }
    if (ux == 15)
        ux += int(reader.Get(linbits));
    x = (ux && reader.Get(1)) ? -ux : ux;
    if (uy == 15)
        uy += int(reader.Get(linbits));
    y = (uy && reader.Get(1)) ? -uy : uy;
}

inline bool mpeg_huffman_c::DecodePairs(mpeg_bit_reader_c& reader, u32 table, int* values, u32 first, u32 last,
                                        u64 end_bit) const
{
    if (mpeg_huffman_defs[table].linbits != 0) {
        for (u32 i = first; i < last; i += 2) {
            DecodePair(reader, table, values[i], values[i + 1]);
            if (reader.Position() > end_bit)
                return false;
        }
        return true;
    }
    const lookup_c& lookup = _pairs[table];
    for (u32 i = first; i < last; i += 2) {
        const u32 symbol = Decode(lookup, reader);
        const int ux = int(symbol >> 4), uy = int(symbol & 15);
        // Both sign bits at once, without branches on the values.
        const u32 nx = ux != 0, ny = uy != 0;
        const u32 signs = reader.Peek(2);
        const u32 sx = nx & (signs >> 1);
        const u32 sy = ny & (nx ? signs : (signs >> 1));
        reader.Skip(nx + ny);
        values[i] = sx ? -ux : ux;
        values[i + 1] = sy ? -uy : uy;
        if (reader.Position() > end_bit)
            return false;
    }
    return true;
}

inline void mpeg_huffman_c::DecodeQuad(mpeg_bit_reader_c& reader, u32 table, int out[4]) const
{
    const u32 symbol = Decode(_quads[table], reader);
    for (int i = 0; i < 4; ++i) {
        const bool set = (symbol >> (3 - i)) & 1;
        out[i] = (set && reader.Get(1)) ? -1 : int(set);
    }
}
