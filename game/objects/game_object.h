#pragma once
// game_object_c: the base of every object that lives in the game world of
// a mission (planes, zeppelins and ships, balloons, guns, vehicles,
// yachts). The world owns it, steps it every frame, routes events, hits
// and projectile impacts to it, and deletes it only when it is removed or
// the world ends. Destruction is a state (damage 1.0, the destroyed flag),
// not a deletion.
//
// Everything about place and shape goes through the scene entity; without
// one, the base reads zeros (positions, rotations, bounds), tests no ray
// and moves nothing. No base operation throws.
//
// Type numbers (GetType): 0 computer plane, 1 player's plane, 2 network copy
// of a remote plane, 3 vehicle, 4 zeppelin or ship, 5 observation balloon,
// 6 anti-aircraft gun, 7 flak cannon, 10 yacht.
//
// Another object an object keeps a pointer to (a target, an attacker) may
// be removed from the world: the world then calls OnObjectRemoved on every
// object left, before the removed one is deleted, and a class that keeps
// such pointers drops them there.
#include "engine/aabb.h"
#include "engine/ray.h"
#include "foundation/text_string.h"
#include "foundation/types.h"
#include "foundation/vector_math.h"

#include <vector>

class game_object_c;
class game_world_c;
class null_object_c;
class parameter_list_c;
class projectile_c;
class walk_path_c;

enum game_object_type_e : int {
    object_plane_ai = 0,
    object_plane_user = 1,
    object_plane_ghost = 2,
    object_car = 3,
    object_zeppelin = 4,
    object_balloon = 5,
    object_aagun = 6,
    object_flak = 7,
    object_yachts = 10,
};

// An event record: kind 4 is a timer set with game_world_c::AddTimer
// (argument as given, the object itself as sender); kinds 0 to 9 are also
// orders between planes.
struct game_event_c {
    u32 kind = 0;
    u32 argument = 0; // a number or the bits of a float
    game_object_c* sender = nullptr;
};

inline constexpr u32 event_timer = 4;

class game_object_c {
public:
    game_object_c();
    virtual ~game_object_c();
    game_object_c(const game_object_c&) = delete;
    game_object_c& operator=(const game_object_c&) = delete;

    // With a path: the entity goes to the path's point at _distance (a
    // fraction of the path) and faces along it horizontally (no pitch, no
    // bank); where the path runs straight up the heading is 0.
    virtual void SetPathPosition(walk_path_c* _path, float _distance);
    virtual int GetType() const = 0;
    // Called by the world every step with the world time.
    virtual void Update(float _time) = 0;
    virtual vec3_c GetPosition() const;
    // Heading, pitch, bank in radians.
    virtual vec3_c GetRotation() const;
    virtual void SetPosition(const vec3_c& _position);
    virtual void SetRotation(const vec3_c& _rotation);
    // Both corners at zero without an entity.
    virtual aabb_c GetBounds() const;
    // The entity's ray test (null_object_c::RayTest) with the same six
    // arguments; false without an entity.
    virtual bool IntersectRay(float& _distance, vec3_c& _normal, const ray_c& _ray, bool _include_non_opaque,
                              bool _precise, float _maximum);
    // Planes test their visible model here; the base gives IntersectRay.
    virtual bool IntersectRayExact(float& _distance, vec3_c& _normal, const ray_c& _ray, bool _include_non_opaque,
                                   bool _precise, float _maximum);
    // Sets whether rays hit the entity; whether it is drawn stays.
    virtual void SetVisible(bool _visible);
    // _kind 0 bullet, 6 explosion; the others index the event effects.
    // The base ignores hits.
    virtual void TakeDamage(const vec3_c& _point, const vec3_c& _direction, float _amount, game_object_c* _attacker,
                            int _kind);
    // A bullet passed close by without hitting.
    virtual void OnNearMiss(const vec3_c& _point, game_object_c* _shooter);
    virtual void HandleEvent(const game_event_c* _event);
    // Once, when the mission starts, before the script's "mission_init".
    virtual void OnMissionStart(float _time) = 0;
    virtual vec3_c GetVelocity() const;
    // This object's exploding projectile ended out of water at _point.
    virtual void OnProjectileImpact(const vec3_c& _point, const vec3_c& _normal, const projectile_c* _projectile);
    // _removed is leaving the world and will be deleted; drop every pointer
    // to it. Empty in the base.
    virtual void OnObjectRemoved(game_object_c* _removed);

    // Appends the 32-bit value of every parameter named exactly
    // "act_ctrl_point" (case and length must match), in order.
    void ReadActivationPoints(const parameter_list_c& _parameters);
    // Whether the control point ID is in the activation list. Inline: the
    // world asks it for every object and control point each step.
    bool CanActivate(i32 _control_point_id) const
    {
        for (i32 id : activationPoints)
            if (id == _control_point_id)
                return true;
        return false;
    }

    vec3_c velocity;
    game_world_c* world = nullptr;
    u32 sequenceNumber = 0;
    i32 side = 0; // +1 Allied, -1 German
    f32 damage = 0.0f;
    u8 destroyed = 0;
    null_object_c* entity = nullptr;
    std::vector<i32> activationPoints;
    string_c name;
};
