#pragma once
// menu_looks_c: the four looks of a control body (disabled, enabled,
// pointer over, action) as clips of its scene, with the sounds of the last
// two. Buttons, text boxes, 3D buttons and drag items read them with the
// same keys: "Disabled", "Enabled", "MouseOver" and "Action" (named
// "start", "end", "loop"; the last two with an optional "sound").
#include "foundation/types.h"
#include "menu/menu_anim_clip.h"

#include <memory>

class command_c;
class sound_source_c;
class sound_system_c;

class menu_looks_c {
public:
    menu_anim_clip_c disabled;
    menu_anim_clip_c enabled;
    menu_anim_clip_c over;
    menu_anim_clip_c action;
    std::unique_ptr<sound_source_c> overSound;
    std::unique_ptr<sound_source_c> actionSound;

    menu_looks_c();
    ~menu_looks_c();

    // Reads the command when its name is one of the four keys; false for
    // any other command.
    bool ReadKey(const char* _keyword, const command_c& _command, sound_system_c* _sound_system);
    // The action sound's volume, then the pointer-over sound's, in decibels.
    void SetVolume(f32 _volume);
};
