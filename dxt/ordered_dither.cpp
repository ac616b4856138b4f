#include "dxt/ordered_dither.h"

namespace {

// Cell selector, rows y, columns x.
const char* const kSelector[4] = {"1001", "1101", "1100", "0000"};

// Patterns of density 1 to 7 (eighths), rows y = 0..3 of four columns.
const char* const kSetA[7][4] = {
    {"1000", "0000", "0010", "0000"}, {"1010", "0000", "1010", "0000"}, {"1010", "0100", "1010", "0001"},
    {"1010", "0101", "1010", "0101"}, {"1110", "0101", "1011", "0101"}, {"1111", "0101", "1111", "0101"},
    {"1111", "1101", "1111", "0111"},
};
const char* const kSetB[7][4] = {
    {"0010", "0000", "1000", "0000"}, {"0000", "0101", "0000", "0101"}, {"1010", "0001", "1010", "0100"},
    {"1010", "0101", "1010", "0101"}, {"1011", "0101", "1110", "0101"}, {"1010", "1111", "1010", "1111"},
    {"1111", "0111", "1111", "1101"},
};

enum channel_rule_e { keep, bits4, bits5, bits6, top_bit };

struct channel_c {
    channel_rule_e rule;
    bool crossed;
};

u32 Channel(u32 v, channel_c ch, i32 x, i32 y, bool cell)
{
    i32 bits, d;
    switch (ch.rule) {
    case keep: return v;
    case top_bit: return v & 0x80;
    case bits4:
        bits = 4;
        d = (v >> 1) & 7;
        break;
    case bits5:
        bits = 5;
        d = v & 7;
        break;
    default:
        bits = 6;
        d = 2 * (v & 3);
        break;
    }
    const u32 step = 1u << (8 - bits);
    const u32 q = v & ~(step - 1);
    if (d == 0 || q == 256 - step)
        return q;
    const bool use_b = ch.crossed ? !cell : cell;
    const char* const* pattern = use_b ? kSetB[d - 1] : kSetA[d - 1];
    return pattern[y & 3][x & 3] == '1' ? q + step : q;
}

} // namespace

u32 DitherPixel(u32 pixel, i32 x, i32 y, i32 format)
{
    channel_c blue, green, red, alpha;
    switch (format) {
    case 10:
    case 11:
    case 12:
    case 13:
    case 16:
        blue = {bits5, false};
        green = {bits6, true};
        red = {bits5, false};
        alpha = {bits5, false};
        break;
    case 15:
        blue = {bits5, false};
        green = {bits5, false};
        red = {bits5, false};
        alpha = {top_bit, false};
        break;
    case 19:
        blue = {bits5, false};
        green = {bits5, true};
        red = {bits5, false};
        alpha = {keep, false};
        break;
    case 14:
        blue = {bits4, true};
        green = {bits4, true};
        red = {bits4, true};
        alpha = {keep, false};
        break;
    default: return pixel;
    }
    const bool cell = kSelector[(y >> 2) & 3][(x >> 2) & 3] == '1';
    const u32 b = Channel(pixel & 0xff, blue, x, y, cell);
    const u32 g = Channel((pixel >> 8) & 0xff, green, x, y, cell);
    const u32 r = Channel((pixel >> 16) & 0xff, red, x, y, cell);
    const u32 a = Channel(pixel >> 24, alpha, x, y, cell);
    return (a << 24) | (r << 16) | (g << 8) | b;
}
