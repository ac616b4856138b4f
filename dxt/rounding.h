#pragma once
// Rounding rules shared by the compressor's stages.
#include "foundation/types.h"

#include <array>
#include <cmath>

// Nearest integer, halves to even, as the hardware's default rounding does.
inline f64 RoundHalfEven(f64 v)
{
    const f64 r = std::round(v);
    if (std::fabs(v - std::trunc(v)) == 0.5)
        return 2.0 * std::round(v * 0.5);
    return r;
}

// A 0..1 value as an 8-bit value: floor(x * 255 + 0.5), clamped.
inline i32 UnitToByte(f64 x)
{
    // floor(t) is above 0 exactly when t >= 1 and above 255 exactly when
    // t >= 256; between them truncation is the floor, without a call. Picks,
    // not branches: a block's colours fall on either side at random.
    const f64 t = x * 255.0 + 0.5;
    const f64 low = t >= 1.0 ? t : 0.0;
    return static_cast<i32>(low < 255.0 ? low : 255.0);
}

// A byte as a 0..1 value, v / 255 to the last bit, from a table: a block
// makes dozens of them, and a division takes longer than a load.
inline f64 ByteToUnit(u32 v)
{
    static constexpr std::array<f64, 256> kUnits = [] {
        std::array<f64, 256> units{};
        for (i32 i = 0; i < 256; ++i)
            units[i] = i / 255.0;
        return units;
    }();
    return kUnits[v & 0xff];
}

// The low byte of round-half-even(v), for values that may lie outside 0..255.
inline u8 RoundToLowByte(f64 v)
{
    if (!std::isfinite(v))
        return 0;
    const f64 r = RoundHalfEven(v);
    if (r < -2147483648.0 || r > 2147483647.0)
        return 0;
    return static_cast<u8>(static_cast<i64>(r) & 0xff);
}
