#include "foundation/random_numbers.h"

#include <gtest/gtest.h>

#include <climits>

namespace {

// The test program restarts the process-wide generator before every case,
// so this case sees the sequence of a fresh run.
TEST(RandomNumbers, ProcessGeneratorKnownSequenceAndRanges)
{
    EXPECT_DOUBLE_EQ(Random(), 86875383 * 4.656612875245797e-10);
    // The same sequence as a private generator with the default seed.
    random_c twin;
    twin.Next();
    EXPECT_DOUBLE_EQ(Random(), twin.Next());

    EXPECT_EQ(RandomInt(3, 3), 3);
    EXPECT_EQ(RandomInt(5, 2), 5);
    EXPECT_EQ(RandomFloat(2.0f, 1.0f), 2.0f);
    int counts[2] = {0, 0};
    for (int i = 0; i < 20000; ++i) {
        const int v = RandomInt(0, 1);
        ASSERT_TRUE(v == 0 || v == 1);
        ++counts[v];
    }
    EXPECT_NEAR(counts[0], 10000, 400);
    // Ends come up half as often as inner values.
    int ends = 0, middle = 0;
    for (int i = 0; i < 30000; ++i) {
        const int v = RandomInt(-1, 1);
        ASSERT_GE(v, -1);
        ASSERT_LE(v, 1);
        (v == 0 ? middle : ends) += 1;
    }
    EXPECT_NEAR(static_cast<double>(ends) / middle, 1.0, 0.06);
    for (int i = 0; i < 1000; ++i) {
        const float f = RandomFloat(-2.0f, 3.0f);
        ASSERT_GE(f, -2.0f);
        ASSERT_LE(f, 3.0f);
        const int full = RandomInt(INT_MIN, INT_MAX);
        (void)full;
    }
}

TEST(RandomNumbers, RestartGoesBackToTheFirstNumber)
{
    const double first = Random();
    Random();
    Random();
    RestartRandom();
    EXPECT_DOUBLE_EQ(Random(), first);
    EXPECT_DOUBLE_EQ(first, 86875383 * 4.656612875245797e-10);
}

// A case that leaves the generator moved on, and the case after it, which
// (run in the same process) still starts from the first number.
TEST(RandomNumbers, ACaseMovesTheProcessGeneratorOn)
{
    for (int i = 0; i < 5; ++i)
        Random();
    SUCCEED();
}

TEST(RandomNumbers, TheNextCaseStartsFromTheFirstNumberAgain)
{
    EXPECT_DOUBLE_EQ(Random(), 86875383 * 4.656612875245797e-10);
}

TEST(RandomNumbers, FirstStepOfTheDefaultSeed)
{
    random_c random;
    EXPECT_EQ(random.GetState(), kRandomDefaultSeed);
    EXPECT_EQ(random.GetState() ^ kRandomMask, 5169u);
    const double first = random.Next();
    EXPECT_DOUBLE_EQ(first, 86875383 * 4.656612875245797e-10);
    EXPECT_NEAR(first, 0.0404545, 1e-7);
    EXPECT_EQ(random.GetState(), 86875383u ^ kRandomMask);
}

TEST(RandomNumbers, SchrageStepMatchesTheDirectProduct)
{
    random_c random;
    random.SetSeed(0x1234567);
    u64 working = random.GetState() ^ kRandomMask;
    for (int i = 0; i < 10000; ++i) {
        const double r = random.Next();
        working = working * 16807 % 2147483647;
        ASSERT_EQ(random.GetState() ^ kRandomMask, working);
        ASSERT_GT(r, 0.0);
        ASSERT_LT(r, 1.0);
    }
}

TEST(RandomNumbers, SetSeedKeepsThirtyOneBits)
{
    random_c a, b;
    a.SetSeed(0x80000000u | 777);
    b.SetSeed(777);
    EXPECT_EQ(a.GetState(), 777u);
    EXPECT_EQ(a.Next(), b.Next());
}

TEST(RandomNumbers, SeedsThatWouldStickAtZeroAreReplaced)
{
    // Working values 0 and 2^31-1 are fixed points of the generator.
    for (u32 seed : {kRandomMask, kRandomMask | 0x80000000u, 0x7FFFFFFFu ^ kRandomMask}) {
        random_c random;
        random.SetSeed(seed);
        EXPECT_EQ(random.GetState(), kRandomDefaultSeed) << seed;
        for (int i = 0; i < 5; ++i)
            EXPECT_GT(random.Next(), 0.0) << seed;
    }
}

TEST(RandomNumbers, PrivateRanges)
{
    random_c random;
    random.SetSeed(2024);
    EXPECT_EQ(random.Float(2.0f, 1.0f), 2.0f);
    EXPECT_EQ(random.Int(9, 9), 9u);
    EXPECT_EQ(random.Int(9, 4), 9u);
    bool sawMin = false, sawMax = false;
    for (int i = 0; i < 2000; ++i) {
        const u32 v = random.Int(4000000000u, 4000000002u);
        ASSERT_GE(v, 4000000000u);
        ASSERT_LE(v, 4000000002u);
        sawMin |= v == 4000000000u;
        sawMax |= v == 4000000002u;
        const float f = random.Float(1.0f, 1.5f);
        ASSERT_GE(f, 1.0f);
        ASSERT_LE(f, 1.5f);
    }
    EXPECT_TRUE(sawMin);
    EXPECT_TRUE(sawMax);

    random_c x, y;
    x.SetSeed(31337);
    y.SetSeed(31337);
    for (int i = 0; i < 10; ++i)
        EXPECT_EQ(x.Int(0, 1000), y.Int(0, 1000));
}

} // namespace
