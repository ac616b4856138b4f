#include "menu/menu_check_look.h"

#include "audio/sound_system.h"
#include "engine/font_handle.h"
#include "engine/scene.h"
#include "foundation/command.h"
#include "foundation/text_string.h"
#include "menu/any_menu_control.h"
#include "menu/menu_control_keys.h"

menu_check_look_c::menu_check_look_c() = default;

menu_check_look_c::~menu_check_look_c() = default;

bool menu_check_look_c::ReadKey(const char* _keyword, const command_c& _command, renderer_c* _renderer,
                                sound_system_c* _sound_system)
{
    const string_c keyword(_keyword);
    if (keyword == "BorderFile") {
        border = LoadMenuBodyScene(_command.GetParameter(1u), _renderer, true);
    } else if (keyword == "CheckFile") {
        check = LoadMenuBodyScene(_command.GetParameter(1u), _renderer, true);
    } else if (keyword == "Border_Disabled") {
        ReadMenuClip(_command, borderDisabled);
    } else if (keyword == "Border_Enabled") {
        ReadMenuClip(_command, borderEnabled);
    } else if (keyword == "Border_MouseOver") {
        ReadMenuClip(_command, borderOver);
        overSound = ReadMenuSound(_command, _sound_system);
    } else if (keyword == "Check_Disabled") {
        ReadMenuClip(_command, checkDisabled);
    } else if (keyword == "Check_ON") {
        ReadMenuClip(_command, checkOn);
        onSound = ReadMenuSound(_command, _sound_system);
    } else if (keyword == "Check_OFF") {
        ReadMenuClip(_command, checkOff);
        offSound = ReadMenuSound(_command, _sound_system);
    } else if (keyword == "Charset") {
        font = ReadMenuFont(_command, _renderer);
    } else if (keyword == "CharsetColor") {
        color = ReadMenuColor(_command);
    } else {
        return false;
    }
    return true;
}

void menu_check_look_c::SetVolume(f32 _volume)
{
    SetMenuSoundVolume(onSound.get(), _volume);
    SetMenuSoundVolume(offSound.get(), _volume);
    SetMenuSoundVolume(overSound.get(), _volume);
}

void menu_check_look_c::Show(bool _enabled, bool _on, f32 _time)
{
    if (_enabled) {
        borderEnabled.Play(border.get(), _time);
        ShowCheck(_on, true, _time);
    } else {
        borderDisabled.Play(border.get(), _time);
        checkDisabled.Play(check.get(), _time);
    }
}

void menu_check_look_c::ShowCheck(bool _on, bool _enabled, f32 _time)
{
    (_on && _enabled ? checkOn : checkOff).Play(check.get(), _time);
}

bool menu_check_look_c::Toggle(bool _on, f32 _time)
{
    PlayMenuSound(_on ? offSound.get() : onSound.get());
    (_on ? checkOff : checkOn).Play(check.get(), _time);
    return !_on;
}

void menu_check_look_c::Hover(i32& _state, bool _inside, f32 _time, f32& _hover_time)
{
    if (!_inside && _state == control_over) {
        borderEnabled.Play(border.get(), _time);
        _state = control_normal;
    } else if (_inside && _state == control_normal) {
        borderOver.Play(border.get(), _time);
        PlayMenuSound(overSound.get());
        _state = control_over;
        _hover_time = _time;
    }
}

void menu_check_look_c::Place(const menu_rect_c& _box, f32 _transparency)
{
    for (scene_c* scene : {check.get(), border.get()}) {
        if (!scene)
            continue;
        scene->dissolve = _transparency;
        PlaceMenuScene(*scene, _box);
    }
}

void menu_check_look_c::Animate(f32 _time)
{
    for (scene_c* scene : {check.get(), border.get()})
        if (scene)
            AnimateMenuScene(*scene, _time);
}

void menu_check_look_c::Render(bool _check_first)
{
    scene_c* first = _check_first ? check.get() : border.get();
    scene_c* second = _check_first ? border.get() : check.get();
    for (scene_c* scene : {first, second})
        if (scene)
            scene->Render();
}
