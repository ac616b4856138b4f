#include "engine/text_format.h"

#include <gtest/gtest.h>

#include <string>

TEST(TextFormatTest, FormatsTextsLongerThanAKilobyte)
{
    const std::string name(3000, 'n');
    const string_c text = FormatText("Geometry={\"%s\" %d}", name.c_str(), 5);
    EXPECT_EQ(text.GetLength(), 3000u + 15);
    EXPECT_EQ(text[-2], '5');
}

TEST(TextFormatTest, EmptyResults)
{
    EXPECT_EQ(FormatText("%s", "").GetLength(), 0u);
    EXPECT_STREQ(FormatText("%g", 12.0), "12");
    EXPECT_STREQ(FormatText("%g", 0.0166666675), "0.0166667");
}
