#include "net/game_net_manager.h"

#include <algorithm>
#include <bit>
#include <cstdio>
#include <stdexcept>

#include "net/direct_play_net_manager.h"
#include "net/net_clock.h"
#include "net/net_protocol.h"
#include "net/net_scramble.h"

namespace {

u16 FlagBits(bool relay, bool scramble, bool flag4000)
{
    return static_cast<u16>((relay ? kNetRelay : 0) | (scramble ? kNetScrambled : 0) | (flag4000 ? kNetCarried : 0));
}

// What goes to the transport: the message itself, or with the scramble or
// carried bit a scrambled copy (null when its seed does not fit).
net_message_c* Outgoing(u16 type, net_message_c* message, net_message_c& copy)
{
    if ((type & (kNetScrambled | kNetCarried)) == 0)
        return message;
    copy = *message;
    return ScrambleMessage(type, copy, static_cast<u16>(NetClock().Now())) ? &copy : nullptr;
}

} // namespace

GameNetManager::GameNetManager() = default;

GameNetManager::~GameNetManager() = default;

int GameNetManager::Initialize()
{
    _player_lists.emplace_back();
    return 0;
}

void GameNetManager::SetSessionTime(f32 _t)
{
    _session_time = _t;
    if (_implementation)
        _implementation->SetSessionTime(_t);
}

void GameNetManager::RequireImplementation() const
{
    if (!_implementation)
        throw std::runtime_error("GameNetManager not initialized.");
}

void GameNetManager::Update(f32 _seconds)
{
    RequireImplementation();
    _session_time += _seconds;
    _implementation->Update(_seconds);
    const std::vector<net_object_c*> objects = _objects;
    for (net_object_c* object : objects) {
        object->age += _seconds;
        if (object->remote != 0) {
            object->AdvanceRemote(_seconds);
            continue;
        }
        net_message_c message;
        object->WriteUpdate(_seconds, message);
        if (message.GetLength() == 0)
            continue;
        message.WriteU32(object->object_id).WriteF32(object->age);
        if (message.WasWriteRefused())
            continue; // an update that does not fit whole is not sent
        SendToGroup(0, net_object_update, &message, FindPlayer(_local_player_id), nullptr, false, false);
    }
}

int GameNetManager::Host(const char* _sessionName, u32 _maxPlayers, const char* _password, u32 _port)
{
    RequireImplementation();
    ClearPlayers();
    _objects.clear();
    const int result = _implementation->Host(_sessionName, _maxPlayers, _password, _port);
    _mode = kModeServer;
    return result;
}

void GameNetManager::Close()
{
    RequireImplementation();
    ClearPlayers();
    _implementation->Close();
}

int GameNetManager::Connect(const char* _host, const char* _password)
{
    RequireImplementation();
    ClearPlayers();
    _objects.clear();
    const int result = _implementation->Connect(_host, _password);
    _mode = kModeClient;
    return result;
}

void GameNetManager::EnumerateSessions()
{
    RequireImplementation();
    _implementation->EnumerateSessions();
}

void GameNetManager::SetPassword(const char* _password)
{
    if (_mode == kModeServer && _implementation)
        _implementation->SetPassword(_password);
}

bool GameNetManager::IsReady()
{
    return _implementation && _implementation->IsReady();
}

void GameNetManager::SendTo(net_player_c* _player, u16 _type, net_message_c* _message, bool _scramble, bool _flag4000)
{
    RequireImplementation();
    const u16 type = _type | FlagBits(false, _scramble, _flag4000);
    net_message_c copy;
    if (net_message_c* outgoing = Outgoing(type, _message, copy))
        _implementation->SendTo(_player, type, outgoing, false, false);
}

void GameNetManager::Send(u16 _type, net_message_c* _message, bool _relay, bool _scramble, bool _flag4000)
{
    RequireImplementation();
    const u16 type = _type | FlagBits(_relay, _scramble, _flag4000);
    net_message_c copy;
    if (net_message_c* outgoing = Outgoing(type, _message, copy))
        _implementation->Send(type, outgoing, false, false, false);
}

void GameNetManager::SendToGroup(u32 _list, u16 _type, net_message_c* _message, net_player_c* _except1,
                                 net_player_c* _except2, bool _scramble, bool _flag4000)
{
    if (_list >= _player_lists.size())
        return;
    const u16 type = _type | FlagBits(false, _scramble, _flag4000);
    const std::vector<net_player_c*> players = _player_lists[_list];
    for (net_player_c* player : players)
        if (player != _except1 && player != _except2)
            SendTo(player, type, _message, false, false);
}

void GameNetManager::DropPlayer(u16 _playerId)
{
    RequireImplementation();
    if (_playerId == 0)
        return;
    if (_playerId == _local_player_id) {
        Close();
        return;
    }
    if (_mode != kModeClient)
        _implementation->DropPlayer(_playerId);
}

int GameNetManager::Init(int _mode)
{
    Initialize();
    if (_mode != 1)
        return _mode - 1;
    auto implementation = std::make_unique<DirectPlayNetManager>();
    implementation->_owner = this;
    implementation->_log_callback = _log_callback;
    implementation->_log_context = _log_context;
    implementation->_message_callback = _message_callback;
    implementation->_message_context = _message_context;
    _implementation = std::move(implementation);
    return _implementation->Initialize();
}

void GameNetManager::SetLogCallback(log_callback _callback, void* _context)
{
    _log_callback = _callback;
    _log_context = _context;
    if (_implementation)
        _implementation->SetLogCallback(_callback, _context);
}

void GameNetManager::SetMessageCallback(message_callback _callback, void* _context)
{
    _message_callback = _callback;
    _message_context = _context;
    if (_implementation)
        _implementation->SetMessageCallback(_callback, _context);
}

net_player_c* GameNetManager::FindPlayer(u16 _id) const
{
    if (_player_lists.empty())
        return nullptr;
    for (net_player_c* player : _player_lists[0])
        if (player->player_id == _id)
            return player;
    return nullptr;
}

net_player_c* GameNetManager::AddPlayer(std::unique_ptr<net_player_c> _player)
{
    Log(this, 4, "Welcome new player: \"%s\"", _player->name.c_str());
    if (_player_lists.empty())
        _player_lists.emplace_back();
    net_player_c* added = _player.get();
    _player_records.push_back(std::move(_player));
    _player_lists[0].push_back(added);
    return added;
}

void GameNetManager::RemovePlayer(net_player_c* _player)
{
    for (auto& list : _player_lists)
        list.erase(std::remove(list.begin(), list.end(), _player), list.end());
    _player_records.erase(std::remove_if(_player_records.begin(), _player_records.end(),
                                         [&](const auto& record) { return record.get() == _player; }),
                          _player_records.end());
}

void GameNetManager::ClearPlayers()
{
    _player_lists.clear();
    _player_lists.emplace_back();
    _player_records.clear();
}

const std::vector<net_player_c*>& GameNetManager::GetPlayers(u32 _list) const
{
    static const std::vector<net_player_c*> none;
    return _list < _player_lists.size() ? _player_lists[_list] : none;
}

void GameNetManager::AddObject(net_object_c* _object)
{
    if (std::find(_objects.begin(), _objects.end(), _object) == _objects.end())
        _objects.push_back(_object);
}

net_object_c* GameNetManager::FindObject(u16 _ownerId, u32 _objectId) const
{
    for (net_object_c* object : _objects)
        if (object->remote != 0 && object->owner_id == _ownerId && object->object_id == _objectId)
            return object;
    return nullptr;
}

void GameNetManager::RemoveObject(net_object_c* _object)
{
    const auto found = std::find(_objects.begin(), _objects.end(), _object);
    if (found == _objects.end())
        return;
    _objects.erase(found);
    if (_object->remote != 0)
        return;
    net_message_c message;
    _object->RemovalData(message);
    message.WriteU32(_object->object_id);
    if (!message.WasWriteRefused())
        SendToGroup(0, net_object_removed, &message, FindPlayer(_local_player_id), nullptr, false, false);
}

void GameNetManager::SendJoinRequest(const char* _name)
{
    RequireImplementation();
    net_message_c message;
    message.WriteCString(_name);
    Send(kNetNoTimeStamp | net_join_request, &message, false, false, false);
}

void GameNetManager::SendChat(const char* _line)
{
    net_message_c message;
    message.WriteCString(_line);
    Send(net_chat_to_server, &message, false, true, false);
}

void GameNetManager::SendNameChange(const char* _name)
{
    net_message_c message;
    message.WriteCString(_name).WriteU16(_local_player_id);
    Send(net_name_change, &message, false, false, false);
}

void GameNetManager::Log(const GameNetManager* _manager, int _level, const char* _format, ...)
{
    if (_manager == nullptr || _manager->_log_callback == nullptr)
        return;
    va_list arguments;
    va_start(arguments, _format);
    va_list measure;
    va_copy(measure, arguments);
    const int size = std::vsnprintf(nullptr, 0, _format, measure);
    va_end(measure);
    std::string text(size > 0 ? static_cast<std::size_t>(size) : 0, '\0');
    if (size > 0)
        std::vsnprintf(text.data(), text.size() + 1, _format, arguments);
    va_end(arguments);
    _manager->_log_callback(_level, text.c_str(), _manager->_log_context);
}

void GameNetManager::Deliver(u16 _type, net_message_c* _message, net_player_c* _sender)
{
    if (_message_callback != nullptr)
        _message_callback(_type, *_message, _sender, _message_context);
}

void GameNetManager::Send(u16 _type_word, const net_message_c& _message, bool _relay, bool _scramble, bool _carried)
{
    // Sends only read the record, or scramble a copy of it.
    Send(_type_word, const_cast<net_message_c*>(&_message), _relay, _scramble, _carried);
}

void GameNetManager::SendToGroup(u32 _group, u16 _type_word, const net_message_c& _message,
                                 const net_player_c* _excluded_a, const net_player_c* _excluded_b, bool _scramble,
                                 bool _carried)
{
    SendToGroup(_group, _type_word, const_cast<net_message_c*>(&_message), const_cast<net_player_c*>(_excluded_a),
                const_cast<net_player_c*>(_excluded_b), _scramble, _carried);
}

void GameNetManager::SendTo(const net_player_c* _player, u16 _type_word, const net_message_c& _message, bool _scramble,
                            bool _carried)
{
    if (_player)
        SendTo(const_cast<net_player_c*>(_player), _type_word, const_cast<net_message_c*>(&_message), _scramble,
               _carried);
}

void GameNetManager::OnGameState(u32 _first_word)
{
    SetSessionTime(std::bit_cast<f32>(_first_word));
}
