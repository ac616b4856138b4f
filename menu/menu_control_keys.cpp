#include "menu/menu_control_keys.h"

#include "audio/sound_system.h"
#include "engine/font_handle.h"
#include "engine/scene.h"
#include "engine/scene_loader.h"
#include "foundation/command.h"
#include "menu/menu_anim_clip.h"
#include "menu/menu_rect.h"

#include <algorithm>
#include <cfloat>

std::unique_ptr<font_handle_c> ReadMenuFont(const command_c& _command, renderer_c* _renderer)
{
    const auto flag = [&](const char* _key) -> u8 { return _command.GetInt(_key, nullptr, 0) != 0 ? 1 : 0; };
    font_def_c definition(_command.FindParameter("name"), _command.GetFloat("height", 0.0f), flag("bold"),
                          flag("italic"), flag("underline"), flag("strikeout"), flag("antialiasing"), 0);
    return std::make_unique<font_handle_c>(definition, _renderer);
}

bool ReadMenuRectangle(const command_c& _command, menu_rect_c& _rect, bool _corner_form)
{
    const auto all = [&](std::initializer_list<const char*> _keys) {
        return std::all_of(_keys.begin(), _keys.end(), [&](const char* _key) { return _command.FindParameter(_key); });
    };
    const bool sized = all({"x", "y", "w", "h"});
    if (sized) {
        _rect.left = _command.GetFloat("x");
        _rect.top = _command.GetFloat("y");
        _rect.right = _rect.left + _command.GetFloat("w");
        _rect.bottom = _rect.top + _command.GetFloat("h");
    }
    if (_corner_form && all({"x1", "y1", "x2", "y2"})) {
        _rect.left = _command.GetFloat("x1");
        _rect.top = _command.GetFloat("y1");
        _rect.right = _command.GetFloat("x2");
        _rect.bottom = _command.GetFloat("y2");
    }
    return sized;
}

vec3_c ReadMenuColor(const command_c& _command)
{
    const char* text = _command.FindParameter(1u);
    return text ? command_c::ParseVector(text) : vec3_c(0.0f, 0.0f, 0.0f);
}

std::unique_ptr<scene_c> LoadMenuBodyScene(const char* _file_name, renderer_c* _renderer, bool _clip_planes)
{
    std::unique_ptr<scene_c> scene(LoadScene(_file_name, _renderer));
    scene->SetFlag(4, false);
    if (_clip_planes)
        scene->SetClipPlanes(1.0f, 1000.0f);
    return scene;
}

void ReadMenuClip(const command_c& _command, menu_anim_clip_c& _clip)
{
    _clip.Set(_command.GetFloat("start"), _command.GetFloat("end"), _command.GetInt("loop") != 0);
}

std::unique_ptr<sound_source_c> ReadMenuSound(const command_c& _command, sound_system_c* _sound_system)
{
    const char* file = _command.FindParameter("sound");
    if (!file || !_sound_system)
        return nullptr;
    return std::unique_ptr<sound_source_c>(_sound_system->CreatePcmSource(file, sound_flag_volume));
}

void PlayMenuSound(sound_source_c* _sound)
{
    if (_sound)
        _sound->Play();
}

void SetMenuSoundVolume(sound_source_c* _sound, f32 _volume)
{
    if (_sound)
        _sound->SetVolume(_volume);
}

void PlaceMenuScene(scene_c& _scene, const menu_rect_c& _rect)
{
    const f32 width = _rect.GetWidth();
    const f32 height = _rect.GetHeight();
    _scene.SetViewport(_rect.left, _rect.top, width, height);
    _scene.SetAspectRatio(width > 0.0f ? std::max(height / width, FLT_EPSILON) : FLT_EPSILON);
}

void PlaceShrunkMenuScene(scene_c& _scene, const menu_rect_c& _rect, f32 _transition, f32 _aspect_factor)
{
    const f32 width = _rect.GetWidth();
    const f32 height = _rect.GetHeight();
    const auto side = [](f32 _size) { return _size > 0.0051f ? _size : 0.0051f; };
    _scene.SetViewport(_rect.left + width * _transition * 0.5f, _rect.top + height * _transition * 0.5f,
                       side((1.0f - _transition) * width), side((1.0f - _transition) * height));
    _scene.SetAspectRatio(width > 0.0f ? std::max(_aspect_factor * height / width, FLT_EPSILON) : FLT_EPSILON);
}

void AnimateMenuScene(scene_c& _scene, f32 _time)
{
    _scene.Animate(_time, true);
    _scene.PrepareFrame();
}
