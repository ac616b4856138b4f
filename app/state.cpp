#include "app/state.h"

state_c::state_c(const string_c& _name, application_c* _application) : name(_name), application(_application) {}

void state_c::OnNetMessage(u16, net_message_c&, net_player_c*) {}

const std::string& state_c::GetFailure() const
{
    static const std::string none;
    return none;
}
