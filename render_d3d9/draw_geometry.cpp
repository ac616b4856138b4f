#include "render_d3d9/draw_geometry.h"
#include "engine/camera.h"
#include "engine/color.h"
#include "engine/geom_object.h"
#include "engine/light.h"
#include "engine/map.h"
#include "engine/material.h"
#include "render_d3d9/draw_stage.h"
#include "render_d3d9/renderer.h"

#include <algorithm>
#include <cmath>

namespace {

// Skinning takes one world matrix per bone after the object's own.
constexpr u64 max_skinning_bones = 7;

// u = 0.5x + 0.5, v = 0.5 - 0.5y: a camera-space direction to sphere-map
// coordinates.
mat4x3_c SphereMapMatrix()
{
    mat4x3_c matrix;
    const f32 rows[4][3] = {{0.5f, 0.0f, 0.0f}, {0.0f, -0.5f, 0.0f}, {0.0f, 0.0f, 0.0f}, {0.5f, 0.5f, 0.0f}};
    for (u32 row = 0; row < 4; ++row) {
        for (u32 column = 0; column < 3; ++column) {
            matrix.m[row][column] = rows[row][column];
        }
    }
    return matrix;
}

// Turns camera-space directions into the light's frame, then into the
// falloff map.
mat4x3_c LightStageTransform(const light_c& _light)
{
    mat3_c turn;
    turn.SetTranspose(_light.GetCameraMatrix().GetRotation());
    return mat4x3_c(turn) * SphereMapMatrix();
}

bool HasAlpha(const map_c* _map)
{
    const d3d_texture_c* texture = MapTexture(_map, 0.0f);
    return texture != nullptr && texture->HasAlpha();
}

// What the plain and the illuminated set-up share.
struct surface_basics_s {
    bool depthTest = false;
    const d3d_fog_s* fog = nullptr;
    const map_c* layer0 = nullptr;
    const map_c* layer1 = nullptr;
    bool alphaTest = false;
    bool blend = false;
    bool noDepthWrite = false;
    f32 keep = 1.0f; // 1 - the object's dissolve
    vec3_c specular;
    f32 reflectionStrength = 0.0f;
    bool modulatesColor = false; // layer 0 missing or multiplying
};

surface_basics_s SurfaceBasics(const material_c& _material, const geom_object_c& _object, bool _scene_depth_test,
                               const d3d_fog_s* _scene_fog, f32 _opacity_without_alpha)
{
    surface_basics_s basics;
    basics.depthTest = _scene_depth_test && (_object.GetFlags() & object_depth_test) != 0;
    basics.fog = (_object.GetFlags() & object_fog) != 0 ? _scene_fog : nullptr;
    basics.layer0 = _material.GetColorMap(0);
    basics.layer1 = basics.layer0 != nullptr ? _material.GetColorMap(1) : nullptr;
    const bool alpha_texture = HasAlpha(basics.layer0) || HasAlpha(basics.layer1);
    basics.alphaTest = alpha_texture && _material.alphaThreshold > 0.0f;
    const bool blend_by_texture = alpha_texture && (_material.flags & material_alpha_blending) != 0;
    basics.blend = _opacity_without_alpha < 1.0f || blend_by_texture;
    basics.noDepthWrite = (_material.flags & material_additive) != 0 || basics.blend;
    basics.keep = 1.0f - _object.dissolve;
    basics.specular = _material.specularColor * (_material.specularLevel * basics.keep);
    basics.reflectionStrength = basics.keep * _material.reflectivity;
    basics.modulatesColor = basics.layer0 == nullptr || basics.layer0->GetBlendMode() == 1;
    return basics;
}

d3d_stage_op_s LayerZeroOp(bool _lit_or_coloured)
{
    return _lit_or_coloured ? StageOp(D3DTOP_MODULATE, D3DTA_TEXTURE, D3DTA_CURRENT)
                            : StageOp(D3DTOP_SELECTARG1, D3DTA_TEXTURE);
}

// A second colour layer by its blend mode: 1 MODULATE, 2 MODULATE2X, 3 ADD,
// 4 BLENDCURRENTALPHA; false for the modes that add no stage.
bool LayerOneOp(u32 _blend_mode, d3d_stage_op_s& _op)
{
    static constexpr D3DTEXTUREOP ops[5] = {D3DTOP_DISABLE, D3DTOP_MODULATE, D3DTOP_MODULATE2X, D3DTOP_ADD,
                                            D3DTOP_BLENDCURRENTALPHA};
    if (_blend_mode < 1 || _blend_mode > 4) {
        return false;
    }
    _op = StageOp(ops[_blend_mode], D3DTA_TEXTURE, D3DTA_CURRENT);
    return true;
}

// Stages a chain may use: the device's stage and texture limits, and the
// stages the cache keeps.
u32 StageLimit(const d3d_state_cache_c& _cache)
{
    const D3DCAPS9& caps = _cache.GetCaps();
    return std::min({static_cast<u32>(caps.MaxTextureBlendStages), static_cast<u32>(caps.MaxSimultaneousTextures),
                     _cache.GetStageCount()});
}

// The render states the plain and the illuminated set-up send alike; the
// point size follows the camera's zoom with point scaling, else the
// viewport's height.
void SendSurfaceStates(d3d_state_cache_c& _cache, const surface_basics_s& _basics, const material_c& _material,
                       f32 _zoom, i32 _viewport_height)
{
    const u32 flags = _material.flags;
    const bool additive = (flags & material_additive) != 0;
    const bool point_scale = (flags & material_point_scale) != 0;
    _cache.SetCullMode((flags & material_double_sided) != 0 ? D3DCULL_NONE : D3DCULL_CCW);
    _cache.SetDepth(_basics.depthTest, !_basics.noDepthWrite, D3DCMP_LESS);
    _cache.SetAlphaTest(_basics.alphaTest, _material.alphaThreshold);
    _cache.SetAlphaBlend(_basics.noDepthWrite, _basics.blend ? D3DBLEND_SRCALPHA : D3DBLEND_ONE,
                         additive ? D3DBLEND_ONE : D3DBLEND_INVSRCALPHA);
    _cache.SetFog(_basics.fog, additive);
    _cache.SetPointSprites(_basics.layer0 != nullptr);
    _cache.SetPointSize(_material.pointSize * (point_scale ? _zoom * 0.5f : static_cast<f32>(_viewport_height)),
                        point_scale);
    _cache.SetColorVertex((flags & material_vertex_colors) != 0);
}

vec3_c Grey(f32 _value)
{
    return {_value, _value, _value};
}

vec3_c Modulate(const vec3_c& _a, const vec3_c& _b)
{
    return {_a.x * _b.x, _a.y * _b.y, _a.z * _b.z};
}

}

u32 SpecularMapIndex(f32 _glossiness)
{
    if (!(_glossiness > 0.0f)) {
        return 0;
    }
    const f32 index = std::trunc(std::log2(_glossiness) - 2.0f);
    return index <= 0.0f ? 0 : static_cast<u32>(std::min(index, 9.0f));
}

void d3d_renderer_c::BeginGeometry(geom_object_c* _object, const std::vector<bone_c*>& _bone_palette, bool _clip)
{
    if (!sceneSet || inGeometry || _object == nullptr || _object->GetPrimaryMesh() == nullptr) {
        return;
    }
    mesh_c* primary = _object->GetPrimaryMesh();
    auto* geometry = dynamic_cast<d3d_geometry_c*>(primary->GetGeometry());
    if (geometry == nullptr) {
        return;
    }
    // The heaviest other mesh is the tween target (a mesh's first value is
    // its tween weight); the first one wins a tie.
    const mesh_c* target = nullptr;
    d3d_geometry_c* target_geometry = nullptr;
    for (mesh_c* mesh = _object->GetMeshes().GetFirst(); mesh != nullptr; mesh = mesh->GetNext()) {
        auto* candidate = dynamic_cast<d3d_geometry_c*>(mesh->GetGeometry());
        if (mesh != primary && candidate != nullptr && mesh->firstValue > 0.0f &&
            (target == nullptr || mesh->firstValue > target->firstValue)) {
            target = mesh;
            target_geometry = candidate;
        }
    }

    cache.SetWorldMatrix(0, _object->GetWorldMatrix());
    const bool skinning = !_bone_palette.empty() && _bone_palette.size() <= max_skinning_bones;
    if (skinning) {
        for (u32 i = 0; i < _bone_palette.size(); ++i) {
            const bone_c* bone = _bone_palette[i];
            cache.SetWorldMatrix(i + 1, bone != nullptr ? bone->GetSkinningMatrix() : _object->GetWorldMatrix());
        }
    }
    const bool uniform = _object->IsUniformScale() && camera != nullptr && camera->IsUniformScale();
    cache.SetNormalizeNormals(!(uniform && target == nullptr && !skinning));
    cache.SetClipping(_clip);
    cache.SetStencil(d3d_stencil_s{});

    const vertex_format_c& format = geometry->GetFormat();
    d3d_second_stream_s second;
    if (target_geometry != nullptr) {
        second.position = target_geometry->GetFormat().hasPosition != 0;
        second.normal = target_geometry->GetFormat().hasNormal != 0;
    }
    cache.SetStreams(geometry->GetVertexBuffer(), geometry->GetStride(),
                     target_geometry != nullptr ? target_geometry->GetVertexBuffer() : nullptr,
                     target_geometry != nullptr ? target_geometry->GetStride() : 0, geometry->GetIndexBuffer());
    cache.SetupPass(0, format, second, skinning && format.matrixIndexCount > 0, skinning ? format.blendWeightCount : 0);
    cache.SetPixelShader(0);
    if (target != nullptr) {
        cache.SetTweenFactor(target->firstValue);
    }
    geometryObject = _object;
    geometryMesh = geometry;
    inGeometry = true;
}

void d3d_renderer_c::EndGeometry()
{
    geometryObject = nullptr;
    geometryMesh = nullptr;
    inGeometry = false;
}

void d3d_renderer_c::DrawGeometry(u32 _slot, material_c* _material, f32 _time)
{
    if (!inGeometry || _material == nullptr || _slot >= geometryMesh->GetGroups().size()) {
        return;
    }
    if (illuminationMap != nullptr) {
        SetupIlluminatedMaterial(*_material, _time);
    } else {
        SetupMaterial(*_material, _time);
    }
    d3d_texture_c* glow = glowBuffers[0].get();
    if (glow != nullptr && (_material->flags & material_glow) != 0) {
        cache.Targets().Setup(0, true, true, true, true, nullptr);
        cache.Targets().Setup(1, true, true, true, true, glow->GetSurface());
        cache.Targets().Reset(2);
    } else {
        UseBackBufferOnly(cache);
    }
    geometryMesh->DrawGroup(_slot, 0, geometryMesh->GetGroups()[_slot].primitiveCount);
}

void d3d_renderer_c::SetupMaterial(const material_c& _material, f32 _time)
{
    const u32 material_flags = _material.flags;
    const f32 opacity = (1.0f - _material.transparency) * sceneOpacity * (1.0f - geometryObject->dissolve);
    const surface_basics_s basics = SurfaceBasics(_material, *geometryObject, sceneDepthTest, GetFog(), opacity);
    const bool lit = (material_flags & material_lighting) != 0;
    const bool lit_or_coloured = (material_flags & (material_lighting | material_vertex_colors)) != 0;
    const bool smooth = lit_or_coloured && (material_flags & material_smooth) != 0;
    const bool specular_on = lit && _material.specularLevel > 0.0f;
    const D3DCAPS9& caps = cache.GetCaps();
    const bool multiply_add = (caps.TextureOpCaps & D3DTEXOPCAPS_MULTIPLYADD) != 0;
    const bool bump_env_map = (caps.TextureOpCaps & D3DTEXOPCAPS_BUMPENVMAP) != 0;

    d3d_surface_stages_s surface;
    surface.litOrColoured = lit_or_coloured;
    surface.time = _time;
    surface.layer0 = basics.layer0;
    surface.layer1 = basics.layer1;
    surface.glossiness = _material.glossiness;
    surface.reflectionStrength = basics.reflectionStrength;
    surface.bumpAmplitude = _material.bumpAmplitude;
    if (_material.reflectivity > 0.0f) {
        surface.reflectionMap = _material.GetReflectionMap() != nullptr ? _material.GetReflectionMap() : reflectionMap;
    }
    surface.bumpMap = _material.bumpAmplitude != 0.0f ? _material.GetBumpMap() : nullptr;
    surface.specularMapMode = specular_on && smooth;
    surface.bumpMode = surface.bumpMap != nullptr && surface.reflectionMap == nullptr && !surface.specularMapMode;

    vec3_c emissive = Grey(_material.luminosity * opacity);
    vec3_c diffuse = Grey(_material.diffuse * opacity);
    const vec3_c& specular = basics.specular;
    const f32 power = surface.specularMapMode ? 2.0f : _material.glossiness;

    if (diffuseLights.empty()) {
        surface.bumpMode = false;
    }
    surface.specularMapMode = surface.specularMapMode && !specularLights.empty() && multiply_add &&
                              _material.glossiness > 0.0f &&
                              (specular.x >= 0.1f || specular.y >= 0.1f || specular.z >= 0.1f);
    if (!multiply_add || !(surface.reflectionStrength >= 0.1f)) {
        surface.reflectionMap = nullptr;
    }
    if (!((surface.bumpMode || surface.specularMapMode || surface.reflectionMap != nullptr) && bump_env_map &&
          std::fabs(_material.bumpAmplitude) >= 0.1f)) {
        surface.bumpMap = nullptr;
    }
    if (basics.modulatesColor) {
        emissive = Modulate(emissive, _material.color);
        diffuse = Modulate(diffuse, _material.color);
    }
    if (surface.bumpMode) {
        emissive = emissive + diffuse;
        diffuse = Grey(0.0f);
    }
    SendSurfaceStates(cache, basics, _material, camera->zoom, viewportHeight);
    cache.SetGouraud(smooth);
    cache.SetSpecular(specular_on && !surface.specularMapMode);
    cache.Lights().SetLighting(lit);
    if (lit) {
        cache.SetMaterial(diffuse, opacity, specular, power, emissive);
    }
    SetupTextureStages(surface);
}

void d3d_renderer_c::SetupTextureStages(const d3d_surface_stages_s& _surface)
{
    const D3DCAPS9& caps = cache.GetCaps();
    const u32 limit = StageLimit(cache);
    const bool multiply_add = (caps.TextureOpCaps & D3DTEXOPCAPS_MULTIPLYADD) != 0;
    const bool bump_env_map = (caps.TextureOpCaps & D3DTEXOPCAPS_BUMPENVMAP) != 0;
    // Every stage of this chain holds a texture.
    u32 stage = 0;
    auto room = [&](u32 _stages) { return stage + _stages <= limit; };
    auto add_map = [&](const map_c* _map, const d3d_stage_op_s& _op) {
        if (_map != nullptr && room(1) && SetMapStage(cache, stage, _op, _op, *_map, _surface.time)) {
            ++stage;
        }
    };

    add_map(_surface.layer0, LayerZeroOp(_surface.litOrColoured));
    d3d_stage_op_s layer1_op;
    if (_surface.layer1 != nullptr && LayerOneOp(_surface.layer1->GetBlendMode(), layer1_op)) {
        add_map(_surface.layer1, layer1_op);
    }

    bool bump_added = false;
    if (_surface.bumpMap != nullptr && bump_env_map && room(2)) {
        const d3d_texture_c* texture = MapTexture(_surface.bumpMap, _surface.time);
        if (texture != nullptr) {
            SetTextureStage(
                cache, stage, StageOp(D3DTOP_BUMPENVMAP, D3DTA_TEXTURE), StageOp(D3DTOP_SELECTARG1, D3DTA_CURRENT),
                *texture, static_cast<i32>(_surface.bumpMap->GetTexCoordSet()), _surface.bumpMap->GetTransform(),
                _surface.bumpMap->GetFiltering() != 0, _surface.bumpMap->GetRepeat() != 0, _surface.bumpAmplitude);
            ++stage;
            bump_added = true;
        }
    }

    bool reflection_added = false;
    if (_surface.reflectionMap != nullptr && multiply_add && room(1)) {
        const d3d_texture_c* texture = MapTexture(_surface.reflectionMap, _surface.time);
        if (texture != nullptr) {
            const mat4x3_c transform = texture->IsCubic() ? mat4x3_c(camera->GetOrientation()) : SphereMapMatrix();
            const f32 strength = _surface.reflectionStrength;
            d3d_stage_op_s color = StageOp(D3DTOP_ADD, D3DTA_TEXTURE, D3DTA_CURRENT);
            if (strength < 1.0f) {
                cache.SetTextureFactor(ColorToBgra(strength, strength, strength));
                color = StageOp(D3DTOP_MULTIPLYADD, D3DTA_TEXTURE, D3DTA_TFACTOR, D3DTA_CURRENT);
            }
            SetTextureStage(cache, stage, color, StageOp(D3DTOP_SELECTARG1, D3DTA_CURRENT), *texture,
                            static_cast<i32>(D3DTSS_TCI_CAMERASPACENORMAL), &transform,
                            _surface.reflectionMap->GetFiltering() != 0, _surface.reflectionMap->GetRepeat() != 0);
            ++stage;
            reflection_added = true;
        }
    }

    // A bump stage allows one light of each kind, and none beside a
    // reflection.
    const u64 light_limit = !bump_added ? ~0ull : (reflection_added ? 0 : 1);
    auto add_lights = [&](const std::vector<light_c*>& _lights, const d3d_texture_c* _texture, DWORD _coords,
                          const d3d_stage_op_s& _color) {
        u64 added = 0;
        for (const light_c* light : _lights) {
            if (added >= light_limit || _texture == nullptr || !room(1)) {
                return;
            }
            const mat4x3_c transform = LightStageTransform(*light);
            SetTextureStage(cache, stage, _color, StageOp(D3DTOP_SELECTARG1, D3DTA_CURRENT), *_texture,
                            static_cast<i32>(_coords), &transform, true, false);
            ++stage;
            ++added;
        }
    };
    if (_surface.litOrColoured && _surface.bumpMode) {
        add_lights(diffuseLights, diffuseMap.get(), D3DTSS_TCI_CAMERASPACENORMAL,
                   StageOp(D3DTOP_MODULATE, D3DTA_TEXTURE, D3DTA_CURRENT));
    }
    if (_surface.litOrColoured && _surface.specularMapMode && multiply_add) {
        add_lights(specularLights, specularMaps[SpecularMapIndex(_surface.glossiness)].get(),
                   D3DTSS_TCI_CAMERASPACEREFLECTIONVECTOR,
                   StageOp(D3DTOP_MULTIPLYADD, D3DTA_TEXTURE, D3DTA_SPECULAR, D3DTA_CURRENT));
    }
    DisableStages(cache, stage);
}

void d3d_renderer_c::SetupIlluminatedMaterial(const material_c& _material, f32 _time)
{
    const u32 material_flags = _material.flags;
    const f32 opacity = (1.0f - _material.transparency) * (1.0f - geometryObject->dissolve);
    const surface_basics_s basics = SurfaceBasics(_material, *geometryObject, sceneDepthTest, GetFog(), opacity);
    vec3_c diffuse = Grey(_material.diffuse * opacity);
    if (basics.modulatesColor) {
        diffuse = Modulate(diffuse, _material.color);
    }
    SendSurfaceStates(cache, basics, _material, camera->zoom, viewportHeight);
    cache.SetGouraud((material_flags & material_vertex_colors) != 0);
    cache.SetSpecular(false);
    cache.Lights().SetLighting(false);

    d3d_surface_stages_s surface;
    surface.litOrColoured = (material_flags & material_lighting) != 0;
    surface.time = _time;
    surface.layer0 = basics.layer0;
    surface.layer1 = basics.layer1;
    surface.reflectionStrength = basics.reflectionStrength;
    SetupIlluminatedStages(surface, diffuse, opacity, basics.specular);
}

void d3d_renderer_c::SetupIlluminatedStages(const d3d_surface_stages_s& _surface, const vec3_c& _diffuse, f32 _opacity,
                                            const vec3_c& _specular)
{
    const u32 limit = StageLimit(cache);
    u32 stage = 0;
    auto room = [&] { return stage < limit; };
    const bool lit = _surface.litOrColoured;
    const mat4x3_c camera_turn(camera->GetOrientation());

    const d3d_texture_c* illumination = MapTexture(illuminationMap, _surface.time);
    if (lit && illumination != nullptr && illumination->IsCubic() && room()) {
        cache.SetTextureFactor(ColorAlphaToBgra(_diffuse.x, _diffuse.y, _diffuse.z, _opacity));
        const d3d_stage_op_s op = StageOp(D3DTOP_MODULATE, D3DTA_TEXTURE, D3DTA_TFACTOR);
        SetTextureStage(cache, stage, op, op, *illumination, static_cast<i32>(D3DTSS_TCI_CAMERASPACENORMAL),
                        &camera_turn, illuminationMap->GetFiltering() != 0, illuminationMap->GetRepeat() != 0);
        ++stage;
    }
    const d3d_stage_op_s layer0_op = LayerZeroOp(lit);
    if (_surface.layer0 != nullptr && room() &&
        SetMapStage(cache, stage, layer0_op, layer0_op, *_surface.layer0, _surface.time)) {
        ++stage;
    }
    d3d_stage_op_s layer1_op;
    if (_surface.layer1 != nullptr && room() && LayerOneOp(_surface.layer1->GetBlendMode(), layer1_op) &&
        SetMapStage(cache, stage, layer1_op, layer1_op, *_surface.layer1, _surface.time)) {
        ++stage;
    }
    const f32 strength = _surface.reflectionStrength;
    const d3d_texture_c* reflection = MapTexture(reflectionMap, _surface.time);
    if (lit && reflection != nullptr && reflection->IsCubic() && room() &&
        (_specular.x + strength >= 0.5f || _specular.y + strength >= 0.5f || _specular.z + strength >= 0.5f)) {
        const d3d_stage_op_s op = StageOp(D3DTOP_ADD, D3DTA_TEXTURE, D3DTA_CURRENT);
        SetTextureStage(cache, stage, op, op, *reflection, static_cast<i32>(D3DTSS_TCI_CAMERASPACEREFLECTIONVECTOR),
                        &camera_turn, reflectionMap->GetFiltering() != 0, reflectionMap->GetRepeat() != 0);
        ++stage;
    }
    DisableStages(cache, stage);
}
