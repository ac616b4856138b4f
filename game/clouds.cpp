#include "game/clouds.h"

#include "engine/aggregate.h"
#include "engine/sprite.h"

#include <cmath>

namespace {

constexpr f32 kTurnScale = 0.034906585f;
constexpr f32 kFirstSize = 220.0f;
constexpr f32 kOtherSize = 170.0f;
constexpr f32 kBlend = 1.0f / 0.6f;
constexpr f32 kStretch = 1.3f;
constexpr f32 kTransparency = 0.1f;

} // namespace

u32 cloud_layer_c::CloudCount(f32 _graphic_detail, f32 _density, f32 _spread)
{
    const double wanted =
        std::nearbyint((static_cast<double>(_graphic_detail) * 0.8 + 0.2) * _spread * _spread * _density * 0.000001);
    if (!(wanted >= 0.0))
        return 1;
    return wanted >= cloud_max_count - 1 ? cloud_max_count : 1 + static_cast<u32>(wanted);
}

void cloud_layer_c::Create(f32 _graphic_detail, f32 _density, f32 _size, f32 _spread, f32 _height,
                           const char* _color_map1, const char* _color_map2, aggregate_c* _scene, renderer_c* _renderer)
{
    const u32 count = CloudCount(_graphic_detail, _density, _spread);
    const f32 half = _spread * 0.5f;
    for (u32 i = 0; i < count; ++i) {
        const vec3_c at{random.Float(-half, half), _height + random.Float(-50.0f, 150.0f), random.Float(-half, half)};
        MakeCloud(at, _size, cloud_sprite_count, _scene, _renderer, _color_map1, _color_map2);
    }
}

aggregate_c* cloud_layer_c::MakeCloud(const vec3_c& _position, f32 _size, u32 _sprites, aggregate_c* _scene,
                                      renderer_c* _renderer, const char* _color_map1, const char* _color_map2)
{
    auto* cloud = new aggregate_c("cloud", _renderer);
    cloud->position = _position;
    if (_scene)
        _scene->AddObject(cloud);
    clouds.push_back(cloud);
    for (u32 i = 0; i < _sprites; ++i) {
        const f32 radius = random.Float(0.5f, 1.2f) * _size;
        const f32 angle = static_cast<f32>(i) * kTwoPi / static_cast<f32>(_sprites);
        auto* sprite = new sprite_c("cloud", _renderer);
        sprite->position = vec3_c(std::sin(angle) * radius, random.Float(-50.0f, 100.0f), std::cos(angle) * radius);
        sprite->SetMap(random.Float(0.0f, 1.0f) < 0.5f ? _color_map1 : _color_map2);
        const f32 size = i < 2 ? kFirstSize : kFirstSize * (1.0f - kBlend) + kOtherSize * kBlend;
        sprite->scale = vec3_c(size * kStretch, size, size * kStretch);
        sprite->dissolve = kTransparency;
        sprite->SetFlag(object_depth_test | object_fog, true);
        cloud->AddObject(sprite);
    }
    return cloud;
}

void cloud_layer_c::Update(f32 _time, f32 _turn)
{
    const f32 dt = _time - lastUpdateTime;
    lastUpdateTime = _time;
    for (aggregate_c* cloud : clouds) {
        for (null_object_c* sprite = cloud->GetObjects().GetFirst(); sprite; sprite = sprite->GetNext())
            sprite->rotation.z += dt;
        f32 turned = std::fmod(cloud->rotation.x + _turn * kTurnScale, kTwoPi);
        if (turned < 0.0f)
            turned += kTwoPi;
        if (!std::isfinite(turned))
            turned = 0.0f;
        cloud->rotation.x = turned;
    }
}
