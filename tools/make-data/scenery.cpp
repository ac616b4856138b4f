#include "tools/make-data/scenery.h"

#include "engine/camera.h"
#include "engine/light.h"
#include "engine/renderer.h"
#include "engine/scene.h"
#include "engine/sprite.h"
#include "engine/still_map.h"
#include "engine/terrain.h"
#include "engine/terrain_builder.h"
#include "game/objects/noise.h"
#include "image/image.h"
#include "image/texture_image.h"
#include "tools/data-kit/picture_paint.h"
#include "tools/make-data/landscape.h"

#include <algorithm>
#include <cmath>
#include <memory>
#include <vector>

namespace {

constexpr f32 kPi = 3.14159265f;
constexpr u32 kZenith = 0xFF3F6FB8;
constexpr u32 kHorizon = 0xFFB9CCE0;

// A DXT1 texture of one level made by _pixel(x, y).
template <typename Pixel>
texture_image_c Texture(int _width, int _height, format_e _format, Pixel _pixel)
{
    texture_image_c texture(_width, _height, format_a8r8g8b8, false, false);
    PaintPicture(texture.GetLevel(0), _pixel);
    texture.ChangeFormat(_format);
    return texture;
}

f32 Clouds(f32 _x, f32 _y)
{
    f32 sum = 0.0f, amplitude = 0.5f;
    for (int octave = 0; octave < 4; ++octave) {
        const f32 point[2] = {_x, _y};
        sum += Noise2(point) * amplitude;
        _x *= 2.0f;
        _y *= 2.0f;
        amplitude *= 0.5f;
    }
    return sum;
}

std::unique_ptr<light_c> Light(const char* _name, const vec3_c& _rotation, const vec3_c& _color, f32 _intensity,
                               u32 _flags)
{
    auto light = std::make_unique<light_c>(_name);
    light->SetType(light_directional);
    light->SetFlags(_flags);
    light->rotation = _rotation;
    light->color = _color;
    light->intensity = _intensity;
    return light;
}

} // namespace

void AddSkyBox(data_files_t& _files)
{
    constexpr int side = 256;
    const char* sides[] = {"front", "back", "left", "right"};
    for (int face = 0; face < 4; ++face) {
        AddDataTexture(_files, std::string(kSkyPrefix) + sides[face] + ".dds",
                       Texture(side, side, format_dxt1, [face](int _x, int _y) {
                           const f32 up = 1.0f - static_cast<f32>(_y) / (side - 1);
                           u32 sky = BlendColour(kHorizon, kZenith, std::pow(up, 0.6f));
                           // A band of fair-weather clouds above the horizon; the
                           // faces' noise continues round the box.
                           const f32 u = static_cast<f32>(face * side + _x) / 64.0f;
                           const f32 cloud = Clouds(u, static_cast<f32>(_y) / 32.0f);
                           const f32 band = std::clamp(1.0f - std::fabs(up - 0.35f) * 4.0f, 0.0f, 1.0f);
                           return BlendColour(sky, 0xFFF4F6F8, std::clamp((cloud + 0.05f) * 4.0f, 0.0f, 0.8f) * band);
                       }));
    }
    AddDataTexture(_files, std::string(kSkyPrefix) + "up.dds", Texture(side, side, format_dxt1, [](int _x, int _y) {
                       const f32 cloud = Clouds(static_cast<f32>(_x) / 48.0f + 9.0f, static_cast<f32>(_y) / 48.0f);
                       return BlendColour(kZenith, 0xFFE8EEF4, std::clamp(cloud * 3.0f, 0.0f, 0.6f));
                   }));
    AddDataTexture(_files, std::string(kSkyPrefix) + "down.dds",
                   Texture(side, side, format_dxt1, [](int, int) { return 0xFF5A6A4A; }));
}

void AddLevelLights(data_files_t& _files, renderer_c* _renderer)
{
    scene_c scene("lights", _renderer);
    scene.AddLight(Light("sun", vec3_c(0.8f, 0.9f, 0.0f), vec3_c(1.0f, 0.96f, 0.88f), 1.0f,
                         light_diffuse | light_specular | light_shadows)
                       .release());
    scene.AddLight(
        Light("fill", vec3_c(-2.3f, 0.4f, 0.0f), vec3_c(0.55f, 0.62f, 0.75f), 0.35f, light_diffuse).release());
    scene.ambientColor = vec3_c(0.55f, 0.6f, 0.68f);
    scene.ambientIntensity = 0.45f;
    // The view from the field's tower over the meadow, for a level shown
    // without a plane to follow.
    camera_c* tower = scene.AddCamera(new camera_c("tower"));
    tower->position = vec3_c(-60.0f, 45.0f, -700.0f);
    tower->rotation = vec3_c(0.15f, 0.06f, 0.0f);
    scene.SetActiveCamera(tower);
    AddDataScene(_files, kLevelLights, scene);
}

void AddFadeScene(data_files_t& _files, renderer_c* _renderer)
{
    const std::string black = "data\\common\\others\\black.png";
    image_c picture;
    picture.Create(8, 8, format_x8r8g8b8);
    picture.Fill(0xFF000000);
    AddDataPicture(_files, black, picture, image_file_png);

    scene_c fade("fade", _renderer);
    fade.SetForegroundMap(black.c_str());
    envelope_c strength;
    envelope_key_c start;
    start.time = 0.0f;
    start.value = 0.0f;
    start.shape = shape_linear;
    envelope_key_c end = start;
    end.time = 1.5f;
    end.value = 1.0f;
    strength.keys = {start, end};
    fade.AddEnvelope(strength, &fade.foregroundValue);
    fade.foregroundValue = 0.0f;
    fade.Play(0.0f, 0.0f, 1.5f, false);
    AddDataScene(_files, kFadeScene, fade);
}

void AddLoadingScreen(data_files_t& _files, renderer_c* _renderer)
{
    // Five skies at different hours over one line of hills.
    const u32 tops[kLoadingPictures] = {0xFF274B8A, 0xFF3A5F9E, 0xFF5B4C7E, 0xFF2F5670, 0xFF43406A};
    const u32 lows[kLoadingPictures] = {0xFFD9B88A, 0xFFC9D7E4, 0xFFE39A6A, 0xFFA9C4C8, 0xFFEFC37A};
    for (int n = 0; n < kLoadingPictures; ++n) {
        const u32 top = tops[n], low = lows[n];
        const f32 seed = static_cast<f32>(n) * 13.7f;
        AddDataTexture(_files, std::string(kLoadingPrefix) + std::to_string(n + 1) + ".dds",
                       Texture(512, 512, format_dxt1, [top, low, seed](int _x, int _y) {
                           const f32 fx = static_cast<f32>(_x) / 512.0f;
                           const f32 point[2] = {fx * 6.0f + seed, 0.5f};
                           const f32 ridge = 0.7f + Noise2(point) * 0.08f + std::sin(fx * 5.0f + seed) * 0.03f;
                           const f32 fy = static_cast<f32>(_y) / 512.0f;
                           if (fy > ridge)
                               return BlendColour(0xFF1E2A1C, 0xFF0E140D, (fy - ridge) * 3.0f);
                           return BlendColour(top, low, fy / ridge);
                       }));
    }
    scene_c loading("loading", _renderer);
    loading.Play(0.0f, 0.0f, 1.0f, false);
    AddDataScene(_files, kLoadingScene, loading);
}

void AddGlowScene(data_files_t& _files, renderer_c* _renderer)
{
    const std::string glow = "data\\menu\\common\\glow.png";
    image_c picture;
    picture.Create(64, 64, format_a8r8g8b8);
    PaintPicture(picture, [](int _x, int _y) {
        const f32 dx = (static_cast<f32>(_x) - 31.5f) / 32.0f, dy = (static_cast<f32>(_y) - 31.5f) / 32.0f;
        // The colour fades with the alpha so that added to a tile it brightens
        // the rim and leaves the tile's number readable in the middle.
        const f32 falloff = std::clamp(1.0f - std::sqrt(dx * dx + dy * dy), 0.0f, 1.0f);
        const f32 ring = falloff * falloff * (1.0f - falloff) * 6.0f;
        const u32 level = static_cast<u32>(std::min(ring, 1.0f) * 255.0f);
        return level << 24 | (level * 0xFF / 255) << 16 | (level * 0xE8 / 255) << 8 | (level * 0xA0 / 255);
    });
    AddDataPicture(_files, glow, picture, image_file_png);

    scene_c scene("glow", _renderer);
    auto* camera = scene.AddCamera(new camera_c("camera"));
    scene.SetActiveCamera(camera);
    auto sprite = std::make_unique<sprite_c>("glow", _renderer);
    sprite->SetMap(glow.c_str());
    sprite->SetFlags(sprite_additive);
    sprite->position = vec3_c(0.0f, 0.0f, 4.0f);
    scene.AddObject(sprite.release());
    scene.Play(0.0f, 0.0f, 1.0f, true);
    AddDataScene(_files, kGlowScene, scene);
}

void AddPlanePreviewLights(data_files_t& _files, renderer_c* _renderer)
{
    scene_c scene("plane preview", _renderer);
    scene.AddLight(
        Light("key", vec3_c(0.6f, 0.7f, 0.0f), vec3_c(1.0f, 0.97f, 0.9f), 1.0f, light_diffuse | light_specular)
            .release());
    scene.AddLight(Light("rim", vec3_c(2.8f, 0.3f, 0.0f), vec3_c(0.6f, 0.7f, 0.9f), 0.5f, light_diffuse).release());
    scene.ambientColor = vec3_c(0.5f, 0.5f, 0.55f);
    scene.ambientIntensity = 0.4f;
    AddDataScene(_files, kPlanePreviewLights, scene);
}

void AddMissionPreview(data_files_t& _files, const std::string& _name, const landscape_c& _landscape, f32 _target_x,
                       f32 _target_z, renderer_c* _renderer)
{
    // 32 squares a side over the whole ground.
    constexpr u32 side = 33;
    const f32 size = _landscape.GetSize();
    const f32 spacing = size / static_cast<f32>(side - 1);
    std::vector<f32> heights(size_t(side) * side);
    for (u32 row = 0; row < side; ++row)
        for (u32 column = 0; column < side; ++column)
            heights[size_t(row) * side + column] = _landscape.GetHeight(
                static_cast<f32>(column) * spacing - size * 0.5f, size * 0.5f - static_cast<f32>(row) * spacing);

    scene_c scene("preview", _renderer);
    // The left part of the briefing and plane pages, clear of their texts.
    scene.SetViewport(0.04f, 0.04f, 0.51f, 0.78f);
    auto* camera = scene.AddCamera(new camera_c("camera"));
    camera->position = vec3_c(0.0f, size * 0.9f, -size * 0.7f);
    camera->rotation = vec3_c(0.0f, kPi * 0.22f, 0.0f);
    scene.SetActiveCamera(camera);
    scene.AddLight(Light("sun", vec3_c(0.8f, 0.9f, 0.0f), vec3_c(1.0f, 1.0f, 1.0f), 1.0f, light_diffuse).release());

    terrain_c* ground = BuildTerrain("preview ground", _renderer, heights.data(), side, spacing, side - 1);
    ground->position = vec3_c(-size * 0.5f, 0.0f, size * 0.5f);
    ground->SetColorMap(
        0, new still_map_c(texture_def_c((std::string(kTerrainFolder) + "color.dds").c_str(), true, true), _renderer));
    scene.AddObject(ground);

    auto marker = std::make_unique<sprite_c>("target", _renderer);
    marker->SetMap("data\\menu\\common\\glow.png");
    marker->SetFlags(sprite_additive);
    marker->position = vec3_c(_target_x, _landscape.GetHeight(_target_x, _target_z) + 120.0f, _target_z);
    marker->scale = vec3_c(200.0f, 200.0f, 200.0f);
    scene.AddObject(marker.release());
    scene.Play(0.0f, 0.0f, 1.0f, true);
    AddDataScene(_files, _name, scene);
}

void AddMapPicture(data_files_t& _files, const std::string& _name, const landscape_c& _landscape)
{
    texture_image_c map(256, 256, format_a8r8g8b8, false, false);
    map.GetLevel(0) = _landscape.MakeMapPicture(256);
    map.ChangeFormat(format_dxt1);
    AddDataTexture(_files, _name, map);
}
