#pragma once
// The start-up values the program takes from its command line, process-wide
// as the entry and the in-game state read them.
//
// The line is cut into tokens at blanks, tabs and '/'. A token equal to
// "nomenu" starts the game state at once; otherwise the first key a token
// contains decides, tested in this order: "type=", "no=", "plane=", then
// "debug". A number is read as decimal right after the key's length from
// the token's start (the key is expected first); no digits there read as 0.
// Other tokens are ignored.
#include "foundation/types.h"

extern bool cmd_nomenu;        // false
extern i32 cmd_game_type;      // 1
extern i32 cmd_mission_number; // 1
extern i32 cmd_plane;          // -1: not given
extern bool debug_mode;        // false

// Sets the values above from the line; values no token names keep theirs.
void ReadCommandLine(const char* _line);
// Back to the values before any line was read.
void ResetCommandLine();
