#include "platform/dplay8/dplay8_client.h"

#include <atomic>

#include <asio/connect.hpp>
#include <asio/ip/tcp.hpp>
#include <asio/steady_timer.hpp>

#include "platform/dplay8/dplay8_stream.h"
#include "platform/dplay8/dplay8_worker.h"

namespace {

// How long a connected server may take to answer the greeting.
constexpr u32 kAnswerMilliseconds = 10000;

} // namespace

struct dplay8_client_c::session_c {
    session_c(void* context, dpn_message_handler handler, const dpn_caps_c& caps)
        : context(context), handler(handler), caps(caps), resolver(worker.Io()), timer(worker.Io())
    {}

    void Start(const std::string& host, u16 port);
    void Attempt(u32 attempt);
    void Greet(asio::ip::tcp::socket socket);
    bool OnFrame(dplay8_wire::frame_kind_e kind, const u8* body, std::size_t size);
    void OnClosed();
    void Complete(dpn_result result, dpnid local_player);
    void Terminate();

    void* context;
    dpn_message_handler handler;
    dpn_caps_c caps;
    dpn_handle handle = DpnNextHandle();
    dpn_guid_c application;
    std::u16string password;
    dplay8_worker_c worker; // before the sockets: they must go first
    asio::ip::tcp::resolver resolver;
    asio::steady_timer timer;
    asio::ip::tcp::resolver::results_type endpoints;
    std::shared_ptr<asio::ip::tcp::socket> attempt_socket;
    std::shared_ptr<dplay8_stream_c> stream;
    bool completed = false; // worker thread only
    std::atomic<bool> connected{false};
};

void dplay8_client_c::session_c::Start(const std::string& host, u16 port)
{
    resolver.async_resolve(host, std::to_string(port),
                           [this](const asio::error_code& error, asio::ip::tcp::resolver::results_type results) {
                               if (error == asio::error::operation_aborted)
                                   return;
                               if (error || results.empty()) {
                                   Complete(DPNERR_ADDRESSING, 0);
                                   return;
                               }
                               endpoints = results;
                               Attempt(0);
                           });
}

void dplay8_client_c::session_c::Attempt(u32 attempt)
{
    auto socket = std::make_shared<asio::ip::tcp::socket>(worker.Io());
    attempt_socket = socket;
    timer.expires_after(std::chrono::milliseconds(caps.connect_timeout_ms));
    timer.async_wait([socket](const asio::error_code& error) {
        if (!error) {
            asio::error_code ignored;
            socket->close(ignored);
        }
    });
    asio::async_connect(*socket, endpoints, [this, socket, attempt](const asio::error_code& error, const auto&) {
        timer.cancel();
        if (completed)
            return;
        if (!error) {
            Greet(std::move(*socket));
            return;
        }
        if (attempt < caps.connect_retries)
            Attempt(attempt + 1);
        else
            Complete(DPNERR_NORESPONSE, 0);
    });
}

void dplay8_client_c::session_c::Greet(asio::ip::tcp::socket socket)
{
    attempt_socket.reset();
    stream = std::make_shared<dplay8_stream_c>(std::move(socket));
    stream->Start(
        [this](dplay8_wire::frame_kind_e kind, const u8* body, std::size_t size) { return OnFrame(kind, body, size); },
        [this] { OnClosed(); });
    const std::vector<u8> hello = dplay8_wire::Hello(application, password);
    stream->Send(dplay8_wire::FRAME_HELLO, hello.data(), hello.size());
    stream->SetDeadline(kAnswerMilliseconds);
}

bool dplay8_client_c::session_c::OnFrame(dplay8_wire::frame_kind_e kind, const u8* body, std::size_t size)
{
    if (!completed) {
        stream->CancelDeadline();
        u32 value = 0;
        if (kind == dplay8_wire::FRAME_ACCEPT && dplay8_wire::ReadU32Body(body, size, &value)) {
            connected = true;
            Complete(DPN_OK, value);
            return true;
        }
        if (kind == dplay8_wire::FRAME_REFUSE && dplay8_wire::ReadU32Body(body, size, &value) && DPN_FAILED(value))
            Complete(value, 0);
        else
            Complete(DPNERR_GENERIC, 0);
        return false;
    }
    if (kind != dplay8_wire::FRAME_DATA) {
        Terminate();
        return false;
    }
    dpn_msg_receive_c receive{DPNID_SERVER, body, static_cast<u32>(size)};
    handler(context, DPN_MSGID_RECEIVE, &receive);
    return true;
}

void dplay8_client_c::session_c::OnClosed()
{
    if (!completed)
        Complete(DPNERR_NORESPONSE, 0);
    else
        Terminate();
}

void dplay8_client_c::session_c::Complete(dpn_result result, dpnid local_player)
{
    completed = true;
    dpn_msg_connect_complete_c complete{handle, result, local_player};
    handler(context, DPN_MSGID_CONNECT_COMPLETE, &complete);
}

void dplay8_client_c::session_c::Terminate()
{
    if (!connected.exchange(false))
        return;
    dpn_msg_terminate_session_c terminate{DPNERR_CONNECTIONLOST};
    handler(context, DPN_MSGID_TERMINATE_SESSION, &terminate);
}

dplay8_client_c::dplay8_client_c() = default;

dplay8_client_c::~dplay8_client_c()
{
    Close(0);
}

dpn_result dplay8_client_c::GetCaps(dpn_caps_c* _caps) const
{
    *_caps = this->_caps;
    return DPN_OK;
}

dpn_result dplay8_client_c::SetCaps(const dpn_caps_c& _caps)
{
    if (_caps.connect_timeout_ms == 0)
        return DPNERR_INVALIDPARAM;
    this->_caps = _caps;
    return DPN_OK;
}

dpn_result dplay8_client_c::Connect(const dpn_application_desc_c& _desc, const dplay8_address_c& _host,
                                    dpn_handle* _handle)
{
    if (!IsInitialized())
        return DPNERR_UNINITIALIZED;
    if (_session)
        return DPNERR_INVALIDSTATE;
    std::string host;
    u32 port = 0;
    if (_host.GetComponent(DPNA_KEY_HOSTNAME, &host) != DPN_OK || host.empty() ||
        _host.GetComponent(DPNA_KEY_PORT, &port) != DPN_OK || port == 0 || port > 65535)
        return DPNERR_ADDRESSING;
    auto session = std::make_unique<session_c>(_context, _handler, _caps);
    session->application = _desc.application;
    if ((_desc.flags & DPNSESSION_REQUIREPASSWORD) != 0)
        session->password = _desc.password.substr(0, DPN_MAX_NAME_LENGTH);
    if (_handle != nullptr)
        *_handle = session->handle;
    session_c* running = session.get();
    _session = std::move(session);
    running->worker.Post([running, host, port] { running->Start(host, static_cast<u16>(port)); });
    return DPNSUCCESS_PENDING;
}

dpn_result dplay8_client_c::Send(const u8* _data, u32 _size, u32)
{
    if (!_session || !_session->connected)
        return DPNERR_INVALIDSTATE;
    if (_size > DPN_MAX_MESSAGE_SIZE)
        return DPNERR_SENDTOOLARGE;
    if (_data == nullptr && _size > 0)
        return DPNERR_INVALIDPARAM;
    session_c* session = _session.get();
    auto bytes = std::make_shared<std::vector<u8>>(_data, _data + _size);
    session->worker.Post([session, bytes] {
        if (session->stream)
            session->stream->Send(dplay8_wire::FRAME_DATA, bytes->data(), bytes->size());
    });
    return DPN_OK;
}

dpn_result dplay8_client_c::Close(u32)
{
    if (!_session)
        return DPN_OK;
    if (_session->worker.IsCurrent())
        return DPNERR_INVALIDSTATE;
    _session->worker.Stop();
    if (_session->stream)
        _session->stream->Close();
    if (_session->attempt_socket) {
        asio::error_code ignored;
        _session->attempt_socket->close(ignored);
    }
    _session.reset();
    return DPN_OK;
}
