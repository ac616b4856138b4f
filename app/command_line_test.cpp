#include "app/command_line.h"

#include <gtest/gtest.h>

namespace {

struct values_s {
    bool nomenu = false;
    i32 game_type = 1;
    i32 mission_number = 1;
    i32 plane = -1;
    bool debug = false;

    bool operator==(const values_s&) const = default;
};

values_s Read(const char* _line)
{
    // Values left by the previous line must not show through.
    ReadCommandLine("nomenu type=7 no=9 plane=5 debug");
    ResetCommandLine();
    ReadCommandLine(_line);
    return {cmd_nomenu, cmd_game_type, cmd_mission_number, cmd_plane, debug_mode};
}

TEST(CommandLine, Tokens)
{
    struct case_s {
        const char* line;
        values_s expected;
    };
    const case_s cases[] = {
        {"", {}},
        {nullptr, {}},
        {"nomenu type=2 no=3", {true, 2, 3, -1, false}},
        {"  / /\t//nomenu", {true, 1, 1, -1, false}},
        {"/nomenu/type=1/no=12/plane=4", {true, 1, 12, 4, false}},
        {"debug", {false, 1, 1, -1, true}},
        {"nodebug", {false, 1, 1, -1, true}},
        {"NOMENU", {}},
        {"nomenus", {}},
        {"type=", {false, 0, 1, -1, false}},
        {"type=x", {false, 0, 1, -1, false}},
        // The number is read at the key's length from the token's start.
        {"xtype=5", {false, 0, 1, -1, false}},
        {"plane=-3", {false, 1, 1, -3, false}},
        // "type=" is tested before "no=", "no=" before "plane=".
        {"type=no=4", {false, 0, 1, -1, false}},
        {"no=plane=4", {false, 1, 0, -1, false}},
        {"type=2 type=4", {false, 4, 1, -1, false}},
        {"whatever else", {}},
    };
    for (const case_s& c : cases)
        EXPECT_EQ(Read(c.line), c.expected) << (c.line ? c.line : "(null)");
}

} // namespace
