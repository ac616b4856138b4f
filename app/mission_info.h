#pragma once
// mission_info_c: one mission of a mission list, and the readers of the
// lists the application keeps: the three mission lists, the plane list and
// the in-game texts, all read through the current file system. A missing
// file throws file_error_c with its name; a missing required parameter
// throws command_error_c "Parameter not found!".
//
// Mission lists are parameter files whose "add_mission" commands give one
// record each (other commands are passed over); `script` and `map` are the
// parameter "path" followed directly by the parameters "script" and "map".
// What else a record takes depends on the list:
//   career: "objectives", "briefing", "distinction_primary",
//     "distinction_secondary" (required); "briefing_stream" (else empty),
//     "unlock_plane" (else -1), "increse_rank" (else 0);
//   training: "objectives", "briefing";
//   multiplayer: nothing more.
#include <vector>

#include "foundation/text_string.h"
#include "foundation/types.h"

class mission_info_c {
public:
    string_c script;
    string_c objectives;
    string_c briefing;
    string_c map;
    // Spoken briefing, an Ogg file.
    string_c briefing_stream;
    // Distinction numbers 0-7; -1 none.
    i32 distinction_primary = 0;
    i32 distinction_secondary = 0;
    // Plane list entry the mission unlocks; -1 none.
    i32 unlock_plane = -1;
    // Non-zero: the mission raises the rank.
    i32 increse_rank = 0;
};

enum mission_list_kind_e {
    mission_list_career,
    mission_list_multiplayer,
    mission_list_training,
};

inline constexpr char kCareerMissionsFile[] = "data\\common\\career_missions.txt";
inline constexpr char kMultiplayerMissionsFile[] = "data\\common\\multiplayer_missions.txt";
inline constexpr char kTrainingMissionsFile[] = "data\\common\\training_missions.txt";
inline constexpr char kPlanesFile[] = "data\\common\\planes.txt";
inline constexpr char kInGameTextsFile[] = "data\\common\\in_game_texts.txt";

std::vector<mission_info_c> ReadMissionList(const char* _file_name, mission_list_kind_e _kind);
// The "fname" of every "add_plane" command.
std::vector<string_c> ReadPlaneList(const char* _file_name);
// Every non-empty line, in file order; lines end at a line feed, and a
// carriage return before it is not part of the line.
std::vector<string_c> ReadTextLines(const char* _file_name);
