// The session protocol: what DirectPlayNetManager does with the records it
// takes off its queue, and the keep-alive, on the main thread.
#include <cstring>

#include "net/direct_play_net_manager.h"
#include "net/net_clock.h"
#include "net/net_protocol.h"
#include "net/net_scramble.h"

namespace {

u32 ReadLe32(const u8* bytes)
{
    return bytes[0] | bytes[1] << 8 | bytes[2] << 16 | static_cast<u32>(bytes[3]) << 24;
}

net_message_c U32Body(u32 value)
{
    net_message_c body;
    body.WriteU32(value);
    return body;
}

// The record without its last n payload bytes, read from the body start.
void DropTail(net_message_c& record, u32 n)
{
    const f32 time = record.GetTime();
    std::vector<u8> bytes(record.GetPayload(), record.GetPayload() + record.GetLength() - n);
    record.Assign(bytes.data(), bytes.size());
    record.SetTime(time);
    record.SetReadPos(2);
}

f32 ReadTailF32(const net_message_c& record)
{
    f32 value = 0.0f;
    std::memcpy(&value, record.GetPayload() + record.GetLength() - 4, 4);
    return value;
}

} // namespace

void DirectPlayNetManager::Update(f32)
{
    _stamp_time = Facade()._session_time;
    FlushLog();
    DropFlooders();
    // Local messages posted while dispatching are handled in this call too,
    // but no sender can keep the loop from ending.
    std::size_t budget = _incoming.GetCount() + kMaxQueuedPerSender;
    net_message_c record;
    while (budget-- > 0 && _incoming.Pop(record))
        Dispatch(record);
    KeepAlive();
}

void DirectPlayNetManager::Dispatch(net_message_c& _record)
{
    const u32 length = _record.GetLength();
    if (length < 6)
        return;
    const u32 sender_id = ReadLe32(_record.GetPayload() + length - 4);
    const u16 word = static_cast<u16>(_record.GetPayload()[0] | _record.GetPayload()[1] << 8);
    DropTail(_record, 4);
    if (!UnscrambleMessage(word, _record))
        return;
    net_player_c* sender = FindPlayerByDpnid(sender_id);
    const u16 type = word & kNetTypeBits;
    if (!Accepts(type, sender_id, sender))
        return;
    if (type == net_connection_lost) {
        _record.SetReadPos(2);
        const u32 lost = _record.ReadU32();
        if (!_record.IsOverflowed())
            OnConnectionLost(lost);
        return;
    }
    if ((word & kNetRelay) != 0 && _server && !IsSessionType(type)) {
        net_message_c copy;
        copy.Assign(_record.GetPayload() + 2, _record.GetLength() - 2);
        Facade().SendToGroup(0, word & ~kNetRelay, &copy, sender, FindPlayerByDpnid(kLocalSender), false, false);
    }
    if (sender != nullptr) {
        sender->last_heard = NetClock().Now();
        sender->missed_pings = 0;
    }
    _record.SetReadPos(2);
    u16 dropped = 0;
    if (type == net_player_dropped) {
        dropped = _record.ReadU16();
        if (_record.IsOverflowed())
            return;
    } else if (!Handle(type, _record, sender_id, sender)) {
        return;
    }
    Deliver(type, _record, sender);
    if (type == net_player_dropped)
        AfterDrop(dropped);
}

bool DirectPlayNetManager::Accepts(u16 _type, u32 _sender_id, const net_player_c* _sender) const
{
    const bool local = _sender_id == kLocalSender;
    const bool server = _server != nullptr;
    const bool from_server = _client != nullptr && !local;
    switch (_type) {
    case net_session_closed:
    case net_connected:
    case net_connect_failed:
    case net_session_found:
    case net_search_finished:
    case net_connection_lost: return local;
    case net_join_request: return server && _sender == nullptr;
    case net_player_announcement: return from_server || (server && local);
    case net_welcome: return from_server || (server && local);
    case net_player_dropped: return local || from_server;
    case net_player_list_request:
    case net_chat_to_server:
    case net_ping_answer: return server && _sender != nullptr;
    case net_chat_line: return from_server || (server && local);
    case net_name_change: return server ? _sender != nullptr : from_server;
    case net_object_removed:
    case net_object_update: return _sender != nullptr;
    case net_ping: return from_server;
    default:
        // Game messages; a server hears a client only once it joined.
        return !server || local || _sender != nullptr;
    }
}

bool DirectPlayNetManager::Handle(u16 _type, net_message_c& _record, u32 _sender_id, net_player_c*& _sender)
{
    GameNetManager& facade = Facade();
    const i64 now = NetClock().Now();
    switch (_type) {
    case net_join_request: {
        const string_c name = _record.ReadString();
        if (_record.IsOverflowed())
            return false;
        auto player = std::make_unique<net_player_c>();
        player->name = name.GetData();
        player->player_id = NewPlayerId();
        player->dpnid = _sender_id;
        player->last_heard = player->last_ping = now;
        net_player_c* joined = facade.AddPlayer(std::move(player));
        net_message_c welcome;
        welcome.WriteU16(joined->player_id).WriteF32(facade._session_time);
        facade.SendTo(joined, kNetNoTimeStamp | net_welcome, &welcome, false, false);
        net_message_c announcement;
        announcement.WriteString(joined->name).WriteU16(joined->player_id);
        facade.SendToGroup(0, kNetNoTimeStamp | net_player_announcement, &announcement, joined, nullptr, false, false);
        _sender = joined;
        return true;
    }
    case net_player_announcement: {
        if (_sender_id == kLocalSender)
            return true;
        const string_c name = _record.ReadString();
        const u16 id = _record.ReadU16();
        if (_record.IsOverflowed())
            return false;
        net_player_c* player = facade.FindPlayer(id);
        if (player == nullptr) {
            auto added = std::make_unique<net_player_c>();
            added->player_id = id;
            added->dpnid = _sender_id;
            added->last_heard = added->last_ping = now;
            added->name = name.GetData();
            player = facade.AddPlayer(std::move(added));
        }
        player->name = name.GetData();
        _sender = player;
        return true;
    }
    case net_welcome: {
        const u16 id = _record.ReadU16();
        const f32 time = _record.ReadF32();
        if (_record.IsOverflowed())
            return false;
        facade._session_time = time;
        _stamp_time = time;
        facade._local_player_id = id;
        net_message_c request = U32Body(0);
        facade.Send(kNetNoTimeStamp | net_player_list_request, &request, false, false, false);
        _joined = true;
        return true;
    }
    case net_player_list_request: {
        const std::vector<net_player_c*> players = facade.GetPlayers(0);
        for (net_player_c* player : players) {
            net_message_c announcement;
            announcement.WriteString(player->name).WriteU16(player->player_id);
            facade.SendTo(_sender, kNetNoTimeStamp | net_player_announcement, &announcement, false, false);
        }
        return true;
    }
    case net_connect_failed: ReleaseClient(); return true;
    case net_search_finished: ReleaseSearch(); return true;
    case net_chat_to_server: {
        std::string text = _record.ReadString().GetData();
        if (_record.IsOverflowed())
            return false;
        FilterWords(text, facade._random);
        text.resize(std::min<std::size_t>(text.size(), kMaxBodySize - 3));
        net_message_c line;
        line.WriteU16(_sender->player_id).WriteString(text);
        const std::vector<net_player_c*> players = facade.GetPlayers(0);
        for (net_player_c* player : players)
            facade.SendTo(player, kNetNoTimeStamp | net_chat_line, &line, true, false);
        return true;
    }
    case net_name_change: {
        const string_c name = _record.ReadString();
        const u16 id = _record.ReadU16();
        if (_record.IsOverflowed())
            return false;
        // A client renames itself only.
        if (_server && _sender_id != kLocalSender && _sender->player_id != id)
            return false;
        if (net_player_c* player = facade.FindPlayer(id)) {
            Log(this, 3, "Player %s changed his name to %s", player->name.c_str(), name.GetData());
            player->name = name.GetData();
        }
        if (facade._mode == kModeServer) {
            net_message_c relay;
            relay.WriteString(name).WriteU16(id);
            facade.SendToGroup(0, net_name_change, &relay, FindPlayerByDpnid(kLocalSender), nullptr, false, false);
        }
        return true;
    }
    case net_object_removed: {
        if (_record.GetLength() < 2 + 4)
            return false;
        const u32 object_id = ReadLe32(_record.GetPayload() + _record.GetLength() - 4);
        DropTail(_record, 4);
        if (net_object_c* object = facade.FindObject(_sender->player_id, object_id)) {
            facade.RemoveObject(object);
            object->RemovalData(_record);
            _record.SetReadPos(2);
        }
        return true;
    }
    case net_object_update: {
        if (_record.GetLength() < 2 + 8)
            return false;
        const f32 age = ReadTailF32(_record);
        const u32 object_id = ReadLe32(_record.GetPayload() + _record.GetLength() - 8);
        DropTail(_record, 8);
        if (net_object_c* object = facade.FindObject(_sender->player_id, object_id)) {
            object->ApplyUpdate(age, _record);
            _record.SetReadPos(2);
        }
        return true;
    }
    case net_ping: {
        net_message_c answer = U32Body(0);
        facade.Send(kNetNoTimeStamp | net_ping_answer, &answer, false, false, false);
        return true;
    }
    default: return true;
    }
}

void DirectPlayNetManager::Deliver(u16 _type, net_message_c& _record, net_player_c* _sender)
{
    const f32 time = _record.GetTime();
    std::vector<u8> body(_record.GetPayload() + 2, _record.GetPayload() + _record.GetLength());
    _record.Assign(body.data(), body.size());
    _record.SetTime(time);
    Facade().Deliver(_type, &_record, _sender);
}

void DirectPlayNetManager::AfterDrop(u16 _player_id)
{
    GameNetManager& facade = Facade();
    net_player_c* player = facade.FindPlayer(_player_id);
    if (_server) {
        if (player == nullptr)
            return;
        if (player->dpnid != kLocalSender)
            _server->DestroyClient(player->dpnid);
        facade.RemovePlayer(player);
        return;
    }
    // A client leaves only when it is the one dropped; others just go.
    if (_player_id != facade._local_player_id) {
        if (player != nullptr)
            facade.RemovePlayer(player);
        return;
    }
    ReleaseClient();
    facade.ClearPlayers();
    _joined = false;
    Log(this, 2, "Server has closed your connection!");
    PostEvent(net_session_closed);
}

void DirectPlayNetManager::LoseOwnSession()
{
    if (!_client)
        return;
    net_message_c body;
    body.WriteU16(Facade()._local_player_id);
    Facade().Deliver(net_player_dropped, &body, nullptr);
    AfterDrop(Facade()._local_player_id);
}

void DirectPlayNetManager::OnConnectionLost(u32 _dpnid)
{
    if (_dpnid == kLocalSender) {
        LoseOwnSession();
        return;
    }
    if (!_server)
        return;
    // Every player, not only this machine, learns that the player left.
    for (net_player_c* player : Facade().GetPlayers(0))
        if (player->dpnid == _dpnid) {
            DropPlayer(player->player_id);
            return;
        }
}

void DirectPlayNetManager::DropFlooders()
{
    for (u32 dpnid : _incoming.TakeFlooders()) {
        Log(this, 2, "Error: \"%s\" [%08x]", "Player sends too fast; dropped.", DPNERR_CONNECTIONLOST);
        if (!_server)
            continue;
        _server->DestroyClient(dpnid);
    }
}

void DirectPlayNetManager::KeepAlive()
{
    net_clock_c& clock = NetClock();
    const i64 ticks = clock.Now();
    const f64 now = clock.Seconds(ticks);
    GameNetManager& facade = Facade();
    if (_server) {
        const std::vector<net_player_c*> players = facade.GetPlayers(0);
        for (net_player_c* player : players) {
            if (player->dpnid == kLocalSender || clock.Seconds(player->last_ping) + kPingInterval >= now)
                continue;
            if (++player->missed_pings >= kMaxMissedPings) {
                facade.DropPlayer(player->player_id);
                continue;
            }
            player->last_ping = ticks;
            net_message_c ping = U32Body(0);
            facade.SendTo(player, kNetNoTimeStamp | net_ping, &ping, false, false);
        }
    } else if (_client) {
        const net_player_c* server = facade.FindPlayer(0);
        if (server != nullptr && now > clock.Seconds(server->last_heard) + kServerSilence)
            LoseOwnSession();
    }
}
