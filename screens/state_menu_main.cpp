// The main menu and the pilots page's distinction legend.
#include "app/application.h"
#include "menu/any_menu.h"
#include "menu/any_menu_control.h"
#include "menu/menu_manager.h"
#include "menu/menu_rect.h"
#include "screens/career_order.h"
#include "screens/distinction_display.h"
#include "screens/menu_music.h"
#include "screens/screen_controls.h"
#include "screens/state_menu.h"

namespace {

constexpr char kSelectMissionText[] = "DATA\\MENU\\CAREER\\select_mission_text.txt";

// Moves a control's rectangle so that its top left is at (x, y).
void PlaceControl(any_menu_c* _menu, const string_c& _name, f32 _x, f32 _y)
{
    any_menu_control_c* control = _menu ? _menu->FindControl(_name) : nullptr;
    menu_rect_c* rect = control ? control->GetRectangle() : nullptr;
    if (!rect)
        return;
    const f32 width = rect->GetWidth();
    const f32 height = rect->GetHeight();
    rect->left = _x;
    rect->top = _y;
    rect->right = _x + width;
    rect->bottom = _y + height;
}

} // namespace

void state_menu_c::ShowMissionListPage(const char* _menu)
{
    any_menu_c* menu = Menu(_menu);
    if (dialog_chain_c* content = menu ? menu->FindDialogChain("Content") : nullptr)
        content->ShowOnlyChild("C1");
    ClearText(menu, "MissionObj");
    LoadTextInto(menu, "MissionDesc", kSelectMissionText);
}

void state_menu_c::UpdateMainMenu(f32 _time)
{
    application_c& app = *GetApplication();
    any_menu_c* main = Menu("Main");
    pilot_profile_c* pilot = CurrentPilot();

    if (app.pilots.GetCurrentName().IsEmpty() || !pilot) {
        distinctions->ClearIcons();
        any_menu_c* pilots = Menu("Pilot");
        StartEditing(pilots, "input", ReadControl(pilots, "pilotdefaultname").stringValue);
        BuildPilotLegend(true);
        LoadTextInto(Menu("Dialog_OK"), "Text", "DATA\\MENU\\DIALOG\\create_pilot_text.txt");
        manager->CrossSwitchMenu("Pilot", kMenuSwitchTime);
        manager->ShowDialog("Dialog_ok", kMenuSwitchTime);
        screen = screen_pilot_message;
        // Without a pilot no other way out of the main menu makes sense.
        return;
    }

    if (IsClicked(main, "Training")) {
        pilot->selected_plane = 1;
        BuildAvailablePlanes(false);
        distinctions->BuildPilotRow();
        distinctions->GoIn();
        ShowMissionListPage("Training");
        selected_training = -1;
        manager->CrossSwitchMenu("Training", kMenuSwitchTime);
        screen = screen_training;
    }
    if (IsClicked(main, "Options")) {
        OpenOptions();
        screen = screen_options;
    }
    if (IsClicked(main, "Career")) {
        pilot->selected_plane = 1;
        BuildAvailablePlanes(false);
        distinctions->ClearIcons();
        distinctions->BuildPilotRow();
        distinctions->BuildMissionIcons(*career_order);
        distinctions->GoIn();
        selected_career = -1;
        ShowMissionListPage("Career");
        music->SwitchMusic("Career", _time, kMusicSwitchTime);
        manager->CrossSwitchMenu("Career", kMenuSwitchTime);
        screen = screen_career;
    }
    if (IsClicked(main, "Multiplayer"))
        OpenMultiplayer(_time);
    if (IsClicked(main, "Pilot")) {
        BuildPilotLegend(false);
        any_menu_c* pilots = Menu("Pilot");
        if (any_menu_control_c* list = pilots ? pilots->FindControl("PilotsList") : nullptr) {
            list->RemoveItem(nullptr);
            for (size_t i = 0; i < app.pilots.GetCount(); ++i)
                list->AddItem(app.pilots.Get(i)->GetName());
        }
        if (pilots) {
            pilots->ControlSetState("PilotsList", app.pilots.GetCurrentName().GetData());
            pilots->ControlSetState("Input", app.pilots.GetCurrentName().GetData());
        }
        manager->CrossSwitchMenu("Pilot", kMenuSwitchTime);
        screen = screen_pilots;
    }
    if (IsClicked(main, "Exit") || escape_pressed) {
        escape_pressed = 0;
        manager->CrossSwitchMenu("Exit", kMenuSwitchTime);
        screen = screen_exit;
    }
}

void state_menu_c::BuildPilotLegend(bool _dim_all)
{
    LayOutLegend(CurrentPilot(), _dim_all, GetApplication()->pilots.GetCurrentName());
    distinctions->GoIn();
}

void state_menu_c::LayOutLegend(const pilot_profile_c* _pilot, bool _dim_all, const string_c& _name)
{
    distinctions->ClearIcons();
    any_menu_c* pilots = Menu("pilot");
    for (u32 i = 0; i < pilot_profile_c::kDistinctionCount; ++i) {
        const f32 x = i % 2 == 0 ? 0.925f : 0.575f;
        const f32 row = static_cast<f32>(i);
        const bool dimmed = _dim_all || !_pilot || _pilot->distinctions[i] == 0;
        distinctions->AddIcon(x, 0.107f + 0.083f * row, 0.042f, 0.11f, static_cast<i32>(i), dimmed);
        string_c count("m");
        count += i + 1;
        PlaceControl(pilots, count, x, 0.107f + 0.166f * row);
        string_c label("dupa");
        label += i + 1;
        any_menu_control_c* control = pilots ? pilots->FindControl(label) : nullptr;
        if (menu_rect_c* rect = control ? control->GetRectangle() : nullptr)
            PlaceControl(pilots, label, rect->left, 0.172f + 0.166f * row);
    }
    distinctions->SetPilotName(_name);
}
