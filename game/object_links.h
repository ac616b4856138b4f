#pragma once
// What the in-game state and the mission script ask of game objects beyond
// game_object_c: the player's plane's throttle, model view and ground state,
// the planes' scores, the computer planes' orders and the vehicles' stop
// flag. The object
// classes implement these next to game_object_c; the state and the bindings
// find them with dynamic_cast, so an object without the link is simply not
// commanded.
// The model views (plane_view_e) are the plane's own.
#include "foundation/types.h"
#include "foundation/vector_math.h"
#include "game/objects/plane_view.h"

class player_plane_link_c {
public:
    virtual ~player_plane_link_c() = default;
    // Throttle changed by _delta, held inside the plane's own range.
    virtual void ChangeThrottle(float _delta) = 0;
    virtual void SetModelView(int _view) = 0;
    // Either ground-state flag: crashed on the ground or landed.
    virtual bool IsOnGround() const = 0;
    // The debug keys: the speed the flight step adds (0 after a respawn),
    // the plane's speed, and the engine factor (1 full power, 0 off).
    virtual void SetExtraSpeed(float _speed) = 0;
    virtual void SetSpeed(float _speed) = 0;
    virtual float GetEngineFactor() const = 0;
    virtual void SetEngineFactor(float _factor) = 0;
};

// Every plane of a multiplayer game: its score and, for a network copy of
// a remote plane, the id of the player who owns it.
class scored_plane_link_c {
public:
    virtual ~scored_plane_link_c() = default;
    virtual i32 GetScore() const = 0;
    virtual u16 GetOwnerId() const = 0;
};

// A plane this program flies in a network game (the player's plane, a
// computer plane): the index that names it in the game messages (-1 for
// the player's plane, the network id of a computer plane) and its plane
// clock (the sum of its frame steps), sent with its state samples.
class flown_plane_link_c {
public:
    virtual ~flown_plane_link_c() = default;
    virtual i32 GetNetworkId() const = 0;
    virtual float GetPlaneClock() const = 0;
};

class computer_plane_orders_c {
public:
    virtual ~computer_plane_orders_c() = default;
    // _start_now: the order becomes the current one at once; otherwise it
    // is queued behind the others.
    virtual void OrderGoto(const vec3_c& _position, bool _start_now) = 0;
    // Clears the order queue and lands at the touchdown point, approaching
    // along the direction point.
    virtual void OrderLand(const vec3_c& _touchdown, const vec3_c& _direction) = 0;
    virtual void OrderBomb(const vec3_c& _position, bool _start_now) = 0;
    virtual void OrderPatrol(const vec3_c& _position, float _radius, bool _start_now) = 0;
};

class vehicle_motion_c {
public:
    virtual ~vehicle_motion_c() = default;
    virtual void SetStopped(bool _stopped) = 0;
};
