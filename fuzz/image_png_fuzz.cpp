// Reads arbitrary bytes as a PNG picture; one that reads must write and read back.
#include "fuzz/image_round_trip.h"
#include "image/png_file.h"

extern "C" int LLVMFuzzerTestOneInput(const u8* data, size_t size)
{
    return FuzzImageRoundTrip(data, size, ReadPng, WritePng, true);
}
