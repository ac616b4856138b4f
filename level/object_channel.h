#pragma once
// object_channel_c: one animation channel of a level object. It is an engine
// envelope that drives one float member of the object (a position, rotation
// or scale component, or a member a subclass adds) and, once the object has
// an entity, the matching member of that entity, named by the entity's
// envelope target index (engine/entity.h: position 3..5, rotation 6..8,
// scale 9..11; dissolve 24, flare intensity 156, emitter ranges 137..142).
//
// A new channel holds one key at time 0 whose value is the member's current
// value. The factors and the per-key flag bytes are kept for an editor only.
#include "engine/envelope.h"
#include "foundation/text_string.h"
#include "foundation/types.h"

#include <vector>

enum channel_group_e : u32 {
    channel_own = 0,
    channel_position = 1,
    channel_rotation = 2,
    channel_scale = 3,
};

class object_channel_c : public envelope_c {
public:
    object_channel_c(u32 _group, u32 _component, const string_c& _name, f32* _member, u32 _entity_target);

    u32 group;
    u32 component;
    string_c name;
    f32* member;
    u32 entityTarget;
    f32 factors[2];
    std::vector<u8> keyFlags;
};
