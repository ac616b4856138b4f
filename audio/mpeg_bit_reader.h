#pragma once
// Most-significant-bit-first reader over a byte buffer. The buffer must hold
// four readable bytes beyond the last bit that is read; callers keep zeroed
// padding there, so a damaged length never reads outside the buffer.
#include <cstring>

#include "foundation/types.h"

class mpeg_bit_reader_c {
public:
    mpeg_bit_reader_c(const u8* data, u64 bit_position) : _data(data), _position(bit_position) {}

    // The next n bits (n <= 25) without consuming them.
    u32 Peek(u32 n) const
    {
        if (n == 0)
            return 0;
        u32 word;
        std::memcpy(&word, _data + (_position >> 3), 4);
        word = __builtin_bswap32(word);
        return (word << (_position & 7)) >> (32 - n);
    }
    u32 Get(u32 n)
    {
        const u32 value = Peek(n);
        _position += n;
        return value;
    }
    void Skip(u64 n) { _position += n; }
    u64 Position() const { return _position; }
    void SetPosition(u64 position) { _position = position; }

private:
    const u8* _data;
    u64 _position;
};
