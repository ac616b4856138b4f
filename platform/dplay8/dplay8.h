#pragma once
// Client/server sessions, session search and message delivery in the shape the
// network layer expects: a server object that hosts, a client object that
// joins, a peer object that only searches, and address objects. Every call
// returns a dpn_result; nothing throws. Outcomes of asynchronous calls and
// everything that arrives from the network reach the object's message handler,
// called on the object's own thread (one thread per object), never after the
// object's Close has returned.
//
// Sessions run over TCP, one connection per client, so delivery is reliable
// and ordered whatever flags a send carries; message boundaries are kept. The
// search is a UDP query sent to a list of addresses (the broadcast address on a
// LAN, loopback in tests, see dplay8_search_config_c) at the port each host
// listens on; hosts answer on the same port number they accept sessions on.
#include <array>
#include <string>

#include "foundation/types.h"

using dpn_result = u32;
using dpnid = u32;
using dpn_handle = u32;

constexpr dpn_result DPN_OK = 0;
constexpr dpn_result DPNSUCCESS_PENDING = 0x0015800E;
constexpr dpn_result DPNERR_GENERIC = 0x80004005;
constexpr dpn_result DPNERR_INVALIDPARAM = 0x80070057;
constexpr dpn_result DPNERR_INVALIDPASSWORD = 0x80158410;
constexpr dpn_result DPNERR_NORESPONSE = 0x80158510;
constexpr dpn_result DPNERR_SESSIONFULL = 0x80158610;
// Our own codes for the remaining failures.
constexpr dpn_result DPNERR_UNINITIALIZED = 0x80158A01;
constexpr dpn_result DPNERR_ALREADYINITIALIZED = 0x80158A02;
constexpr dpn_result DPNERR_INVALIDSTATE = 0x80158A03; // hosting or connected already, or not yet
constexpr dpn_result DPNERR_ADDRESSING = 0x80158A04;   // no usable host name, port or URL
constexpr dpn_result DPNERR_INVALIDPLAYER = 0x80158A05;
constexpr dpn_result DPNERR_CONNECTIONLOST = 0x80158A06;
constexpr dpn_result DPNERR_INVALIDAPPLICATION = 0x80158A07;
constexpr dpn_result DPNERR_USERCANCEL = 0x80158A08;
constexpr dpn_result DPNERR_SENDTOOLARGE = 0x80158A09;
constexpr dpn_result DPNERR_HOSTREJECTEDCONNECTION = 0x80158A0A;

inline bool DPN_FAILED(dpn_result result)
{
    return (result & 0x80000000u) != 0;
}

// The largest message a send accepts and a receive delivers.
constexpr u32 DPN_MAX_MESSAGE_SIZE = 16384;
// Longest session name and password, in UTF-16 units; longer ones are cut.
constexpr u32 DPN_MAX_NAME_LENGTH = 300;

constexpr u32 DPNSESSION_CLIENT_SERVER = 0x1;
constexpr u32 DPNSESSION_REQUIREPASSWORD = 0x80;
constexpr u32 DPNINITIALIZE_DISABLELINKTUNING = 0x4;
constexpr u32 DPNCANCEL_ENUM = 0x4;
// A client sees its server as this player; the server numbers its clients
// from the next id up.
constexpr dpnid DPNID_SERVER = 1;
constexpr dpnid DPNID_FIRST_CLIENT = 2;

// Handle given to the message handler for a search that the peer cancelled.
constexpr dpn_handle DPN_INVALID_HANDLE = 0;

struct dpn_guid_c {
    std::array<u8, 16> bytes{};
    bool operator==(const dpn_guid_c&) const = default;
};

// Makes a fresh random identifier (for session instances).
dpn_guid_c DpnNewGuid();
// The next handle of an asynchronous operation, unique in the process.
dpn_handle DpnNextHandle();

// What a host offers and a client asks for. max_players counts every player
// of the session, the host's own included; 0 means no limit.
struct dpn_application_desc_c {
    u32 flags = 0;
    dpn_guid_c instance;
    dpn_guid_c application;
    u32 max_players = 0;
    u32 current_players = 0;
    std::u16string session_name;
    std::u16string password;
};

// Connect time-out of one attempt and how many attempts follow a failed one.
struct dpn_caps_c {
    u32 connect_timeout_ms = 2000;
    u32 connect_retries = 2;
};

// Message ids given to the handler, with the record each one points to.
enum dpn_message_id_e : u32 {
    DPN_MSGID_RECEIVE = 1,              // dpn_msg_receive_c
    DPN_MSGID_CONNECT_COMPLETE,         // dpn_msg_connect_complete_c
    DPN_MSGID_ENUM_HOSTS_RESPONSE,      // dpn_msg_enum_hosts_response_c
    DPN_MSGID_ASYNC_OP_COMPLETE,        // dpn_msg_async_op_complete_c
    DPN_MSGID_CREATE_PLAYER,            // dpn_msg_player_c: a client was admitted
    DPN_MSGID_DESTROY_PLAYER,           // dpn_msg_player_c: a client left or was destroyed
    DPN_MSGID_TERMINATE_SESSION,        // dpn_msg_terminate_session_c: the client's session ended
    DPN_MSGID_INDICATE_CONNECT,         // dpn_msg_player_c: a client asks to join; a failure result refuses it
    DPN_MSGID_INDICATED_CONNECT_ABORTED // dpn_msg_player_c
};

struct dpn_msg_receive_c {
    dpnid sender = 0; // on a client: the server's id
    const u8* data = nullptr;
    u32 size = 0;
};

struct dpn_msg_connect_complete_c {
    dpn_handle handle = 0;
    dpn_result result = DPN_OK;
    dpnid local_player = 0; // the id the server gave this client
};

class dplay8_address_c;

struct dpn_msg_enum_hosts_response_c {
    const dpn_application_desc_c* desc = nullptr;
    const dplay8_address_c* sender = nullptr; // the host's session address
    dpn_handle handle = 0;                    // the search it answers
};

struct dpn_msg_async_op_complete_c {
    dpn_handle handle = 0;
    dpn_result result = DPN_OK;
};

struct dpn_msg_player_c {
    dpnid player = 0;
};

struct dpn_msg_terminate_session_c {
    dpn_result result = DPN_OK;
};

// Called on the object's thread; the message record lives only for the call.
// The result matters only for DPN_MSGID_INDICATE_CONNECT.
using dpn_message_handler = dpn_result (*)(void* context, u32 message_id, void* message);

// What the server, client and peer objects share: the handler they report
// to, bound once before any other call.
class dplay8_object_c {
public:
    // DPNERR_INVALIDPARAM without a handler, DPNERR_ALREADYINITIALIZED the
    // second time. The flags are accepted and have no effect.
    dpn_result Initialize(void* _context, dpn_message_handler _handler, u32 _flags);

protected:
    bool IsInitialized() const { return _handler != nullptr; }

    void* _context = nullptr;
    dpn_message_handler _handler = nullptr;
};

// Converts between the narrow text of the game and the UTF-16 names of the
// session; narrow bytes map one to one to the first 256 code points, so any
// text survives the round trip. Units above 255 become '?'.
std::u16string DpnWiden(const std::string& text, std::size_t max_units = DPN_MAX_NAME_LENGTH);
std::string DpnNarrow(const std::u16string& text);
