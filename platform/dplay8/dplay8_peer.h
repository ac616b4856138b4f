#pragma once
// The searching end: EnumHosts sends a query datagram to every target of the
// search configuration (or to the one host address given), retry_count times
// retry_interval apart, and reports each answer for the application as
// DPN_MSGID_ENUM_HOSTS_RESPONSE, with the host's session address (host name =
// the answering address, port = its session port) and its description.
// A host answering several queries is reported each time. The search ends
// timeout after its last query with DPN_MSGID_ASYNC_OP_COMPLETE (DPN_OK), or
// at CancelAsyncOperation (DPNERR_USERCANCEL).
//
// Handles are unique in the process, so an answer can never be taken for one
// of an earlier search.
#include <memory>
#include <string>
#include <vector>

#include "platform/dplay8/dplay8.h"
#include "platform/dplay8/dplay8_address.h"

// Where and how a search without a host address looks; zeros passed to
// EnumHosts take these values.
struct dplay8_search_config_c {
    std::vector<std::string> hosts{"255.255.255.255"};
    u16 port = 20320;
    u32 retry_count = 3;
    u32 retry_interval_ms = 500;
    u32 timeout_ms = 1500;
};

// Process-wide, for searches that start afterwards.
void Dplay8SetSearchConfig(const dplay8_search_config_c& _config);
dplay8_search_config_c Dplay8GetSearchConfig();

class dplay8_peer_c : public dplay8_object_c {
public:
    dplay8_peer_c();
    // Closes as Close does.
    ~dplay8_peer_c();
    dplay8_peer_c(const dplay8_peer_c&) = delete;
    dplay8_peer_c& operator=(const dplay8_peer_c&) = delete;

    // Starts a search for the description's application (all zeros: any).
    // A null host searches the configured targets. Returns
    // DPNSUCCESS_PENDING; one search at a time (DPNERR_INVALIDSTATE).
    dpn_result EnumHosts(const dpn_application_desc_c& _desc, const dplay8_address_c* _host, u32 _retry_count,
                         u32 _retry_interval_ms, u32 _timeout_ms, dpn_handle* _handle);
    // Ends the search of that handle, or any with 0 and DPNCANCEL_ENUM.
    dpn_result CancelAsyncOperation(dpn_handle _handle, u32 _flags);
    // Ends every search; waits until the handler is no longer called. Not
    // from within the handler.
    dpn_result Close(u32 _flags);

private:
    struct search_c;

    std::unique_ptr<search_c> _search;
};
