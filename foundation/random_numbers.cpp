#include "foundation/random_numbers.h"

namespace {

constexpr i64 kModulus = 2147483647;
constexpr double kInverseModulus = 4.656612875245797e-10;

u32 g_processState = kRandomDefaultSeed;

double ToUnit(u32 working)
{
    return working * kInverseModulus;
}

} // namespace

u32 ParkMillerStep(u32& storedWord)
{
    // Schrage's method keeps 16807 * s mod (2^31 - 1) inside 32 bits.
    i64 s = storedWord ^ kRandomMask;
    const i64 q = s / 127773;
    const i64 r = s % 127773;
    s = 16807 * r - 2836 * q;
    if (s < 0)
        s += kModulus;
    storedWord = static_cast<u32>(s) ^ kRandomMask;
    return static_cast<u32>(s);
}

double Random()
{
    return ToUnit(ParkMillerStep(g_processState));
}

void RestartRandom()
{
    g_processState = kRandomDefaultSeed;
}

float RandomFloat(float min, float max)
{
    if (min >= max)
        return min;
    return static_cast<float>(min + Random() * (static_cast<double>(max) - min));
}

int RandomInt(int min, int max)
{
    if (min >= max)
        return min;
    // The span may exceed int (INT_MIN .. INT_MAX), so it is taken in 64 bits.
    const i64 span = static_cast<i64>(max) - min;
    return static_cast<int>(min + static_cast<i64>(Random() * span + 0.5));
}

random_c::random_c() : _state(kRandomDefaultSeed) {}

void random_c::SetSeed(u32 seed)
{
    const u32 stored = seed & 0x7FFFFFFF;
    const u32 working = stored ^ kRandomMask;
    _state = (working == 0 || working == kModulus) ? kRandomDefaultSeed : stored;
}

double random_c::Next()
{
    return ToUnit(ParkMillerStep(_state));
}

float random_c::Float(float min, float max)
{
    if (min >= max)
        return min;
    return static_cast<float>(min + Next() * (static_cast<double>(max) - min));
}

u32 random_c::Int(u32 min, u32 max)
{
    if (min >= max)
        return min;
    const u32 span = max - min;
    return min + static_cast<u32>(Next() * span + 0.5);
}
