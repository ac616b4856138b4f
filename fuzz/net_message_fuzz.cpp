// Any received payload, read with any sequence of readers, stays inside the
// record: readers report an overflow instead, and the read position never
// passes the length.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "app/message/net_message.h"
#include "app/message/net_message_type.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 2)
        return 0;
    // The first bytes choose the reads; the rest is the payload.
    const size_t ops = data[0] % 32;
    if (size < 1 + ops)
        return 0;
    net_message_c m;
    if (!m.Assign(data + 1 + ops, size - 1 - ops))
        return 0;
    for (size_t i = 0; i < ops; ++i) {
        switch (data[1 + i] % 8) {
        case 0: m.ReadU16(); break;
        case 1: m.ReadU32(); break;
        case 2: m.ReadBit(); break;
        case 3: m.ReadString(); break;
        case 4: m.ReadVec3(); break;
        case 5: m.ReadEuler(); break;
        case 6: m.SetReadPos(data[1 + i]); break;
        default: m.Rewind(); break;
        }
        if (m.GetReadPos() > m.GetLength())
            std::abort();
    }
    for (const net_message_layout_s& layout : NetMessageLayouts()) {
        m.Rewind();
        SkipNetMessageFields(m, layout.body);
        if (m.GetReadPos() > m.GetLength())
            std::abort();
    }
    return 0;
}
