#include "dxt/color_quantizer.h"

#include "dxt/error_diffusion.h"

#include <stdexcept>

namespace {

constexpr i32 kSide = 33;
constexpr i32 kCells = kSide * kSide * kSide;

i32 Cell(i32 r, i32 g, i32 b)
{
    return (r * kSide + g) * kSide + b;
}

struct box_c {
    i32 r0 = 0, r1 = 0, g0 = 0, g1 = 0, b0 = 0, b1 = 0;
    i32 volume = 0;
};

struct moments_c {
    std::vector<i64> wt, mr, mg, mb;
    std::vector<f64> m2;
    moments_c() : wt(kCells), mr(kCells), mg(kCells), mb(kCells), m2(kCells) {}
};

template <typename T>
T Volume(const box_c& c, const std::vector<T>& m)
{
    return m[Cell(c.r1, c.g1, c.b1)] - m[Cell(c.r1, c.g1, c.b0)] - m[Cell(c.r1, c.g0, c.b1)] +
           m[Cell(c.r1, c.g0, c.b0)] - m[Cell(c.r0, c.g1, c.b1)] + m[Cell(c.r0, c.g1, c.b0)] +
           m[Cell(c.r0, c.g0, c.b1)] - m[Cell(c.r0, c.g0, c.b0)];
}

enum axis_e { red, green, blue };

// The sum of a moment over the part of the box below (and including) `pos` on `axis`.
template <typename T>
T Below(const box_c& c, axis_e axis, i32 pos, const std::vector<T>& m)
{
    box_c b = c;
    if (axis == red)
        b.r1 = pos;
    if (axis == green)
        b.g1 = pos;
    if (axis == blue)
        b.b1 = pos;
    return Volume(b, m);
}

f64 Variance(const box_c& c, const moments_c& m)
{
    const f64 dr = static_cast<f64>(Volume(c, m.mr)), dg = static_cast<f64>(Volume(c, m.mg)),
              db = static_cast<f64>(Volume(c, m.mb));
    const f64 xx = Volume(c, m.m2);
    return xx - (dr * dr + dg * dg + db * db) / static_cast<f64>(Volume(c, m.wt));
}

f64 Maximize(const box_c& c, axis_e axis, i32 first, i32 last, i32& cut, const moments_c& m, i64 whole_r, i64 whole_g,
             i64 whole_b, i64 whole_w)
{
    f64 best = 0.0;
    cut = -1;
    for (i32 i = first; i < last; ++i) {
        i64 hr = Below(c, axis, i, m.mr), hg = Below(c, axis, i, m.mg), hb = Below(c, axis, i, m.mb);
        i64 hw = Below(c, axis, i, m.wt);
        if (hw == 0)
            continue;
        f64 score = (static_cast<f64>(hr) * hr + static_cast<f64>(hg) * hg + static_cast<f64>(hb) * hb) / hw;
        hr = whole_r - hr;
        hg = whole_g - hg;
        hb = whole_b - hb;
        hw = whole_w - hw;
        if (hw == 0)
            continue;
        score += (static_cast<f64>(hr) * hr + static_cast<f64>(hg) * hg + static_cast<f64>(hb) * hb) / hw;
        if (score > best) {
            best = score;
            cut = i;
        }
    }
    return best;
}

bool Cut(box_c& set1, box_c& set2, const moments_c& m)
{
    const i64 wr = Volume(set1, m.mr), wg = Volume(set1, m.mg), wb = Volume(set1, m.mb), ww = Volume(set1, m.wt);
    i32 cutr, cutg, cutb;
    const f64 maxr = Maximize(set1, red, set1.r0 + 1, set1.r1, cutr, m, wr, wg, wb, ww);
    const f64 maxg = Maximize(set1, green, set1.g0 + 1, set1.g1, cutg, m, wr, wg, wb, ww);
    const f64 maxb = Maximize(set1, blue, set1.b0 + 1, set1.b1, cutb, m, wr, wg, wb, ww);
    axis_e dir;
    if (maxr >= maxg && maxr >= maxb) {
        dir = red;
        if (cutr < 0)
            return false;
    } else if (maxg >= maxr && maxg >= maxb) {
        dir = green;
    } else {
        dir = blue;
    }
    set2.r1 = set1.r1;
    set2.g1 = set1.g1;
    set2.b1 = set1.b1;
    switch (dir) {
    case red:
        set2.r0 = set1.r1 = cutr;
        set2.g0 = set1.g0;
        set2.b0 = set1.b0;
        break;
    case green:
        set2.g0 = set1.g1 = cutg;
        set2.r0 = set1.r0;
        set2.b0 = set1.b0;
        break;
    case blue:
        set2.b0 = set1.b1 = cutb;
        set2.r0 = set1.r0;
        set2.g0 = set1.g0;
        break;
    }
    set1.volume = (set1.r1 - set1.r0) * (set1.g1 - set1.g0) * (set1.b1 - set1.b0);
    set2.volume = (set2.r1 - set2.r0) * (set2.g1 - set2.g0) * (set2.b1 - set2.b0);
    return true;
}

} // namespace

void QuantizeColors(u8* pixels, i32 width, i32 height, i32 bpp, quantized_colors_c& result, i32 first_bits,
                    i32 other_bits, bool dither)
{
    if (bpp != 3 && bpp != 4)
        throw std::invalid_argument("Pixels must have 3 or 4 bytes");
    if (width < 0 || height < 0)
        throw std::invalid_argument("Negative image size");
    if (dither) {
        if (bpp == 4)
            DiffuseErrors4(pixels, width, height, first_bits, other_bits, other_bits, other_bits);
        else
            DiffuseErrors3(pixels, width, height, other_bits, other_bits, other_bits);
    }
    const size_t n = static_cast<size_t>(width) * height;
    moments_c m;
    std::vector<u16> cell_of(n);
    for (size_t i = 0; i < n; ++i) {
        const u8* p = pixels + i * bpp;
        const i32 b = p[0], g = p[1], r = p[2];
        const i32 cell = ((r >> 3) * kSide + (g >> 3)) * kSide + (b >> 3) + 1123;
        cell_of[i] = static_cast<u16>(cell);
        m.wt[cell] += 1;
        m.mr[cell] += r;
        m.mg[cell] += g;
        m.mb[cell] += b;
        m.m2[cell] += static_cast<f64>(r * r + g * g + b * b);
    }
    // Cumulative moments along blue, then green, then red.
    for (i32 r = 1; r < kSide; ++r) {
        std::vector<i64> area_w(kSide), area_r(kSide), area_g(kSide), area_b(kSide);
        std::vector<f64> area2(kSide);
        for (i32 g = 1; g < kSide; ++g) {
            i64 line_w = 0, line_r = 0, line_g = 0, line_b = 0;
            f64 line2 = 0.0;
            for (i32 b = 1; b < kSide; ++b) {
                const i32 ind = Cell(r, g, b), prev = Cell(r - 1, g, b);
                line_w += m.wt[ind];
                line_r += m.mr[ind];
                line_g += m.mg[ind];
                line_b += m.mb[ind];
                line2 += m.m2[ind];
                area_w[b] += line_w;
                area_r[b] += line_r;
                area_g[b] += line_g;
                area_b[b] += line_b;
                area2[b] += line2;
                m.wt[ind] = m.wt[prev] + area_w[b];
                m.mr[ind] = m.mr[prev] + area_r[b];
                m.mg[ind] = m.mg[prev] + area_g[b];
                m.mb[ind] = m.mb[prev] + area_b[b];
                m.m2[ind] = m.m2[prev] + area2[b];
            }
        }
    }
    std::vector<box_c> cube(256);
    std::vector<f64> vv(256, 0.0);
    cube[0].r1 = cube[0].g1 = cube[0].b1 = kSide - 1;
    i32 count = 256, next = 0;
    for (i32 i = 1; i < 256; ++i) {
        if (Cut(cube[next], cube[i], m)) {
            vv[next] = cube[next].volume > 1 ? Variance(cube[next], m) : 0.0;
            vv[i] = cube[i].volume > 1 ? Variance(cube[i], m) : 0.0;
        } else {
            vv[next] = 0.0;
            --i;
        }
        next = 0;
        f64 temp = vv[0];
        for (i32 k = 1; k <= i; ++k)
            if (vv[k] > temp) {
                temp = vv[k];
                next = k;
            }
        if (temp <= 0.0) {
            count = i + 1;
            break;
        }
    }
    std::vector<u8> tag(kCells, 0);
    result.components = 3;
    result.entries = 256;
    result.boxes = count;
    for (auto& e : result.palette)
        e = {0, 0, 0};
    for (i32 k = 0; k < count; ++k) {
        const box_c& c = cube[k];
        for (i32 r = c.r0 + 1; r <= c.r1; ++r)
            for (i32 g = c.g0 + 1; g <= c.g1; ++g)
                for (i32 b = c.b0 + 1; b <= c.b1; ++b)
                    tag[Cell(r, g, b)] = static_cast<u8>(k);
        const i64 w = Volume(c, m.wt);
        if (w > 0)
            result.palette[k] = {static_cast<i32>(Volume(c, m.mr) / w), static_cast<i32>(Volume(c, m.mg) / w),
                                 static_cast<i32>(Volume(c, m.mb) / w)};
    }
    result.indices.resize(n);
    for (size_t i = 0; i < n; ++i)
        result.indices[i] = tag[cell_of[i]];
}
