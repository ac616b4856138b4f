#include "platform/win32/multibyte.h"

#include <gtest/gtest.h>

namespace {
const unsigned char* U(const char* text)
{
    return reinterpret_cast<const unsigned char*>(text);
}

class MultibyteTest : public ::testing::Test {
protected:
    void TearDown() override { _setmbcp(0); }
};
}

TEST_F(MultibyteTest, StartsSingleByte)
{
    EXPECT_EQ(_getmbcp(), 0);
    EXPECT_FALSE(_ismbblead(0x81));
    EXPECT_EQ(_mbsnccnt(U("\x81\x40"), 2), 2u);
}

TEST_F(MultibyteTest, LeadBytesOfEachDoubleBytePage)
{
    struct Case {
        int page;
        unsigned byte;
        bool lead;
    } cases[] = {{932, 0x81, true},  {932, 0x9f, true},  {932, 0xa0, false}, {932, 0xe0, true},
                 {932, 0xfc, true},  {932, 0xfd, false}, {936, 0x81, true},  {936, 0xfe, true},
                 {949, 0x80, false}, {950, 0xff, false}, {1252, 0x81, false}};
    for (const Case& c : cases) {
        _setmbcp(c.page);
        EXPECT_EQ(_ismbblead(c.byte), c.lead) << c.page << " " << c.byte;
    }
}

TEST_F(MultibyteTest, SteppingAndCodes)
{
    _setmbcp(932);
    const unsigned char* text = U("a\x82\xa0z");
    EXPECT_EQ(_mbsninc(text, 1), text + 1);
    EXPECT_EQ(_mbsninc(text, 2), text + 3);
    EXPECT_EQ(_mbsninc(text, 10), text + 4);
    EXPECT_EQ(_mbsnextc(text + 1), 0x82a0u);
    EXPECT_EQ(_mbsnextc(text + 4), 0u);
    EXPECT_EQ(_mbsnccnt(text, 4), 3u);
    // A lead byte cut off by the end is one character on its own.
    EXPECT_EQ(_mbsnccnt(text, 2), 2u);
    EXPECT_EQ(_mbsnextc(U("\x82")), 0x82u);
}

TEST_F(MultibyteTest, CaseMapping)
{
    EXPECT_TRUE(_ismbcalpha('q'));
    EXPECT_FALSE(_ismbcalpha('1'));
    EXPECT_EQ(_mbctoupper('q'), static_cast<unsigned>('Q'));
    EXPECT_EQ(_mbctolower('Q'), static_cast<unsigned>('q'));
    EXPECT_FALSE(_ismbcalpha(0x8260));
    _setmbcp(932);
    EXPECT_TRUE(_ismbcalpha(0x8260));
    EXPECT_EQ(_mbctolower(0x8260), 0x8281u);
    EXPECT_EQ(_mbctoupper(0x829a), 0x8279u);
    EXPECT_EQ(_mbctoupper(0x82a0), 0x82a0u);
}
