#include "engine/testing/recording_renderer.h"

#include "engine/font_handle.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <stdexcept>

void recording_geometry_c::Update(const geometry_def_c& _definition)
{
    ++updateCount;
    vertexCount = _definition.GetVertexCount();
    primitiveCount = _definition.GetPrimitiveCount(primitive_any);
    stride = _definition.format.GetStride();
    indexCount = 0;
    for (const auto& set : _definition.primitiveSets)
        indexCount += static_cast<u32>(set->indices.size());
}

u32 recording_geometry_c::GetSize() const
{
    return vertexCount * stride + indexCount * 4;
}

void recording_texture_c::TakeOver(texture_c* _other)
{
    const auto* other = static_cast<const recording_texture_c*>(_other);
    width = other->width;
    height = other->height;
    levels = other->levels;
    cubic = other->cubic;
    size = other->size;
    format = other->format;
    ++takeOverCount;
}

void recording_font_c::MeasureText(const char* _text, i32& _width, i32& _height)
{
    _width = static_cast<i32>(std::strlen(_text)) * characterWidth;
    _height = lineHeight;
}

void recording_font_c::MeasureTextB(const char* _text, i32& _width, i32& _height)
{
    MeasureText(_text, _width, _height);
    _width *= 2;
}

recording_renderer_c::recording_renderer_c(i32 _width, i32 _height)
{
    SetResolution(_width, _height);
}

recording_renderer_c::~recording_renderer_c() = default;

std::vector<std::string> recording_renderer_c::CallNames() const
{
    std::vector<std::string> names;
    for (const recorded_call_c& call : calls)
        names.push_back(call.name);
    return names;
}

const recorded_call_c* recording_renderer_c::FindCall(const std::string& _name, u32 _nth) const
{
    for (const recorded_call_c& call : calls)
        if (call.name == _name && _nth-- == 0)
            return &call;
    return nullptr;
}

u32 recording_renderer_c::CountCalls(const std::string& _name) const
{
    return static_cast<u32>(
        std::count_if(calls.begin(), calls.end(), [&](const recorded_call_c& call) { return call.name == _name; }));
}

recorded_call_c& recording_renderer_c::Record(const char* _name, std::initializer_list<const void*> _objects,
                                              std::initializer_list<double> _numbers)
{
    recorded_call_c& call = calls.emplace_back();
    call.name = _name;
    call.objects = _objects;
    call.numbers = _numbers;
    return call;
}

geometry_c* recording_renderer_c::CreateGeometry(const char* _key, const geometry_def_c& _definition)
{
    if (!_definition.IsIntegral())
        throw std::runtime_error("Non integral geometry!");
    auto geometry = std::make_unique<recording_geometry_c>(_key, _definition);
    geometry->definition.WeldVertices();
    const geometry_def_c& welded = geometry->definition;
    geometry->softwareProcessing =
        welded.needsVertexShader || welded.tweening || welded.blendMatrixCount > maxBlendMatrices;
    if (welded.GetPrimitiveCount(primitive_any) > maxPrimitiveCount)
        throw std::runtime_error("Maximum primitive count exceeded!");
    if (welded.GetVertexCount() > maxVertexCount)
        throw std::runtime_error("Maximum vertex count exceeded!");
    geometry->Update(welded);
    ++createdGeometries;
    return geometry.release();
}

texture_c* recording_renderer_c::CreateTexture(const char* _key, const texture_def_c& _definition)
{
    auto texture = std::make_unique<recording_texture_c>(_key, _definition);
    texture_image_c& image = texture->definition.image;
    texture->definition.LoadImage();
    if (!image.IsValid())
        throw std::runtime_error("Invalid texture image!");
    if (rejectedFormats.count(image.GetFormat()))
        throw std::runtime_error("Invalid texture format!");
    if (failTextureCreation)
        throw std::runtime_error(image.IsCubic() ? "Could not create cube texture!" : "Could not create texture!");
    texture->width = std::min<u32>(static_cast<u32>(image.GetWidth()), maxTextureSide);
    texture->height = std::min<u32>(static_cast<u32>(image.GetHeight()), maxTextureSide);
    texture->levels = static_cast<u32>(image.GetLevelCount());
    texture->cubic = image.IsCubic();
    texture->size = static_cast<u32>(image.GetSize());
    texture->format = image.GetFormat();
    ++createdTextures;
    return texture.release();
}

font_c* recording_renderer_c::CreateFont(const char* _key, const font_def_c& _definition)
{
    if (!(_definition.size > 0.0f))
        throw std::runtime_error("Invalid font definition!");
    ++createdFonts;
    return new recording_font_c(_key, _definition, fontCharacterWidth, fontLineHeight);
}

void recording_renderer_c::SetOutputSize(i32 _width, i32 _height)
{
    Record("SetOutputSize", {}, {static_cast<double>(_width), static_cast<double>(_height)});
}

i32 recording_renderer_c::SetViewportRect(i32 _x, i32 _y, i32 _width, i32 _height)
{
    Record(
        "SetViewportRect", {},
        {static_cast<double>(_x), static_cast<double>(_y), static_cast<double>(_width), static_cast<double>(_height)});
    return 0;
}

void recording_renderer_c::SetGammaRamp(const gamma_ramp_t& _ramp)
{
    Record("SetGammaRamp", {}, {});
    gammaRamps.push_back(_ramp);
}

void recording_renderer_c::Present()
{
    Record("Present", {}, {});
}

void recording_renderer_c::Clear(const vec3_c& _color, u32 _stencil_value, bool _target, bool _depth, bool _stencil,
                                 bool _secondary)
{
    Record("Clear", {},
           {_color.x, _color.y, _color.z, static_cast<double>(_stencil_value), _target ? 1.0 : 0.0, _depth ? 1.0 : 0.0,
            _stencil ? 1.0 : 0.0, _secondary ? 1.0 : 0.0});
}

void recording_renderer_c::CaptureScreen(image_c& _image)
{
    Record("CaptureScreen", {&_image}, {});
}

void recording_renderer_c::BeginScene()
{
    Record("BeginScene", {}, {});
}

void recording_renderer_c::EndScene()
{
    Record("EndScene", {}, {});
}

void recording_renderer_c::SetScene(scene_c* _scene, camera_c* _camera, const std::vector<light_c*>& _lights,
                                    light_c* _shadow_light)
{
    recorded_call_c& call = Record("SetScene", {_scene, _camera, _shadow_light}, {});
    for (light_c* light : _lights)
        call.objects.push_back(light);
}

void recording_renderer_c::ResetRenderLists()
{
    Record("ResetRenderLists", {}, {});
}

void recording_renderer_c::BeginGeometry(geom_object_c* _object, const std::vector<bone_c*>& _bone_palette, bool _clip)
{
    recorded_call_c& call = Record("BeginGeometry", {_object}, {_clip ? 1.0 : 0.0});
    for (bone_c* bone : _bone_palette)
        call.objects.push_back(bone);
}

void recording_renderer_c::EndGeometry()
{
    Record("EndGeometry", {}, {});
}

void recording_renderer_c::DrawForest(forest_c* _forest, bool _clip)
{
    Record("DrawForest", {_forest}, {_clip ? 1.0 : 0.0});
}

void recording_renderer_c::DrawWater(water_c* _water, f32 _local_time, bool _clip)
{
    Record("DrawWater", {_water}, {_local_time, _clip ? 1.0 : 0.0});
}

void recording_renderer_c::DrawTerrain(terrain_c* _terrain, bool _clip)
{
    Record("DrawTerrain", {_terrain}, {_clip ? 1.0 : 0.0});
}

void recording_renderer_c::DrawSkyBox(sky_box_c* _sky_box, bool _clip)
{
    Record("DrawSkyBox", {_sky_box}, {_clip ? 1.0 : 0.0});
}

void recording_renderer_c::DrawTrail(trail_c* _trail, f32 _time, bool _clip)
{
    Record("DrawTrail", {_trail}, {_time, _clip ? 1.0 : 0.0});
}

void recording_renderer_c::DrawParticles(emitter_c* _emitter, f32 _time, bool _clip)
{
    Record("DrawParticles", {_emitter}, {_time, _clip ? 1.0 : 0.0});
}

void recording_renderer_c::DrawAnimSprite(anim_sprite_c* _sprite, f32 _frame, bool _clip)
{
    Record("DrawAnimSprite", {_sprite}, {_frame, _clip ? 1.0 : 0.0});
}

void recording_renderer_c::DrawSprite(sprite_c* _sprite, bool _clip)
{
    Record("DrawSprite", {_sprite}, {_clip ? 1.0 : 0.0});
}

void recording_renderer_c::DrawGeometry(u32 _slot, material_c* _material, f32 _time)
{
    Record("DrawGeometry", {_material}, {static_cast<double>(_slot), _time});
}

void recording_renderer_c::DrawShadow(geom_object_c* _object, const vec3_c& _color, f32 _alpha)
{
    Record("DrawShadow", {_object}, {_color.x, _color.y, _color.z, _alpha});
}

void recording_renderer_c::DrawDebug24(bone_c* _bone, const vec3_c& _color, f32 _alpha)
{
    Record("DrawDebug24", {_bone}, {_color.x, _color.y, _color.z, _alpha});
}

void recording_renderer_c::DrawBox(const bounding_box_c& _box, const vec3_c& _color, f32 _alpha,
                                   const mat4x3_c& _transform)
{
    recorded_call_c& call = Record("DrawBox", {&_box}, {_color.x, _color.y, _color.z, _alpha});
    for (int i = 0; i < 12; ++i)
        call.numbers.push_back(_transform.m[i / 3][i % 3]);
}

void recording_renderer_c::DrawQuadVolume(const quad_volume_c& _quad, const vec3_c& _color, f32 _alpha,
                                          const mat4x3_c& _transform)
{
    recorded_call_c& call = Record("DrawQuadVolume", {&_quad}, {_color.x, _color.y, _color.z, _alpha});
    for (int i = 0; i < 12; ++i)
        call.numbers.push_back(_transform.m[i / 3][i % 3]);
}

void recording_renderer_c::DrawLightMarker(light_c* _light)
{
    Record("DrawLightMarker", {_light}, {});
}

void recording_renderer_c::DrawDebug28(f32 _a, f32 _b, f32 _c, f32 _d, f32 _e)
{
    Record("DrawDebug28", {}, {_a, _b, _c, _d, _e});
}

void recording_renderer_c::DrawMap(const map_c& _map, f32 _a, f32 _b, f32 _c)
{
    Record("DrawMap", {&_map}, {_a, _b, _c});
}

void recording_renderer_c::DrawDebug30(f32 _a, f32 _b, f32 _c, f32 _d)
{
    Record("DrawDebug30", {}, {_a, _b, _c, _d});
}

void recording_renderer_c::DrawMap31(const map_c& _map, f32 _a, f32 _b, f32 _c, f32 _d)
{
    Record("DrawMap31", {&_map}, {_a, _b, _c, _d});
}

void recording_renderer_c::DrawShadowShade(const f32* _shadow_color, f32 _darkness)
{
    Record("DrawShadowShade", {}, {_shadow_color[0], _shadow_color[1], _shadow_color[2], _shadow_color[3], _darkness});
}

void recording_renderer_c::ApplyGlow(f32 _strength)
{
    Record("ApplyGlow", {}, {_strength});
}

void recording_renderer_c::DrawTextB(font_handle_c* _font, i32 _x, i32 _y, i32 _width, i32 _height, const char* _text,
                                     const vec3_c& _color, f32 _transparency)
{
    Record("DrawTextB", {_font},
           {static_cast<double>(_x), static_cast<double>(_y), static_cast<double>(_width), static_cast<double>(_height),
            _color.x, _color.y, _color.z, _transparency})
        .text = _text;
}

void recording_renderer_c::DrawText(font_handle_c* _font, i32 _x, i32 _y, i32 _width, i32 _height, const char* _text,
                                    const vec3_c& _color, f32 _transparency)
{
    Record("DrawText", {_font},
           {static_cast<double>(_x), static_cast<double>(_y), static_cast<double>(_width), static_cast<double>(_height),
            _color.x, _color.y, _color.z, _transparency})
        .text = _text;
}
