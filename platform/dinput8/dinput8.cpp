#include "platform/dinput8/dinput8.h"

#include "platform/dinput8/dinput8_backend.h"
#include "platform/dinput8/effect_file.h"
#include "platform/dinput8/sdl_input.h"

#include <vector>

namespace {

direct_input_backend_c* installed_backend = nullptr;

} // namespace

ULONG IUnknownLike::Release()
{
    const ULONG left = --_references;
    if (left == 0)
        delete this;
    return left;
}

HRESULT IDirectInputDevice8A::EnumEffectsInFile(const char* _file, LPDIENUMEFFECTSINFILECALLBACK _callback, void* _ref,
                                                DWORD)
{
    if (_callback == nullptr)
        return DIERR_INVALIDPARAM;
    std::vector<effect_record_c> records;
    const HRESULT read = effect_file_c::ReadFile(_file, records);
    if (read == DIERR_NOTFOUND)
        return read;
    for (effect_record_c& record : records) {
        const DIFILEEFFECT file = record.GetFileEffect();
        if (_callback(&file, _ref) == DIENUM_STOP)
            return DI_OK;
    }
    return read;
}

direct_input_backend_c* SetDirectInputBackend(direct_input_backend_c* _backend)
{
    direct_input_backend_c* old = installed_backend;
    installed_backend = _backend;
    return old;
}

HRESULT DirectInput8Create(HINSTANCE, DWORD _version, const GUID& _iid, void** _out, void* _outer)
{
    if (_out == nullptr)
        return DIERR_INVALIDPARAM;
    *_out = nullptr;
    if (_version != DIRECTINPUT_VERSION || !(_iid == IID_IDirectInput8A) || _outer != nullptr)
        return DIERR_INVALIDPARAM;
    IDirectInput8A* input = nullptr;
    direct_input_backend_c& backend = installed_backend ? *installed_backend : sdl_input_backend_c::Get();
    const HRESULT hr = backend.CreateInput(&input);
    if (hr == DI_OK)
        *_out = input;
    return hr;
}

const char* DirectInputErrorText(HRESULT _hr)
{
    switch (_hr) {
    case DI_OK: return "The operation completed successfully.";
    case DI_NOEFFECT: return "The operation had no effect.";
    case DIERR_INPUTLOST: return "Access to the input device has been lost. It must be reacquired.";
    case DIERR_NOTACQUIRED: return "The operation cannot be performed unless the device is acquired.";
    case DIERR_INVALIDPARAM: return "An invalid parameter was passed to the returning function.";
    case DIERR_OUTOFMEMORY: return "Not enough memory to complete the operation.";
    case DIERR_NOTFOUND: return "The requested object does not exist.";
    case DIERR_UNSUPPORTED: return "The function called is not supported at this time.";
    case DIERR_GENERIC: return "An undetermined error occurred inside the input subsystem.";
    case DIERR_NOINTERFACE: return "The object does not support the specified interface.";
    case DIERR_DEVICENOTREG: return "The device or device instance is not registered.";
    case DIERR_NOTINITIALIZED: return "This object has not been initialized.";
    case DIERR_ACQUIRED: return "The operation cannot be performed while the device is acquired.";
    default: return "Unknown error.";
    }
}
