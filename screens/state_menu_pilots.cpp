// The pilots page: choosing, creating and removing pilots, and the panel of
// a pilot's distinctions.
#include "app/application.h"
#include "menu/any_menu.h"
#include "menu/any_menu_control.h"
#include "menu/menu_manager.h"
#include "menu/text_window.h"
#include "screens/distinction_display.h"
#include "screens/screen_controls.h"
#include "screens/state_menu.h"

namespace {

// The pilot a typed name stands for: names are kept to the profile's length,
// so a longer text finds the pilot it would select.
const pilot_profile_c* FindTyped(const pilot_list_c& _pilots, const string_c& _name)
{
    pilot_profile_c probe;
    probe.SetName(_name.GetData());
    return _pilots.Find(probe.GetName());
}

} // namespace

void state_menu_c::UpdatePilots(f32)
{
    application_c& app = *GetApplication();
    any_menu_c* pilots = Menu("Pilot");
    if (!pilots)
        return;

    const menu_ret_c list = ReadControl(pilots, "PilotsList");
    if (list.intValue != -1 && !IsEditing(pilots, "Input")) {
        menu_ret_c name;
        name.stringValue = list.stringValue;
        pilots->ControlSetState("Input", &name);
    }

    SetUsable(pilots, "Back", !app.pilots.GetCurrentName().IsEmpty());
    SetUsable(pilots, "remove", list.intValue != -1);

    const menu_ret_c input = ReadControl(pilots, "Input");
    const pilot_profile_c* named = FindTyped(app.pilots, input.stringValue);
    if (!named) {
        if (!pilots->ControlIsDisabled("Poziom")) {
            ResetControl(pilots, "Poziom");
            pilots->ControlDisable("Poziom", true);
        }
    } else {
        SetUsable(pilots, "Poziom", false);
        pilots->ControlSetState("Poziom", named->HasCreationFlag() ? 1 : 0);
    }

    SetUsable(pilots, "Login", list.intValue != -1 || !input.stringValue.IsEmpty());

    if (IsEditing(pilots, "Input"))
        Deselect(pilots, "PilotsList");

    if (IsClicked(pilots, "remove")) {
        LoadTextInto(Menu("Dialog_Yes_No"), "Text", "DATA\\MENU\\DIALOG\\Remove_pilot_text.txt");
        manager->ShowDialog("Dialog_Yes_No", kMenuSwitchTime);
        screen = screen_remove_pilot;
        return;
    }

    const bool enter = input.intValue == kKeyEnter;
    if (IsClicked(pilots, "Login") || enter) {
        const menu_ret_c typed = ReadControl(pilots, "Input");
        const bool difficulty = ReadControl(pilots, "Poziom").intValue != 0;
        // An empty name is never a pilot; Enter in an empty box does nothing.
        if (!typed.stringValue.IsEmpty()) {
            app.pilots.Create(typed.stringValue, difficulty);
            selected_career = -1;
            selected_training = -1;
            distinctions->GoOut();
            app.pilots.Save();
            manager->CrossSwitchMenu("Main", kMenuSwitchTime);
            screen = screen_main;
            return;
        }
    }

    const bool backUsable = pilots->ControlIsDisabled("Back");
    if (IsClicked(pilots, "Back") || (escape_pressed && backUsable)) {
        escape_pressed = 0;
        distinctions->GoOut();
        manager->CrossSwitchMenu("Main", kMenuSwitchTime);
        screen = screen_main;
    } else if (escape_pressed) {
        escape_pressed = 0;
    }

    if (input.stringValue != distinctions->GetPilotName()) {
        const pilot_profile_c* shown = FindTyped(app.pilots, input.stringValue);
        pilot_profile_c blank;
        LayOutLegend(shown ? shown : &blank, false, input.stringValue);
    }

    // The counts, and the names bright where earned.
    const pilot_profile_c* counted = FindTyped(app.pilots, input.stringValue);
    for (u32 i = 0; i < pilot_profile_c::kDistinctionCount; ++i) {
        string_c count("m");
        count += i + 1;
        string_c label("dupa");
        label += i + 1;
        const bool earned = counted && counted->distinctions[i] != 0;
        string_c text;
        if (earned) {
            text = "   x ";
            text += counted->distinctions[i];
        }
        SetLabel(pilots, count, text);
        if (TextWindowControl* name = FindTextWindow(pilots, label))
            name->SetColor(earned ? vec3_c(1.0f, 1.0f, 1.0f) : vec3_c(0.3f, 0.3f, 0.3f));
    }
}

void state_menu_c::UpdateRemovePilot(f32)
{
    application_c& app = *GetApplication();
    any_menu_c* question = Menu("Dialog_Yes_No");
    any_menu_c* pilots = Menu("Pilot");
    if (IsClicked(question, "Yes")) {
        const menu_ret_c list = ReadControl(pilots, "PilotsList");
        app.pilots.Remove(list.stringValue);
        any_menu_control_c* control = pilots ? pilots->FindControl("PilotsList") : nullptr;
        if (control && list.intValue != -1) {
            control->RemoveItem(list.stringValue);
            const size_t remaining = app.pilots.GetCount();
            if (remaining > 0)
                pilots->ControlSetState("PilotsList", std::min(static_cast<i32>(remaining) - 1, list.intValue));
            else
                app.pilots.SetCurrentName("");
        }
        app.pilots.Save();
        screen = screen_pilots;
        manager->ShowDialog(nullptr, kMenuSwitchTime);
    }
    if (IsClicked(question, "No") || escape_pressed) {
        escape_pressed = 0;
        manager->ShowDialog(nullptr, kMenuSwitchTime);
        screen = screen_pilots;
    }
}
