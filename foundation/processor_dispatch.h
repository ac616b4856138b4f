#pragma once
// A function with a plain and an AVX2 body, bound at its first call: one
// process-wide pointer starts at Bind, which stores the body HasAvx2 chooses
// and calls it. Binding twice stores the same body, so a race between first
// calls is harmless. Unlike an ifunc (target_clones), nothing runs before
// main, so sanitizers whose runtime starts late see ordinary code.
#include <atomic>

#include "foundation/processor_features.h"

template <auto Plain, auto Avx2>
class processor_dispatch_c;

template <typename... Args, void (*Plain)(Args...), void (*Avx2)(Args...)>
class processor_dispatch_c<Plain, Avx2> {
public:
    using body_t = void (*)(Args...);

    static void Call(Args... args) { pointer.load(std::memory_order_relaxed)(args...); }

private:
    static void Bind(Args... args)
    {
        const body_t body = HasAvx2() ? Avx2 : Plain;
        pointer.store(body, std::memory_order_relaxed);
        body(args...);
    }

    static inline std::atomic<body_t> pointer{&Bind};
};
