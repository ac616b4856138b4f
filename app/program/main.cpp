// The Linux entry in front of WinMain: the arguments joined by blanks make
// the command line, the window is shown normally, and WinMain's status is
// the process's.
//
// The shell takes its "menu" and "game" states from factories installed
// here (app/state_factories.h), from the libraries that build them; a
// state without one ends the start with a message naming it.
#include <memory>
#include <string>

#include "app/command_line.h"
#include "app/program.h"
#include "app/state_factories.h"
#include "game/state_game.h"
#include "platform/win32/windows.h"
#include "screens/state_menu.h"

namespace {

// Stands for the module handle: the program has one instance.
int g_instance;

} // namespace

int main(int _argc, char** _argv)
{
    SetStateFactory("menu", {[] { return std::make_unique<state_menu_c>(); }, {}});
    SetStateFactory("game",
                    {[] {
                         auto game = std::make_unique<state_game_c>();
                         game->SetDebug(debug_mode);
                         return game;
                     },
                     [](state_c& _state, timer_c* _timer) { static_cast<state_game_c&>(_state).SetTimer(_timer); }});
    std::string command_line;
    for (int i = 1; i < _argc; ++i) {
        if (i > 1)
            command_line += ' ';
        command_line += _argv[i];
    }
    return WinMain(reinterpret_cast<HINSTANCE>(&g_instance), nullptr, command_line.c_str(), SW_SHOWNORMAL);
}
