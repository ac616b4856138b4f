#pragma once
// The options record of the texture compressor: 26 32-bit words that the
// caller zeroes and then fills with what it needs.
#include "foundation/types.h"

#include <cstddef>

struct dxt_options_c {
    i32 rescale_mode;   // 0 none, 1 nearest, 2 next larger, 3 next smaller power of two, 4 explicit size
    f32 rescale_width;  // mode 4: target width, rounded half to even
    f32 rescale_height; // mode 4: target height, rounded half to even
    u8 reserved_12[2];
    i16 mip_mode; // 31 mip_count levels, 32 levels given side by side, 33 one level, else full chain
    i16 mip_count;
    i16 mip_filter; // 134 spline, 135 frequency domain, 136/137 windowed sinc, else box
    u8 alpha_cutout;
    u8 renormalize;
    u8 signed_pair; // set by the compressor itself (1 for output format 21)
    u8 clear_border_alpha;
    u8 border_color_on;
    u8 reserved_25[3];
    u8 border_color[3]; // blue, green, red
    u8 reserved_31;
    u8 fade_color_on;
    u8 fade_alpha_on;
    u8 reserved_34[2];
    u8 fade_color[3]; // blue, green, red
    u8 reserved_39;
    i32 fade_alpha;
    i32 fade_first_level;
    i32 fade_percent;
    i32 alpha_cutoff;
    u8 dither_on_read;
    u8 dither_per_level;
    u8 uniform_weights;
    u8 quick_fit;
    u8 force_four_colors;
    u8 enhance_on;
    u8 reserved_62[2];
    i32 enhance_min_size;
    f32 enhance_param_1;
    f32 enhance_param_2;
    f32 enhance_param_3;
    u8 enhance_flag_1;
    u8 enhance_flag_2;
    u8 enhance_flag_3;
    u8 enhance_method;  // 0 first method, else second
    f32 filter_param_1; // gamma of mip filter 137
    f32 filter_param_2; // Kaiser window beta
    i32 filter_param_3; // taps of the first windowed-sinc kernel
    u16 texture_kind;   // 80 plain, 81 cube strip, 83 volume
    i16 output_format;  // 10..23
    u8 swap_red_blue;
    u8 reserved_101[3];
};

static_assert(sizeof(dxt_options_c) == 104);
static_assert(offsetof(dxt_options_c, mip_mode) == 14);
static_assert(offsetof(dxt_options_c, alpha_cutout) == 20);
static_assert(offsetof(dxt_options_c, border_color) == 28);
static_assert(offsetof(dxt_options_c, fade_color_on) == 32);
static_assert(offsetof(dxt_options_c, fade_alpha) == 40);
static_assert(offsetof(dxt_options_c, dither_on_read) == 56);
static_assert(offsetof(dxt_options_c, enhance_min_size) == 64);
static_assert(offsetof(dxt_options_c, enhance_flag_1) == 80);
static_assert(offsetof(dxt_options_c, filter_param_1) == 84);
static_assert(offsetof(dxt_options_c, texture_kind) == 96);
static_assert(offsetof(dxt_options_c, output_format) == 98);
static_assert(offsetof(dxt_options_c, swap_red_blue) == 100);

// Receives each packed level: the bytes (valid only during the call), the
// level index within its face and the byte count. The result is not examined.
using dxt_level_callback = i32 (*)(const u8* data, i32 level, u32 byte_count);
