#include "foundation/mb_string.h"

#include <gtest/gtest.h>

#include "platform/win32/multibyte.h"

namespace {
// Each test that needs double-byte text selects page 932 and restores the
// single-byte page afterwards.
class MbStringTest : public ::testing::Test {
protected:
    void TearDown() override { _setmbcp(0); }
};

std::string Bytes(const mb_string_c& s)
{
    return std::string(s.GetData(), s.GetBytes());
}
}

TEST_F(MbStringTest, EncodeMbCharWritesOneOrTwoBytes)
{
    char buffer[3] = {'#', '#', '#'};
    EXPECT_EQ(EncodeMbChar(buffer, 0x8140), 2);
    EXPECT_EQ(static_cast<u8>(buffer[0]), 0x81);
    EXPECT_EQ(static_cast<u8>(buffer[1]), 0x40);
    EXPECT_EQ(buffer[2], '\0');
    EXPECT_EQ(EncodeMbChar(buffer, 'A'), 1);
    EXPECT_STREQ(buffer, "A");
    EXPECT_EQ(EncodeMbChar(buffer, 0), 0);
    EXPECT_EQ(buffer[0], '\0');
}

TEST_F(MbStringTest, SingleBytePageCountsBytes)
{
    mb_string_c s(string_c("hello"));
    EXPECT_EQ(s.GetChars(), 5u);
    EXPECT_EQ(s.GetBytes(), 5u);
    EXPECT_EQ(s[1], static_cast<unsigned>('e'));
    EXPECT_EQ(s[-1], static_cast<unsigned>('o'));
    EXPECT_EQ(s[-10], static_cast<unsigned>('h'));
    EXPECT_EQ(s[5], 0u);
}

TEST_F(MbStringTest, DoubleBytePageCountsCharacters)
{
    _setmbcp(932);
    // a, one two-byte character, b
    const char text[] = {'a', '\x82', '\xa0', 'b', 0};
    mb_string_c s;
    s.Assign(text, 4);
    EXPECT_EQ(s.GetChars(), 3u);
    EXPECT_EQ(s.GetBytes(), 4u);
    EXPECT_EQ(s.CharAt(1), 0x82a0u);
    EXPECT_EQ(s.CharAt(2), static_cast<unsigned>('b'));
    EXPECT_EQ(s.CharAt(3), 0u);
    EXPECT_EQ(s.ByteOffset(0), 0u);
    EXPECT_EQ(s.ByteOffset(2), 3u);
    EXPECT_EQ(s.ByteOffset(9), 4u);
    s.Erase(1, 1);
    EXPECT_EQ(Bytes(s), "ab");
    EXPECT_EQ(s.GetChars(), 2u);
    s.Insert(1, 0x8140u);
    EXPECT_EQ(s.GetChars(), 3u);
    EXPECT_EQ(s.GetBytes(), 4u);
    EXPECT_EQ(s[1], 0x8140u);
    s.Truncate(-1);
    EXPECT_EQ(s.GetChars(), 2u);
    EXPECT_EQ(s.GetBytes(), 3u);
}

TEST_F(MbStringTest, FindFoldsCaseOfTheCodePage)
{
    _setmbcp(932);
    mb_string_c s;
    s += 'x';
    s += 0x8281u; // full-width a
    s += 'Q';
    EXPECT_EQ(s.Find(0x8260u), 1); // full-width A finds its lower-case form
    EXPECT_EQ(s.Find('q'), 2);
    EXPECT_EQ(s.Find('z'), -1);
    EXPECT_EQ(s.Find(0), -1);
    EXPECT_EQ(mb_string_c().Find('a'), -1);
}

TEST_F(MbStringTest, EmptyArgumentsChangeNothing)
{
    mb_string_c s(string_c("ab"));
    s.Append(nullptr, 1, 1);
    s.Append("c", 0, 1);
    s.Insert(0, "c", 1, 0);
    s += 0u;
    s.Insert(0, 0u);
    EXPECT_EQ(Bytes(s), "ab");
    EXPECT_EQ(s.GetChars(), 2u);
    s.Assign("zz", 0, 2);
    EXPECT_EQ(s.GetChars(), 0u);
    EXPECT_EQ(s.GetBytes(), 0u);
}

TEST_F(MbStringTest, PositionsClampLikeByteStrings)
{
    mb_string_c s(string_c("abcdef"));
    s.Erase(-2, 10);
    EXPECT_EQ(Bytes(s), "abcd");
    s.Erase(4, 1);
    EXPECT_EQ(Bytes(s), "abcd");
    s.Insert(-99, "X", 1, 1);
    EXPECT_EQ(Bytes(s), "Xabcd");
    s.Insert(99, "Y", 1, 1);
    EXPECT_EQ(Bytes(s), "XabcdY");
    s.Truncate(9);
    EXPECT_EQ(s.GetChars(), 6u);
    mb_string_c copy = s;
    const mb_string_c& self = copy;
    copy = self;
    EXPECT_EQ(Bytes(copy), "XabcdY");
}
