#pragma once
// walk_path_c: the route of vehicles, ships, zeppelins, yachts and crowds.
// Three envelopes give x, y and z relative to the path's position. While
// edited, key i sits at time i; measuring (done before every write) gives
// the keys times from 0 to 1 in proportion to the distance along the path,
// so GetPositionAt(t) is the point at the fraction t of the path.
//
// Stored form (its own, no "Envs"): "name" "posi" "rota" "scal" "vksL"
// "vkss" "paLe" "sktg" (1 byte) "keIn", then three "enve" chunks holding the
// x, y and z envelopes in the engine's stream format. Key times are written
// measured and set back to key indices afterwards. After either direction
// the post behaviour of the three envelopes is linear.
#include "level/marked_object.h"

#include <memory>
#include <vector>

class walk_path_c : public marked_object_c {
public:
    int GetType() const override { return level_object_walk_path; }
    const char* GetTypeName() const override { return "Walk Path"; }
    void Serialize(CChunkSaver& _saver, int _zero, renderer_c* _renderer) override;
    // "Vis Key Scale", "Vis Key Step Scale", "Snap keys to ground", "Key
    // interpolation"; added to what the list holds.
    void ExchangeParameters(parameter_list_c& _list, bool _read) override;
    // Every key of the three envelopes takes the key interpolation as its
    // shape; an existing marker is rebuilt.
    void ApplyParameters() override;
    // Key i of each envelope gets time i.
    void RenumberKeys() override;
    // With the snap flag set: each key's height becomes that of the ground
    // hit by a ray 1000 long straight down from it; a key above nothing
    // throws std::runtime_error("Couldn't find intersection for path key.").
    void SnapToGround(scene_c* _scene) override;
    // The markers: an aggregate named after the path (emptied when it
    // exists) holding, for each key i, an aggregate name + "_key_aggregate_i"
    // with a copy of "kulka.lwo" named name + "_key_i" at the key's point
    // (scaled by the visible key scale) and nine named name + "_key_step_k"
    // at the path's points at key time + k x 0.1 (scaled by the visible key
    // step scale). A model that cannot be loaded throws file_error_c.
    // Nothing without a renderer.
    void CreateEngineObject(aggregate_c* _parent, renderer_c* _renderer) override;

    // The envelopes at _t, added to the path's position.
    vec3_c GetPositionAt(f32 _t) const;
    // Samples every key interval at 100 fractions 0, 0.01 .. 0.99 of its
    // times (the chord to the next key counts in the next interval; the last
    // hundredth of the last interval is not counted) and sums the chords
    // into the path length; each key's time becomes its running length over
    // the total. Fewer than two keys: length 0 and nothing else. A path of
    // length 0 (all keys at one point) spreads its key times evenly over
    // 0..1 instead of dividing by zero.
    void MeasureLength();
    // Number of keys the three envelopes have in common.
    u32 GetKeyCount() const;

    f32 visibleKeyScale = 3.0f;
    f32 visibleKeyStepScale = 1.0f;
    f32 pathLength = 0.0f;
    u8 snapKeysToGround = 0;
    i32 keyInterpolation = 0;
    envelope_c envelopes[3];
};

// A path through _points (relative to a path at the origin), straight from
// key to key: every key of the three envelopes linear, key i at time i.
std::unique_ptr<walk_path_c> MakeStraightWalkPath(const char* _name, const std::vector<vec3_c>& _points);
