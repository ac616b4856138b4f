#include "game/game_log.h"

#include <cstdio>

void game_log_c::Write(const std::string& _line)
{
    lines.push_back(_line);
    if (echo)
        std::fprintf(stderr, "%s\n", _line.c_str());
}
