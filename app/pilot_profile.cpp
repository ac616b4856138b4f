#include "app/pilot_profile.h"

#include <algorithm>
#include <cstring>

pilot_profile_c::pilot_profile_c()
{
    std::memset(static_cast<void*>(this), 0, sizeof *this);
    selected_plane = 1;
}

void pilot_profile_c::SetName(const char* _name)
{
    CopyStringLimited(name, _name ? _name : "", kMaxNameLength);
}

bool pilot_profile_c::FromRecord(const u8* _bytes, u32 _size)
{
    const u32 nameBytes = std::min(_size, kNameSize);
    if (!std::memchr(_bytes, 0, nameBytes))
        return false;
    std::memcpy(static_cast<void*>(this), _bytes, std::min(_size, kRecordSize));
    return true;
}
