#include "engine/color.h"

#include <gtest/gtest.h>

#include <cmath>

TEST(ColorTest, ChannelsAreTruncatedAndClamped)
{
    EXPECT_EQ(ColorToBgra(1.0f, 0.5f, 0.0f), 0x00FF7F00u);
    EXPECT_EQ(ColorToBgra(0.0f, 0.0f, 1.0f), 0x000000FFu);
    EXPECT_EQ(ColorToBgra(2.0f, -1.0f, NAN), 0x00FF0000u);
    EXPECT_EQ(ColorToBgra(0.999f, 0.0039f, 1e30f), 0x00FE00FFu);
}

TEST(ColorTest, AlphaGoesInTheFourthByte)
{
    EXPECT_EQ(ColorAlphaToBgra(0.0f, 0.0f, 1.0f, 0.5f), 0x7F0000FFu);
    EXPECT_EQ(ColorAlphaToBgra(1.0f, 1.0f, 1.0f, 1.0f), 0xFFFFFFFFu);
    EXPECT_EQ(ColorAlphaToBgra(1.0f, 1.0f, 1.0f, -3.0f), 0x00FFFFFFu);
}
