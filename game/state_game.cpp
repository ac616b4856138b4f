#include "game/state_game.h"

#include "app/application.h"
#include "app/message/net_session.h"
#include "audio/sound_system.h"
#include "engine/camera.h"
#include "engine/font_handle.h"
#include "engine/null_object.h"
#include "engine/renderer.h"
#include "engine/scene.h"
#include "engine/terrain.h"
#include "foundation/command.h"
#include "foundation/file_error.h"
#include "foundation/frame_timer.h"
#include "game/fx_manager.h"
#include "game/game_map.h"
#include "game/game_world.h"
#include "game/hud.h"
#include "game/hud_frame.h"
#include "game/mission_scenery.h"
#include "game/object_links.h"
#include "game/objects/network_plane.h"
#include "game/objects/game_object.h"
#include "game/objects/plane.h"
#include "game/script_host.h"
#include "input/controllers.h"
#include "level/level_scene.h"
#include "net/game_net_manager.h"

#include <algorithm>
#include <cfloat>
#include <climits>
#include <cmath>
#include <cstdio>

namespace {

constexpr f32 max_step = 0.1f;
constexpr f32 stall = 1.0f;
constexpr f32 fade_length = 1.5f;
constexpr f32 pause_fade = 0.7f;
constexpr f32 throttle_rate = 0.2f;
constexpr WPARAM VK_F2 = VK_F1 + 1, VK_F4 = VK_F1 + 3, VK_F5 = VK_F1 + 4, VK_F6 = VK_F1 + 5, VK_F7 = VK_F1 + 6;

std::string DescribeFailure(const std::exception& _error)
{
    if (const auto* command = dynamic_cast<const command_error_c*>(&_error))
        return std::string(command->GetFileName().GetData()) + ": " + command->GetCommand().GetData() +
               "::" + command->GetParameterName().GetData() + ": " + command->what();
    if (const auto* file = dynamic_cast<const file_error_c*>(&_error))
        return std::string("Couldn't find or load specified file: \"") + file->GetFileName().GetData() +
               "\": " + file->what();
    return _error.what();
}

// The whole output, black, with depth and stencil: the shadow volumes count
// into the stencil every frame, and counts left from the last frame would
// shade what is no longer in shadow.
void ClearFrame(renderer_c& _renderer)
{
    _renderer.SetViewport(0.0f, 0.0f, 1.0f, 1.0f, 1.0f);
    _renderer.Clear(vec3_c(0.0f, 0.0f, 0.0f), 0, true, true, true, false);
}

} // namespace

state_game_c::state_game_c(const string_c& _name) : state_c(_name)
{
    ResetMissionFields();
}

state_game_c::~state_game_c()
{
    Release();
}

void state_game_c::ResetMissionFields()
{
    leaveRequested = missionOver = debugTargetChosen = viewKeysLocked = hudHidden = debugFlagA = frameStatsShown =
        pauseKeyLatch = paused = terminated = pausedByEscape = 0;
    firstUpdate = viewChanged = 1;
    leaveTime = frameTimeMin = FLT_MAX;
    mpEndTime = mpLimit = INT_MAX;
    frameTime = 0.0f;
    frameTimeMax = mapAmount = -1.0f;
    viewKeyLatch = -1;
    debugTarget = 0;
    flashFrames = 3;
    std::fill(std::begin(actions), std::end(actions), -1);
}

mission_devices_c state_game_c::GetDevices() const
{
    mission_devices_c devices;
    if (const application_c* app = GetApplication()) {
        devices.renderer = app->GetRenderer();
        devices.sound = app->GetSoundDevice();
    }
    devices.scene = scene.get();
    devices.terrain = terrain;
    devices.scenery = scenery.get();
    return devices;
}

controllers_c* state_game_c::GetControllers() const
{
    return GetApplication() ? GetApplication()->GetControllers() : nullptr;
}

script_host_c* state_game_c::GetScript() const
{
    return GetApplication() ? GetApplication()->script_host.get() : nullptr;
}

net_session_c* state_game_c::GetSession() const
{
    return InSession() ? GetApplication()->GetNetManager() : nullptr;
}

void state_game_c::ShowInGameText(i32 _index)
{
    if (hud)
        hud->AddTextLine(_index);
}

bool state_game_c::InSession() const
{
    return GetApplication() && GetApplication()->in_session;
}

f32 state_game_c::ActionValue(int _action) const
{
    controllers_c* controllers = GetControllers();
    const i32 index = actions[_action];
    if (controllers == nullptr || index < 0 || static_cast<u32>(index) >= controllers->GetActionCount())
        return 0.0f;
    return controllers->GetAction(static_cast<u32>(index)).value;
}

void state_game_c::Fail(const std::exception& _error)
{
    failure = DescribeFailure(_error);
    log.Write("The mission ended: " + failure);
    Release();
}

void state_game_c::Release()
{
    for (sound_source_c*& source : ambientSounds) {
        source->Stop();
        DeleteObject(source);
    }
    ambientSounds.clear();
    // The objects first (their entities belong to the level scenes), then
    // the level scenes (which take their nodes out of the scene).
    playerPlane = nullptr;
    gameMap.reset();
    world.reset();
    effects.reset();
    scenery.reset();
    // The scene's camera goes with the scene.
    camera.Init(nullptr);
    levelScenes.clear();
    otherLevelScenes.clear();
    font.reset();
    terrain = nullptr;
    skyBox = nullptr;
    scene.reset();
    fadeScene.reset();
    scriptEvents.clear();
    alliedSpawns.clear();
    alliedSpawnRotations.clear();
    germanSpawns.clear();
    germanSpawnRotations.clear();
    if (application_c* app = GetApplication())
        app->script_host.reset();
    // After the script host, whose functions it answers.
    hud.reset();
}

void state_game_c::Leave()
{
    application_c* app = GetApplication();
    if (entered && app && messages && app->in_session)
        messages->SendDeparture(app->game_type == 3 || app->game_type == 4);
    if (entered && world && app && (app->game_type == 3 || app->game_type == 4))
        StoreMultiplayerResults();
    entered = false;
    Release();
    if (timer && timer->IsPaused())
        timer->Resume();
}

void state_game_c::AddScriptEvent(const string_c& _name, f32 _delay)
{
    scriptEvents.push_back({_name, gameTime + _delay});
}

void state_game_c::SyncUserPlaneView()
{
    auto* link = dynamic_cast<player_plane_link_c*>(playerPlane);
    int view = 0;
    switch (camera.GetMode()) {
    case 0: view = plane_view_inside; break;
    case 2: view = plane_view_guns; break;
    case 1:
    case 3:
    case 6: view = plane_view_outside; break;
    default: return;
    }
    if (link)
        link->SetModelView(view);
    viewChanged = 1;
}

i32 state_game_c::NextAlliedSpawnPoint()
{
    if (alliedSpawns.empty())
        return -1;
    alliedSpawnIndex = (alliedSpawnIndex + 1) % static_cast<i32>(alliedSpawns.size());
    return alliedSpawnIndex;
}

i32 state_game_c::NextGermanSpawnPoint()
{
    if (germanSpawns.empty())
        return -1;
    germanSpawnIndex = (germanSpawnIndex + 1) % static_cast<i32>(germanSpawns.size());
    return germanSpawnIndex;
}

i32 state_game_c::Update(double _t)
{
    if (!failure.empty() || !entered)
        return state_leave;
    try {
        return Frame(_t);
    } catch (const std::exception& error) {
        Fail(error);
        return state_leave;
    }
}

void state_game_c::FirstUpdate(double _t)
{
    application_c& app = *GetApplication();
    if (controllers_c* controllers = GetControllers()) {
        controllers->ResetActionValues();
        controllers->Update(0.0f);
        controllers->ResetActionValues();
    }
    gameTime = static_cast<f32>(_t);
    if (app.game_type == 3 && messages)
        messages->SendGameState(gameTime);
    world->StartMission(gameTime);
    for (sound_source_c* source : ambientSounds)
        source->Play();
    if (app.game_type == 4 && messages)
        messages->AnnouncePlayerPlane();
    firstUpdate = 0;
    mpEndTime = static_cast<i32>(static_cast<f32>(app.mp_game_time) * 60.0f + static_cast<f32>(_t));
    mpLimit = app.mp_game_time;
    if (app.mp_limit_mode == 2)
        mpEndTime = INT_MAX;
    startTime = gameTime;
}

i32 state_game_c::Frame(double _t)
{
    renderer_c* renderer = GetApplication()->GetRenderer();
    if (firstUpdate) {
        FirstUpdate(_t);
        return state_stay;
    }
    if (leaveTime < _t || leaveRequested)
        return state_leave;
    if (paused) {
        ClearFrame(*renderer);
        scene->Animate(static_cast<f32>(_t), true);
        if (controllers_c* controllers = GetControllers())
            controllers->Update(0.0f);
        RunControls(0.0f);
        return state_stay;
    }
    f32 dt = static_cast<f32>(_t) - gameTime;
    if (dt > stall) {
        gameTime = static_cast<f32>(_t);
        dt = 0.0f;
    } else {
        dt = std::clamp(dt, 0.0f, max_step);
    }
    lastDt = dt;
    gameTime += dt;
    if (GetApplication()->game_type == 3)
        CheckMultiplayerEnd(_t);
    if (auto* net = dynamic_cast<GameNetManager*>(GetApplication()->GetNetManager()); net && net->GetImplementation())
        net->Update(lastDt);

    if (script_host_c* script = GetScript()) {
        script->SetGlobalNumber("game_time", gameTime - startTime);
        script->SetGlobalNumber("user_alive", playerPlane && playerPlane->damage == 1.0f ? 0.0 : 1.0);
    }
    RunScriptEvents();

    ClearFrame(*renderer);
    scene->Animate(gameTime, true);
    if (controllers_c* controllers = GetControllers())
        controllers->Update(dt);
    RunControls(dt);

    world->Process(gameTime);
    if (effects)
        effects->Update(gameTime);
    StepScenery(dt);
    ChooseCameraTarget();
    UpdateCamera();
    scene->PrepareFrame();
    UpdateOverlays();
    return state_stay;
}

bool state_game_c::MapShown() const
{
    return gameMap && world && mapAmount == 1.0f && world->mapSwitch;
}

void state_game_c::UpdateOverlays()
{
    if (MapShown())
        gameMap->Update(gameTime, world->GetPlanes());
    if (hud)
        hud->Update(GatherHudFrame(gameTime, playerPlane, *world, camera.GetCamera()));
}

void state_game_c::RenderHud()
{
    if (!hud || hudHidden)
        return;
    hud->Render();
    hud->RenderText(false, world ? world->GetPlanes() : std::vector<game_object_c*>(), paused, pausedByEscape);
}

void state_game_c::StepScenery(f32 _dt)
{
    if (!scenery)
        return;
    const vec3_c player = playerPlane ? playerPlane->GetPosition() : vec3_c();
    const camera_c* camera = scene->GetActiveCamera();
    scenery->Update(gameTime, _dt, player, camera ? camera->rotation.z : 0.0f);
}

void state_game_c::CheckMultiplayerEnd(double _t)
{
    application_c& app = *GetApplication();
    u32 kind = 0;
    i32 leading = INT_MIN;
    string_c leader;
    if (app.mp_game_mode == 2) {
        kind = sideScoreB < sideScoreA ? 1 : 0;
    } else if (app.mp_game_mode == 1) {
        kind = 2;
        const game_object_c* best = nullptr;
        for (const game_object_c* plane : world->GetPlanes()) {
            const auto* scored = dynamic_cast<const scored_plane_link_c*>(plane);
            if (scored && (best == nullptr || scored->GetScore() > leading)) {
                best = plane;
                leading = scored->GetScore();
            }
        }
        if (best) {
            // The player who flies it; a computer plane goes by its own name.
            leader = best->name;
            const auto* scored = dynamic_cast<const scored_plane_link_c*>(best);
            const bool owned = best->GetType() == object_plane_user || best->GetType() == object_plane_ghost;
            const u16 owner = best->GetType() == object_plane_user && app.net_manager ? app.net_manager->GetLocalId()
                                                                                      : scored->GetOwnerId();
            if (const net_player_entry_s* player = owned ? app.players.Find(owner) : nullptr)
                leader = player->name;
        }
    }
    const bool ended =
        app.mp_limit_mode == 2 ? leading >= mpLimit : static_cast<i64>(std::floor(_t)) > static_cast<i64>(mpEndTime);
    if (!ended)
        return;
    mpEndTime = mpLimit = INT_MAX;
    if (messages)
        messages->SendGameEnd(kind, leader);
    leaveTime = static_cast<f32>(_t) + 5.0f;
}

void state_game_c::OnNetMessage(u16 _type_word, net_message_c& _message, net_player_c* _sender)
{
    if (messages && world)
        messages->OnNetMessage(_type_word, _message, _sender);
}

game_object_plane_c* state_game_c::GetUserPlane()
{
    return dynamic_cast<game_object_plane_c*>(playerPlane);
}

void state_game_c::AddInfoLine(const string_c& _line)
{
    if (hud)
        hud->AddInfoLine(_line);
}

std::unique_ptr<game_object_plane_ghost_c> state_game_c::LoadNetworkPlane(const string_c& _file)
{
    const mission_devices_c devices = GetDevices();
    auto plane = std::make_unique<game_object_plane_ghost_c>();
    plane->Load(_file.GetData(), devices.renderer, devices.scene, devices.sound, true);
    return plane;
}

void state_game_c::EndGameForDeparture()
{
    StoreMultiplayerResults();
    leaveRequested = 1;
}

void state_game_c::StoreMultiplayerResults()
{
    std::vector<mp_result_s>& results = GetApplication()->mp_results;
    results.clear();
    for (const game_object_c* plane : world->GetPlanes()) {
        const auto* scored = dynamic_cast<const scored_plane_link_c*>(plane);
        const i32 score = scored ? scored->GetScore() : 0;
        const auto lower = std::find_if(results.begin(), results.end(),
                                        [&](const mp_result_s& _result) { return _result.score < score; });
        results.insert(lower, {plane->name, score});
    }
}

void state_game_c::RunScriptEvents()
{
    script_host_c* script = GetScript();
    std::vector<string_c> ran;
    // Entries before `present` were there when the walk began.
    size_t present = scriptEvents.size();
    for (size_t i = 0; i < scriptEvents.size();) {
        const bool added_now = i >= present;
        const script_event_c& event = scriptEvents[i];
        if (event.due > gameTime || (added_now && std::find(ran.begin(), ran.end(), event.name) != ran.end())) {
            ++i;
            continue;
        }
        const string_c name = event.name;
        scriptEvents.erase(scriptEvents.begin() + static_cast<std::ptrdiff_t>(i));
        if (!added_now)
            --present;
        ran.push_back(name);
        if (script)
            script->CallFunction(name.GetData());
    }
}

void state_game_c::RunControls(f32 _dt)
{
    if (!paused) {
        camera.SetLookActive(ActionValue(action_look) == 1.0f);
        if (camera.IsLookActive())
            camera.SetLook(ActionValue(action_left), ActionValue(action_up));
        // Later keys of this list win when several are held.
        constexpr struct {
            game_action_e action;
            i32 mode;
        } view_keys[] = {
            {action_cokpit_view, 0}, {action_guns_view, 2}, {action_outside_view, 1}, {action_chase_view, 3}};
        const bool cycle = ActionValue(action_camera) == 1.0f;
        i32 chosen = -1;
        for (const auto& key : view_keys)
            if (ActionValue(key.action) == 1.0f)
                chosen = key.mode;
        if (cycle || chosen >= 0) {
            if (!viewKeysLocked && viewKeyLatch == -1) {
                viewKeyLatch = 0;
                const i32 mode = camera.GetMode();
                camera.SetMode(cycle ? (mode >= 0 && mode < 3 ? mode + 1 : 0) : chosen);
                SyncUserPlaneView();
            }
        } else {
            viewKeyLatch = -1;
        }
        mapAmount = ActionValue(action_map);
        if (auto* link = dynamic_cast<player_plane_link_c*>(playerPlane)) {
            if (ActionValue(action_thrust_up) == 1.0f)
                link->ChangeThrottle(throttle_rate * _dt);
            else if (ActionValue(action_thrust_down) == 1.0f)
                link->ChangeThrottle(-throttle_rate * _dt);
        }
    }
    if (ActionValue(action_pause) >= 1.0f && !InSession()) {
        if (!pauseKeyLatch) {
            pauseKeyLatch = 1;
            if (!pausedByEscape)
                TogglePause(false);
        }
    } else if (ActionValue(action_pause) < 1.0f) {
        pauseKeyLatch = 0;
    }
}

void state_game_c::TogglePause(bool _by_escape)
{
    if (paused) {
        paused = 0;
        pausedByEscape = 0;
        if (timer)
            timer->Resume();
    } else {
        paused = 1;
        pausedByEscape = _by_escape ? 1 : 0;
        if (timer)
            timer->Pause();
    }
}

void state_game_c::ChooseCameraTarget()
{
    if (playerPlane) {
        const bool on_ground = [&] {
            const auto* link = dynamic_cast<const player_plane_link_c*>(playerPlane);
            return link && link->IsOnGround();
        }();
        if (playerPlane->damage < 1.0f && !on_ground) {
            if (camera.GetMode() == camera_orbit) {
                camera.SetMode(savedViewMode);
                SyncUserPlaneView();
            }
            savedViewMode = camera.GetMode();
        } else if (const i32 fate = on_ground ? camera_orbit : camera_fly_by; camera.GetMode() != fate) {
            camera.SetMode(fate);
        }
    }
    const u32 count = world->GetObjectCount();
    // With no object the previous target stays.
    if (count == 0)
        return;
    if (!debugTargetChosen && playerPlane && playerPlane->entity) {
        for (u32 i = 0; i < count; ++i) {
            const game_object_c* object = world->GetObject(i);
            if (object->entity && object->entity->GetName() == playerPlane->entity->GetName()) {
                debugTarget = static_cast<i32>(i);
                break;
            }
        }
        debugTargetChosen = 1;
    }
    debugTarget = ((debugTarget % static_cast<i32>(count)) + static_cast<i32>(count)) % static_cast<i32>(count);
    if (const game_object_c* target = world->GetObject(static_cast<u32>(debugTarget))) {
        cameraTarget.position = target->GetPosition();
        cameraTarget.rotation = target->GetRotation();
    }
    if (const auto* plane = dynamic_cast<const game_object_plane_c*>(playerPlane)) {
        cameraTarget.speed = plane->GetSpeed();
        cameraTarget.insideShift = plane->insideCameraShift;
        cameraTarget.outsideShift = plane->outsideCameraShift;
        cameraTarget.overgunsShift = plane->overgunsCameraShift;
        cameraTarget.vibration = plane->turbulence;
    }
    if (debugFlagA)
        cameraTarget.position = vec3_c(-660.56f, 564.15f, 1130.57f);
}

void state_game_c::UpdateCamera()
{
    const vec3_c before = camera.GetPosition();
    camera.Update(gameTime, cameraTarget, terrain);
    if (sound_system_c* sound = GetApplication()->GetSoundDevice()) {
        const vec3_c position = camera.GetPosition();
        const vec3_c movement = position - before;
        sound->SetListenerPosition(&position);
        sound->SetListenerVelocity(&movement);
        sound->SetListenerOrientation(&camera.GetViewMatrix());
        sound->Update();
    }
}

LRESULT state_game_c::OnMessage(HWND, UINT _msg, WPARAM _wparam, LPARAM)
{
    if (_msg != WM_KEYDOWN || !scene)
        return 0;
    switch (_wparam) {
    case VK_TAB: hudHidden = hudHidden ? 0 : 1; break;
    case VK_ESCAPE:
        if (terminated)
            break;
        if (InSession())
            leaveRequested = 1;
        else
            TogglePause(true);
        break;
    case VK_RETURN:
        if (pausedByEscape && !terminated) {
            if (timer)
                timer->Resume();
            paused = 0;
            fadeStart = gameTime;
            missionOver = 1;
        }
        break;
    default:
        if (debug)
            OnDebugKey(_wparam);
        break;
    }
    return 0;
}

void state_game_c::OnDebugKey(WPARAM _key)
{
    switch (_key) {
    case VK_HOME: ++debugTarget; break;
    case VK_END:
        // The object before the target; none before the first.
        if (game_object_c* object = debugTarget > 0 ? world->GetObject(static_cast<u32>(debugTarget - 1)) : nullptr)
            object->TakeDamage(object->GetPosition(), vec3_c(0.0f, -1.0f, 0.0f), 100.0f, playerPlane, 0);
        break;
    case VK_INSERT:
        if (auto* link = dynamic_cast<player_plane_link_c*>(playerPlane))
            link->SetExtraSpeed(300.0f);
        break;
    case VK_DELETE:
        if (auto* link = dynamic_cast<player_plane_link_c*>(playerPlane)) {
            link->SetExtraSpeed(0.0f);
            link->SetSpeed(0.0f);
        }
        break;
    case VK_F4:
        if (auto* link = dynamic_cast<player_plane_link_c*>(playerPlane))
            link->SetEngineFactor(link->GetEngineFactor() > 0.0f ? 0.0f : 1.0f);
        break;
    case VK_F2:
        frameStatsShown = frameStatsShown ? 0 : 1;
        frameTimeMin = FLT_MAX;
        frameTimeMax = -1.0f;
        break;
    case VK_PRIOR: scene->SetFlag(scene_wireframe, true); break;
    case VK_NEXT: scene->SetFlag(scene_wireframe, false); break;
    case VK_F5: debugFlagA = debugFlagA ? 0 : 1; break;
    case VK_F6:
        if (playerPlane)
            playerPlane->damage = 0.5f;
        break;
    case VK_F7:
        if (playerPlane)
            playerPlane->damage = 0.8f;
        break;
    default: break;
    }
}

void state_game_c::RenderFade(f32 _time)
{
    if (!fadeScene)
        return;
    fadeScene->Animate(_time, true);
    fadeScene->PrepareFrame();
    fadeScene->Render();
}

void state_game_c::Render(double _t)
{
    if (!scene || !failure.empty())
        return;
    try {
        RenderFrame(_t);
    } catch (const std::exception& error) {
        Fail(error);
    }
}

void state_game_c::RenderFrame(double)
{
    if (MapShown()) {
        gameMap->Render();
    } else {
        scene->Render();
        if (paused)
            RenderFade(pause_fade);
        RenderHud();
    }
    if (flashFrames != 0) {
        --flashFrames;
        RenderFade(fade_length);
    }
    if (debug && font) {
        if (frameStatsShown && lastDt > 0.0f) {
            frameTime = 1.0f / lastDt;
            frameTimeMin = std::min(frameTimeMin, frameTime);
            frameTimeMax = std::max(frameTimeMax, frameTime);
            const f32 values[3] = {frameTime, frameTimeMin, frameTimeMax};
            for (int i = 0; i < 3; ++i) {
                char text[32];
                std::snprintf(text, sizeof(text), "%.1f", values[i]);
                font->DrawText(0.0f, 0.02f * static_cast<f32>(i), text, vec3_c(1.0f, 1.0f, 1.0f), 0.0f, 0);
            }
        }
        if (const game_object_c* target = world->GetObject(static_cast<u32>(debugTarget)))
            font->DrawText(0.0f, 0.7f, string_c(target->name + " : ").GetData(), vec3_c(1.0f, 1.0f, 1.0f), 0.0f, 0);
    }
    if (missionOver) {
        RenderFade(gameTime - fadeStart);
        if (fadeStart + fade_length < gameTime)
            leaveRequested = 1;
    }
}
