#include "dxt/level_generator.h"

#include "dxt/codebook.h"
#include "dxt/enhance.h"
#include "dxt/color_quantizer.h"
#include "dxt/error_diffusion.h"
#include "dxt/float_plane.h"
#include "dxt/level_encoder.h"
#include "dxt/mip_chain.h"
#include "dxt/ordered_dither.h"
#include "dxt/rescale.h"
#include "dxt/rounding.h"
#include "dxt/task_threads.h"

#include <algorithm>
#include <cmath>
#include <deque>
#include <exception>
#include <future>
#include <optional>
#include <stdexcept>
#include <string>
#include <unordered_map>
#include <utility>

namespace {

bool IsDxtFormat(i32 format)
{
    return format >= 10 && format <= 13;
}

u32 Byte(u32 p, i32 i)
{
    return (p >> (8 * i)) & 0xff;
}
u32 SetByte(u32 p, i32 i, u32 v)
{
    return (p & ~(0xffu << (8 * i))) | ((v & 0xff) << (8 * i));
}

bool OnBorder(const work_image_c& w, i32 x, i32 y)
{
    return x == 0 || y == 0 || x == w.width - 1 || y == w.height - 1;
}

// Texels a band of rows must hold to be worth a thread of its own: about a
// megabyte, which takes a few times as long to copy as a thread to start.
constexpr size_t kBandTexels = size_t{1} << 18;

// Calls rows_of(first, end) over the rows [0, rows) in bands shared among
// up to DxtLevelThreads() threads. Each row is one band's alone, so what is
// written does not depend on how the rows were shared.
template <class F>
void ForRowBands(i32 rows, i32 row_texels, const F& rows_of)
{
    const size_t texels = static_cast<size_t>(rows) * static_cast<size_t>(row_texels);
    const i64 bands = static_cast<i64>(std::min<size_t>(
        {DxtLevelThreads(), std::max<size_t>(1, texels / kBandTexels), static_cast<size_t>(std::max(rows, 1))}));
    ForEachTask(static_cast<i32>(bands), bands > 1, [&](i32 b) {
        rows_of(static_cast<i32>(static_cast<i64>(rows) * b / bands),
                static_cast<i32>(static_cast<i64>(rows) * (b + 1) / bands));
    });
}

void Deliver(dxt_level_callback callback, const std::vector<u8>& data, i32 level)
{
    if (callback)
        callback(data.data(), level, static_cast<u32>(data.size()));
}

u32 Cutout(u32 p, i32 cutoff)
{
    return SetByte(p, 3, static_cast<i32>(Byte(p, 3)) < cutoff ? 0 : 255);
}

u32 PackUnitVector(u32 p, f64 x, f64 y, f64 z)
{
    auto comp = [](f64 v) {
        const f64 r = RoundHalfEven((v + 1.0) * 127.5);
        return static_cast<u32>(std::clamp(r, 0.0, 255.0));
    };
    p = SetByte(p, 2, comp(x));
    p = SetByte(p, 1, comp(y));
    return SetByte(p, 0, comp(z));
}

u32 Renormalize(u32 p)
{
    const f64 x = Byte(p, 2) * 2.0 / 255.0 - 1.0, y = Byte(p, 1) * 2.0 / 255.0 - 1.0,
              z = Byte(p, 0) * 2.0 / 255.0 - 1.0;
    const f64 len2 = x * x + y * y + z * z;
    if (!(len2 > 1e-12))
        return p;
    const f64 s = 1.0 / std::sqrt(len2);
    return PackUnitVector(p, x * s, y * s, z * s);
}

// The 2x2 box: each byte the truncated mean of its four, samples clamped to
// the image (a side of 1 repeats its one row or column). The same bytes as
// BuildChain's box levels.
work_image_c BoxHalved(const work_image_c& w)
{
    work_image_c h;
    h.width = (w.width + 1) / 2;
    h.height = (w.height + 1) / 2;
    h.pixels.resize(static_cast<size_t>(h.width) * h.height);
    constexpr u32 kEven = 0x00ff00ff;
    for (i32 y = 0; y < h.height; ++y) {
        const u32* r0 = &w.pixels[static_cast<size_t>(2 * y) * w.width];
        const u32* r1 = &w.pixels[static_cast<size_t>(std::min(2 * y + 1, w.height - 1)) * w.width];
        u32* out = &h.pixels[static_cast<size_t>(y) * h.width];
        for (i32 x = 0; x < h.width; ++x) {
            const i32 x0 = 2 * x, x1 = std::min(2 * x + 1, w.width - 1);
            const u32 a = r0[x0], b = r0[x1], c = r1[x0], d = r1[x1];
            // Bytes 0 and 2, then 1 and 3, summed in 16-bit lanes (4 x 255 at most).
            const u32 even = (a & kEven) + (b & kEven) + (c & kEven) + (d & kEven);
            const u32 odd = (a >> 8 & kEven) + (b >> 8 & kEven) + (c >> 8 & kEven) + (d >> 8 & kEven);
            out[x] = (even >> 2 & kEven) | (odd >> 2 & kEven) << 8;
        }
    }
    return h;
}

// The next level of the work image itself, cut out again when asked.
work_image_c HalvedWork(const work_image_c& w, const dxt_options_c& o)
{
    work_image_c h = BoxHalved(w);
    if (o.alpha_cutout)
        for (u32& p : h.pixels)
            p = Cutout(p, o.alpha_cutoff);
    return h;
}

// The palette of a face's level 0, to which its later levels are mapped.
struct palette_state_c {
    bool built = false;
    codebook_c palette;
};

void DeliverPaletteLevel(const work_image_c& w, const dxt_work_state_c& s, i32 level, palette_state_c& ps,
                         dxt_level_callback callback)
{
    const size_t n = w.pixels.size();
    std::vector<u8> indices(n);
    if (!ps.built) {
        std::vector<u8> bytes(n * 4);
        for (size_t i = 0; i < n; ++i)
            for (i32 c = 0; c < 4; ++c)
                bytes[i * 4 + c] = static_cast<u8>(Byte(w.pixels[i], c));
        quantized_colors_c q;
        QuantizeColors(bytes.data(), w.width, w.height, 4, q, 8, 4, s.options.dither_on_read);
        std::vector<u8> table(1024);
        ps.palette = codebook_c{};
        ps.palette.entries = 256;
        for (i32 k = 0; k < 256; ++k) {
            for (i32 c = 0; c < 3; ++c) {
                table[k * 4 + c] = static_cast<u8>(q.palette[k][c]);
                ps.palette.data.push_back(q.palette[k][c]);
            }
            table[k * 4 + 3] = 255;
        }
        ps.built = true;
        Deliver(callback, table, 0);
        Deliver(callback, q.indices, level);
        return;
    }
    std::vector<u8> rgb(n * 3);
    for (size_t i = 0; i < n; ++i)
        for (i32 c = 0; c < 3; ++c)
            rgb[i * 3 + c] = static_cast<u8>(Byte(w.pixels[i], 2 - c));
    if (s.options.dither_on_read)
        DiffuseErrors3(rgb.data(), w.width, w.height, 4, 4, 4);
    codebook_c colours;
    BuildCodebook(rgb.data(), colours, w.height, w.width, 3, 1, 1, 1 << 24);
    index_list_c nearest;
    MapToCodebook(ps.palette, colours, nearest);
    std::unordered_map<u32, u8> index_of;
    for (i32 e = 0; e < colours.entries; ++e) {
        const i32* v = &colours.data[static_cast<size_t>(e) * 3];
        index_of[static_cast<u32>((v[0] << 16) | (v[1] << 8) | v[2])] = static_cast<u8>(nearest.indices[e]);
    }
    for (size_t i = 0; i < n; ++i)
        indices[i] = index_of.at(static_cast<u32>((rgb[i * 3] << 16) | (rgb[i * 3 + 1] << 8) | rgb[i * 3 + 2]));
    Deliver(callback, indices, level);
}

void DeliverLevel(const work_image_c& w, const dxt_work_state_c& s, i32 format, i32 level, palette_state_c& ps,
                  dxt_level_callback callback)
{
    if (format == 20)
        DeliverPaletteLevel(w, s, level, ps, callback);
    else
        Deliver(callback, PackLevel(w, s, format), level);
}

void FadeLevel(work_image_c& w, const dxt_options_c& o, f32 f, f32 g)
{
    for (u32& p : w.pixels) {
        if (o.fade_color_on) {
            if (!o.renormalize) {
                if (!o.signed_pair) {
                    for (i32 c = 0; c < 3; ++c)
                        p = SetByte(p, c,
                                    RoundToLowByte(static_cast<f64>(o.fade_color[c]) * g +
                                                   Byte(p, c) * static_cast<f64>(f) + 0.5));
                } else {
                    for (i32 c = 1; c <= 2; ++c)
                        p = SetByte(p, c, RoundToLowByte(Byte(p, c) * (2.0 / 255.0) * f * 127.5 + 0.5));
                }
            } else {
                const f64 x = f * (Byte(p, 2) * 2.0 / 255.0 - 1.0), y = f * (Byte(p, 1) * 2.0 / 255.0 - 1.0),
                          z = g * (Byte(p, 0) * 2.0 / 255.0 - 1.0);
                const f64 len2 = x * x + y * y + z * z;
                // Fade factors too large for a length leave the normal as it was.
                if (len2 > 1e-12 && std::isfinite(len2)) {
                    const f64 s = 1.0 / std::sqrt(len2);
                    p = PackUnitVector(p, x * s, y * s, z * s);
                }
            }
        }
        if (o.fade_alpha_on)
            p = SetByte(p, 3,
                        RoundToLowByte(Byte(p, 3) * static_cast<f64>(f) + static_cast<f64>(o.fade_alpha) * g + 0.5));
    }
}

void ClearBorder(work_image_c& w, const dxt_options_c& o)
{
    for (i32 y = 0; y < w.height; ++y)
        for (i32 x = 0; x < w.width; ++x) {
            if (!OnBorder(w, x, y))
                continue;
            u32& p = w.pixels[static_cast<size_t>(y) * w.width + x];
            if (o.clear_border_alpha)
                p = SetByte(p, 3, 0);
            if (o.border_color_on)
                for (i32 c = 0; c < 3; ++c)
                    p = SetByte(p, c, o.border_color[c]);
        }
}

void EnhanceWork(work_image_c& w, const dxt_options_c& o)
{
    byte_image_c level(w.width, w.height, 3);
    for (size_t i = 0; i < w.pixels.size(); ++i)
        for (i32 p = 0; p < 3; ++p)
            level.planes[p][i] = static_cast<u8>(Byte(w.pixels[i], 2 - p));
    enhance_params_c params;
    params.size = o.enhance_min_size;
    params.factor = 1.0f;
    params.k = o.enhance_param_1;
    params.lambda = o.enhance_param_2;
    params.weighted = o.enhance_flag_1;
    params.sharpen = o.enhance_flag_3;
    params.thin = o.enhance_flag_2;
    params.strength = o.enhance_param_3;
    const byte_image_c out = EnhanceLevel(level, params, o.enhance_method != 0);
    for (size_t i = 0; i < w.pixels.size(); ++i)
        for (i32 p = 0; p < 3; ++p)
            w.pixels[i] = SetByte(w.pixels[i], 2 - p, out.planes[p][i]);
}

void DitherLevel(work_image_c& w, i32 format)
{
    for (i32 y = 0; y < w.height; ++y)
        for (i32 x = 0; x < w.width; ++x) {
            u32& p = w.pixels[static_cast<size_t>(y) * w.width + x];
            p = DitherPixel(p, x, y, format);
        }
}

// Whether the level is enhanced before it is delivered.
bool Enhances(const work_image_c& w, const dxt_options_c& o)
{
    return o.enhance_on && o.enhance_min_size < w.width && o.enhance_min_size < w.height;
}

// Makes a face's levels one after another, each ready to pack, and hands
// them to `take` with their index. The levels are made in `levels`; each
// stays there until the next is made, or to the end when `keep` holds.
template <class F>
void MakeChain(dxt_work_state_c& s, i32 format, i32 face_w, i32 face_h, i64 offset, bool keep,
               std::deque<work_image_c>& levels, const F& take)
{
    const dxt_options_c& o = s.options;
    ExtractFace(levels.emplace_back(), s, face_w, face_h, offset, format);
    // The box filter's chain is made a level at a time on the pixels: in
    // floating point every level would be held at once, sixteen bytes a texel.
    const bool box_chain = o.mip_mode != 32 && IsBoxFilter(o.mip_filter);
    const std::vector<float_image_c> chain = o.mip_mode == 32 || box_chain
                                                 ? std::vector<float_image_c>{}
                                                 : BuildChain(levels.back().pixels.data(), face_w, face_h, o);
    // The chain's level below the work image's, free of the work image's
    // changes. The first level is read for it while it is delivered, unless
    // it is changed before.
    std::optional<work_image_c> box_next;
    if (box_chain && (Enhances(levels.back(), o) || o.dither_per_level))
        box_next = BoxHalved(levels.back());
    // The box levels the step below needs are made while this level is
    // packed, when that takes long enough and threads may be had. A level
    // that is kept is packed later, on threads of its own, and the levels
    // are made on the calling thread meanwhile.
    const std::launch box_launch =
        DxtLevelThreads() > 1 && !keep ? std::launch::async | std::launch::deferred : std::launch::deferred;
    const f32 f0 = 1.0f - static_cast<f32>(o.fade_percent) * 0.01f;
    f32 f = f0;
    i32 level = 0;
    bool done = false;
    while (true) {
        work_image_c& work = levels.back();
        const bool box_step = box_chain && work.width >= 3 && work.height >= 3;
        std::future<work_image_c> box_after;
        if (box_step)
            box_after = std::async(box_launch, [&work, &box_next] {
                if (!box_next)
                    box_next = BoxHalved(work);
                return BoxHalved(*box_next);
            });
        if (Enhances(work, o))
            EnhanceWork(work, o);
        if (o.dither_per_level)
            DitherLevel(work, format);
        take(work, level);
        ++level;
        const f32 g = 1.0f - f;
        if (work.width < 2 && work.height < 2)
            done = true;
        if (!done) {
            work_image_c next;
            if (o.mip_mode == 32) {
                offset += static_cast<i64>(s.bytes_per_pixel) * work.width;
                ExtractFace(next, s, (work.width + 1) / 2, (work.height + 1) / 2, offset, format);
            } else if (box_step) {
                // The chain's own level: the work image's changes stay out of the levels below.
                work_image_c after = box_after.get();
                next = std::exchange(*box_next, std::move(after));
            } else if (box_chain || work.width < 3 || work.height < 3 || static_cast<size_t>(level) >= chain.size()) {
                next = HalvedWork(work, o);
            } else {
                const float_image_c& below = chain[level];
                next.width = below.width;
                next.height = below.height;
                next.pixels.resize(static_cast<size_t>(below.width) * below.height);
                ImageToPixels(below, next.pixels.data());
            }
            if (!keep)
                levels.pop_back();
            work_image_c& made = levels.emplace_back(std::move(next));
            if (o.clear_border_alpha || o.border_color_on)
                ClearBorder(made, o);
            if (level >= o.fade_first_level) {
                if (o.fade_color_on || o.fade_alpha_on)
                    FadeLevel(made, o, f, g);
                f *= f0;
            }
            if (o.alpha_cutout)
                for (u32& p : made.pixels)
                    p = Cutout(p, o.alpha_cutoff);
            if (o.renormalize)
                for (u32& p : made.pixels)
                    p = Renormalize(p);
        }
        if (done || (o.mip_mode == 31 && level >= o.mip_count))
            break;
    }
}

// The block code of a DXT output format.
i32 DxtCode(i32 format)
{
    static const i32 codes[4] = {dxt_code_dxt1, dxt_code_dxt1_alpha, dxt_code_dxt3, dxt_code_dxt5};
    return codes[format - 10];
}

void RunChain(dxt_work_state_c& s, i32 format, dxt_level_callback callback, i32 face_w, i32 face_h, i64 offset)
{
    std::deque<work_image_c> levels;
    if (!IsDxtFormat(format)) {
        palette_state_c palette;
        MakeChain(s, format, face_w, face_h, offset, false, levels,
                  [&](const work_image_c& w, i32 level) { DeliverLevel(w, s, format, level, palette, callback); });
        return;
    }
    // A face's levels share one set of threads, which go on to a level's rows
    // while the last of the level before are still being encoded; they are
    // delivered in order once all are done.
    dxt_chain_encoder_c encoder(DxtCode(format), s.weights, format == 10 && s.options.force_four_colors,
                                s.options.quick_fit);
    std::exception_ptr failure;
    try {
        MakeChain(s, format, face_w, face_h, offset, true, levels, [&encoder](const work_image_c& w, i32) {
            encoder.Add({w.pixels.data(), w.width, w.height, w.width});
        });
    } catch (...) {
        // The levels made before still go out, as they did when each was delivered as soon as it was made.
        failure = std::current_exception();
    }
    const std::vector<std::vector<u8>> packed = encoder.Finish();
    for (size_t level = 0; level < packed.size(); ++level)
        Deliver(callback, packed[level], static_cast<i32>(level));
    if (failure)
        std::rethrow_exception(failure);
}

} // namespace

bool SingleLevel(const dxt_options_c& o)
{
    return o.mip_mode == 33 || (o.mip_mode == 31 && o.mip_count == 0);
}

void SetColorWeights(dxt_work_state_c& s, f32 red, f32 green, f32 blue)
{
    s.weights[0] = red;
    s.weights[1] = green;
    s.weights[2] = blue;
    const f32 len = std::sqrt(red * red + green * green + blue * blue);
    if (len != 0.0f && len != 1.0f)
        for (f32& w : s.weights)
            w /= len;
}

void ExtractFace(work_image_c& work, const dxt_work_state_c& s, i32 face_w, i32 face_h, i64 offset, i32 format)
{
    const dxt_options_c& o = s.options;
    const i64 bpp = s.bytes_per_pixel;
    if (face_w <= 0 || face_h <= 0 || face_h > s.height || offset < 0 || offset % bpp != 0 ||
        offset / bpp + face_w > s.width)
        throw std::invalid_argument("Face lies outside the image");
    work.width = face_w;
    work.height = face_h;
    work.pixels.resize(static_cast<size_t>(face_w) * face_h);
    const bool dither = o.dither_on_read && format != 17 && format != 18 && (format < 20 || format > 23);
    const bool plain =
        bpp == 4 && !dither && !o.clear_border_alpha && !o.border_color_on && !o.alpha_cutout && !o.swap_red_blue;
    ForRowBands(face_h, face_w, [&](i32 first, i32 end) {
        for (i32 y = first; y < end; ++y) {
            const u8* row = s.pixels + y * s.row_pitch + offset;
            u32* out = &work.pixels[static_cast<size_t>(y) * face_w];
            if (plain) {
                for (i32 x = 0; x < face_w; ++x) {
                    const u8* src = row + 4 * x;
                    out[x] = src[0] | (src[1] << 8) | (src[2] << 16) | (static_cast<u32>(src[3]) << 24);
                }
                continue;
            }
            for (i32 x = 0; x < face_w; ++x) {
                const u8* src = row + x * bpp;
                u32 p = src[0] | (src[1] << 8) | (src[2] << 16) | (static_cast<u32>(bpp == 4 ? src[3] : 255) << 24);
                if (dither)
                    p = DitherPixel(p, x, y, format);
                const bool border = OnBorder(work, x, y);
                if (o.clear_border_alpha && border)
                    p = SetByte(p, 3, 0);
                if (o.border_color_on && border)
                    for (i32 c = 0; c < 3; ++c)
                        p = SetByte(p, c, o.border_color[c]);
                if (o.alpha_cutout)
                    p = Cutout(p, o.alpha_cutoff);
                if (o.swap_red_blue)
                    p = (p & 0xff00ff00) | ((p & 0xff) << 16) | ((p >> 16) & 0xff);
                out[x] = p;
            }
        }
    });
}

std::vector<u8> PackLevel(const work_image_c& w, const dxt_work_state_c& s, i32 format)
{
    const dxt_options_c& o = s.options;
    if (IsDxtFormat(format)) {
        const dxt_level_c level{w.pixels.data(), w.width, w.height, w.width};
        return EncodeDxtLevel(level, DxtCode(format), s.weights, format == 10 && o.force_four_colors, o.quick_fit);
    }
    const size_t n = w.pixels.size();
    std::vector<u8> out;
    auto put16 = [&out](u32 v) {
        out.push_back(static_cast<u8>(v));
        out.push_back(static_cast<u8>(v >> 8));
    };
    switch (format) {
    case 14:
    case 15:
    case 16:
    case 19:
    case 21:
    case 22: out.reserve(2 * n); break;
    case 17: out.reserve(4 * n); break;
    case 18: out.reserve(3 * n); break;
    case 23: out.reserve(n); break;
    default: throw std::invalid_argument("Unknown output format " + std::to_string(format));
    }
    for (const u32 p : w.pixels) {
        switch (format) {
        case 14: put16(((p >> 16) & 0xf000) | ((p >> 12) & 0x0f00) | ((p >> 8) & 0x00f0) | ((p >> 4) & 0x000f)); break;
        case 15: put16(((p >> 16) & 0x8000) | ((p >> 9) & 0x7c00) | ((p >> 6) & 0x03e0) | ((p >> 3) & 0x001f)); break;
        case 16: put16(((p >> 8) & 0xf800) | ((p >> 5) & 0x07e0) | ((p >> 3) & 0x001f)); break;
        case 17:
            for (i32 c = 0; c < 4; ++c)
                out.push_back(static_cast<u8>(Byte(p, c)));
            break;
        case 18:
            for (i32 c = 0; c < 3; ++c)
                out.push_back(static_cast<u8>(Byte(p, c)));
            break;
        case 19: put16(((p >> 9) & 0x7c00) | ((p >> 6) & 0x03e0) | ((p >> 3) & 0x001f)); break;
        case 21:
        case 22:
            out.push_back(static_cast<u8>(Byte(p, 2)));
            out.push_back(static_cast<u8>(Byte(p, 1)));
            break;
        default: out.push_back(static_cast<u8>(Byte(p, 3))); break;
        }
    }
    return out;
}

i32 GenerateLevels(dxt_work_state_c& s, i32 format, dxt_level_callback callback)
{
    dxt_options_c& o = s.options;
    const bool single = SingleLevel(o);
    i32 strip = s.width;
    if (o.mip_mode == 32)
        strip /= 2;
    i32 faces = 1, face_w = strip;
    const i32 face_h = s.height;
    if (o.texture_kind == 81) {
        faces = 6;
        face_w = strip / 6;
    } else if (o.texture_kind == 83) {
        face_w = s.height;
        faces = s.height > 0 ? strip / s.height : 0;
    }
    if (o.uniform_weights)
        SetColorWeights(s, 1.0f, 1.0f, 1.0f);
    else
        SetColorWeights(s, 0.309f, 0.609f, 0.082f);
    if (faces <= 0 || face_w <= 0 || face_h <= 0)
        return -1;
    if (IsDxtFormat(format) && (!IsPow2(face_w) || !IsPow2(face_h)))
        return -1;
    o.signed_pair = format == 21 ? 1 : 0;
    const i64 face_step = static_cast<i64>(s.bytes_per_pixel) * face_w * (o.mip_mode == 32 ? 2 : 1);
    if (single) {
        work_image_c work;
        for (i32 f = 0; f < faces; ++f) {
            ExtractFace(work, s, face_w, face_h, face_step * f, format);
            palette_state_c palette;
            DeliverLevel(work, s, format, 0, palette, callback);
        }
        return 1;
    }
    for (i32 f = 0; f < faces; ++f)
        RunChain(s, format, callback, face_w, face_h, face_step * f);
    return 1;
}
