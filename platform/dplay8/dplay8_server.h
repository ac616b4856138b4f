#pragma once
// The hosting end of a session. Host listens for clients on a TCP port (port
// 0 of the device address: any free port, see GetHostPort) and answers
// searches on the UDP port of the same number. A client is admitted when it
// asks for this application, brings the password the description requires
// and the session has room (max_players counts the host's own player); else
// it is refused with DPNERR_INVALIDAPPLICATION, DPNERR_INVALIDPASSWORD or
// DPNERR_SESSIONFULL. The handler then hears DPN_MSGID_INDICATE_CONNECT (a
// failure result refuses with DPNERR_HOSTREJECTEDCONNECTION) and
// DPN_MSGID_CREATE_PLAYER, each message as DPN_MSGID_RECEIVE, and the end of
// the connection as DPN_MSGID_DESTROY_PLAYER. A connection that has not sent
// its greeting within kHelloMilliseconds is dropped unheard.
//
// Client ids start at DPNID_FIRST_CLIENT and are never reused by one server;
// clients see the server itself as DPNID_SERVER.
#include <memory>

#include "platform/dplay8/dplay8.h"
#include "platform/dplay8/dplay8_address.h"

class dplay8_server_c : public dplay8_object_c {
public:
    static constexpr u32 kHelloMilliseconds = 10000;

    dplay8_server_c();
    // Closes as Close does.
    ~dplay8_server_c();
    dplay8_server_c(const dplay8_server_c&) = delete;
    dplay8_server_c& operator=(const dplay8_server_c&) = delete;

    // Starts the session on the port of the one device address (a missing
    // port is 0). The description's instance is made here. DPNERR_ADDRESSING
    // when the port cannot be listened on; DPNERR_INVALIDSTATE when hosting.
    dpn_result Host(const dpn_application_desc_c& _desc, const dplay8_address_c* _device);
    // Changes the password, the player limit and the name of a running
    // session for clients that connect from now on.
    dpn_result SetApplicationDesc(const dpn_application_desc_c& _desc);
    dpn_result GetApplicationDesc(dpn_application_desc_c* _desc) const;
    // The port the session listens on, 0 when not hosting.
    u16 GetHostPort() const;
    // Queues one message for one client (any flags: delivery is always
    // reliable and in order). DPNERR_SENDTOOLARGE above DPN_MAX_MESSAGE_SIZE.
    // Messages for an unknown client are dropped.
    dpn_result SendTo(dpnid _player, const u8* _data, u32 _size, u32 _flags);
    // Ends one client's connection after what was queued for it is written;
    // the handler hears DPN_MSGID_DESTROY_PLAYER.
    dpn_result DestroyClient(dpnid _player);
    // Ends the session and every connection; waits until the handler is no
    // longer called. Not from within the handler.
    dpn_result Close(u32 _flags);

private:
    struct session_c;

    std::unique_ptr<session_c> _session;
};
