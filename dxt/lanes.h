#pragma once
// Doubles side by side for the full colour fit's searches: two lanes on any
// x86-64 processor, four where it has AVX2. A search is written once over the
// lane type; each lane does, operation for operation, what a lone value's
// arithmetic does, so every path gives the same bits.
#include "foundation/types.h"

using f64_pair_c = f64 __attribute__((vector_size(2 * sizeof(f64))));
using f64_quad_c = f64 __attribute__((vector_size(4 * sizeof(f64))));

// Loads by reference: a wide vector returned by value would change the
// calling convention between the paths, and a plain copy of it was made in
// halves that the load then waited for. Stores take lanes of any kind.
template <class V>
[[gnu::always_inline]] inline void LoadLanes(V& v, const f64* p)
{
    typedef V unaligned_c __attribute__((aligned(alignof(f64)), may_alias));
    v = *reinterpret_cast<const unaligned_c*>(p);
}

template <class V, class T>
[[gnu::always_inline]] inline void StoreLanes(T* p, const V& v)
{
    typedef V unaligned_c __attribute__((aligned(alignof(T)), may_alias));
    *reinterpret_cast<unaligned_c*>(p) = v;
}

// Whether any lane of a comparison's result is set, without leaving the
// registers: a wide result is folded in halves first.
template <class M>
[[gnu::always_inline]] inline bool AnyLane(const M& m)
{
    if constexpr (sizeof m == 4 * sizeof m[0])
        return AnyLane(__builtin_shufflevector(m, m, 0, 1) | __builtin_shufflevector(m, m, 2, 3));
    else
        return (m[0] | m[1]) != 0;
}

// Whether the processor runs the four-lane paths.
inline bool HasQuadLanes()
{
#if defined(__x86_64__)
    static const bool quads = __builtin_cpu_supports("avx2");
    return quads;
#else
    return false;
#endif
}
