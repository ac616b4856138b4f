#include "app/command_line.h"

#include <cstdlib>
#include <cstring>
#include <string>

bool cmd_nomenu = false;
i32 cmd_game_type = 1;
i32 cmd_mission_number = 1;
i32 cmd_plane = -1;
bool debug_mode = false;

void ResetCommandLine()
{
    cmd_nomenu = false;
    cmd_game_type = 1;
    cmd_mission_number = 1;
    cmd_plane = -1;
    debug_mode = false;
}

namespace {

i32 NumberAfter(const std::string& _token, size_t _offset)
{
    return static_cast<i32>(std::strtol(_token.c_str() + _offset, nullptr, 10));
}

void ReadToken(const std::string& _token)
{
    const auto has = [&](const char* _key) { return _token.find(_key) != std::string::npos; };
    if (_token == "nomenu")
        cmd_nomenu = true;
    else if (has("type="))
        cmd_game_type = NumberAfter(_token, 5);
    else if (has("no="))
        cmd_mission_number = NumberAfter(_token, 3);
    else if (has("plane="))
        cmd_plane = NumberAfter(_token, 6);
    else if (has("debug"))
        debug_mode = true;
}

} // namespace

void ReadCommandLine(const char* _line)
{
    if (!_line)
        return;
    std::string token;
    for (const char* c = _line;; ++c) {
        if (*c == 0 || *c == ' ' || *c == '\t' || *c == '/') {
            if (!token.empty())
                ReadToken(token);
            token.clear();
            if (*c == 0)
                return;
            continue;
        }
        token += *c;
    }
}
