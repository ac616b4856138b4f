#pragma once
// fx_manager_c: makes and keeps the timed effects of a mission. Game objects
// and the world name an event ("fx_onEX") and a parameter list; the manager
// finds the list's descriptions of that event and creates one effect for
// each.
//
// An effect description, in a parameter list: a string parameter named
// exactly after the event (case counts) whose value is "decal", "sound" or
// "vob", followed by its own keys, each the event name plus a suffix and
// searched from the kind parameter on (names ignoring case):
//   "_texture" (file, decal, required), "_size" (float, decal, 1.0),
//   "_file" (file, sound and vob, required), "_distance" (float, sound,
//   10.0), "_looped" (bool, sound, false), "_life" (float, all, 1.0e16).
// A list may describe one event several times. A second decal of an owner
// that already has a decal effect adds a quad to it instead.
//
// Which list a caller passes is decided once here: every game object passes
// the parameters of its template's "MainGroup" (a plane its model's), the
// world passes a placed object's own parameters (then its template's "fx"
// group), a water's or the terrain's parameters.
//
// Clear destroys every effect it drops: call it while the game scene and
// the sound device still exist.
#include "game/fx_object.h"

#include <memory>
#include <vector>

class parameter_list_c;

// The event effect names, by event number.
enum fx_event_e : int {
    fx_event_hit = 0,         // "fx_onHT"
    fx_event_explosion = 1,   // "fx_onEX"
    fx_event_collision = 2,   // "fx_onCL"
    fx_event_near_miss = 3,   // "fx_onNM"
    fx_event_crash = 4,       // "fx_onCR"
    fx_event_attack = 5,      // "fx_onAT"
    fx_event_bomb = 6,        // "fx_onBE"
    fx_event_water_crash = 7, // "fx_onWC"
    fx_event_init = 8,        // "fx_onIN"
    fx_event_rocket = 9,      // "fx_onRE"
    fx_event_count = 10,
};

// The name of event _index; null outside the table (a hit kind that names
// no event).
const char* GetEventEffectName(int _index);

class fx_manager_c {
public:
    fx_manager_c();
    ~fx_manager_c();
    fx_manager_c(const fx_manager_c&) = delete;
    fx_manager_c& operator=(const fx_manager_c&) = delete;

    void Init(aggregate_c* _scene, renderer_c* _renderer, sound_system_c* _sound);

    // Creates the effects of _event described in _parameters at _position
    // with the surface direction _direction (decals). True when at least
    // one effect was made or a decal got a quad; descriptions whose effect
    // cannot be made (no file key, a file that cannot be loaded) are passed
    // over and do not count. A null owner places effects in world space.
    bool CreateEffects(null_object_c* _owner, const vec3_c& _position, const vec3_c& _direction, bool _local,
                       const parameter_list_c* _parameters, const char* _event);
    // Every effect's Update(_time), in list order; the ones that are over are
    // destroyed and leave the list.
    void Update(float _time);
    // Every effect of _owner ends at its next update.
    void ExpireEffectsOf(const null_object_c* _owner);
    // Destroys every effect of _owner now (an owner about to be deleted).
    void RemoveEffectsOf(const null_object_c* _owner);
    // Destroys every effect.
    void Clear();

    u32 GetEffectCount() const { return static_cast<u32>(effects.size()); }
    fx_object_c* GetEffect(u32 _index) const { return _index < effects.size() ? effects[_index].get() : nullptr; }

private:
    fx_object_decal_c* FindDecal(const null_object_c* _owner) const;
    std::unique_ptr<fx_object_c> CreateEffect(int _kind, null_object_c* _owner, const vec3_c& _position,
                                              const vec3_c& _direction, bool _local,
                                              const parameter_list_c& _parameters, const char* _event, int _first);

    aggregate_c* scene = nullptr;
    renderer_c* renderer = nullptr;
    sound_system_c* sound = nullptr;
    std::vector<std::unique_ptr<fx_object_c>> effects;
};
