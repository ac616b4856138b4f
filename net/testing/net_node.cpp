#include "net/testing/net_node.h"

#include <chrono>
#include <cstring>
#include <thread>

#include "net/net_clock.h"

std::string net_heard_c::String(std::size_t _offset) const
{
    if (_offset >= body.size())
        return std::string();
    const char* start = reinterpret_cast<const char*>(body.data() + _offset);
    return std::string(start, strnlen(start, body.size() - _offset));
}

u16 net_heard_c::U16(std::size_t _offset) const
{
    if (_offset + 2 > body.size())
        return 0xFFFF;
    return static_cast<u16>(body[_offset] | body[_offset + 1] << 8);
}

net_node_c::net_node_c()
{
    manager.SetLogCallback(OnLog, this);
    manager.SetMessageCallback(OnMessage, this);
    manager.Init(1);
}

DirectPlayNetManager& net_node_c::Session() const
{
    return *static_cast<DirectPlayNetManager*>(manager.GetImplementation());
}

void net_node_c::OnMessage(u16 _type, net_message_c& _message, net_player_c* _sender, void* _context)
{
    auto* node = static_cast<net_node_c*>(_context);
    net_heard_c heard;
    heard.type = _type;
    heard.body.assign(_message.GetPayload(), _message.GetPayload() + _message.GetLength());
    heard.time = _message.GetTime();
    if (_sender != nullptr) {
        heard.has_sender = true;
        heard.sender_id = _sender->player_id;
        heard.sender_name = _sender->name;
    }
    node->heard.push_back(heard);
}

void net_node_c::OnLog(int, const char* _text, void* _context)
{
    static_cast<net_node_c*>(_context)->log.push_back(_text);
}

std::vector<net_heard_c> net_node_c::Heard(u16 _type) const
{
    std::vector<net_heard_c> found;
    for (const auto& entry : heard)
        if (entry.type == _type)
            found.push_back(entry);
    return found;
}

std::vector<std::string> net_node_c::PlayerNames() const
{
    std::vector<std::string> names;
    for (const net_player_c* player : manager.GetPlayers(0))
        names.push_back(player->name);
    return names;
}

bool RunUntil(const std::vector<net_node_c*>& _nodes, const std::function<bool()>& _condition)
{
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
    while (!_condition()) {
        if (std::chrono::steady_clock::now() > deadline)
            return false;
        for (net_node_c* node : _nodes)
            node->manager.Update(0.01f);
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return true;
}

bool HostAndJoin(net_node_c& _node, const char* _player, const char* _password, u32 _max_players)
{
    if (_node.manager.Host("Sky", _max_players, _password, 0) != 0 || _node.Port() == 0)
        return false;
    _node.manager.SendJoinRequest(_player);
    return RunUntil({&_node}, [&] { return _node.Session().IsJoined(); });
}

net_fake_clock_c::net_fake_clock_c()
{
    NetClock().SetCounter([this] { return _ticks; });
}

net_fake_clock_c::~net_fake_clock_c()
{
    NetClock().SetCounter(nullptr);
}

void net_fake_clock_c::Advance(f64 _seconds)
{
    _ticks += static_cast<i64>(_seconds * static_cast<f64>(NetClock().Frequency()));
}
