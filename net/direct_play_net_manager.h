#pragma once
// DirectPlayNetManager: the session implementation behind GameNetManager. It
// hosts (a server object), joins (a client object) or searches (a peer
// object) through the session layer, turns everything the layer reports into
// records on its incoming queue, and runs the session protocol on them in
// Update, on the main thread (the dispatcher, net_dispatcher.cpp).
//
// The layer's threads only push records: a received message, a connect
// outcome (7, or 8 with reason 1 other, 2 full, 3 no response, 4 password),
// a session found (9, once per session and search), a search's end (10), or
// a lost connection (19, turned into type 4 by the dispatcher, which alone
// reads the players). A server's own messages, and those it sends to its own
// player, go through the same queue with sender 0xFFFFFFFF.
//
// What a peer sends is checked before it is believed:
// - a message shorter than a time stamp and a type word, or longer than the
//   record can hold, is dropped; so is a body the reader runs out of;
// - local event types (6-10) come only from this machine;
// - each session type is taken only in its direction (join, list request,
//   chat and ping answers by the server from its clients; announcements,
//   welcome, chat lines and pings by a client from its server; a dropped
//   player on a server only from itself);
// - a client joins once, renames only itself, and is heard only after it
//   joined; the server relays only game messages;
// - a client that lets more than kMaxQueuedPerSender records pile up is
//   dropped, and one Update handles at most the records that were waiting
//   when it started.
#include <atomic>
#include <memory>
#include <mutex>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "net/game_net_manager.h"
#include "net/net_incoming_queue.h"
#include "platform/dplay8/dplay8_client.h"
#include "platform/dplay8/dplay8_peer.h"
#include "platform/dplay8/dplay8_server.h"

class DirectPlayNetManager : public GameNetManager {
public:
    using GameNetManager::Send;
    using GameNetManager::SendToGroup;

    DirectPlayNetManager();
    // Closes the server and the client, ends the search.
    ~DirectPlayNetManager() override;

    int Initialize() override;
    void SetSessionTime(f32 _t) override;
    // The dispatcher and the keep-alive.
    void Update(f32 _seconds) override;
    // Any earlier session or search of this object ends first. Logs
    // "Starting session ...", the address, and "... server is running!.";
    // a failure logs "Couldn't start host." and returns its negative result.
    int Host(const char* _sessionName, u32 _maxPlayers, const char* _password, u32 _port) override;
    // A server posts event 6. Records waiting from the old session are
    // dropped.
    void Close() override;
    // A host text that cannot be read (see net_host_text.h) logs
    // "Couldn't connect to server." and posts event 8 with reason 1.
    int Connect(const char* _host, const char* _password) override;
    void EnumerateSessions() override;
    // Keeps the player limit given to Host.
    void SetPassword(const char* _password) override;
    bool IsReady() override { return true; }
    void SendTo(net_player_c* _player, u16 _type, net_message_c* _message, bool _scramble, bool _flag4000) override;
    void Send(u16 _type, net_message_c* _message, bool _relay, bool _scramble, bool _flag4000) override;
    void DropPlayer(u16 _playerId) override;

    // Queues a copy of the record with the type word in front and sender
    // 0xFFFFFFFF behind; stamped with the session time unless the type has
    // 0x1000. Bodies longer than kMaxBodySize are refused (logged).
    void PostLocal(u16 _type, const net_message_c& _message);
    // A local event with the one-byte body 0.
    void PostEvent(u16 _code);
    // Queues a record as the layer does: its payload ends with the u32
    // sender id. False when that sender has too many waiting.
    bool PushIncoming(const net_message_c& _record, u32 _sender) { return _incoming.Push(_record, _sender); }
    // The local player's record for 0xFFFFFFFF; on a client the server's own
    // player (id 0) for anything else; on a server the record of the client
    // with that transport id.
    net_player_c* FindPlayerByDpnid(u32 _id) const;
    u16 NewPlayerId();

    // The port the hosted session listens on (0 when not hosting).
    u16 GetHostPort() const { return _server ? _server->GetHostPort() : 0; }
    bool IsJoined() const { return _joined; }
    const net_incoming_queue_c& GetIncoming() const { return _incoming; }

private:
    static dpn_result Handler(void* _context, u32 _message_id, void* _message);
    dpn_result OnTransport(u32 _message_id, void* _message);
    void OnReceive(const dpn_msg_receive_c& _receive);

    GameNetManager& Facade() const { return *_owner; }
    // The layer's threads leave their log lines here; Update hands them to
    // the log callback, so that it is only ever called on the main thread.
    void LogLater(int _level, std::string _text);
    void FlushLog();
    void ReleaseServer();
    void ReleaseClient();
    void ReleaseSearch();
    void WireSend(u32 _dpnid, u16 _type, const net_message_c& _message);

    // net_dispatcher.cpp
    void Dispatch(net_message_c& _record);
    bool Accepts(u16 _type, u32 _sender_id, const net_player_c* _sender) const;
    bool Handle(u16 _type, net_message_c& _record, u32 _sender_id, net_player_c*& _sender);
    void Deliver(u16 _type, net_message_c& _record, net_player_c* _sender);
    void AfterDrop(u16 _player_id);
    void LoseOwnSession();
    void OnConnectionLost(u32 _dpnid);
    void KeepAlive();
    void DropFlooders();

    std::unique_ptr<dplay8_server_c> _server;
    std::unique_ptr<dplay8_client_c> _client;
    std::unique_ptr<dplay8_peer_c> _peer;
    std::u16string _session_name;
    u32 _max_players = 0;
    std::atomic<f32> _stamp_time{0.0f}; // the session time, for the layer's threads
    u32 _id_state = 0;
    std::mutex _host_list_mutex;
    std::set<std::vector<u8>> _host_list; // instances reported by the current search
    net_incoming_queue_c _incoming;
    std::mutex _log_mutex;
    std::vector<std::pair<int, std::string>> _log_lines;
    bool _joined = false;
};
