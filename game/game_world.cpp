#include "game/game_world.h"

#include "game/game_world_walk.h"

#include "engine/null_object.h"
#include "game/script_host.h"
#include "level/control_point_object.h"
#include "level/level_scene.h"

#include <algorithm>

namespace {

constexpr float nearest_min_squared = 1.0f;
constexpr float nearest_max_squared = 1.0e8f;

bool CanOccupyControlPoints(const game_object_c& _object)
{
    switch (_object.GetType()) {
    case object_plane_ai:
    case object_plane_user:
    case object_car:
    case object_zeppelin: return true;
    default: return false;
    }
}

control_point_object_c* AsControlPoint(parameter_object_c* _object)
{
    return _object && _object->GetType() == level_object_control_point ? static_cast<control_point_object_c*>(_object)
                                                                       : nullptr;
}

} // namespace

game_world_c::game_world_c() = default;

game_world_c::~game_world_c()
{
    for (auto& object : objects)
        object.reset();
}

void game_world_c::Init(const game_world_context_c& _context)
{
    context = _context;
    worldTime = 0.0f;
    controlPointScene = -1;
    counters = destruction_counters_c();
    mapSwitch = 1;
}

game_object_c* game_world_c::AddObject(std::unique_ptr<game_object_c> _object)
{
    if (!_object)
        return nullptr;
    game_object_c* object = _object.get();
    object->world = this;
    object->sequenceNumber = nextSequenceNumber++;
    ids[object->sequenceNumber] = object;
    objects.push_back(std::move(_object));
    return object;
}

game_object_c* game_world_c::AddPlane(std::unique_ptr<game_object_c> _plane)
{
    if (!_plane)
        return nullptr;
    planes.push_back(_plane.get());
    return AddObject(std::move(_plane));
}

void game_world_c::Forget(game_object_c* _object)
{
    auto erase_from = [&](auto& _list, const void* _key, auto _matches) {
        for (i64 i = static_cast<i64>(_list.size()) - 1; i >= 0; --i) {
            if (!_matches(_list[static_cast<size_t>(i)]))
                continue;
            _list.erase(_list.begin() + i);
            for (cursor_c* cursor : cursors)
                if (cursor->list == _key && i <= cursor->index)
                    --cursor->index;
        }
    };
    erase_from(planes, &planes, [&](game_object_c* _p) { return _p == _object; });
    ids.erase(_object->sequenceNumber);
    std::erase_if(timers, [&](const timer_c& _t) { return _t.object == _object; });
    for (std::vector<timer_c>* due : dueLists)
        for (timer_c& timer : *due)
            if (timer.object == _object)
                timer.object = nullptr;
    for (projectile_c& projectile : projectiles) {
        if (projectile.shooter == _object)
            projectile.shooter = nullptr;
        if (projectile.target == _object)
            projectile.target = nullptr;
    }
    for (reach_c& reach : reaches)
        if (reach.object == _object)
            reach.object = nullptr;
}

void game_world_c::RemoveObject(game_object_c* _object)
{
    const auto found = std::find_if(objects.begin(), objects.end(),
                                    [&](const std::unique_ptr<game_object_c>& _o) { return _o.get() == _object; });
    if (_object == nullptr || found == objects.end())
        return;
    busy_c guard(*this);
    Forget(_object);
    std::unique_ptr<game_object_c> owned = std::move(*found);
    const i64 index = found - objects.begin();
    objects.erase(found);
    for (cursor_c* cursor : cursors)
        if (cursor->list == &objects && index <= cursor->index)
            --cursor->index;
    for (walk_c walk(*this, &objects); walk.Index() < static_cast<i64>(objects.size()); ++walk.Index())
        objects[static_cast<size_t>(walk.Index())]->OnObjectRemoved(_object);
    removed.push_back(std::move(owned));
}

game_object_c* game_world_c::GetObject(u32 _index) const
{
    return _index < objects.size() ? objects[_index].get() : nullptr;
}

game_object_c* game_world_c::FindObjectById(u32 _sequence_number) const
{
    const auto found = ids.find(_sequence_number);
    return found == ids.end() ? nullptr : found->second;
}

game_object_c* game_world_c::FindPlane(const char* _name) const
{
    for (game_object_c* plane : planes)
        if (plane->GetType() == object_plane_ai && plane->name == _name)
            return plane;
    return nullptr;
}

level_scene_c* game_world_c::GetControlPointLevel() const
{
    if (controlPointScene < 0 || static_cast<size_t>(controlPointScene) >= context.levelScenes.size())
        return nullptr;
    return context.levelScenes[static_cast<size_t>(controlPointScene)];
}

control_point_object_c* game_world_c::FindControlPoint(const char* _name) const
{
    const level_scene_c* level = GetControlPointLevel();
    if (level == nullptr)
        return nullptr;
    for (const auto& object : level->levelObjects) {
        control_point_object_c* point = AsControlPoint(object.get());
        if (point && point->name == _name)
            return point;
    }
    return nullptr;
}

u32 game_world_c::CountAlivePlanes(int _side) const
{
    u32 count = 0;
    for (const game_object_c* plane : planes)
        if (plane->side == _side && (context.networkGame || !plane->destroyed))
            ++count;
    return count;
}

vec3_c game_world_c::NearestPlanePosition(int _side, const vec3_c& _point) const
{
    vec3_c nearest = _point;
    float best = nearest_max_squared;
    for (const game_object_c* plane : planes) {
        if (plane->side != _side || plane->destroyed)
            continue;
        const vec3_c d = plane->GetPosition() - _point;
        const float squared = Dot(d, d);
        if (squared >= nearest_min_squared && !(squared > best)) {
            best = squared;
            nearest = plane->GetPosition();
        }
    }
    return nearest;
}

vec3_c game_world_c::NearestEnemyPlanePosition(int _side, const vec3_c& _point) const
{
    return NearestPlanePosition(-_side, _point);
}

void game_world_c::SendEventToNearbyAllies(game_object_c* _sender, const game_event_c& _event, float _radius)
{
    if (_sender == nullptr)
        return;
    busy_c guard(*this);
    const vec3_c origin = _sender->GetPosition();
    const int side = _sender->side;
    for (walk_c walk(*this, &planes); walk.Index() < static_cast<i64>(planes.size()); ++walk.Index()) {
        game_object_c* plane = planes[static_cast<size_t>(walk.Index())];
        if (plane->side == side && !((plane->GetPosition() - origin).Length() > _radius))
            plane->HandleEvent(&_event);
    }
}

void game_world_c::AddTimer(game_object_c* _object, float _delay, u32 _argument)
{
    // Only objects of this world: a timer must never outlive its object.
    if (_object == nullptr || FindObjectById(_object->sequenceNumber) != _object)
        return;
    timers.push_back({_object, _argument, worldTime + _delay});
}

void game_world_c::DispatchTimers()
{
    busy_c guard(*this);
    std::vector<timer_c> due;
    std::vector<timer_c> waiting;
    for (const timer_c& timer : timers)
        (timer.due < worldTime ? due : waiting).push_back(timer);
    timers = std::move(waiting);
    dueLists.push_back(&due);
    for (const timer_c& timer : due) {
        if (timer.object == nullptr)
            continue;
        const game_event_c event{event_timer, timer.argument, timer.object};
        timer.object->HandleEvent(&event);
    }
    dueLists.pop_back();
}

void game_world_c::Call(const char* _name) const
{
    if (context.script)
        context.script->CallFunction(_name);
}

void game_world_c::Call(const string_c& _prefix, const char* _suffix) const
{
    Call(string_c(_prefix + _suffix));
}

void game_world_c::StartMission(float _time)
{
    busy_c guard(*this);
    const float dt = _time - worldTime;
    worldTime = _time;
    UpdateProjectiles(dt);
    UpdateSmokes();
    for (walk_c walk(*this, &objects); walk.Index() < static_cast<i64>(objects.size()); ++walk.Index())
        objects[static_cast<size_t>(walk.Index())]->OnMissionStart(_time);
    Call("mission_init");
}

void game_world_c::Process(float _time)
{
    if (_time == worldTime)
        return;
    busy_c guard(*this);
    const float dt = _time - worldTime;
    worldTime = _time;
    UpdateProjectiles(dt);
    UpdateSmokes();
    for (walk_c walk(*this, &objects); walk.Index() < static_cast<i64>(objects.size()); ++walk.Index())
        objects[static_cast<size_t>(walk.Index())]->Update(_time);
    ProcessControlPoints();
    DispatchTimers();
    Call("mission_process");
}

void game_world_c::ProcessControlPoints()
{
    level_scene_c* level = GetControlPointLevel();
    if (level == nullptr)
        return;
    for (size_t i = 0; i < level->levelObjects.size(); ++i) {
        control_point_object_c* point = AsControlPoint(level->levelObjects[i].get());
        if (point && point->activationCounter != 0)
            ProcessControlPoint(*level, *point);
    }
}

bool game_world_c::HeldBackByOrder(const level_scene_c& _level, const control_point_object_c& _point) const
{
    if (_point.activationOrder == -1)
        return false;
    for (const auto& object : _level.levelObjects) {
        const control_point_object_c* other = AsControlPoint(object.get());
        if (other && other != &_point && other->id == _point.id && other->activationOrder < _point.activationOrder &&
            other->activationCounter != 0)
            return true;
    }
    return false;
}

void game_world_c::ProcessControlPoint(level_scene_c& _level, control_point_object_c& _point)
{
    bool nobodyInside = true;
    for (walk_c walk(*this, &objects); walk.Index() < static_cast<i64>(objects.size()); ++walk.Index()) {
        game_object_c& object = *objects[static_cast<size_t>(walk.Index())];
        // Cheapest tests first; all of them must hold.
        if (object.destroyed || object.entity == nullptr || !object.CanActivate(_point.id) ||
            !CanOccupyControlPoints(object) || !_point.Contains(object.GetPosition()))
            continue;
        nobodyInside = false;
        if (HeldBackByOrder(_level, _point))
            continue;
        if (object.GetType() == object_plane_user && _point.activationSpeed >= 0.0f &&
            object.GetVelocity().Length() > _point.activationSpeed)
            continue;
        if (_point.occupied)
            continue;
        _point.occupied = 1;
        --_point.activationCounter;
        Call("control_point_on_enter");
        Call(_point.name, "_on_enter");
        if (_point.activationCounter == 0) {
            Call("control_point_on_activate");
            Call(_point.name, "_on_activate");
        }
    }
    if (nobodyInside)
        _point.occupied = 0;
}
