#include "game/hud.h"

#include "game/script_host.h"

#include <cmath>

namespace {

// A script number as a line or clip number: its integer part, or -1 (no
// text, no clip) for a value that is not finite or does not fit.
i32 ScriptNumber(double _value)
{
    if (!std::isfinite(_value) || _value <= -2147483649.0 || _value >= 2147483648.0)
        return -1;
    return static_cast<i32>(_value);
}

hud_c& Hud(void* _context)
{
    return *static_cast<hud_c*>(_context);
}

void AddMissionInfoLine(script_host_c* _script, int _count, void* _context)
{
    if (_count != 1)
        return;
    if (_script->IsStringArg(1))
        Hud(_context).AddInfoLine(_script->GetStringArg(1));
    else
        Hud(_context).AddTextLine(ScriptNumber(_script->GetNumberArg(1)));
}

void Play2dSound(script_host_c* _script, int _count, void* _context)
{
    if (_count == 1 && _script->IsStringArg(1))
        Hud(_context).Play2dSound(_script->GetStringArg(1).GetData());
}

void AddInfoLineWithSound(script_host_c* _script, int _count, void* _context)
{
    if (_count != 1)
        return;
    if (_script->IsStringArg(1))
        Hud(_context).QueueVoiceFile(_script->GetStringArg(1).GetData());
    else
        Hud(_context).QueueVoiceClip(ScriptNumber(_script->GetNumberArg(1)));
}

} // namespace

void RegisterHudBindings(script_host_c& _script, hud_c& _hud)
{
    _script.Register("add_mission_info_line", AddMissionInfoLine, &_hud);
    _script.Register("play_2d_sound", Play2dSound, &_hud);
    _script.Register("add_info_line_with_sound", AddInfoLineWithSound, &_hud);
}
