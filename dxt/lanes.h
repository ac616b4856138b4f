#pragma once
// Doubles side by side for the full colour fit's searches: two lanes on any
// x86-64 processor, four where it has AVX2, eight where it has AVX-512. A
// search is written once over the lane type; each lane does, operation for
// operation, what a lone value's arithmetic does, so every path gives the same
// bits (the library is built without fused multiply-adds for that reason).
#include "foundation/types.h"

using f64_pair_c = f64 __attribute__((vector_size(2 * sizeof(f64))));
using f64_quad_c = f64 __attribute__((vector_size(4 * sizeof(f64))));
using f64_octet_c = f64 __attribute__((vector_size(8 * sizeof(f64))));

// Loads by reference: a wide vector returned by value would change the
// calling convention between the paths, and a plain copy of it was made in
// halves that the load then waited for. Stores take lanes of any kind.
template <class V, class T>
[[gnu::always_inline]] inline void LoadLanes(V& v, const T* p)
{
    typedef V unaligned_c __attribute__((aligned(alignof(T)), may_alias));
    v = *reinterpret_cast<const unaligned_c*>(p);
}

template <class V, class T>
[[gnu::always_inline]] inline void StoreLanes(T* p, const V& v)
{
    typedef V unaligned_c __attribute__((aligned(alignof(T)), may_alias));
    *reinterpret_cast<unaligned_c*>(p) = v;
}

// The lanes' bits as integers of the same width.
template <class V>
struct lane_bits_c {
    typedef i64 type __attribute__((vector_size(sizeof(V))));
};
template <class V>
using lane_bits_t = typename lane_bits_c<V>::type;

#if defined(__x86_64__) && !defined(__clang__)
#include <immintrin.h> // declares the builtins of every instruction set
using i64x8_c = long long __attribute__((vector_size(8 * sizeof(long long))));
#endif

// The lanes whose top bit is set, lane j as bit j. GCC takes apart, lane by
// lane, an eight-lane comparison written outside a function built for
// AVX-512, as the searches' templates are, so for it the bits are gathered by
// the instruction made for that; Clang finds that instruction itself.
template <class M>
[[gnu::always_inline]] inline u32 SignBits(const M& m)
{
#if defined(__x86_64__) && !defined(__clang__)
    if constexpr (sizeof m == 8 * sizeof(f64))
        return __builtin_ia32_cvtq2mask512(__builtin_bit_cast(i64x8_c, m));
    else if constexpr (sizeof m == 4 * sizeof(f64))
        return __builtin_ia32_movmskpd256(__builtin_bit_cast(f64_quad_c, m));
    else
        return __builtin_ia32_movmskpd(__builtin_bit_cast(f64_pair_c, m));
#else
    u32 bits = 0;
    for (u32 j = 0; j < sizeof m / sizeof m[0]; ++j)
        bits |= static_cast<u32>(m[j] < 0) << j;
    return bits;
#endif
}

// Per lane, `least` takes `e` where e is less (the smaller, the first on
// ties); an eight-lane minimum for GCC as for SignBits.
template <class V>
[[gnu::always_inline]] inline void KeepLess(V& least, const V& e)
{
#if defined(__x86_64__) && !defined(__clang__)
    if constexpr (sizeof(V) == 8 * sizeof(f64)) {
        constexpr i32 kCurrentRounding = 4;
        least = __builtin_ia32_minpd512_mask(e, least, least, 0xff, kCurrentRounding);
        return;
    }
#endif
    least = e < least ? e : least;
}

// The lanes where `a` equals `b`, lane j as bit j; an eight-lane comparison
// for GCC as for SignBits.
template <class V>
[[gnu::always_inline]] inline u32 EqualBits(const V& a, const V& b)
{
#if defined(__x86_64__) && !defined(__clang__)
    if constexpr (sizeof(V) == 8 * sizeof(f64)) {
        constexpr i32 kEqualOrdered = 0, kCurrentRounding = 4;
        return __builtin_ia32_cmppd512_mask(a, b, kEqualOrdered, 0xff, kCurrentRounding);
    }
#endif
    return SignBits(a == b);
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

// Whether the processor runs the eight-lane paths.
inline bool HasOctetLanes()
{
#if defined(__x86_64__)
    static const bool octets = __builtin_cpu_supports("avx512f") && __builtin_cpu_supports("avx512dq") &&
                               __builtin_cpu_supports("avx512vl") && __builtin_cpu_supports("popcnt");
    return octets;
#else
    return false;
#endif
}

// The lanes a search runs with: `asked` = 0 for the most the processor runs,
// else 2, 4 or 8, narrowed to what it runs (tests compare the paths).
inline i32 LaneCount(i32 asked)
{
    if (asked == 0)
        asked = 8;
    if (asked >= 8 && HasOctetLanes())
        return 8;
    if (asked >= 4 && HasQuadLanes())
        return 4;
    return 2;
}
