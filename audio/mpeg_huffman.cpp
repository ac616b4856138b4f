#include "audio/mpeg_huffman.h"

#include <algorithm>
#include <string>
#include <utility>

#include "audio/mpeg_tables.h"

namespace {

constexpr u32 symbol_flag = 0x80000000u;

struct code_c {
    u32 bits;   // code word, right-aligned
    u32 length; // bits remaining at the current level
    u32 symbol;
};

// Symbols are numbered in text order; a pair table of side `size` turns
// number n into x << 4 | y.
std::vector<code_c> ParseCodes(const char* text, u32 size)
{
    std::vector<code_c> codes;
    u32 symbol = 0;
    for (const char* p = text; *p;) {
        if (*p == ' ') {
            ++p;
            continue;
        }
        code_c code{0, 0, size ? ((symbol / size) << 4) | (symbol % size) : symbol};
        ++symbol;
        for (; *p == '0' || *p == '1'; ++p) {
            code.bits = (code.bits << 1) | u32(*p - '0');
            ++code.length;
        }
        codes.push_back(code);
    }
    return codes;
}

// Fills entries[base ..) with one level of `bits` width for the codes given.
void BuildLevel(std::vector<u32>& entries, u32 base, u32 bits, const std::vector<code_c>& codes)
{
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
        if (longer[prefix].empty())
            continue;
        u32 sub_bits = 0;
        for (const code_c& code : longer[prefix])
            sub_bits = std::max(sub_bits, code.length);
        sub_bits = std::min(sub_bits, 8u);
        const u32 sub_base = u32(entries.size());
        entries.resize(entries.size() + (size_t(1) << sub_bits), 0);
        entries[base + prefix] = (sub_base << 5) | sub_bits;
        BuildLevel(entries, sub_base, sub_bits, longer[prefix]);
    }
}

} // namespace

const mpeg_huffman_c& mpeg_huffman_c::Get()
{
    static const mpeg_huffman_c tables;
    return tables;
}

mpeg_huffman_c::lookup_c mpeg_huffman_c::Build(const char* text, u32 size)
{
    lookup_c lookup;
    const std::vector<code_c> codes = ParseCodes(text, size);
    u32 longest = 0;
    for (const code_c& code : codes)
        longest = std::max(longest, code.length);
    lookup.root_bits = std::min(longest, 8u);
    lookup.entries.assign(size_t(1) << lookup.root_bits, 0);
    BuildLevel(lookup.entries, 0, lookup.root_bits, codes);
    return lookup;
}

mpeg_huffman_c::mpeg_huffman_c()
{
    for (u32 i = 0; i < 32; ++i) {
        const mpeg_huffman_def_c& def = mpeg_huffman_defs[i];
        if (!def.codes)
            continue;
        // Tables sharing their code words share one lookup.
        if (i > 16 && i < 24) {
            _pairs[i] = _pairs[16];
        } else if (i > 24) {
            _pairs[i] = _pairs[24];
        } else {
            _pairs[i] = Build(def.codes, def.size);
        }
    }
    _quads[0] = Build(mpeg_count1_codes[0], 0);
    _quads[1] = Build(mpeg_count1_codes[1], 0);
}

bool mpeg_huffman_c::IsUsable(u32 table)
{
    return table < 32 && mpeg_huffman_defs[table].codes;
}
