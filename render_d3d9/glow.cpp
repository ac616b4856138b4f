#include "render_d3d9/glow.h"
#include "foundation/vector_math.h"
#include "render_d3d9/draw_common.h"
#include "render_d3d9/renderer.h"

#include <cmath>

namespace {

constexpr u32 glow_entry = 1;
constexpr f32 glow_falloff = 0.055555f;

}

std::array<f32, d3d_glow_taps> GlowWeights(f32 _strength)
{
    std::array<f32, d3d_glow_taps> weights;
    f32 sum = 0.0f;
    for (u32 i = 0; i < d3d_glow_taps; ++i) {
        weights[i] = std::exp(-glow_falloff * static_cast<f32>(i * i));
        sum += i == 0 ? weights[i] : 2.0f * weights[i];
    }
    for (f32& weight : weights) {
        weight = weight * _strength / sum;
    }
    return weights;
}

d3d_screen_rect_s GlowTargetRect(const d3d_screen_rect_s& _viewport)
{
    const i32 divisor = static_cast<i32>(d3d_glow_divisor);
    return {_viewport.x / divisor, _viewport.y / divisor, _viewport.width / divisor, _viewport.height / divisor};
}

void d3d_renderer_c::ApplyGlow(f32 _strength)
{
    d3d_texture_c* buffer = glowBuffers[0].get();
    d3d_texture_c* small = glowBuffers[1].get();
    if (buffer == nullptr || small == nullptr || !frame.InScene() || sceneSet || !(_strength > 0.0f) ||
        !std::isfinite(_strength) || !cache.HasPixelShader(glow_entry)) {
        return;
    }
    const d3d_screen_rect_s full{viewportX, viewportY, viewportWidth, viewportHeight};
    const d3d_screen_rect_s target = GlowTargetRect(full);
    // A viewport under eight pixels has no texel to blur into.
    if (target.width <= 0 || target.height <= 0) {
        return;
    }
    const f32 du = 1.0f / static_cast<f32>(target.width);
    const f32 dv = 1.0f / static_cast<f32>(target.height);

    SetPlainStates(cache, false, false);
    cache.SetFillMode(D3DFILL_SOLID);
    cache.SetDepth(false, false, D3DCMP_LESS);
    cache.SetStencil(d3d_stencil_s{});
    cache.SetAlphaTest(false, 0.0f);
    cache.SetFog(nullptr, false);
    vertex_format_c format;
    format.texCoordSetCount = 4;
    SetupMemoryPass(cache, format, glow_entry);
    const std::array<f32, d3d_glow_taps> weights = GlowWeights(_strength);
    vec3_c weight_constants[d3d_glow_taps];
    for (u32 i = 0; i < d3d_glow_taps; ++i) {
        weight_constants[i] = vec3_c(weights[i], weights[i], weights[i]);
    }
    cache.SetPixelConstants(glow_entry, "weight", weight_constants, d3d_glow_taps);

    // Across into the small target unfiltered, then down onto the image,
    // filtered and added.
    const struct {
        d3d_texture_c* target;
        d3d_screen_rect_s rect;
        d3d_texture_c* source;
        bool second;
    } passes[2] = {{small, target, buffer, false}, {nullptr, full, small, true}};
    const d3d_stage_op_s off = d3d_stage_op_s{D3DTOP_DISABLE};
    for (const auto& pass : passes) {
        cache.Targets().Setup(0, true, true, true, true, pass.target != nullptr ? pass.target->GetSurface() : nullptr);
        cache.Targets().Reset(1);
        cache.SetViewport(pass.rect.x, pass.rect.y, pass.rect.width, pass.rect.height);
        cache.SetAlphaBlend(pass.second, D3DBLEND_ONE, pass.second ? D3DBLEND_ONE : D3DBLEND_ZERO);
        cache.SetStage(0, off, off, pass.source->GetD3DTexture(), 0, nullptr, 0.0f);
        cache.SetSamplerByName(glow_entry, "image", false, pass.second, false);
        DisableStages(cache, 1);
        f32 deltas[d3d_glow_taps - 1][2];
        for (u32 k = 1; k < d3d_glow_taps; ++k) {
            deltas[k - 1][0] = pass.second ? 0.0f : static_cast<f32>(k) * du;
            deltas[k - 1][1] = pass.second ? static_cast<f32>(k) * dv : 0.0f;
        }
        cache.SetPixelConstants(glow_entry, "delta", deltas, d3d_glow_taps - 1);
        DrawScreenQuad(device, GlowScreenQuad(pass.rect, du, dv));
    }
}
