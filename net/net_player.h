#pragma once
// One player of the session, made by the session protocol when the player
// joins (on the server) or is announced (on a client).
#include <string>

#include "foundation/types.h"

class net_player_c {
public:
    std::string name;
    // Game-wide id, unique within the session; 0 is the server's own player.
    u16 player_id = 0;
    // The transport's id of the connection the player arrived on;
    // 0xFFFFFFFF for the server's own player. On a client every record
    // carries the server connection's id.
    u32 dpnid = 0xFFFFFFFF;
    // Clock ticks (net_clock_c) when any message of the player last arrived,
    // and when the server last pinged it.
    i64 last_heard = 0;
    i64 last_ping = 0;
    i32 missed_pings = 0;
};
