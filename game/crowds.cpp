#include "game/crowds.h"

#include "engine/aggregate.h"
#include "engine/object_format.h"
#include "level/scene_records.h"

#include <algorithm>

namespace {

constexpr f32 kChooseAgain = 500.0f;
constexpr f32 kAreaReach = 2000.0f;
constexpr f32 kStartFleeing = 100.0f;
constexpr f32 kStopFleeing = 105.0f;

f32 Distance(const vec3_c& _a, const vec3_c& _b)
{
    return (_a - _b).Length();
}

// A model of the scene: loaded the first time, a clone after that.
null_object_c* AddModel(aggregate_c* _scene, null_object_c* _model)
{
    if (_scene && _model)
        _scene->AddObject(_model);
    return _model;
}

null_object_c* CloneOf(const null_object_c* _model)
{
    return _model ? _model->Clone() : nullptr;
}

} // namespace

void crowd_member_c::Init(crowd_model_c* _models, crowd_area_c* _area, random_c& _random)
{
    models = _models;
    area = _area;
    state = crowd_walking;
    position = area->centre;
    heading = _random.Float(0.0f, 6.0f);
    Place();
    Turn(heading);
    Show(crowd_walking);
    const f32 phase = _random.Float(0.1f, 10.0f);
    for (null_object_c* model : {models->walking, models->fleeing})
        if (model)
            model->timeOffset = phase;
    waitTime = _random.Float(10.0f, 20.0f);
}

void crowd_member_c::Turn(f32 _heading)
{
    heading = _heading;
    for (null_object_c* model : {models->walking, models->fleeing})
        if (model)
            model->rotation = vec3_c(heading, 0.0f, 0.0f);
}

void crowd_member_c::Place()
{
    for (null_object_c* model : {models->walking, models->fleeing})
        if (model)
            model->position = position;
}

void crowd_member_c::Show(u32 _state)
{
    state = _state;
    if (models->walking)
        models->walking->SetVisibility(state == crowd_walking, false);
    if (models->fleeing)
        models->fleeing->SetVisibility(state == crowd_fleeing, false);
}

void crowd_member_c::Update(f32 _dt, const vec3_c& _player, random_c& _random)
{
    const f32 speed = state == crowd_fleeing ? models->fleeingSpeed : models->walkingSpeed;
    const vec3_c step = position + vec3_c(euler_c(heading, 0.0f, 0.0f)) * (speed * _dt);
    const f32 ground = area->ground.GetHeight(step.x, step.z);
    if (ground < ground_invalid_height) {
        position = vec3_c(step.x, ground, step.z);
        Place();
        waitTime -= _dt;
        if (waitTime <= 0.0f) {
            Turn(heading + _random.Float(1.6f, 4.5f));
            waitTime = _random.Float(10.0f, 20.0f);
        }
    } else {
        Turn(heading + _random.Float(1.6f, 4.5f));
    }
    const f32 distance = Distance(position, _player);
    if (state == crowd_fleeing) {
        if (distance >= kStopFleeing) {
            Show(crowd_walking);
            return;
        }
        const vec3_c away = position - _player;
        // Straight above or below the player there is no way away: keep on.
        if (away.x != 0.0f || away.z != 0.0f)
            Turn(euler_c(vec3_c(away.x, 0.0f, away.z)).heading);
    } else if (distance < kStartFleeing) {
        Show(crowd_fleeing);
    }
}

crowd_c::crowd_c() = default;
crowd_c::~crowd_c() = default;

i32 crowd_c::AddPath(const area_record_c& _area, null_object_c* _terrain)
{
    auto area = std::make_unique<crowd_area_c>();
    area->centre = _area.position;
    const f32 halfX = _area.scale.x * 0.5f;
    const f32 halfZ = _area.scale.z * 0.5f;
    const f32 signs[4][2] = {{-1.0f, -1.0f}, {1.0f, -1.0f}, {1.0f, 1.0f}, {-1.0f, 1.0f}};
    for (int i = 0; i < 4; ++i)
        area->corners[i] = area->centre + vec3_c(signs[i][0] * halfX, 0.0f, signs[i][1] * halfZ);
    area->ground.Sample(_terrain, area->corners[0].x, area->corners[0].z, area->corners[2].x, area->corners[2].z,
                        area->centre.y);
    areas.push_back(std::move(area));
    return static_cast<i32>(areas.size()) - 1;
}

crowd_c::figure_group_c& crowd_c::FindGroup(const string_c& _fleeing, const string_c& _walking)
{
    for (const auto& group : groups)
        if (group->fleeingName == _fleeing && group->walkingName == _walking)
            return *group;
    groups.push_back(std::make_unique<figure_group_c>());
    groups.back()->fleeingName = _fleeing;
    groups.back()->walkingName = _walking;
    return *groups.back();
}

void crowd_c::Create(i32 _area, const string_c& _fleeing, const string_c& _walking, i32 _count, renderer_c* _renderer,
                     aggregate_c* _scene)
{
    if (_area < 0 || static_cast<size_t>(_area) >= areas.size() || _count <= 0)
        return;
    crowd_area_c& area = *areas[static_cast<size_t>(_area)];
    figure_group_c& group = FindGroup(_fleeing, _walking);
    const size_t first = group.models.size();
    for (i32 i = 0; i < std::min(_count, crowd_max_figures); ++i) {
        auto pair = std::make_unique<crowd_model_c>();
        pair->fleeingName = _fleeing;
        pair->walkingName = _walking;
        if (group.models.empty()) {
            pair->fleeing = AddModel(_scene, LoadObject(_fleeing.GetData(), _renderer, false));
            pair->walking = AddModel(_scene, LoadObject(_walking.GetData(), _renderer, false));
            pair->fleeingSpeed = 3.0f;
            pair->walkingSpeed = 0.2f;
        } else {
            const crowd_model_c& loaded = *group.models.front();
            pair->fleeing = AddModel(_scene, CloneOf(loaded.fleeing));
            pair->walking = AddModel(_scene, CloneOf(loaded.walking));
            pair->fleeingSpeed = 5.0f;
            pair->walkingSpeed = 2.0f;
        }
        group.models.push_back(std::move(pair));
    }
    for (size_t i = first; i < group.models.size(); ++i) {
        area.members.emplace_back();
        area.members.back().Init(group.models[i].get(), &area, random);
    }
}

void crowd_c::ChooseArea(const vec3_c& _player)
{
    referencePoint = _player;
    currentArea = -1;
    f32 nearest = kAreaReach;
    for (size_t i = 0; i < areas.size(); ++i) {
        const crowd_area_c& area = *areas[i];
        f32 distance = Distance(area.centre, _player);
        for (const vec3_c& corner : area.corners)
            distance = std::min(distance, Distance(corner, _player));
        if (distance < nearest) {
            nearest = distance;
            currentArea = static_cast<i32>(i);
        }
    }
}

void crowd_c::Update(f32 _dt, const vec3_c& _player)
{
    if (Distance(_player, referencePoint) > kChooseAgain)
        ChooseArea(_player);
    if (currentArea < 0 || static_cast<size_t>(currentArea) >= areas.size())
        return;
    for (crowd_member_c& member : areas[static_cast<size_t>(currentArea)]->members)
        member.Update(_dt, _player, random);
}
