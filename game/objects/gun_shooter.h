#pragma once
// gun_shooter_c: the turret guns of a ground or air target. One gun at a
// time gets a target (ChooseTarget, driven by the owner's timer events):
// the first enemy plane, alive, nearer than 600 units, inside the gun's
// cone and in sight. Every frame the owner's Update turns each gun toward
// where its target will be (AimAtTarget) and fires bursts (UpdateGuns):
// shots shootingDelay apart, burstLength of them, then a pause until more
// than burstDelay after the last shot.
//
// Random values (lead, aim wobble, shell fuses) come from the shooter's own
// generator, so the same inputs and time steps give the same shots.
// A target that leaves the world is dropped (OnObjectRemoved); a target
// that dies is kept until the next ChooseTarget of its gun replaces it.
//
// Aiming never yields NaN: a zero or opposite aim vector turns about a
// fixed axis, and a zero turning axis makes no step.
#include "game/objects/game_object.h"

#include "foundation/random_numbers.h"

#include <memory>
#include <vector>

class object_template_c;
class parameter_list_c;
class sound_source_c;
class sound_system_c;

inline constexpr float gun_range_squared = 360000.0f;
inline constexpr float gun_muzzle_speed = 600.0f;

struct gun_c {
    vec3_c muzzleOffset;  // owner's local frame
    vec3_c aimDirection;  // unit, world
    vec3_c restDirection; // owner's local frame, centre of the cone
    f32 maxYawDot = 1.0f; // -1 accepts every direction
    f32 lastShotTime = 0.0f;
    f32 shootingDelay = 0.1f;
    i32 burstLength = 20;
    i32 shotsInBurst = 0;
    f32 burstDelay = 1.0f;
    f32 agility = 0.0f; // 0: never turned
    u8 shellGun = 0;    // 1 fires anti-aircraft shells
    game_object_c* target = nullptr;
    sound_source_c* shotSound = nullptr; // not owned; played while a burst lasts
};

class gun_shooter_c : public game_object_c {
public:
    gun_shooter_c();
    // Deletes the shot sounds it made.
    ~gun_shooter_c() override;

    // Turns every gun that has a target and agility.
    virtual void AimAtTarget(float _time, float _dt);
    // Gives the next gun (round robin, starting after gun 0) a target.
    virtual void ChooseTarget();
    // Fires every gun that has a target according to its burst timing.
    virtual void UpdateGuns(float _time);
    // After each shot of gun _gun.
    virtual void OnShot(int _gun);

    void OnObjectRemoved(game_object_c* _removed) override;

    // Gives _gun a shot sound made from _file (positional, _distance as its
    // range, looping when asked, placed at _at and stopped), owned here.
    // Nothing without a device or with an empty name; a file that cannot
    // be opened throws the audio library's error.
    void AttachShotSound(gun_c& _gun, sound_system_c* _sound, const string_c& _file, float _distance, bool _looped,
                         const vec3_c& _at);
    // The same from an effect-style description of _keys: when a parameter
    // named _event (case ignored) is there, _event + "_file", "_distance"
    // (10.0) and "_looped" (false); without a "_file" no sound.
    void AttachShotSound(gun_c& _gun, sound_system_c* _sound, parameter_list_c& _keys, const char* _event,
                         const vec3_c& _at);

    // The world position of a gun's muzzle: through the entity's world
    // matrix, or the object's rotation and position without an entity.
    vec3_c GetMuzzleOrigin(const gun_c& _gun) const;
    // The gun's forward axis in the world (zero for a zero rest direction).
    vec3_c GetGunAxis(const gun_c& _gun) const;

    object_template_c* tmpl = nullptr; // the model; null without one
    std::vector<gun_c> guns;
    u32 nextGun = 0;
    // The pilot's creation flag of the world's context (game/game_world.h):
    // aim wobble 1.0 instead of 5.0, and for flak and zeppelins full damage.
    // False without a world.
    bool SteadyAim() const;
    random_c random;
    f32 lastUpdateTime = 0.0f;

protected:
    // The frame of an owner: aims and fires unless destroyed; false when
    // destroyed.
    bool StepGuns(float _time);
    // At mission start: the first target timer, the update clock and the
    // model's transform.
    void StartGuns(float _time, float _base, float _scale);
    // A timer for the next ChooseTarget after (random in [0, 1) + _base) x
    // _scale seconds.
    void ArmTargetTimer(float _base, float _scale);
    // A timer event chooses a target and, unless destroyed, arms the next.
    void ChooseOnTimer(const game_event_c* _event, float _base, float _scale);

private:
    bool CanSee(const vec3_c& _origin, game_object_c* _plane) const;

    std::vector<std::unique_ptr<sound_source_c>> shotSounds;
};
