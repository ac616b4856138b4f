#include "engine/import/lws_tokenizer.h"

#include "foundation/file_error.h"

#include <bit>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace {

struct blank_table_s {
    bool blank[256] = {};
    constexpr blank_table_s()
    {
        for (const char c : {' ', '\t', '\r', '\n', '\f', '\v'})
            blank[static_cast<u8>(c)] = true;
    }
};

constexpr blank_table_s kBlanks;

bool IsBlank(char c)
{
    return kBlanks.blank[static_cast<u8>(c)];
}

#if defined(__SSE2__)
// Bit i set when byte i of the 16 at _at is a blank: a space or 9 to 13.
u32 BlankMask(const char* _at)
{
    const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(_at));
    const __m128i space = _mm_cmpeq_epi8(bytes, _mm_set1_epi8(' '));
    const __m128i fromTab = _mm_sub_epi8(bytes, _mm_set1_epi8('\t'));
    const __m128i control = _mm_cmpeq_epi8(_mm_min_epu8(fromTab, _mm_set1_epi8(4)), fromTab);
    return static_cast<u32>(_mm_movemask_epi8(_mm_or_si128(space, control)));
}
#endif

// First position from _at on whose byte is (_blank true) or is not (false) a
// blank; _size when there is none. Sixteen bytes at a time where the
// processor allows.
u32 Scan(const char* _text, u32 _at, u32 _size, bool _blank)
{
#if defined(__SSE2__)
    while (_size - _at >= 16) {
        const u32 mask = _blank ? BlankMask(_text + _at) : ~BlankMask(_text + _at) & 0xFFFFu;
        if (mask != 0)
            return _at + static_cast<u32>(std::countr_zero(mask));
        _at += 16;
    }
#endif
    while (_at < _size && IsBlank(_text[_at]) != _blank)
        ++_at;
    return _at;
}

constexpr u32 kLineLimit = 1023;

} // namespace

lws_tokenizer_c::lws_tokenizer_c(const input_file_c& _file)
    : text(reinterpret_cast<const char*>(_file.GetData())), size(_file.GetData() ? _file.GetSize() : 0), position(0),
      fileName(_file.GetName())
{}

void lws_tokenizer_c::SkipBlanks()
{
    position = Scan(text, position, size, false);
}

void lws_tokenizer_c::ThrowEnd() const
{
    throw file_error_c(fileName, "Unexpected end of file!");
}

bool lws_tokenizer_c::TryReadView(std::string_view& _word)
{
    SkipBlanks();
    const u32 start = position;
    position = Scan(text, start, size, true);
    if (position == start)
        return false;
    _word = std::string_view(text + start, position - start);
    return true;
}

bool lws_tokenizer_c::TryReadWord(string_c& _word)
{
    std::string_view view;
    if (!TryReadView(view))
        return false;
    _word.Assign(view.data(), static_cast<u32>(view.size()));
    return true;
}

const char* lws_tokenizer_c::Terminated(std::string_view _word)
{
    number.Assign(_word.data(), static_cast<u32>(_word.size()));
    return number;
}

bool lws_tokenizer_c::TryReadLine(string_c& _line)
{
    SkipBlanks();
    const u32 start = position;
    while (position < size && text[position] != '\n' && position - start < kLineLimit)
        ++position;
    if (position == start)
        return false;
    _line.Assign(text + start, position - start);
    return true;
}

bool lws_tokenizer_c::TryReadQuoted(string_c& _text)
{
    SkipBlanks();
    if (position >= size || text[position] != '"')
        return false;
    u32 end = position + 1;
    while (end < size && text[end] != '"')
        ++end;
    if (end >= size) {
        position = size;
        return false;
    }
    _text.Assign(text + position + 1, end - position - 1);
    position = end + 1;
    return true;
}

bool lws_tokenizer_c::TryReadQuotedAhead(string_c& _text)
{
    while (position < size && text[position] != '"')
        ++position;
    return TryReadQuoted(_text);
}

string_c lws_tokenizer_c::ReadWord()
{
    string_c word;
    if (!TryReadWord(word))
        ThrowEnd();
    return word;
}

string_c lws_tokenizer_c::ReadLine()
{
    string_c line;
    if (!TryReadLine(line))
        ThrowEnd();
    return line;
}

string_c lws_tokenizer_c::ReadQuoted()
{
    string_c quoted;
    if (!TryReadQuoted(quoted))
        ThrowEnd();
    return quoted;
}

void lws_tokenizer_c::SkipWord()
{
    SkipBlanks();
    const u32 start = position;
    position = Scan(text, start, size, true);
    if (position == start)
        ThrowEnd();
}

int lws_tokenizer_c::ReadInt()
{
    std::string_view word;
    if (!TryReadView(word))
        ThrowEnd();
    // Short decimal words are the common case, read where they stand;
    // anything else goes through the runtime's conversion.
    const char* at = word.data();
    const char* const end = at + word.size();
    const bool negative = *at == '-';
    if (negative || *at == '+')
        ++at;
    int value = 0;
    int digits = 0;
    for (; at < end && *at >= '0' && *at <= '9' && digits < 9; ++at, ++digits)
        value = value * 10 + (*at - '0');
    if (digits == 9 && at < end && *at >= '0' && *at <= '9')
        return TextToInt(Terminated(word));
    return negative ? -value : value;
}

float lws_tokenizer_c::ReadFloat()
{
    SkipBlanks();
    if (position >= size)
        ThrowEnd();
    // Plain decimals of up to 15 digits are read where they stand, in the
    // same pass that finds the word's end: the mantissa and the power of ten
    // are exact doubles, so one division rounds exactly as the runtime's
    // conversion does. Any other word goes through the runtime.
    const char* const start = text + position;
    const char* const end = text + size;
    const char* at = start;
    const bool negative = *at == '-';
    if (negative || *at == '+')
        ++at;
    static const double kPowers[] = {1e0, 1e1, 1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                     1e8, 1e9, 1e10, 1e11, 1e12, 1e13, 1e14, 1e15};
    u64 mantissa = 0;
    int digits = 0;
    int decimals = 0;
    bool point = false;
    for (; at < end; ++at) {
        if (*at >= '0' && *at <= '9') {
            mantissa = mantissa * 10 + static_cast<u64>(*at - '0');
            ++digits;
            decimals += point ? 1 : 0;
        } else if (*at == '.' && !point) {
            point = true;
        } else {
            break;
        }
    }
    if ((at < end && !IsBlank(*at)) || digits == 0 || digits > 15) {
        std::string_view word;
        TryReadView(word);
        return static_cast<float>(TextToDouble(Terminated(word)));
    }
    position = static_cast<u32>(at - text);
    const double value = static_cast<double>(mantissa) / kPowers[decimals];
    return static_cast<float>(negative ? -value : value);
}

void lws_tokenizer_c::ReadAngles(vec3_c& _angles)
{
    constexpr double kRadiansPerDegree = 0.017453292519943295;
    const double x = ReadFloat();
    const double y = ReadFloat();
    const double z = ReadFloat();
    _angles = vec3_c(static_cast<float>(x * kRadiansPerDegree), static_cast<float>(y * kRadiansPerDegree),
                     static_cast<float>(z * kRadiansPerDegree));
}
