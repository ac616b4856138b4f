#include "app/application.h"
#include "app/message/net_message.h"
#include "app/message/net_message_type.h"
#include "app/message/net_session.h"
#include "game/game_messages.h"
#include "game/object_links.h"
#include "game/objects/network_plane.h"

// What this program sends of its own planes and of the game.

bool game_messages_c::WritePlane(const game_object_plane_c& _plane, net_message_c& _body) const
{
    u16 owner = 0;
    u32 index = 0;
    if (!Identify(&_plane, owner, index))
        return false;
    _body.WriteU16(owner).WriteU32(index);
    return true;
}

void game_messages_c::WritePlace(const game_object_c& _plane, net_message_c& _body)
{
    _body.WriteVec3(_plane.GetPosition()).WriteEuler(Angles(_plane.GetRotation()));
}

void game_messages_c::SendGameState(float _time)
{
    if (session == nullptr)
        return;
    net_message_c state;
    WriteGameState(state, _time);
    session->SendToGroup(0, kNetNoTimeStamp | net_game_state, state, nullptr, nullptr, false, false);
}

void game_messages_c::AnnouncePlayerPlane()
{
    game_object_plane_c* plane = host.GetUserPlane();
    if (plane == nullptr)
        return;
    net_message_c body;
    body.WriteString(PlaneFile(*plane))
        .WriteU16(LocalId())
        .WriteU32(own_plane)
        .WriteString(plane->displayName)
        .WriteVec3(plane->GetPosition())
        .WriteEuler(Angles(plane->GetRotation()));
    Send(net_plane_enters, body, false);
}

void game_messages_c::AnnounceComputerPlane(const string_c& _file, u32 _network_id, const string_c& _name,
                                            const vec3_c& _position, const vec3_c& _rotation)
{
    if (session == nullptr)
        return;
    net_message_c body;
    body.WriteString(_file)
        .WriteU16(computer_owner)
        .WriteU32(_network_id)
        .WriteString(_name)
        .WriteVec3(_position)
        .WriteEuler(Angles(_rotation));
    session->SendToGroup(0, net_plane_enters, body, session->FindPlayer(LocalId()), nullptr, false, false);
}

void game_messages_c::SendPlaneState(const game_object_plane_c& _plane, float _clock)
{
    net_message_c body;
    if (!WritePlane(_plane, body))
        return;
    body.WriteF32(_clock);
    WritePlace(_plane, body);
    Send(net_plane_state, body, true);
}

void game_messages_c::SendFiring(const game_object_plane_c& _plane, bool _firing)
{
    net_message_c body;
    if (!WritePlane(_plane, body))
        return;
    body.WriteBit(_firing);
    Send(net_guns_firing, body, true);
}

void game_messages_c::SendCrash(const game_object_plane_c& _plane, u32 _kind)
{
    net_message_c body;
    if (!WritePlane(_plane, body))
        return;
    body.WriteU32(_kind);
    WritePlace(_plane, body);
    Send(net_plane_crash, body, true);
}

void game_messages_c::SendRespawn(const game_object_plane_c& _plane)
{
    net_message_c body;
    if (!WritePlane(_plane, body))
        return;
    Send(net_respawn, body, true);
}

void game_messages_c::SendRocket()
{
    net_message_c body;
    body.WriteU16(LocalId());
    Send(net_rocket, body, true);
}

void game_messages_c::AnnounceDestroyed(game_object_plane_c& _victim, u16 _victim_word, u32 _victim_id,
                                        game_object_c* _killer)
{
    u16 killer_word = computer_owner;
    u32 killer_id = unknown_killer;
    if (!Identify(_killer, killer_word, killer_id)) {
        killer_word = computer_owner;
        killer_id = unknown_killer;
    } else {
        CountKill(dynamic_cast<game_object_plane_c*>(_killer));
    }
    if (_victim.GetType() == object_plane_user) {
        const auto* killer_plane = dynamic_cast<const game_object_plane_c*>(_killer);
        string_c line = Joined({Text(text_killed_by), killer_plane ? killer_plane->displayName : string_c()});
        line += ".";
        host.AddInfoLine(line);
    }
    net_message_c body;
    body.WriteU16(_victim_word).WriteU32(_victim_id).WriteU16(killer_word).WriteU32(killer_id);
    WritePlace(_victim, body);
    Send(net_plane_destroyed, body, true);
}

void game_messages_c::SendHit(game_object_c* _shooter, game_object_c* _victim, const vec3_c& _point,
                              const vec3_c& _normal)
{
    u16 attacker_owner = 0;
    u32 attacker_index = 0;
    if (!Identify(_shooter, attacker_owner, attacker_index))
        return;
    u16 victim_owner = computer_owner;
    u32 victim_index = nobody;
    const int type = _victim ? _victim->GetType() : -1;
    if (type == object_plane_ghost || type == object_plane_ai)
        Identify(_victim, victim_owner, victim_index);
    net_message_c body;
    body.WriteU16(attacker_owner).WriteU32(attacker_index).WriteU16(victim_owner).WriteU32(victim_index);
    body.WriteVec3(_victim ? ToObjectFrame(*_victim, _point) : _point).WriteVec3(_normal);
    Send(net_hit, body, true);
}

void game_messages_c::SendAreaDamage(const game_object_plane_ghost_c& _victim, float _damage, const vec3_c& _point)
{
    net_message_c body;
    body.WriteU16(_victim.ownerId).WriteU16(LocalId()).WriteF32(_damage).WriteVec3(_point);
    body.WriteVec3(vec3_c(0.0f, 1.0f, 0.0f));
    Send(net_area_damage, body, true);
}

void game_messages_c::SendDeparture(bool _multiplayer)
{
    if (session == nullptr)
        return;
    net_message_c body;
    body.WriteU16(LocalId());
    // Relayed, so every other program drops the plane, not the host alone.
    session->Send(kNetNoTimeStamp | net_player_left_mission, body, true, false, false);
    if (!_multiplayer)
        return;
    // A joined program reaches the others only through the host.
    if (application.game_type == 3)
        session->SendToGroup(0, kNetNoTimeStamp | net_player_left_game, body, nullptr, nullptr, false, false);
    else
        session->Send(kNetNoTimeStamp | net_player_left_game, body, true, false, false);
}

void game_messages_c::SendGameEnd(u32 _kind, const string_c& _leader)
{
    if (session == nullptr)
        return;
    net_message_c body;
    body.WriteU32(_kind).WriteString(_leader);
    session->SendToGroup(0, net_game_end, body, nullptr, nullptr, false, false);
}
