#pragma once
// Splits the compressor's input into faces, makes their mip levels, applies
// the per-level adjustments of the options, packs each level into the output
// format and hands it to the level callback.
#include "dxt/dxt_options.h"
#include "foundation/types.h"

#include <memory>
#include <new>
#include <utility>
#include <vector>

// The working state of one compression.
struct dxt_work_state_c {
    const u8* pixels = nullptr;
    i32 width = 0;
    i32 height = 0;
    i32 bytes_per_pixel = 4;
    i64 row_pitch = 0;
    dxt_options_c options{};
    f32 weights[3] = {}; // red, green, blue error weights
};

// Leaves the elements a vector grows by unset: every work image is written in
// full as soon as it is sized, and filling a large one with zeros first would
// cost as much as writing it.
template <class T>
struct unset_allocator_c : std::allocator<T> {
    template <class U>
    struct rebind {
        using other = unset_allocator_c<U>;
    };
    unset_allocator_c() = default;
    template <class U>
    unset_allocator_c(const unset_allocator_c<U>&) noexcept
    {}
    template <class U>
    void construct(U* p) noexcept
    {
        ::new (static_cast<void*>(p)) U;
    }
    template <class U, class... A>
    void construct(U* p, A&&... args)
    {
        ::new (static_cast<void*>(p)) U(std::forward<A>(args)...);
    }
};

// A 32-bit work image, rows packed.
struct work_image_c {
    i32 width = 0;
    i32 height = 0;
    std::vector<u32, unset_allocator_c<u32>> pixels;
};

// Stores the colour weights, divided by their length unless that is 0 or 1.
void SetColorWeights(dxt_work_state_c& state, f32 red, f32 green, f32 blue);

// Copies one face of the input into `work` (resized to face_width x
// face_height), applying the read-time options.
void ExtractFace(work_image_c& work, const dxt_work_state_c& state, i32 face_width, i32 face_height, i64 byte_offset,
                 i32 output_format);

// Packs a work level into the output format (not 20, which needs a palette).
std::vector<u8> PackLevel(const work_image_c& work, const dxt_work_state_c& state, i32 output_format);

// Runs the whole generation: 1 when done, -1 when a DXT face has a side that
// is not a power of two (nothing is delivered then).
i32 GenerateLevels(dxt_work_state_c& state, i32 output_format, dxt_level_callback callback);

// True when the options ask for one level per face.
bool SingleLevel(const dxt_options_c& options);
