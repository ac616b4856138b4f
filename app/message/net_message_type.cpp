#include "app/message/net_message_type.h"

#include <iterator>

#include "app/message/net_message.h"

namespace {

// The 0x104 sender writes the time and the mission number first, so the bit
// of mp_flag starts byte 8.
constexpr net_message_layout_s kLayouts[] = {
    {net_state_request, "state request", false, "w"},
    {net_plane_enters, "plane enters", false, "shwsve"},
    {net_plane_announced, "plane announced", false, "hwsfwfsve"},
    {net_game_state, "game state", true, "fwbww"},
    {net_plane_state, "plane state", false, "hw"},
    {net_plane_destroyed, "plane destroyed", false, "hwhwve"},
    {net_plane_crash, "plane crash", false, "hw"},
    {net_guns_firing, "guns firing", false, "hwb"},
    {net_hit, "hit", false, "hwhwvv"},
    {net_player_left_mission, "player left mission", true, "h"},
    {net_respawn, "respawn", false, "hw"},
    {net_rocket, "rocket", false, "h"},
    {net_area_damage, "area damage", false, "hhfvv"},
    {net_player_left_game, "player left game", true, "h"},
    {net_game_end, "game end", false, "ws"},
    {net_player_record, "player record", false, "hhsww"},
    {net_player_list, "player list", false, "w"},
    {net_game_setup, "game setup", false, "sswww"},
    {net_setup_request, "setup request", false, "w"},
};

} // namespace

std::span<const net_message_layout_s> NetMessageLayouts()
{
    return kLayouts;
}

const net_message_layout_s* FindNetMessageLayout(u16 _type_word)
{
    const u16 type = NetMessageType(_type_word);
    for (const net_message_layout_s& layout : kLayouts)
        if (layout.type == type)
            return &layout;
    return nullptr;
}

bool SkipNetMessageFields(net_message_c& _message, const char* _body)
{
    for (const char* p = _body; *p; ++p) {
        switch (*p) {
        case 'h': _message.ReadU16(); break;
        case 'w': _message.ReadU32(); break;
        case 'f': _message.ReadF32(); break;
        case 'b': _message.ReadBit(); break;
        case 's': _message.ReadString(); break;
        case 'v': _message.ReadVec3(); break;
        case 'e': _message.ReadEuler(); break;
        default: break;
        }
    }
    return !_message.IsOverflowed();
}
