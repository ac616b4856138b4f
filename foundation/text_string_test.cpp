#include "foundation/text_string.h"

#include <clocale>
#include <cstring>
#include <sstream>

#include <gtest/gtest.h>

namespace {
std::string Text(const string_c& s)
{
    return std::string(s.GetData(), s.GetLength());
}
}

TEST(StringTest, EmptyStringsShareOneByteAndAllocateNothing)
{
    string_c a, b;
    EXPECT_EQ(a.GetData(), b.GetData());
    EXPECT_EQ(a.GetCapacity(), 0u);
    EXPECT_EQ(a.GetData()[0], '\0');
    string_c fromNull(static_cast<const char*>(nullptr));
    EXPECT_EQ(fromNull.GetData(), a.GetData());
}

TEST(StringTest, ConstructionFromNumbersUsesPrintfForms)
{
    EXPECT_EQ(Text(string_c(-42)), "-42");
    EXPECT_EQ(Text(string_c(4000000000u)), "4000000000");
    EXPECT_EQ(Text(string_c(0.5f)), "0.5");
    EXPECT_EQ(Text(string_c(1234567.0f)), "1.23457e+06");
    EXPECT_EQ(Text(string_c(100.0f)), "100");
}

TEST(StringTest, NumbersIgnoreTheProcessLocale)
{
    // A locale with a decimal comma must not leak into data text.
    const char* chosen = std::setlocale(LC_NUMERIC, "de_DE.UTF-8");
    EXPECT_EQ(Text(string_c(2.5f)), "2.5");
    EXPECT_EQ(Text(string_c("%.2f", 1.25)), "1.25");
    EXPECT_DOUBLE_EQ(TextToDouble("3.75"), 3.75);
    if (chosen)
        std::setlocale(LC_NUMERIC, "C");
}

TEST(StringTest, PrintfConstructorFormatsAndTruncatesLongResults)
{
    EXPECT_EQ(Text(string_c("%s-%d", "a", 7)), "a-7");
    EXPECT_EQ(Text(string_c(static_cast<const char*>(nullptr))), "");
    const std::string wide(3000, 'x');
    const string_c cut("%s", wide.c_str());
    EXPECT_EQ(cut.GetLength(), 1023u);
    string_c empty("kept");
    const char* noFormat = nullptr;
    empty.Format(noFormat, 1);
    EXPECT_TRUE(empty.IsEmpty());
}

TEST(StringTest, ComparisonIgnoresAsciiCase)
{
    EXPECT_TRUE(string_c("ABC") == "abc");
    EXPECT_TRUE("aBc" == string_c("AbC"));
    EXPECT_TRUE(string_c() == static_cast<const char*>(nullptr));
    EXPECT_TRUE(string_c("ab") != "abc");
    EXPECT_FALSE(string_c("data\\X.TXT") != "DATA\\x.txt");
    EXPECT_TRUE(string_c("a") != string_c("b"));
}

TEST(StringTest, AssignmentForms)
{
    string_c s("hello");
    s = 'x';
    EXPECT_EQ(Text(s), "x");
    s = '\0';
    EXPECT_TRUE(s.IsEmpty());
    s = 12;
    EXPECT_EQ(Text(s), "12");
    s = 7u;
    EXPECT_EQ(Text(s), "7");
    s = std::string("std");
    EXPECT_EQ(Text(s), "std");
    s = static_cast<const char*>(nullptr);
    EXPECT_TRUE(s.IsEmpty());
    s = "abcdef";
    s = s.GetData();
    EXPECT_EQ(Text(s), "abcdef");
    s = s.GetData() + 2;
    EXPECT_EQ(Text(s), "cdef");
    const string_c& same = s;
    s = same;
    EXPECT_EQ(Text(s), "cdef");
}

TEST(StringTest, AppendingForms)
{
    string_c s("a");
    s += string_c("b");
    s += std::string("c");
    s += "d";
    s += static_cast<const char*>(nullptr);
    s += 'e';
    s += '\0';
    s += -1;
    s += 2u;
    EXPECT_EQ(Text(s), "abcde-12");
    s += s;
    EXPECT_EQ(Text(s), "abcde-12abcde-12");
}

TEST(StringTest, ConcatenationForms)
{
    const string_c a("ab");
    EXPECT_EQ(Text(a + string_c("cd")), "abcd");
    EXPECT_EQ(Text(a + std::string("cd")), "abcd");
    EXPECT_EQ(Text(std::string("cd") + a), "cdab");
    EXPECT_EQ(Text(a + "x"), "abx");
    EXPECT_EQ(Text(a + static_cast<const char*>(nullptr)), "ab");
    EXPECT_EQ(Text(a + 'z'), "abz");
    EXPECT_EQ(Text(a + '\0'), "ab");
    EXPECT_EQ(Text(string_c() + ""), "");
    const string_c both = a + "cdef";
    EXPECT_EQ(both.GetCapacity(), 6u);
}

TEST(StringTest, CapacityGrowsByDoublingOrToTheNeed)
{
    string_c s;
    s.Reserve(10);
    s.Assign("0123456789", 10);
    ASSERT_EQ(s.GetCapacity(), 10u);
    string_c one = s;
    one.Reserve(10);
    one.Append("x", 1);
    EXPECT_EQ(one.GetCapacity(), 20u);
    string_c thirty = s;
    thirty.Append(std::string(30, 'y').c_str(), 30);
    EXPECT_EQ(thirty.GetCapacity(), 40u);
}

TEST(StringTest, BufferNeverShrinks)
{
    string_c s;
    s.Reserve(100);
    s = "abc";
    EXPECT_EQ(s.GetCapacity(), 100u);
    s.Clear();
    EXPECT_EQ(s.GetCapacity(), 100u);
    EXPECT_EQ(s.GetData()[0], '\0');
}

TEST(StringTest, InsertClampsPositions)
{
    struct Case {
        int pos;
        const char* expected;
    } cases[] = {{0, "XYabc"}, {1, "aXYbc"}, {3, "abcXY"}, {99, "abcXY"}, {-1, "abXYc"}, {-3, "XYabc"}, {-99, "XYabc"}};
    for (const Case& c : cases) {
        string_c s("abc");
        s.Insert(c.pos, "XY");
        EXPECT_EQ(Text(s), c.expected) << c.pos;
    }
    string_c s("abc");
    s.Insert(1, '\0');
    s.Insert(1, static_cast<const char*>(nullptr));
    EXPECT_EQ(Text(s), "abc");
    s.Insert(1, '-');
    EXPECT_EQ(Text(s), "a-bc");
    s.Insert(0, s.GetData() + 1, 2);
    EXPECT_EQ(Text(s), "-ba-bc");
}

TEST(StringTest, EraseTruncateAndSubstrings)
{
    struct Case {
        const char* what;
        string_c result;
        const char* expected;
    };
    const string_c text("abcdef");
    auto erase = [&](int pos, unsigned count) {
        string_c s = text;
        s.Erase(pos, count);
        return s;
    };
    auto truncate = [&](int pos) {
        string_c s = text;
        s.Truncate(pos);
        return s;
    };
    const Case cases[] = {
        {"Erase(-2,10)", erase(-2, 10), "abcd"},  {"Erase(6,1)", erase(6, 1), "abcdef"},
        {"Erase(0,0)", erase(0, 0), "abcdef"},    {"Erase(-7,1)", erase(-7, 1), "abcdef"},
        {"Erase(1,2)", erase(1, 2), "adef"},      {"Truncate(-1)", truncate(-1), "abcde"},
        {"Truncate(6)", truncate(6), "abcdef"},   {"Truncate(0)", truncate(0), ""},
        {"Truncate(-7)", truncate(-7), "abcdef"}, {"Mid(-3,2)", text.Mid(-3, 2), "de"},
        {"Mid(-7,2)", text.Mid(-7, 2), ""},       {"Mid(2,0)", text.Mid(2, 0), ""},
        {"Mid(4,99)", text.Mid(4, 99), "ef"},     {"Mid(6,1)", text.Mid(6, 1), ""},
        {"Left(2)", text.Left(2), "ab"},          {"Left(99)", text.Left(99), "abcdef"},
        {"Right(2)", text.Right(2), "ef"},        {"Right(99)", text.Right(99), "abcdef"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(Text(c.result), c.expected) << c.what;
}

TEST(StringTest, FindMatchesLettersInEitherCase)
{
    const string_c banana("banana");
    EXPECT_EQ(banana.Find('a', -1), 5);
    EXPECT_EQ(banana.Find('A', 6), -1);
    EXPECT_EQ(string_c("BANANA").Find('n'), 2);
    EXPECT_EQ(banana.Find('A'), 1);
    EXPECT_EQ(banana.Find('a', 2), 3);
    EXPECT_EQ(banana.Find('b', -2), 0);
    EXPECT_EQ(banana.Find('n', -100), -1);
    EXPECT_EQ(banana.Find('\0'), -1);
    EXPECT_EQ(string_c().Find('a'), -1);
    EXPECT_EQ(string_c("a.b").Find('.'), 1);
    EXPECT_EQ(string_c("x\\y\\").Find('\\', -2), 1);
}

TEST(StringTest, IndexingClampsToTheText)
{
    const string_c abc("abc");
    EXPECT_EQ(abc[-1], 'c');
    EXPECT_EQ(abc[10], '\0');
    EXPECT_EQ(abc[-10], 'a');
    EXPECT_EQ(abc[0], 'a');
    EXPECT_EQ(abc[3], '\0');
}

TEST(StringTest, SetCharNeverWritesTheSharedEmptyByte)
{
    string_c empty;
    empty.SetChar(0, 'x');
    empty.SetChar(-1, 'x');
    EXPECT_EQ(string_c().GetData()[0], '\0');
    string_c s("abc");
    s.SetChar(-1, 'z');
    s.SetChar(5, 'q');
    EXPECT_EQ(Text(s), "abz");
    s.SetChar(1, '\0');
    EXPECT_EQ(Text(s), "a");
}

TEST(StringTest, ToIntAndStreams)
{
    EXPECT_EQ(string_c("  -17xyz").ToInt(), -17);
    EXPECT_EQ(string_c("abc").ToInt(), 0);
    EXPECT_EQ(string_c("Hi").ToStdString(), "Hi");
    std::ostringstream out;
    out << string_c("word") << '|';
    EXPECT_EQ(out.str(), "word|");
    std::istringstream in("  first second");
    string_c word;
    in >> word;
    EXPECT_EQ(Text(word), "first");
    in >> word;
    EXPECT_EQ(Text(word), "second");
    std::istringstream longWord(std::string(5000, 'w'));
    longWord >> word;
    EXPECT_EQ(word.GetLength(), 5000u);
}

TEST(StringTest, TextHelpers)
{
    char buffer[32];
    EXPECT_EQ(IntToText(buffer, -5), 2);
    EXPECT_STREQ(buffer, "-5");
    EXPECT_EQ(UnsignedToText(buffer, 4294967295u), 10);
    EXPECT_STREQ(buffer, "4294967295");
    EXPECT_EQ(FloatToText(buffer, 0.1f), 3);
    EXPECT_STREQ(buffer, "0.1");
    char dest[8];
    std::memset(dest, '#', sizeof dest);
    EXPECT_EQ(CopyStringLimited(dest, "hello", 3), dest);
    EXPECT_STREQ(dest, "hel");
    CopyStringLimited(dest, "hello", 0);
    EXPECT_STREQ(dest, "hello");
    EXPECT_EQ(TextToInt(nullptr), 0);
    EXPECT_DOUBLE_EQ(TextToDouble(" 1e2abc"), 100.0);
    EXPECT_DOUBLE_EQ(TextToDouble("x"), 0.0);
}

TEST(StringTest, MovesLeaveTheSourceEmpty)
{
    string_c a("payload");
    string_c b(std::move(a));
    EXPECT_EQ(Text(b), "payload");
    EXPECT_TRUE(a.IsEmpty());
    a = std::move(b);
    EXPECT_EQ(Text(a), "payload");
    EXPECT_TRUE(b.IsEmpty());
}
