// Plane selection: the planes a pilot may fly, the statistics of the chosen
// one and its turning preview.
#include <algorithm>

#include "app/application.h"
#include "app/message/net_message.h"
#include "app/message/net_message_type.h"
#include "app/message/net_session.h"
#include "engine/camera.h"
#include "engine/scene.h"
#include "engine/scene_loader.h"
#include "level/object_template.h"
#include "level/parameter.h"
#include "menu/any_menu.h"
#include "menu/menu_manager.h"
#include "screens/briefing_voice.h"
#include "screens/screen_controls.h"
#include "screens/state_menu.h"

namespace {

constexpr char kPreviewScene[] = "data\\game\\terrains\\lights.lws";
constexpr const char* kPlaneModels[] = {"inside",  "guns", "outside", "distant",       "burned",
                                        "crashed", "mask", "shadow",  "airscrew_slow", "airscrew_fast"};

// Where the pilot's plane stands in the list: its first index, or -1.
i32 IndexOf(const std::vector<i32>& _planes, u32 _plane)
{
    const auto found = std::find(_planes.begin(), _planes.end(), static_cast<i32>(_plane));
    return found == _planes.end() ? -1 : static_cast<i32>(found - _planes.begin());
}

f32 FloatParameter(const object_template_c& _template, const char* _name)
{
    const auto* number = dynamic_cast<const parameter_float_c*>(_template.FindGroupParameter("MainGroup", _name));
    return number ? number->value : 0.0f;
}

} // namespace

void state_menu_c::BuildPlanePreview()
{
    application_c& app = *GetApplication();
    plane_scene.reset(LoadScene(kPreviewScene, app.GetRenderer()));
    auto* camera = new camera_c("cam");
    camera->position = vec3_c(0.8f, 4.5f, -33.0f);
    camera->rotation = vec3_c(-0.0261799f, 0.015708f, 0.0f);
    plane_scene->AddCamera(camera);
    plane_scene->SetActiveCamera(camera);
    for (const string_c& file : app.planes) {
        auto plane = std::make_unique<object_template_c>();
        if (null_object_c* node = plane->Load(file, app.GetRenderer()))
            plane_scene->AddObject(node);
        plane_objects.push_back(std::move(plane));
    }
}

void state_menu_c::FreePlanePreview()
{
    // The templates own their nodes: the scene gives them back first.
    if (plane_scene)
        for (const auto& plane : plane_objects)
            if (plane->GetNode())
                plane_scene->RemoveObject(plane->GetNode());
    plane_scene.reset();
    plane_objects.clear();
}

object_template_c* state_menu_c::PlaneTemplate(i32 _plane) const
{
    if (_plane < 1 || static_cast<size_t>(_plane) > plane_objects.size())
        return nullptr;
    return plane_objects[static_cast<size_t>(_plane - 1)].get();
}

string_c state_menu_c::PlaneName(i32 _plane) const
{
    const object_template_c* plane = PlaneTemplate(_plane);
    const auto* name =
        plane ? dynamic_cast<const parameter_text_c*>(plane->FindGroupParameter("MainGroup", "name")) : nullptr;
    return name ? string_c(name->value.c_str()) : string_c();
}

void state_menu_c::BuildAvailablePlanes(bool _multiplayer)
{
    application_c& app = *GetApplication();
    available_planes = {1, 2};
    if (_multiplayer)
        available_planes.insert(available_planes.end(), {11, 12});
    const pilot_profile_c* pilot = CurrentPilot();
    if (!pilot)
        return;
    const size_t count = std::min<size_t>(app.career_missions.size(), pilot_profile_c::kCareerMissionCount);
    for (size_t m = 0; m < count; ++m) {
        const i32 u = app.career_missions[m].unlock_plane;
        if (!pilot->missions_done[m] || u < 1 || u > 4)
            continue;
        if (std::find(available_planes.begin(), available_planes.end(), 2 * u + 1) != available_planes.end())
            continue;
        available_planes.insert(available_planes.end(), {2 * u + 1, 2 * u + 2});
        if (_multiplayer)
            available_planes.insert(available_planes.end(), {2 * u + 11, 2 * u + 12});
    }
}

bool state_menu_c::HasNextPlane() const
{
    const pilot_profile_c* pilot = CurrentPilot();
    const i32 index = pilot ? IndexOf(available_planes, pilot->selected_plane) : -1;
    const i32 count = static_cast<i32>(available_planes.size());
    return index == -1 ? 1 < count : index + 1 < count;
}

bool state_menu_c::HasPrevPlane() const
{
    const pilot_profile_c* pilot = CurrentPilot();
    return pilot && IndexOf(available_planes, pilot->selected_plane) >= 1;
}

void state_menu_c::SelectNextPlane()
{
    pilot_profile_c* pilot = CurrentPilot();
    if (!pilot || !HasNextPlane())
        return;
    const i32 index = std::max(IndexOf(available_planes, pilot->selected_plane), 0);
    pilot->selected_plane = static_cast<u32>(available_planes[static_cast<size_t>(index + 1)]);
}

void state_menu_c::SelectPrevPlane()
{
    pilot_profile_c* pilot = CurrentPilot();
    if (!pilot || !HasPrevPlane())
        return;
    const i32 index = IndexOf(available_planes, pilot->selected_plane);
    pilot->selected_plane = static_cast<u32>(available_planes[static_cast<size_t>(index - 1)]);
}

void state_menu_c::UpdatePlaneSelection(f32 _time)
{
    application_c& app = *GetApplication();
    const bool career = screen == screen_career_plane;
    const bool multiplayer = screen == screen_multiplayer_plane;
    any_menu_c* selection = Menu("SelPlane");
    pilot_profile_c* pilot = CurrentPilot();
    if (career)
        FadeMusicUnderVoice(_time);
    plane_preview_shown = 1;

    const i32 plane = pilot ? static_cast<i32>(pilot->selected_plane) : 0;
    if (const object_template_c* chosen = PlaneTemplate(plane)) {
        SetLabel(selection, "plane_name", PlaneName(plane));
        if (selection) {
            selection->ControlSetState("plane_max_altitude", FloatParameter(*chosen, "altitude"));
            selection->ControlSetState("plane_max_speed", FloatParameter(*chosen, "speed"));
            selection->ControlSetState("plane_handling", FloatParameter(*chosen, "handling"));
            selection->ControlSetState("plane_durability", FloatParameter(*chosen, "durability"));
        }
    }
    SetUsable(selection, "next", HasNextPlane());
    SetUsable(selection, "prev", HasPrevPlane());
    // A joined player may start only once the host's game runs.
    if (multiplayer && !app.is_server)
        SetUsable(selection, "continue", fly_allowed != 0);

    const bool next = IsClicked(selection, "next");
    const bool prev = IsClicked(selection, "prev");
    if (next)
        SelectNextPlane();
    if (prev)
        SelectPrevPlane();
    for (int change = 0; change < int(next) + int(prev) && pilot; ++change) {
        if (multiplayer)
            AnnouncePlane();
        else
            SetLabel(Menu(career ? "Career" : "Training"), "pilot_plane",
                     PlaneName(static_cast<i32>(pilot->selected_plane)));
    }

    if (IsClicked(selection, "back") || escape_pressed) {
        escape_pressed = 0;
        manager->ShowDialog(nullptr, kMenuSwitchTime);
        screen = career ? screen_career_briefing : multiplayer ? screen_multiplayer_setup : screen_training_briefing;
        return;
    }
    if (!IsClicked(selection, "continue"))
        return;
    if (multiplayer) {
        app.game_type = app.is_server ? 3 : 4;
        result = state_start_game;
    } else {
        StartMission(career ? 1 : 2);
    }
}

void state_menu_c::AnnouncePlane() const
{
    application_c& app = *GetApplication();
    net_session_c* session = app.GetNetManager();
    const pilot_profile_c* pilot = CurrentPilot();
    if (!session || !pilot)
        return;
    net_message_c message;
    message.WriteU16(net_player_update)
        .WriteU16(session->GetLocalId())
        .WriteString(app.pilots.GetCurrentName())
        .WriteU32(pilot->selected_plane)
        .WriteU32(pilot->progress);
    session->Send(net_player_record, message, false, false, false);
}

void state_menu_c::UpdatePlanePreview(f32 _time)
{
    if (!plane_preview_shown || !plane_scene)
        return;
    const pilot_profile_c* pilot = CurrentPilot();
    const size_t chosen = pilot ? static_cast<size_t>(pilot->selected_plane) - 1 : plane_objects.size();
    for (size_t k = 0; k < plane_objects.size(); ++k) {
        object_template_c& plane = *plane_objects[k];
        const bool shown = k == chosen;
        for (const char* model : kPlaneModels) {
            const bool visible = shown && (string_c(model) == "outside" || string_c(model) == "airscrew_fast");
            plane.ShowModel(model, visible, false);
        }
        if (shown && plane.GetNode())
            plane.GetNode()->rotation = vec3_c(_time * 0.33333334f, 0.0f, 0.0f);
    }
    plane_scene->Animate(_time, true);
    plane_scene->PrepareFrame();
}
