#include "foundation/line_reader.h"

#include <sstream>

#include <gtest/gtest.h>

TEST(LineReaderTest, ReadsLinesOfAnyLength)
{
    const std::string longLine(5000, 'L');
    std::istringstream in("first\n" + longLine + "\nlast;more");
    string_c line;
    EXPECT_TRUE(GetLine(in, line));
    EXPECT_TRUE(line == "first");
    EXPECT_TRUE(GetLine(in, line));
    EXPECT_EQ(line.GetLength(), 5000u);
    EXPECT_TRUE(GetLine(in, line, ';'));
    EXPECT_TRUE(line == "last");
    EXPECT_TRUE(GetLine(in, line));
    EXPECT_TRUE(line == "more");
    EXPECT_FALSE(GetLine(in, line));
    EXPECT_TRUE(line.IsEmpty());
}
