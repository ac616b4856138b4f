#pragma once
// The type word that travels beside every net_message_c, and the table of
// game message types with the fields their bodies begin with.
//
// Type word: bits 0-11 the type; kNetNoTimeStamp marks a record sent without
// the session clock; the three delivery bits are added by the network
// manager's Send from its three flags (relay, scramble, carried).
//
// Body layouts are written as one letter per field, in order:
//   h u16, w u32, f f32, b one bit, s NUL-terminated text, v vec3 (x, y, z),
//   e euler (pitch, heading, bank).
// A layout lists what every sender writes; where a plane object writes more
// of its own state after it (0x105, 0x107), the layout stops before that.
#include <span>

#include "foundation/types.h"

class net_message_c;

inline constexpr u16 kNetTypeMask = 0x0FFF;
inline constexpr u16 kNetNoTimeStamp = 0x1000;
inline constexpr u16 kNetRelay = 0x2000;
inline constexpr u16 kNetCarried = 0x4000;
inline constexpr u16 kNetScrambled = 0x8000;

inline constexpr u16 NetMessageType(u16 _type_word)
{
    return _type_word & kNetTypeMask;
}

// Session events, raised by the network layer itself.
enum net_session_event_e : u16 {
    net_event_player_joined = 2,
    net_event_connected = 3,
    net_event_player_left = 4,
    net_event_session_ended = 6,
    net_event_connection_succeeded = 7,
    net_event_connection_rejected = 8,
    net_event_session_found = 9,
    net_event_search_finished = 10,
    net_event_chat = 12,
};

// Game messages.
enum net_message_type_e : u16 {
    net_state_request = 0x101,
    net_plane_enters = 0x102,
    net_plane_announced = 0x103,
    net_game_state = 0x104,
    net_plane_state = 0x105,
    net_plane_destroyed = 0x106,
    net_plane_crash = 0x107,
    net_guns_firing = 0x108,
    net_hit = 0x109,
    net_player_left_mission = 0x10A,
    net_respawn = 0x10B,
    net_rocket = 0x10C,
    net_area_damage = 0x10D,
    net_player_left_game = 0x10E,
    net_game_end = 0x10F,
    net_player_record = 0x110,
    net_player_list = 0x111,
    net_game_setup = 0x112,
    net_setup_request = 0x113,
};

// Sub-types of net_player_record, its first u16.
enum net_player_record_e : u16 {
    net_player_add = 1,
    net_player_remove = 2,
    net_player_update = 3,
};

struct net_message_layout_s {
    u16 type;
    const char* name;
    // True when the senders set kNetNoTimeStamp.
    bool unstamped;
    // Leading body fields, in the letters above.
    const char* body;
};

// Every game message type, ascending.
std::span<const net_message_layout_s> NetMessageLayouts();
// The table row of a type word's type, or null for a type not in the table.
const net_message_layout_s* FindNetMessageLayout(u16 _type_word);
// Reads the fields of a layout from the record's read position, as a receiver
// would, and tells whether they were all there.
bool SkipNetMessageFields(net_message_c& _message, const char* _body);
