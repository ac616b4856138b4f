#include "platform/dinput8/object_device.h"

#include <cstring>

namespace {

bool IsAxis(DWORD _type)
{
    return (_type & DIDFT_AXIS) != 0;
}

} // namespace

const device_object_c* object_device_c::FindByType(DWORD _type) const
{
    for (const device_object_c& object : Objects())
        if (object.type == _type)
            return &object;
    return nullptr;
}

HRESULT object_device_c::EnumObjects(LPDIENUMDEVICEOBJECTSCALLBACKA _callback, void* _ref, DWORD)
{
    if (_callback == nullptr)
        return DIERR_INVALIDPARAM;
    const HRESULT hr = Before("EnumObjects");
    if (hr != DI_OK)
        return hr;
    for (const device_object_c& object : Objects()) {
        DIDEVICEOBJECTINSTANCEA instance;
        instance.dwOfs = object.ofs;
        instance.dwType = object.type;
        instance.dwFlags = object.flags;
        std::strncpy(instance.tszName, object.name.c_str(), MAX_PATH - 1);
        if (_callback(&instance, _ref) == DIENUM_STOP)
            break;
    }
    return DI_OK;
}

HRESULT object_device_c::SetDataFormat(const DIDATAFORMAT* _format_in)
{
    if (_format_in == nullptr || _format_in->dwSize != sizeof(DIDATAFORMAT) ||
        _format_in->dwObjSize != sizeof(DIOBJECTDATAFORMAT) ||
        (_format_in->dwNumObjs > 0 && _format_in->rgodf == nullptr))
        return DIERR_INVALIDPARAM;
    if (IsAcquired())
        return DIERR_ACQUIRED;
    const HRESULT hr = Before("SetDataFormat");
    if (hr != DI_OK)
        return hr;
    for (DWORD i = 0; i < _format_in->dwNumObjs; ++i) {
        const DIOBJECTDATAFORMAT& entry = _format_in->rgodf[i];
        const u64 width = IsAxis(entry.dwType) ? 4 : 1;
        if (u64{entry.dwOfs} + width > _format_in->dwDataSize)
            return DIERR_INVALIDPARAM;
    }
    _format = *_format_in;
    _formatObjects.assign(_format_in->rgodf, _format_in->rgodf + _format_in->dwNumObjs);
    _format.rgodf = _formatObjects.data();
    return DI_OK;
}

HRESULT object_device_c::GetDeviceState(DWORD _size, void* _data)
{
    if ((_data == nullptr && _size > 0) || _size != _format.dwDataSize)
        return DIERR_INVALIDPARAM;
    if (!IsAcquired())
        return DIERR_NOTACQUIRED;
    const HRESULT hr = Before("GetDeviceState");
    if (hr != DI_OK)
        return hr;
    u8* bytes = static_cast<u8*>(_data);
    if (_size > 0)
        std::memset(bytes, 0, _size);
    const bool relative = _format.dwFlags == DIDF_RELAXIS;
    for (const DIOBJECTDATAFORMAT& entry : _formatObjects) {
        const device_object_c* object = FindByType(entry.dwType);
        if (object == nullptr)
            continue;
        if (object->type & DIDFT_BUTTON) {
            bytes[entry.dwOfs] = Value(*object, false) ? 0x80 : 0;
        } else if (IsAxis(object->type)) {
            const LONG value = Value(*object, relative && (object->type & DIDFT_RELAXIS));
            std::memcpy(bytes + entry.dwOfs, &value, 4);
        }
    }
    return DI_OK;
}

HRESULT object_device_c::GetProperty(DWORD _property, DIPROPHEADER* _header)
{
    if (_property != DIPROP_RANGE || _header == nullptr || _header->dwSize != sizeof(DIPROPRANGE) ||
        _header->dwHow != DIPH_BYOFFSET)
        return DIERR_INVALIDPARAM;
    for (const DIOBJECTDATAFORMAT& entry : _formatObjects) {
        if (entry.dwOfs != _header->dwObj)
            continue;
        const device_object_c* object = FindByType(entry.dwType);
        if (object == nullptr || !IsAxis(object->type))
            return DIERR_NOTFOUND;
        DIPROPRANGE* range = reinterpret_cast<DIPROPRANGE*>(_header);
        range->lMin = object->min;
        range->lMax = object->max;
        return DI_OK;
    }
    return DIERR_NOTFOUND;
}
