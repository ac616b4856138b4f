#include "app/file_readers.h"

#include <gtest/gtest.h>

#include "engine/object_format.h"

namespace {

TEST(FileReaders, EveryObjectKindHasItsReader)
{
    RegisterFileReaders();
    RegisterFileReaders();
    for (u32 slot = 0; slot < object_reader_count; ++slot)
        EXPECT_NE(GetObjectReader(static_cast<object_reader_e>(slot)), nullptr) << "slot " << slot;
}

} // namespace
