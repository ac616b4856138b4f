#include "screens/distinction_display.h"

#include <algorithm>
#include <cfloat>

#include "app/application.h"
#include "engine/scene.h"
#include "engine/scene_loader.h"
#include "foundation/script_loader.h"
#include "screens/career_order.h"

namespace {

constexpr f32 kStillFrame = 0.5f;

void Place(distinction_display_c::icon_s& _icon)
{
    _icon.scene->SetViewport(_icon.x, _icon.y, _icon.width, _icon.height);
    _icon.scene->SetAspectRatio(std::max(_icon.height / _icon.width, FLT_EPSILON));
}

} // namespace

void MissionTilePosition(i32 _index, f32& _x, f32& _y)
{
    _x = static_cast<f32>(_index % 4) * 0.12795937f + 0.0419921875f;
    _y = static_cast<f32>(_index / 4) * 0.15661499f + 0.04296875f;
}

distinction_display_c::distinction_display_c(application_c* _application, const char* _file_name)
    : application(_application)
{
    script_loader_c loader(_file_name);
    while (const char* command = loader.ReadCommand()) {
        if (string_c(command) != "AddDistinction")
            continue;
        models.emplace_back(LoadScene(loader.GetParameter(1u), application->GetRenderer()));
    }
}

distinction_display_c::~distinction_display_c() = default;

void distinction_display_c::AddIcon(f32 _x, f32 _y, f32 _width, f32 _height, i32 _index, bool _dimmed)
{
    if (_index < 0 || static_cast<size_t>(_index) >= models.size())
        return;
    auto icon = std::make_unique<icon_s>();
    icon->index = _index;
    icon->x = _x;
    icon->y = _y;
    icon->width = _width;
    icon->height = _height;
    icon->dimmed = _dimmed ? 1 : 0;
    icon->scene.reset(static_cast<scene_c*>(models[static_cast<size_t>(_index)]->Clone()));
    icon->scene->Play(time, kStillFrame, kStillFrame, false);
    // The shell draws a state it has just entered before updating it: an
    // icon made on entering is drawn in its place, not over the screen.
    Place(*icon);
    icons.push_back(std::move(icon));
}

void distinction_display_c::ClearIcons()
{
    icons.clear();
}

void distinction_display_c::PlayAll(f32 _first, f32 _last)
{
    for (const auto& icon : icons)
        icon->scene->Play(time, _first, _last, false);
}

void distinction_display_c::GoIn()
{
    PlayAll(0.0f, 0.5f);
}

void distinction_display_c::GoOut()
{
    PlayAll(1.0f, 1.5f);
}

void distinction_display_c::BuildPilotRow()
{
    ClearIcons();
    const pilot_profile_c* pilot = application->pilots.GetCurrent();
    for (u32 i = 0; i < pilot_profile_c::kDistinctionCount; ++i) {
        const bool dimmed = !pilot || pilot->distinctions[i] == 0;
        AddIcon(0.568f + 0.024f * static_cast<f32>(i), 0.2f, 0.021f, 0.0505f, static_cast<i32>(i), dimmed);
    }
    pilot_name = application->pilots.GetCurrentName();
}

void distinction_display_c::BuildMissionIcons(const career_order_c& _order)
{
    const pilot_profile_c* pilot = application->pilots.GetCurrent();
    if (!pilot)
        return;
    const auto& career = application->career_missions;
    const size_t count = std::min<size_t>(career.size(), pilot_profile_c::kCareerMissionCount);
    for (size_t i = 0; i < count; ++i) {
        const i32 index = static_cast<i32>(i);
        if (!_order.IsAvailable(index, pilot->missions_done, pilot_profile_c::kCareerMissionCount))
            continue;
        f32 x = 0.0f;
        f32 y = 0.0f;
        MissionTilePosition(index, x, y);
        const mission_info_c& mission = career[i];
        if (mission.distinction_primary != -1)
            AddIcon(x, y, 0.01575f, 0.037875f, mission.distinction_primary, pilot->mission_results[i][0] == 0);
        if (mission.distinction_secondary != -1)
            AddIcon(x + 0.018f, y, 0.01575f, 0.037875f, mission.distinction_secondary,
                    pilot->mission_results[i][1] == 0);
    }
}

void distinction_display_c::Update(f32 _time)
{
    time = _time;
    for (const auto& icon : icons) {
        Place(*icon);
        icon->scene->Animate(_time, true);
        icon->scene->PrepareFrame();
    }
}

void distinction_display_c::Render()
{
    for (const auto& icon : icons)
        icon->scene->Render();
}
