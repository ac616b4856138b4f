#pragma once
// game_world_c: the world of one mission. It holds every game object (and
// the planes among them, in a list of their own), the timers objects set for
// themselves and the destruction counters, and it is the one place where
// the mission script's per-step callback and the control-point callbacks
// fire.
//
// The world is the single owner of its objects: AddObject hands an object
// over, RemoveObject takes it out of every list and record the world keeps
// (plane list, id map, timers, timers due in the running step), tells every
// other object (game_object_c::OnObjectRemoved) and deletes it; destroying
// the world destroys what it still holds, in list order. An object removed
// while the world is stepping (even by its own Update) leaves the lists at
// once and is deleted at the end of the step; the step goes on with the
// objects after it.
//
// A step (Process) at world time t, when t differs from the last:
//   0. the projectiles, then the smoke attachments (see below);
//   1. every object's Update(t), in list order;
//   2. the control points of the current control-point scene (below);
//   3. timers due strictly before t, in the order they were set, each sent
//      once to its object as the event {4, argument, the object}; a timer
//      set during the step with delay 0 fires in the next step;
//   4. the script function "mission_process".
// The projectiles are moved first in a step, then the smoke attachments,
// before the objects' updates (see "Projectiles" below).
//
// Control points: for every control point (class 7) of the current scene
// with a counter other than 0, the objects in list order that are not
// destroyed, are of type 0, 1, 3 or 4, have an entity whose position the
// point contains, and list the point's ID among their activation points
// keep the point occupied. The first of them that passes two gates fires it
// when it is not occupied yet: the order gate (a point with an activation
// order holds back while another point of the scene with the same ID has a
// lower order and a counter other than 0) and, for the player's plane, the
// speed gate (not faster than a non-negative activation speed). Firing
// occupies the point, decrements its counter and calls
// "control_point_on_enter", then the point's name + "_on_enter"; when the
// counter reaches 0, "control_point_on_activate", then name +
// "_on_activate". A point nobody qualifying is inside of is left free.
//
// Main thread only; deterministic: nothing depends on the wall clock.
#include "game/objects/game_object.h"
#include "game/projectile.h"

#include "level/parameter_list.h"

#include <map>
#include <memory>
#include <string>
#include <vector>

class control_point_object_c;
class fx_manager_c;
class game_messages_c;
class level_scene_c;
class null_object_c;
class object_template_c;
class renderer_c;
class scene_c;
class script_host_c;

// What the in-game state gives the world when a mission starts.
struct game_world_context_c {
    script_host_c* script = nullptr; // callbacks are skipped without one
    // The loaded level scenes; the current control-point scene indexes them.
    std::vector<level_scene_c*> levelScenes;
    // Game types 3 and 4 are network games.
    int gameType = 0;
    bool networkGame = false;
    null_object_c* terrain = nullptr;
    scene_c* scene = nullptr;

    // Projectiles, explosions and effects.
    fx_manager_c* effects = nullptr; // no effects without one
    bool friendlyFire = false;       // network games: bullets hit their own side
    // The current pilot's creation flag (bit 31 of its progress word): one
    // switch for the whole mission's difficulty. With it explosions reach
    // 15 instead of 30, turret guns aim steadily (wobble 1.0 instead of
    // 5.0), and computer planes, flak cannons and zeppelins take full
    // damage (no German or ground-target bonus).
    bool creationFlag = false;
    // Network games: where hits and explosion damage decided here are sent
    // (none without).
    game_messages_c* messages = nullptr;
};

// A level object with hit points (the level's "LoadHP" list): explosions
// wear them down, and at 0 its normal model gives way to its burned one.
struct hit_point_object_c {
    null_object_c* entity = nullptr;
    f32 hitPoints = 0.0f;
    string_c normalModel;
    string_c burnedModel;
    object_template_c* tmpl = nullptr; // may be null
};

// Destroyed targets, overall and by the player's plane.
struct destruction_counters_c {
    u32 planes = 0;
    u32 planesAllied = 0;
    u32 planesGerman = 0;
    u32 planesByPlayer = 0;
    u32 zeppelins = 0;
    u32 zeppelinsByPlayer = 0;
    u32 ships = 0;
    u32 shipsByPlayer = 0;
    u32 balloons = 0;
    u32 balloonsByPlayer = 0;
    u32 flaks = 0;
    u32 flaksByPlayer = 0;
    u32 vehicles = 0;
    u32 vehiclesByPlayer = 0;
};

class game_world_c {
public:
    game_world_c();
    ~game_world_c();
    game_world_c(const game_world_c&) = delete;
    game_world_c& operator=(const game_world_c&) = delete;

    // Stores the context; world time 0, no control-point scene, counters 0,
    // map switch on.
    void Init(const game_world_context_c& _context);

    // Takes ownership; sets the object's world and its sequence number (one
    // counter for the whole run, from 1, never reset) and files it under
    // that number. Null is ignored.
    game_object_c* AddObject(std::unique_ptr<game_object_c> _object);
    // The same, and the object joins the plane list.
    game_object_c* AddPlane(std::unique_ptr<game_object_c> _plane);
    // Takes the object out of the world and deletes it (see above). An
    // object the world does not hold is left alone.
    void RemoveObject(game_object_c* _object);

    u32 GetObjectCount() const { return static_cast<u32>(objects.size()); }
    // In list order; null past the end.
    game_object_c* GetObject(u32 _index) const;
    // Null when no object has that number (or it was removed).
    game_object_c* FindObjectById(u32 _sequence_number) const;
    const std::vector<game_object_c*>& GetPlanes() const { return planes; }
    // The first computer plane (type 0) of that name, ignoring case.
    game_object_c* FindPlane(const char* _name) const;
    // The first control point of that name (ignoring case) in the current
    // control-point scene; null without one.
    control_point_object_c* FindControlPoint(const char* _name) const;
    // Planes of that side: every one in a network game (they come back),
    // else those not destroyed.
    u32 CountAlivePlanes(int _side) const;
    // The position of the nearest plane of that side not destroyed, among
    // those at squared distance 1.0 to 1.0e8 from the point; ties keep the
    // later plane. The point itself when there is none.
    vec3_c NearestPlanePosition(int _side, const vec3_c& _point) const;
    vec3_c NearestEnemyPlanePosition(int _side, const vec3_c& _point) const;
    // Every plane of the sender's side within _radius of it (the sender
    // too) gets the event. Nothing without a sender.
    void SendEventToNearbyAllies(game_object_c* _sender, const game_event_c& _event, float _radius);

    // Due at world time + _delay.
    void AddTimer(game_object_c* _object, float _delay, u32 _argument);
    void DispatchTimers();
    u32 GetTimerCount() const { return static_cast<u32>(timers.size()); }

    // World time = _time; OnMissionStart on every object in list order;
    // then "mission_init".
    void StartMission(float _time);
    void Process(float _time);

    // -1 for none; an index outside the level scenes counts as none.
    void SetControlPointScene(int _index) { controlPointScene = _index; }
    int GetControlPointScene() const { return controlPointScene; }
    float GetWorldTime() const { return worldTime; }
    const game_world_context_c& GetContext() const { return context; }
    script_host_c* GetScript() const { return context.script; }

    destruction_counters_c counters;
    u8 mapSwitch = 1;

    // Projectiles, explosions and spawn points.
    //
    // A step moves every projectile, in launch order: the new position is
    // the old one plus direction x speed x dt, then gravity (9.81 down)
    // bends the direction and changes the speed. A projectile past its
    // expiry ends without tests. Otherwise the step's segment is tested:
    // bullets against every object not destroyed (and not of the shooter's
    // side unless friendly fire is on) with HitObject, the first that takes
    // it ending it; then, in every level scene, its placed objects (not the
    // shooter's own entity) and waters; then the terrain. A bullet stopped
    // by an object ends there, before the level scenes. Bullets fire
    // "fx_onHT" where they stop (a placed object's own parameters, else its
    // template's "fx" group; the water's; the terrain's); exploding kinds
    // fire a water's "fx_onBE" and explode at the step's end position with
    // damage 10 (Explode).
    //
    // Launch speeds and lives: bullets 1.0 s, shells their fuse time, bombs
    // 100.0 s, rockets 60.0 s.
    //
    // Rockets home: at launch the world picks the object not destroyed and
    // not of the shooter's side (none without a shooter) that lies nearest
    // to the launch direction within a cone of cosine 0.95 and 1000 units,
    // the first on a tie. Every step, before gravity, the rocket's
    // direction turns toward the target's position by the fraction 2 x dt
    // (at most all the way), and a step that passes within 5 units of it
    // explodes the rocket with the target as the hit entity. A target that
    // is destroyed or leaves the world is let go; the rocket flies on.
    // Models come from three pools of hidden clones of the projectile
    // templates; rockets drag a smoke model that lingers 2.0 s after them.
    // In network games hits are decided by the owner of the shooter only,
    // and sent to the other programs: a bullet hit by the player's plane or
    // a computer plane as 0x109, explosion damage to a network copy as
    // 0x10D (through the context's messages).
    void SpawnBullet(game_object_c* _shooter, const vec3_c& _position, const vec3_c& _direction, float _speed);
    void SpawnShell(game_object_c* _shooter, const vec3_c& _position, const vec3_c& _direction, float _speed,
                    float _fuse);
    void SpawnBomb(game_object_c* _shooter, const vec3_c& _position, const vec3_c& _direction, float _speed);
    void SpawnRocket(game_object_c* _shooter, const vec3_c& _position, const vec3_c& _direction, float _speed);
    // Loads the bullet, bomb and rocket templates and the rocket smoke from
    // their fixed files; file_error_c from the file layer. Without them
    // projectiles fly without models.
    void LoadProjectileTemplates(renderer_c* _renderer);
    void UpdateProjectiles(float _dt);
    // One bullet segment against one object; true when the bullet is used
    // up (a bullet stopped by the collision shape but missing the visible
    // model does no damage). A precise miss inside the coarse shape calls
    // the object's OnNearMiss. Damage 1.0, 0.001 for balloons and
    // zeppelins, kind 0.
    bool HitObject(game_object_c* _object, game_object_c* _shooter, const vec3_c& _start, const vec3_c& _end,
                   bool _authoritative);
    // Area damage around _point (box of half side 30, or 15 for German
    // shooters and with small explosions): every object whose box overlaps
    // or whose entity was hit takes _damage (kind 6) when not destroyed;
    // hit-point objects lose hit points and fire their "_on_hit" and
    // "_on_destroyed" callbacks; out of water the shooter's
    // OnProjectileImpact shows the explosion. Only the player's shots deal
    // damage in network games.
    //
    // Every explosion, in water too, then scorches the level: each placed
    // object of the level scenes whose template's first group has the bool
    // "scorch" set is darkened around the point within the same radius
    // (ScorchGeometry); a placed object whose node is an aggregate (a
    // template of several game-object groups) scorches each of its items.
    void Explode(null_object_c* _hit_entity, game_object_c* _shooter, const vec3_c& _point, float _damage,
                 bool _in_water, const projectile_c& _projectile);
    // Darkens the vertex colours of a mesh entity around _point (world
    // space) when its box overlaps the box of half side _radius there: every
    // vertex at squared distance d2 <= r2 loses (1 - d2 / r2) x 204 (whole
    // units) from its blue, green and red bytes, held at 0; alpha stays.
    // Only meshes whose geometry carries vertex colours and is their own
    // (private, outside the renderer's cache, so that other models are not
    // scorched with it) are changed, and their geometry rebuilt. Repeated
    // explosions darken further. Anything but a mesh entity is left alone.
    static void ScorchGeometry(null_object_c* _entity, const vec3_c& _point, float _radius);
    const std::vector<projectile_c>& GetProjectiles() const { return projectiles; }
    // Hidden models waiting in a pool.
    u32 GetPooledCount(int _pool) const;
    // Smoke attachment records, active or waiting to be reused.
    u32 GetSmokeCount() const { return static_cast<u32>(smokes.size()); }
    null_object_c* GetSmokeEntity(u32 _index) const;
    bool IsSmokeActive(u32 _index) const;
    std::vector<hit_point_object_c> hitPointObjects;

    // Spawn points of each side, given by the level; NextSpawnPoint hands
    // them out in turn (German ones for side -1, Allied ones otherwise) and
    // answers false when that side has none.
    void SetSpawnPoints(int _side, std::vector<vec3_c> _positions, std::vector<vec3_c> _rotations);
    bool NextSpawnPoint(int _side, vec3_c& _position, vec3_c& _rotation);

    // Filled while the level loads. A level scene kept after Init joins
    // the list the control-point scene indexes.
    void AddLevelScene(level_scene_c* _scene) { context.levelScenes.push_back(_scene); }
    // What projectiles hitting the terrain take their effects from.
    parameter_list_c terrainParameters;
    // The landing fields of the "airfields" sections: bit 1 the Allied
    // field is set, bit 2 the German one.
    u32 airfieldMask = 0;
    vec3_c alliedTouchdown, alliedDirection;
    vec3_c germanTouchdown, germanDirection;

private:
    struct timer_c {
        game_object_c* object;
        u32 argument;
        float due;
    };
    // A position in a list being walked; removals before it move it back.
    struct cursor_c {
        const void* list;
        i64 index;
    };
    class walk_c;
    class busy_c;

    level_scene_c* GetControlPointLevel() const;
    void ProcessControlPoints();
    void ProcessControlPoint(level_scene_c& _level, control_point_object_c& _point);
    bool HeldBackByOrder(const level_scene_c& _level, const control_point_object_c& _point) const;
    void Call(const char* _name) const;
    void Call(const string_c& _prefix, const char* _suffix) const;
    void Forget(game_object_c* _object);

    // Projectiles.
    struct smoke_c {
        u8 active = 0;
        f32 end = 0.0f;
        null_object_c* entity = nullptr;
        null_object_c* source = nullptr;
    };
    // Where an object can be reached at all: a sphere around its position
    // holding its box in any rotation, widened by the point-blank distance.
    struct reach_c {
        game_object_c* object = nullptr;
        vec3_c centre;
        float squaredRadius = 0.0f;
    };
    struct spawn_list_c {
        std::vector<vec3_c> positions;
        std::vector<vec3_c> rotations;
        size_t next = 0;
    };
    projectile_c& Launch(game_object_c* _shooter, const vec3_c& _position, const vec3_c& _direction, float _speed,
                         u32 _kind, float _life);
    null_object_c* TakePooledModel(int _pool);
    void ReleaseProjectileModel(null_object_c* _model, int _pool);
    null_object_c* AttachSmokeTrail(null_object_c* _model);
    void UpdateSmokes();
    game_object_c* ChooseRocketTarget(const game_object_c* _shooter, const vec3_c& _position,
                                      const vec3_c& _direction) const;
    bool IsAuthoritative(const game_object_c* _shooter) const;
    // Steps one projectile; true when it ended.
    bool StepProjectile(projectile_c& _projectile, float _dt);
    // Whether a segment passes within reach of the object at list index
    // _index (true when the step's reaches do not describe it).
    bool WithinReach(size_t _index, const game_object_c* _object, const vec3_c& _start, const vec3_c& _unit,
                     float _length) const;
    void EndProjectile(projectile_c& _projectile, null_object_c* _hit_entity, bool _in_water);
    void DamageHitPointObjects(null_object_c* _hit_entity, const aabb_c& _box, float _damage);
    void ScorchLevel(const vec3_c& _point, float _radius);

    std::vector<projectile_c> projectiles;
    std::vector<reach_c> reaches;
    float terrainTop = 0.0f;
    std::vector<null_object_c*> pools[pool_count];
    std::unique_ptr<object_template_c> projectileTemplates[pool_count];
    std::unique_ptr<null_object_c> smokeTemplate;
    std::vector<smoke_c> smokes;
    spawn_list_c germanSpawns;
    spawn_list_c alliedSpawns;

    std::map<u32, game_object_c*> ids;
    std::vector<std::unique_ptr<game_object_c>> objects;
    std::vector<game_object_c*> planes;
    std::vector<timer_c> timers;
    // The due timers of the dispatches running now (they may nest).
    std::vector<std::vector<timer_c>*> dueLists;
    std::vector<cursor_c*> cursors;
    std::vector<std::unique_ptr<game_object_c>> removed;
    int busy = 0;
    float worldTime = 0.0f;
    int controlPointScene = -1;
    game_world_context_c context;

    static inline u32 nextSequenceNumber = 1;
};
