#pragma once
// The order of the full colour fit's unique colours along a line.
#include "foundation/types.h"

// Writes to `order` the indices 0..count-1 (count at most 16) by ascending
// `projection`; among equal projections the lower index comes first with
// `tie_break` 0 and the higher with 1. False when some projection does not
// compare (not a number): `order` is then no ordering. Colours are compared
// sixteen (AVX-512), four (AVX2) or two at a time; `lanes` = 2, 4 or 8 asks
// for at most that many, so that the paths can be compared.
bool OrderByProjection(const f64* projection, i32 count, i32 tie_break, i32* order, i32 lanes = 0);
