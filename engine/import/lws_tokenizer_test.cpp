#include "engine/import/lws_tokenizer.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "foundation/file_error.h"

namespace {

struct scene_text_c {
    explicit scene_text_c(const std::string& _text) : text(_text), file(text.data(), static_cast<u32>(text.size())) {}
    std::string text;
    input_file_c file;
};

void ExpectEnd(const std::function<void()>& _read)
{
    try {
        _read();
        FAIL() << "no error";
    } catch (const file_error_c& e) {
        EXPECT_STREQ(e.what(), "Unexpected end of file!");
    }
}

} // namespace

TEST(LwsTokenizer, WordsAcrossAllBlanks)
{
    scene_text_c s("LWSC\r\n3\n\n\tFirstFrame \v\f 1\r\n");
    lws_tokenizer_c t(s.file);
    EXPECT_STREQ(t.ReadWord(), "LWSC");
    EXPECT_EQ(t.ReadInt(), 3);
    EXPECT_STREQ(t.ReadWord(), "FirstFrame");
    EXPECT_EQ(t.ReadInt(), 1);
    string_c word;
    EXPECT_FALSE(t.TryReadWord(word));
    ExpectEnd([&] { t.ReadWord(); });
}

// Words and blank runs of every length up to well past sixteen bytes, words
// holding control bytes and bytes above 127, so that scans of many bytes at
// a time stop exactly where a byte-by-byte scan would.
TEST(LwsTokenizer, WordsOfEveryLengthSplitAsByteByByte)
{
    const char blanks[] = {' ', '\t', '\r', '\n', '\f', '\v'};
    const char inWords[] = {'a', '\x01', '\x08', '\x0e', '\x1f', '!', '\x7f', '\x80', '\xff', '*'};
    std::string text;
    std::vector<std::string> words;
    u32 seed = 7;
    auto next = [&](u32 _n) {
        seed = seed * 1664525u + 1013904223u;
        return (seed >> 16) % _n;
    };
    for (u32 length = 1; length <= 40; ++length) {
        const u32 gap = 1 + next(20);
        for (u32 k = 0; k < gap; ++k)
            text += blanks[next(6)];
        std::string word;
        for (u32 k = 0; k < length; ++k)
            word += inWords[next(10)];
        words.push_back(word);
        text += word;
    }
    text += std::string(17, ' ');
    scene_text_c s(text);
    lws_tokenizer_c t(s.file);
    for (const std::string& expected : words) {
        std::string_view word;
        ASSERT_TRUE(t.TryReadView(word));
        EXPECT_EQ(std::string(word), expected);
    }
    std::string_view none;
    EXPECT_FALSE(t.TryReadView(none));
    EXPECT_EQ(t.GetRemaining(), 0u);
}

TEST(LwsTokenizer, IntegersAndFloatsAsTheRuntimeReadsThem)
{
    scene_text_c s("12abc letters -7 +5 1234567890 -99999999999 2.5e1 x 0.125");
    lws_tokenizer_c t(s.file);
    EXPECT_EQ(t.ReadInt(), 12);
    EXPECT_EQ(t.ReadInt(), 0);
    EXPECT_EQ(t.ReadInt(), -7);
    EXPECT_EQ(t.ReadInt(), 5);
    EXPECT_EQ(t.ReadInt(), 1234567890);
    EXPECT_EQ(t.ReadInt(), TextToInt("-99999999999"));
    EXPECT_FLOAT_EQ(t.ReadFloat(), 25.0f);
    EXPECT_EQ(t.ReadFloat(), 0.0f);
    EXPECT_EQ(t.ReadFloat(), 0.125f);
}

TEST(LwsTokenizer, FloatsMatchTheRuntimeConversion)
{
    const char* const words[] = {"0.1",
                                 "-0.30000001",
                                 "123456.789012345",
                                 "1.",
                                 ".5",
                                 "-.25",
                                 "+7.5",
                                 "3.4e38",
                                 "1e-45",
                                 "0.0000001",
                                 "-0",
                                 "12.5x",
                                 "nan",
                                 "inf",
                                 "0.70710678118654752",
                                 "99999999999999999",
                                 "1.17549435e-38",
                                 "-2.5E+3"};
    std::string text;
    for (const char* word : words)
        text += std::string(word) + " ";
    scene_text_c s(text);
    lws_tokenizer_c t(s.file);
    for (const char* word : words) {
        const float expected = static_cast<float>(TextToDouble(word));
        const float read = t.ReadFloat();
        if (std::isnan(expected))
            EXPECT_TRUE(std::isnan(read)) << word;
        else
            EXPECT_EQ(read, expected) << word;
    }
}

namespace {

// _count decimals of 1 to _longest digits, the point anywhere, about half of
// them negative, each followed by _blank.
std::string RandomDecimals(u32 _seed, int _count, u32 _longest, char _blank)
{
    std::string text;
    auto next = [&_seed] { return _seed = _seed * 1664525u + 1013904223u; };
    for (int i = 0; i < _count; ++i) {
        const u32 digits = 1 + (next() >> 8) % _longest;
        const u32 point = (next() >> 8) % (digits + 1);
        if (next() & 0x100)
            text += '-';
        for (u32 d = 0; d < digits; ++d) {
            if (d == point && d > 0)
                text += '.';
            text += static_cast<char>('0' + (next() >> 12) % 10);
        }
        text += _blank;
    }
    return text;
}

} // namespace

TEST(LwsTokenizer, ManyDecimalsMatchTheRuntimeConversion)
{
    scene_text_c s(RandomDecimals(12345, 20000, 15, ' '));
    lws_tokenizer_c t(s.file);
    lws_tokenizer_c words(s.file);
    string_c word;
    while (words.TryReadWord(word))
        ASSERT_EQ(t.ReadFloat(), static_cast<float>(TextToDouble(word))) << word.GetData();
}

TEST(LwsTokenizer, SkipWordPassesOneWord)
{
    scene_text_c s("  one two");
    lws_tokenizer_c t(s.file);
    t.SkipWord();
    EXPECT_STREQ(t.ReadWord(), "two");
    ExpectEnd([&] { t.SkipWord(); });
}

TEST(LwsTokenizer, AnglesInRadians)
{
    scene_text_c s("90 0 -180");
    lws_tokenizer_c t(s.file);
    vec3_c a;
    t.ReadAngles(a);
    EXPECT_EQ(a.x, 1.5707964f);
    EXPECT_EQ(a.y, 0.0f);
    EXPECT_EQ(a.z, -3.1415927f);
}

TEST(LwsTokenizer, LinesSkipBlankLinesAndKeepCarriageReturns)
{
    scene_text_c s("Plugin\n\n   the rest of it \r\nnext");
    lws_tokenizer_c t(s.file);
    EXPECT_STREQ(t.ReadWord(), "Plugin");
    EXPECT_STREQ(t.ReadLine(), "the rest of it \r");
    EXPECT_STREQ(t.ReadLine(), "next");
    ExpectEnd([&] { t.ReadLine(); });
}

TEST(LwsTokenizer, LongLineIsCutAndTheRestReadsAsWords)
{
    std::string text(1023, 'a');
    text += "bc def\n";
    scene_text_c s(text);
    lws_tokenizer_c t(s.file);
    const string_c line = t.ReadLine();
    EXPECT_EQ(line.GetLength(), 1023u);
    EXPECT_STREQ(t.ReadWord(), "bc");
    EXPECT_STREQ(t.ReadWord(), "def");
}

TEST(LwsTokenizer, QuotedStringsKeepLineEnds)
{
    scene_text_c s("  \"two\nlines\" \"\" word \"open");
    lws_tokenizer_c t(s.file);
    EXPECT_STREQ(t.ReadQuoted(), "two\nlines");
    EXPECT_STREQ(t.ReadQuoted(), "");
    string_c text;
    EXPECT_FALSE(t.TryReadQuoted(text));
    EXPECT_STREQ(t.ReadWord(), "word");
    ExpectEnd([&] { t.ReadQuoted(); });
}

TEST(LwsTokenizer, ErrorsNameTheSceneFile)
{
    scene_text_c s("");
    lws_tokenizer_c t(s.file);
    EXPECT_STREQ(t.GetFileName(), s.file.GetName());
    ExpectEnd([&] { t.ReadInt(); });
    ExpectEnd([&] { t.ReadFloat(); });
    vec3_c a;
    ExpectEnd([&] { t.ReadAngles(a); });
}

// Words and blank runs longer than the 64 bytes classified at a time, read
// in order and then again from their positions in a scrambled order, as a
// reader that steps back does.
TEST(LwsTokenizer, PositionsSetByHandRereadTheSameWords)
{
    std::string text;
    std::vector<std::pair<u32, std::string>> words;
    u32 seed = 3;
    auto next = [&](u32 _n) {
        seed = seed * 1664525u + 1013904223u;
        return (seed >> 16) % _n;
    };
    for (u32 i = 0; i < 60; ++i) {
        text += std::string(1 + next(150), next(2) ? ' ' : '\n');
        const u32 at = static_cast<u32>(text.size());
        std::string word;
        for (u32 k = 1 + next(200); k > 0; --k)
            word += static_cast<char>('a' + next(26));
        words.emplace_back(at, word);
        text += word;
    }
    scene_text_c s(text);
    lws_tokenizer_c t(s.file);
    std::string_view word;
    for (const auto& [at, expected] : words) {
        ASSERT_TRUE(t.TryReadView(word));
        EXPECT_EQ(word, expected);
    }
    EXPECT_FALSE(t.TryReadView(word));
    for (u32 i = 0; i < words.size(); ++i) {
        const auto& [at, expected] = words[(i * 37) % words.size()];
        // From the word's first byte, and from the blank before it.
        t.SetPosition(at);
        ASSERT_TRUE(t.TryReadView(word));
        EXPECT_EQ(word, expected);
        t.SetPosition(at - 1);
        ASSERT_TRUE(t.TryReadView(word));
        EXPECT_EQ(word, expected);
    }
}

TEST(LwsTokenizer, IntegerWordsReadAsAtoiReadsThem)
{
    const char* const words[] = {"+-5", "-", "+", "123,456,789", "00000000012", "-2147483648", "4294967297", "7:"};
    std::string text;
    for (const char* word : words)
        text += std::string(word) + "\t";
    scene_text_c s(text);
    lws_tokenizer_c t(s.file);
    for (const char* word : words)
        EXPECT_EQ(t.ReadInt(), TextToInt(word)) << word;
}

// Plain decimals of up to eight bytes are read eight bytes at a time when
// the text goes on far enough, byte by byte near its end: both ways give the
// runtime's numbers, and words that only look like decimals fall back.
TEST(LwsTokenizer, ShortDecimalsReadAtOnceAsByteByByte)
{
    const char* const words[] = {"0",        "7",        "0.0998",   "-0.0540",   "12345678", "-1234567.",
                                 ".1234567", "1.2.3",    "1..2",     ".",         "-.",       "12/4",
                                 "9:",       "0.000001", "99999999", "+1.5",      "1e5",      "3\xb9",
                                 "-",        "00000000", "7.654321", "87654.321", "1.5:",     "-99999999"};
    for (const std::string& padding : {std::string(" ........................"), std::string()}) {
        std::string text;
        for (const char* word : words)
            text += std::string(word) + " ";
        for (const char* word : words)
            text += std::string(word) + " ";
        text += padding;
        scene_text_c s(text);
        lws_tokenizer_c t(s.file);
        for (const char* word : words)
            EXPECT_EQ(t.ReadFloat(), static_cast<float>(TextToDouble(word))) << word;
        for (const char* word : words)
            EXPECT_EQ(t.ReadInt(), TextToInt(word)) << word;
    }
}

// Short decimals are scaled by a product with the rounded inverse power of
// ten instead of a division: for every mantissa of up to seven digits and
// every point position the two give the same float.
TEST(LwsTokenizer, InversePowerProductRoundsAsTheDivision)
{
    const double powers[] = {1e1, 1e2, 1e3, 1e4, 1e5, 1e6, 1e7};
    const double inverses[] = {1e-1, 1e-2, 1e-3, 1e-4, 1e-5, 1e-6, 1e-7};
    for (u32 places = 0; places < 7; ++places) {
        u32 differing = 0;
        for (u32 mantissa = 0; mantissa < 10000000; ++mantissa) {
            const float quotient = static_cast<float>(static_cast<double>(mantissa) / powers[places]);
            const float product = static_cast<float>(static_cast<double>(mantissa) * inverses[places]);
            differing += std::memcmp(&quotient, &product, sizeof(float)) != 0 ? 1 : 0;
        }
        EXPECT_EQ(differing, 0u) << places + 1 << " places";
    }
}

// Signed decimals of eight bytes or fewer, with the point anywhere, read as
// the runtime reads them, the sign of a negative zero included.
TEST(LwsTokenizer, SignedShortDecimalsMatchTheRuntimeConversion)
{
    std::string text = RandomDecimals(777, 100000, 7, '\t');
    text += "-0.000 -0 0.0 ";
    scene_text_c s(text);
    lws_tokenizer_c t(s.file);
    lws_tokenizer_c words(s.file);
    string_c word;
    while (words.TryReadWord(word)) {
        const float expected = static_cast<float>(TextToDouble(word));
        const float read = t.ReadFloat();
        ASSERT_EQ(std::memcmp(&read, &expected, sizeof(float)), 0) << word.GetData();
    }
}

// Rows read straight from the text give what reading word by word gives,
// whatever the words and blanks; a row that cannot be read that way leaves
// the position where it was.
TEST(LwsTokenizer, RowsReadAsWordByWord)
{
    const char* const words[] = {"0.5000", "-12.25",  "+3",    "12345678", "-1234567.", "123456789", "1e5",
                                 "7:",     "-",       ".",     "-.5",      "1,2",       "{",         "00000000",
                                 "0",      "-0.0000", "99.99", "x",        "0.0998",    "65535"};
    const char* const blanks[] = {" ", "\t", "\r\n", "   ", "\t\t\t\t\t\t\t\t\t", "\v\f", " \t "};
    u32 seed = 31337;
    auto next = [&seed] { return (seed = seed * 1664525u + 1013904223u) >> 8; };
    std::string text;
    for (int i = 0; i < 20000; ++i)
        text += std::string(blanks[next() % std::size(blanks)]) + words[next() % std::size(words)];
    text += "\n";
    scene_text_c s(text);
    lws_tokenizer_c rows(s.file);
    lws_tokenizer_c byWord(s.file);
    u32 read = 0, fallen = 0;
    while (rows.GetRemaining() > 1) {
        const u32 before = rows.GetPosition();
        ASSERT_EQ(before, byWord.GetPosition());
        lws_tokenizer_c::row_c row(rows);
        int i;
        f32 f[2];
        if (row.Int(i) && row.Skip() && row.Float(f[0]) && row.Float(f[1])) {
            row.Commit();
            ++read;
            EXPECT_EQ(i, byWord.ReadInt());
            byWord.SkipWord();
            for (const f32 value : f) {
                const f32 expected = byWord.ReadFloat();
                EXPECT_EQ(std::memcmp(&value, &expected, sizeof value), 0) << value << " " << expected;
            }
        } else {
            ++fallen;
            EXPECT_EQ(rows.GetPosition(), before);
            rows.SkipWord();
            byWord.SkipWord();
        }
    }
    EXPECT_GT(read, 100u);
    EXPECT_GT(fallen, 100u);
}
