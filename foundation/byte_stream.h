#pragma once
// Byte and bit streams for the compressed-music source and decoder.
//
// stream_c is a polymorphic byte stream with an optional read buffer,
// big-endian reads, bit-level positioning, a fill byte for reads past the
// end, a tee stream that receives a copy of every byte read, and a chain:
// every public operation walks to the chain's last stream and acts there.
// Concrete streams override the Raw operations; memory_stream_c reads a block
// of memory and range_stream_c is a window onto part of another stream.
//
// Reads never throw: a read past the end returns fewer bytes, sets the
// end-of-file flag and, when a fill byte is set, fills the rest of the
// caller's buffer with it. Operations without the mode bit they need do
// nothing and return 0. A subclass's destructor must call Close() itself, so
// that its own Raw operations still run.
#include <cstdint>
#include <memory>

#include "foundation/types.h"

class stream_c {
public:
    // Mode bits.
    static constexpr u32 kOpen = 1;
    static constexpr u32 kReadable = 2;
    static constexpr u32 kWritable = 4;
    static constexpr u32 kSeekable = 8;
    static constexpr u32 kGrowable = 16;

    stream_c() = default;
    virtual ~stream_c();
    stream_c(const stream_c&) = delete;
    stream_c& operator=(const stream_c&) = delete;

    // Opens this stream with mode | kOpen at a position and size; buffers
    // empty, bit state cleared, no fill byte, flags cleared, no chain, no tee.
    void Init(u32 mode, int position, int size);
    // Closes the chain from its end (deleting owned streams), writes what is
    // pending, then closes this stream.
    void Close();

    // Up to n bytes (n >= 1; needs kReadable); a copy goes to the tee. A null
    // buffer skips n bytes in pieces of at most 256, each piece also going to
    // the tee, and stops at the first short piece.
    int Read(void* buffer, int n);
    // As Read without consuming and without the tee. A stream that cannot
    // seek serves peeks from its buffer, so it sees at most the buffer's
    // capacity ahead (or asks RawPeek when it has no buffer).
    int Peek(void* buffer, int n);
    // Up to n bytes (needs kWritable). A stream that cannot seek collects
    // them in its write-collect buffer when one is set.
    int Write(const void* buffer, int n);

    // Missing bytes read as 0, or as the fill byte when one is set.
    u8 ReadU8();
    u16 ReadU16BE();
    u32 ReadU32BE();
    u16 PeekU16BE();
    u32 PeekU32BE();

    // Moves a seekable stream (a negative target is 0, a target past the end
    // is the size) and the tee with it; returns the position. A stream that
    // cannot seek stays and returns its position.
    int Seek(int position);
    int SeekRelative(int offset);
    int SeekFromEnd(int offset);

    u32 GetMode();
    int GetPosition() { return Control(0, 0, 0); }
    int GetSize() { return Control(4, 0, 0); }

    // Bits, in the order set by control code 25 (most or least significant
    // bit of each byte first).
    void SkipBits(int n);
    void AlignToByte();
    // Up to 32 bits; the first bit read is the value's most significant in
    // most-significant-first order, its least significant otherwise.
    u32 ReadBits(int count);
    // The low count bits of value (count 0-32; needs kWritable).
    void WriteBits(u32 value, int count);
    void FlushBits();

    // Writes pending bits and the write-collect buffer; a seekable stream
    // drops its read-ahead and puts the raw stream back at the position.
    // Returns 1, or 0 when bytes could not be written.
    int Flush();

    // Appends stream to the end of the chain; the chain owns it when owned.
    void Append(stream_c* stream, bool owned);
    // The stream that receives a copy of the bytes read (null for none).
    void SetTee(stream_c* tee);

    // Reads or sets state by code (see byte_stream.cpp for the table); a
    // stream with a next stream forwards the call. Code 51 takes the tee
    // stream as parameter.
    virtual int Control(int code, std::intptr_t parameter, int value);

protected:
    virtual void RawClose() {}
    virtual int RawRead(void*, int) { return 0; }
    virtual int RawPeek(void*, int) { return 0; }
    virtual int RawWrite(const void*, int) { return 0; }
    virtual int RawSeek(int) { return 0; }

private:
    stream_c& Last();
    bool Seekable() const { return (_mode & kSeekable) != 0; }
    bool BitsMsbFirst() const { return Seekable() ? _seekBitsMsbFirst : _bitsMsbFirst; }

    int ReadBytes(u8* out, int n, bool toTee, bool quiet);
    int PeekBytes(u8* out, int n, bool quiet);
    void Finish(u8* out, int got, int n, bool quiet);
    void MoveTo(int position, bool moveTee);
    void RawAt(int position);
    void DropBuffer();
    int SetBufferSize(int size);
    int SetCollectSize(int size);
    int FlushBuffer(int mode);
    int FlushCollect(int mode);
    int WriteRaw(const u8* data, int n);
    void ResetFields();

    // Read buffer: the inline bytes while the capacity is at most 8.
    u8 _inlineBuffer[8] = {};
    std::unique_ptr<u8[]> _heapBuffer;
    u8* _buffer = _inlineBuffer;
    int _capacity = 0;
    int _held = 0;
    int _readIndex = 0;
    int _bufferPosition = 0;

    // Write-collect buffer of streams that cannot seek.
    u8 _inlineCollect[8] = {};
    std::unique_ptr<u8[]> _heapCollect;
    u8* _collect = _inlineCollect;
    int _collectCapacity = 0;
    int _collectFill = 0;

    int _bitPosition = 0;
    u8 _bitByte = 0;
    u8 _pendingBits = 0;
    int _pendingCount = 0;
    bool _seekBitsMsbFirst = false;
    bool _bitsMsbFirst = false;
    bool _padOnes = false;

    int _fill = -1;
    bool _eof = false;
    bool _error = false;

    int _position = 0;
    int _rawPosition = 0;
    int _size = 0;
    int _written = 0; // bytes written by a stream that cannot seek

    stream_c* _next = nullptr;
    std::unique_ptr<stream_c> _ownedNext;
    stream_c* _tee = nullptr;
    u32 _mode = 0;
};

// A stream over a block of memory owned by the caller; seekable, never
// growing: writes stop at the block's end.
class memory_stream_c : public stream_c {
public:
    memory_stream_c() = default;
    ~memory_stream_c() override;

    // Readable and seekable; writable too when flags & 1. -1 for a negative
    // size or a null block of non-zero size.
    int Open(void* data, int size, int flags);
    // Read only.
    int Open(const void* data, int size);

protected:
    void RawClose() override;
    int RawRead(void* buffer, int n) override;
    int RawPeek(void* buffer, int n) override;
    int RawWrite(const void* buffer, int n) override;
    int RawSeek(int position) override;

private:
    const u8* _data = nullptr;
    u8* _writable = nullptr;
    int _at = 0;
    int _length = 0;
};

// A window onto part of another stream, which must outlive it (close the
// window before its parent).
class range_stream_c : public stream_c {
public:
    range_stream_c() = default;
    ~range_stream_c() override;

    // Over a seekable parent, start is clamped to the parent's size and
    // length to what remains after start; the window keeps the parent's mode
    // without kGrowable. A parent that cannot seek must be readable and stand
    // exactly at start; the window is then read-only. -1 on failure.
    int Open(stream_c* parent, int start, int length);

protected:
    void RawClose() override;
    int RawRead(void* buffer, int n) override;
    int RawPeek(void* buffer, int n) override;
    int RawWrite(const void* buffer, int n) override;
    int RawSeek(int position) override;

private:
    int Clamp(int n) const;

    stream_c* _parent = nullptr;
    bool _parentSeekable = false;
    int _start = 0;
    int _at = 0;
    int _length = 0;
};
