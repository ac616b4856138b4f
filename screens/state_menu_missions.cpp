// The career and training screens: the mission grid with its locks, the
// briefing page, and the start of a mission.
#include <algorithm>

#include "app/application.h"
#include "menu/any_menu.h"
#include "menu/menu_manager.h"
#include "menu/text_window.h"
#include "screens/briefing_voice.h"
#include "screens/career_order.h"
#include "screens/distinction_display.h"
#include "screens/menu_music.h"
#include "screens/screen_controls.h"
#include "screens/state_menu.h"

namespace {

string_c ButtonName(i32 _n)
{
    string_c name("B");
    name += _n;
    return name;
}

// The name at an index, or "" outside the list.
const char* NameAt(const std::vector<string_c>& _names, u32 _index)
{
    return _index < _names.size() ? _names[_index].GetData() : "";
}

} // namespace

void state_menu_c::UpdatePilotLabels(any_menu_c* _menu)
{
    const pilot_profile_c* pilot = CurrentPilot();
    if (!pilot)
        return;
    SetLabel(_menu, "pilot_name", pilot->GetName());
    SetLabel(_menu, "pilot_rank", NameAt(rank_names, pilot->GetRank()));
    SetLabel(_menu, "pilot_dif", NameAt(difficulty_names, pilot->HasCreationFlag() ? 1 : 0));
    SetLabel(_menu, "pilot_plane", PlaneName(static_cast<i32>(pilot->selected_plane)));
}

void state_menu_c::UpdateScrollBar(any_menu_c* _menu, bool _reset)
{
    TextWindowControl* description = FindTextWindow(_menu, "MissionDesc");
    if (!description)
        return;
    const bool usable = _menu->ControlIsDisabled("MissionDesc_scroll");
    const bool needed = description->NeedsScrollBar();
    if (needed != usable) {
        _menu->ControlDisable("MissionDesc_scroll", needed);
        if (_reset)
            ResetControl(_menu, "MissionDesc_scroll");
    }
}

void state_menu_c::FadeMusicUnderVoice(f32 _time)
{
    music->FadeTo(voice->IsPlaying() ? kVoiceMusicGain : 1.0f, 1.0f, _time);
}

void state_menu_c::StartMission(i32 _game_type)
{
    application_c& app = *GetApplication();
    app.primary_reached = 0;
    app.secondary_reached = 0;
    app.game_type = _game_type;
    if (_game_type == 1) {
        voice->Stop();
        app.mission_number = selected_career;
        app.career_plane_count = static_cast<i32>(available_planes.size());
    } else {
        app.mission_number = selected_training;
    }
    result = state_start_game;
}

void state_menu_c::UpdateCareerList(f32 _time)
{
    application_c& app = *GetApplication();
    any_menu_c* career = Menu("Career");
    any_menu_c* list = FindChainMenu(career, "Content", "C1");

    if (new_plane && promoted) {
        new_plane = 0;
        promoted = 0;
        ShowNewPlaneAndRankMessage();
    } else if (new_plane) {
        new_plane = 0;
        ShowNewPlaneMessage();
    } else if (promoted) {
        promoted = 0;
        ShowNewRankMessage();
    }

    UpdateScrollBar(career, true);
    if (TextWindowControl* description = FindTextWindow(career, "MissionDesc"))
        description->SetScrollBar(ReadControl(career, "MissionDesc_scroll").floatValue);
    UpdatePilotLabels(career);

    const pilot_profile_c* pilot = CurrentPilot();
    const i32 missions = static_cast<i32>(app.career_missions.size());
    for (i32 n = 1; n <= kGridButtons; ++n) {
        const bool usable =
            pilot && n <= missions &&
            career_order->IsAvailable(n - 1, pilot->missions_done, pilot_profile_c::kCareerMissionCount);
        SetUsable(list, ButtonName(n), usable);
    }

    for (i32 n = 1; n <= kGridButtons; ++n) {
        if (!IsClicked(list, ButtonName(n)) || n > missions)
            continue;
        if (n == selected_career) {
            distinctions->ClearIcons();
            distinctions->BuildPilotRow();
            voice->Stop();
            music->FadeTo(1.0f, 1.0f, _time);
            if (dialog_chain_c* content = career->FindDialogChain("Content"))
                content->ShowOnlyChild("C2");
            screen = screen_career_briefing;
            return;
        }
        selected_career = n;
        const mission_info_c& mission = app.career_missions[static_cast<size_t>(n - 1)];
        voice->Play(mission.briefing_stream, _time);
        ResetControl(career, "MissionDesc_scroll");
        LoadTextInto(career, "MissionDesc", mission.briefing);
        LoadTextInto(career, "MissionObj", mission.objectives);
    }

    SetUsable(list, "Continue", selected_career != -1);
    if (IsClicked(list, "Continue") && selected_career != -1) {
        distinctions->ClearIcons();
        distinctions->BuildPilotRow();
        if (dialog_chain_c* content = career->FindDialogChain("Content"))
            content->ShowOnlyChild("C2");
        screen = screen_career_briefing;
        return;
    }

    if (IsClicked(list, "back") || escape_pressed) {
        escape_pressed = 0;
        music->SwitchMusic("Main", _time, kMusicSwitchTime);
        voice->Stop();
        music->FadeTo(1.0f, 1.0f, _time);
        distinctions->GoOut();
        manager->CrossSwitchMenu("Main", kMenuSwitchTime);
        screen = screen_main;
        return;
    }
    FadeMusicUnderVoice(_time);
}

void state_menu_c::UpdateCareerBriefing(f32 _time)
{
    any_menu_c* career = Menu("Career");
    any_menu_c* briefing = FindChainMenu(career, "Content", "C2");
    FadeMusicUnderVoice(_time);
    if (TextWindowControl* description = FindTextWindow(career, "MissionDesc"))
        description->SetScrollBar(ReadControl(career, "MissionDesc_scroll").floatValue);

    if (IsClicked(briefing, "back") || escape_pressed) {
        escape_pressed = 0;
        distinctions->ClearIcons();
        distinctions->BuildPilotRow();
        distinctions->BuildMissionIcons(*career_order);
        if (dialog_chain_c* content = career ? career->FindDialogChain("Content") : nullptr)
            content->ShowOnlyChild("C1");
        screen = screen_career;
        return;
    }
    if (IsClicked(briefing, "Plane")) {
        manager->ShowDialog("SelPlane", kMenuSwitchTime);
        screen = screen_career_plane;
        return;
    }
    if (IsClicked(briefing, "continue") && selected_career != -1)
        StartMission(1);
}

void state_menu_c::UpdateTrainingList(f32)
{
    application_c& app = *GetApplication();
    any_menu_c* training = Menu("Training");
    any_menu_c* list = FindChainMenu(training, "Content", "C1");

    UpdateScrollBar(training, true);
    if (TextWindowControl* description = FindTextWindow(training, "MissionDesc"))
        description->SetScrollBar(ReadControl(training, "MissionDesc_scroll").floatValue);
    UpdatePilotLabels(training);

    const pilot_profile_c* pilot = CurrentPilot();
    const i32 missions = static_cast<i32>(app.training_missions.size());
    const i64 progress = pilot ? static_cast<i64>(pilot->unlock_level) : 0;
    for (i32 n = 1; n <= kGridButtons; ++n)
        SetUsable(list, ButtonName(n), n <= missions && n - 1 <= progress);

    for (i32 n = 1; n <= kGridButtons; ++n) {
        if (!IsClicked(list, ButtonName(n)) || n > missions)
            continue;
        if (n == selected_training) {
            if (dialog_chain_c* content = training->FindDialogChain("Content"))
                content->ShowOnlyChild("C2");
            screen = screen_training_briefing;
            return;
        }
        selected_training = n;
        const mission_info_c& mission = app.training_missions[static_cast<size_t>(n - 1)];
        LoadTextInto(training, "MissionDesc", mission.briefing);
        LoadTextInto(training, "MissionObj", mission.objectives);
        ResetControl(training, "MissionDesc_scroll");
    }
    UpdateScrollBar(training, false);

    SetUsable(list, "Continue", selected_training != -1);
    if (IsClicked(list, "Continue") && selected_training != -1) {
        if (dialog_chain_c* content = training->FindDialogChain("Content"))
            content->ShowOnlyChild("C2");
        screen = screen_training_briefing;
        return;
    }
    if (IsClicked(list, "back") || escape_pressed) {
        escape_pressed = 0;
        distinctions->GoOut();
        manager->CrossSwitchMenu("Main", kMenuSwitchTime);
        screen = screen_main;
    }
}

void state_menu_c::UpdateTrainingBriefing(f32)
{
    any_menu_c* training = Menu("Training");
    any_menu_c* briefing = FindChainMenu(training, "Content", "C2");
    if (TextWindowControl* description = FindTextWindow(training, "MissionDesc"))
        description->SetScrollBar(ReadControl(training, "MissionDesc_scroll").floatValue);

    if (IsClicked(briefing, "back") || escape_pressed) {
        escape_pressed = 0;
        if (dialog_chain_c* content = training ? training->FindDialogChain("Content") : nullptr)
            content->ShowOnlyChild("C1");
        screen = screen_training;
        return;
    }
    if (IsClicked(briefing, "Plane")) {
        manager->ShowDialog("SelPlane", kMenuSwitchTime);
        screen = screen_training_plane;
        return;
    }
    if (IsClicked(briefing, "continue") && selected_training != -1)
        StartMission(2);
}
