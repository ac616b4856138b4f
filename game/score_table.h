#pragma once
// The multiplayer score table of the HUD: every plane of the world's plane
// list ranked by its kills, highest first. A plane goes before the first
// with fewer kills, so equal counts keep the list's order.
//
// Names: a computer plane shows its own name; a network copy of a remote
// plane the name of its owner in the session's player list; the player's
// own plane the name of the local player there. A plane whose player the
// list does not have shows its own name.
//
// Kills are the plane's score (scored_plane_link_c; 0 without the link).
#include "foundation/text_string.h"
#include "foundation/vector_math.h"

#include <vector>

class game_object_c;
class font_handle_c;
class net_player_list_c;

struct score_line_c {
    string_c name;
    i32 kills = 0;
};

std::vector<score_line_c> RankPlanes(const std::vector<game_object_c*>& _planes, const net_player_list_c& _players,
                                     u16 _local_id);

// "%d. %s : %d" (rank from 1, name, kills) for each line, at x = 0.002 from
// y = 0.3 down by the text's height, with a black shadow at (x + offset,
// y + offset) first when the offset is not 0.
void RenderScoreTable(font_handle_c& _font, const std::vector<score_line_c>& _lines, const vec3_c& _color,
                      f32 _shadow_offset);
