#pragma once
// lws_tokenizer_c: splits the text of a LightWave scene into blank-separated
// words, whole lines and quoted strings, and turns words into numbers (in
// the "C" locale). Blanks are space, tab, carriage return, line feed, form
// feed and vertical tab. The bytes stay the input file's, which must outlive
// the tokenizer. The throwing forms report the end of the text with
// file_error_c(file name, "Unexpected end of file!").
#include "foundation/memory_file.h"
#include "foundation/text_string.h"
#include "foundation/types.h"
#include "foundation/vector_math.h"

#include <bit>
#include <cstring>
#include <string_view>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

class lws_tokenizer_c {
public:
    explicit lws_tokenizer_c(const input_file_c& _file);

    // Skips blanks and reads the next run of non-blank characters; false at
    // the end of the text.
    bool TryReadWord(string_c& _word);
    // As TryReadWord, but the word is a view into the text: no copy is made.
    inline bool TryReadView(std::string_view& _word);
    // Skips blanks (line ends included, so a line is never empty), then reads
    // up to 1023 characters before the next line feed; the line feed stays
    // unread, and a carriage return before it is kept. The rest of a longer
    // line is left for the next reads. False at the end of the text.
    bool TryReadLine(string_c& _line);
    // Skips blanks; the next character must be '"'; reads everything up to the
    // closing quote (line ends kept, quotes dropped). False when there is no
    // opening quote (nothing is consumed then) or no closing one.
    bool TryReadQuoted(string_c& _text);

    // Skips everything up to the next '"', then reads as TryReadQuoted; false
    // when either quote is missing.
    bool TryReadQuotedAhead(string_c& _text);

    string_c ReadWord();
    // Passes over the next word.
    inline void SkipWord();
    string_c ReadLine();
    string_c ReadQuoted();
    // The leading decimal number of the next word, as atoi gives it (0 for a
    // word that is no number).
    inline int ReadInt();
    // As atof gives it.
    inline float ReadFloat();
    // Three floats in degrees, stored in radians.
    void ReadAngles(vec3_c& _angles);

    // The numbers of one row of a long list, read straight from the text:
    // each read takes the next word, found with the blank after it within 16
    // bytes, when it is a plain decimal of at most eight bytes after its sign,
    // and gives what ReadInt or ReadFloat would give. For any other word it
    // returns false and the row is to be read again word by word: nothing is
    // consumed before Commit.
    class row_c {
    public:
        explicit row_c(lws_tokenizer_c& _tokens) : tokens(_tokens), at(_tokens.position) {}
        inline bool Int(int& _value);
        inline bool Float(f32& _value);
        // Passes over a word of any kind.
        inline bool Skip();
        void Commit() { tokens.position = at; }

    private:
        // The next word's sign, the eight bytes from its first digit on and
        // the position after it; false when it cannot be read here.
        inline bool Word(bool& _negative, u64& _bytes, u32& _length, u32& _end) const;
        inline bool Decimal(u64& _mantissa, u32& _decimals, bool& _negative);

        lws_tokenizer_c& tokens;
        u32 at;
    };

    // Position in the text, for readers that look ahead and step back.
    u32 GetPosition() const { return position; }
    void SetPosition(u32 _position) { position = _position < size ? _position : size; }
    // Bytes of text after the position.
    u32 GetRemaining() const { return size - position; }
    const string_c& GetFileName() const { return fileName; }

private:
    // Blanks are found through a mask of the 64 bytes from `window` on (bit
    // i set when byte window + i is a blank or past the end), made when the
    // position enters another 64: most words and blank runs are then found with a
    // shift and a bit count, and no byte is classified twice. The readers'
    // inner loops read a word or a number per call, so these paths are
    // inline below the class.
    void LoadWindow(u32 _at);
    // The first position from _at on whose byte is not a blank (_blank
    // false) or is one (true), or size.
    u32 Find(u32 _at, bool _blank);
    void SkipBlanks() { position = Find(position, false); }
    // The value of a plain decimal of at most eight bytes (digits and at
    // most one point) as its digits without the point and the number of
    // digits after it, read eight bytes at once; false for any other word,
    // or when fewer than eight bytes of text are left from _at.
    inline bool ReadDecimal(const char* _at, u32 _length, u64& _mantissa, u32& _decimals) const;
    // As ReadDecimal, for the word of _length bytes that _bytes begin.
    static inline bool Decimal(u64 _bytes, u32 _length, u64& _mantissa, u32& _decimals);
    // The eight bytes from _at, the first lowest.
    static inline u64 Load8(const char* _at);
    // Bit i set when byte i of the 16 from _at is a blank.
    static inline u32 Blanks16(const char* _at);
    // The integer and the float a plain decimal stands for.
    static inline int IntOf(u64 _mantissa, u32 _decimals, bool _negative);
    static inline f32 FloatOf(u64 _mantissa, u32 _decimals, bool _negative);
    // Reads the next word of a number; the result points past its sign.
    inline const char* ReadSigned(std::string_view& _word, bool& _negative);
    // Numbers that are not plain decimals, through the runtime.
    int ReadIntSlow(std::string_view _word);
    float ReadFloatSlow(std::string_view _word);
    // The bytes of _word with a closing zero, for the runtime's conversions.
    const char* Terminated(std::string_view _word);
    [[noreturn]] void ThrowEnd() const;

    const char* text;
    u32 size;
    u32 position;
    u32 window = 0;
    u64 blanks = 0;
    string_c fileName;
    string_c number; // a word handed to the runtime's conversions, kept to spare allocations
};

inline u32 lws_tokenizer_c::Find(u32 _at, bool _blank)
{
    for (;;) {
        // A position before the window wraps round and is far past it.
        if (_at - window >= 64)
            LoadWindow(_at);
        const u64 found = (_blank ? blanks : ~blanks) >> (_at - window);
        if (found != 0)
            return _at + static_cast<u32>(std::countr_zero(found));
        if (size - window <= 64)
            return size;
        _at = window + 64;
    }
}

inline bool lws_tokenizer_c::TryReadView(std::string_view& _word)
{
    // Most words start and end within the current window: one test of the
    // position, two shifts and two bit counts.
    const u32 offset = position - window;
    if (offset < 64) {
        if (const u64 words = ~blanks >> offset; words != 0) {
            const u32 first = offset + static_cast<u32>(std::countr_zero(words));
            if (const u64 ends = blanks >> first; ends != 0) {
                position = window + first + static_cast<u32>(std::countr_zero(ends));
                _word = std::string_view(text + window + first, position - window - first);
                return true;
            }
        }
    }
    const u32 start = Find(position, false);
    position = Find(start, true);
    _word = std::string_view(text + start, position - start);
    return position != start;
}

inline u64 lws_tokenizer_c::Load8(const char* _at)
{
    u64 w;
    std::memcpy(&w, _at, 8);
    if constexpr (std::endian::native == std::endian::big)
        w = __builtin_bswap64(w);
    return w;
}

inline u32 lws_tokenizer_c::Blanks16(const char* _at)
{
#if defined(__SSE2__)
    // A space, or a byte from tab to carriage return: 4 at most above tab.
    const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(_at));
    const __m128i space = _mm_cmpeq_epi8(bytes, _mm_set1_epi8(' '));
    const __m128i fromTab = _mm_sub_epi8(bytes, _mm_set1_epi8('\t'));
    const __m128i control = _mm_cmpeq_epi8(_mm_min_epu8(fromTab, _mm_set1_epi8(4)), fromTab);
    return static_cast<u32>(_mm_movemask_epi8(_mm_or_si128(space, control)));
#else
    u32 bits = 0;
    for (u32 i = 0; i < 16; ++i) {
        const u8 c = static_cast<u8>(_at[i]);
        bits |= static_cast<u32>(c == ' ' || static_cast<u8>(c - '\t') <= 4) << i;
    }
    return bits;
#endif
}

inline bool lws_tokenizer_c::ReadDecimal(const char* _at, u32 _length, u64& _mantissa, u32& _decimals) const
{
    if (_length == 0 || _length > 8 || static_cast<u32>(_at - text) + 8 > size)
        return false;
    return Decimal(Load8(_at), _length, _mantissa, _decimals);
}

inline bool lws_tokenizer_c::Decimal(u64 _bytes, u32 _length, u64& _mantissa, u32& _decimals)
{
    constexpr u64 kLow7 = 0x7F7F7F7F7F7F7F7Full, kZeros = 0x3030303030303030ull, kHigh = 0xF0F0F0F0F0F0F0F0ull;
    if (_length == 0 || _length > 8)
        return false;
    u64 w = _bytes;
    // The point, if any, is taken out and the digits after it moved down.
    const u64 keep = _length == 8 ? ~u64(0) : (u64(1) << (8 * _length)) - 1;
    const u64 x = w ^ 0x2E2E2E2E2E2E2E2Eull;
    const u64 points = ~(((x & kLow7) + kLow7) | x | kLow7) & keep;
    u32 digits = _length;
    _decimals = 0;
    if (points != 0) {
        if ((points & (points - 1)) != 0 || digits == 1)
            return false;
        const u32 point = static_cast<u32>(std::countr_zero(points)) / 8;
        const u64 before = (u64(1) << (8 * point)) - 1;
        w = (w & before) | ((w >> 8) & ~before);
        _decimals = --digits - point;
    }
    // Every byte kept is '0' to '9'; then the digits, first byte highest,
    // are combined in pairs, fours and eights.
    const u64 mask = digits == 8 ? ~u64(0) : (u64(1) << (8 * digits)) - 1;
    const u64 d = w & mask;
    if ((d & kHigh) != (kZeros & mask) || ((d + 0x0606060606060606ull) & kHigh) != (kZeros & mask))
        return false;
    u64 v = (d - (kZeros & mask)) << (8 * (8 - digits));
    v = (v * 2561) >> 8 & 0x00FF00FF00FF00FFull;
    v = (v * 6553601) >> 16 & 0x0000FFFF0000FFFFull;
    _mantissa = (v * 42949672960001ull) >> 32;
    return true;
}

inline int lws_tokenizer_c::IntOf(u64 _mantissa, u32 _decimals, bool _negative)
{
    static constexpr u32 kTens[] = {1, 10, 100, 1000, 10000, 100000, 1000000, 10000000};
    const int value = static_cast<int>(_decimals == 0 ? _mantissa : _mantissa / kTens[_decimals]);
    return _negative ? -value : value;
}

inline f32 lws_tokenizer_c::FloatOf(u64 _mantissa, u32 _decimals, bool _negative)
{
    // Words of up to eight bytes hold at most seven digits when they have a
    // point: their quotient lies farther from every halfway point between two
    // floats than a product by the rounded inverse power strays from it, so
    // the product gives the same float as the division, and is much quicker.
    // (Checked for every such mantissa and power by the tests.)
    static constexpr double kInversePowers[] = {1e0, 1e-1, 1e-2, 1e-3, 1e-4, 1e-5, 1e-6, 1e-7};
    // The sign goes in as a bit: a branch on it would be mispredicted about
    // every other number in a list of normals.
    const double value = static_cast<double>(_mantissa) * kInversePowers[_decimals];
    return static_cast<f32>(std::bit_cast<double>(std::bit_cast<u64>(value) | u64(_negative) << 63));
}

inline void lws_tokenizer_c::SkipWord()
{
    std::string_view word;
    if (!TryReadView(word))
        ThrowEnd();
}

inline const char* lws_tokenizer_c::ReadSigned(std::string_view& _word, bool& _negative)
{
    if (!TryReadView(_word))
        ThrowEnd();
    const char* at = _word.data();
    _negative = *at == '-';
    return at + ((*at == '-') | (*at == '+'));
}

inline int lws_tokenizer_c::ReadInt()
{
    std::string_view word;
    bool negative;
    const char* at = ReadSigned(word, negative);
    const char* const end = word.data() + word.size();
    // Short decimal words are the common case, read where they stand.
    u64 digits;
    u32 places;
    if (ReadDecimal(at, static_cast<u32>(end - at), digits, places))
        return IntOf(digits, places, negative);
    if (end - at > 9)
        return ReadIntSlow(word);
    int value = 0;
    for (; at < end && static_cast<u8>(*at - '0') < 10; ++at)
        value = value * 10 + (*at - '0');
    return negative ? -value : value;
}

inline float lws_tokenizer_c::ReadFloat()
{
    std::string_view word;
    bool negative;
    const char* at = ReadSigned(word, negative);
    const char* const end = word.data() + word.size();
    // Plain decimals of up to 15 digits are read where they stand: the
    // mantissa and the power of ten are exact doubles, so one division
    // rounds exactly as the runtime's conversion does.
    const long length = end - at;
    if (length == 0 || length > 16)
        return ReadFloatSlow(word);
    static constexpr double kPowers[] = {1e0, 1e1, 1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                         1e8, 1e9, 1e10, 1e11, 1e12, 1e13, 1e14, 1e15};
    u64 eight;
    u32 places;
    if (ReadDecimal(at, static_cast<u32>(length), eight, places))
        return FloatOf(eight, places, negative);
    u64 mantissa = 0;
    const char* point = nullptr;
    for (; at < end; ++at) {
        const u32 digit = static_cast<u8>(*at - '0');
        if (digit < 10)
            mantissa = mantissa * 10 + digit;
        else if (*at == '.' && point == nullptr)
            point = at;
        else
            return ReadFloatSlow(word);
    }
    const long digits = point ? length - 1 : length;
    if (digits == 0 || digits > 15)
        return ReadFloatSlow(word);
    const long decimals = point ? end - point - 1 : 0;
    const double value = static_cast<double>(mantissa) / kPowers[decimals];
    return static_cast<float>(negative ? -value : value);
}

inline bool lws_tokenizer_c::row_c::Word(bool& _negative, u64& _bytes, u32& _length, u32& _end) const
{
    if (tokens.size - at < 16)
        return false;
    const char* const bytes = tokens.text + at;
    // A bit past the 16 stops the search for the word's end.
    const u32 blanks = Blanks16(bytes) | 1u << 16;
    const u32 first = static_cast<u32>(std::countr_zero(~blanks));
    if (first >= 8)
        return false;
    const char c = bytes[first];
    _negative = c == '-';
    const u32 start = first + ((c == '-') | (c == '+'));
    const u32 end = start + static_cast<u32>(std::countr_zero(blanks >> start));
    if (end >= 16)
        return false;
    _bytes = Load8(bytes + start);
    _length = end - start;
    _end = at + end;
    return true;
}

inline bool lws_tokenizer_c::row_c::Decimal(u64& _mantissa, u32& _decimals, bool& _negative)
{
    u64 bytes;
    u32 length, end;
    if (!Word(_negative, bytes, length, end) || !lws_tokenizer_c::Decimal(bytes, length, _mantissa, _decimals))
        return false;
    at = end;
    return true;
}

inline bool lws_tokenizer_c::row_c::Int(int& _value)
{
    u64 mantissa;
    u32 decimals;
    bool negative;
    if (!Decimal(mantissa, decimals, negative))
        return false;
    _value = IntOf(mantissa, decimals, negative);
    return true;
}

inline bool lws_tokenizer_c::row_c::Float(f32& _value)
{
    u64 mantissa;
    u32 decimals;
    bool negative;
    if (!Decimal(mantissa, decimals, negative))
        return false;
    _value = FloatOf(mantissa, decimals, negative);
    return true;
}

inline bool lws_tokenizer_c::row_c::Skip()
{
    bool negative;
    u64 bytes;
    u32 length, end;
    if (!Word(negative, bytes, length, end))
        return false;
    at = end;
    return true;
}
