// The menu state's life: Enter, Leave, the window messages, the frame and
// its drawing.
#include "screens/state_menu.h"

#include <algorithm>
#include <cfloat>

#include "app/application.h"
#include "app/loading_screen.h"
#include "app/mission_info.h"
#include "audio/sound_system.h"
#include "engine/renderer.h"
#include "engine/scene.h"
#include "engine/scene_loader.h"
#include "foundation/file_error.h"
#include "level/object_template.h"
#include "menu/any_menu.h"
#include "menu/menu_manager.h"
#include "net/game_net_manager.h"
#include "platform/win32/windows.h"
#include "screens/briefing_voice.h"
#include "screens/career_order.h"
#include "screens/distinction_display.h"
#include "screens/menu_music.h"
#include "screens/screen_controls.h"

namespace {

constexpr char kLoadingPrefix[] = "data\\common\\loading\\loading_";
constexpr char kLoadingScene[] = "data\\common\\loading\\loading.lws";
constexpr i32 kLoadingPictures = 3;
constexpr char kMenuList[] = "DATA\\MENU\\Menu.txt";
constexpr char kGlowScene[] = "data\\menu\\common\\glow2.lws";
constexpr f32 kClickDistance = 0.04f;
constexpr f32 kLoadingBarStep = 0.01f;

// Every non-empty line, cut to the name limit; a missing file gives none.
std::vector<string_c> ReadNameList(const char* _file_name)
{
    std::vector<string_c> lines;
    try {
        lines = ReadTextLines(_file_name);
    } catch (const file_error_c&) {
        return {};
    }
    for (string_c& line : lines)
        if (line.GetLength() > state_menu_c::kNameLineLimit)
            line.Truncate(state_menu_c::kNameLineLimit);
    return lines;
}

} // namespace

state_menu_c::state_menu_c(application_c* _application) : state_c("menu", _application) {}

state_menu_c::~state_menu_c()
{
    FreePlanePreview();
}

any_menu_c* state_menu_c::Menu(const char* _name) const
{
    return manager ? manager->FindMenu(_name) : nullptr;
}

pilot_profile_c* state_menu_c::CurrentPilot() const
{
    return GetApplication()->pilots.GetCurrent();
}

size_t state_menu_c::GetPreviewCount(i32 _game_type) const
{
    switch (_game_type) {
    case 1: return career_previews.size();
    case 2: return training_previews.size();
    default: return multiplayer_previews.size();
    }
}

void state_menu_c::Enter(application_c* _application)
{
    SetApplication(_application);
    application_c& app = *_application;
    app.is_server = 0;

    loading_screen_c loading;
    loading.Open(app.GetRenderer(), kLoadingPrefix, kLoadingPictures, kLoadingScene);
    loading.Draw(0.0f);

    ReadNameLists();
    career_order = std::make_unique<career_order_c>("data\\common\\career_missions_order.txt");
    distinctions = std::make_unique<distinction_display_c>(_application, "data\\common\\distinctions_order.txt");
    glow_scene.reset(LoadScene(kGlowScene, app.GetRenderer()));

    manager = std::make_unique<menu_manager_c>(app.GetRenderer(), app.GetSoundDevice());
    // Every command of a menu script is a step of the bar; drawing waits for
    // the display, so the screen is drawn again only when the bar has moved
    // by a visible amount.
    f32 drawn = 0.0f;
    for (f32 share = 0.0f; share < 1.0f;) {
        share = manager->Load(kMenuList, 1);
        if (share >= 1.0f || share - drawn >= kLoadingBarStep) {
            loading.Draw(share);
            drawn = share;
        }
    }

    BuildPlanePreview();
    BuildMissionPreviews();

    RECT client{};
    if (GetClientRect(app.hwnd, &client) && client.right > 1 && client.bottom > 1) {
        mouse_scale_x = 1.0f / static_cast<f32>(client.right - 1);
        mouse_scale_y = 1.0f / static_cast<f32>(client.bottom - 1);
    } else if (renderer_c* renderer = app.GetRenderer();
               renderer && renderer->GetOutputWidth() > 1 && renderer->GetOutputHeight() > 1) {
        mouse_scale_x = 1.0f / static_cast<f32>(renderer->GetOutputWidth() - 1);
        mouse_scale_y = 1.0f / static_cast<f32>(renderer->GetOutputHeight() - 1);
    }

    voice = std::make_unique<briefing_voice_c>(_application);
    music = std::make_unique<menu_music_c>(_application);
    music->AddMusic("Main", "data\\menu\\sounds\\mainmenu.ogg");
    music->AddMusic("Career", "data\\menu\\sounds\\career_menu.ogg");
    music->AddMusic("Multi", "data\\menu\\sounds\\multiplayer_menu.ogg");
    music->PlayMusic("Main");

    if (!app.stored_menu_name.IsEmpty()) {
        switch (app.stored_screen) {
        case screen_training:
        case screen_training_briefing:
        case screen_training_plane: ReturnFromTraining(); break;
        case screen_servers:
        case screen_multiplayer_setup:
        case screen_multiplayer_plane: ReturnFromMultiplayer(); break;
        case screen_career:
        case screen_career_briefing:
        case screen_career_plane: ReturnFromCareer(); break;
        default: screen = screen_none; break;
        }
    }

    loading.Draw(1.0f);
    loading.Close();
}

void state_menu_c::ReadNameLists()
{
    rank_names = ReadNameList("data\\common\\rank.txt");
    difficulty_names = ReadNameList("data\\common\\dif.txt");
    action_names = ReadNameList("data\\common\\actions.txt");
}

void state_menu_c::BuildMissionPreviews()
{
    application_c& app = *GetApplication();
    const auto build = [&app](const std::vector<mission_info_c>& _missions,
                              std::vector<std::unique_ptr<scene_c>>& _previews) {
        for (const mission_info_c& mission : _missions) {
            std::unique_ptr<scene_c> scene(LoadScene(mission.map, app.GetRenderer()));
            // The map is drawn over the menu, whatever depth the menu left.
            scene->SetFlag(4, false);
            _previews.push_back(std::move(scene));
        }
    };
    build(app.career_missions, career_previews);
    build(app.training_missions, training_previews);
    build(app.multiplayer_missions, multiplayer_previews);
}

void state_menu_c::ReturnFromTraining()
{
    application_c& app = *GetApplication();
    if (app.game_type == 2) {
        pilot_profile_c* pilot = CurrentPilot();
        if (app.primary_reached && pilot && pilot->unlock_level < static_cast<u32>(std::max(app.mission_number, 0))) {
            pilot->unlock_level = static_cast<u32>(app.mission_number);
            app.pilots.Save();
        }
        app.ClearGameSetup();
    }
    distinctions->ClearIcons();
    distinctions->BuildPilotRow();
    ShowMissionListPage("Training");
    BuildAvailablePlanes(false);
    music->PlayMusic("Main");
    pending_menu = "Training";
    screen = screen_training;
}

void state_menu_c::ReturnFromCareer()
{
    application_c& app = *GetApplication();
    pilot_profile_c* pilot = CurrentPilot();
    const size_t careerCount = std::min<size_t>(app.career_missions.size(), pilot_profile_c::kCareerMissionCount);
    if (app.game_type == 1 && pilot) {
        const i32 number = app.mission_number;
        if (app.primary_reached && number >= 1 && static_cast<size_t>(number) <= careerCount) {
            const size_t done = static_cast<size_t>(number - 1);
            pilot->missions_done[done] = 1;
            pilot->mission_results[done][0] = 1;
            if (app.secondary_reached)
                pilot->mission_results[done][1] = 1;
            std::fill(std::begin(pilot->distinctions), std::end(pilot->distinctions), 0u);
            const auto count = [pilot](i32 _distinction) {
                if (_distinction >= 0 && static_cast<u32>(_distinction) < pilot_profile_c::kDistinctionCount)
                    ++pilot->distinctions[_distinction];
            };
            for (size_t i = 0; i < careerCount; ++i) {
                if (!pilot->missions_done[i])
                    continue;
                const mission_info_c& mission = app.career_missions[i];
                if (pilot->mission_results[i][0])
                    count(mission.distinction_primary);
                if (pilot->mission_results[i][1])
                    count(mission.distinction_secondary);
            }
        }
        app.pilots.Save();
    }
    if (pilot) {
        u32 rank = 0;
        for (size_t i = 0; i < careerCount; ++i)
            if (pilot->missions_done[i] && app.career_missions[i].increse_rank != 0)
                ++rank;
        if (rank != pilot->GetRank()) {
            promoted = 1;
            pilot->SetRank(rank);
            app.pilots.Save();
        }
    }
    BuildAvailablePlanes(false);
    if (static_cast<i32>(available_planes.size()) != app.career_plane_count)
        new_plane = 1;
    distinctions->ClearIcons();
    distinctions->BuildPilotRow();
    distinctions->BuildMissionIcons(*career_order);
    ShowMissionListPage("Career");
    music->PlayMusic("Career");
    pending_menu = "Career";
    screen = screen_career;
}

void state_menu_c::Leave()
{
    application_c& app = *GetApplication();
    const char* current = manager ? manager->GetCurrentMenuName() : nullptr;
    app.stored_menu_name = current ? current : "";
    app.stored_screen = screen;
    screen = screen_none;

    if (manager)
        manager->Clear();
    rank_names.clear();
    difficulty_names.clear();
    action_names.clear();
    FreePlanePreview();
    career_previews.clear();
    training_previews.clear();
    multiplayer_previews.clear();

    career_order.reset();
    distinctions.reset();
    music.reset();
    voice.reset();
    glow_scene.reset();
    manager.reset();
}

LRESULT state_menu_c::OnMessage(HWND, UINT _msg, WPARAM _wparam, LPARAM _lparam)
{
    if (!manager)
        return 0;
    switch (_msg) {
    case WM_SIZE: {
        const i32 width = LOWORD(static_cast<std::uintptr_t>(_lparam));
        const i32 height = HIWORD(static_cast<std::uintptr_t>(_lparam));
        // A minimised window reports no size; the pointer keeps its scale.
        if (width > 1)
            mouse_scale_x = 1.0f / static_cast<f32>(width - 1);
        if (height > 1)
            mouse_scale_y = 1.0f / static_cast<f32>(height - 1);
        break;
    }
    case WM_MOUSEMOVE: {
        const f32 x = static_cast<f32>(LOWORD(static_cast<std::uintptr_t>(_lparam))) * mouse_scale_x;
        const f32 y = static_cast<f32>(HIWORD(static_cast<std::uintptr_t>(_lparam))) * mouse_scale_y;
        manager->OnMouseMove(x, y, 0, 0);
        mouse_x = x;
        mouse_y = y;
        break;
    }
    case WM_LBUTTONDOWN:
        press_x = mouse_x;
        press_y = mouse_y;
        manager->OnLeftButtonDown();
        break;
    case WM_LBUTTONUP:
        manager->OnLeftButtonUp();
        if (std::abs(mouse_x - press_x) < kClickDistance && std::abs(mouse_y - press_y) < kClickDistance)
            manager->OnLeftClick();
        break;
    case WM_RBUTTONUP:
        manager->OnRightButtonUp();
        manager->OnRightClick();
        break;
    case WM_MBUTTONUP:
        manager->OnMiddleButtonUp();
        manager->OnMiddleClick();
        break;
    case WM_MOUSEWHEEL: manager->OnMouseWheel(GET_WHEEL_DELTA_WPARAM(_wparam) / 120); break;
    case WM_KEYDOWN:
        if (_wparam == VK_ESCAPE)
            escape_pressed = 1;
        manager->OnKeyDown(static_cast<u32>(_wparam));
        break;
    case WM_SYSKEYDOWN: manager->OnKeyDown(static_cast<u32>(_wparam)); break;
    case WM_KEYUP:
    case WM_SYSKEYUP: manager->OnKeyUp(static_cast<u32>(_wparam)); break;
    case WM_CHAR:
    case WM_SYSCHAR: manager->OnChar(static_cast<u32>(_wparam)); break;
    default: break;
    }
    return 0;
}

i32 state_menu_c::Update(double _t)
{
    application_c& app = *GetApplication();
    const f32 time = static_cast<f32>(_t);
    const f32 soundVolume = app.options ? app.options->sound_volume : 1.0f;
    const f32 musicVolume = app.options ? app.options->music_volume : 1.0f;
    manager->SetMenusSoundVolume(GainToDecibel(soundVolume));
    voice->SetVolume(soundVolume);
    music->SetVolume(musicVolume);

    frame_time = time - last_time;
    last_time = time;
    result = 0;
    if (auto* net = dynamic_cast<GameNetManager*>(app.GetNetManager()); net && net->GetImplementation())
        net->Update(frame_time);
    plane_preview_shown = 0;

    if (!pending_menu.IsEmpty()) {
        manager->Update(time);
        manager->SetMenu(pending_menu);
        pending_menu.Clear();
    }

    RunScreen(time);

    if (renderer_c* renderer = app.GetRenderer()) {
        renderer->SetViewport(0.0f, 0.0f, 1.0f, 1.0f, 1.0f);
        renderer->Clear(vec3_c(0.0f, 0.0f, 0.0f), 0, true, true, true, false);
    }
    if (sound_system_c* sound = app.GetSoundDevice())
        sound->Update();

    manager->Update(time);
    music->Update(time);
    voice->Update(time);
    UpdatePlanePreview(time);
    UpdateGlow(time);
    distinctions->Update(time);

    if (mode_change_pending) {
        mode_change_pending = 0;
        ApplyDisplayMode();
    }
    return result;
}

void state_menu_c::RunScreen(f32 _time)
{
    switch (screen) {
    case screen_none:
        manager->CrossSwitchMenu("Main", kMenuSwitchTime);
        screen = screen_main;
        break;
    case screen_main: UpdateMainMenu(_time); break;
    case screen_training: UpdateTrainingList(_time); break;
    case screen_training_briefing: UpdateTrainingBriefing(_time); break;
    case screen_training_plane:
    case screen_career_plane:
    case screen_multiplayer_plane: UpdatePlaneSelection(_time); break;
    case screen_credits: UpdateCredits(_time); break;
    case screen_options: UpdateOptions(_time); break;
    case screen_controls: UpdateControlsDialog(_time); break;
    case screen_pilots: UpdatePilots(_time); break;
    case screen_remove_pilot: UpdateRemovePilot(_time); break;
    case screen_pilot_message: UpdatePilotMessage(_time); break;
    case screen_career: UpdateCareerList(_time); break;
    case screen_career_briefing: UpdateCareerBriefing(_time); break;
    case screen_new_plane:
    case screen_new_plane_and_rank:
    case screen_new_rank: UpdateCareerMessage(_time); break;
    case screen_exit: UpdateExitQuestion(_time); break;
    case screen_servers: UpdateServerList(_time); break;
    case screen_multiplayer_setup: UpdateMultiplayerSetup(_time); break;
    case screen_leave_question: UpdateLeaveQuestion(_time); break;
    case screen_waiting: UpdateHosting(_time); break;
    case screen_result_list: UpdateResultList(_time); break;
    case screen_main_message:
    case screen_refused_message: UpdateSessionEnd(_time); break;
    default: break;
    }
}

void state_menu_c::UpdateGlow(f32 _time)
{
    i32 selection = -1;
    if (screen == screen_training)
        selection = selected_training;
    else if (screen == screen_career)
        selection = selected_career;
    if (selection == -1 || !glow_scene)
        return;
    const i32 n = selection - 1;
    constexpr f32 unitX = 0.005859375f;
    constexpr f32 unitY = 0.006875f;
    const f32 x = static_cast<f32>(n % 4) * 0.12795937f + 0.0419921875f - 3.0f * unitX;
    const f32 y = static_cast<f32>(n / 4) * 0.15661499f + 0.04296875f - 3.0f * unitY;
    const f32 width = 6.0f * unitX + 0.1221f;
    const f32 height = 6.0f * unitY + 0.14974f;
    glow_scene->SetViewport(x, y, width, height);
    glow_scene->SetAspectRatio(height / width);
    glow_scene->Animate(_time, true);
    glow_scene->PrepareFrame();
}

void state_menu_c::Render(double _t)
{
    const f32 time = static_cast<f32>(_t);
    manager->Render(false);

    const auto renderPreview = [time](const std::vector<std::unique_ptr<scene_c>>& _previews, i32 _number) {
        if (_number < 1 || static_cast<size_t>(_number) > _previews.size())
            return;
        scene_c& scene = *_previews[static_cast<size_t>(_number - 1)];
        scene.Animate(time, true);
        scene.PrepareFrame();
        scene.Render();
    };
    switch (screen) {
    case screen_career_briefing:
    case screen_career_plane: renderPreview(career_previews, selected_career); break;
    case screen_training_briefing:
    case screen_training_plane: renderPreview(training_previews, selected_training); break;
    case screen_multiplayer_setup:
    case screen_multiplayer_plane: renderPreview(multiplayer_previews, multiplayer_terrain); break;
    default: break;
    }

    if (glow_scene &&
        ((screen == screen_training && selected_training != -1) || (screen == screen_career && selected_career != -1)))
        glow_scene->Render();

    distinctions->Render();
    manager->RenderDialog();
    if (plane_preview_shown && plane_scene)
        plane_scene->Render();
}
