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
    // the 64 bytes from the position are classified once, and each read
    // takes the next word that lies wholly among them when it is a plain
    // decimal of at most eight bytes after its sign, giving what ReadInt or
    // ReadFloat would give. For any other word it returns false and the row
    // is to be read again word by word: nothing is consumed before Commit.
    // The classes and the bits of the words' edges stay in registers across
    // the row: finding the next word clears two bits, so the words' reads
    // do not wait on each other.
    class row_c {
    public:
        [[gnu::always_inline]] inline explicit row_c(lws_tokenizer_c& _tokens);
        [[gnu::always_inline]] inline bool Int(int& _value);
        [[gnu::always_inline]] inline bool Float(f32& _value);
        // Passes over a word of any kind.
        bool Skip() { return Pass(false); }
        // Passes over a word that does not begin with '*', '{' or '}'.
        bool SkipValue() { return Pass(true); }
        // Passes over the next word when it is _word, of 8 to 24 bytes.
        [[gnu::always_inline]] inline bool Word(std::string_view _word);
        void Commit() { tokens.position = start + at; }

    private:
        // The next word's first byte and the blank after it; false when
        // either is not among the 64.
        [[gnu::always_inline]] inline bool Next(u32& _first, u32& _end) const;
        // Moves past the word Next found, which ends at _end.
        [[gnu::always_inline]] inline void Take(u32 _end);
        [[gnu::always_inline]] inline bool Decimal(u64& _mantissa, u32& _decimals, bool& _negative);
        [[gnu::always_inline]] inline bool Pass(bool _valuesOnly);

        lws_tokenizer_c& tokens;
        const char* base;
        u32 start;
        u32 at = 0; // from base
        // Bit i set when byte base + i is a digit, a point; the first byte
        // of a word not yet read or the blank after one (they alternate). No
        // words when the text ends too soon for the reads' loads.
        u64 digits = 0;
        u64 points = 0;
        u64 edges = 0;
    };

    // _a and _b hold the same _size bytes, 8 to 24, compared in a few
    // overlapping loads instead of a call to memcmp.
    [[gnu::always_inline]] static inline bool SameBytes(const char* _a, const char* _b, size_t _size);

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
    // The value of the first _count (1 to 8) of eight digit bytes.
    [[gnu::always_inline]] static inline u64 Digits(u64 _bytes, u32 _count);
    // The eight bytes from _at, the first lowest.
    static inline u64 Load8(const char* _at);
    // Bit i set when byte i of the 16 from _at is a blank; with _digits and
    // _points, when it is a digit or a point.
    static inline u32 Blanks16(const char* _at);
    [[gnu::always_inline]] static inline u32 Classes16(const char* _at, u32& _digits, u32& _points);
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

inline u32 lws_tokenizer_c::Classes16(const char* _at, u32& _digits, u32& _points)
{
#if defined(__SSE2__)
    const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(_at));
    const __m128i space = _mm_cmpeq_epi8(bytes, _mm_set1_epi8(' '));
    const __m128i fromTab = _mm_sub_epi8(bytes, _mm_set1_epi8('\t'));
    const __m128i control = _mm_cmpeq_epi8(_mm_min_epu8(fromTab, _mm_set1_epi8(4)), fromTab);
    const __m128i fromZero = _mm_sub_epi8(bytes, _mm_set1_epi8('0'));
    const __m128i digit = _mm_cmpeq_epi8(_mm_min_epu8(fromZero, _mm_set1_epi8(9)), fromZero);
    _digits = static_cast<u32>(_mm_movemask_epi8(digit));
    _points = static_cast<u32>(_mm_movemask_epi8(_mm_cmpeq_epi8(bytes, _mm_set1_epi8('.'))));
    return static_cast<u32>(_mm_movemask_epi8(_mm_or_si128(space, control)));
#else
    _digits = _points = 0;
    for (u32 i = 0; i < 16; ++i) {
        const u8 c = static_cast<u8>(_at[i]);
        _digits |= static_cast<u32>(static_cast<u8>(c - '0') <= 9) << i;
        _points |= static_cast<u32>(c == '.') << i;
    }
    return Blanks16(_at);
#endif
}

inline bool lws_tokenizer_c::SameBytes(const char* _a, const char* _b, size_t _size)
{
    const u64 middle = _size > 16 ? Load8(_a + 8) ^ Load8(_b + 8) : 0;
    return ((Load8(_a) ^ Load8(_b)) | (Load8(_a + _size - 8) ^ Load8(_b + _size - 8)) | middle) == 0;
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
    // Every byte kept is '0' to '9'.
    const u64 mask = digits == 8 ? ~u64(0) : (u64(1) << (8 * digits)) - 1;
    const u64 d = w & mask;
    if ((d & kHigh) != (kZeros & mask) || ((d + 0x0606060606060606ull) & kHigh) != (kZeros & mask))
        return false;
    _mantissa = Digits(d, digits);
    return true;
}

inline u64 lws_tokenizer_c::Digits(u64 _bytes, u32 _count)
{
    // The digits, first byte highest, combined in pairs, fours and eights;
    // the bytes past them are shifted out (a borrow from them only runs
    // higher).
    u64 v = (_bytes - 0x3030303030303030ull) << (8 * (8 - _count));
    v = (v * 2561) >> 8 & 0x00FF00FF00FF00FFull;
    v = (v * 6553601) >> 16 & 0x0000FFFF0000FFFFull;
    return (v * 42949672960001ull) >> 32;
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

inline lws_tokenizer_c::row_c::row_c(lws_tokenizer_c& _tokens)
    : tokens(_tokens), base(_tokens.text + _tokens.position), start(_tokens.position)
{
    // Words end within the 64; the loads from them reach 24 bytes further.
    if (_tokens.size - start < 96)
        return;
    // Written out: compilers keep such a loop rolled and load its constants
    // on every turn.
    u32 d[4], p[4];
    const u64 blanks = static_cast<u64>(Classes16(base, d[0], p[0])) |
                       static_cast<u64>(Classes16(base + 16, d[1], p[1])) << 16 |
                       static_cast<u64>(Classes16(base + 32, d[2], p[2])) << 32 |
                       static_cast<u64>(Classes16(base + 48, d[3], p[3])) << 48;
    digits = d[0] | static_cast<u64>(d[1]) << 16 | static_cast<u64>(d[2]) << 32 | static_cast<u64>(d[3]) << 48;
    points = p[0] | static_cast<u64>(p[1]) << 16 | static_cast<u64>(p[2]) << 32 | static_cast<u64>(p[3]) << 48;
    // A word at byte 0 begins there: the position is never inside a word.
    edges = blanks ^ (blanks << 1 | 1);
}

inline bool lws_tokenizer_c::row_c::Next(u32& _first, u32& _end) const
{
    const u64 after = edges & (edges - 1);
    _first = static_cast<u32>(std::countr_zero(edges));
    _end = static_cast<u32>(std::countr_zero(after));
    return after != 0;
}

inline void lws_tokenizer_c::row_c::Take(u32 _end)
{
    edges &= edges - 1;
    edges &= edges - 1;
    at = _end;
}

inline bool lws_tokenizer_c::row_c::Decimal(u64& _mantissa, u32& _decimals, bool& _negative)
{
    u32 first, end;
    if (!Next(first, end))
        return false;
    const char c = base[first];
    _negative = c == '-';
    const u32 from = first + ((c == '-') | (c == '+'));
    const u32 length = end - from;
    // After its sign, the word is one to eight bytes, all digits but for at
    // most one point, and at least one digit.
    if (length - 1 > 7)
        return false;
    // The classes from the word's first byte on; a word of only a point has
    // no digit.
    static constexpr u64 kLow[9] = {0, 0x1, 0x3, 0x7, 0xf, 0x1f, 0x3f, 0x7f, 0xff};
    const u64 word = kLow[length];
    const u64 point = points >> from & word;
    if (((digits >> from | point) & word) != word || (point & (point - 1)) != 0 || point == word)
        return false;
    u64 w = Load8(base + from);
    u32 count = length;
    _decimals = 0;
    if (point != 0) {
        // The digits after the point are moved down over it.
        const u32 before = static_cast<u32>(std::countr_zero(point));
        const u64 keep = (u64(1) << (8 * before)) - 1;
        w = (w & keep) | ((w >> 8) & ~keep);
        _decimals = --count - before;
    }
    _mantissa = Digits(w, count);
    Take(end);
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

inline bool lws_tokenizer_c::row_c::Pass(bool _valuesOnly)
{
    u32 first, end;
    if (!Next(first, end))
        return false;
    const char c = base[first];
    if (_valuesOnly && (c == '*' || c == '{' || c == '}'))
        return false;
    Take(end);
    return true;
}

inline bool lws_tokenizer_c::row_c::Word(std::string_view _word)
{
    u32 first, end;
    if (_word.size() < 8 || _word.size() > 24 || !Next(first, end) || end - first != _word.size() ||
        !SameBytes(base + first, _word.data(), _word.size()))
        return false;
    Take(end);
    return true;
}
