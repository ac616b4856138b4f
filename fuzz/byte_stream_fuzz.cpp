// Drives a memory stream, a window onto it and a chain with operations and
// arguments taken from the input, over a block that is the input itself.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

#include "foundation/byte_stream.h"

namespace {

class script_c {
public:
    script_c(const uint8_t* data, size_t size) : _data(data), _size(size) {}
    bool More() const { return _at < _size; }
    int Byte() { return _at < _size ? _data[_at++] : 0; }
    int Int() { return static_cast<int8_t>(Byte()) * (Byte() + 1); }

private:
    const uint8_t* _data;
    size_t _size;
    size_t _at = 0;
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    std::vector<uint8_t> block(data, data + size);
    memory_stream_c memory;
    memory.Open(block.data(), static_cast<int>(block.size()), 1);
    range_stream_c window;
    script_c script(data, size);
    stream_c* streams[2] = {&memory, &window};
    u8 buffer[600];
    while (script.More()) {
        stream_c& s = *streams[script.Byte() & 1];
        switch (script.Byte() % 16) {
        case 0: s.Read(buffer, script.Byte() * 2 + 1); break;
        case 1: s.Read(nullptr, script.Int()); break;
        case 2: s.Peek(buffer, script.Byte() * 2 + 1); break;
        case 3: s.Seek(script.Int()); break;
        case 4: s.SeekRelative(script.Int()); break;
        case 5:
            s.ReadU32BE();
            s.PeekU16BE();
            break;
        case 6: s.SkipBits(script.Int()); break;
        case 7: s.ReadBits(script.Byte() % 40); break;
        case 8: s.WriteBits(static_cast<u32>(script.Int()), script.Byte() % 40); break;
        case 9: s.Write(buffer, script.Byte() + 1); break;
        case 10: s.Control(script.Byte() % 60, 0, script.Byte() % 40 - 4); break;
        case 11: window.Open(&memory, script.Int(), script.Int()); break;
        case 12:
            s.AlignToByte();
            s.FlushBits();
            break;
        case 13: s.Flush(); break;
        case 14: s.SeekFromEnd(script.Int()); break;
        default: s.Control(21, 0, script.Byte() - 1); break;
        }
    }
    window.Close();
    return 0;
}
