#pragma once
// Animation envelopes: a list of keyed values with an interpolation shape per
// key and a behaviour before the first and after the last key. An envelope
// drives one float member of its holder's owner (see engine/graph.h).
#include "foundation/types.h"

#include <vector>

class graph_c;
class input_file_c;
class output_file_c;

// Interpolation of the interval that ends at a key, and the tangent kind the
// key gives. Values are stored in files.
enum envelope_shape_e : u32 {
    shape_tcb = 0,     // Hermite with tension/continuity/bias tangents
    shape_hermite = 1, // Hermite with tangents param0 (in) and param1 (out)
    shape_bezier = 2,  // 2D Bezier handles: in (param0, param1), out (param2, param3)
    shape_linear = 3,
    shape_stepped = 4,
};

// Result outside the keys. Values are stored in files.
enum envelope_behaviour_e : u32 {
    behaviour_reset = 0,    // 0
    behaviour_constant = 1, // first or last value
    behaviour_repeat = 2,
    behaviour_oscillate = 3,
    behaviour_offset = 4, // repeat, shifted by (last - first) per cycle
    behaviour_linear = 5, // continue along the end tangent
};

// One key; 40 bytes in the stream.
class envelope_key_c {
public:
    f32 value = 0.0f;
    f32 time = 0.0f;
    envelope_shape_e shape = shape_tcb;
    f32 tension = 0.0f;
    f32 continuity = 0.0f;
    f32 bias = 0.0f;
    f32 param0 = 0.0f;
    f32 param1 = 0.0f;
    f32 param2 = 0.0f;
    f32 param3 = 0.0f;
};

// Bytes of the stream records, used to bound counts read from files.
inline constexpr u32 envelope_key_record_size = 40;
inline constexpr u32 envelope_record_min_size = 12;

class envelope_c {
public:
    u32 target = 0;                   // word index of the bound member in its owner
    std::vector<envelope_key_c> keys; // in ascending time; not sorted here
    envelope_behaviour_e pre = behaviour_constant;
    envelope_behaviour_e post = behaviour_constant;

    envelope_c() = default;
    explicit envelope_c(u32 _target) : target(_target) {}

    // Value at a time. Allocates nothing; walks the keys from the first.
    f32 Evaluate(f32 _time) const;

    // Stores Evaluate(_time) into the bound member of the holder's owner.
    // A target the owner does not know is ignored.
    void Apply(graph_c* _holder, f32 _time) const;
    // Stores the first key's value (0 without keys) into the bound member.
    void Reset(graph_c* _holder) const;

    // The envelope record: u32 target, u32 key count, keys, u8 pre, u8 post.
    void Write(output_file_c& _file) const;
    // Throws file_error_c with the file's name when the record is cut short
    // or its key count exceeds the bytes left.
    void Read(input_file_c& _file);
};
