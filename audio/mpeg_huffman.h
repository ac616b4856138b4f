#pragma once
// Layer III Huffman decoding through lookup tables built once from the
// standard's code words.
#include <vector>

#include "audio/mpeg_bit_reader.h"

class mpeg_huffman_c {
 public:
  // The tables of the process, built on first use.
  static const mpeg_huffman_c& Get();

  // Decodes one big-values pair with table_select `table` (1..31, not 4 or
  // 14), including linbits; x and y come back signed.
  void DecodePair(mpeg_bit_reader_c& reader, u32 table, int& x, int& y) const;
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
  static lookup_c Build(const char* codes);
  u32 Decode(const lookup_c& lookup, mpeg_bit_reader_c& reader) const;

  lookup_c _pairs[32];
  lookup_c _quads[2];
};
