#include "engine/import/lws_tokenizer.h"

#include "foundation/file_error.h"

#include <bit>

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

constexpr u32 kLineLimit = 1023;

} // namespace

lws_tokenizer_c::lws_tokenizer_c(const input_file_c& _file)
    : text(reinterpret_cast<const char*>(_file.GetData())), size(_file.GetData() ? _file.GetSize() : 0), position(0),
      fileName(_file.GetName())
{
    LoadWindow(0);
}

void lws_tokenizer_c::LoadWindow(u32 _at)
{
    // Windows start at multiples of 64, so that a word across the end of one
    // does not have its bytes classified again.
    window = _at & ~63u;
    if (size - window >= 64) {
        blanks = 0;
        for (u32 i = 0; i < 64; i += 16)
            blanks |= static_cast<u64>(Blanks16(text + window + i)) << i;
        return;
    }
    // Bytes past the end count as blanks, so that a word stops there.
    blanks = ~u64(0);
    const u32 n = size - window < 64 ? size - window : 64;
    for (u32 i = 0; i < n; ++i)
        if (!IsBlank(text[window + i]))
            blanks &= ~(u64(1) << i);
}

void lws_tokenizer_c::ThrowEnd() const
{
    throw file_error_c(fileName, "Unexpected end of file!");
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

int lws_tokenizer_c::ReadIntSlow(std::string_view _word)
{
    return TextToInt(Terminated(_word));
}

float lws_tokenizer_c::ReadFloatSlow(std::string_view _word)
{
    return static_cast<float>(TextToDouble(Terminated(_word)));
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
