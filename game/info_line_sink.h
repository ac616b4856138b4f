#pragma once
// info_line_sink_c: where the in-game state sends the lines of text that
// the player reads over the game (orders given, a plane lost, a respawn
// coming). The HUD implements it; until one is set the state drops them.
#include "foundation/text_string.h"

class info_line_sink_c {
public:
    virtual ~info_line_sink_c() = default;
    virtual void AddInfoLine(const string_c& _text) = 0;
};
