#pragma once
// What every backend's device shares: a fixed list of objects and the
// caller's data format over them. EnumObjects lists the objects; after
// SetDataFormat, GetDeviceState writes each format entry's object (found
// by its type word, kind and instance bits) at the entry's offset: a
// button as 0x80 or 0, an axis as a LONG; GetProperty(DIPROP_RANGE) gives
// the range of the axis at an offset of the format. A backend supplies the
// objects, their values and whether the device is acquired.
#include <string>
#include <vector>

#include "platform/dinput8/dinput8.h"

struct device_object_c {
    DWORD ofs = 0;  // offset in the native format: the lasting object number
    DWORD type = 0; // kind bits and DIDFT_MAKEINSTANCE
    DWORD flags = 0;
    std::string name;
    LONG min = 0; // DIPROP_RANGE of an axis
    LONG max = 0;
};

class object_device_c : public IDirectInputDevice8A {
public:
    HRESULT EnumObjects(LPDIENUMDEVICEOBJECTSCALLBACKA _callback, void* _ref, DWORD _flags) override;
    HRESULT SetDataFormat(const DIDATAFORMAT* _format) override;
    HRESULT GetDeviceState(DWORD _size, void* _data) override;
    HRESULT GetProperty(DWORD _property, DIPROPHEADER* _header) override;

protected:
    virtual const std::vector<device_object_c>& Objects() const = 0;
    // The object's value now; a relative axis read with a DIDF_RELAXIS
    // format gives the movement since its previous read (_relative).
    virtual LONG Value(const device_object_c& _object, bool _relative) = 0;
    virtual bool IsAcquired() const = 0;
    // A result for the named call before it runs; DI_OK lets it run.
    virtual HRESULT Before(const char* _call)
    {
        (void)_call;
        return DI_OK;
    }

    const device_object_c* FindByType(DWORD _type) const;

    DIDATAFORMAT _format;
    std::vector<DIOBJECTDATAFORMAT> _formatObjects;
};
