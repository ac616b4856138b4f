#pragma once
// net_player_list_c: the players of the network session as the application
// knows them, in the order they arrived. Ids come from the session; an id
// may stand in the list more than once when a peer sends it twice, and the
// operations by id act on its first entry.
#include <vector>

#include "foundation/text_string.h"
#include "foundation/types.h"

class net_message_c;

struct net_player_entry_s {
    u16 id = 0;
    string_c name;
    u32 plane = 0;
    u32 progress = 0;
};

class net_player_list_c {
public:
    void Add(const string_c& _name, u16 _id, u32 _plane, u32 _progress);
    // The first entry with that id takes the name, plane and progress;
    // nothing when there is none.
    void Update(const string_c& _name, u16 _id, u32 _plane, u32 _progress);
    void Remove(u16 _id);
    void Clear() { entries.clear(); }

    // u32 count, then per entry u16 id, name, u32 plane, u32 progress.
    void Write(net_message_c& _message) const;
    // Replaces the list with one written by Write. A record that ends before
    // its count of entries is refused whole: false, and the list is left as
    // it was.
    bool Read(net_message_c& _message);

    const net_player_entry_s* Find(u16 _id) const;
    size_t GetCount() const { return entries.size(); }
    const net_player_entry_s& Get(size_t _index) const { return entries[_index]; }
    const std::vector<net_player_entry_s>& GetEntries() const { return entries; }

private:
    std::vector<net_player_entry_s> entries;
};
