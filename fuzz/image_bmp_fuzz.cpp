// Reads arbitrary bytes as a bitmap; one that reads must write and read back.
#include "fuzz/image_round_trip.h"
#include "image/bmp_file.h"

extern "C" int LLVMFuzzerTestOneInput(const u8* data, size_t size)
{
    return FuzzImageRoundTrip(data, size, ReadBmp, WriteBmp, true);
}
