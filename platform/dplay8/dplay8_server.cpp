#include "platform/dplay8/dplay8_server.h"

#include <array>
#include <map>
#include <mutex>
#include <set>

#include "platform/dplay8/dplay8_sockets.h"
#include "platform/dplay8/dplay8_stream.h"
#include "platform/dplay8/dplay8_worker.h"

namespace {

// Connections still owing their greeting; more are turned away at once.
constexpr std::size_t kMaxGreetingConnections = 64;
constexpr int kEphemeralAttempts = 16;

} // namespace

struct dplay8_server_c::session_c {
    explicit session_c(void* context, dpn_message_handler handler)
        : context(context), handler(handler), acceptor(worker.Io()), udp(worker.Io())
    {}

    dpn_result Open(u16 wanted_port);
    void Accept();
    void Greet(std::shared_ptr<dplay8_stream_c> stream);
    bool OnGreeting(const std::shared_ptr<dplay8_stream_c>& stream, const std::shared_ptr<dpnid>& id,
                    dplay8_wire::frame_kind_e kind, const u8* body, std::size_t size);
    dpn_result Admission(const u8* body, std::size_t size);
    void Answer();
    void Tell(u32 message_id, void* message) { handler(context, message_id, message); }
    void Drop(dpnid player);
    void Shut();

    void* context;
    dpn_message_handler handler;
    dplay8_worker_c worker; // before the sockets: they must go first
    asio::ip::tcp::acceptor acceptor;
    asio::ip::udp::socket udp;
    u16 port = 0;

    mutable std::mutex desc_mutex;
    dpn_application_desc_c desc;

    // Worker thread only.
    std::map<dpnid, std::shared_ptr<dplay8_stream_c>> clients;
    std::set<std::shared_ptr<dplay8_stream_c>> greeting;
    dpnid next_id = DPNID_FIRST_CLIENT;
    std::array<u8, 512> query{};
    asio::ip::udp::endpoint query_sender;
};

dpn_result dplay8_server_c::session_c::Open(u16 wanted_port)
{
    // With any port wanted, look for one free for both the session and the search.
    const int attempts = wanted_port == 0 ? kEphemeralAttempts : 1;
    for (int attempt = 0; attempt < attempts; ++attempt) {
        if (!Dplay8OpenAcceptor(acceptor, wanted_port))
            return DPNERR_ADDRESSING;
        port = acceptor.local_endpoint().port();
        if (Dplay8OpenUdp(udp, port))
            return DPN_OK;
        if (wanted_port != 0)
            return DPN_OK; // searches will not find it, but it can be joined by address
        asio::error_code ignored;
        acceptor.close(ignored);
    }
    return DPNERR_ADDRESSING;
}

void dplay8_server_c::session_c::Accept()
{
    acceptor.async_accept([this](const asio::error_code& error, asio::ip::tcp::socket socket) {
        if (error == asio::error::operation_aborted || !acceptor.is_open())
            return;
        if (!error) {
            auto stream = std::make_shared<dplay8_stream_c>(std::move(socket));
            if (greeting.size() < kMaxGreetingConnections)
                Greet(stream);
            else
                stream->Close();
        }
        Accept();
    });
}

void dplay8_server_c::session_c::Greet(std::shared_ptr<dplay8_stream_c> stream)
{
    greeting.insert(stream);
    auto id = std::make_shared<dpnid>(0);
    std::weak_ptr<dplay8_stream_c> weak = stream;
    stream->Start(
        [this, weak, id](dplay8_wire::frame_kind_e kind, const u8* body, std::size_t size) {
            auto stream = weak.lock();
            if (!stream)
                return false;
            if (*id == 0)
                return OnGreeting(stream, id, kind, body, size);
            if (kind != dplay8_wire::FRAME_DATA) {
                Drop(*id);
                return false;
            }
            dpn_msg_receive_c receive{*id, body, static_cast<u32>(size)};
            Tell(DPN_MSGID_RECEIVE, &receive);
            return true;
        },
        [this, weak, id] {
            if (*id != 0) {
                if (clients.erase(*id) > 0) {
                    dpn_msg_player_c destroyed{*id};
                    Tell(DPN_MSGID_DESTROY_PLAYER, &destroyed);
                }
            } else if (auto stream = weak.lock()) {
                greeting.erase(stream);
            }
        });
    stream->SetDeadline(kHelloMilliseconds);
}

dpn_result dplay8_server_c::session_c::Admission(const u8* body, std::size_t size)
{
    dpn_guid_c application;
    std::u16string password;
    if (!dplay8_wire::ReadHello(body, size, &application, &password))
        return DPNERR_GENERIC;
    std::lock_guard<std::mutex> lock(desc_mutex);
    if (!(application == desc.application))
        return DPNERR_INVALIDAPPLICATION;
    if ((desc.flags & DPNSESSION_REQUIREPASSWORD) != 0 && password != desc.password)
        return DPNERR_INVALIDPASSWORD;
    if (desc.max_players != 0 && clients.size() + 1 >= desc.max_players)
        return DPNERR_SESSIONFULL;
    return DPN_OK;
}

bool dplay8_server_c::session_c::OnGreeting(const std::shared_ptr<dplay8_stream_c>& stream,
                                            const std::shared_ptr<dpnid>& id, dplay8_wire::frame_kind_e kind,
                                            const u8* body, std::size_t size)
{
    greeting.erase(stream);
    stream->CancelDeadline();
    if (kind != dplay8_wire::FRAME_HELLO)
        return false;
    dpn_result result = Admission(body, size);
    const dpnid candidate = next_id;
    if (result == DPN_OK) {
        dpn_msg_player_c indicate{candidate};
        if (DPN_FAILED(handler(context, DPN_MSGID_INDICATE_CONNECT, &indicate)))
            result = DPNERR_HOSTREJECTEDCONNECTION;
    }
    if (result != DPN_OK) {
        const std::vector<u8> refusal = dplay8_wire::U32Body(result);
        stream->Send(dplay8_wire::FRAME_REFUSE, refusal.data(), refusal.size());
        stream->CloseAfterSend();
        return true;
    }
    *id = candidate;
    ++next_id;
    if (next_id == 0xFFFFFFFF)
        next_id = DPNID_FIRST_CLIENT;
    clients[candidate] = stream;
    const std::vector<u8> acceptance = dplay8_wire::U32Body(candidate);
    stream->Send(dplay8_wire::FRAME_ACCEPT, acceptance.data(), acceptance.size());
    dpn_msg_player_c created{candidate};
    Tell(DPN_MSGID_CREATE_PLAYER, &created);
    return true;
}

void dplay8_server_c::session_c::Answer()
{
    udp.async_receive_from(asio::buffer(query), query_sender, [this](const asio::error_code& error, std::size_t size) {
        if (error == asio::error::operation_aborted || !udp.is_open())
            return;
        dpn_guid_c application;
        u32 query_id = 0;
        if (!error && dplay8_wire::ReadQuery(query.data(), size, &application, &query_id)) {
            dpn_application_desc_c offered;
            {
                std::lock_guard<std::mutex> lock(desc_mutex);
                offered = desc;
            }
            offered.current_players = static_cast<u32>(clients.size() + 1);
            if (application == dpn_guid_c() || application == offered.application) {
                auto answer = std::make_shared<std::vector<u8>>(dplay8_wire::Answer(query_id, offered, port));
                udp.async_send_to(asio::buffer(*answer), query_sender,
                                  [answer](const asio::error_code&, std::size_t) {});
            }
        }
        Answer();
    });
}

void dplay8_server_c::session_c::Drop(dpnid player)
{
    auto found = clients.find(player);
    if (found == clients.end())
        return;
    auto stream = found->second;
    clients.erase(found);
    stream->CloseAfterSend();
    dpn_msg_player_c destroyed{player};
    Tell(DPN_MSGID_DESTROY_PLAYER, &destroyed);
}

void dplay8_server_c::session_c::Shut()
{
    worker.Stop();
    asio::error_code ignored;
    acceptor.close(ignored);
    udp.close(ignored);
    for (auto& [id, stream] : clients)
        stream->Close();
    for (auto& stream : greeting)
        stream->Close();
    clients.clear();
    greeting.clear();
}

dplay8_server_c::dplay8_server_c() = default;

dplay8_server_c::~dplay8_server_c()
{
    Close(0);
}

dpn_result dplay8_server_c::Host(const dpn_application_desc_c& _desc, const dplay8_address_c* _device)
{
    if (!IsInitialized())
        return DPNERR_UNINITIALIZED;
    if (_session)
        return DPNERR_INVALIDSTATE;
    u32 port = 0;
    if (_device != nullptr && _device->GetComponent(DPNA_KEY_PORT, &port) == DPN_OK && port > 65535)
        return DPNERR_ADDRESSING;
    auto session = std::make_unique<session_c>(_context, _handler);
    session->desc = _desc;
    session->desc.instance = DpnNewGuid();
    session->desc.session_name.resize(std::min<std::size_t>(_desc.session_name.size(), DPN_MAX_NAME_LENGTH));
    session->desc.password.resize(std::min<std::size_t>(_desc.password.size(), DPN_MAX_NAME_LENGTH));
    const dpn_result opened = session->Open(static_cast<u16>(port));
    if (opened != DPN_OK) {
        session->Shut();
        return opened;
    }
    session_c* running = session.get();
    running->worker.Post([running] {
        running->Accept();
        if (running->udp.is_open())
            running->Answer();
    });
    _session = std::move(session);
    return DPN_OK;
}

dpn_result dplay8_server_c::SetApplicationDesc(const dpn_application_desc_c& _desc)
{
    if (!_session)
        return DPNERR_INVALIDSTATE;
    std::lock_guard<std::mutex> lock(_session->desc_mutex);
    dpn_application_desc_c& desc = _session->desc;
    desc.flags = _desc.flags;
    desc.max_players = _desc.max_players;
    desc.session_name = _desc.session_name.substr(0, DPN_MAX_NAME_LENGTH);
    desc.password = _desc.password.substr(0, DPN_MAX_NAME_LENGTH);
    return DPN_OK;
}

dpn_result dplay8_server_c::GetApplicationDesc(dpn_application_desc_c* _desc) const
{
    if (!_session)
        return DPNERR_INVALIDSTATE;
    std::lock_guard<std::mutex> lock(_session->desc_mutex);
    *_desc = _session->desc;
    return DPN_OK;
}

u16 dplay8_server_c::GetHostPort() const
{
    return _session ? _session->port : 0;
}

dpn_result dplay8_server_c::SendTo(dpnid _player, const u8* _data, u32 _size, u32)
{
    if (!_session)
        return DPNERR_INVALIDSTATE;
    if (_size > DPN_MAX_MESSAGE_SIZE || (_data == nullptr && _size > 0))
        return _size > DPN_MAX_MESSAGE_SIZE ? DPNERR_SENDTOOLARGE : DPNERR_INVALIDPARAM;
    session_c* session = _session.get();
    auto bytes = std::make_shared<std::vector<u8>>(_data, _data + _size);
    session->worker.Post([session, _player, bytes] {
        auto found = session->clients.find(_player);
        if (found == session->clients.end())
            return;
        auto stream = found->second;
        if (!stream->Send(dplay8_wire::FRAME_DATA, bytes->data(), bytes->size()))
            session->Drop(_player); // it stopped reading: cut off
    });
    return DPN_OK;
}

dpn_result dplay8_server_c::DestroyClient(dpnid _player)
{
    if (!_session)
        return DPNERR_INVALIDSTATE;
    session_c* session = _session.get();
    session->worker.Post([session, _player] { session->Drop(_player); });
    return DPN_OK;
}

dpn_result dplay8_server_c::Close(u32)
{
    if (!_session)
        return DPN_OK;
    if (_session->worker.IsCurrent())
        return DPNERR_INVALIDSTATE;
    _session->Shut();
    _session.reset();
    return DPN_OK;
}
