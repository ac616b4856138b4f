// Any stored pilot data is refused or loaded into profiles whose names end
// inside their field; loaded profiles store back byte for byte.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "app/pilot_list.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 2)
        return 0;
    // The first two bytes give the stored record size.
    const u32 recordSize = static_cast<u32>(data[0] | data[1] << 8);
    pilot_list_c pilots;
    if (!pilots.ReadRecords(recordSize, data + 2, size - 2))
        return 0;
    for (size_t i = 0; i < pilots.GetCount(); ++i) {
        const pilot_profile_c* p = pilots.Get(i);
        if (!std::memchr(p->name, 0, pilot_profile_c::kNameSize))
            std::abort();
        pilot_list_c again;
        if (!again.ReadRecords(pilot_profile_c::kRecordSize, p->GetRecord(), pilot_profile_c::kRecordSize) ||
            again.GetCount() != 1 ||
            std::memcmp(again.Get(0)->GetRecord(), p->GetRecord(), pilot_profile_c::kRecordSize) != 0)
            std::abort();
    }
    return 0;
}
