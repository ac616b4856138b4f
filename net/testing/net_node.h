#pragma once
// A player's machine for session tests: a GameNetManager with the session
// implementation and a callback that records every message and event, and
// helpers that run frames on several machines until something happened.
#include <functional>
#include <string>
#include <vector>

#include "net/direct_play_net_manager.h"
#include "net/game_net_manager.h"

struct net_heard_c {
    u16 type = 0;
    std::vector<u8> body;
    f32 time = 0.0f;
    bool has_sender = false;
    u16 sender_id = 0;
    std::string sender_name;

    std::string String(std::size_t _offset = 0) const; // NUL-terminated text at the offset
    u16 U16(std::size_t _offset = 0) const;
};

class net_node_c {
public:
    net_node_c();

    // Before the manager: the session's threads end before these go.
    std::vector<net_heard_c> heard;
    std::vector<std::string> log;
    GameNetManager manager;
    DirectPlayNetManager& Session() const;

    std::vector<net_heard_c> Heard(u16 _type) const;
    bool HasHeard(u16 _type) const { return !Heard(_type).empty(); }
    // Names of list 0, in order.
    std::vector<std::string> PlayerNames() const;
    u16 Port() const { return Session().GetHostPort(); }

private:
    static void OnMessage(u16 _type, net_message_c& _message, net_player_c* _sender, void* _context);
    static void OnLog(int _level, const char* _text, void* _context);
};

// Runs frames (Update with 10 ms) on every node until the condition holds;
// false after a generous deadline of real time.
bool RunUntil(const std::vector<net_node_c*>& _nodes, const std::function<bool()>& _condition);

// Hosts a session named "Sky" on any free port and joins the host's own
// player under the name; false when either fails.
bool HostAndJoin(net_node_c& _node, const char* _player, const char* _password = nullptr, u32 _max_players = 8);

// Test time: the network clock reads a counter the test moves.
class net_fake_clock_c {
public:
    net_fake_clock_c();
    ~net_fake_clock_c();
    void Advance(f64 _seconds);

private:
    i64 _ticks = 1000000000;
};
