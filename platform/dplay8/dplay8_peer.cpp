#include "platform/dplay8/dplay8_peer.h"

#include <array>
#include <atomic>
#include <mutex>

#include <asio/ip/udp.hpp>
#include <asio/steady_timer.hpp>

#include "platform/dplay8/dplay8_sockets.h"
#include "platform/dplay8/dplay8_wire.h"
#include "platform/dplay8/dplay8_worker.h"

namespace {

std::mutex config_mutex;
dplay8_search_config_c config;

} // namespace

void Dplay8SetSearchConfig(const dplay8_search_config_c& _config)
{
    std::lock_guard<std::mutex> lock(config_mutex);
    config = _config;
}

dplay8_search_config_c Dplay8GetSearchConfig()
{
    std::lock_guard<std::mutex> lock(config_mutex);
    return config;
}

struct dplay8_peer_c::search_c {
    search_c(void* context, dpn_message_handler handler)
        : context(context), handler(handler), udp(worker.Io()), timer(worker.Io())
    {}

    bool Open();
    void Start(const std::vector<std::string>& hosts, u16 port);
    void Round(u32 round);
    void Listen();
    void Finish(dpn_result result);

    void* context;
    dpn_message_handler handler;
    dplay8_worker_c worker; // before the sockets: they must go first
    asio::ip::udp::socket udp;
    asio::steady_timer timer;

    // Worker thread only, after Start.
    std::atomic<dpn_handle> handle{DPN_INVALID_HANDLE}; // of the running or last search
    dpn_guid_c application;
    u32 retry_count = 0;
    u32 retry_interval_ms = 0;
    u32 timeout_ms = 0;
    std::atomic<bool> active{false}; // set by EnumHosts, cleared when the search ends
    std::vector<asio::ip::udp::endpoint> targets;
    std::vector<u8> query;
    std::array<u8, 1024> answer{};
    asio::ip::udp::endpoint answer_sender;
};

bool dplay8_peer_c::search_c::Open()
{
    asio::error_code error;
    udp.open(asio::ip::udp::v4(), error);
    if (error)
        return false;
    udp.set_option(asio::socket_base::broadcast(true), error);
    udp.bind({asio::ip::address_v4::any(), 0}, error);
    return !error;
}

void dplay8_peer_c::search_c::Start(const std::vector<std::string>& hosts, u16 port)
{
    targets.clear();
    asio::ip::udp::resolver resolver(worker.Io());
    for (const std::string& host : hosts) {
        asio::error_code error;
        for (const auto& entry : resolver.resolve(asio::ip::udp::v4(), host, std::to_string(port), error))
            targets.push_back(entry.endpoint());
    }
    query = dplay8_wire::Query(application, handle);
    Listen();
    Round(0);
}

void dplay8_peer_c::search_c::Round(u32 round)
{
    if (!active)
        return;
    for (const auto& target : targets) {
        asio::error_code ignored;
        udp.send_to(asio::buffer(query), target, 0, ignored);
    }
    const bool last = round + 1 >= retry_count;
    timer.expires_after(std::chrono::milliseconds(last ? timeout_ms : retry_interval_ms));
    timer.async_wait([this, round, last](const asio::error_code& error) {
        if (error || !active)
            return;
        if (last)
            Finish(DPN_OK);
        else
            Round(round + 1);
    });
}

void dplay8_peer_c::search_c::Listen()
{
    udp.async_receive_from(
        asio::buffer(answer), answer_sender, [this](const asio::error_code& error, std::size_t size) {
            if (error == asio::error::operation_aborted || !udp.is_open())
                return;
            u32 query_id = 0;
            u16 port = 0;
            dpn_application_desc_c desc;
            if (!error && active && dplay8_wire::ReadAnswer(answer.data(), size, &query_id, &desc, &port) &&
                query_id == handle && (application == dpn_guid_c() || desc.application == application)) {
                dplay8_address_c sender;
                sender.AddComponent(DPNA_KEY_PROVIDER, DPNA_VALUE_TCPIPPROVIDER);
                sender.AddComponent(DPNA_KEY_HOSTNAME, Dplay8AddressText(answer_sender.address()));
                sender.AddComponent(DPNA_KEY_PORT, port);
                dpn_msg_enum_hosts_response_c response{&desc, &sender, handle};
                handler(context, DPN_MSGID_ENUM_HOSTS_RESPONSE, &response);
            }
            Listen();
        });
}

void dplay8_peer_c::search_c::Finish(dpn_result result)
{
    if (!active.exchange(false))
        return;
    timer.cancel();
    dpn_msg_async_op_complete_c complete{handle, result};
    handler(context, DPN_MSGID_ASYNC_OP_COMPLETE, &complete);
}

dplay8_peer_c::dplay8_peer_c() = default;

dplay8_peer_c::~dplay8_peer_c()
{
    Close(0);
}

dpn_result dplay8_peer_c::EnumHosts(const dpn_application_desc_c& _desc, const dplay8_address_c* _host,
                                    u32 _retry_count, u32 _retry_interval_ms, u32 _timeout_ms, dpn_handle* _handle)
{
    if (!IsInitialized())
        return DPNERR_UNINITIALIZED;
    const dplay8_search_config_c defaults = Dplay8GetSearchConfig();
    std::vector<std::string> hosts = defaults.hosts;
    u32 port = defaults.port;
    if (_host != nullptr) {
        std::string host;
        if (_host->GetComponent(DPNA_KEY_HOSTNAME, &host) != DPN_OK || host.empty())
            return DPNERR_ADDRESSING;
        hosts = {host};
        if (_host->GetComponent(DPNA_KEY_PORT, &port) == DPN_OK && (port == 0 || port > 65535))
            return DPNERR_ADDRESSING;
    }
    if (!_search) {
        auto search = std::make_unique<search_c>(_context, _handler);
        if (!search->Open())
            return DPNERR_ADDRESSING;
        _search = std::move(search);
    }
    search_c* search = _search.get();
    if (search->active.exchange(true))
        return DPNERR_INVALIDSTATE;
    const dpn_handle handle = DpnNextHandle();
    const u32 count = _retry_count != 0 ? _retry_count : defaults.retry_count;
    const u32 interval = _retry_interval_ms != 0 ? _retry_interval_ms : defaults.retry_interval_ms;
    const u32 timeout = _timeout_ms != 0 ? _timeout_ms : defaults.timeout_ms;
    const dpn_guid_c application = _desc.application;
    search->handle = handle;
    search->worker.Post([=] {
        search->application = application;
        search->retry_count = count;
        search->retry_interval_ms = interval;
        search->timeout_ms = timeout;
        search->Start(hosts, static_cast<u16>(port));
    });
    if (_handle != nullptr)
        *_handle = handle;
    return DPNSUCCESS_PENDING;
}

dpn_result dplay8_peer_c::CancelAsyncOperation(dpn_handle _handle, u32 _flags)
{
    if (!_search)
        return DPNERR_INVALIDSTATE;
    if (_handle == DPN_INVALID_HANDLE && (_flags & DPNCANCEL_ENUM) == 0)
        return DPNERR_INVALIDPARAM;
    search_c* search = _search.get();
    search->worker.Post([search, _handle] {
        if (_handle == DPN_INVALID_HANDLE || _handle == search->handle)
            search->Finish(DPNERR_USERCANCEL);
    });
    return DPN_OK;
}

dpn_result dplay8_peer_c::Close(u32)
{
    if (!_search)
        return DPN_OK;
    if (_search->worker.IsCurrent())
        return DPNERR_INVALIDSTATE;
    _search->worker.Stop();
    asio::error_code ignored;
    _search->udp.close(ignored);
    _search.reset();
    return DPN_OK;
}
