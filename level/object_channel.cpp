#include "level/object_channel.h"

object_channel_c::object_channel_c(u32 _group, u32 _component, const string_c& _name, f32* _member, u32 _entity_target)
    : envelope_c(_entity_target), group(_group), component(_component), name(_name), member(_member),
      entityTarget(_entity_target), factors{_group == channel_rotation ? 3.18315f : 1.0f, 1.0f}, keyFlags(1, 0)
{
    envelope_key_c key;
    key.time = 0.0f;
    key.value = *_member;
    keys.push_back(key);
}
