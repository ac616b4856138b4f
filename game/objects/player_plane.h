#pragma once
// game_object_plane_user_c: the plane the local player flies (type 1). The
// plane part (game_object_plane_c) flies, shoots and sounds; this class
// binds it to the input layer's named actions, turns their values into the
// plane's controls every frame, gives wingman orders, and detects crashes,
// landings and destruction with their script callbacks and messages.
//
// Actions, found by name (letter case ignored, the last of equal names
// wins, a missing name keeps its index) when BindControls runs: "up",
// "left", "tail-left", "look", "fire", "bomb", "rocket", "follow_me",
// "attack", "patrol", "help", "auto-level". "Pressed" means a value of
// exactly 1.0, so a key that ramps up counts only once it is full. The
// force-feedback effects play on the device of "left".
//
// Update(time), once per world step:
//   - in a network session the plane's state goes out every 0.1 s (0x105);
//   - without a world nothing more happens;
//   - a plane down (wrecked on the ground or in water) only coasts to a
//     stop; in a session it comes back 10 s after it went down (text 97 at
//     once, 0x10b when it is back);
//   - the stick ("left", "up", "tail-left") steers, scaled by
//     (1 - damage / 2) x engine factor x handling; while "look" is held or
//     the plane is destroyed the commands keep their last values;
//   - "auto-level" levels the plane while held;
//   - "fire" fires the guns, or drops bombs in the bomb view; the guns heat
//     by 1/7 per second of fire and cool 1.5 times as fast; above 0.7 heat
//     they may jam (chance (heat - 0.7) / 0.3 x 0.05 per frame), and a jam
//     clears with the trigger released, at once below 0.5 heat, else with
//     chance 1 - (heat - 0.5) x 5 per frame;
//   - "bomb" (outside a session): a press under 1 s drops one bomb;
//     holding it 1 s opens the bomb view (camera mode 6), where "fire"
//     drops bombs, until it is released;
//   - "rocket" fires a rocket (every 2 s at most) and sends 0x10c every
//     frame it is held;
//   - the order keys act when released: "follow_me" (event 6, allies within
//     300), "attack" (event 7 about the enemy most straight ahead within 700,
//     more than 60 degrees off the nose counts as none), "patrol" (8) and
//     "help" (9) (allies within 5000); each order also shows its text
//     (106 to 109) through the plane's own HandleEvent;
//   - the collision tests: a solid object or water destroys the plane
//     (water leaves it sinking), the terrain wrecks it, and wheels on the
//     ground start the ground run ("touchdown", "jazda_po_ziemii").
// A destruction (by a crash or by damage) calls the script functions
// "<template base name>_on_destroyed" and "<name>_on_destroyed"; the first
// one in a session costs a point of score, sends 0x107 and shows text 95
// (94 for water). A plane that is already destroyed calls the two script
// functions again when it crashes, but is never counted twice.
//
// Damage: hits of destroyed planes are ignored; a hit grows the damage by
// (1 - durability) x amount x 0.05 x 1/3 (x 1 with the pilot's creation
// flag) alone, by amount x 0.1 in a session. At 1.0 the plane burns, its
// engine dies and the actions are cleared; destroyed on the ground it
// becomes a wreck where it stands.
//
// Choices: the "world running" gate is the plane having a world; the host
// (player_plane_host_c) may be null, and then the bomb view, texts and
// messages are skipped; an effect kind outside the event table shows no
// effect.
#include "game/object_links.h"
#include "game/objects/plane.h"

class controllers_c;
class game_messages_c;
class net_session_c;
class player_plane_host_c;

class game_object_plane_user_c : public game_object_plane_c, public player_plane_link_c, public scored_plane_link_c {
public:
    enum action_e : int {
        action_up,
        action_left,
        action_tail_left,
        action_look,
        action_fire,
        action_bomb,
        action_rocket,
        action_follow_me,
        action_attack,
        action_patrol,
        action_help,
        action_auto_level,
        action_count,
    };
    static const char* const action_names[action_count];

    static constexpr float bomb_view_delay = 1.0f;
    static constexpr float respawn_delay = 10.0f;
    static constexpr float state_interval = 0.1f;

    game_object_plane_user_c();
    ~game_object_plane_user_c() override;

    // The in-game state, or null (tests).
    void SetHost(player_plane_host_c* _host) { host = _host; }
    // Clears every action value, then finds the twelve actions.
    void BindControls(controllers_c* _controllers);
    i32 GetActionIndex(int _action) const { return actions[_action]; }

    int GetType() const override { return object_plane_user; }
    void Update(float _time) override;
    void OnMissionStart(float _time) override;
    // The attitude follows.
    void SetRotation(const vec3_c& _rotation) override;
    void TakeDamage(const vec3_c& _point, const vec3_c& _direction, float _amount, game_object_c* _attacker,
                    int _kind) override;
    // A random near-miss sound at the point.
    void OnNearMiss(const vec3_c& _point, game_object_c* _shooter) override;
    // Events 6 to 9 (the wingman orders) show texts 106 to 109.
    void HandleEvent(const game_event_c* _event) override;

    // The in-game state's links.
    void ChangeThrottle(float _delta) override;
    void SetModelView(int _view) override { game_object_plane_c::SetModelView(_view); }
    // Rolling on its wheels, or a wreck.
    bool IsOnGround() const override { return groundRunEffect || wrecked; }
    void SetExtraSpeed(float _speed) override { extraSpeed = _speed; }
    void SetSpeed(float _speed) override { game_object_plane_c::SetSpeed(_speed); }
    float GetEngineFactor() const override { return engineFactor; }
    void SetEngineFactor(float _factor) override { engineFactor = _factor; }
    i32 GetScore() const override { return score; }
    u16 GetOwnerId() const override;

    // The plane's state, for the HUD and tests.
    float GetGunHeat() const override { return gunHeat; }
    bool IsJammed() const { return jammed != 0; }
    bool IsFiring() const { return firing != 0; }
    float GetPlaneClock() const { return planeClock; }
    float GetRollInput() const { return rollCommand; }
    float GetPitchInput() const { return pitchCommand; }
    float GetYawInput() const { return yawCommand; }
    bool IsAutoLevel() const { return autoLevel != 0; }
    // The enemy "attack" would name now, or null.
    game_object_c* FindAttackTarget() const;

protected:
    void OnGroundRunEnded() override;

private:
    float Value(int _action) const;
    bool Pressed(int _action) const { return Value(_action) == 1.0f; }
    void ResetActions();
    void UpdateDown(float _time, float _dt);
    void Steer();
    void UpdateGuns(float _time, float _dt);
    void UpdateBombs(float _time);
    void UpdateOrders();
    void UpdateCollisions(float _time, float _dt);
    // Crash against an object (kind 0) or water (kind 1).
    void CrashIntoObject(int _kind);
    void CrashIntoTerrain(float _time);
    // A first loss in a session: the score, the message and the text.
    void CountLoss(u32 _kind, i32 _text);
    void CallDestroyedScripts();
    void PlayRandom(const std::vector<plane_sound_c>& _sounds, const vec3_c& _point);
    void ShowText(i32 _index);
    net_session_c* Session() const;
    // The world's in-game messages while in a session; null otherwise.
    game_messages_c* Messages() const;

    controllers_c* controllers = nullptr;
    player_plane_host_c* host = nullptr;
    i32 actions[action_count];
    float lastUpdateTime = 0.0f;
    float gunHeat = 0.0f;
    u8 jammed = 0;
    u8 triggerHeld = 0;
    float stateSendTimer = 0.0f;
    u8 firing = 0;
    u8 bombKeyHeld = 0;
    float bombViewTime = 0.0f;
    i32 savedCameraMode = 0;
    u8 orderKeys[4] = {0, 0, 0, 0};
    float planeClock = 0.0f;
};
