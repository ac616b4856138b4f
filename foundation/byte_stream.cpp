// Control codes (third argument = value; 51 takes the parameter):
//   0 position; 1 seekable: position, else bytes written; 2 reading is over;
//   3 writing is over; 4 size; 9/10 end-of-file flag (10 clears it);
//   11/12 error flag (12 clears it); 13, 14 size - position;
//   15 set the buffer size; 16 buffer size; 17 unread buffered bytes;
//   18 set the write-collect size (seekable: the buffer size); 19 its size;
//   20 read index; 21/22 set/get the fill byte (-1 none); 23/24 set/get the
//   bit order of seekable streams; 25/26 set/get the bit order of this
//   stream; 27/28 set/get the padding bits; 29-31 flush the buffer (modes
//   0-2); 32-34 flush the write-collect buffer (modes 0-2); 42 finish
//   reading; 43 finish writing; 44 flush written bits and bytes; 49 at the
//   end; 51 set the tee. Other codes answer 0.
//
// Flush modes: 0 and 1 write what is pending and keep what could not be
// written; 2 also drops it, and drops unread bytes of a buffer that cannot
// be read again.
#include "foundation/byte_stream.h"

#include <algorithm>
#include <climits>
#include <cstring>

namespace {

u32 FromBigEndian(const u8* b, int n)
{
    u32 v = 0;
    for (int i = 0; i < n; ++i)
        v = v << 8 | b[i];
    return v;
}

int ClampToInt(i64 v)
{
    return static_cast<int>(std::clamp<i64>(v, INT_MIN, INT_MAX));
}

} // namespace

stream_c::~stream_c()
{
    Close();
}

stream_c& stream_c::Last()
{
    stream_c* s = this;
    while (s->_next)
        s = s->_next;
    return *s;
}

void stream_c::ResetFields()
{
    _heapBuffer.reset();
    _buffer = _inlineBuffer;
    _capacity = _held = _readIndex = _bufferPosition = 0;
    _heapCollect.reset();
    _collect = _inlineCollect;
    _collectCapacity = _collectFill = 0;
    _bitPosition = 0;
    _bitByte = _pendingBits = 0;
    _pendingCount = 0;
    _seekBitsMsbFirst = _bitsMsbFirst = _padOnes = false;
    _fill = -1;
    _eof = _error = false;
    _position = _rawPosition = _size = _written = 0;
    _next = nullptr;
    _ownedNext.reset();
    _tee = nullptr;
    _mode = 0;
}

void stream_c::Init(u32 mode, int position, int size)
{
    ResetFields();
    _mode = mode | kOpen;
    _position = _rawPosition = _bufferPosition = position;
    _size = size;
}

void stream_c::Close()
{
    if (_next) {
        _next->Close();
        _next = nullptr;
        _ownedNext.reset();
    }
    if (_mode == 0)
        return;
    Flush();
    RawClose();
    ResetFields();
}

void stream_c::Append(stream_c* stream, bool owned)
{
    stream_c& last = Last();
    if (!stream || stream == &last)
        return;
    last._next = stream;
    if (owned)
        last._ownedNext.reset(stream);
}

void stream_c::SetTee(stream_c* tee)
{
    Last()._tee = tee;
}

u32 stream_c::GetMode()
{
    return Last()._mode;
}

// ---- reading ----

void stream_c::RawAt(int position)
{
    if (Seekable() && _rawPosition != position)
        _rawPosition = RawSeek(position);
}

void stream_c::DropBuffer()
{
    _held = _readIndex = 0;
    _bufferPosition = _position;
}

void stream_c::Finish(u8* out, int got, int n, bool quiet)
{
    if (got >= n || quiet)
        return;
    _eof = true;
    if (_fill != -1)
        std::memset(out + got, _fill, static_cast<size_t>(n - got));
}

int stream_c::ReadBytes(u8* out, int n, bool toTee, bool quiet)
{
    int got = 0;
    if (_capacity == 0) {
        RawAt(_position);
        got = std::max(0, RawRead(out, n));
        _rawPosition += got;
        _position += got;
        _bufferPosition = _position;
    } else {
        if (n > _held - _readIndex && _held < _capacity) {
            RawAt(_bufferPosition + _held);
            const int more = std::max(0, RawRead(_buffer + _held, _capacity - _held));
            _held += more;
            _rawPosition += more;
        }
        got = std::min(n, _held - _readIndex);
        std::memcpy(out, _buffer + _readIndex, static_cast<size_t>(got));
        _readIndex += got;
        _position += got;
        if (got < n) {
            DropBuffer();
            RawAt(_position);
            const int remainder = n - got;
            if (remainder < _capacity) {
                _held = std::max(0, RawRead(_buffer, _capacity));
                _rawPosition += _held;
                const int take = std::min(remainder, _held);
                std::memcpy(out + got, _buffer, static_cast<size_t>(take));
                _readIndex = take;
                _position += take;
                got += take;
            } else {
                const int direct = std::max(0, RawRead(out + got, remainder));
                _rawPosition += direct;
                _position += direct;
                _bufferPosition = _position;
                got += direct;
            }
        }
    }
    if (toTee && _tee && got > 0)
        _tee->Write(out, got);
    Finish(out, got, n, quiet);
    return got;
}

int stream_c::Read(void* buffer, int n)
{
    if (_next)
        return Last().Read(buffer, n);
    if (!(_mode & kReadable) || n < 1)
        return 0;
    if (buffer)
        return ReadBytes(static_cast<u8*>(buffer), n, true, false);
    u8 piece[256];
    int skipped = 0;
    while (skipped < n) {
        const int want = std::min(n - skipped, static_cast<int>(sizeof piece));
        const int got = ReadBytes(piece, want, true, false);
        skipped += got;
        if (got < want)
            break;
    }
    return skipped;
}

int stream_c::PeekBytes(u8* out, int n, bool quiet)
{
    if (Seekable()) {
        const int start = _position;
        const int bits = _bitPosition;
        const int got = ReadBytes(out, n, false, quiet);
        MoveTo(start, false);
        _bitPosition = bits;
        return got;
    }
    int got = 0;
    if (_capacity == 0) {
        got = std::max(0, RawPeek(out, n));
    } else {
        // Unread bytes to the front, then top up the rest of the buffer.
        const int unread = _held - _readIndex;
        std::memmove(_buffer, _buffer + _readIndex, static_cast<size_t>(unread));
        _held = unread;
        _readIndex = 0;
        _bufferPosition = _position;
        if (n > _held && _held < _capacity) {
            const int more = std::max(0, RawRead(_buffer + _held, _capacity - _held));
            _held += more;
            _rawPosition += more;
        }
        got = std::min(n, _held);
        std::memcpy(out, _buffer, static_cast<size_t>(got));
    }
    Finish(out, got, n, quiet);
    return got;
}

int stream_c::Peek(void* buffer, int n)
{
    if (_next)
        return Last().Peek(buffer, n);
    if (!(_mode & kReadable) || n < 1 || !buffer)
        return 0;
    return PeekBytes(static_cast<u8*>(buffer), n, false);
}

u8 stream_c::ReadU8()
{
    u8 b = 0;
    Read(&b, 1);
    return b;
}

u16 stream_c::ReadU16BE()
{
    u8 b[2] = {0, 0};
    Read(b, 2);
    return static_cast<u16>(FromBigEndian(b, 2));
}

u32 stream_c::ReadU32BE()
{
    u8 b[4] = {0, 0, 0, 0};
    Read(b, 4);
    return FromBigEndian(b, 4);
}

u16 stream_c::PeekU16BE()
{
    u8 b[2] = {0, 0};
    Peek(b, 2);
    return static_cast<u16>(FromBigEndian(b, 2));
}

u32 stream_c::PeekU32BE()
{
    u8 b[4] = {0, 0, 0, 0};
    Peek(b, 4);
    return FromBigEndian(b, 4);
}

// ---- seeking ----

void stream_c::MoveTo(int position, bool moveTee)
{
    position = std::max(0, position);
    if (position == _position)
        return;
    if (position >= _bufferPosition && position <= _bufferPosition + _held) {
        _readIndex = position - _bufferPosition;
        _position = position;
    } else {
        if (!(_mode & kGrowable))
            position = std::min(position, _size);
        _position = position;
        DropBuffer();
        RawAt(position);
    }
    if (moveTee && _tee)
        _tee->Seek(_position);
}

int stream_c::Seek(int position)
{
    if (_next)
        return Last().Seek(position);
    if (!Seekable())
        return _position;
    _bitPosition = 0;
    MoveTo(position, true);
    return _position;
}

int stream_c::SeekRelative(int offset)
{
    stream_c& s = Last();
    return s.Seek(ClampToInt(static_cast<i64>(s._position) + offset));
}

int stream_c::SeekFromEnd(int offset)
{
    stream_c& s = Last();
    return s.Seek(ClampToInt(static_cast<i64>(s._size) + offset));
}

// ---- writing ----

int stream_c::WriteRaw(const u8* data, int n)
{
    RawAt(_position);
    const int written = std::max(0, RawWrite(data, n));
    _rawPosition += written;
    if (written < n)
        _error = true;
    return written;
}

int stream_c::Write(const void* buffer, int n)
{
    if (_next)
        return Last().Write(buffer, n);
    if (!(_mode & kWritable) || n < 1 || !buffer)
        return 0;
    const u8* data = static_cast<const u8*>(buffer);
    if (Seekable()) {
        // Writes go straight through; read-ahead would be stale after them.
        DropBuffer();
        const int written = WriteRaw(data, n);
        _position += written;
        _bufferPosition = _position;
        if (_position > _size)
            _size = _position;
        return written;
    }
    if (_collectCapacity == 0) {
        const int written = WriteRaw(data, n);
        _written += written;
        return written;
    }
    int accepted = 0;
    while (accepted < n) {
        if (_collectFill == _collectCapacity && !FlushCollect(0))
            break;
        const int take = std::min(n - accepted, _collectCapacity - _collectFill);
        std::memcpy(_collect + _collectFill, data + accepted, static_cast<size_t>(take));
        _collectFill += take;
        accepted += take;
    }
    return accepted;
}

int stream_c::FlushCollect(int mode)
{
    if (_collectFill == 0)
        return 1;
    const int written = WriteRaw(_collect, _collectFill);
    _written += written;
    std::memmove(_collect, _collect + written, static_cast<size_t>(_collectFill - written));
    _collectFill -= written;
    const bool complete = _collectFill == 0;
    if (mode == 2)
        _collectFill = 0;
    return complete ? 1 : 0;
}

int stream_c::FlushBuffer(int mode)
{
    if (Seekable()) {
        DropBuffer();
        RawAt(_position);
    } else if (mode == 2) {
        DropBuffer();
    }
    return 1;
}

int stream_c::Flush()
{
    if (_next)
        return Last().Flush();
    if (_mode == 0)
        return 0;
    FlushBits();
    const int collected = FlushCollect(0);
    FlushBuffer(0);
    return collected;
}

// ---- bits ----

void stream_c::SkipBits(int n)
{
    if (_next)
        return Last().SkipBits(n);
    if (!(_mode & kReadable) || n <= 0)
        return;
    const i64 total = static_cast<i64>(_bitPosition) + n;
    if (Seekable()) {
        MoveTo(ClampToInt(_position + total / 8), true);
        _bitPosition = static_cast<int>(total % 8);
        return;
    }
    // The current partial byte, if any, has been read already.
    const i64 drop = total / 8 - (_bitPosition != 0 ? 1 : 0);
    if (drop > 0)
        Read(nullptr, ClampToInt(drop));
    _bitPosition = static_cast<int>(total % 8);
    if (_bitPosition != 0) {
        _bitByte = 0;
        Read(&_bitByte, 1);
    }
}

void stream_c::AlignToByte()
{
    if (_next)
        return Last().AlignToByte();
    if (_bitPosition == 0)
        return;
    if (Seekable())
        MoveTo(_position + 1, true);
    _bitPosition = 0;
}

u32 stream_c::ReadBits(int count)
{
    if (_next)
        return Last().ReadBits(count);
    if (!(_mode & kReadable) || count <= 0)
        return 0;
    count = std::min(count, 32);
    const bool msb = BitsMsbFirst();
    u32 value = 0;
    auto take = [&](u8 byte, int bit, int index) {
        const u32 b = (byte >> (msb ? 7 - bit : bit)) & 1u;
        value = msb ? (value << 1 | b) : (value | b << index);
    };
    if (Seekable()) {
        u8 bytes[5] = {0, 0, 0, 0, 0};
        const int touched = (_bitPosition + count + 7) / 8;
        PeekBytes(bytes, touched, false);
        for (int i = 0; i < count; ++i) {
            const int k = _bitPosition + i;
            take(bytes[k / 8], k % 8, i);
        }
        const int total = _bitPosition + count;
        MoveTo(_position + total / 8, true);
        _bitPosition = total % 8;
        return value;
    }
    for (int i = 0; i < count; ++i) {
        if (_bitPosition == 0) {
            _bitByte = 0;
            Read(&_bitByte, 1);
        }
        take(_bitByte, _bitPosition, i);
        _bitPosition = (_bitPosition + 1) % 8;
    }
    return value;
}

void stream_c::WriteBits(u32 value, int count)
{
    if (_next)
        return Last().WriteBits(value, count);
    if (!(_mode & kWritable) || count <= 0)
        return;
    count = std::min(count, 32);
    if (count < 32)
        value &= (1u << count) - 1;
    const bool msb = BitsMsbFirst();
    // Bit i of the value in writing order: from the top in msb order.
    auto bitAt = [&](int i) { return (value >> (msb ? count - 1 - i : i)) & 1u; };
    auto place = [&](u8& byte, int bit, u32 b) {
        const int shift = msb ? 7 - bit : bit;
        byte = static_cast<u8>((byte & ~(1u << shift)) | b << shift);
    };
    if (Seekable()) {
        const int touched = (_bitPosition + count + 7) / 8;
        u8 bytes[5];
        std::memset(bytes, _padOnes ? 0xFF : 0x00, sizeof bytes);
        if (_mode & kReadable)
            PeekBytes(bytes, touched, true);
        for (int i = 0; i < count; ++i) {
            const int k = _bitPosition + i;
            place(bytes[k / 8], k % 8, bitAt(i));
        }
        const int written = Write(bytes, touched);
        _bitPosition = (_bitPosition + count) % 8;
        if (_bitPosition != 0 && written == touched)
            MoveTo(_position - 1, true);
        return;
    }
    for (int i = 0; i < count; ++i) {
        place(_pendingBits, _pendingCount, bitAt(i));
        if (++_pendingCount == 8) {
            Write(&_pendingBits, 1);
            _pendingBits = 0;
            _pendingCount = 0;
        }
    }
}

void stream_c::FlushBits()
{
    if (_next)
        return Last().FlushBits();
    if (Seekable()) {
        if (_mode & kWritable)
            AlignToByte();
        return;
    }
    if (_pendingCount == 0)
        return;
    for (int bit = _pendingCount; bit < 8; ++bit) {
        const int shift = _bitsMsbFirst ? 7 - bit : bit;
        _pendingBits = static_cast<u8>((_pendingBits & ~(1u << shift)) | (_padOnes ? 1u : 0u) << shift);
    }
    Write(&_pendingBits, 1);
    _pendingBits = 0;
    _pendingCount = 0;
}

// ---- control ----

int stream_c::SetBufferSize(int size)
{
    if (size < 0)
        return 0;
    if (_held - _readIndex > 0) {
        // Unread bytes of a stream that cannot seek would be lost.
        if (!Seekable())
            return 0;
    }
    DropBuffer();
    RawAt(_position);
    if (size > static_cast<int>(sizeof _inlineBuffer)) {
        _heapBuffer = std::make_unique<u8[]>(static_cast<size_t>(size));
        _buffer = _heapBuffer.get();
    } else {
        _heapBuffer.reset();
        _buffer = _inlineBuffer;
    }
    _capacity = size;
    return 1;
}

int stream_c::SetCollectSize(int size)
{
    if (size < 0 || !FlushCollect(0))
        return 0;
    if (size > static_cast<int>(sizeof _inlineCollect)) {
        _heapCollect = std::make_unique<u8[]>(static_cast<size_t>(size));
        _collect = _heapCollect.get();
    } else {
        _heapCollect.reset();
        _collect = _inlineCollect;
    }
    _collectCapacity = size;
    return 1;
}

int stream_c::Control(int code, std::intptr_t parameter, int value)
{
    if (_next)
        return _next->Control(code, parameter, value);
    auto swap = [](bool& flag, int value) {
        const int old = flag ? 1 : 0;
        flag = value != 0;
        return old;
    };
    switch (code) {
    case 0: return _position;
    case 1: return Seekable() ? _position : _written;
    case 2: return !(_mode & kReadable) || (_held - _readIndex == 0 && _position == _size) ? 1 : 0;
    case 3: return !(_mode & kWritable) || (Seekable() && !(_mode & kGrowable) && _position == _size) ? 1 : 0;
    case 4: return _size;
    case 9: return _eof ? 1 : 0;
    case 10: return swap(_eof, 0);
    case 11: return _error ? 1 : 0;
    case 12: return swap(_error, 0);
    case 13:
    case 14: return _size - _position;
    case 15: return SetBufferSize(value);
    case 16: return _capacity;
    case 17: return _held - _readIndex;
    case 18: return Seekable() ? SetBufferSize(value) : SetCollectSize(value);
    case 19: return Seekable() ? _capacity : _collectCapacity;
    case 20: return _readIndex;
    case 21: {
        const int old = _fill;
        _fill = value < 0 ? -1 : (value & 0xFF);
        return old;
    }
    case 22: return _fill;
    case 23: return swap(_seekBitsMsbFirst, value);
    case 24: return _seekBitsMsbFirst ? 1 : 0;
    case 25: return swap(Seekable() ? _seekBitsMsbFirst : _bitsMsbFirst, value);
    case 26: return BitsMsbFirst() ? 1 : 0;
    case 27: return swap(_padOnes, value);
    case 28: return _padOnes ? 1 : 0;
    case 29:
    case 30:
    case 31: return FlushBuffer(code - 29);
    case 32:
    case 33:
    case 34: return FlushCollect(code - 32);
    case 42:
        if (!(_mode & kReadable))
            return 1;
        AlignToByte();
        FlushBuffer(2);
        if (!Seekable())
            _mode &= ~kReadable;
        return 1;
    case 43: {
        if (!(_mode & kWritable))
            return 1;
        FlushBits();
        const int ok = FlushCollect(0);
        _mode &= ~kWritable;
        return ok;
    }
    case 44:
        FlushBits();
        FlushCollect(1);
        return 1;
    case 49: return _position == _size ? 1 : 0;
    case 51: _tee = reinterpret_cast<stream_c*>(parameter); return 0;
    default: return 0;
    }
}

// ---- memory_stream_c ----

memory_stream_c::~memory_stream_c()
{
    Close();
}

int memory_stream_c::Open(void* data, int size, int flags)
{
    const int result = Open(static_cast<const void*>(data), size);
    if (result == 0 && (flags & 1)) {
        _writable = static_cast<u8*>(data);
        Init(kReadable | kSeekable | kWritable, 0, size);
    }
    return result;
}

int memory_stream_c::Open(const void* data, int size)
{
    Close();
    if (size < 0 || (!data && size > 0))
        return -1;
    _data = static_cast<const u8*>(data);
    _writable = nullptr;
    _at = 0;
    _length = size;
    Init(kReadable | kSeekable, 0, size);
    return 0;
}

void memory_stream_c::RawClose()
{
    _data = nullptr;
    _writable = nullptr;
    _at = _length = 0;
}

int memory_stream_c::RawRead(void* buffer, int n)
{
    const int got = RawPeek(buffer, n);
    _at += got;
    return got;
}

int memory_stream_c::RawPeek(void* buffer, int n)
{
    const int got = std::clamp(_length - _at, 0, std::max(n, 0));
    if (got > 0)
        std::memcpy(buffer, _data + _at, static_cast<size_t>(got));
    return got;
}

int memory_stream_c::RawWrite(const void* buffer, int n)
{
    if (!_writable)
        return 0;
    const int put = std::clamp(_length - _at, 0, std::max(n, 0));
    if (put > 0)
        std::memcpy(_writable + _at, buffer, static_cast<size_t>(put));
    _at += put;
    return put;
}

int memory_stream_c::RawSeek(int position)
{
    _at = std::clamp(position, 0, _length);
    return _at;
}

// ---- range_stream_c ----

range_stream_c::~range_stream_c()
{
    Close();
}

int range_stream_c::Open(stream_c* parent, int start, int length)
{
    Close();
    if (!parent)
        return -1;
    u32 mode = parent->GetMode();
    if (mode == 0 || mode == kGrowable)
        return -1;
    const bool seekable = (mode & kSeekable) != 0;
    if (seekable) {
        const int parentSize = std::max(0, parent->GetSize());
        start = std::clamp(start, 0, parentSize);
        length = std::clamp(length, 0, parentSize - start);
        mode &= ~kGrowable;
    } else {
        if (!(mode & kReadable) || parent->GetPosition() != start || length < 0)
            return -1;
        mode &= ~(kGrowable | kWritable);
    }
    _parent = parent;
    _parentSeekable = seekable;
    _start = start;
    _at = 0;
    _length = length;
    Init(mode, 0, length);
    return 0;
}

void range_stream_c::RawClose()
{
    _parent = nullptr;
    _start = _at = _length = 0;
}

int range_stream_c::Clamp(int n) const
{
    return std::clamp(_length - _at, 0, std::max(n, 0));
}

int range_stream_c::RawRead(void* buffer, int n)
{
    n = Clamp(n);
    if (!_parent || n == 0)
        return 0;
    if (_parentSeekable)
        _parent->Seek(_start + _at);
    const int got = std::max(0, _parent->Read(buffer, n));
    _at += got;
    return got;
}

int range_stream_c::RawPeek(void* buffer, int n)
{
    n = Clamp(n);
    if (!_parent || n == 0)
        return 0;
    if (_parentSeekable)
        _parent->Seek(_start + _at);
    return std::max(0, _parent->Peek(buffer, n));
}

int range_stream_c::RawWrite(const void* buffer, int n)
{
    n = Clamp(n);
    if (!_parent || n == 0)
        return 0;
    _parent->Seek(_start + _at);
    const int put = std::max(0, _parent->Write(buffer, n));
    _at += put;
    return put;
}

int range_stream_c::RawSeek(int position)
{
    _at = std::clamp(position, 0, _length);
    return _at;
}
