#pragma once
// menu_check_look_c: the look of a two-state switch, shared by check boxes
// and tab headers: a border scene and a check scene with their clips and the
// pointer-over, on and off sounds, read with the same keys: "BorderFile",
// "CheckFile", "Border_Disabled", "Border_Enabled", "Border_MouseOver"
// (optional "sound"), "Check_Disabled", "Check_ON", "Check_OFF" (optional
// "sound" each), "Charset" and "CharsetColor".
#include "foundation/types.h"
#include "foundation/vector_math.h"
#include "menu/menu_anim_clip.h"

#include <memory>

class command_c;
class font_handle_c;
class menu_rect_c;
class renderer_c;
class scene_c;
class sound_source_c;
class sound_system_c;

class menu_check_look_c {
public:
    std::unique_ptr<scene_c> border;
    std::unique_ptr<scene_c> check;
    menu_anim_clip_c borderDisabled;
    menu_anim_clip_c borderEnabled;
    menu_anim_clip_c borderOver;
    menu_anim_clip_c checkDisabled;
    menu_anim_clip_c checkOn;
    menu_anim_clip_c checkOff;
    std::unique_ptr<sound_source_c> overSound;
    std::unique_ptr<sound_source_c> onSound;
    std::unique_ptr<sound_source_c> offSound;
    std::unique_ptr<font_handle_c> font;
    vec3_c color = vec3_c(0.0f, 0.0f, 0.0f);

    menu_check_look_c();
    ~menu_check_look_c();

    // Reads the command when its name is one of the keys; false otherwise.
    bool ReadKey(const char* _keyword, const command_c& _command, renderer_c* _renderer, sound_system_c* _sound_system);
    // The on, off and pointer-over sounds' volume in decibels.
    void SetVolume(f32 _volume);
    // The disabled looks, or the enabled border with the check on or off.
    void Show(bool _enabled, bool _on, f32 _time);
    // The check on or off (off while disabled).
    void ShowCheck(bool _on, bool _enabled, f32 _time);
    // A click: the other value with its sound and clip; returns it.
    bool Toggle(bool _on, f32 _time);
    // Pointer over (2) or not (1) by _inside; the border clip and the sound
    // follow, and the hover time is the time of entering.
    void Hover(i32& _state, bool _inside, f32 _time, f32& _hover_time);
    // Both scenes in the box with the transparency (check, then border).
    void Place(const menu_rect_c& _box, f32 _transparency);
    void Animate(f32 _time);
    // Border then check, or check then border.
    void Render(bool _check_first);
};
