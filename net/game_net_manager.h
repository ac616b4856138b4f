#pragma once
// GameNetManager: the one network object the game talks to. The application
// creates it, chooses the session implementation with Init(1) and installs a
// message callback; the menu screens host, search and join through it; the
// states call Update once per frame and send game messages through it.
//
// The facade keeps what does not depend on the transport: the players (it
// owns their records), the replicated objects (not owned), the session time,
// the local player's id and the two callbacks. The implementation
// (DirectPlayNetManager) is a subclass that the facade owns and forwards to;
// it works on its owner's players and time.
//
// Operations marked "throws" raise std::runtime_error
// "GameNetManager not initialized." without an implementation. Transport
// failures are never thrown: they are logged and posted as events.
//
// It is also the application's net_session_c: the game's sends of const
// records go through the same Send and SendToGroup.
//
// Everything here runs on the main thread.
#include <cstdarg>
#include <memory>
#include <string>
#include <vector>

#include "app/message/net_message.h"
#include "app/message/net_session.h"
#include "net/net_filter.h"
#include "net/net_object.h"
#include "net/net_player.h"

class GameNetManager : public net_session_c {
public:
    // level: 0 progress, 2 errors, 3 received transport events, 4 addresses
    // and new players.
    using log_callback = void (*)(int _level, const char* _text, void* _context);
    // Called from Update for every message and local event after the protocol
    // handled it: type = the low ten bits of the type word; the record holds
    // the body with its read position at the start; sender is the record of
    // the sending player, or null.
    using message_callback = void (*)(u16 _type, net_message_c& _message, net_player_c* _sender, void* _context);

    // Modes.
    static constexpr u32 kModeIdle = 0;
    static constexpr u32 kModeClient = 4;
    static constexpr u32 kModeServer = 5;

    GameNetManager();
    // Deletes the implementation and the player records.
    ~GameNetManager() override;
    GameNetManager(const GameNetManager&) = delete;
    GameNetManager& operator=(const GameNetManager&) = delete;

    // Appends a new empty player list; returns 0.
    virtual int Initialize();
    virtual void SetSessionTime(f32 _t);
    // Throws. Advances the session time, dispatches what arrived, then ages
    // the replicated objects and sends the updates of the local ones.
    virtual void Update(f32 _seconds);
    // Throws. Starts a session (port 0: any free port) and becomes its
    // server; the players and replicated objects of an earlier session are
    // dropped. Returns 0, or a negative result when hosting failed.
    virtual int Host(const char* _sessionName, u32 _maxPlayers, const char* _password, u32 _port);
    // Throws. Ends the session; the player records are deleted.
    virtual void Close();
    // Throws. Starts joining; the outcome arrives as event 7 or 8.
    virtual int Connect(const char* _host, const char* _password);
    // Throws. Starts a search; sessions arrive as events 9, its end as 10.
    virtual void EnumerateSessions();
    // Only while hosting; null or empty takes the password away.
    virtual void SetPassword(const char* _password);
    // False without an implementation.
    virtual bool IsReady();
    // Throws. To one player: the flags add the scramble (0x8000) and carried
    // (0x4000) bits; with either the body travels scrambled.
    virtual void SendTo(net_player_c* _player, u16 _type, net_message_c* _message, bool _scramble, bool _flag4000);
    // Throws. To the server (on the server: to itself); relay (0x2000) asks
    // the server to pass the message on to every other player.
    virtual void Send(u16 _type, net_message_c* _message, bool _relay, bool _scramble, bool _flag4000);
    // To every player of the list but the two excepted (either may be null).
    virtual void SendToGroup(u32 _list, u16 _type, net_message_c* _message, net_player_c* _except1,
                             net_player_c* _except2, bool _scramble, bool _flag4000);
    // Throws. Id 0 does nothing; the local player's id closes the session;
    // otherwise the server drops that player.
    virtual void DropPlayer(u16 _playerId);

    // net_session_c: the same sends for const records, the players, the
    // local player's id, and the first word of a game state (its time) as
    // the session time.
    void Send(u16 _type_word, const net_message_c& _message, bool _relay, bool _scramble, bool _carried) override;
    void SendToGroup(u32 _group, u16 _type_word, const net_message_c& _message, const net_player_c* _excluded_a,
                     const net_player_c* _excluded_b, bool _scramble, bool _carried) override;
    void SendTo(const net_player_c* _player, u16 _type_word, const net_message_c& _message, bool _scramble,
                bool _carried) override;
    u16 GetLocalId() const override { return _local_player_id; }
    void OnGameState(u32 _first_word) override;

    // 1 creates the session implementation and returns its Initialize();
    // any other mode returns mode - 1.
    int Init(int _mode);
    void SetLogCallback(log_callback _callback, void* _context);
    void SetMessageCallback(message_callback _callback, void* _context);

    // First record of list 0 with the id, or null.
    net_player_c* FindPlayer(u16 _id) const override;
    // Takes the record; logs "Welcome new player" and appends it to list 0.
    net_player_c* AddPlayer(std::unique_ptr<net_player_c> _player);
    // Removes the record from every list and deletes it.
    void RemovePlayer(net_player_c* _player);
    // Deletes every record; one empty list 0 remains.
    void ClearPlayers();
    const std::vector<net_player_c*>& GetPlayers(u32 _list = 0) const;

    // The game registers the objects it wants carried (not owned).
    void AddObject(net_object_c* _object);
    // First remote object with that owner and id, or null.
    net_object_c* FindObject(u16 _ownerId, u32 _objectId) const;
    // Removes it from the list; a local object then sends its removal
    // (type 15) to the other players.
    void RemoveObject(net_object_c* _object);

    // Throws. The join request (0x1001) with the player's name.
    void SendJoinRequest(const char* _name);
    // The chat line to the server (11, scrambled).
    void SendChat(const char* _line);
    // Asks to be known by a new name (13); the server passes it on.
    void SendNameChange(const char* _name);

    // Formats a line for the log callback; nothing without one.
    static void Log(const GameNetManager* _manager, int _level, const char* _format, ...)
        __attribute__((format(printf, 3, 4)));

    f32 GetSessionTime() const { return _session_time; }
    u32 GetMode() const { return _mode; }
    u16 GetLocalPlayerId() const { return _local_player_id; }
    void SetLocalPlayerId(u16 _id) { _local_player_id = _id; }
    GameNetManager* GetImplementation() const { return _implementation.get(); }
    GameNetManager* GetOwner() const { return _owner; }

protected:
    friend class DirectPlayNetManager;

    void RequireImplementation() const;
    void Deliver(u16 _type, net_message_c* _message, net_player_c* _sender);

    std::unique_ptr<GameNetManager> _implementation;
    log_callback _log_callback = nullptr;
    void* _log_context = nullptr;
    message_callback _message_callback = nullptr;
    void* _message_context = nullptr;
    // In the implementation: the facade that owns it.
    GameNetManager* _owner = nullptr;
    f32 _session_time = 0.0f;
    std::vector<net_object_c*> _objects;
    std::vector<std::vector<net_player_c*>> _player_lists;
    std::vector<std::unique_ptr<net_player_c>> _player_records;
    u32 _mode = kModeIdle;
    u16 _local_player_id = 0;
    // Draws the characters of the chat filter.
    net_random_c _random;
};
