#pragma once
// The joining end of a session. Connect tries the host address (a host name
// or an IPv4 or IPv6 literal, and a port) up to 1 + connect_retries times,
// each attempt bounded by the connect time-out, then greets the server and
// waits for its answer. The handler hears exactly one
// DPN_MSGID_CONNECT_COMPLETE: DPN_OK with the id the server gave; or
// DPNERR_NORESPONSE when nobody answered, DPNERR_INVALIDPASSWORD,
// DPNERR_SESSIONFULL or another failure as the server refused; or
// DPNERR_ADDRESSING for a host that cannot be resolved. After a success every
// message from the server arrives as DPN_MSGID_RECEIVE from DPNID_SERVER and
// the end of the connection as DPN_MSGID_TERMINATE_SESSION.
#include <memory>

#include "platform/dplay8/dplay8.h"
#include "platform/dplay8/dplay8_address.h"

class dplay8_client_c : public dplay8_object_c {
public:
    dplay8_client_c();
    // Closes as Close does.
    ~dplay8_client_c();
    dplay8_client_c(const dplay8_client_c&) = delete;
    dplay8_client_c& operator=(const dplay8_client_c&) = delete;

    dpn_result GetCaps(dpn_caps_c* _caps) const;
    dpn_result SetCaps(const dpn_caps_c& _caps);
    // Asks to join the application of the description with its password
    // (used when DPNSESSION_REQUIREPASSWORD is set). Returns
    // DPNSUCCESS_PENDING and a handle the completion carries; DPNERR_ADDRESSING
    // when the host address has no host name; DPNERR_INVALIDSTATE when already
    // connecting or connected.
    dpn_result Connect(const dpn_application_desc_c& _desc, const dplay8_address_c& _host, dpn_handle* _handle);
    // Queues one message for the server, reliable and in order whatever the
    // flags. DPNERR_INVALIDSTATE before the connection completed.
    dpn_result Send(const u8* _data, u32 _size, u32 _flags);
    // Ends the connection; waits until the handler is no longer called. Not
    // from within the handler.
    dpn_result Close(u32 _flags);

private:
    struct session_c;

    dpn_caps_c _caps;
    std::unique_ptr<session_c> _session;
};
