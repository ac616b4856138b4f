#include "render_d3d9/draw_effects.h"
#include "engine/camera.h"
#include "engine/emitter.h"
#include "engine/trail.h"
#include "render_d3d9/draw_common.h"
#include "render_d3d9/geometry.h"
#include "render_d3d9/renderer.h"

namespace {

constexpr u32 particle_row = 1;
constexpr u32 trail_row = 2;

void Put(d3d_effect_constants_s& _out, f32 _x, f32 _y, f32 _z, f32 _w)
{
    f32* value = _out.values[_out.count++];
    value[0] = _x;
    value[1] = _y;
    value[2] = _z;
    value[3] = _w;
}

bool Finite(const d3d_effect_constants_s& _constants)
{
    return AllFinite(&_constants.values[0][0], _constants.count * 4);
}

d3d_geometry_c* DeviceGeometry(const effect_geometry_c* _geometry)
{
    if (_geometry == nullptr) {
        return nullptr;
    }
    auto* geometry = dynamic_cast<d3d_geometry_c*>(_geometry->GetGeometry());
    if (geometry == nullptr || geometry->GetGroups().empty() || geometry->GetGroups()[0].primitiveCount == 0) {
        return nullptr;
    }
    return geometry;
}

}

bool ParticleConstants(const emitter_c& _emitter, f32 _time, f32 _kx, f32 _ky, f32 _opacity,
                       d3d_effect_constants_s& _out)
{
    _out = {};
    const f32 s0 = _emitter.GetBirthSize();
    const f32 ds = _emitter.GetDeathSize() - s0;
    const vec3_c& g = _emitter.GetGravity();
    const vec3_c& c0 = _emitter.GetBirthColor();
    const vec3_c& c1 = _emitter.GetDeathColor();
    Put(_out, _time, 0.0f, 0.0f, 0.0f);
    Put(_out, 0.5f * g.x, 0.5f * g.y, 0.5f * g.z, 1.0f);
    Put(_out, s0 / _kx, -s0 / _ky, 0.0f, 1.0f);
    Put(_out, ds / _kx, -ds / _ky, 0.0f, 1.0f);
    Put(_out, c0.x, c0.y, c0.z, _opacity);
    Put(_out, c1.x - c0.x, c1.y - c0.y, c1.z - c0.z, -_opacity);
    return Finite(_out);
}

bool TrailConstants(const trail_c& _trail, f32 _time, f32 _opacity, d3d_effect_constants_s& _out)
{
    _out = {};
    const f32 lifetime = _trail.GetLifetime();
    vec3_c first;
    vec3_c second;
    _trail.GetVectors(first, second);
    Put(_out, _opacity, _time, lifetime, 1.0f / lifetime);
    Put(_out, first.x, first.y, first.z, 1.0f);
    Put(_out, second.x, second.y, second.z, 1.0f);
    return Finite(_out);
}

void d3d_renderer_c::DrawParticles(emitter_c* _emitter, f32 _time, bool _clip)
{
    if (_emitter == nullptr || !sceneSet || inGeometry || camera == nullptr) {
        return;
    }
    d3d_geometry_c* geometry = DeviceGeometry(_emitter->GetParticles());
    d3d_effect_constants_s constants;
    if (geometry == nullptr || !ParticleConstants(*_emitter, _time, camera->GetHorizontalExtent(),
                                                  camera->GetVerticalExtent(), EffectOpacity(*_emitter), constants)) {
        return;
    }
    DrawEffect(*_emitter, _emitter->GetMap(), *geometry, particle_row, constants, _time, _clip);
}

void d3d_renderer_c::DrawTrail(trail_c* _trail, f32 _time, bool _clip)
{
    if (_trail == nullptr || !sceneSet || inGeometry || camera == nullptr) {
        return;
    }
    d3d_geometry_c* geometry = DeviceGeometry(_trail->GetRibbon());
    d3d_effect_constants_s constants;
    if (geometry == nullptr || !TrailConstants(*_trail, _time, EffectOpacity(*_trail), constants)) {
        return;
    }
    DrawEffect(*_trail, _trail->GetMap(), *geometry, trail_row, constants, _time, _clip);
}

f32 d3d_renderer_c::EffectOpacity(const null_object_c& _entity) const
{
    return (1.0f - _entity.dissolve) * sceneOpacity;
}

void d3d_renderer_c::DrawEffect(const null_object_c& _entity, const map_c* _map, const d3d_geometry_c& _geometry,
                                u32 _row, const d3d_effect_constants_s& _constants, f32 _time, bool _clip)
{
    const mat4_c clip = WidenToMat4(camera->GetInverseMatrix()) * camera->GetProjection();
    if (!AllFinite(&clip.m[0][0], 16)) {
        return;
    }
    const u32 entity_flags = _entity.GetFlags();
    const bool additive = (entity_flags & emitter_additive) != 0;
    UseBackBufferOnly(cache);
    SetPlainStates(cache, _clip, false);
    cache.SetGouraud(_row == trail_row);
    cache.SetDepth(sceneDepthTest && (entity_flags & object_depth_test) != 0, false, D3DCMP_LESS);
    cache.SetStencil(d3d_stencil_s{});
    cache.SetAlphaTest(true, 0.01f);
    cache.SetAlphaBlend(true, D3DBLEND_SRCALPHA, additive ? D3DBLEND_ONE : D3DBLEND_INVSRCALPHA);
    cache.SetFog((entity_flags & object_fog) != 0 ? GetFog() : nullptr, additive);
    cache.SetPixelShader(0);

    u32 next_stage = 0;
    if (const d3d_texture_c* texture = MapTexture(_map, _time)) {
        const d3d_stage_op_s modulate = StageOp(D3DTOP_MODULATE, D3DTA_TEXTURE, D3DTA_CURRENT);
        SetEffectStage(cache, 0, modulate, modulate, *_map, *texture);
        next_stage = 1;
    }
    DisableStages(cache, next_stage);

    cache.SetStreams(_geometry.GetVertexBuffer(), _geometry.GetStride(), nullptr, 0, _geometry.GetIndexBuffer());
    cache.SetupPass(_row, _geometry.GetFormat(), {}, false, 0);
    cache.SetVertexConstant(0, clip);
    for (u32 i = 0; i < _constants.count; ++i) {
        const f32* value = _constants.values[i];
        cache.SetVertexConstant(d3d_effect_first_register + i, vec3_c(value[0], value[1], value[2]), value[3]);
    }
    _geometry.DrawGroup(0, 0, _geometry.GetGroups()[0].primitiveCount);
}
