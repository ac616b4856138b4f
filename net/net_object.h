#pragma once
// An object whose state the network carries: the owner writes updates and its
// removal, the other players keep remote copies that read them.
#include "foundation/types.h"

class net_message_c;

class net_object_c {
public:
    virtual ~net_object_c() = default;

    // A local object writes what its removal carries; a remote copy reads it.
    virtual void RemovalData(net_message_c& _message) = 0;
    // A local object writes an update, or nothing when there is nothing new.
    virtual void WriteUpdate(f32 _seconds, net_message_c& _message) = 0;
    // Moves a remote copy on by the seconds.
    virtual void AdvanceRemote(f32 _seconds) = 0;
    // Applies an update written age seconds ago to a remote copy.
    virtual void ApplyUpdate(f32 _age, net_message_c& _message) = 0;

    u32 object_id = 0;
    u16 owner_id = 0;
    // 0: owned here; 1: a copy of another player's object.
    u8 remote = 0;
    f32 age = 0.0f;
};
