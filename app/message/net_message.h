#pragma once
// net_message_c: one game message of a network session. Every message is
// built in such a record, handed to the network manager with its type word,
// and received again as a record.
//
// The payload holds up to 4096 bytes. Writers append at `length`, readers
// read at `read_pos`; multi-byte values are little-endian and unaligned.
// Single bits are packed from the most significant bit down into bytes of
// their own: the first bit of a run appends a zero byte, and every byte-wide
// write or read ends a run, so the bits after it start a new byte.
//
// Limits, so that a record can be trusted whatever a peer sent:
// - A write that does not fit whole is refused whole: payload, length and bit
//   position stay as they were (a vector never lands half written), and
//   WasWriteRefused() tells the sender its message is incomplete.
// - A read never passes `length`. A read that would is refused: the reader
//   gets 0 (or an empty text), the read position stays, and IsOverflowed()
//   stays set until Clear or Rewind. A text must end with its NUL inside
//   `length`.
//
// `length` is kept as a u32 whose value never passes 4096; the network layer
// sends only the `length` payload bytes after its own header.
#include <cstddef>
#include <string>

#include "foundation/text_string.h"
#include "foundation/types.h"
#include "foundation/vector_math.h"

class net_message_c {
public:
    static constexpr u32 kPayloadSize = 4096;

    // Cleared.
    net_message_c() { Clear(); }

    // length 0, both bit positions 0, read position 0, time -2.0, flags off.
    void Clear();
    // Back to the first byte for reading; the payload is kept.
    void Rewind();

    net_message_c& WriteU16(u16 _value);
    net_message_c& WriteU32(u32 _value);
    net_message_c& WriteF32(f32 _value);
    net_message_c& WriteBit(bool _bit);
    // The text and its terminating NUL.
    net_message_c& WriteString(const string_c& _text);
    net_message_c& WriteString(const std::string& _text);
    // As WriteString; a null pointer writes nothing.
    net_message_c& WriteCString(const char* _text);
    // x, y, z.
    net_message_c& WriteVec3(const vec3_c& _v);
    // Pitch, heading, bank: the second, first and third component.
    net_message_c& WriteEuler(const euler_c& _e);

    u16 ReadU16();
    u32 ReadU32();
    f32 ReadF32();
    bool ReadBit();
    string_c ReadString();
    vec3_c ReadVec3();
    euler_c ReadEuler();
    // Moves the read position to a byte of the payload (bit runs restart);
    // a position past `length` is refused as an overflow.
    void SetReadPos(u32 _pos);

    // The first payload word (0 when the payload is shorter).
    u32 PeekFirstWord() const;

    u32 GetLength() const { return length; }
    u32 GetReadPos() const { return read_pos; }
    u32 GetRemaining() const { return length - read_pos; }
    const u8* GetPayload() const { return payload; }
    f32 GetTime() const { return time; }
    void SetTime(f32 _time) { time = _time; }
    bool IsOverflowed() const { return overflowed; }
    bool WasWriteRefused() const { return write_refused; }

    // Replaces the payload with a copy of bytes (reading starts over);
    // false, and the record is left unchanged, when they do not fit.
    bool Assign(const u8* _bytes, size_t _size);

private:
    // Room for n more payload bytes; otherwise the write is refused.
    bool Fits(u32 n);
    void PutU32(u32 _value);
    // n more readable bytes; otherwise the read is refused.
    bool Readable(u32 n);

    u8 write_bit;
    u8 read_bit;
    u16 read_pos;
    u8 payload[kPayloadSize];
    u32 length;
    f32 time;
    bool overflowed;
    bool write_refused;
};
