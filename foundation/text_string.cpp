#include "foundation/text_string.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <istream>
#include <locale.h>
#include <ostream>
#include <stdexcept>

#include "platform/win32/crt_text.h"

namespace {
// Never written except with 0.
char emptyByte = 0;

constexpr u32 maxLength = 0xfffffffeu;

locale_t ClassicLocale()
{
    static const locale_t classic = newlocale(LC_ALL_MASK, "C", static_cast<locale_t>(nullptr));
    return classic;
}

u32 CheckedLength(u64 n)
{
    if (n > maxLength)
        throw std::length_error("string_c: text too long");
    return static_cast<u32>(n);
}

// Resolves a position against a length; -1 when it stays negative.
i64 ResolvePosition(int pos, u32 length)
{
    return pos < 0 ? static_cast<i64>(pos) + length : static_cast<i64>(pos);
}

bool IsAlpha(char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

char Upper(char c)
{
    return (c >= 'a' && c <= 'z') ? static_cast<char>(c - ('a' - 'A')) : c;
}
char Lower(char c)
{
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c + ('a' - 'A')) : c;
}

bool Matches(char byte, char c)
{
    return IsAlpha(c) ? (byte == Upper(c) || byte == Lower(c)) : byte == c;
}
}

string_c::string_c() : data(&emptyByte), length(0), capacity(0) {}

string_c::string_c(const string_c& other) : string_c()
{
    Assign(other.data, other.length);
}

string_c::string_c(string_c&& other) noexcept : data(other.data), length(other.length), capacity(other.capacity)
{
    other.data = &emptyByte;
    other.length = 0;
    other.capacity = 0;
}

string_c::string_c(const char* text) : string_c()
{
    if (text)
        Assign(text, CheckedLength(std::strlen(text)));
}

string_c::string_c(const std::string& text) : string_c()
{
    Assign(text.data(), CheckedLength(text.size()));
}

string_c::string_c(int value) : string_c()
{
    *this = value;
}

string_c::string_c(unsigned value) : string_c()
{
    *this = value;
}

string_c::string_c(float value) : string_c()
{
    char buffer[32];
    Assign(buffer, static_cast<unsigned>(FloatToText(buffer, value)));
}

void string_c::Format(const char* format, ...)
{
    Clear();
    if (!format || !*format)
        return;
    char buffer[1024];
    const locale_t previous = uselocale(ClassicLocale());
    va_list args;
    va_start(args, format);
    const int n = std::vsnprintf(buffer, sizeof buffer, format, args);
    va_end(args);
    uselocale(previous);
    if (n >= 1)
        Assign(buffer, static_cast<unsigned>(std::min<int>(n, sizeof buffer - 1)));
}

string_c::~string_c()
{
    Release();
}

void string_c::Release()
{
    if (data != &emptyByte)
        delete[] data;
}

string_c& string_c::operator=(const string_c& other)
{
    if (this != &other)
        Assign(other.data, other.length);
    return *this;
}

string_c& string_c::operator=(string_c&& other) noexcept
{
    if (this != &other) {
        Release();
        data = other.data;
        length = other.length;
        capacity = other.capacity;
        other.data = &emptyByte;
        other.length = 0;
        other.capacity = 0;
    }
    return *this;
}

string_c& string_c::operator=(const std::string& text)
{
    Assign(text.data(), CheckedLength(text.size()));
    return *this;
}

string_c& string_c::operator=(const char* text)
{
    if (text == data)
        return *this;
    if (!text) {
        Clear();
        return *this;
    }
    const u32 n = CheckedLength(std::strlen(text));
    // The text may lie inside our own buffer; Allocate would empty it first.
    if (text > data && text < data + length) {
        std::memmove(data, text, n + 1);
        length = n;
        return *this;
    }
    Assign(text, n);
    return *this;
}

string_c& string_c::operator=(char c)
{
    if (c == '\0')
        Clear();
    else
        Assign(&c, 1);
    return *this;
}

string_c& string_c::operator=(int value)
{
    char buffer[32];
    Assign(buffer, static_cast<unsigned>(IntToText(buffer, value)));
    return *this;
}

string_c& string_c::operator=(unsigned value)
{
    char buffer[32];
    Assign(buffer, static_cast<unsigned>(UnsignedToText(buffer, value)));
    return *this;
}

string_c& string_c::operator+=(const string_c& other)
{
    Append(other.data, other.length);
    return *this;
}

string_c& string_c::operator+=(const std::string& text)
{
    Append(text.data(), CheckedLength(text.size()));
    return *this;
}

string_c& string_c::operator+=(const char* text)
{
    if (text)
        Append(text, CheckedLength(std::strlen(text)));
    return *this;
}

string_c& string_c::operator+=(char c)
{
    if (c != '\0')
        Append(&c, 1);
    return *this;
}

string_c& string_c::operator+=(int value)
{
    char buffer[32];
    Append(buffer, static_cast<unsigned>(IntToText(buffer, value)));
    return *this;
}

string_c& string_c::operator+=(unsigned value)
{
    char buffer[32];
    Append(buffer, static_cast<unsigned>(UnsignedToText(buffer, value)));
    return *this;
}

void string_c::Allocate(u32 n)
{
    const u32 needed = std::max(length, n);
    if (capacity < needed) {
        char* fresh = new char[static_cast<u64>(needed) + 1];
        Release();
        data = fresh;
        capacity = needed;
    }
    length = 0;
    data[0] = '\0';
}

void string_c::Reserve(unsigned n)
{
    const u32 needed = std::max<u32>(length, n);
    if (capacity >= needed)
        return;
    if (needed > maxLength)
        throw std::length_error("string_c: text too long");
    char* fresh = new char[static_cast<u64>(needed) + 1];
    std::memcpy(fresh, data, static_cast<u64>(length) + 1);
    Release();
    data = fresh;
    capacity = needed;
}

u32 string_c::Grown(u64 target) const
{
    return CheckedLength(std::max<u64>(2ull * capacity, target));
}

void string_c::Assign(const char* text, unsigned n)
{
    if (!text || n == 0) {
        Clear();
        return;
    }
    // Copy first when the text lies inside our own buffer.
    if (text >= data && text < data + capacity + 1) {
        std::memmove(data, text, n);
        data[n] = '\0';
        length = n;
        return;
    }
    Allocate(n);
    std::memcpy(data, text, n);
    data[n] = '\0';
    length = n;
}

void string_c::AssignTwo(const char* a, u32 n, const char* b, u32 m)
{
    if (!a || n == 0) {
        Assign(b, m);
        return;
    }
    if (!b || m == 0) {
        Assign(a, n);
        return;
    }
    const u32 total = CheckedLength(static_cast<u64>(n) + m);
    Allocate(total);
    std::memcpy(data, a, n);
    std::memcpy(data + n, b, m);
    data[total] = '\0';
    length = total;
}

void string_c::Append(const char* text, unsigned n)
{
    if (!text || n == 0)
        return;
    const u64 target = static_cast<u64>(length) + n;
    if (target > capacity) {
        // The text may be our own; keep it alive across the reallocation.
        if (text >= data && text < data + capacity + 1) {
            const std::string copy(text, n);
            Reserve(Grown(target));
            std::memcpy(data + length, copy.data(), n);
        } else {
            Reserve(Grown(target));
            std::memcpy(data + length, text, n);
        }
    } else {
        std::memmove(data + length, text, n);
    }
    length = static_cast<u32>(target);
    data[length] = '\0';
}

void string_c::Insert(int pos, const char* text, unsigned n)
{
    if (!text || n == 0)
        return;
    i64 at = ResolvePosition(pos, length);
    at = std::clamp<i64>(at, 0, length);
    const std::string copy(text, n);
    const u64 target = static_cast<u64>(length) + n;
    if (target > capacity)
        Reserve(Grown(target));
    std::memmove(data + at + n, data + at, length - at);
    std::memcpy(data + at, copy.data(), n);
    length = static_cast<u32>(target);
    data[length] = '\0';
}

void string_c::Insert(int pos, const char* text)
{
    if (text)
        Insert(pos, text, CheckedLength(std::strlen(text)));
}

void string_c::Insert(int pos, char c)
{
    if (c != '\0')
        Insert(pos, &c, 1);
}

void string_c::Clear()
{
    length = 0;
    data[0] = '\0';
}

void string_c::Erase(int pos, unsigned count)
{
    if (count == 0)
        return;
    const i64 at = ResolvePosition(pos, length);
    if (at < 0 || at >= length)
        return;
    const u32 n = static_cast<u32>(std::min<i64>(count, length - at));
    std::memmove(data + at, data + at + n, length - at - n);
    length -= n;
    data[length] = '\0';
}

void string_c::Truncate(int pos)
{
    const i64 at = ResolvePosition(pos, length);
    if (at < 0 || at >= length)
        return;
    length = static_cast<u32>(at);
    data[length] = '\0';
}

string_c string_c::Left(unsigned count) const
{
    string_c result;
    result.Assign(data, std::min<u32>(count, length));
    return result;
}

string_c string_c::Right(unsigned count) const
{
    const u32 n = std::min<u32>(count, length);
    string_c result;
    result.Assign(data + length - n, n);
    return result;
}

string_c string_c::Mid(int pos, unsigned count) const
{
    string_c result;
    const i64 at = ResolvePosition(pos, length);
    if (count == 0 || at < 0 || at >= length)
        return result;
    result.Assign(data + at, static_cast<u32>(std::min<i64>(count, length - at)));
    return result;
}

int string_c::Find(char c) const
{
    return Find(c, 0);
}

int string_c::Find(char c, int start) const
{
    if (c == '\0' || length == 0)
        return -1;
    if (start >= 0) {
        for (u64 i = std::min<u32>(start, length); i < length; ++i)
            if (Matches(data[i], c))
                return static_cast<int>(i);
        return -1;
    }
    i64 i = std::clamp<i64>(static_cast<i64>(length) + start, 0, length);
    // The terminator at index length never matches a non-zero c.
    for (; i >= 0; --i)
        if (Matches(data[i], c))
            return static_cast<int>(i);
    return -1;
}

const char& string_c::operator[](int index) const
{
    if (index >= 0)
        return data[std::min<u32>(index, length)];
    const i64 at = static_cast<i64>(index) + length;
    return at < 0 ? data[0] : data[std::min<i64>(at, length)];
}

void string_c::SetChar(int index, char c)
{
    const i64 at = ResolvePosition(index, length);
    if (at < 0 || at >= length)
        return;
    if (c == '\0')
        Truncate(static_cast<int>(at));
    else
        data[at] = c;
}

int string_c::ToInt() const
{
    return TextToInt(data);
}

std::string string_c::ToStdString() const
{
    return std::string(data, length);
}

string_c operator+(const string_c& a, const string_c& b)
{
    string_c result;
    result.AssignTwo(a.data, a.length, b.data, b.length);
    return result;
}

string_c operator+(const string_c& a, const std::string& b)
{
    string_c result;
    result.AssignTwo(a.data, a.length, b.data(), CheckedLength(b.size()));
    return result;
}

string_c operator+(const std::string& a, const string_c& b)
{
    string_c result;
    result.AssignTwo(a.data(), CheckedLength(a.size()), b.data, b.length);
    return result;
}

string_c operator+(const string_c& a, const char* b)
{
    string_c result;
    result.AssignTwo(a.data, a.length, b, b ? CheckedLength(std::strlen(b)) : 0);
    return result;
}

string_c operator+(const string_c& a, char b)
{
    string_c result;
    result.AssignTwo(a.data, a.length, &b, b != '\0' ? 1 : 0);
    return result;
}

bool operator==(const string_c& a, const string_c& b)
{
    return a.GetLength() == b.GetLength() && _stricmp(a.GetData(), b.GetData()) == 0;
}

bool operator==(const string_c& a, const char* b)
{
    return _stricmp(a.GetData(), b ? b : "") == 0;
}

bool operator==(const char* a, const string_c& b)
{
    return b == a;
}

bool operator!=(const string_c& a, const char* b)
{
    return !(a == b);
}

bool operator!=(const string_c& a, const string_c& b)
{
    return !(a == b);
}

std::ostream& operator<<(std::ostream& out, const string_c& text)
{
    return out.write(text.GetData(), text.GetLength());
}

std::istream& operator>>(std::istream& in, string_c& text)
{
    std::string word;
    if (in >> word)
        text = word;
    return in;
}

int IntToText(char* buffer, int value)
{
    const auto result = std::to_chars(buffer, buffer + 31, value);
    *result.ptr = '\0';
    return static_cast<int>(result.ptr - buffer);
}

int UnsignedToText(char* buffer, unsigned value)
{
    const auto result = std::to_chars(buffer, buffer + 31, value);
    *result.ptr = '\0';
    return static_cast<int>(result.ptr - buffer);
}

int FloatToText(char* buffer, float value)
{
    // "%g" of the value promoted to double, in the "C" locale.
    const locale_t previous = uselocale(ClassicLocale());
    const int n = std::snprintf(buffer, 32, "%g", static_cast<double>(value));
    uselocale(previous);
    return std::min(n, 31);
}

char* CopyStringLimited(char* dest, const char* src, unsigned max)
{
    u64 i = 0;
    if (src)
        for (; src[i] != '\0' && (max == 0 || i < max); ++i)
            dest[i] = src[i];
    dest[i] = '\0';
    return dest;
}

int TextToInt(const char* text)
{
    if (!text)
        return 0;
    const long long value = strtoll_l(text, nullptr, 10, ClassicLocale());
    // atoi's result for out-of-range text is the low word, as the runtime gives.
    return static_cast<int>(value);
}

double TextToDouble(const char* text)
{
    if (!text)
        return 0.0;
    return strtod_l(text, nullptr, ClassicLocale());
}
