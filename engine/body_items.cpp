#include "engine/body_items.h"

#include "engine/stream_check.h"
#include "foundation/memory_file.h"

void ReadBodyItems(input_file_c& _body, const body_objects_f& _objects, const body_record_f& _record)
{
    while (_body.GetAlignedPointer32()) {
        const u32 start = _body.GetPosition();
        if (_objects && _objects(_body))
            continue;
        if (_body.GetPosition() != start)
            continue;
        const u32 tag = ReadCheckedU32(_body);
        input_file_c block;
        ReadCheckedBlock(_body, block);
        _record(tag, block);
    }
}
