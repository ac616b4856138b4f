#include "platform/dinput8/sdl_haptic.h"

#include <algorithm>
#include <cstring>

namespace {

Uint32 Milliseconds(DWORD _microseconds)
{
    return _microseconds == INFINITE_DURATION ? SDL_HAPTIC_INFINITY : _microseconds / 1000;
}

Uint16 Milliseconds16(DWORD _microseconds)
{
    return static_cast<Uint16>(std::min<DWORD>(_microseconds / 1000, 0x7FFF));
}

// A level of -10000..10000 times the gain, on SDL's signed 16-bit scale.
Sint16 Signed(LONG _level, DWORD _gain)
{
    const f64 scaled = static_cast<f64>(_level) * std::min<DWORD>(_gain, DI_FFNOMINALMAX) / DI_FFNOMINALMAX;
    return static_cast<Sint16>(std::clamp(scaled * 32767.0 / DI_FFNOMINALMAX, -32767.0, 32767.0));
}

Uint16 Unsigned(DWORD _level, DWORD _gain)
{
    const f64 scaled = static_cast<f64>(std::min<DWORD>(_level, DI_FFNOMINALMAX)) *
                       std::min<DWORD>(_gain, DI_FFNOMINALMAX) / DI_FFNOMINALMAX;
    return static_cast<Uint16>(std::clamp(scaled * 65535.0 / DI_FFNOMINALMAX, 0.0, 65535.0));
}

void Direction(const DIEFFECT& _effect, SDL_HapticDirection& _out)
{
    std::memset(&_out, 0, sizeof _out);
    if (_effect.dwFlags & DIEFF_POLAR)
        _out.type = SDL_HAPTIC_POLAR;
    else if (_effect.dwFlags & DIEFF_SPHERICAL)
        _out.type = SDL_HAPTIC_SPHERICAL;
    else
        _out.type = SDL_HAPTIC_CARTESIAN;
    const DWORD axes = std::min<DWORD>(_effect.cAxes, 3);
    for (DWORD i = 0; i < axes && _effect.rglDirection != nullptr; ++i)
        _out.dir[i] = _effect.rglDirection[i];
}

template <class effect_t>
void Envelope(const DIEFFECT& _effect, effect_t& _out)
{
    if (_effect.lpEnvelope == nullptr)
        return;
    _out.attack_length = Milliseconds16(_effect.lpEnvelope->dwAttackTime);
    _out.attack_level = Unsigned(_effect.lpEnvelope->dwAttackLevel, _effect.dwGain);
    _out.fade_length = Milliseconds16(_effect.lpEnvelope->dwFadeTime);
    _out.fade_level = Unsigned(_effect.lpEnvelope->dwFadeLevel, _effect.dwGain);
}

template <class effect_t>
void Timing(const DIEFFECT& _effect, effect_t& _out)
{
    _out.length = Milliseconds(_effect.dwDuration);
    _out.delay = Milliseconds16(_effect.dwStartDelay);
    _out.button = 0;
    _out.interval = Milliseconds16(_effect.dwTriggerRepeatInterval);
}

// The type-specific record when it has exactly the size of T (or n of them).
template <class T>
const T* Params(const DIEFFECT& _effect, DWORD _count = 1)
{
    if (_effect.lpvTypeSpecificParams == nullptr || _effect.cbTypeSpecificParams != sizeof(T) * _count)
        return nullptr;
    return static_cast<const T*>(_effect.lpvTypeSpecificParams);
}

bool Periodic(Uint16 _shape, const DIEFFECT& _effect, SDL_HapticEffect& _out)
{
    const DIPERIODIC* p = Params<DIPERIODIC>(_effect);
    if (p == nullptr)
        return false;
    _out.type = _shape;
    Direction(_effect, _out.periodic.direction);
    Timing(_effect, _out.periodic);
    _out.periodic.period = Milliseconds16(p->dwPeriod);
    _out.periodic.magnitude =
        Signed(static_cast<LONG>(std::min<DWORD>(p->dwMagnitude, DI_FFNOMINALMAX)), _effect.dwGain);
    _out.periodic.offset = Signed(p->lOffset, _effect.dwGain);
    _out.periodic.phase = static_cast<Uint16>(p->dwPhase % 36000);
    Envelope(_effect, _out.periodic);
    return true;
}

bool Condition(Uint16 _kind, const DIEFFECT& _effect, SDL_HapticEffect& _out)
{
    const DWORD axes = std::max<DWORD>(1, std::min<DWORD>(_effect.cAxes, 3));
    const DICONDITION* c = Params<DICONDITION>(_effect, axes);
    const bool shared = c == nullptr;
    if (shared)
        c = Params<DICONDITION>(_effect);
    if (c == nullptr)
        return false;
    _out.type = _kind;
    Direction(_effect, _out.condition.direction);
    Timing(_effect, _out.condition);
    for (DWORD i = 0; i < axes; ++i) {
        const DICONDITION& axis = c[shared ? 0 : i];
        _out.condition.right_sat[i] = Unsigned(axis.dwPositiveSaturation, _effect.dwGain);
        _out.condition.left_sat[i] = Unsigned(axis.dwNegativeSaturation, _effect.dwGain);
        _out.condition.right_coeff[i] = Signed(axis.lPositiveCoefficient, _effect.dwGain);
        _out.condition.left_coeff[i] = Signed(axis.lNegativeCoefficient, _effect.dwGain);
        _out.condition.deadband[i] = Unsigned(static_cast<DWORD>(std::max<LONG>(axis.lDeadBand, 0)), DI_FFNOMINALMAX);
        _out.condition.center[i] = Signed(axis.lOffset, DI_FFNOMINALMAX);
    }
    return true;
}

class sdl_effect_c : public IDirectInputEffect {
public:
    sdl_effect_c(std::shared_ptr<sdl_haptic_c> _haptic, int _id) : haptic(std::move(_haptic)), id(_id) {}
    ~sdl_effect_c() override { SDL_HapticDestroyEffect(haptic->haptic, id); }

    HRESULT Start(DWORD _iterations, DWORD _flags) override
    {
        if (_flags & DIES_SOLO)
            SDL_HapticStopAll(haptic->haptic);
        const Uint32 iterations = _iterations == INFINITE_DURATION ? SDL_HAPTIC_INFINITY : _iterations;
        return SDL_HapticRunEffect(haptic->haptic, id, iterations) == 0 ? DI_OK : DIERR_GENERIC;
    }

    HRESULT Stop() override { return SDL_HapticStopEffect(haptic->haptic, id) == 0 ? DI_OK : DIERR_GENERIC; }

private:
    std::shared_ptr<sdl_haptic_c> haptic;
    int id;
};

} // namespace

sdl_haptic_c::~sdl_haptic_c()
{
    if (haptic != nullptr)
        SDL_HapticClose(haptic);
}

bool TranslateEffect(const GUID& _type, const DIEFFECT& _effect, SDL_HapticEffect& _out)
{
    std::memset(&_out, 0, sizeof _out);
    if (_type == GUID_ConstantForce) {
        const DICONSTANTFORCE* p = Params<DICONSTANTFORCE>(_effect);
        if (p == nullptr)
            return false;
        _out.type = SDL_HAPTIC_CONSTANT;
        Direction(_effect, _out.constant.direction);
        Timing(_effect, _out.constant);
        _out.constant.level = Signed(p->lMagnitude, _effect.dwGain);
        Envelope(_effect, _out.constant);
        return true;
    }
    if (_type == GUID_RampForce) {
        const DIRAMPFORCE* p = Params<DIRAMPFORCE>(_effect);
        if (p == nullptr || _effect.dwDuration == INFINITE_DURATION)
            return false;
        _out.type = SDL_HAPTIC_RAMP;
        Direction(_effect, _out.ramp.direction);
        Timing(_effect, _out.ramp);
        _out.ramp.start = Signed(p->lStart, _effect.dwGain);
        _out.ramp.end = Signed(p->lEnd, _effect.dwGain);
        Envelope(_effect, _out.ramp);
        return true;
    }
    if (_type == GUID_Sine || _type == GUID_Square)
        return Periodic(SDL_HAPTIC_SINE, _effect, _out);
    if (_type == GUID_Triangle)
        return Periodic(SDL_HAPTIC_TRIANGLE, _effect, _out);
    if (_type == GUID_SawtoothUp)
        return Periodic(SDL_HAPTIC_SAWTOOTHUP, _effect, _out);
    if (_type == GUID_SawtoothDown)
        return Periodic(SDL_HAPTIC_SAWTOOTHDOWN, _effect, _out);
    if (_type == GUID_Spring)
        return Condition(SDL_HAPTIC_SPRING, _effect, _out);
    if (_type == GUID_Damper)
        return Condition(SDL_HAPTIC_DAMPER, _effect, _out);
    if (_type == GUID_Inertia)
        return Condition(SDL_HAPTIC_INERTIA, _effect, _out);
    if (_type == GUID_Friction)
        return Condition(SDL_HAPTIC_FRICTION, _effect, _out);
    return false;
}

HRESULT CreateHapticEffect(const std::shared_ptr<sdl_haptic_c>& _haptic, const GUID& _type, const DIEFFECT& _effect,
                           IDirectInputEffect** _out)
{
    *_out = nullptr;
    SDL_HapticEffect effect;
    if (!_haptic || _haptic->haptic == nullptr || !TranslateEffect(_type, _effect, effect))
        return DIERR_UNSUPPORTED;
    if ((SDL_HapticQuery(_haptic->haptic) & effect.type) == 0)
        return DIERR_UNSUPPORTED;
    const int id = SDL_HapticNewEffect(_haptic->haptic, &effect);
    if (id < 0)
        return DIERR_GENERIC;
    *_out = new sdl_effect_c(_haptic, id);
    return DI_OK;
}
