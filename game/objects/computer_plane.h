#pragma once
// game_object_plane_ai_c: a plane flown by the computer (type 0). Its pilot
// (ai_pilot_c, owned by the plane) flies it along a stack of manoeuvres;
// the plane holds what it has been told to do, a stack of orders, and turns
// the current order into manoeuvres.
//
// Orders. The current order is the one added last: a new order interrupts
// the current one, and removing it resumes the one before. Each Order
// operation with _start_now set starts the order at once (the pilot's
// manoeuvres are replaced); without it the order is only added. An empty
// list reads as PATROL around the origin with radius 2500, which is then
// added. When the pilot has done every manoeuvre (event 3), a done order
// (GOTO/RETREAT within 25 of its point; NOP, FOLLOW, LAND, TAKEOFF always;
// ATACK and BOMB on an object once the object is destroyed) is removed, and
// the order as it was before the removal is started once more; BOMB stays
// until a new order. Kinds and their debug names:
//   0 "NOP", 1 "DESTROYED", 2 "GOTO", 3 "FOLLOW", 4 "LAND", 5 "TAKEOFF",
//   6 "PATROL", 7 "RETREAT", 8 "BOMB", 9 "ATACK".
//
// Events (HandleEvent, ignored once destroyed): 0 to 5 come from the pilot
// (see ai_pilot_c), 4 is the world's timer (argument 0.0: the 10 s patrol
// timer; 1.0: the 0.2 s check timer: terrain look-ahead, sight scan,
// collisions with placed objects and water), 6 to 9 are the player's
// wingman orders ("follow me", attack the sender's target, patrol around
// the sender, help the sender).
//
// Damage: amount x (1 - durability) x 0.1 (0.03 for a pilot above skill
// 0.95) x 3 for German planes (x 1 for Allied ones, and for everyone when
// the player's profile has the creation flag, the world's small-explosion
// switch). Each attacker's share is kept; when the plane patrols it turns
// on the attacker that did the most. At 0.7 a single-player plane whose
// side has a landing field goes to land; at 1.0 it is destroyed (once):
// counters, callbacks "german_planes_on_destroyed" or
// "aliant_planes_on_destroyed", "ai_planes_on_destroyed",
// "<template>_on_destroyed", "<name>_on_destroyed", "fx_onEX", then it
// spins down until the terrain wrecks it (or water sinks it to -50).
//
// An object that leaves the world is dropped from every order, the
// attacker list and the pilot's manoeuvres and sight map; orders on it are
// removed. A hit without an attacker is taken but credited to nobody.
//
// Network games (only the hosting program flies computer planes): every
// 0.1 s the plane sends its state sample, and its firing flag when that
// changed; a terrain crash costs a point and is sent; 10 s after it the
// wreck respawns, and says so (game_messages_c).
#include "game/object_links.h"
#include "game/objects/computer_pilot.h"
#include "game/objects/plane.h"

#include <list>
#include <memory>
#include <string>
#include <vector>

enum ai_order_kind_e : i32 {
    order_nop = 0,
    order_destroyed = 1,
    order_goto = 2,
    order_follow = 3,
    order_land = 4,
    order_takeoff = 5,
    order_patrol = 6,
    order_retreat = 7,
    order_bomb = 8,
    order_attack = 9,
};

struct ai_order_c {
    i32 kind = order_nop;
    vec3_c point{};
    vec3_c secondPoint{}; // LAND: the direction point
    f32 parameter = 0.0f; // PATROL: radius; BOMB: bombs dropped so far
    game_object_c* object = nullptr;
};

// "GOTO" and the like; "NOP" for a kind outside the table.
const char* GetOrderName(i32 _kind);

// The pilot's events to its plane, and the wingman orders.
enum ai_event_e : u32 {
    ai_event_seen = 0,
    ai_event_lost = 1,
    ai_event_fire = 2,
    ai_event_done = 3,
    ai_event_bomb = 5,
    ai_event_follow_me = 6,
    ai_event_attack = 7,
    ai_event_patrol = 8,
    ai_event_help = 9,
};

class game_object_plane_ai_c : public game_object_plane_c, public computer_plane_orders_c, public flown_plane_link_c {
public:
    static constexpr float patrol_radius = 2500.0f;

    game_object_plane_ai_c();
    ~game_object_plane_ai_c() override;

    // The plane owns its pilot from now on.
    void SetPilot(std::unique_ptr<ai_pilot_c> _pilot);
    ai_pilot_c* GetPilot() const { return pilot.get(); }
    void SetSkill(float _skill);
    float GetSkill() const { return skill; }

    int GetType() const override { return object_plane_ai; }
    void Update(float _time) override;
    void TakeDamage(const vec3_c& _point, const vec3_c& _direction, float _amount, game_object_c* _attacker,
                    int _kind) override;
    void OnNearMiss(const vec3_c& _point, game_object_c* _shooter) override;
    void HandleEvent(const game_event_c* _event) override;
    // Arms the check timer (1 to 2 s) and the patrol timer (10 to 20 s) and
    // starts the model's animation.
    void OnMissionStart(float _time) override;
    // Back at a spawn point without orders, attackers or seen objects; the
    // check timer runs again after 1 s.
    void Respawn() override;
    // The forward axis times the speed.
    vec3_c GetVelocity() const override;
    // The attitude follows the rotation.
    void SetRotation(const vec3_c& _rotation) override;
    void OnObjectRemoved(game_object_c* _removed) override;
    // Hit the terrain: DESTROYED, crashed view, wrecked on the ground.
    virtual void OnCrash(float _time);

    // Orders (see above).
    void OrderGoto(const vec3_c& _point, bool _start_now) override;
    void OrderPatrol(const vec3_c& _point, float _radius, bool _start_now) override;
    // Empties the list first when started.
    void OrderLand(const vec3_c& _touchdown, const vec3_c& _direction, bool _start_now);
    // The mission script's landing: started at once.
    void OrderLand(const vec3_c& _touchdown, const vec3_c& _direction) override;
    void OrderFollow(game_object_c* _object, bool _start_now);
    void OrderAttack(game_object_c* _object, bool _start_now);
    void OrderBomb(const vec3_c& _point, bool _start_now) override;
    void OrderBombObject(game_object_c* _object, bool _start_now);
    void OrderDestroyed();
    void ClearOrders();
    ai_order_c& GetCurrentOrder();
    const std::list<ai_order_c>& GetOrders() const { return orders; }
    void StartOrder(const ai_order_c& _order);
    bool IsOrderDone(const ai_order_c& _order) const;
    // The name and position, the orders, a blank line, the manoeuvres.
    std::string GetDebugText() const;

    // The damage each attacker has done.
    struct attacker_c {
        game_object_c* attacker = nullptr;
        f32 damage = 0.0f;
    };
    const std::vector<attacker_c>& GetAttackers() const { return attackers; }
    float GetPlaneClock() const override { return planeClock; }
    i32 GetNetworkId() const override { return networkId; }
    float GetLastUpdateTime() const { return lastUpdateTime; }
    bool IsFiring() const { return firing != 0; }
    int GetBurst() const { return burst; }
    float GetLastGunShot() const { return lastGunShot; }

    i32 networkId = -1;

private:
    void CheckTimer();
    void PatrolTimer();
    void Fall();
    void OnSeen(game_object_c* _object);
    void OnFireRequest();
    void OnManoeuvresDone();
    void ChaseOrBomb(game_object_c* _object);
    void ChaseWorstAttacker();
    // The side's, the class's, the template's and the plane's own function
    // with the suffix, in that order.
    void CallScripts(const char* _suffix) const;
    bool InNetworkGame() const;
    void AddOrder(const ai_order_c& _order, bool _start_now);

    float planeClock = 0.0f;
    u8 firing = 0;
    u8 firingSent = 0;
    std::unique_ptr<ai_pilot_c> pilot;
    std::list<ai_order_c> orders;
    std::vector<attacker_c> attackers;
    float skill = 0.0f;
    float lastUpdateTime = 0.0f;
    int burst = 0;
    float stateSendTimer = 0.0f;
};
