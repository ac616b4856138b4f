// The application's handling of network records and session events, after
// the current state has seen them.
#include "app/application.h"
#include "app/message/net_message.h"
#include "app/message/net_message_type.h"
#include "app/message/net_session.h"
#include "app/state.h"

namespace {

// A record of one u32 0: the body of the requests.
net_message_c Request()
{
    net_message_c message;
    message.WriteU32(0);
    return message;
}

} // namespace

void application_c::OnNetMessage(u16 _type_word, net_message_c& _message, net_player_c* _sender, void* _context)
{
    static_cast<application_c*>(_context)->HandleNetMessage(_type_word, _message, _sender);
}

void application_c::HandleNetMessage(u16 _type_word, net_message_c& _message, net_player_c* _sender)
{
    if (game_state && game_state->IsActive()) {
        game_state->OnNetMessage(_type_word, _message, _sender);
        _message.Rewind();
    }
    if (menu_state && menu_state->IsActive()) {
        menu_state->OnNetMessage(_type_word, _message, _sender);
        _message.Rewind();
    }

    net_session_c* session = net_manager.get();
    switch (NetMessageType(_type_word)) {
    case net_event_player_joined:
        if (session)
            session->Send(net_setup_request, Request(), false, false, false);
        break;
    case net_event_connected: {
        if (!session)
            break;
        const u16 localId = session->GetLocalId();
        session->Send(kNetNoTimeStamp | net_state_request, Request(), false, false, false);
        // Without a current pilot the player is announced nameless, with the
        // first plane.
        const pilot_profile_c none;
        const pilot_profile_c* pilot = pilots.GetCurrent();
        if (!pilot)
            pilot = &none;
        net_message_c join;
        join.WriteU16(net_player_add)
            .WriteU16(localId)
            .WriteCString(pilot->GetName())
            .WriteU32(pilot->selected_plane)
            .WriteU32(pilot->progress);
        if (session->GetLocalId() == localId)
            session->Send(net_player_record, join, false, false, false);
        break;
    }
    case net_event_player_left: {
        const u16 id = _message.ReadU16();
        if (!_message.IsOverflowed()) {
            players.Remove(id);
            players_changed = 1;
        }
        break;
    }
    case net_game_state: {
        _message.SetReadPos(8);
        const bool flag = _message.ReadBit();
        _message.ReadU32();
        _message.ReadU32();
        if (!_message.IsOverflowed())
            mp_flag = flag ? 1 : 0;
        if (session)
            session->OnGameState(_message.PeekFirstWord());
        break;
    }
    case net_player_record: {
        const u16 sub = _message.ReadU16();
        if (sub != net_player_add && sub != net_player_update && sub != net_player_remove)
            break;
        const u16 id = _message.ReadU16();
        string_c name;
        u32 plane = 0;
        u32 progress = 0;
        if (sub == net_player_add || sub == net_player_update) {
            name = _message.ReadString();
            plane = _message.ReadU32();
            progress = _message.ReadU32();
        }
        if (_message.IsOverflowed())
            break;
        if (sub == net_player_add)
            players.Add(name, id, plane, progress);
        else if (sub == net_player_update)
            players.Update(name, id, plane, progress);
        else
            players.Remove(id);
        players_changed = 1;
        if (session) {
            net_message_c list;
            players.Write(list);
            session->SendToGroup(0, net_player_list, list, nullptr, nullptr, false, false);
        }
        break;
    }
    case net_player_list:
        players_changed = 1;
        if (!is_server)
            players.Read(_message);
        break;
    case net_game_setup: {
        if (is_server)
            break;
        const string_c textA = _message.ReadString();
        const string_c textB = _message.ReadString();
        const u32 a = _message.ReadU32();
        const u32 b = _message.ReadU32();
        const u32 c = _message.ReadU32();
        if (_message.IsOverflowed())
            break;
        mp_setup_text_a = textA;
        mp_setup_text_b = textB;
        mp_setup_a = static_cast<i32>(a);
        mp_setup_b = static_cast<i32>(b);
        mp_setup_c = static_cast<i32>(c);
        setup_received = 1;
        break;
    }
    case net_setup_request: SendSetup(); break;
    default: break;
    }
}

void application_c::SendSetup()
{
    if (!net_manager)
        return;
    net_message_c setup;
    setup.WriteString(mp_setup_text_a)
        .WriteString(mp_setup_text_b)
        .WriteU32(static_cast<u32>(mp_setup_a))
        .WriteU32(static_cast<u32>(mp_setup_b))
        .WriteU32(static_cast<u32>(mp_setup_c));
    net_manager->SendToGroup(0, net_game_setup, setup, nullptr, nullptr, false, false);
}
