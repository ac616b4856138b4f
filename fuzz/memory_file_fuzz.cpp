// Drives input_file_c over the input with reads chosen by the input, writes
// every value read into an output_file_c, and reads that back: the round
// trip must give the same values.
#include <fuzzer/FuzzedDataProvider.h>

#include <cstring>
#include <vector>

#include "foundation/memory_file.h"

namespace {
struct value_t {
    int kind;
    u32 number;
    string_c text;
    std::vector<u8> block;
};

void Check(bool condition)
{
    if (!condition)
        __builtin_trap();
}
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    FuzzedDataProvider provider(data, size);
    const size_t operations = provider.ConsumeIntegralInRange<size_t>(0, 64);
    std::vector<int> kinds;
    std::vector<long> offsets;
    for (size_t i = 0; i < operations; ++i) {
        kinds.push_back(provider.ConsumeIntegralInRange<int>(0, 5));
        offsets.push_back(provider.ConsumeIntegral<int16_t>());
    }
    const std::vector<u8> bytes = provider.ConsumeRemainingBytes<u8>();
    input_file_c in(bytes.data(), static_cast<u32>(bytes.size()));

    std::vector<value_t> values;
    for (size_t i = 0; i < operations; ++i) {
        const u32 before = in.GetPosition();
        value_t value{kinds[i], 0, {}, {}};
        switch (kinds[i]) {
        case 0: {
            u8 b = 0;
            in.ReadU8(b);
            value.number = b;
            break;
        }
        case 1: in.ReadU32(value.number); break;
        case 2: in.ReadString(value.text); break;
        case 3: {
            input_file_c block;
            in.ReadBlock(block);
            if (block.GetSize())
                value.block.assign(block.GetData(), block.GetData() + block.GetSize());
            break;
        }
        case 4: in.Seek(offsets[i], static_cast<int>(i % 4)); continue;
        default:
            if (const u8* p = in.GetAlignedPointer32())
                Check(p + 4 <= bytes.data() + bytes.size());
            if (const u8* p = in.GetPointer())
                Check(p < bytes.data() + bytes.size());
            continue;
        }
        Check(in.GetPosition() <= in.GetSize());
        if (in.GetPosition() != before)
            values.push_back(value);
    }

    output_file_c out;
    for (const value_t& value : values) {
        switch (value.kind) {
        case 0: out.WriteU8(static_cast<u8>(value.number)); break;
        case 1: out.WriteU32(value.number); break;
        case 2: out.WriteString(value.text.GetData(), value.text.GetLength()); break;
        default: out.WriteBlock(value.block.data(), static_cast<u32>(value.block.size())); break;
        }
    }
    input_file_c back(out.GetData(), out.GetSize());
    for (const value_t& value : values) {
        switch (value.kind) {
        case 0: {
            u8 b = 0;
            back.ReadU8(b);
            Check(b == value.number);
            break;
        }
        case 1: {
            u32 n = 0;
            back.ReadU32(n);
            Check(n == value.number);
            break;
        }
        case 2: {
            string_c text;
            back.ReadString(text);
            Check(text.GetLength() == value.text.GetLength() &&
                  std::memcmp(text.GetData(), value.text.GetData(), text.GetLength()) == 0);
            break;
        }
        default: {
            input_file_c block;
            back.ReadBlock(block);
            Check(block.GetSize() == value.block.size() &&
                  (value.block.empty() || std::memcmp(block.GetData(), value.block.data(), value.block.size()) == 0));
            break;
        }
        }
    }
    Check(back.IsAtEnd());
    return 0;
}
