#include "app/net_player_list.h"

#include <algorithm>

#include "app/message/net_message.h"

void net_player_list_c::Add(const string_c& _name, u16 _id, u32 _plane, u32 _progress)
{
    entries.push_back({_id, _name, _plane, _progress});
}

void net_player_list_c::Update(const string_c& _name, u16 _id, u32 _plane, u32 _progress)
{
    for (net_player_entry_s& entry : entries) {
        if (entry.id == _id) {
            entry.name = _name;
            entry.plane = _plane;
            entry.progress = _progress;
            return;
        }
    }
}

void net_player_list_c::Remove(u16 _id)
{
    const auto it = std::find_if(entries.begin(), entries.end(), [&](const auto& e) { return e.id == _id; });
    if (it != entries.end())
        entries.erase(it);
}

const net_player_entry_s* net_player_list_c::Find(u16 _id) const
{
    for (const net_player_entry_s& entry : entries)
        if (entry.id == _id)
            return &entry;
    return nullptr;
}

void net_player_list_c::Write(net_message_c& _message) const
{
    _message.WriteU32(static_cast<u32>(entries.size()));
    for (const net_player_entry_s& entry : entries)
        _message.WriteU16(entry.id).WriteString(entry.name).WriteU32(entry.plane).WriteU32(entry.progress);
}

bool net_player_list_c::Read(net_message_c& _message)
{
    const u32 count = _message.ReadU32();
    // An entry takes at least 11 bytes, so a count the record cannot hold is
    // refused before anything is reserved for it.
    constexpr u32 kSmallestEntry = 2 + 1 + 4 + 4;
    if (_message.IsOverflowed() || count > _message.GetRemaining() / kSmallestEntry)
        return false;
    std::vector<net_player_entry_s> read(count);
    for (net_player_entry_s& entry : read) {
        entry.id = _message.ReadU16();
        entry.name = _message.ReadString();
        entry.plane = _message.ReadU32();
        entry.progress = _message.ReadU32();
    }
    if (_message.IsOverflowed())
        return false;
    entries = std::move(read);
    return true;
}
