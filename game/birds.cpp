#include "game/birds.h"

#include "engine/aggregate.h"
#include "engine/object_format.h"
#include "game/objects/noise.h"

#include <algorithm>

namespace {

constexpr u32 kSteerEvery = 6;
constexpr f32 kHoming = 2.0f;
constexpr f32 kFirstStep = 0.1f;

// Level and unit; false when nothing is left of it.
bool Level(vec3_c& _direction)
{
    _direction.y = 0.0f;
    if (!(_direction.Length() > 0.0f))
        return false;
    _direction.NormalizeSelf();
    return true;
}

void Face(null_object_c* _model, const vec3_c& _direction)
{
    if (!_model)
        return;
    const euler_c angles(_direction);
    _model->rotation = vec3_c(angles.heading, angles.pitch, 0.0f);
}

} // namespace

vec3_c BirdFlow(f32 _x, f32 _z, f32 _time, u32 _index)
{
    f32 p[3] = {_x * 0.002f, static_cast<f32>(_index) * 0.03145f + _z * 0.002f, _time * 0.05f};
    const f32 a = FractalNoise3(p, 3);
    p[1] += 20.647f;
    const f32 b = FractalNoise3(p, 2);
    p[1] += 31.164f;
    const f32 c = FractalNoise3(p, 3);
    return vec3_c(a, b * 0.024f, c);
}

bird_flock_c::bird_flock_c() = default;
bird_flock_c::~bird_flock_c() = default;

const null_object_c* bird_flock_c::ModelOf(const string_c& _type, renderer_c* _renderer)
{
    for (const bird_model_c& known : models)
        if (known.type == _type)
            return known.model.get();
    bird_model_c loaded;
    loaded.type = _type;
    loaded.model.reset(LoadObject(_type.GetData(), _renderer, false));
    models.push_back(std::move(loaded));
    return models.back().model.get();
}

void bird_flock_c::Create(const vec3_c& _centre, const string_c& _type, aggregate_c* _scene, renderer_c* _renderer,
                          i32 _count, f32 _spread, f32 _fly_speed)
{
    for (i32 i = 0; i < std::min(_count, bird_max_count); ++i) {
        const vec3_c offset{random.Float(-1.0f, 1.0f) * _spread, random.Float(-0.1f, 0.1f) * _spread,
                            random.Float(-1.0f, 1.0f) * _spread};
        AddBird(_centre + offset, _type, _fly_speed, _scene, _renderer);
    }
}

void bird_flock_c::AddBird(const vec3_c& _position, const string_c& _type, f32 _speed, aggregate_c* _scene,
                           renderer_c* _renderer)
{
    bird_c bird;
    bird.home = bird.position = _position;
    bird.speed = _speed;
    bird.direction = BirdFlow(_position.x, _position.z, lastUpdateTime, static_cast<u32>(birds.size()));
    if (!Level(bird.direction))
        bird.direction = vec3_c(0.0f, 0.0f, 1.0f);
    if (const null_object_c* model = ModelOf(_type, _renderer)) {
        bird.model = model->Clone();
        bird.model->position = _position;
        bird.model->timeOffset = random.Float(0.0f, 1.0f);
        bird.model->SetVisibility(true, false);
        Face(bird.model, bird.direction);
        if (_scene)
            _scene->AddObject(bird.model);
    }
    birds.push_back(bird);
}

void bird_flock_c::Update(f32 _time)
{
    const f32 dt = lastUpdateTime == 0.0f ? kFirstStep : _time - lastUpdateTime;
    lastUpdateTime = _time;
    if (birds.empty())
        return;
    frameCounter = (frameCounter + 1) % static_cast<u32>(birds.size());
    for (u32 i = 0; i < birds.size(); ++i) {
        bird_c& bird = birds[i];
        if ((frameCounter + i) % kSteerEvery == 0) {
            vec3_c steered = bird.direction + BirdFlow(bird.position.x, bird.position.z, _time, i);
            if (Level(steered))
                bird.direction = steered;
            Face(bird.model, bird.direction);
        }
        vec3_c home = bird.home - bird.position;
        if (home.Length() > 0.0f)
            home.NormalizeSelf();
        bird.position += bird.direction * (bird.speed * dt) + home * (dt * kHoming);
        if (bird.model)
            bird.model->position = bird.position;
    }
}
