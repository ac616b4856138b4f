#include "dxt/enhance.h"

#include "dxt/grid_system.h"
#include "dxt/rounding.h"

#include <stdexcept>

vector_grid_c DisplacementField(const byte_image_c& level, const enhance_params_c& p, bool second_method)
{
    const i32 w = level.width, h = level.height;
    const scalar_plane_c lum = Luminance(level, false);
    scalar_plane_c c1, c2;
    grid_system_c ax, ay;
    if (!p.weighted) {
        auto [cx, cy] = EdgeConductance(lum, p.k, p.size, p.thin);
        const i32 mode = second_method ? 1 : 0;
        BuildGridSystem(ax, cx, p.lambda, mode);
        BuildGridSystem(ay, cy, p.lambda, mode);
        c1 = std::move(cx);
        c2 = std::move(cy);
    } else {
        auto [tx, ty] = EdgeConductance(lum, p.k, p.size, true);
        auto [px, py] = EdgeConductance(lum, p.k, p.size, false);
        BuildGridSystemWeighted(ax, px, tx, p.lambda);
        BuildGridSystemWeighted(ay, py, ty, p.lambda);
        c1 = std::move(tx);
        c2 = std::move(ty);
    }
    scalar_plane_c x(w, h), y(w, h), bx(w, h), by(w, h);
    for (i32 j = 0; j < h; ++j)
        for (i32 i = 0; i < w; ++i) {
            x.At(i, j) = static_cast<f32>(i);
            y.At(i, j) = static_cast<f32>(j);
            const bool border = i == 0 || j == 0 || i == w - 1 || j == h - 1;
            bx.At(i, j) = border ? static_cast<f32>(i) : i * c1.At(i, j) * p.lambda * 4.0f;
            by.At(i, j) = border ? static_cast<f32>(j) : j * c2.At(i, j) * p.lambda * 4.0f;
        }
    f32 sweeps = 8.0f;
    if (!second_method)
        sweeps = static_cast<f32>(RoundHalfEven((p.k * 0.1f + 1.0f) * (p.weighted ? 10.0f : 8.0f)));
    SolveGridSystem(ax, x.data.data(), bx.data.data(), sweeps, true, true);
    SolveGridSystem(ay, y.data.data(), by.data.data(), sweeps, true, true);
    return VectorGridFromPlanes(w, h, x.data.data(), y.data.data());
}

byte_image_c EnhanceLevel(const byte_image_c& level, const enhance_params_c& p, bool second_method)
{
    if (level.planes.size() != 3)
        throw std::invalid_argument("The enhancement step takes three planes");
    const vector_grid_c field = DisplacementField(level, p, second_method);
    if (!second_method)
        return Warp(level, field, p.factor, false);
    const byte_image_c w0 = Warp(level, field, p.factor, false), w1 = Warp(level, field, p.factor, true);
    if (p.sharpen)
        return Sharpen(w1, w0, p.strength);
    return TransferDetail(level, w0, w1, p.strength);
}
