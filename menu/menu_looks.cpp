#include "menu/menu_looks.h"

#include "audio/sound_system.h"
#include "foundation/text_string.h"
#include "menu/menu_control_keys.h"

menu_looks_c::menu_looks_c() = default;

menu_looks_c::~menu_looks_c() = default;

bool menu_looks_c::ReadKey(const char* _keyword, const command_c& _command, sound_system_c* _sound_system)
{
    const string_c keyword(_keyword);
    if (keyword == "Disabled") {
        ReadMenuClip(_command, disabled);
    } else if (keyword == "Enabled") {
        ReadMenuClip(_command, enabled);
    } else if (keyword == "MouseOver") {
        ReadMenuClip(_command, over);
        overSound = ReadMenuSound(_command, _sound_system);
    } else if (keyword == "Action") {
        ReadMenuClip(_command, action);
        actionSound = ReadMenuSound(_command, _sound_system);
    } else {
        return false;
    }
    return true;
}

void menu_looks_c::SetVolume(f32 _volume)
{
    SetMenuSoundVolume(actionSound.get(), _volume);
    SetMenuSoundVolume(overSound.get(), _volume);
}
