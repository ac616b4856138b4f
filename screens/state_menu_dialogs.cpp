// The screens that only show a menu or a message and wait for a button: the
// exit question, the credits, the message boxes and the career messages.
#include "menu/menu_manager.h"
#include "screens/screen_controls.h"
#include "screens/state_menu.h"

void state_menu_c::UpdateExitQuestion(f32)
{
    any_menu_c* exit = Menu("Exit");
    if (IsClicked(exit, "Yes"))
        result = state_leave;
    if (IsClicked(exit, "No") || escape_pressed) {
        escape_pressed = 0;
        manager->CrossSwitchMenu("Main", kMenuSwitchTime);
        screen = screen_main;
    }
}

void state_menu_c::UpdateCredits(f32)
{
    if (IsClicked(Menu("Credits"), "back") || escape_pressed) {
        escape_pressed = 0;
        manager->CrossSwitchMenu("Options", kMenuSwitchTime);
        screen = screen_options;
    }
}

void state_menu_c::UpdatePilotMessage(f32)
{
    if (IsClicked(Menu("Dialog_OK"), "OK") || escape_pressed) {
        escape_pressed = 0;
        manager->ShowDialog(nullptr, kMenuSwitchTime);
        screen = screen_pilots;
    }
}

void state_menu_c::UpdateCareerMessage(f32)
{
    if (IsClicked(Menu("Dialog_OK"), "OK") || escape_pressed) {
        // The Escape that closes the message is not also the career list's.
        escape_pressed = 0;
        manager->ShowDialog(nullptr, kMenuSwitchTime);
        screen = screen_career;
    }
}

void state_menu_c::ShowCareerMessage(const char* _text_file, i32 _screen)
{
    LoadTextInto(Menu("Dialog_OK"), "Text", _text_file);
    manager->ShowDialog("Dialog_OK", kMenuSwitchTime);
    screen = _screen;
}

void state_menu_c::ShowNewPlaneMessage()
{
    ShowCareerMessage("DATA\\MENU\\DIALOG\\new_plane_text.txt", screen_new_plane);
}

void state_menu_c::ShowNewRankMessage()
{
    ShowCareerMessage("DATA\\MENU\\DIALOG\\new_rank_text.txt", screen_new_rank);
}

void state_menu_c::ShowNewPlaneAndRankMessage()
{
    ShowCareerMessage("DATA\\MENU\\DIALOG\\new_plane_new_rank_text.txt", screen_new_plane_and_rank);
}

void state_menu_c::ShowServerRefused()
{
    ShowCareerMessage("DATA\\MENU\\DIALOG\\server_rejected_text.txt", screen_refused_message);
}
