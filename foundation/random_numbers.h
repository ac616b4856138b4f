#pragma once
// Reproducible Park-Miller random numbers: the process-wide generator, never
// reseeded by the program, so every run draws the same sequence, and
// random_c for private sequences. Both keep their state word XOR-masked with 0x075BD924.
#include "foundation/types.h"

// Next number of the process-wide generator, in (0, 1).
double Random();

// Puts the process-wide generator back where every run starts. Test
// programs call it before each case, so that a case draws what it would
// draw alone, whichever cases ran before it in the same process.
void RestartRandom();

// min when min >= max, else min + Random() * (max - min).
float RandomFloat(float min, float max);

// min when min >= max, else min + trunc(Random() * (max - min) + 0.5): both
// ends are reachable, each half as often as an inner value.
int RandomInt(int min, int max);

// Several draws in one expression go inside braces (vec3_c{r.Float(..),
// r.Float(..)}): arguments and operands are made in an order each compiler
// picks, and a replay must draw in the same order on every build.
class random_c {
public:
    // Starts where the process-wide generator starts.
    random_c();

    // Stores seed & 0x7FFFFFFF as the masked state word. A seed whose working
    // value would be 0 or 2^31-1 (both fixed points of the generator) is
    // replaced by the default seed, so the sequence never sticks at 0.
    void SetSeed(u32 seed);

    // Next number in (0, 1).
    double Next();

    // min when min >= max, else min + Next() * (max - min).
    float Float(float min, float max);

    // Unsigned form of RandomInt.
    u32 Int(u32 min, u32 max);

    // The masked state word.
    u32 GetState() const { return _state; }

private:
    u32 _state;
};

// One step of the masked generator: advances the stored word and returns the
// working value 1 .. 2^31-2.
u32 ParkMillerStep(u32& storedWord);

inline constexpr u32 kRandomMask = 0x075BD924;
inline constexpr u32 kRandomDefaultSeed = 123456789;
