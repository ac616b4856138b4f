#include "app/mission_info.h"

#include "foundation/memory_file.h"
#include "foundation/script_loader.h"

namespace {

// The value of an optional integer parameter, or the default.
i32 OptionalInt(const command_c& _command, const char* _name, i32 _default)
{
    const char* value = _command.FindParameter(_name);
    return value ? TextToInt(value) : _default;
}

} // namespace

std::vector<mission_info_c> ReadMissionList(const char* _file_name, mission_list_kind_e _kind)
{
    std::vector<mission_info_c> missions;
    script_loader_c loader(_file_name);
    while (const char* name = loader.ReadCommand()) {
        if (string_c(name) != "add_mission")
            continue;
        mission_info_c mission;
        const string_c path = loader.GetParameter("path");
        mission.script = path + loader.GetParameter("script");
        mission.map = path + loader.GetParameter("map");
        if (_kind != mission_list_multiplayer) {
            mission.objectives = loader.GetParameter("objectives");
            mission.briefing = loader.GetParameter("briefing");
        }
        if (_kind == mission_list_career) {
            if (const char* stream = loader.FindParameter("briefing_stream"))
                mission.briefing_stream = stream;
            mission.unlock_plane = OptionalInt(loader, "unlock_plane", -1);
            mission.increse_rank = OptionalInt(loader, "increse_rank", 0);
            mission.distinction_primary = loader.GetInt("distinction_primary");
            mission.distinction_secondary = loader.GetInt("distinction_secondary");
        }
        missions.push_back(mission);
    }
    return missions;
}

std::vector<string_c> ReadPlaneList(const char* _file_name)
{
    std::vector<string_c> planes;
    script_loader_c loader(_file_name);
    while (const char* name = loader.ReadCommand())
        if (string_c(name) == "add_plane")
            planes.push_back(loader.GetParameter("fname"));
    return planes;
}

std::vector<string_c> ReadTextLines(const char* _file_name)
{
    std::vector<string_c> lines;
    const input_file_c file(_file_name);
    const char* text = reinterpret_cast<const char*>(file.GetData());
    const char* end = text + file.GetSize();
    while (text < end) {
        const char* stop = text;
        while (stop < end && *stop != '\n')
            ++stop;
        const char* last = stop;
        if (last > text && last[-1] == '\r')
            --last;
        if (last > text)
            lines.emplace_back().Assign(text, static_cast<unsigned>(last - text));
        text = stop + 1;
    }
    return lines;
}
