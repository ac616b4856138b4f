#include "net/direct_play_net_manager.h"

#include <cstring>

#include "net/net_host_text.h"
#include "net/net_protocol.h"

namespace {

// Connect attempts: each bounded, a few in a row, about 2.5 s in all.
constexpr u32 kConnectTimeoutMs = 500;
constexpr u32 kConnectRetries = 5;
// Sessions one search reports at most; a flood of answers goes no further.
constexpr std::size_t kMaxFoundSessions = 256;
constexpr std::size_t kMaxFoundName = 1000;

const char* MessageName(u32 id)
{
    switch (id) {
    case DPN_MSGID_CONNECT_COMPLETE: return "DPN_MSGID_CONNECT_COMPLETE";
    case DPN_MSGID_ENUM_HOSTS_RESPONSE: return "DPN_MSGID_ENUM_HOSTS_RESPONSE";
    case DPN_MSGID_ASYNC_OP_COMPLETE: return "DPN_MSGID_ASYNC_OP_COMPLETE";
    case DPN_MSGID_CREATE_PLAYER: return "DPN_MSGID_CREATE_PLAYER";
    case DPN_MSGID_DESTROY_PLAYER: return "DPN_MSGID_DESTROY_PLAYER";
    case DPN_MSGID_TERMINATE_SESSION: return "DPN_MSGID_TERMINATE_SESSION";
    case DPN_MSGID_INDICATE_CONNECT: return "DPN_MSGID_INDICATE_CONNECT";
    case DPN_MSGID_INDICATED_CONNECT_ABORTED: return "DPN_MSGID_INDICATED_CONNECT_ABORTED";
    default: return "unknown message";
    }
}

u8 FailureReason(dpn_result result)
{
    switch (result) {
    case DPNERR_INVALIDPASSWORD: return net_failure_invalid_password;
    case DPNERR_NORESPONSE: return net_failure_no_response;
    case DPNERR_SESSIONFULL: return net_failure_session_full;
    default: return net_failure_other;
    }
}

void LogError(const GameNetManager* manager, const char* step, dpn_result result)
{
    GameNetManager::Log(manager, 2, "Error: \"%s\" [%08x]", step, result);
}

dplay8_address_c DeviceAddress(u32 port, bool with_port)
{
    dplay8_address_c address;
    address.AddComponent(DPNA_KEY_PROVIDER, DPNA_VALUE_TCPIPPROVIDER);
    if (with_port)
        address.AddComponent(DPNA_KEY_PORT, port);
    return address;
}

std::string Url(const dplay8_address_c& address)
{
    std::string url;
    address.GetURL(&url);
    return url;
}

} // namespace

DirectPlayNetManager::DirectPlayNetManager() : _incoming(kMaxQueuedPerSender) {}

DirectPlayNetManager::~DirectPlayNetManager()
{
    // The layer's threads end here, before the queue they push to goes.
    ReleaseServer();
    ReleaseClient();
    ReleaseSearch();
}

int DirectPlayNetManager::Initialize()
{
    return 0;
}

void DirectPlayNetManager::SetSessionTime(f32 _t)
{
    _stamp_time = _t;
}

void DirectPlayNetManager::ReleaseServer()
{
    if (!_server)
        return;
    _server->Close(0);
    _server.reset();
}

void DirectPlayNetManager::ReleaseClient()
{
    if (!_client)
        return;
    _client->Close(0);
    _client.reset();
}

void DirectPlayNetManager::ReleaseSearch()
{
    if (!_peer)
        return;
    _peer->CancelAsyncOperation(DPN_INVALID_HANDLE, DPNCANCEL_ENUM);
    _peer->Close(0);
    _peer.reset();
}

int DirectPlayNetManager::Host(const char* _sessionName, u32 _maxPlayers, const char* _password, u32 _port)
{
    ReleaseServer();
    ReleaseClient();
    _incoming.Clear();
    _joined = false;
    _id_state = 0;
    Log(this, 0, "Starting session ...");
    auto server = std::make_unique<dplay8_server_c>();
    server->Initialize(this, Handler, DPNINITIALIZE_DISABLELINKTUNING);
    _session_name = DpnWiden(_sessionName != nullptr ? _sessionName : "");
    _max_players = _maxPlayers;
    dpn_application_desc_c desc;
    desc.flags = DPNSESSION_CLIENT_SERVER;
    desc.application = kApplicationGuid;
    desc.max_players = _maxPlayers;
    desc.session_name = _session_name;
    const dplay8_address_c device = DeviceAddress(_port, true);
    const dpn_result result = _port > 65535 ? DPNERR_ADDRESSING : server->Host(desc, &device);
    if (DPN_FAILED(result)) {
        LogError(this, "Couldn't start host.", result);
        return static_cast<int>(result);
    }
    _server = std::move(server);
    Log(this, 4, "SetServerUrl: \"%s\"", Url(DeviceAddress(_server->GetHostPort(), true)).c_str());
    SetPassword(_password);
    Log(this, 0, "... server is running!.");
    Facade()._session_time = 0.0f;
    _stamp_time = 0.0f;
    return 0;
}

void DirectPlayNetManager::SetPassword(const char* _password)
{
    if (!_server)
        return;
    dpn_application_desc_c desc;
    desc.flags = DPNSESSION_CLIENT_SERVER;
    desc.application = kApplicationGuid;
    desc.max_players = _max_players;
    desc.session_name = _session_name;
    if (_password != nullptr && _password[0] != 0) {
        desc.flags |= DPNSESSION_REQUIREPASSWORD;
        desc.password = DpnWiden(_password);
    }
    const dpn_result result = _server->SetApplicationDesc(desc);
    if (DPN_FAILED(result))
        LogError(this, "Couldn't set password.", result);
}

void DirectPlayNetManager::Close()
{
    _joined = false;
    if (_server) {
        ReleaseServer();
        _incoming.Clear();
        PostEvent(net_session_closed);
    } else if (_client) {
        ReleaseClient();
        _incoming.Clear();
    }
}

int DirectPlayNetManager::Connect(const char* _host, const char* _password)
{
    ReleaseServer();
    ReleaseClient();
    _incoming.Clear();
    _joined = false;
    Log(this, 0, "Connecting to session ...");
    Log(this, 4, "SetLocalUrl: \"%s\"", Url(DeviceAddress(0, false)).c_str());
    dplay8_address_c host;
    if (!ParseHostText(_host != nullptr ? _host : "", &host)) {
        LogError(this, "Couldn't connect to server.", DPNERR_ADDRESSING);
        const u8 body = net_failure_other;
        net_message_c reason;
        reason.Assign(&body, 1);
        PostLocal(net_connect_failed, reason);
        return static_cast<int>(DPNERR_ADDRESSING);
    }
    Log(this, 4, "SetHostUrl: \"%s\"", Url(host).c_str());
    auto client = std::make_unique<dplay8_client_c>();
    client->Initialize(this, Handler, DPNINITIALIZE_DISABLELINKTUNING);
    dpn_caps_c caps;
    client->GetCaps(&caps);
    caps.connect_timeout_ms = kConnectTimeoutMs;
    caps.connect_retries = kConnectRetries;
    client->SetCaps(caps);
    dpn_application_desc_c desc;
    desc.flags = DPNSESSION_CLIENT_SERVER;
    desc.application = kApplicationGuid;
    if (_password != nullptr && _password[0] != 0) {
        desc.flags |= DPNSESSION_REQUIREPASSWORD;
        desc.password = DpnWiden(_password);
    }
    Facade()._session_time = 0.0f;
    _stamp_time = 0.0f;
    dpn_handle handle = 0;
    _client = std::move(client);
    const dpn_result result = _client->Connect(desc, host, &handle);
    if (result != DPNSUCCESS_PENDING) {
        LogError(this, "Couldn't connect to server.", result);
        ReleaseClient();
        const u8 body = FailureReason(result);
        net_message_c reason;
        reason.Assign(&body, 1);
        PostLocal(net_connect_failed, reason);
        return static_cast<int>(result);
    }
    return 0;
}

void DirectPlayNetManager::EnumerateSessions()
{
    ReleaseSearch();
    {
        std::lock_guard<std::mutex> lock(_host_list_mutex);
        _host_list.clear();
    }
    Log(this, 0, "Searching for sessions ...");
    auto peer = std::make_unique<dplay8_peer_c>();
    peer->Initialize(this, Handler, DPNINITIALIZE_DISABLELINKTUNING);
    Log(this, 4, "SetLocalUrl: \"%s\"", Url(DeviceAddress(0, false)).c_str());
    dpn_application_desc_c desc;
    desc.application = kApplicationGuid;
    _peer = std::move(peer);
    // Zeros: the retries and time-out of the search configuration.
    const dpn_result result = _peer->EnumHosts(desc, nullptr, 0, 0, 0, nullptr);
    if (result != DPNSUCCESS_PENDING) {
        LogError(this, "Couldn't search for sessions.", result);
        ReleaseSearch();
        PostEvent(net_search_finished); // so that the search can be started again
    }
}

void DirectPlayNetManager::WireSend(u32 _dpnid, u16 _type, const net_message_c& _message)
{
    std::vector<u8> wire(6 + _message.GetLength());
    const f32 time = (_type & kNetNoTimeStamp) != 0 ? -1.0f : Facade()._session_time;
    std::memcpy(wire.data(), &time, 4);
    wire[4] = static_cast<u8>(_type);
    wire[5] = static_cast<u8>(_type >> 8);
    std::memcpy(wire.data() + 6, _message.GetPayload(), _message.GetLength());
    if (_client)
        _client->Send(wire.data(), static_cast<u32>(wire.size()), 0);
    else if (_server)
        _server->SendTo(_dpnid, wire.data(), static_cast<u32>(wire.size()), 0);
}

namespace {

// The body a sender may hand on: kMaxBodySize, and its seed beside it.
bool BodyFits(u16 type, const net_message_c& message)
{
    const u32 seed = (type & kNetScrambled) != 0 ? 2 : 0;
    return message.GetLength() <= kMaxBodySize + seed;
}

} // namespace

void DirectPlayNetManager::Send(u16 _type, net_message_c* _message, bool, bool, bool)
{
    if (!BodyFits(_type, *_message)) {
        LogError(this, "Message too long.", DPNERR_SENDTOOLARGE);
        return;
    }
    if (_client)
        WireSend(DPNID_SERVER, _type, *_message);
    else
        PostLocal(_type, *_message);
}

void DirectPlayNetManager::SendTo(net_player_c* _player, u16 _type, net_message_c* _message, bool, bool)
{
    if (!_server || _player == nullptr)
        return;
    if (!BodyFits(_type, *_message)) {
        LogError(this, "Message too long.", DPNERR_SENDTOOLARGE);
        return;
    }
    if (_player->dpnid == kLocalSender)
        PostLocal(_type, *_message);
    else
        WireSend(_player->dpnid, _type, *_message);
}

void DirectPlayNetManager::DropPlayer(u16 _playerId)
{
    net_message_c message;
    message.WriteU16(_playerId);
    if (_server)
        Facade().SendToGroup(0, net_player_dropped, &message, nullptr, nullptr, false, false);
    else if (_playerId == Facade()._local_player_id)
        PostLocal(net_player_dropped, message);
}

void DirectPlayNetManager::PostLocal(u16 _type, const net_message_c& _message)
{
    if (!BodyFits(_type, _message)) {
        LogError(this, "Message too long.", DPNERR_SENDTOOLARGE);
        return;
    }
    std::vector<u8> payload(2 + _message.GetLength() + 4);
    payload[0] = static_cast<u8>(_type);
    payload[1] = static_cast<u8>(_type >> 8);
    std::memcpy(payload.data() + 2, _message.GetPayload(), _message.GetLength());
    std::memset(payload.data() + payload.size() - 4, 0xFF, 4);
    net_message_c record;
    record.Assign(payload.data(), payload.size());
    record.SetTime((_type & kNetNoTimeStamp) != 0 ? -1.0f : _stamp_time.load());
    _incoming.Push(record, kLocalSender);
}

void DirectPlayNetManager::PostEvent(u16 _code)
{
    const u8 zero = 0;
    net_message_c body;
    body.Assign(&zero, 1);
    PostLocal(_code, body);
}

net_player_c* DirectPlayNetManager::FindPlayerByDpnid(u32 _id) const
{
    if (_id == kLocalSender)
        return Facade().FindPlayer(Facade()._local_player_id);
    // A client hears only its server, whatever player a message speaks of.
    if (!_server)
        return Facade().FindPlayer(0);
    for (net_player_c* player : Facade().GetPlayers(0))
        if (player->dpnid == _id)
            return player;
    return nullptr;
}

u16 DirectPlayNetManager::NewPlayerId()
{
    u16 candidate = static_cast<u16>(_id_state);
    _id_state = _id_state * 214013u + 2531011u;
    while (Facade().FindPlayer(candidate) != nullptr) {
        _id_state += 1;
        candidate = static_cast<u16>(_id_state);
        _id_state = _id_state * 214013u + 2531011u;
    }
    return candidate;
}

dpn_result DirectPlayNetManager::Handler(void* _context, u32 _message_id, void* _message)
{
    return static_cast<DirectPlayNetManager*>(_context)->OnTransport(_message_id, _message);
}

// Runs on the layer's threads: only the queue, the host list and the stamp
// time (all thread-safe) are touched here.
dpn_result DirectPlayNetManager::OnTransport(u32 _message_id, void* _message)
{
    if (_message_id == DPN_MSGID_RECEIVE) {
        OnReceive(*static_cast<dpn_msg_receive_c*>(_message));
        return DPN_OK;
    }
    LogLater(3, std::string("Received: \"") + MessageName(_message_id) + "\"");
    net_message_c body;
    switch (_message_id) {
    case DPN_MSGID_CONNECT_COMPLETE: {
        const auto* complete = static_cast<dpn_msg_connect_complete_c*>(_message);
        if (complete->result == DPN_OK) {
            PostEvent(net_connected);
        } else {
            const u8 reason = FailureReason(complete->result);
            body.Assign(&reason, 1);
            PostLocal(net_connect_failed, body);
        }
        break;
    }
    case DPN_MSGID_ENUM_HOSTS_RESPONSE: {
        const auto* response = static_cast<dpn_msg_enum_hosts_response_c*>(_message);
        const auto& instance = response->desc->instance.bytes;
        {
            std::lock_guard<std::mutex> lock(_host_list_mutex);
            if (_host_list.size() >= kMaxFoundSessions ||
                !_host_list.insert(std::vector<u8>(instance.begin(), instance.end())).second)
                break;
        }
        std::string name = DpnNarrow(response->desc->session_name);
        name.resize(std::min(name.size(), kMaxFoundName));
        std::string url;
        response->sender->GetURL(&url);
        body.WriteString(name).WriteString(url).WriteBit((response->desc->flags & DPNSESSION_REQUIREPASSWORD) != 0);
        PostLocal(net_session_found, body);
        break;
    }
    case DPN_MSGID_ASYNC_OP_COMPLETE: PostEvent(net_search_finished); break;
    case DPN_MSGID_DESTROY_PLAYER:
        body.WriteU32(static_cast<dpn_msg_player_c*>(_message)->player);
        PostLocal(net_connection_lost, body);
        break;
    case DPN_MSGID_TERMINATE_SESSION:
        body.WriteU32(kLocalSender);
        PostLocal(net_connection_lost, body);
        break;
    default: break;
    }
    return DPN_OK;
}

void DirectPlayNetManager::LogLater(int _level, std::string _text)
{
    std::lock_guard<std::mutex> lock(_log_mutex);
    // A peer must not grow the backlog without bound between frames.
    if (_log_lines.size() < kMaxQueuedPerSender)
        _log_lines.emplace_back(_level, std::move(_text));
}

void DirectPlayNetManager::FlushLog()
{
    std::vector<std::pair<int, std::string>> lines;
    {
        std::lock_guard<std::mutex> lock(_log_mutex);
        lines.swap(_log_lines);
    }
    for (const auto& [level, text] : lines)
        Log(this, level, "%s", text.c_str());
}

void DirectPlayNetManager::OnReceive(const dpn_msg_receive_c& _receive)
{
    // Too short for a time stamp and a type word, or too long for a record.
    if (_receive.size < kMinWireSize || _receive.size > kMaxWireSize || _receive.sender == kLocalSender)
        return;
    std::vector<u8> payload(_receive.data + 4, _receive.data + _receive.size);
    for (int i = 0; i < 4; ++i)
        payload.push_back(static_cast<u8>(_receive.sender >> (8 * i)));
    f32 time = 0.0f;
    std::memcpy(&time, _receive.data, 4);
    net_message_c record;
    record.Assign(payload.data(), payload.size());
    record.SetTime(time);
    _incoming.Push(record, _receive.sender);
}
