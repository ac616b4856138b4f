#pragma once
// The session protocol's vocabulary: type-word bits, session message types,
// the limits that keep every record inside its 4096-byte payload, and the
// constants of the transport.
//
// Wire message: f32 time stamp (-1.0 with kNetNoTimeStamp), u16 type word, the
// body, and a u16 seed when kNetScrambled is set. A queued record holds the
// time in its time field and, in its payload, the type word, the body, the
// seed, and last the u32 sender id (kLocalSender for local events and for the
// server's own messages).
// The flag bits are the record's (kNetNoTimeStamp, kNetRelay, kNetCarried,
// kNetScrambled); the session protocol takes only the low ten bits as the type.
#include "app/message/net_message_type.h"
#include "foundation/types.h"
#include "platform/dplay8/dplay8.h"

inline constexpr u16 kNetTypeBits = 0x3FF;

inline constexpr u32 kLocalSender = 0xFFFFFFFF;

// Session message types.
enum net_session_type_e : u16 {
    net_join_request = 1,
    net_player_announcement = 2,
    net_welcome = 3,
    net_player_dropped = 4,
    net_player_list_request = 5,
    net_session_closed = 6,
    net_connected = 7,
    net_connect_failed = 8,
    net_session_found = 9,
    net_search_finished = 10,
    net_chat_to_server = 11,
    net_chat_line = 12,
    net_name_change = 13,
    net_object_removed = 15,
    net_object_update = 16,
    net_ping = 17,
    net_ping_answer = 18,
    // Queued by the transport only, never sent: a connection ended (u32 its
    // transport id, kLocalSender for this machine's own session). The
    // dispatcher turns it into type 4 for the player it belonged to.
    net_connection_lost = 19,
};

// Reasons of net_connect_failed.
enum net_connect_failure_e : u8 {
    net_failure_other = 1,
    net_failure_session_full = 2,
    net_failure_no_response = 3,
    net_failure_invalid_password = 4,
};

// A body may take at most this much, so that the type word, the seed and the
// sender id still fit in the record beside it.
inline constexpr u32 kMaxBodySize = 4096 - 2 - 2 - 4;
// A received wire message: the time stamp and at most 4092 bytes.
inline constexpr u32 kMaxWireSize = 4 + 4092;
inline constexpr u32 kMinWireSize = 4 + 2;

inline constexpr u16 kDefaultPort = 20320;
// The game's application id {50EB297F-A2DE-406E-9EBF-30E02F2EE332}.
inline constexpr dpn_guid_c kApplicationGuid{
    {0x7F, 0x29, 0xEB, 0x50, 0xDE, 0xA2, 0x6E, 0x40, 0x9E, 0xBF, 0x30, 0xE0, 0x2F, 0x2E, 0xE3, 0x32}};

// Keep-alive: a server pings every player this often and drops one that
// missed this many; a client closes after hearing nothing for this long.
inline constexpr f64 kPingInterval = 4.0;
inline constexpr i32 kMaxMissedPings = 40;
inline constexpr f64 kServerSilence = 60.0;

// Records one sender may have waiting for the main thread; a client past it
// is dropped as a flood.
inline constexpr u32 kMaxQueuedPerSender = 1024;

// True for the types the protocol itself handles (and never relays).
inline constexpr bool IsSessionType(u16 _type)
{
    return _type >= 1 && _type <= 19;
}
