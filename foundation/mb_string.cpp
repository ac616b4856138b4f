#include "foundation/mb_string.h"

#include <algorithm>

#include "platform/win32/multibyte.h"

namespace {
const unsigned char* Bytes(const char* text)
{
    return reinterpret_cast<const unsigned char*>(text);
}
}

mb_string_c::mb_string_c() : chars(0) {}

mb_string_c::mb_string_c(const string_c& text) : chars(0)
{
    Assign(text.GetData(), text.GetLength());
}

void mb_string_c::Assign(const char* text, unsigned charCount, unsigned byteCount)
{
    if (!text || charCount == 0 || byteCount == 0) {
        bytes.Clear();
        chars = 0;
        return;
    }
    bytes.Assign(text, byteCount);
    chars = charCount;
}

void mb_string_c::Assign(const char* text, unsigned byteCount)
{
    const unsigned charCount = text ? static_cast<unsigned>(_mbsnccnt(Bytes(text), byteCount)) : 0;
    Assign(text, charCount, byteCount);
}

void mb_string_c::Append(const char* text, unsigned charCount, unsigned byteCount)
{
    if (!text || charCount == 0 || byteCount == 0)
        return;
    bytes.Append(text, byteCount);
    chars += charCount;
}

i64 mb_string_c::Resolve(int pos) const
{
    return pos < 0 ? static_cast<i64>(pos) + chars : static_cast<i64>(pos);
}

void mb_string_c::Insert(int charPos, const char* text, unsigned charCount, unsigned byteCount)
{
    if (!text || charCount == 0 || byteCount == 0)
        return;
    const i64 at = std::clamp<i64>(Resolve(charPos), 0, chars);
    bytes.Insert(static_cast<int>(ByteOffset(static_cast<u32>(at))), text, byteCount);
    chars += charCount;
}

mb_string_c& mb_string_c::operator+=(unsigned code)
{
    char buffer[3];
    const int n = EncodeMbChar(buffer, code);
    Append(buffer, 1, static_cast<unsigned>(n));
    return *this;
}

void mb_string_c::Insert(int charPos, unsigned code)
{
    char buffer[3];
    const int n = EncodeMbChar(buffer, code);
    Insert(charPos, buffer, 1, static_cast<unsigned>(n));
}

unsigned mb_string_c::operator[](int index) const
{
    const i64 at = Resolve(index);
    return CharAt(at < 0 ? 0 : static_cast<u32>(std::min<i64>(at, chars)));
}

void mb_string_c::Erase(int pos, unsigned count)
{
    if (count == 0)
        return;
    const i64 at = Resolve(pos);
    if (at < 0 || at >= chars)
        return;
    const u32 n = static_cast<u32>(std::min<i64>(count, chars - at));
    const u32 first = ByteOffset(static_cast<u32>(at));
    const u32 last = ByteOffset(static_cast<u32>(at) + n);
    bytes.Erase(static_cast<int>(first), last - first);
    chars -= n;
}

void mb_string_c::Truncate(int pos)
{
    const i64 at = Resolve(pos);
    if (at < 0 || at >= chars)
        return;
    bytes.Truncate(static_cast<int>(ByteOffset(static_cast<u32>(at))));
    chars = static_cast<u32>(at);
}

int mb_string_c::Find(unsigned code) const
{
    if (code == 0 || chars == 0)
        return -1;
    const bool alpha = _ismbcalpha(code);
    const unsigned upper = _mbctoupper(code);
    const unsigned lower = _mbctolower(code);
    const unsigned char* p = Bytes(bytes.GetData());
    for (u32 i = 0; i < chars; ++i) {
        const unsigned c = _mbsnextc(p);
        if (alpha ? (c == upper || c == lower) : c == code)
            return static_cast<int>(i);
        p = _mbsninc(p, 1);
    }
    return -1;
}

u32 mb_string_c::ByteOffset(u32 charIndex) const
{
    if (charIndex == 0)
        return 0;
    if (charIndex >= chars)
        return bytes.GetLength();
    const unsigned char* start = Bytes(bytes.GetData());
    return static_cast<u32>(_mbsninc(start, charIndex) - start);
}

unsigned mb_string_c::CharAt(u32 charIndex) const
{
    if (charIndex >= chars)
        return 0;
    return _mbsnextc(Bytes(bytes.GetData()) + ByteOffset(charIndex));
}

int EncodeMbChar(char* buffer, unsigned code)
{
    if (code == 0) {
        buffer[0] = '\0';
        return 0;
    }
    if (code > 255) {
        buffer[0] = static_cast<char>((code >> 8) & 0xff);
        buffer[1] = static_cast<char>(code & 0xff);
        buffer[2] = '\0';
        return 2;
    }
    buffer[0] = static_cast<char>(code);
    buffer[1] = '\0';
    return 1;
}
