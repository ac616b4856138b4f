#include "app/options.h"

#include <cmath>
#include <cstring>

#include "foundation/registry.h"

namespace {

constexpr char kValueName[] = "OPTIONS";

constexpr f32 kDefaultGamma = std::bit_cast<f32>(0x3EAAAAAAu);

f32 Unit(f32 _value, f32 _default)
{
    if (std::isnan(_value))
        return _default;
    return std::fmin(std::fmax(_value, 0.0f), 1.0f);
}

} // namespace

void options_c::SetDesktopSize(i32 _width, i32 _height)
{
    desktop_width = _width;
    desktop_height = _height;
}

void options_c::SetDefaults()
{
    music_volume = 1.0f;
    sound_volume = 1.0f;
    mouse_speed = 0.5f;
    gamma = kDefaultGamma;
    graphic_detail = 0.7f;
    reserved = 0;
    FFire = 0;
    width = desktop_width;
    height = desktop_height;
    bpp = 32;
}

void options_c::Clamp()
{
    music_volume = Unit(music_volume, 1.0f);
    sound_volume = Unit(sound_volume, 1.0f);
    mouse_speed = Unit(mouse_speed, 0.5f);
    gamma = Unit(gamma, kDefaultGamma);
    graphic_detail = Unit(graphic_detail, 0.7f);
    FFire = FFire != 0 ? 1 : 0;
    if (width <= 0 || height <= 0) {
        width = desktop_width;
        height = desktop_height;
    }
    if (bpp != 16 && bpp != 32)
        bpp = 32;
}

void options_c::ToRecord(u8 (&_record)[kRecordSize]) const
{
    const options_record_s& r = *this;
    std::memcpy(_record, &r, kRecordSize);
}

void options_c::FromRecord(const u8* _record, u32 _size)
{
    SetDefaults();
    if (_size != kRecordSize)
        return;
    options_record_s& r = *this;
    std::memcpy(&r, _record, kRecordSize);
    Clamp();
}

void options_c::Load()
{
    u8 record[kRecordSize];
    const registry_reader_c reader(HKEY_CURRENT_USER, RegistryKeyPath(kRegistryCompany, kRegistryProduct).c_str());
    FromRecord(record, reader.GetBinary(kValueName, record, kRecordSize) ? kRecordSize : 0);
}

bool options_c::Save() const
{
    u8 record[kRecordSize];
    ToRecord(record);
    registry_writer_c writer(HKEY_CURRENT_USER, RegistryKeyPath(kRegistryCompany, kRegistryProduct).c_str());
    return writer.SetBinary(kValueName, record, kRecordSize);
}

display_mode_s options_c::GetDisplayMode() const
{
    return {static_cast<u32>(width), static_cast<u32>(height), static_cast<u32>(bpp), 0};
}

display_mode_s options_c::GetDesktopMode() const
{
    return {static_cast<u32>(desktop_width), static_cast<u32>(desktop_height), 32, 0};
}
