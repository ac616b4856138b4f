#pragma once
// The two unique colours of the full colour fit that lie farthest apart.
#include "foundation/types.h"

// Of the colours channels[c][u] (u < count, count at most 16), the first pair
// u < v, u rising slowest, with the strictly largest squared distance (red +
// green + blue of the squared differences channel[u] - channel[v]); a distance
// that is not a number never wins, and (0, 0) stands when none does. Pairs
// are measured eight at a time where the processor has AVX-512; `lanes` = 1
// asks for one at a time, so that the paths can be compared.
void FarthestPair(const f64 (*channels)[16], i32 count, i32& first, i32& second, i32 lanes = 0);
