// Entering the in-game state: the level script and the scene set-up.
#include "app/application.h"
#include "app/loading_screen.h"
#include "audio/sound_system.h"
#include "engine/font_def.h"
#include "engine/font_handle.h"
#include "engine/forest.h"
#include "engine/light.h"
#include "engine/scene.h"
#include "engine/scene_loader.h"
#include "engine/sky_box.h"
#include "engine/terrain.h"
#include "foundation/file_error.h"
#include "foundation/random_numbers.h"
#include "foundation/script_loader.h"
#include "game/fx_manager.h"
#include "game/game_map.h"
#include "game/game_world.h"
#include "game/hud.h"
#include "game/level_sections.h"
#include "game/mission_bindings.h"
#include "game/mission_scenery.h"
#include "game/script_host.h"
#include "game/state_game.h"
#include "input/controllers.h"
#include "level/level_scene.h"

#include <cfloat>
#include <cmath>
#include <stdexcept>
#include <string>

namespace {

constexpr f32 detail_threshold = 0.1f;

f32 GraphicDetail(const state_game_c& _state)
{
    const application_c* app = _state.GetApplication();
    return app && app->options ? app->options->graphic_detail : 1.0f;
}

const std::vector<mission_info_c>& MissionList(const application_c& _app)
{
    switch (_app.game_type) {
    case 1: return _app.career_missions;
    case 2: return _app.training_missions;
    case 3:
    case 4: return _app.multiplayer_missions;
    default: throw std::runtime_error("Game type " + std::to_string(_app.game_type) + " has no mission list");
    }
}

const mission_info_c& MissionRecord(const application_c& _app)
{
    const std::vector<mission_info_c>& list = MissionList(_app);
    if (_app.mission_number < 1 || static_cast<size_t>(_app.mission_number) > list.size())
        throw std::runtime_error("Mission " + std::to_string(_app.mission_number) +
                                 " is not in the list of game type " + std::to_string(_app.game_type) + " (" +
                                 std::to_string(list.size()) + " missions)");
    return list[static_cast<size_t>(_app.mission_number - 1)];
}

// The sky box faces in the order they are loaded.
constexpr struct {
    const char* file;
    u32 face;
} sky_faces[] = {{"front.dds", 4}, {"back.dds", 5}, {"left.dds", 1}, {"right.dds", 0}, {"up.dds", 2}, {"down.dds", 3}};

} // namespace

void state_game_c::Enter(application_c* _application)
{
    SetApplication(_application);
    entered = true;
    failure.clear();
    try {
        application_c& app = *_application;
        app.in_session = (app.game_type == 3 || app.game_type == 4) ? 1 : 0;
        if (app.game_type == 3)
            app.mp_flag = app.mp_game_mode == 1 ? 1 : 0;
        app.script_host.reset();
        app.script_host = std::make_shared<script_host_c>(&log);
        app.mp_results.clear();
        ResetMissionFields();
        messages = std::make_unique<game_messages_c>(app, *this, app.GetNetManager());
        scenery = std::make_unique<mission_scenery_c>();
        loading_screen_c loading;
        loading.Open(app.GetRenderer(), "data\\common\\loading\\loading_", 5, "data\\common\\loading\\loading.lws");
        loading.Draw(0.0f);
        RegisterMissionBindings(*app.script_host, *this);
        LoadLevel(loading);
        loading.Draw(1.0f);
        loading.Close();
    } catch (const std::exception& error) {
        Fail(error);
    }
}

void state_game_c::LoadLevel(loading_screen_c& _loading)
{
    application_c& app = *GetApplication();
    const mission_info_c& mission = MissionRecord(app);
    {
        script_loader_c loader(mission.script.GetData());
        fadeScene.reset(LoadScene("data\\common\\others\\fade.lws", app.GetRenderer()));
        while (const char* name = loader.ReadCommand()) {
            _loading.Draw(static_cast<f32>(loader.GetProgress()));
            const level_section_c* section = FindLevelSection(name);
            if (section == nullptr)
                continue;
            if (!scene && section->read != ReadEnvironmentSection)
                throw file_error_c(loader.GetFileName(), "The level script must start with an environment section!");
            section->read(*this, loader);
        }
        if (!scene)
            throw file_error_c(loader.GetFileName(), "The level script must start with an environment section!");
    }
    BindControlActions();
    if (app.controllers && app.options)
        app.controllers->SetMouseSensitivity(app.options->GetMouseSensitivity());
    if (app.game_type == 3)
        AddMultiplayerComputerPlanes(*this);
    font = std::make_unique<font_handle_c>(font_def_c("Arial", 10.0f), app.GetRenderer());
    PrepareForests();
    camera.Snap();
}

void state_game_c::BindControlActions()
{
    controllers_c* controllers = GetControllers();
    if (controllers == nullptr)
        return;
    for (u32 index = 0; index < controllers->GetActionCount(); ++index)
        for (int action = 0; action < game_action_count; ++action)
            if (controllers->GetAction(index).name == game_action_names[action])
                actions[action] = static_cast<i32>(index);
}

void state_game_c::PrepareForests()
{
    // The game camera visits the forests so the first frames find their
    // geometry made.
    camera.SetRotation(vec3_c(0.0f, static_cast<f32>(M_PI) / 2.0f, 0.0f));
    const f32 scale = GraphicDetail(*this) * 0.95f + 0.05f;
    for (const auto& level : levelScenes) {
        for (const auto& record : level->forests) {
            forest_c* forest = record->entity.get();
            if (forest == nullptr)
                continue;
            forest->SetTreeDensity(record->treeDensity * scale);
            forest->UpdateTransform(nullptr);
            forest->Generate(terrain);
            for (int i = 0; i < 50; ++i) {
                camera.SetPosition(vec3_c(forest->position.x, RandomFloat(100.0f, 1500.0f), forest->position.z));
                scene->PrepareFrame();
            }
        }
    }
    camera.SetRotation(vec3_c(0.0f, 0.0f, 0.0f));
}

void ReadEnvironmentSection(state_game_c& _state, const command_c& _command)
{
    application_c& app = *_state.GetApplication();
    renderer_c* renderer = app.GetRenderer();
    const f32 detail = GraphicDetail(_state);

    _state.scene.reset(LoadScene(_command.GetParameter("lights"), renderer));
    scene_c& scene = *_state.scene;
    scene.SetNearClipPlane(0.2f);
    scene.SetFarClipPlane(FLT_MAX);
    scene.Play(0.0f, scene.GetFirstTime(), FLT_MAX, false);
    scene.SetFlag(object_shadow_casting, detail > detail_threshold);
    if (_command.FindParameter("shadow_intensity")) {
        const f32 intensity = _command.GetFloat("shadow_intensity");
        for (light_c* light = scene.GetLights().GetFirst(); light; light = light->GetNext())
            light->shadowStrength = intensity > 0.0f ? intensity : 0.0f;
    }
    if (_command.FindParameter("shadow_color")) {
        const vec3_c color = _command.GetColor("shadow_color");
        for (light_c* light = scene.GetLights().GetFirst(); light; light = light->GetNext())
            light->SetShadowColor(color);
    }

    _state.effects = std::make_unique<fx_manager_c>();
    _state.effects->Init(&scene, renderer, app.GetSoundDevice());

    const string_c prefix = _command.GetParameter("skybox");
    auto sky = std::make_unique<sky_box_c>("skybox", renderer);
    for (const auto& face : sky_faces)
        sky->SetFaceMap(face.face, string_c(prefix + face.file).GetData());
    sky->scale = _command.GetVector("skybox_scale");
    sky->position = _command.GetVector("skybox_pos");
    _state.skyBox = sky.get();
    scene.AddObject(sky.release());

    if (const char* file = _command.FindParameter("terrain")) {
        terrain_c* terrain = LoadTerrain(file, renderer);
        terrain->SetAccuracy(1.0f);
        // The scene places its objects only when it draws, but planes and
        // targets ask for the ground from the first step on: the terrain
        // never moves, so it is placed once here.
        terrain->UpdateTransform(nullptr);
        scene.AddObject(terrain);
        _state.terrain = terrain;
    }
    if (const char* file = _command.FindParameter("scripts"); file && *file)
        RunLevelScript(_state, file);

    environment_settings_c& environment = _state.environment;
    if (_command.FindParameter("hud_info_lines_shadow_offset"))
        environment.infoLinesShadowOffset = _command.GetFloat("hud_info_lines_shadow_offset");
    if (_command.FindParameter("hud_info_lines_color"))
        environment.infoLinesColor = _command.GetColor("hud_info_lines_color");
    environment.hudCompass = _command.GetParameter("hud_compass");
    environment.hudPath = _command.GetParameter("hud_path");
    _state.hud = std::make_unique<hud_c>();
    _state.hud->Init(app, environment.hudPath, environment.hudCompass, environment.infoLinesColor,
                     environment.infoLinesShadowOffset);

    _state.camera.Init(&scene);
    _state.camera.SetMode(camera_cockpit);

    _state.world = std::make_unique<game_world_c>();
    game_world_context_c context;
    context.script = _state.GetScript();
    context.gameType = app.game_type;
    context.networkGame = app.game_type == 3 || app.game_type == 4;
    context.terrain = _state.terrain;
    context.scene = &scene;
    context.effects = _state.effects.get();
    // The pilot's creation flag: smaller explosions, full damage to the
    // player's plane.
    const pilot_profile_c* pilot = app.pilots.GetCurrent();
    context.creationFlag = pilot && (pilot->progress & pilot_profile_c::kCreationFlag) != 0;
    context.messages = context.networkGame ? _state.GetMessages() : nullptr;
    _state.world->Init(context);

    environment.map = _command.GetParameter("map");
    _state.gameMap = std::make_unique<game_map_c>();
    _state.gameMap->Init(app, _state.world.get(), environment.map);
}

void ReadCloudsSection(state_game_c& _state, const command_c& _command)
{
    if (!(GraphicDetail(_state) > detail_threshold))
        return;
    clouds_setup_c clouds;
    clouds.colorMap2 = _command.GetParameter("color_map2");
    clouds.colorMap1 = _command.GetParameter("color_map1");
    clouds.height = _command.GetFloat("height");
    clouds.spread = _command.GetFloat("spread");
    clouds.size = _command.GetFloat("size");
    clouds.density = _command.GetFloat("dencity");
    clouds.graphicDetail = GraphicDetail(_state);
    _state.GetFactory().CreateClouds(clouds, _state.GetDevices());
}

void ReadTerrainParamsSection(state_game_c& _state, const command_c& _command)
{
    level_scene_c level;
    level.Load(_command.GetParameter("file"), _state.GetApplication()->GetRenderer(), false);
    if (!level.placedObjects.empty())
        level.placedObjects.front()->parameters.CopyTo(_state.world->terrainParameters);
}

void ReadStaticScenerySection(state_game_c& _state, const command_c& _command)
{
    KeepLevelScene(_state, _command, false, "sce", !(GraphicDetail(_state) > detail_threshold));
}

void ReadDestructibleScenerySection(state_game_c& _state, const command_c& _command)
{
    level_scene_c& level = KeepLevelScene(_state, _command, true, "HP");
    for (const auto& placed : level.placedObjects) {
        f32 hit_points = 0.0f;
        if (placed->parameters.Find("HP") == nullptr)
            continue;
        placed->parameters.GetSetFloat("HP", &hit_points, true, 0.0f, 0.0f);
        hit_point_object_c record;
        record.entity = placed->node;
        record.hitPoints = hit_points;
        record.tmpl = placed->tmpl;
        RunObjectScript(_state, placed->parameters);
        if (placed->parameters.GetSetString("normal_model", &record.normalModel, true) && placed->tmpl)
            placed->tmpl->ShowModel(record.normalModel.GetData(), true, true);
        if (placed->parameters.GetSetString("burned_model", &record.burnedModel, true) && placed->tmpl)
            placed->tmpl->ShowModel(record.burnedModel.GetData(), false, false);
        _state.world->hitPointObjects.push_back(record);
    }
}

void ReadSoundsSection(state_game_c& _state, const command_c& _command)
{
    level_scene_c level;
    level.Load(_command.GetParameter("file"), _state.GetApplication()->GetRenderer(), false);
    sound_system_c* sound = _state.GetApplication()->GetSoundDevice();
    for (const auto& placed : level.placedObjects) {
        string_c file;
        f32 distance = 0.0f;
        bool looped = false;
        if (!placed->parameters.GetSetString("file", &file, true))
            throw std::runtime_error("sound::file");
        if (!placed->parameters.GetSetFloat("distance", &distance, true, 0.0f, 0.0f))
            throw std::runtime_error("sound::distance");
        if (!placed->parameters.GetSetBool("looped", &looped, true))
            throw std::runtime_error("sound::looped");
        if (sound == nullptr)
            continue;
        sound_source_c* source = sound->CreatePcmSource(file.GetData(), sound_flag_3d);
        const vec3_c position = placed->node ? placed->node->position : placed->position;
        source->SetPosition(&position);
        source->SetMinDistance(distance);
        source->SetLooping(looped);
        _state.ambientSounds.push_back(source);
    }
}

void RunLevelScript(state_game_c& _state, const char* _file)
{
    script_host_c* script = _state.GetScript();
    if (script == nullptr)
        return;
    try {
        script->RunFile(_file, false);
    } catch (const file_error_c&) {
        throw;
    } catch (const std::exception&) {
        const auto& lines = _state.GetLog().GetLines();
        throw std::runtime_error("Script \"" + std::string(_file) +
                                 "\" failed: " + (lines.empty() ? std::string("error") : lines.back()));
    }
}

level_scene_c& KeepLevelScene(state_game_c& _state, const command_c& _command, bool _separate_templates,
                              const char* _name, bool _drop_forests)
{
    auto owned = std::make_unique<level_scene_c>();
    level_scene_c& level = *owned;
    _state.levelScenes.push_back(std::move(owned));
    _state.world->AddLevelScene(&level);
    level.Load(_command.GetParameter("file"), _state.GetApplication()->GetRenderer(), _separate_templates);
    if (_drop_forests)
        level.forests.clear();
    level.AddToScene(_state.scene.get());
    level.name = _name;
    return level;
}
