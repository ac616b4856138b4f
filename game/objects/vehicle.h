#pragma once
// game_object_car_c: a vehicle (type 3, the "vehicles" section). It drives
// along its walk path at "move_speed" km/h (the template's first group) from
// the mission start, 30 units behind every vehicle of the same path with a
// lower "in_convoy_order", and stays at the path's end. A vehicle waits
// while any vehicle ahead of it on its path is destroyed or stopped; the
// script stops and starts it ("set_vehicle_move", SetStopped). Away from the
// scene's camera by more than its activity range (unless always active) it
// does not move.
//
// Ground following (ground mode 1: the terrain; 2 or more: also the placed
// objects of the world's level scenes, own node skipped): a ray 1000 long
// straight down from the vehicle finds the ground, and the vehicle takes
// its height. Where nothing lies below, the vehicle keeps the height of its
// path instead of being put at -1.
//
// The activity range is the largest level-of-detail distance ("loDi", read
// as a float) of the layers of the template's game-object groups, -1.0
// ignored; FLT_MAX when there is none or it is not above 0.
//
// A path of length 0 holds the vehicle at its point; a speed of 0 or less
// holds it at the start: no division by zero.
//
// Hits: the hit effect of the kind ("fx_onHT" for bullets, nothing for a
// kind outside the event table) at the point; bullets do nothing more to a
// bullet-proof vehicle ("bullets_invulnerability"); damage adds amount x
// 0.2 and at 1.0 the vehicle is destroyed once: its "destroyed" model, the
// world's counters, "fx_onEX", "vehicles_on_destroyed",
// "<template>_on_destroyed" and "<name>_on_destroyed".
#include "game/object_links.h"
#include "game/objects/game_object.h"

class object_template_c;
class parameter_list_c;
class scene_c;

// Ground modes.
enum vehicle_ground_e : i32 {
    vehicle_ground_none = 0,
    vehicle_ground_terrain = 1,
    vehicle_ground_objects = 2,
};

class game_object_car_c : public game_object_c, public vehicle_motion_c {
public:
    // _ground is what the downward ray is tested against (the terrain; may
    // be null: no ground then), _scene gives the active camera (may be null:
    // always near), _parameters the placed object's own list.
    void Init(object_template_c* _template, null_object_c* _node, null_object_c* _ground, scene_c* _scene,
              const parameter_list_c& _parameters);
    // Stores the path (may be null) and puts the vehicle at its start.
    void SetMovePath(walk_path_c* _path);
    // 1 normal, 2 destroyed.
    void SetModelState(int _state);

    int GetType() const override { return object_car; }
    void Update(float _time) override;
    void TakeDamage(const vec3_c& _point, const vec3_c& _direction, float _amount, game_object_c* _attacker,
                    int _kind) override;
    void OnMissionStart(float _time) override;
    void SetStopped(bool _stopped) override { stopped = _stopped ? 1 : 0; }

    // The fraction of the path the vehicle stands at after _driving_time
    // seconds (below 0 for a vehicle still behind the start).
    float PathFraction(float _driving_time) const;
    // The height of the ground below _position; false when nothing is below
    // within 1000.
    bool FindGroundHeight(const vec3_c& _position, float& _height) const;

    walk_path_c* movePath = nullptr;
    f32 lastUpdateTime = 0.0f;
    f32 drivingTime = 0.0f;
    f32 distanceLimit = 3.4028235e38f;
    object_template_c* tmpl = nullptr;
    null_object_c* ground = nullptr;
    scene_c* scene = nullptr;
    f32 activityRange = 3.4028235e38f;
    i32 convoyOrder = -1;
    f32 speed = 1.0f; // metres per second
    u8 startEffectPending = 0;
    u8 stopped = 0;
    u8 alwaysActive = 0;
    i32 groundMode = vehicle_ground_terrain;
    u8 noInitEffects = 0;
    u8 bulletProof = 0;
    i32 modelState = 1;

private:
    bool WaitsForConvoy() const;
    bool NearCamera() const;
    void FollowGround();
};
