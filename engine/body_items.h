#pragma once
// The item loop of object bodies that mix whole objects with tagged records:
// each item is first offered to the object readers, then read as a u32 tag
// and a block. A reader that skipped a chunk of another version has moved
// the stream, and that counts as the item.
#include "foundation/types.h"

#include <functional>

class input_file_c;

// Offers the stream to the object readers; true when one took an object.
using body_objects_f = std::function<bool(input_file_c& _body)>;
// Receives a record's tag and its block.
using body_record_f = std::function<void(u32 _tag, input_file_c& _block)>;

// Reads items until the body holds no further aligned word (up to three
// bytes of padding may close it). A record cut short throws file_error_c.
void ReadBodyItems(input_file_c& _body, const body_objects_f& _objects, const body_record_f& _record);
