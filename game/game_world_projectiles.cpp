#include "engine/aggregate.h"
#include "engine/geom_object.h"
#include "engine/object_format.h"
#include "engine/scene.h"
#include "engine/water.h"
#include "game/fx_manager.h"
#include "game/game_messages.h"
#include "game/game_world.h"
#include "game/game_world_walk.h"
#include "game/objects/network_plane.h"
#include "game/script_host.h"
#include "game/vector_helpers.h"
#include "level/level_scene.h"

#include <cfloat>
#include <cmath>

namespace {

constexpr float gravity = 9.81f;
constexpr float bullet_life = 1.0f;
constexpr float bomb_life = 100.0f;
constexpr float rocket_life = 60.0f;
// Bullet models stretch along their flight by speed / this.
constexpr float stretch_speed = 300.0f;
constexpr float explosion_damage = 10.0f;
constexpr float explosion_radius = 30.0f;
constexpr float small_explosion_radius = 15.0f;
// A bullet starting this close to an object skips its coarse shape.
constexpr float point_blank = 5.0f;
constexpr float bullet_damage = 1.0f;
constexpr float light_target_damage = 0.001f;
constexpr float smoke_linger = 2.0f;
constexpr float smoke_while_flying = 1000.0f;
// Rockets home on what lies within this cosine of their launch direction
// and this distance, turn toward it by this fraction per second, and burst
// within the fuse distance of it.
constexpr float rocket_seek_cone = 0.95f;
constexpr float rocket_seek_range = 1000.0f;
constexpr float rocket_turn_rate = 2.0f;
constexpr float rocket_fuse = 5.0f;
// What an explosion takes from a vertex colour channel at its centre.
constexpr float scorch_strength = 204.0f;

constexpr const char* template_files[pool_count] = {
    "data\\game\\common_objects\\pocisk\\pocisk.op",
    "data\\game\\common_objects\\bomba\\bomba.op",
    "data\\game\\common_objects\\raca\\raca.op",
};
constexpr const char* smoke_file = "data\\game\\common_objects\\fx\\dym_raca.vob";

const vec3_c up(0.0f, 1.0f, 0.0f);

vec3_c PivotRotation(const vec3_c& _direction)
{
    float heading = 0.0f;
    float pitch = 0.0f;
    DirectionToEuler(_direction, heading, pitch);
    return vec3_c(heading, pitch, 0.0f);
}

bool Overlap(const aabb_c& _a, const aabb_c& _b)
{
    return _a.min.x <= _b.max.x && _b.min.x <= _a.max.x && _a.min.y <= _b.max.y && _b.min.y <= _a.max.y &&
           _a.min.z <= _b.max.z && _b.min.z <= _a.max.z;
}

// The entity's box in its own space, moved to its position.
aabb_c PlacedBox(null_object_c& _entity)
{
    aabb_c box;
    _entity.GetBoundingBox(box);
    if (!box.IsValid())
        return box;
    return aabb_c(box.min + _entity.position, box.max + _entity.position);
}

// How near the segment from _start to _end passes _point.
float SegmentDistance(const vec3_c& _start, const vec3_c& _end, const vec3_c& _point)
{
    const vec3_c segment = _end - _start;
    const float squared = Dot(segment, segment);
    float along = squared > 0.0f ? Dot(_point - _start, segment) / squared : 0.0f;
    along = along < 0.0f ? 0.0f : along > 1.0f ? 1.0f : along;
    return (_start + segment * along - _point).Length();
}

// The template's first group asks for scorch marks ("scorch", a bool).
bool Scorches(const object_template_c* _template)
{
    if (_template == nullptr || _template->groups.empty())
        return false;
    bool scorch = false;
    _template->groups.front()->parameters.GetSetBool("scorch", &scorch, true);
    return scorch;
}

} // namespace

void game_world_c::LoadProjectileTemplates(renderer_c* _renderer)
{
    for (int pool = 0; pool < pool_count; ++pool) {
        auto tmpl = std::make_unique<object_template_c>();
        tmpl->Load(template_files[pool], _renderer);
        projectileTemplates[pool] = std::move(tmpl);
    }
    smokeTemplate.reset(LoadObject(smoke_file, _renderer, false));
}

null_object_c* game_world_c::TakePooledModel(int _pool)
{
    std::vector<null_object_c*>& pool = pools[_pool];
    if (!pool.empty()) {
        null_object_c* model = pool.front();
        pool.erase(pool.begin());
        model->SetVisibility(true, false);
        return model;
    }
    const object_template_c* tmpl = projectileTemplates[_pool].get();
    if (tmpl == nullptr || tmpl->GetNode() == nullptr || context.scene == nullptr)
        return nullptr;
    null_object_c* model = context.scene->AddObject(tmpl->GetNode()->Clone());
    model->SetVisibility(true, false);
    return model;
}

u32 game_world_c::GetPooledCount(int _pool) const
{
    return _pool >= 0 && _pool < pool_count ? static_cast<u32>(pools[_pool].size()) : 0;
}

void game_world_c::ReleaseProjectileModel(null_object_c* _model, int _pool)
{
    if (_model == nullptr)
        return;
    _model->SetVisibility(false, false);
    pools[_pool].push_back(_model);
    for (smoke_c& smoke : smokes) {
        if (smoke.active && smoke.source == _model) {
            smoke.source = nullptr;
            smoke.end = worldTime + smoke_linger;
        }
    }
}

null_object_c* game_world_c::AttachSmokeTrail(null_object_c* _model)
{
    if (_model == nullptr)
        return nullptr;
    for (smoke_c& smoke : smokes) {
        if (smoke.active)
            continue;
        smoke.entity->SetVisibility(true, false);
        smoke.source = _model;
        smoke.active = 1;
        smoke.end = worldTime + smoke_while_flying;
        return smoke.entity;
    }
    if (smokeTemplate == nullptr || context.scene == nullptr)
        return nullptr;
    null_object_c* entity = context.scene->AddObject(smokeTemplate->Clone());
    entity->SetVisibility(true, false);
    smokes.push_back(smoke_c{1, worldTime + smoke_while_flying, entity, _model});
    return entity;
}

null_object_c* game_world_c::GetSmokeEntity(u32 _index) const
{
    return _index < smokes.size() ? smokes[_index].entity : nullptr;
}

bool game_world_c::IsSmokeActive(u32 _index) const
{
    return _index < smokes.size() && smokes[_index].active;
}

void game_world_c::UpdateSmokes()
{
    for (smoke_c& smoke : smokes) {
        if (!smoke.active)
            continue;
        if (smoke.source)
            smoke.entity->position = smoke.source->position;
        if (worldTime >= smoke.end) {
            smoke.source = nullptr;
            smoke.entity->SetVisibility(false, false);
            smoke.active = 0;
        }
    }
}

projectile_c& game_world_c::Launch(game_object_c* _shooter, const vec3_c& _position, const vec3_c& _direction,
                                   float _speed, u32 _kind, float _life)
{
    projectile_c projectile;
    projectile.position = _position;
    projectile.direction = _direction;
    projectile.speed = _speed;
    projectile.expiry = worldTime + _life;
    projectile.shooter = _shooter;
    projectile.kind = _kind;
    projectile.explodes = _kind == projectile_bullet ? 0 : 1;
    projectile.pool = _kind == projectile_bomb ? pool_bombs : _kind == projectile_rocket ? pool_rockets : pool_bullets;
    projectile.model = TakePooledModel(projectile.pool);
    if (projectile.model) {
        projectile.model->position = _position;
        projectile.model->SetPivotRotation(PivotRotation(_direction));
        if (projectile.pool == pool_bullets)
            projectile.model->scale = vec3_c(1.0f, 1.0f, _speed / stretch_speed);
    }
    projectiles.push_back(projectile);
    return projectiles.back();
}

void game_world_c::SpawnBullet(game_object_c* _shooter, const vec3_c& _position, const vec3_c& _direction, float _speed)
{
    Launch(_shooter, _position, _direction, _speed, projectile_bullet, bullet_life);
}

void game_world_c::SpawnShell(game_object_c* _shooter, const vec3_c& _position, const vec3_c& _direction, float _speed,
                              float _fuse)
{
    Launch(_shooter, _position, _direction, _speed, projectile_shell, _fuse);
}

void game_world_c::SpawnBomb(game_object_c* _shooter, const vec3_c& _position, const vec3_c& _direction, float _speed)
{
    Launch(_shooter, _position, _direction, _speed, projectile_bomb, bomb_life);
}

void game_world_c::SpawnRocket(game_object_c* _shooter, const vec3_c& _position, const vec3_c& _direction, float _speed)
{
    projectile_c& rocket = Launch(_shooter, _position, _direction, _speed, projectile_rocket, rocket_life);
    rocket.target = ChooseRocketTarget(_shooter, _position, Unit(rocket.direction));
    AttachSmokeTrail(rocket.model);
}

game_object_c* game_world_c::ChooseRocketTarget(const game_object_c* _shooter, const vec3_c& _position,
                                                const vec3_c& _direction) const
{
    if (_shooter == nullptr)
        return nullptr;
    game_object_c* best = nullptr;
    float bestCosine = rocket_seek_cone;
    for (const auto& object : objects) {
        if (object.get() == _shooter || object->destroyed || object->side == _shooter->side)
            continue;
        const vec3_c to = object->GetPosition() - _position;
        const float distance = to.Length();
        if (!(distance > 0.0f) || distance > rocket_seek_range)
            continue;
        const float cosine = Dot(_direction, to) / distance;
        if (cosine >= bestCosine && (best == nullptr || cosine > bestCosine)) {
            best = object.get();
            bestCosine = cosine;
        }
    }
    return best;
}

bool game_world_c::IsAuthoritative(const game_object_c* _shooter) const
{
    const int type = _shooter ? _shooter->GetType() : -1;
    if (context.gameType == 4)
        return type == object_plane_user;
    if (context.gameType == 3)
        return type == object_plane_user || type == object_plane_ai;
    return true;
}

void game_world_c::UpdateProjectiles(float _dt)
{
    // Objects do not move while projectiles fly: where each can be reached
    // is measured once for the whole step.
    reaches.resize(objects.size());
    for (size_t i = 0; i < objects.size(); ++i) {
        game_object_c* object = objects[i].get();
        reach_c& reach = reaches[i];
        reach.object = object;
        float radius = 0.0f;
        if (object->entity) {
            aabb_c box;
            object->entity->GetBoundingBox(box);
            if (box.IsValid())
                radius = std::fmax(box.min.Length(), box.max.Length());
            reach.centre = object->entity->position;
        }
        radius += point_blank;
        reach.squaredRadius = radius * radius;
    }
    // Segments wholly above the terrain's box need no ray test.
    terrainTop = FLT_MAX;
    if (context.terrain) {
        aabb_c box;
        context.terrain->GetBoundingBox(box);
        if (box.IsValid()) {
            aabb_c placed;
            placed.Transform(box, context.terrain->GetMatrix());
            terrainTop = placed.max.y;
        }
    }
    for (size_t i = 0; i < projectiles.size();) {
        if (StepProjectile(projectiles[i], _dt)) {
            // A shooter's impact may launch more: end by index, not iterator.
            projectiles.erase(projectiles.begin() + static_cast<std::ptrdiff_t>(i));
        } else {
            ++i;
        }
    }
    reaches.clear();
}

bool game_world_c::StepProjectile(projectile_c& _projectile, float _dt)
{
    const vec3_c start = _projectile.position;
    const vec3_c end = start + _projectile.direction * (_projectile.speed * _dt);
    if (_projectile.target && _projectile.target->destroyed)
        _projectile.target = nullptr;
    if (_projectile.target) {
        const vec3_c toward = Unit(_projectile.target->GetPosition() - end);
        const float turn = std::fmin(1.0f, rocket_turn_rate * _dt);
        const vec3_c steered = _projectile.direction + (toward - _projectile.direction) * turn;
        if (steered.Length() > 0.0f)
            _projectile.direction = Unit(steered);
    }
    vec3_c velocity = _projectile.direction * _projectile.speed + vec3_c(0.0f, -gravity, 0.0f) * _dt;
    const float squared = Dot(velocity, velocity);
    _projectile.speed = std::sqrt(squared);
    const float inverse = 1.0f / std::sqrt(squared);
    if (inverse < FLT_MAX && std::isfinite(inverse))
        _projectile.direction = velocity * inverse;
    _projectile.position = end;

    if (_projectile.expiry < worldTime) {
        EndProjectile(_projectile, nullptr, false);
        return true;
    }
    if (_projectile.target && SegmentDistance(start, end, _projectile.target->GetPosition()) <= rocket_fuse) {
        EndProjectile(_projectile, _projectile.target->entity, false);
        return true;
    }
    const vec3_c segment = end - start;
    const float length = segment.Length();
    vec3_c unit = segment;
    unit.NormalizeSelf();
    const ray_c ray(start, unit);
    const bool authoritative = IsAuthoritative(_projectile.shooter);
    const int shooterSide = _projectile.shooter ? _projectile.shooter->side : 0;

    if (!_projectile.explodes) {
        for (walk_c walk(*this, &objects); walk.Index() < static_cast<i64>(objects.size()); ++walk.Index()) {
            game_object_c* object = objects[static_cast<size_t>(walk.Index())].get();
            if (object->destroyed || (!context.friendlyFire && _projectile.shooter && object->side == shooterSide) ||
                !WithinReach(static_cast<size_t>(walk.Index()), object, start, unit, length))
                continue;
            if (HitObject(object, _projectile.shooter, start, end, authoritative)) {
                EndProjectile(_projectile, nullptr, false);
                return true;
            }
        }
    }

    float t = 0.0f;
    vec3_c normal;
    const null_object_c* shooterEntity = _projectile.shooter ? _projectile.shooter->entity : nullptr;
    for (level_scene_c* level : context.levelScenes) {
        if (level == nullptr)
            continue;
        for (const auto& placed : level->placedObjects) {
            null_object_c* node = placed->node;
            if (node == nullptr || node == shooterEntity || !node->RayTest(t, normal, ray, true, true, length) ||
                t > length)
                continue;
            if (_projectile.explodes) {
                EndProjectile(_projectile, node, false);
                return true;
            }
            const vec3_c point = start + unit * t;
            if (context.effects &&
                !context.effects->CreateEffects(node, point, normal, false, &placed->parameters, "fx_onHT") &&
                placed->tmpl) {
                if (const template_group_c* fx = placed->tmpl->FindGroup("fx"))
                    context.effects->CreateEffects(node, point, normal, false, &fx->parameters, "fx_onHT");
            }
            EndProjectile(_projectile, nullptr, false);
            return true;
        }
        for (const auto& water : level->waters) {
            if (water->entity == nullptr || !water->entity->RayTest(t, normal, ray, true, false, length) || t > length)
                continue;
            const vec3_c point = start + unit * t;
            const char* event = _projectile.explodes ? "fx_onBE" : "fx_onHT";
            if (context.effects)
                context.effects->CreateEffects(water->entity.get(), point, normal, false, &water->parameters, event);
            EndProjectile(_projectile, nullptr, _projectile.explodes != 0);
            return true;
        }
    }

    if (context.terrain && std::fmin(start.y, end.y) <= terrainTop &&
        context.terrain->RayTest(t, normal, ray, false, true, length) && t < length) {
        if (_projectile.explodes) {
            EndProjectile(_projectile, context.terrain, false);
            return true;
        }
        if (context.effects)
            context.effects->CreateEffects(context.terrain, start + unit * t, normal, false, &terrainParameters,
                                           "fx_onHT");
        EndProjectile(_projectile, nullptr, false);
        return true;
    }

    if (_projectile.model) {
        _projectile.model->position = end;
        _projectile.model->SetPivotRotation(PivotRotation(_projectile.direction));
    }
    return false;
}

bool game_world_c::WithinReach(size_t _index, const game_object_c* _object, const vec3_c& _start, const vec3_c& _unit,
                               float _length) const
{
    if (_index >= reaches.size() || reaches[_index].object != _object)
        return true;
    // Written out: this runs for every bullet and object in every step.
    const reach_c& reach = reaches[_index];
    const float ox = reach.centre.x - _start.x;
    const float oy = reach.centre.y - _start.y;
    const float oz = reach.centre.z - _start.z;
    float along = ox * _unit.x + oy * _unit.y + oz * _unit.z;
    along = along < 0.0f ? 0.0f : along > _length ? _length : along;
    const float ax = ox - _unit.x * along;
    const float ay = oy - _unit.y * along;
    const float az = oz - _unit.z * along;
    return ax * ax + ay * ay + az * az <= reach.squaredRadius;
}

void game_world_c::EndProjectile(projectile_c& _projectile, null_object_c* _hit_entity, bool _in_water)
{
    // Explode may launch projectiles and so move the list: work on a copy.
    const projectile_c ended = _projectile;
    if (ended.explodes)
        Explode(_hit_entity, ended.shooter, ended.position, explosion_damage, _in_water, ended);
    ReleaseProjectileModel(ended.model, ended.pool);
}

bool game_world_c::HitObject(game_object_c* _object, game_object_c* _shooter, const vec3_c& _start, const vec3_c& _end,
                             bool _authoritative)
{
    if (_object == nullptr || _object == _shooter)
        return false;
    const vec3_c segment = _end - _start;
    const float squaredLength = Dot(segment, segment);
    vec3_c unit = segment;
    unit.NormalizeSelf();
    const ray_c ray(_start, unit);
    const float length = std::sqrt(squaredLength);
    float t = 0.0f;
    vec3_c normal;
    vec3_c coarsePoint = _start;
    const vec3_c offset = _start - _object->GetPosition();
    if (Dot(offset, offset) > point_blank * point_blank) {
        if (!_object->IntersectRay(t, normal, ray, true, false, length) || t * t > squaredLength)
            return false;
        coarsePoint = _start + unit * t;
    }
    if (!_object->IntersectRay(t, normal, ray, true, true, length)) {
        _object->OnNearMiss(coarsePoint, _shooter);
        return false;
    }
    if (!_authoritative)
        return false;
    float exactDistance = 0.0f;
    vec3_c exactNormal;
    if (!_object->IntersectRayExact(exactDistance, exactNormal, ray, true, true, length))
        return true;
    const vec3_c point = _start + unit * t;
    const int type = _object->GetType();
    const int shooterType = _shooter ? _shooter->GetType() : -1;
    if ((context.gameType == 3 || context.gameType == 4) && context.messages &&
        (shooterType == object_plane_user || shooterType == object_plane_ai))
        context.messages->SendHit(_shooter, _object, point, normal);
    const float amount = type == object_balloon || type == object_zeppelin ? light_target_damage : bullet_damage;
    _object->TakeDamage(point, normal, amount, _shooter, 0);
    return true;
}

void game_world_c::Explode(null_object_c* _hit_entity, game_object_c* _shooter, const vec3_c& _point, float _damage,
                           bool _in_water, const projectile_c& _projectile)
{
    const bool network = context.gameType == 3 || context.gameType == 4;
    const bool allowed = !network || (_shooter && _shooter->GetType() == object_plane_user);
    const float radius =
        context.creationFlag || (_shooter && _shooter->side == -1) ? small_explosion_radius : explosion_radius;
    const vec3_c reach(radius, radius, radius);
    const aabb_c blast(_point - reach, _point + reach);
    if (allowed) {
        for (walk_c walk(*this, &objects); walk.Index() < static_cast<i64>(objects.size()); ++walk.Index()) {
            game_object_c* object = objects[static_cast<size_t>(walk.Index())].get();
            if (object->entity == nullptr)
                continue;
            if (!Overlap(PlacedBox(*object->entity), blast) && object->entity != _hit_entity)
                continue;
            if (network && context.messages && object != _shooter)
                if (const auto* copy = dynamic_cast<const game_object_plane_ghost_c*>(object))
                    context.messages->SendAreaDamage(*copy, _damage, _point);
            if (!object->destroyed)
                object->TakeDamage(_point, up, _damage, _shooter, 6);
        }
        DamageHitPointObjects(_hit_entity, blast, _damage);
    }
    ScorchLevel(_point, radius);
    if (!_in_water && _shooter)
        _shooter->OnProjectileImpact(_point, up, &_projectile);
}

void game_world_c::DamageHitPointObjects(null_object_c* _hit_entity, const aabb_c& _box, float _damage)
{
    for (size_t i = 0; i < hitPointObjects.size(); ++i) {
        hit_point_object_c& target = hitPointObjects[i];
        if (target.entity == nullptr || target.hitPoints <= 0.0f)
            continue;
        if (!Overlap(PlacedBox(*target.entity), _box) && target.entity != _hit_entity)
            continue;
        target.hitPoints -= _damage;
        // The callbacks may add records: keep what is needed by value.
        const string_c name = target.entity->GetName();
        Call(name, "_on_hit");
        hit_point_object_c& after = hitPointObjects[i];
        if (after.hitPoints > 0.0f)
            continue;
        after.hitPoints = 0.0f;
        Call(name, "_on_destroyed");
        object_template_c* tmpl = hitPointObjects[i].tmpl;
        if (tmpl == nullptr)
            continue;
        tmpl->ShowModel(hitPointObjects[i].normalModel.GetData(), false, false);
        tmpl->ShowModel(hitPointObjects[i].burnedModel.GetData(), true, true);
        if (context.effects && !tmpl->groups.empty())
            context.effects->CreateEffects(hitPointObjects[i].entity, hitPointObjects[i].entity->position, up, false,
                                           &tmpl->groups.front()->parameters, "fx_onEX");
    }
}

void game_world_c::ScorchLevel(const vec3_c& _point, float _radius)
{
    for (level_scene_c* level : context.levelScenes) {
        if (level == nullptr)
            continue;
        for (const auto& placed : level->placedObjects) {
            if (placed->node == nullptr || !Scorches(placed->tmpl))
                continue;
            if (const auto* group = dynamic_cast<const aggregate_c*>(placed->node)) {
                for (null_object_c* item = group->GetObjects().GetFirst(); item; item = item->GetNext())
                    ScorchGeometry(item, _point, _radius);
            } else {
                ScorchGeometry(placed->node, _point, _radius);
            }
        }
    }
}

void game_world_c::ScorchGeometry(null_object_c* _entity, const vec3_c& _point, float _radius)
{
    auto* meshes = dynamic_cast<geom_object_c*>(_entity);
    if (meshes == nullptr || !(_radius > 0.0f))
        return;
    aabb_c box;
    _entity->GetBoundingBox(box);
    if (!box.IsValid())
        return;
    aabb_c placed;
    placed.Transform(box, _entity->GetMatrix());
    const vec3_c reach(_radius, _radius, _radius);
    if (!Overlap(placed, aabb_c(_point - reach, _point + reach)))
        return;
    const vec3_c local = _point * _entity->GetInverseMatrix();
    const float squaredRadius = _radius * _radius;
    for (mesh_c* mesh = meshes->GetMeshes().GetFirst(); mesh; mesh = mesh->GetNext()) {
        if (!mesh->HasPrivateGeometry() || !mesh->GetDefinition().format.hasDiffuse)
            continue;
        bool changed = false;
        for (const auto& set : mesh->GetDefinition().primitiveSets) {
            for (vertex_c& vertex : set->vertices) {
                const vec3_c offset = vertex.position - local;
                const float squared = Dot(offset, offset);
                if (squared > squaredRadius)
                    continue;
                const int amount = static_cast<int>((1.0f - squared / squaredRadius) * scorch_strength);
                u32 color = vertex.diffuse;
                for (int shift = 0; shift < 24; shift += 8) {
                    const int channel = static_cast<int>((color >> shift) & 0xffu) - amount;
                    color = (color & ~(0xffu << shift)) | (static_cast<u32>(channel < 0 ? 0 : channel) << shift);
                }
                changed = changed || color != vertex.diffuse;
                vertex.diffuse = color;
            }
        }
        if (changed)
            mesh->GetGeometry()->Rebuild();
    }
}

void game_world_c::SetSpawnPoints(int _side, std::vector<vec3_c> _positions, std::vector<vec3_c> _rotations)
{
    spawn_list_c& list = _side == -1 ? germanSpawns : alliedSpawns;
    _rotations.resize(_positions.size());
    list.positions = std::move(_positions);
    list.rotations = std::move(_rotations);
    list.next = 0;
}

bool game_world_c::NextSpawnPoint(int _side, vec3_c& _position, vec3_c& _rotation)
{
    spawn_list_c& list = _side == -1 ? germanSpawns : alliedSpawns;
    if (list.positions.empty())
        return false;
    const size_t index = list.next % list.positions.size();
    list.next = index + 1;
    _position = list.positions[index];
    _rotation = list.rotations[index];
    return true;
}
