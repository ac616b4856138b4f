#include "game/score_table.h"

#include "app/net_player_list.h"
#include "engine/font_handle.h"
#include "game/object_links.h"
#include "game/objects/game_object.h"

#include <algorithm>

namespace {

constexpr f32 table_x = 0.002f;
constexpr f32 table_top = 0.3f;

i32 Kills(const game_object_c* _plane)
{
    const auto* scored = dynamic_cast<const scored_plane_link_c*>(_plane);
    return scored ? scored->GetScore() : 0;
}

string_c ShownName(const game_object_c* _plane, const net_player_list_c& _players, u16 _local_id)
{
    const net_player_entry_s* player = nullptr;
    if (_plane->GetType() == object_plane_user) {
        player = _players.Find(_local_id);
    } else if (_plane->GetType() == object_plane_ghost) {
        if (const auto* scored = dynamic_cast<const scored_plane_link_c*>(_plane))
            player = _players.Find(scored->GetOwnerId());
    }
    return player ? player->name : _plane->name;
}

} // namespace

std::vector<score_line_c> RankPlanes(const std::vector<game_object_c*>& _planes, const net_player_list_c& _players,
                                     u16 _local_id)
{
    std::vector<score_line_c> lines;
    for (const game_object_c* plane : _planes) {
        const i32 kills = Kills(plane);
        const auto fewer =
            std::find_if(lines.begin(), lines.end(), [&](const score_line_c& _line) { return _line.kills < kills; });
        lines.insert(fewer, {ShownName(plane, _players, _local_id), kills});
    }
    return lines;
}

void RenderScoreTable(font_handle_c& _font, const std::vector<score_line_c>& _lines, const vec3_c& _color,
                      f32 _shadow_offset)
{
    f32 y = table_top;
    i32 rank = 1;
    for (const score_line_c& line : _lines) {
        const string_c text("%d. %s : %d", rank++, line.name.GetData(), line.kills);
        if (_shadow_offset != 0.0f)
            _font.DrawText(table_x + _shadow_offset, y + _shadow_offset, text.GetData(), vec3_c(0.0f, 0.0f, 0.0f), 0.0f,
                           0);
        _font.DrawText(table_x, y, text.GetData(), _color, 0.0f, 0);
        y += _font.GetTextHeight(text.GetData());
    }
}
