#include "foundation/processor_features.h"

#if defined(__x86_64__) || defined(__i386__)
#include <cpuid.h>
#include <xmmintrin.h>
#endif

bool HasCpuFeature(u32 edxMask)
{
#if defined(__x86_64__) || defined(__i386__)
    // __get_cpuid_max also performs the EFLAGS ID-bit test on 32-bit builds.
    if (__get_cpuid_max(0, nullptr) == 0)
        return false;
    unsigned int eax = 0, ebx = 0, ecx = 0, edx = 0;
    if (!__get_cpuid(1, &eax, &ebx, &ecx, &edx))
        return false;
    return (edx & edxMask) != 0;
#else
    (void)edxMask;
    return false;
#endif
}

bool OsSupportsSse()
{
#if defined(__x86_64__)
    // The x86-64 System V ABI passes floats in SSE registers, so a kernel that
    // runs this code saves them; one SSE instruction proves the unit works.
    volatile float probe = 2.0f;
    __m128 v = _mm_set_ss(probe);
    v = _mm_mul_ss(v, v);
    return _mm_cvtss_f32(v) == 4.0f;
#else
    return false;
#endif
}

bool HasAvx2()
{
#if defined(__x86_64__) || defined(__i386__)
    static const bool answer = [] {
        __builtin_cpu_init();
        return __builtin_cpu_supports("avx2") != 0;
    }();
    return answer;
#else
    return false;
#endif
}

bool HasSse()
{
    static const bool answer = HasCpuFeature(kCpuFeatureSse) && OsSupportsSse();
    return answer;
}
