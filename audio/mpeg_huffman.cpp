#include "audio/mpeg_huffman.h"

#include <algorithm>
#include <string>
#include <utility>

#include "audio/mpeg_tables.h"

namespace {

constexpr u32 symbol_flag = 0x80000000u;

struct code_c {
  u32 bits;    // code word, right-aligned
  u32 length;  // bits remaining at the current level
  u32 symbol;
};

std::vector<code_c> ParseCodes(const char* text) {
  std::vector<code_c> codes;
  u32 symbol = 0;
  for (const char* p = text; *p;) {
    if (*p == ' ') {
      ++p;
      continue;
    }
    code_c code{0, 0, symbol++};
    for (; *p == '0' || *p == '1'; ++p) {
      code.bits = (code.bits << 1) | u32(*p - '0');
      ++code.length;
    }
    codes.push_back(code);
  }
  return codes;
}

// Fills entries[base ..) with one level of `bits` width for the codes given.
void BuildLevel(std::vector<u32>& entries, u32 base, u32 bits, const std::vector<code_c>& codes) {
  std::vector<std::vector<code_c>> longer(size_t(1) << bits);
  for (const code_c& code : codes) {
    if (code.length <= bits) {
      const u32 spread = bits - code.length;
      const u32 first = code.bits << spread;
      for (u32 i = 0; i < (1u << spread); ++i)
        entries[base + first + i] = symbol_flag | (code.length << 16) | code.symbol;
    } else {
      const u32 rest = code.length - bits;
      longer[code.bits >> rest].push_back({code.bits & ((1u << rest) - 1), rest, code.symbol});
    }
  }
  for (u32 prefix = 0; prefix < longer.size(); ++prefix) {
    if (longer[prefix].empty()) continue;
    u32 sub_bits = 0;
    for (const code_c& code : longer[prefix]) sub_bits = std::max(sub_bits, code.length);
    sub_bits = std::min(sub_bits, 8u);
    const u32 sub_base = u32(entries.size());
    entries.resize(entries.size() + (size_t(1) << sub_bits), 0);
    entries[base + prefix] = (sub_base << 5) | sub_bits;
    BuildLevel(entries, sub_base, sub_bits, longer[prefix]);
  }
}

}  // namespace

const mpeg_huffman_c& mpeg_huffman_c::Get() {
  static const mpeg_huffman_c tables;
  return tables;
}

mpeg_huffman_c::lookup_c mpeg_huffman_c::Build(const char* text) {
  lookup_c lookup;
  const std::vector<code_c> codes = ParseCodes(text);
  u32 longest = 0;
  for (const code_c& code : codes) longest = std::max(longest, code.length);
  lookup.root_bits = std::min(longest, 8u);
  lookup.entries.assign(size_t(1) << lookup.root_bits, 0);
  BuildLevel(lookup.entries, 0, lookup.root_bits, codes);
  return lookup;
}

mpeg_huffman_c::mpeg_huffman_c() {
  for (u32 i = 0; i < 32; ++i) {
    const mpeg_huffman_def_c& def = mpeg_huffman_defs[i];
    if (!def.codes) continue;
    // Tables sharing their code words share one lookup.
    if (i > 16 && i < 24) {
      _pairs[i] = _pairs[16];
    } else if (i > 24) {
      _pairs[i] = _pairs[24];
    } else {
      _pairs[i] = Build(def.codes);
    }
  }
  _quads[0] = Build(mpeg_count1_codes[0]);
  _quads[1] = Build(mpeg_count1_codes[1]);
}

bool mpeg_huffman_c::IsUsable(u32 table) { return table < 32 && mpeg_huffman_defs[table].codes; }

u32 mpeg_huffman_c::Decode(const lookup_c& lookup, mpeg_bit_reader_c& reader) const {
  u32 bits = lookup.root_bits;
  u32 entry = lookup.entries[reader.Peek(bits)];
  while (!(entry & symbol_flag)) {
    reader.Skip(bits);
    bits = entry & 31;
    entry = lookup.entries[(entry >> 5) + reader.Peek(bits)];
  }
  reader.Skip((entry >> 16) & 31);
  return entry & 0xFF;
}

void mpeg_huffman_c::DecodePair(mpeg_bit_reader_c& reader, u32 table, int& x, int& y) const {
  const mpeg_huffman_def_c& def = mpeg_huffman_defs[table];
  const u32 symbol = Decode(_pairs[table], reader);
  u32 ux = symbol / def.size;
  u32 uy = symbol % def.size;
  if (def.linbits && ux == 15) ux += reader.Get(def.linbits);
  x = (ux && reader.Get(1)) ? -int(ux) : int(ux);
  if (def.linbits && uy == 15) uy += reader.Get(def.linbits);
  y = (uy && reader.Get(1)) ? -int(uy) : int(uy);
}

void mpeg_huffman_c::DecodeQuad(mpeg_bit_reader_c& reader, u32 table, int out[4]) const {
  const u32 symbol = Decode(_quads[table], reader);
  for (int i = 0; i < 4; ++i) {
    const bool set = (symbol >> (3 - i)) & 1;
    out[i] = (set && reader.Get(1)) ? -1 : int(set);
  }
}
