#include "game/game_messages.h"

#include "app/application.h"
#include "app/message/net_message.h"
#include "app/message/net_message_type.h"
#include "app/message/net_session.h"
#include "foundation/matrix.h"
#include "game/game_world.h"
#include "game/object_links.h"
#include "game/objects/network_plane.h"
#include "level/object_template.h"
#include "net/net_player.h"

#include <exception>

namespace {

constexpr int network_rockets = 8;
constexpr int explosion_kind = 6;
constexpr float bullet_damage = 1.0f;

// In-game texts.
constexpr size_t text_you_killed = 84;
constexpr size_t text_killed = 85;
constexpr size_t text_left_mission = 86;
constexpr size_t text_joined = 87;
constexpr size_t text_entered = 88;
constexpr size_t text_crashed = 89; // + the crash kind 0, 1, 2
constexpr size_t text_your_place = 92;
constexpr size_t text_left_session = 93;
constexpr size_t text_game_over = 98;
constexpr size_t text_result = 99; // + the result kind 0, 1, 2

// The whole body of every game message this handler reads.
struct body_c {
    u16 type;
    const char* fields;
};
constexpr body_c bodies[] = {
    {net_state_request, "w"},        {net_plane_enters, "shwsve"}, {net_plane_announced, "hwsfwfsve"},
    {net_game_state, "fwbww"},       {net_plane_state, "hwfve"},   {net_plane_destroyed, "hwhwve"},
    {net_plane_crash, "hwwve"},      {net_guns_firing, "hwb"},     {net_hit, "hwhwvv"},
    {net_player_left_mission, "h"},  {net_respawn, "hw"},          {net_rocket, "h"},
    {net_area_damage, "hhfvv"},      {net_player_left_game, "h"},  {net_game_end, "ws"},
    {net_event_player_joined, "sh"}, {net_event_player_left, "h"}, {net_event_chat, "hs"},
};

bool IsSessionEvent(u16 _type)
{
    return _type == net_event_player_joined || _type == net_event_player_left || _type == net_event_chat;
}

// Whether the body holds its type's fields: exactly, for game messages; at
// least, for the session's own events. Types not handled here pass.
bool BodyFits(u16 _type, net_message_c& _message)
{
    for (const body_c& body : bodies) {
        if (body.type != _type)
            continue;
        _message.Rewind();
        const bool read = SkipNetMessageFields(_message, body.fields);
        const bool whole = read && (IsSessionEvent(_type) || _message.GetRemaining() == 0);
        _message.Rewind();
        return whole;
    }
    return true;
}

mat3_c Turn(const game_object_c& _object)
{
    const vec3_c rotation = _object.GetRotation();
    mat3_c turn;
    turn.SetEuler(euler_c(rotation.x, rotation.y, rotation.z));
    return turn;
}

} // namespace

vec3_c ToObjectFrame(const game_object_c& _object, const vec3_c& _point)
{
    mat3_c back;
    back.SetTranspose(Turn(_object));
    return (_point - _object.GetPosition()) * back;
}

vec3_c FromObjectFrame(const game_object_c& _object, const vec3_c& _point)
{
    return _point * Turn(_object) + _object.GetPosition();
}

game_messages_c::game_messages_c(application_c& _application, game_messages_host_c& _host, net_session_c* _session)
    : application(_application), host(_host), session(_session)
{}

u16 game_messages_c::LocalId() const
{
    return session ? session->GetLocalId() : 0;
}

string_c game_messages_c::Text(size_t _index) const
{
    return _index < application.in_game_texts.size() ? application.in_game_texts[_index] : string_c();
}

bool game_messages_c::PlayerName(u16 _id, string_c& _name) const
{
    const net_player_c* player = session ? session->FindPlayer(_id) : nullptr;
    if (player == nullptr)
        return false;
    _name = player->name.c_str();
    return true;
}

game_object_plane_ghost_c* game_messages_c::FindNetworkPlane(u16 _owner, u32 _index) const
{
    game_world_c* world = host.GetWorld();
    if (world == nullptr || _owner == LocalId())
        return nullptr;
    for (game_object_c* plane : world->GetPlanes()) {
        auto* ghost = dynamic_cast<game_object_plane_ghost_c*>(plane);
        if (ghost && ghost->ownerId == _owner && static_cast<u32>(ghost->remoteId) == _index)
            return ghost;
    }
    return nullptr;
}

game_object_plane_c* game_messages_c::FindComputerPlaneById(u32 _id) const
{
    game_world_c* world = host.GetWorld();
    if (world == nullptr)
        return nullptr;
    for (game_object_c* plane : world->GetPlanes()) {
        if (plane->GetType() != object_plane_ai)
            continue;
        const auto* flown = dynamic_cast<const flown_plane_link_c*>(plane);
        if (flown && static_cast<u32>(flown->GetNetworkId()) == _id)
            return dynamic_cast<game_object_plane_c*>(plane);
    }
    return nullptr;
}

bool game_messages_c::Identify(const game_object_c* _object, u16& _owner, u32& _index) const
{
    if (_object == nullptr)
        return false;
    if (const auto* ghost = dynamic_cast<const game_object_plane_ghost_c*>(_object)) {
        _owner = ghost->ownerId;
        _index = static_cast<u32>(ghost->remoteId);
        return true;
    }
    switch (_object->GetType()) {
    case object_plane_user:
        _owner = LocalId();
        _index = own_plane;
        return true;
    case object_plane_ai: {
        const auto* flown = dynamic_cast<const flown_plane_link_c*>(_object);
        _owner = computer_owner;
        _index = flown ? static_cast<u32>(flown->GetNetworkId()) : nobody;
        return true;
    }
    default: return false;
    }
}

void game_messages_c::Send(u16 _type_word, const net_message_c& _message, bool _relay) const
{
    if (session)
        session->Send(_type_word, _message, _relay, false, false);
}

void game_messages_c::SendTo(const net_player_c* _player, u16 _type_word, const net_message_c& _message) const
{
    if (session && _player)
        session->SendTo(_player, _type_word, _message, false, false);
}

void game_messages_c::OnNetMessage(u16 _type_word, net_message_c& _message, const net_player_c* _sender)
{
    const u16 type = NetMessageType(_type_word);
    if (!BodyFits(type, _message))
        return;
    const u16 local = LocalId();
    switch (type) {
    case net_event_player_joined:
    case net_event_player_left:
    case net_event_chat: OnSessionEvent(type, _message); break;
    case net_state_request: OnStateRequest(_sender); break;
    case net_plane_enters: OnPlaneEnters(_message, _sender); break;
    case net_plane_announced: OnPlaneAnnounced(_message); break;
    case net_game_state: OnGameState(_message); break;
    case net_plane_state: {
        const u16 owner = _message.ReadU16();
        const u32 index = _message.ReadU32();
        if (game_object_plane_ghost_c* plane = FindNetworkPlane(owner, index))
            plane->ReadState(_message);
        break;
    }
    case net_plane_destroyed: OnPlaneDestroyed(_message); break;
    case net_plane_crash: OnPlaneCrash(_message); break;
    case net_guns_firing: {
        const u16 owner = _message.ReadU16();
        const u32 index = _message.ReadU32();
        if (game_object_plane_ghost_c* plane = FindNetworkPlane(owner, index))
            plane->ReadFiringFlag(_message);
        break;
    }
    case net_hit: OnHit(_message); break;
    case net_player_left_mission: OnPlayerLeftMission(_message.ReadU16()); break;
    case net_respawn: {
        const u16 owner = _message.ReadU16();
        const u32 index = _message.ReadU32();
        if (owner == local)
            break;
        if (game_object_plane_ghost_c* plane = FindNetworkPlane(owner, index))
            plane->Respawn();
        break;
    }
    case net_rocket: {
        const u16 owner = _message.ReadU16();
        if (owner == local)
            break;
        if (game_object_plane_ghost_c* plane = FindNetworkPlane(owner, own_plane))
            plane->FireRocket(host.GetGameTime());
        break;
    }
    case net_area_damage: OnAreaDamage(_message); break;
    case net_player_left_game:
        if (_message.ReadU16() != local)
            host.EndGameForDeparture();
        break;
    case net_game_end: OnGameEnd(_message); break;
    default: break;
    }
}

void game_messages_c::OnSessionEvent(u16 _type, net_message_c& _message)
{
    string_c name;
    if (_type == net_event_player_joined) {
        host.AddInfoLine(Joined({_message.ReadString(), Text(text_joined)}));
        return;
    }
    const u16 id = _message.ReadU16();
    if (!PlayerName(id, name))
        return;
    if (_type == net_event_player_left)
        host.AddInfoLine(Joined({name, Text(text_left_session)}));
    else
        host.AddInfoLine(Joined({name, _message.ReadString()}, ": "));
}

void game_messages_c::WriteGameState(net_message_c& _body, float _time) const
{
    _body.WriteF32(_time)
        .WriteU32(static_cast<u32>(application.mission_number))
        .WriteBit(application.mp_flag != 0)
        .WriteU32(static_cast<u32>(host.SideScore(german_side)))
        .WriteU32(static_cast<u32>(host.SideScore(1)));
}

void game_messages_c::OnStateRequest(const net_player_c* _sender)
{
    if (application.game_type != 3)
        return;
    net_message_c state;
    WriteGameState(state, host.GetGameTime());
    SendTo(_sender, kNetNoTimeStamp | net_game_state, state);
}

void game_messages_c::OnGameState(net_message_c& _message)
{
    _message.ReadF32();
    _message.ReadU32();
    _message.ReadBit();
    host.SideScore(german_side) = static_cast<i32>(_message.ReadU32());
    host.SideScore(1) = static_cast<i32>(_message.ReadU32());
}

bool game_messages_c::IsLocalPlaneFile(const string_c& _file) const
{
    for (const string_c& plane : application.planes)
        if (plane == _file)
            return true;
    return false;
}

game_object_plane_ghost_c* game_messages_c::AddNetworkPlane(const string_c& _file, u16 _owner, u32 _index,
                                                            const string_c& _name)
{
    game_world_c* world = host.GetWorld();
    if (world == nullptr || _owner == LocalId() || FindNetworkPlane(_owner, _index) != nullptr)
        return nullptr;
    std::unique_ptr<game_object_plane_ghost_c> plane;
    try {
        plane = host.LoadNetworkPlane(_file);
    } catch (const std::exception& error) {
        host.AddInfoLine(Joined({"*system*", _file, error.what()}));
        return nullptr;
    }
    if (!plane)
        return nullptr;
    plane->ownerId = _owner;
    plane->remoteId = static_cast<i32>(_index);
    plane->name = _name;
    plane->displayName = _name;
    plane->OnMissionStart(host.GetGameTime());
    plane->SetWeapons(network_rockets, 0, nullptr, nullptr);
    return static_cast<game_object_plane_ghost_c*>(world->AddPlane(std::move(plane)));
}

bool game_messages_c::Describe(const game_object_c* _plane, net_message_c& _body) const
{
    u16 owner = 0;
    u32 index = 0;
    const auto* plane = dynamic_cast<const game_object_plane_c*>(_plane);
    if (plane == nullptr || !Identify(_plane, owner, index))
        return false;
    float clock = 0.0f;
    if (const auto* ghost = dynamic_cast<const game_object_plane_ghost_c*>(_plane))
        clock = ghost->GetSampleClock();
    else if (const auto* flown = dynamic_cast<const flown_plane_link_c*>(_plane))
        clock = flown->GetPlaneClock();
    _body.WriteU16(owner)
        .WriteU32(index)
        .WriteString(plane->displayName)
        .WriteF32(clock)
        .WriteU32(static_cast<u32>(plane->score))
        .WriteF32(plane->damage)
        .WriteString(PlaneFile(*plane));
    WritePlace(*plane, _body);
    return true;
}

void game_messages_c::OnPlaneEnters(net_message_c& _message, const net_player_c* _sender)
{
    const string_c file = _message.ReadString();
    const u16 owner = _message.ReadU16();
    const u32 index = _message.ReadU32();
    const string_c name = _message.ReadString();
    const vec3_c position = _message.ReadVec3();
    const euler_c rotation = _message.ReadEuler();
    if (!IsLocalPlaneFile(file))
        return;
    game_world_c* world = host.GetWorld();
    if (application.game_type == 3 && world) {
        net_message_c state;
        WriteGameState(state, host.GetGameTime());
        SendTo(_sender, kNetNoTimeStamp | net_game_state, state);
        net_message_c entered;
        entered.WriteU16(owner).WriteU32(index).WriteString(name).WriteF32(0.0f).WriteU32(0).WriteF32(0.0f);
        entered.WriteString(file).WriteVec3(position).WriteEuler(rotation);
        // The list may not change while it is walked: sends only queue.
        for (const game_object_c* plane : world->GetPlanes()) {
            net_message_c body;
            if (!Describe(plane, body))
                continue;
            SendTo(_sender, net_plane_announced, body);
            const auto* ghost = dynamic_cast<const game_object_plane_ghost_c*>(plane);
            if (ghost == nullptr)
                continue;
            const net_player_c* owner_player = session ? session->FindPlayer(ghost->ownerId) : nullptr;
            if (owner_player && owner_player != _sender)
                SendTo(owner_player, net_plane_announced, entered);
        }
    }
    AddNetworkPlane(file, owner, index, name);
    if (_sender)
        host.AddInfoLine(Joined({string_c(_sender->name.c_str()), Text(text_entered)}));
}

void game_messages_c::OnPlaneAnnounced(net_message_c& _message)
{
    const u16 owner = _message.ReadU16();
    const u32 index = _message.ReadU32();
    const string_c name = _message.ReadString();
    const float clock = _message.ReadF32();
    const u32 score = _message.ReadU32();
    const float damage = _message.ReadF32();
    const string_c file = _message.ReadString();
    const vec3_c position = _message.ReadVec3();
    const euler_c rotation = _message.ReadEuler();
    if (!IsLocalPlaneFile(file))
        return;
    game_object_plane_ghost_c* plane = AddNetworkPlane(file, owner, index, name);
    if (plane == nullptr)
        return;
    plane->SetSampleClock(clock);
    plane->SetPosition(position);
    if (plane->entity)
        plane->entity->rotation = vec3_c(rotation.heading, rotation.pitch, rotation.bank);
    plane->damage = damage < 0.0f ? 0.0f : damage > 1.0f ? 1.0f : damage;
    plane->score = static_cast<i32>(score);
    string_c player;
    if (PlayerName(owner, player))
        host.AddInfoLine(Joined({player, Text(text_entered)}));
    host.AddInfoLine(name);
}

void game_messages_c::OnPlaneDestroyed(net_message_c& _message)
{
    const u16 victim_owner = _message.ReadU16();
    const u32 victim_index = _message.ReadU32();
    const u16 killer_owner = _message.ReadU16();
    const u32 killer_index = _message.ReadU32();
    const u16 local = LocalId();
    if (victim_owner == local)
        return;
    game_object_plane_ghost_c* victim = FindNetworkPlane(victim_owner, victim_index);
    if (victim == nullptr || victim->destroyed)
        return;
    game_object_plane_ghost_c* killer = FindNetworkPlane(killer_owner, killer_index);
    game_object_plane_c* player = host.GetUserPlane();
    if (killer)
        CountKill(killer);
    else if (killer_owner == local)
        CountKill(player);
    else if (killer_owner == computer_owner)
        CountKill(FindComputerPlaneById(killer_index));
    victim->ApplyDestroyed(_message);

    string_c victim_name;
    if (!PlayerName(victim_owner, victim_name))
        victim_name = victim->displayName;
    if (killer_owner == local) {
        host.AddInfoLine(Joined({Text(text_you_killed), victim_name}));
    } else {
        string_c killer_name;
        if (killer)
            killer_name = killer->displayName;
        else if (const game_object_plane_c* computer = FindComputerPlaneById(killer_index))
            killer_name = computer->displayName;
        else
            host.AddInfoLine("*system* AI not found at DestroyShadowObject (2)");
        host.AddInfoLine(Joined({victim_name, Text(text_killed), killer_name}));
    }
    if (killer_owner != local || player == nullptr)
        return;
    game_world_c* world = host.GetWorld();
    i32 place = static_cast<i32>(world->GetPlanes().size());
    for (const game_object_c* plane : world->GetPlanes()) {
        const auto* other = dynamic_cast<const game_object_plane_c*>(plane);
        if (other && other != player && other->score < player->score)
            --place;
    }
    string_c number;
    number.Format("%d", place);
    host.AddInfoLine(Joined({Text(text_your_place), number}));
}

void game_messages_c::CountKill(game_object_plane_c* _killer)
{
    if (_killer == nullptr)
        return;
    ++_killer->score;
    if (_killer->side == german_side || _killer->side == 1)
        ++host.SideScore(_killer->side);
}

void game_messages_c::OnPlaneCrash(net_message_c& _message)
{
    const u16 owner = _message.ReadU16();
    const u32 index = _message.ReadU32();
    game_object_plane_ghost_c* plane = FindNetworkPlane(owner, index);
    if (plane == nullptr)
        return;
    --plane->score;
    const i32 kind = plane->ApplyCrash(_message);
    string_c name;
    if (kind >= 0 && kind <= 2 && PlayerName(owner, name))
        host.AddInfoLine(Joined({name, Text(text_crashed + static_cast<size_t>(kind))}));
}

void game_messages_c::OnHit(net_message_c& _message)
{
    const u16 attacker_owner = _message.ReadU16();
    const u32 attacker_index = _message.ReadU32();
    const u16 victim_owner = _message.ReadU16();
    const u32 victim_index = _message.ReadU32();
    const vec3_c point = _message.ReadVec3();
    const vec3_c second = _message.ReadVec3();
    if (attacker_owner == LocalId() || (application.game_type == 3 && attacker_owner == computer_owner))
        return;
    game_object_plane_ghost_c* attacker = FindNetworkPlane(attacker_owner, attacker_index);
    if (attacker == nullptr)
        return;
    game_object_c* victim = nullptr;
    if (victim_owner == LocalId())
        victim = host.GetUserPlane();
    else if (game_object_plane_ghost_c* copy = FindNetworkPlane(victim_owner, victim_index))
        victim = copy;
    else if (victim_owner == computer_owner)
        victim = FindComputerPlaneById(victim_index);
    if (victim == nullptr)
        return;
    victim->TakeDamage(FromObjectFrame(*victim, point), second, bullet_damage, attacker, 0);
}

void game_messages_c::OnPlayerLeftMission(u16 _id)
{
    string_c name;
    if (!PlayerName(_id, name))
        return;
    host.AddInfoLine(Joined({name, Text(text_left_mission)}));
    game_object_plane_ghost_c* plane = FindNetworkPlane(_id, own_plane);
    if (plane && host.GetWorld())
        host.GetWorld()->RemoveObject(plane);
}

void game_messages_c::OnAreaDamage(net_message_c& _message)
{
    const u16 victim_owner = _message.ReadU16();
    const u16 attacker_owner = _message.ReadU16();
    const float amount = _message.ReadF32();
    const vec3_c point = _message.ReadVec3();
    const vec3_c vector = _message.ReadVec3();
    game_object_plane_ghost_c* attacker = FindNetworkPlane(attacker_owner, own_plane);
    if (attacker == nullptr)
        return;
    game_object_c* victim = victim_owner == LocalId() ? static_cast<game_object_c*>(host.GetUserPlane())
                                                      : FindNetworkPlane(victim_owner, own_plane);
    if (victim)
        victim->TakeDamage(point, vector, amount, attacker, explosion_kind);
}

void game_messages_c::OnGameEnd(net_message_c& _message)
{
    const u32 kind = _message.ReadU32();
    const string_c name = _message.ReadString();
    if (kind > 2)
        return;
    string_c line = Joined({Text(text_game_over), Text(text_result + kind)});
    if (kind == 2)
        line = Joined({line, name});
    host.AddInfoLine(line);
}

string_c game_messages_c::Joined(std::initializer_list<string_c> _parts, const char* _gap)
{
    string_c line;
    bool first = true;
    for (const string_c& part : _parts) {
        if (!first)
            line += _gap;
        line += part;
        first = false;
    }
    return line;
}

euler_c game_messages_c::Angles(const vec3_c& _rotation)
{
    return euler_c(_rotation.x, _rotation.y, _rotation.z);
}

string_c game_messages_c::PlaneFile(const game_object_plane_c& _plane)
{
    return _plane.GetModel() ? string_c(_plane.GetModel()->GetFileName().c_str()) : string_c();
}
