#pragma once
// parameter_object_c: a level object, one of the editable, animatable things
// of a level that are not instances of object templates (control points,
// walk paths, sprites, animated sprites, flares, emitters, placed model
// files). It has a name, a transform, animation channels that drive its
// members over time, an engine entity that shows it (owned by the object;
// a scene that shows it must give it back before the object dies) and one
// serialization routine for the scene file's "parO" chunk.
//
// Stored form (the base's part; subclasses append their leaves after it,
// control points and walk paths write their own instead):
//   "name" (string) "posi" "rota" "scal" (12 bytes each)
//   "Envs" { one "env" chunk per channel: the envelope in the engine's
//            stream format }
// Reading re-creates the channels before their envelopes are read; stored
// envelopes beyond the object's channels are stepped over.
//
// Class ids, as stored in the "type" leaf: 0 unknown (the base), 1 walk path,
// 2 emitter, 3 sprite, 4 flare, 5 animated sprite, 6 placed model file,
// 7 control point.
#include "engine/null_object.h"
#include "level/object_channel.h"
#include "level/parameter_list.h"

#include <memory>
#include <vector>

class aggregate_c;
class CChunkSaver;
class renderer_c;
class scene_c;

enum level_object_type_e : int {
    level_object_unknown = 0,
    level_object_walk_path = 1,
    level_object_emitter = 2,
    level_object_sprite = 3,
    level_object_flare = 4,
    level_object_anim_sprite = 5,
    level_object_vob = 6,
    level_object_control_point = 7,
};

class parameter_object_c {
public:
    parameter_object_c();
    virtual ~parameter_object_c();
    parameter_object_c(const parameter_object_c&) = delete;
    parameter_object_c& operator=(const parameter_object_c&) = delete;

    // Copies the changed member of channel _channel to the entity; nothing
    // without an entity.
    virtual void OnChannelChanged(int _channel);
    // Nine channels: name + ".Position.X" ... ".Scale.Z"; subclasses append
    // theirs. Replaces any channels there were.
    virtual void CreateChannels();
    // Binds every channel with two keys or more to its member of _entity.
    virtual void AttachChannels(entity_c* _entity);
    virtual int GetType() const { return level_object_unknown; }
    virtual const char* GetTypeName() const { return "Unknown"; }
    // time += _dt; every channel is evaluated at the new time into its
    // member, and OnChannelChanged runs for each member whose value changed.
    virtual void Update(f32 _dt);
    // _zero is always 0. _renderer may be null: the object then makes no
    // entity when it is read.
    virtual void Serialize(CChunkSaver& _saver, int _zero, renderer_c* _renderer);
    // _read false exports the members under display names; true reads them
    // back and applies them. Empty in the base.
    virtual void ExchangeParameters(parameter_list_c& _list, bool _read);
    // Pushes the members into the entity. Empty in the base.
    virtual void ApplyParameters();
    virtual void RenumberKeys();
    virtual void SnapToGround(scene_c* _scene);
    virtual void CreateEngineObject(aggregate_c* _parent, renderer_c* _renderer);

    null_object_c* GetEntity() const { return entity.get(); }
    // Takes ownership; the object's transform is given to the entity.
    void SetEntity(std::unique_ptr<null_object_c> _entity);
    const std::vector<std::unique_ptr<object_channel_c>>& GetChannels() const { return channels; }

    string_c name;
    vec3_c position;
    vec3_c rotation; // heading, pitch, bank in radians
    vec3_c scale = vec3_c(1.0f, 1.0f, 1.0f);
    f32 time = 0.0f;
    parameter_list_c parameters;

protected:
    // "name", "posi", "rota", "scal"; writing takes the entity's transform
    // first when there is an entity.
    void SerializeTransform(CChunkSaver& _saver);
    // "Envs" with one "env" per channel.
    void SerializeChannels(CChunkSaver& _saver);
    // Appends a channel named name + _suffix that drives _member.
    void AddChannel(const char* _suffix, f32* _member, u32 _entity_target);
    // Before reading parameters back: every channel's first key takes its
    // member's current value.
    void StoreMembersInFirstKeys();

    std::unique_ptr<null_object_c> entity;
    std::vector<std::unique_ptr<object_channel_c>> channels;
};

// A new level object of class id 1..7; null for any other id.
std::unique_ptr<parameter_object_c> CreateParameterObject(int _class_id);
