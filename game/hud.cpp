#include "game/hud.h"

#include "app/application.h"
#include "app/message/net_session.h"
#include "audio/sound_system.h"
#include "engine/font_handle.h"
#include "engine/geom_object.h"
#include "engine/map.h"
#include "engine/material.h"
#include "engine/renderer.h"
#include "engine/scene.h"
#include "engine/scene_loader.h"
#include "game/in_game_text.h"
#include "game/map_position.h"
#include "game/score_table.h"

namespace {

constexpr f32 hud_zoom = 10.0f;
constexpr f32 gun_heat_lag = 1.6f;
constexpr f32 sight_distance = 100.0f;
const vec3_c hud_scale(5.0f, 5.0f, 1.0f);
const vec3_c sight_scale(5.0f, 5.0f, 0.5f);

constexpr const char* icon_models[hud_c::icon_count] = {"german", "aliant", "rocket", "bomb"};
const vec3_c icon_positions[hud_c::icon_count] = {vec3_c(3.456f, 2.7f, 0.0f), vec3_c(3.456f, 2.4f, 0.0f),
                                                  vec3_c(-3.1104f, -2.814f, 0.0f), vec3_c(-3.1104f, -2.814f, 0.0f)};

f32 DirectionHeading(const vec3_c& _direction)
{
    f32 heading = 0.0f;
    f32 pitch = 0.0f;
    DirectionToEuler(_direction, heading, pitch);
    return heading;
}

} // namespace

mat4x3_c MovingMapTransform(const vec3_c& _position, f32 _heading)
{
    mat4x3_c transform;
    transform.SetTranslation(vec3_c(-(1.0f - MapFraction(_position.x)), 1.0f - MapFraction(_position.z), 1.0f));
    mat4x3_c turn;
    turn.SetRotation(2, _heading);
    transform *= turn;
    return transform;
}

vec3_c ArrowRotation(const vec3_c& _player, f32 _player_heading, const vec3_c& _target)
{
    return vec3_c(0.0f, 0.0f, _player_heading - DirectionHeading(_target - _player));
}

hud_c::hud_c() = default;

hud_c::~hud_c() = default;

void hud_c::Init(application_c& _application, const string_c& _hud_path, const string_c& _compass_file,
                 const vec3_c& _text_color, f32 _shadow_offset)
{
    application = &_application;
    renderer_c* renderer = _application.GetRenderer();
    scene = MakeOverlayScene("hud scene", renderer);
    camera = scene->CreateCamera("hud camera");
    camera->zoom = hud_zoom;
    camera->position = vec3_c(0.0f, 0.0f, -30.0f);

    if (compass.Load(string_c(_hud_path + _compass_file).GetData(), scene.get(), vec3_c(-3.24f, 2.25f, 0.0f),
                     hud_scale))
        compass.Show("simple", true);
    const string_c items = _hud_path + hud_items_file;
    for (int i = 0; i < icon_count; ++i) {
        if (!icons[i].Load(items.GetData(), scene.get(), icon_positions[i], hud_scale))
            continue;
        for (const char* model : icon_models)
            icons[i].Show(model, false);
        icons[i].Show(icon_models[i], true);
    }
    font = std::make_unique<font_handle_c>(font_def_c("Trebuchet", 12.0f), renderer);
    if (IsDataFile(hud_gun_scene_file)) {
        gunScene = LoadScene(hud_gun_scene_file, renderer);
        gunScene->position = vec3_c(3.20544f, -2.835f, 0.0f);
        scene->AddObject(gunScene);
    }
    textColor = _text_color;
    shadowOffset = _shadow_offset;
    germanCount.Init(scene.get(), vec3_c(3.7584f, 2.7f, 0.0f), hud_scale);
    alliedCount.Init(scene.get(), vec3_c(3.7584f, 2.4f, 0.0f), hud_scale);
    rocketCount.Init(scene.get(), vec3_c(-3.74112f, -2.805f, 0.0f), hud_scale);
    bombOnes.Init(scene.get(), vec3_c(-3.2832f, -2.805f, 0.0f), hud_scale);
    bombTens.Init(scene.get(), vec3_c(-3.37392f, -2.805f, 0.0f), hud_scale);
    if (sight.Load(string_c(_hud_path + hud_sight_file).GetData(), scene.get(), vec3_c(), sight_scale))
        sight.Show("sight", true);
    if (_application.script_host)
        RegisterHudBindings(*_application.script_host, *this);
}

bool hud_c::IsNetworkGame() const
{
    return application && (application->game_type == 3 || application->game_type == 4);
}

void hud_c::AddInfoLine(const string_c& _text)
{
    infoLines.Add(_text, currentTime);
}

void hud_c::AddTextLine(i64 _index)
{
    if (const string_c* text = application ? InGameText(application->in_game_texts, _index) : nullptr)
        AddInfoLine(*text);
}

void hud_c::QueueVoiceClip(i32 _number)
{
    if (_number < 0)
        return;
    sound_system_c* sound = application ? application->GetSoundDevice() : nullptr;
    std::unique_ptr<sound_source_c> clip;
    if (sound)
        clip.reset(sound->CreatePcmSource(VoiceClipName(_number).GetData(), 0));
    voices.Queue(std::move(clip), _number);
}

void hud_c::QueueVoiceFile(const char* _file_name)
{
    sound_system_c* sound = application ? application->GetSoundDevice() : nullptr;
    if (sound)
        voices.Queue(std::unique_ptr<sound_source_c>(sound->CreatePcmSource(_file_name, 0)), voice_queue_c::no_text);
}

void hud_c::Play2dSound(const char* _file_name)
{
    sound_system_c* sound = application ? application->GetSoundDevice() : nullptr;
    std::unique_ptr<sound_source_c> source;
    if (sound)
        source.reset(sound->CreatePcmSource(_file_name, 0));
    sounds2d.Play(std::move(source));
}

void hud_c::Update(const hud_frame_c& _frame)
{
    // A clip's line counts its life from the previous update's time.
    const i32 started = voices.Update();
    if (started != voice_queue_c::no_text)
        AddTextLine(started);
    currentTime = _frame.time;
    if (gunScene)
        gunScene->timeOffset = _frame.time - _frame.gunHeat * gun_heat_lag;

    const f32 heading = _frame.playerRotation.x;
    if (null_object_c* needle = compass.FindGroupNode("compass"))
        needle->rotation = vec3_c(0.0f, 0.0f, heading);
    if (auto* map = dynamic_cast<geom_object_c*>(compass.FindGroupNode("map"))) {
        material_c* material = map->GetMaterials().GetFirst();
        if (map_c* colors = material ? material->GetColorMap(0) : nullptr)
            colors->SetTransform(MovingMapTransform(_frame.playerPosition, heading));
    }
    PointArrow("target_green", _frame.alliedCount > 1, _frame, _frame.nearestFriendly);
    PointArrow("target_red", _frame.germanCount > 0, _frame, _frame.nearestEnemy);
    PlaceSight(_frame);
    ShowCounters(_frame);

    scene->Animate(_frame.time, true);
    scene->UpdateTransforms(nullptr);
    infoLines.Expire(currentTime);
}

void hud_c::PointArrow(const char* _group, bool _shown, const hud_frame_c& _frame, const vec3_c& _target)
{
    null_object_c* arrow = compass.FindGroupNode(_group);
    if (arrow == nullptr)
        return;
    if (_shown)
        arrow->rotation = ArrowRotation(_frame.playerPosition, _frame.playerRotation.x, _target);
    arrow->SetVisibility(_shown, false);
}

void hud_c::PlaceSight(const hud_frame_c& _frame)
{
    null_object_c* node = sight.GetNode();
    if (node == nullptr)
        return;
    bool shown = !_frame.playerDestroyed && _frame.camera;
    if (shown) {
        const vec3_c& r = _frame.playerRotation;
        vec3_c ahead(0.0f, 0.0f, 1.0f);
        ahead.RotateByEuler(euler_c(r.x, r.y, r.z));
        const vec3_c point = _frame.playerPosition + vec3_c(0.0f, _frame.gunOffset, 0.0f) + ahead * sight_distance;
        const vec3_c view = point * _frame.camera->GetInverseMatrix();
        const vec4_c clip = vec4_c(view.x, view.y, view.z, 1.0f) * _frame.camera->GetProjection();
        // A point behind the camera has no place on the screen.
        shown = clip.w > 0.0f;
        if (shown)
            node->position = vec3_c(clip.x / clip.w * 4.0f, clip.y / clip.w * 3.0f, 0.0f);
    }
    node->SetVisibility(shown, false);
}

void hud_c::ShowCounters(const hud_frame_c& _frame)
{
    alliedCount.SetValue(_frame.alliedCount);
    germanCount.SetValue(_frame.germanCount);
    const bool weapons = !IsNetworkGame();
    rocketCount.SetValue(weapons ? _frame.rockets : -1);
    bombTens.SetValue(weapons ? _frame.bombs / 10 % 10 : -1);
    bombOnes.SetValue(weapons ? _frame.bombs % 10 : -1);
    for (int icon : {icon_rocket, icon_bomb})
        icons[icon].Show(icon_models[icon], weapons);
}

void hud_c::Render()
{
    if (!scene)
        return;
    // The HUD stands over the game whatever the game's depths are.
    ClearDepth();
    scene->PrepareFrame();
    scene->Render();
}

void hud_c::ClearDepth()
{
    scene->GetRenderer()->SetViewport(0.0f, 0.0f, 1.0f, 1.0f, 1.0f);
    scene->GetRenderer()->Clear(vec3_c(0.0f, 0.0f, 0.0f), 0, false, true, false, false);
}

void hud_c::RenderText(bool _clear_first, const std::vector<game_object_c*>& _planes, bool _paused, bool _by_escape)
{
    if (!scene || !font)
        return;
    if (_clear_first)
        ClearDepth();
    infoLines.Render(*font, currentTime, textColor, shadowOffset);
    if (IsNetworkGame()) {
        const u16 local = application->net_manager ? application->net_manager->GetLocalId() : 0;
        RenderScoreTable(*font, RankPlanes(_planes, application->players, local), textColor, shadowOffset);
    }
    if (!_paused)
        return;
    const string_c* text = InGameText(application->in_game_texts, _by_escape ? escape_pause_text : pause_text);
    if (text == nullptr)
        return;
    const f32 x = info_lines_c::CentredX(font->GetTextWidth(text->GetData()));
    if (shadowOffset != 0.0f)
        font->DrawText(x + shadowOffset, 0.5f + shadowOffset, text->GetData(), vec3_c(0.0f, 0.0f, 0.0f), 0.0f, 0);
    font->DrawText(x, 0.5f, text->GetData(), textColor, 0.0f, 0);
}
