#include "app/message/net_session.h"

void net_session_c::SendTo(const net_player_c*, u16, const net_message_c&, bool, bool) {}

const net_player_c* net_session_c::FindPlayer(u16) const
{
    return nullptr;
}
