#include "game/objects/plane.h"

#include "audio/sound_system.h"
#include "engine/aggregate.h"
#include "engine/emitter.h"
#include "engine/light.h"
#include "foundation/file_error.h"
#include "game/fx_manager.h"
#include "game/game_world.h"
#include "game/objects/plane_file.h"
#include "game/objects/target_events.h"
#include "level/object_template.h"

#include <cmath>
#include <string>

namespace {

constexpr const char* main_group = "MainGroup";
// "handling" h gives (1 - (h - 0.6) x this) x 0.6 + 1: the float just above 5.
constexpr float handling_scale = 5.0000005f;

// The pivot rotation that points an emitter straight up.
vec3_c UpwardRotation()
{
    float heading = 0.0f;
    float pitch = 0.0f;
    DirectionToEuler(vec3_c(0.0f, 1.0f, 0.0f), heading, pitch);
    return vec3_c(heading, pitch, 0.0f);
}

bool EndsWith(const std::string& _name, const char* _tail)
{
    const size_t length = std::char_traits<char>::length(_tail);
    return _name.size() >= length && string_c(_name.substr(_name.size() - length)) == _tail;
}

} // namespace

plane_sound_c::plane_sound_c() = default;
plane_sound_c::~plane_sound_c() = default;
plane_sound_c::plane_sound_c(plane_sound_c&&) noexcept = default;
plane_sound_c& plane_sound_c::operator=(plane_sound_c&&) noexcept = default;

float speed_curve_c::Evaluate(float _q) const
{
    if (_q <= s[0])
        return v[0];
    for (int i = 1; i < 3; ++i) {
        if (_q <= s[i]) {
            const float span = s[i] - s[i - 1];
            // Equal points: the step lands on the upper value.
            const float along = span > 0.0f ? 1.0f - (s[i] - _q) / span : 1.0f;
            return v[i - 1] + (v[i] - v[i - 1]) * along;
        }
    }
    return v[2];
}

game_object_plane_c::game_object_plane_c()
{
    attitude.SetIdentity();
}

game_object_plane_c::~game_object_plane_c()
{
    // Effects that follow the model must not outlive it.
    if (fx_manager_c* effects = world ? world->GetContext().effects : nullptr)
        effects->RemoveEffectsOf(entity);
    for (rocket_slot_c& slot : rockets) {
        if (slot.model && slot.model->GetNode() && scene)
            scene->RemoveObject(slot.model->GetNode());
        slot.model.reset();
    }
    if (model && model->GetNode() && scene)
        scene->RemoveObject(model->GetNode());
    model.reset();
    entity = nullptr;
    ReleaseEffectObjects();
}

void game_object_plane_c::Load(const char* _file_name, renderer_c* _renderer, aggregate_c* _scene,
                               sound_system_c* _sound, bool _effects)
{
    auto loaded = std::make_unique<object_template_c>();
    loaded->Load(_file_name, _renderer);
    LoadParameters(std::move(loaded), _renderer, _scene, _sound, _effects);
}

namespace {

// The MainGroup value of _key, when it is there with a fitting type.
const parameter_c* Find(const object_template_c& _model, const char* _key)
{
    return _model.FindGroupParameter(main_group, _key);
}

[[noreturn]] void Missing(const object_template_c& _model, const char* _key)
{
    throw file_error_c(_model.GetFileName().c_str(), ("Parameter \"" + std::string(_key) + "\" not found!").c_str());
}

float RequireFloat(const object_template_c& _model, const char* _key)
{
    const parameter_c* parameter = Find(_model, _key);
    if (const auto* real = dynamic_cast<const parameter_float_c*>(parameter))
        return real->value;
    if (const auto* whole = dynamic_cast<const parameter_int_c*>(parameter))
        return static_cast<float>(whole->value);
    Missing(_model, _key);
}

bool FindVector(const object_template_c& _model, const char* _key, vec3_c& _value)
{
    const auto* triple = dynamic_cast<const parameter_triple_c*>(Find(_model, _key));
    if (triple)
        _value = triple->value;
    return triple != nullptr;
}

vec3_c RequireVector(const object_template_c& _model, const char* _key)
{
    vec3_c value;
    if (!FindVector(_model, _key, value))
        Missing(_model, _key);
    return value;
}

std::string RequireText(const object_template_c& _model, const char* _key)
{
    const auto* text = dynamic_cast<const parameter_text_c*>(Find(_model, _key));
    if (text == nullptr)
        Missing(_model, _key);
    return text->value;
}

} // namespace

void game_object_plane_c::LoadParameters(std::unique_ptr<object_template_c> _model, renderer_c* _renderer,
                                         aggregate_c* _scene, sound_system_c* _sound, bool _effects)
{
    timeSinceEngineStart = 1000.0f;
    timeSinceEngineStop = 1000.0f;
    model = std::move(_model);
    engineRunning = 1;
    scene = _scene;
    entity = model->GetNode();
    if (entity && scene)
        scene->AddObject(entity);

    model->ShowModel("mask", false, true);
    model->ShowModel("shadow", false, false);
    if (entity)
        entity->SetFlag(object_shadow_casting, true);
    for (const auto& group : model->groups) {
        if (group->name == "shadow") {
            if (group->node)
                group->node->SetFlag(object_shadow_casting, true);
            break;
        }
    }

    for (size_t i = 0; i < model->groups.size(); ++i) {
        const std::string& part = model->groups[i]->name;
        const int index = static_cast<int>(i);
        if (EndsWith(part, "_br"))
            rightAilerons.push_back(index);
        else if (EndsWith(part, "_bl"))
            leftAilerons.push_back(index);
        else if (EndsWith(part, "__p"))
            elevators.push_back(index);
        else if (EndsWith(part, "__h"))
            rudders.push_back(index);
    }
    airscrewFast = FindPart("airscrew_fast");
    airscrewSlow = FindPart("airscrew_slow");
    outEngine = FindPart("out_engine");
    compass = FindPart("compass");
    arrow1 = FindPart("arrow1");
    arrow2 = FindPart("arrow2");
    wheelLeft = FindPart("out_wl");
    wheelRight = FindPart("out_wr");

    const object_template_c& m = *model;
    planeName = RequireText(m, "name");
    if (const auto* iff = dynamic_cast<const parameter_int_c*>(Find(m, "iff")))
        side = iff->value >= 0 ? 1 : -1;
    else
        Missing(m, "iff");
    altitudeRating = RequireFloat(m, "altitude");
    speedRating = RequireFloat(m, "speed");
    handling = (1.0f - (RequireFloat(m, "handling") - 0.6f) * handling_scale) * 0.6f + 1.0f;
    durability = RequireFloat(m, "durability") - 0.6f;
    minVelocity = RequireFloat(m, "min velocity");
    maxVelocity = (speedRating - 0.6f) * 30.0f + RequireFloat(m, "max velocity");
    if (GetType() == object_plane_ai)
        maxVelocity = 30.0f;
    minThrust = RequireFloat(m, "min thrust");
    maxThrust = RequireFloat(m, "max thrust");
    gunLeft = RequireVector(m, "gun left");
    gunRight = RequireVector(m, "gun right");
    FindVector(m, "inside gun left", insideGunLeft);
    insideGuns = FindVector(m, "inside gun right", insideGunRight) ? 1 : 0;
    rocketLeft = RequireVector(m, "rocket left");
    rocketRight = RequireVector(m, "rocket right");
    FindVector(m, "inside camera shift", insideCameraShift);
    FindVector(m, "outside camera shift", outsideCameraShift);
    FindVector(m, "overguns camera shift", overgunsCameraShift);
    compassPivot = RequireVector(m, "compas pivot");
    w1Pivot = RequireVector(m, "w1 pivot");
    w2Pivot = RequireVector(m, "w2 pivot");
    if (null_object_c* part = GetPart(compass))
        part->SetPivotRotation(compassPivot);
    if (null_object_c* part = GetPart(arrow1))
        part->SetPivotRotation(w1Pivot);
    if (null_object_c* part = GetPart(arrow2))
        part->SetPivotRotation(w2Pivot);

    // Random values depend on the plane's file only.
    u32 seed = 2166136261u;
    for (char c : planeName)
        seed = (seed ^ static_cast<u8>(c)) * 16777619u;
    random.SetSeed(seed);

    collisionSegments = {{vec3_c(-4.0f, 1.0f, 1.0f), vec3_c(4.0f, 1.0f, 1.0f)},
                         {vec3_c(-4.0f, -0.5f, 0.0f), vec3_c(4.0f, -0.5f, 0.0f)},
                         {vec3_c(0.0f, 0.0f, 2.0f), vec3_c(0.0f, 0.5f, -4.0f)}};
    contactSegments = {{vec3_c(-1.0f, -1.4f, 0.5f), vec3_c(1.0f, -1.4f, 0.5f)},
                       {vec3_c(0.0f, -1.4f, 0.5f), vec3_c(0.0f, 0.3f, -8.5f)}};

    if (_sound)
        LoadSoundScript(RequireText(m, "sounds").c_str(), _sound);
    hasSounds = _sound ? 1 : 0;
    if (_effects)
        CreateEffectObjects(_renderer);
    effectsEnabled = _effects ? 1 : 0;
    RefreshTransform();
}

void game_object_plane_c::CreateEffectObjects(renderer_c* _renderer)
{
    if (scene == nullptr)
        return;
    const vec3_c upward = UpwardRotation();
    auto smokeEmitter = std::make_unique<emitter_c>("smoke emitter", _renderer);
    smokeEmitter->SetMap("data\\common\\planes\\fx\\smoke.png");
    smokeEmitter->SetParticleSize(2.0f, 5.0f);
    smokeEmitter->SetParticleCount(60);
    smokeEmitter->SetPivotRotation(upward);
    smokeEmitter->SetEmissionMode(0x2000);
    smokeEmitter->SetFrequency(16.0f);
    smokeEmitter->SetAngle(0.157f, 0.628f);
    smokeEmitter->SetFlag(object_fog, false);
    smokeEmitter->SetRandomSource(&random);
    smokeEmitter->SetVisibility(false, false);
    smoke = static_cast<emitter_c*>(scene->AddObject(smokeEmitter.release()));

    auto caseEmitter = std::make_unique<emitter_c>("case emitter", _renderer);
    caseEmitter->SetMap("data\\common\\planes\\fx\\case1.png");
    caseEmitter->SetParticleSize(0.015f, 0.015f);
    caseEmitter->SetParticleCount(30);
    caseEmitter->SetEmissionMode(0x2000);
    caseEmitter->SetFrequency(10.0f);
    caseEmitter->SetPivotRotation(upward);
    caseEmitter->SetAngle(0.0f, 0.0f);
    caseEmitter->SetSpeed(3.0f, 3.0f);
    caseEmitter->SetGravity(vec3_c(0.0f, -9.81f, 0.0f));
    caseEmitter->SetLifetime(1.0f, 2.0f);
    caseEmitter->SetFlag(object_fog, false);
    caseEmitter->SetRandomSource(&random);
    caseEmitter->SetVisibility(false, false);
    cases = static_cast<emitter_c*>(scene->AddObject(caseEmitter.release()));

    flash = scene->LoadObject("data\\common\\planes\\fx\\shoot\\ogien.lws", false);
    if (flash)
        flash->SetVisibility(false, false);

    auto light = std::make_unique<light_c>("fire light");
    light->SetType(2);
    light->color = vec3_c(1.0f, 0.8f, 0.6f);
    light->intensity = 0.0f;
    light->range = 1.0f;
    light->SetFalloff(true, false);
    fireLight = scene->AddLight(light.release());
}

void game_object_plane_c::ReleaseEffectObjects()
{
    if (scene == nullptr)
        return;
    for (null_object_c* object : {static_cast<null_object_c*>(smoke), static_cast<null_object_c*>(cases), flash})
        if (object)
            scene->DeleteObject(object);
    smoke = nullptr;
    cases = nullptr;
    flash = nullptr;
    if (fireLight)
        delete scene->RemoveLight(fireLight);
    fireLight = nullptr;
}

int game_object_plane_c::FindPart(const char* _name) const
{
    if (!model)
        return -1;
    for (size_t i = 0; i < model->groups.size(); ++i)
        if (string_c(model->groups[i]->name) == _name)
            return static_cast<int>(i);
    return -1;
}

null_object_c* game_object_plane_c::GetPart(int _index) const
{
    if (!model || _index < 0 || static_cast<size_t>(_index) >= model->groups.size())
        return nullptr;
    return model->groups[static_cast<size_t>(_index)]->node;
}

const parameter_list_c* game_object_plane_c::GetEffectParameters() const
{
    const template_group_c* group = model ? model->FindGroup(main_group) : nullptr;
    return group ? &group->parameters : nullptr;
}

void game_object_plane_c::Update(float) {}
void game_object_plane_c::OnMissionStart(float) {}

void game_object_plane_c::SetPosition(const vec3_c& _position)
{
    game_object_c::SetPosition(_position);
    RefreshTransform();
    UpdateAltitude();
}

void game_object_plane_c::SetRotation(const vec3_c& _rotation)
{
    game_object_c::SetRotation(_rotation);
    RefreshTransform();
}

void game_object_plane_c::RefreshTransform()
{
    if (entity == nullptr)
        return;
    entity->UpdateTransform(nullptr);
    if (auto* group = dynamic_cast<aggregate_c*>(entity))
        group->UpdateTransforms(nullptr);
}

void game_object_plane_c::SetModelView(int _view)
{
    if (model) {
        for (int view = plane_view_inside; view <= plane_view_crashed; ++view)
            if (view != _view)
                model->ShowModel(plane_view_models[view - 1], false, false);
        if (_view >= plane_view_inside && _view <= plane_view_crashed)
            model->ShowModel(plane_view_models[_view - 1], true, false);
    }
    modelView = _view;
}

bool game_object_plane_c::IntersectRay(float& _distance, vec3_c& _normal, const ray_c& _ray, bool _include_non_opaque,
                                       bool _precise, float _maximum)
{
    return CollisionRayTest(model.get(), entity, _distance, _normal, _ray, _include_non_opaque, _precise, _maximum);
}

bool game_object_plane_c::IntersectRayExact(float& _distance, vec3_c& _normal, const ray_c& _ray,
                                            bool _include_non_opaque, bool _precise, float _maximum)
{
    if (!model || entity == nullptr)
        return false;
    model->ShowModel("mask", false, false);
    model->ShowModel("outside", false, true);
    const bool hit = entity->RayTest(_distance, _normal, _ray, _include_non_opaque, _precise, _maximum);
    SetModelView(modelView);
    model->ShowModel("mask", false, true);
    return hit;
}

void game_object_plane_c::SetVisible(bool _visible)
{
    if (model)
        model->ShowModel("mask", false, _visible);
}

void game_object_plane_c::StartTimer(float _delay, u32 _argument)
{
    if (world)
        world->AddTimer(this, _delay, _argument);
}

void game_object_plane_c::SetThrust(float _thrust)
{
    thrust = _thrust < minThrust ? minThrust : _thrust > maxThrust ? maxThrust : _thrust;
}

void game_object_plane_c::SetCommands(float _roll, float _pitch, float _yaw)
{
    rollCommand = _roll;
    pitchCommand = _pitch;
    yawCommand = _yaw;
}

void game_object_plane_c::SetAttitude(const vec3_c& _rotation)
{
    attitude.SetEuler(euler_c(_rotation.x, _rotation.y, _rotation.z));
}

vec3_c game_object_plane_c::GetForward() const
{
    const vec3_c rotation = GetRotation();
    vec3_c forward(0.0f, 0.0f, 1.0f);
    forward.RotateByEuler(euler_c(rotation.x, rotation.y, rotation.z));
    return forward;
}

vec3_c game_object_plane_c::Turned(const vec3_c& _v) const
{
    const vec3_c rotation = GetRotation();
    vec3_c turned = _v;
    turned.RotateByEuler(euler_c(rotation.x, rotation.y, rotation.z));
    return turned;
}

vec3_c game_object_plane_c::ToWorld(const vec3_c& _model_point) const
{
    return entity ? _model_point * entity->GetMatrix() : _model_point;
}

null_object_c* game_object_plane_c::Terrain() const
{
    return world ? world->GetContext().terrain : nullptr;
}

void game_object_plane_c::ShowEffects(const char* _event, const vec3_c& _point, const vec3_c& _normal)
{
    fx_manager_c* effects = world ? world->GetContext().effects : nullptr;
    if (effects)
        effects->CreateEffects(entity, _point, _normal, false, GetEffectParameters(), _event);
}

const plane_sound_c& game_object_plane_c::GetSound(const char* _name) const
{
    static const plane_sound_c none;
    const struct {
        const char* name;
        const plane_sound_c* sound;
    } table[] = {
        {"normal", &engineNormal},
        {"destr1", &engineDestr1},
        {"destr2", &engineDestr2},
        {"choke", &engineChoke},
        {"unchoke", &engineUnchoke},
        {"on", &engineOn},
        {"off", &engineOff},
        {"explode", &engineExplode},
        {"wind left", &windLeft},
        {"wind right", &windRight},
        {"noise left", &noiseLeft},
        {"noise right", &noiseRight},
        {"plane_explode", &planeExplode},
        {"ground_crash", &groundCrash},
        {"water_crash", &waterCrash},
        {"gun_shot", &gunShot},
        {"shells", &shells},
        {"gun_jam", &gunJam},
        {"touchdown", &touchdown},
        {"on_ground", &onGround},
        {"fire_rocket", &fireRocket},
        {"bomb_release", &bombRelease},
    };
    for (const auto& entry : table)
        if (string_c(entry.name) == _name)
            return *entry.sound;
    return none;
}
