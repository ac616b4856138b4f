#pragma once
// The processor test that chooses between the plain and the SSE bodies of the
// matrix products.
#include "foundation/types.h"

// True when the processor identification instruction exists, reports at least
// one standard leaf, and leaf 1's EDX has any bit of edxMask set.
bool HasCpuFeature(u32 edxMask);

// True when the operating system saves the SSE registers across task switches,
// so SSE instructions may be used.
bool OsSupportsSse();

// HasCpuFeature(SSE) && OsSupportsSse(), computed once and cached.
bool HasSse();

// True when the processor and the operating system both support AVX2;
// computed once and cached. Asked at run time, never from an ifunc resolver,
// so it is safe under every sanitizer.
bool HasAvx2();

// EDX bit of the SSE feature in leaf 1.
inline constexpr u32 kCpuFeatureSse = 0x02000000;
