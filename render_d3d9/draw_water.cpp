#include "render_d3d9/draw_water.h"
#include "engine/camera.h"
#include "engine/map.h"
#include "engine/mesh.h"
#include "engine/water.h"
#include "render_d3d9/draw_stage.h"
#include "render_d3d9/renderer.h"

#include <cmath>

namespace {

constexpr u32 water_row = 3;
constexpr f32 two_pi = 6.283185307179586f;

// Positive finite values pass; anything else gives _none.
f32 Positive(f32 _value, f32 _none)
{
    return _value > 0.0f && std::isfinite(_value) ? _value : _none;
}

}

d3d_wave_constants_s WaveConstants(const f32 _amplitudes[3], const f32 _lengths[3], const vec3_c _velocities[3],
                                   f32 _time)
{
    d3d_wave_constants_s waves;
    f32* const direction_x[3] = {&waves.directionX.x, &waves.directionX.y, &waves.directionX.z};
    f32* const direction_z[3] = {&waves.directionZ.x, &waves.directionZ.y, &waves.directionZ.z};
    f32* const offset[3] = {&waves.offset.x, &waves.offset.y, &waves.offset.z};
    f32* const amplitude[3] = {&waves.amplitude.x, &waves.amplitude.y, &waves.amplitude.z};
    f32* const frequency[3] = {&waves.frequency.x, &waves.frequency.y, &waves.frequency.z};
    for (u32 i = 0; i < 3; ++i) {
        // A still wave (or one whose speed is not a number) keeps direction
        // and offset 0 instead of dividing by its zero length.
        const f32 speed = Positive(_velocities[i].Length(), 0.0f);
        *direction_x[i] = speed > 0.0f ? _velocities[i].x / speed : 0.0f;
        *direction_z[i] = speed > 0.0f ? _velocities[i].z / speed : 0.0f;
        *offset[i] = speed * _time;
        *amplitude[i] = _amplitudes[i];
        *frequency[i] = two_pi / Positive(_lengths[i], INFINITY);
    }
    return waves;
}

void d3d_renderer_c::DrawWater(water_c* _water, f32 _local_time, bool _clip)
{
    if (!sceneSet || inGeometry || _water == nullptr || _water->GetMesh() == nullptr) {
        return;
    }
    auto* geometry = dynamic_cast<d3d_geometry_c*>(_water->GetMesh()->GetGeometry());
    const d3d_texture_c* reflection = MapTexture(_water->GetReflectionMap(), _local_time);
    if (geometry == nullptr || reflection == nullptr || !reflection->IsCubic()) {
        return;
    }
    const u32 water_flags = _water->GetFlags();
    UseBackBufferOnly(cache);
    cache.SetWorldMatrix(0, _water->GetWorldMatrix());
    cache.SetNormalizeNormals(false);
    cache.SetCullMode(D3DCULL_CCW);
    cache.SetClipping(_clip);
    cache.SetDepth(sceneDepthTest && (water_flags & object_depth_test) != 0, false, D3DCMP_LESS);
    cache.SetStencil(d3d_stencil_s{});
    cache.SetAlphaTest(false, 0.0f);
    cache.SetAlphaBlend(true, D3DBLEND_ONE, D3DBLEND_INVSRCALPHA);
    SetUnlitShading(cache, true, (water_flags & object_fog) != 0 ? GetFog() : nullptr, false);

    const map_c& reflection_map = *_water->GetReflectionMap();
    SetTextureStage(cache, 0, StageOp(D3DTOP_MODULATE, D3DTA_TEXTURE, D3DTA_DIFFUSE),
                    StageOp(D3DTOP_SELECTARG1, D3DTA_DIFFUSE), *reflection, 0, nullptr,
                    reflection_map.GetFiltering() != 0, reflection_map.GetRepeat() != 0);
    u32 stages = 1;
    const D3DCAPS9& caps = cache.GetCaps();
    const d3d_texture_c* caustic = MapTexture(_water->GetCausticMap(), _local_time);
    if (caustic != nullptr && (caps.TextureOpCaps & D3DTEXOPCAPS_MULTIPLYADD) != 0 && caps.MaxTextureBlendStages >= 2 &&
        caps.MaxSimultaneousTextures >= 2 && _water->causticIntensity > 0.0f && _water->causticScale > 0.0f) {
        const map_c& caustic_map = *_water->GetCausticMap();
        SetTextureStage(cache, 1, StageOp(D3DTOP_MULTIPLYADD, D3DTA_TEXTURE, D3DTA_SPECULAR, D3DTA_CURRENT),
                        StageOp(D3DTOP_SELECTARG1, D3DTA_CURRENT), *caustic, 1, nullptr,
                        caustic_map.GetFiltering() != 0, caustic_map.GetRepeat() != 0);
        stages = 2;
    }
    DisableStages(cache, stages);

    cache.SetStreams(geometry->GetVertexBuffer(), geometry->GetStride(), nullptr, 0, geometry->GetIndexBuffer());
    cache.SetPixelShader(0);
    cache.SetupPass(water_row, geometry->GetFormat(), d3d_second_stream_s{}, false, 0);

    const mat4_c transformation = WidenToMat4(_water->GetWorldMatrix()) * camera->GetProjection();
    cache.SetVertexConstant(water_row, "transformation", transformation);
    cache.SetVertexConstant(water_row, "orientation", WidenToMat4(mat4x3_c(_water->GetOrientation())));
    vec3_c velocities[water_wave_count];
    for (u32 i = 0; i < water_wave_count; ++i) {
        velocities[i] = _water->GetWaveVelocity(i);
    }
    const d3d_wave_constants_s waves =
        WaveConstants(_water->waveAmplitudes, _water->waveLengths, velocities, _local_time);
    cache.SetVertexConstant(water_row, "waves_dir_x", waves.directionX);
    cache.SetVertexConstant(water_row, "waves_dir_z", waves.directionZ);
    cache.SetVertexConstant(water_row, "waves_offset", waves.offset);
    cache.SetVertexConstant(water_row, "waves_amp", waves.amplitude);
    cache.SetVertexConstant(water_row, "waves_freq", waves.frequency);
    cache.SetVertexConstant(water_row, "camera_pos", camera->GetMatrix().GetPosition() * _water->GetInverseMatrix());
    cache.SetVertexConstant(water_row, "inv_caustic_scale", 1.0f / Positive(_water->causticScale, INFINITY));
    cache.SetVertexConstant(water_row, "caustic_intensity", _water->causticIntensity);

    if (!geometry->GetGroups().empty()) {
        geometry->DrawGroup(0, 0, geometry->GetGroups()[0].primitiveCount);
    }
}
