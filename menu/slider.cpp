#include "menu/slider.h"

#include "audio/sound_system.h"
#include "engine/scene.h"
#include "foundation/script_loader.h"
#include "menu/menu_control_keys.h"

#include <algorithm>

namespace {
menu_rect_c Box(f32 _x, f32 _y, f32 _width, f32 _height)
{
    return menu_rect_c{_x, _y, _x + _width, _y + _height};
}
}

SliderControl::SliderControl(const char* _name, const char* _script_file, renderer_c* _renderer,
                             sound_system_c* _sound_system, menu_string_table_c* _string_table)
    : SliderControl(false, _name, _script_file, _renderer, _sound_system, _string_table)
{}

SliderControl::SliderControl(bool _horizontal, const char* _name, const char* _script_file, renderer_c* _renderer,
                             sound_system_c* _sound_system, menu_string_table_c* _string_table)
    : any_menu_control_c(_name, _script_file, _renderer, _sound_system, _string_table), horizontal(_horizontal)
{
    ProcessScript();
    Disable(true);
}

SliderHorizontalControl::SliderHorizontalControl(const char* _name, const char* _script_file, renderer_c* _renderer,
                                                 sound_system_c* _sound_system, menu_string_table_c* _string_table)
    : SliderControl(true, _name, _script_file, _renderer, _sound_system, _string_table)
{}

SliderControl::~SliderControl() = default;

void SliderControl::ProcessScript()
{
    while (const char* key = ReadScriptCommand()) {
        const command_c& command = GetScript();
        const string_c keyword(key);
        if (keyword == (horizontal ? "ArrowRightFile" : "ArrowUpFile")) {
            arrowA.scene = LoadMenuBodyScene(command.GetParameter(1u), renderer, true);
        } else if (keyword == (horizontal ? "ArrowLeftFile" : "ArrowDownFile")) {
            arrowB.scene = LoadMenuBodyScene(command.GetParameter(1u), renderer, true);
        } else if (keyword == "BarFile") {
            barScene = LoadMenuBodyScene(command.GetParameter(1u), renderer, true);
        } else if (keyword == "Arrow_Disabled") {
            ReadMenuClip(command, arrowA.disabled);
            arrowB.disabled = arrowA.disabled;
        } else if (keyword == "Arrow_Enabled") {
            ReadMenuClip(command, arrowA.enabled);
            arrowB.enabled = arrowA.enabled;
        } else if (keyword == "Arrow_MouseOver") {
            ReadMenuClip(command, arrowA.over);
            arrowB.over = arrowA.over;
            overSound = ReadMenuSound(command, soundSystem);
        } else if (keyword == "Arrow_Action") {
            ReadMenuClip(command, arrowA.action);
            arrowB.action = arrowA.action;
            actionSound = ReadMenuSound(command, soundSystem);
        } else if (keyword == "Bar_Disabled") {
            ReadMenuClip(command, barDisabled);
        } else if (keyword == "Bar_Action") {
            ReadMenuClip(command, barAction);
        } else if (keyword == "Speed") {
            speed = command.GetFloat(1u);
        }
    }
}

void SliderControl::Layout()
{
    if (horizontal) {
        const f32 side = rect.GetHeight();
        arrowA.square = Box(rect.right - side, rect.top, side, side);
        arrowB.square = Box(rect.left, rect.top, side, side);
        bar = Box(rect.left + side, rect.top, rect.GetWidth() - 2.0f * side, side);
        arrowA.direction = 1.0f;
        arrowB.direction = -1.0f;
    } else {
        const f32 side = rect.GetWidth();
        arrowA.square = Box(rect.left, rect.top, side, side);
        arrowB.square = Box(rect.left, rect.bottom - side, side, side);
        bar = Box(rect.left, rect.top + side, side, rect.GetHeight() - 2.0f * side);
        arrowA.direction = -1.0f;
        arrowB.direction = 1.0f;
    }
}

void SliderControl::HoverArrow(arrow_s& _arrow, bool _leave_held)
{
    if (_arrow.state == control_disabled)
        return;
    const bool inside = _arrow.square.IsInside(mouseX, mouseY);
    if (!inside && (_arrow.state == control_over || (_leave_held && _arrow.state == control_captured))) {
        _arrow.enabled.Play(_arrow.scene.get(), 0.0f);
        _arrow.state = control_normal;
    } else if (inside && _arrow.state == control_normal) {
        PlayMenuSound(overSound.get());
        _arrow.state = control_over;
        _arrow.over.Play(_arrow.scene.get(), 0.0f);
    }
}

void SliderControl::HoldArrow(arrow_s& _arrow, f32 _seconds, bool _needs_pointer)
{
    if (_arrow.state == control_captured && button == 1 &&
        (!_needs_pointer || _arrow.square.IsInside(mouseX, mouseY))) {
        value = std::clamp(value + _arrow.direction * _seconds * speed, 0.0f, 1.0f);
    } else if (_arrow.state == control_over && button == 1) {
        PlayMenuSound(actionSound.get());
        _arrow.action.Play(_arrow.scene.get(), 0.0f);
        _arrow.state = control_captured;
    }
}

void SliderControl::Process(f32 _time)
{
    const f32 seconds = _time - lastTime;
    Layout();
    const std::pair<scene_c*, const menu_rect_c*> scenes[] = {
        {arrowA.scene.get(), &arrowA.square}, {arrowB.scene.get(), &arrowB.square}, {barScene.get(), &bar}};
    for (const auto& [scene, place] : scenes) {
        if (!scene)
            continue;
        scene->dissolve = transition;
        PlaceMenuScene(*scene, *place);
    }
    if (state != control_disabled) {
        if (!rect.IsInside(mouseX, mouseY)) {
            state = control_normal;
        } else if (state != control_over) {
            state = control_over;
            hoverTime = _time;
        }
    }
    HoverArrow(arrowA, false);
    HoverArrow(arrowB, true);
    if (arrowA.state != control_disabled && button == 1 && (bar.IsInside(mouseX, mouseY) || dragging)) {
        dragging = 1;
        const f32 along = horizontal ? mouseX - bar.left : mouseY - bar.top;
        const f32 length = horizontal ? bar.GetWidth() : bar.GetHeight();
        if (length > 0.0f)
            value = std::clamp(along / length, 0.0f, 1.0f);
    }
    HoldArrow(arrowB, seconds, false);
    HoldArrow(arrowA, seconds, true);
    if (barScene)
        AnimateMenuScene(*barScene, (barAction.lastTime - barAction.firstTime) * value);
    for (scene_c* scene : {arrowA.scene.get(), arrowB.scene.get()})
        if (scene)
            AnimateMenuScene(*scene, _time);
    lastTime = _time;
}

void SliderControl::OnLeftButtonDown()
{
    if (IsInside(mouseX, mouseY))
        button = 1;
}

void SliderControl::OnLeftButtonUp()
{
    button = 2;
    dragging = 0;
    for (arrow_s* arrow : {&arrowA, &arrowB}) {
        if (arrow->state != control_captured)
            continue;
        const bool inside = arrow->square.IsInside(mouseX, mouseY);
        (inside ? arrow->over : arrow->enabled).Play(arrow->scene.get(), 0.0f);
        arrow->state = inside ? control_over : control_normal;
    }
}

void SliderControl::Disable(bool _enabled)
{
    state = arrowA.state = arrowB.state = _enabled ? control_normal : control_disabled;
    for (arrow_s* arrow : {&arrowA, &arrowB})
        (_enabled ? arrow->enabled : arrow->disabled).Play(arrow->scene.get(), 0.0f);
    (_enabled ? barAction : barDisabled).Play(barScene.get(), 0.0f);
}

bool SliderControl::IsDisabled()
{
    return state != control_disabled;
}

void SliderControl::GetState(menu_ret_c& _ret)
{
    _ret.Clear();
    _ret.floatValue = value;
}

void SliderControl::SetState(menu_ret_c* _ret)
{
    value = _ret->floatValue;
}

void SliderControl::OnMouseMove(f32 _x, f32 _y, i32, i32)
{
    mouseX = _x;
    mouseY = _y;
}

bool SliderControl::IsInside(f32, f32)
{
    return rect.IsInside(mouseX, mouseY);
}

void SliderControl::SetSoundVolume(f32 _volume)
{
    SetMenuSoundVolume(actionSound.get(), _volume);
    SetMenuSoundVolume(overSound.get(), _volume);
}

void SliderControl::Render()
{
    for (scene_c* scene : {barScene.get(), arrowA.scene.get(), arrowB.scene.get()})
        if (scene)
            scene->Render();
}
