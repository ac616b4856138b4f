#include "net/net_filter.h"

#include <gtest/gtest.h>

namespace {

const std::string kReplacementSet = "ABCDEFGHIJKLMNOPQRSTUVWXYZ!@#$%^*()";

// True when the places [from, from + count) were overwritten from the set.
bool Replaced(const std::string& text, std::size_t from, std::size_t count)
{
    for (std::size_t i = from; i < from + count; ++i)
        if (kReplacementSet.find(text[i]) == std::string::npos)
            return false;
    return true;
}

} // namespace

TEST(NetFilter, EveryListedWordIsOverwrittenInAnyCase)
{
    const struct {
        const char* text;
        std::size_t at, count;
    } cases[] = {
        {"an IDIOT!", 3, 5}, {"dumb", 0, 4},   {"a git", 2, 3},       {"JeRk off", 0, 4},
        {"moron", 0, 5},     {"fool's", 0, 4}, {"what a twit", 7, 4}, {"sore Loser", 5, 5},
    };
    net_random_c random;
    for (const auto& test : cases) {
        std::string text = test.text;
        FilterWords(text, random);
        ASSERT_EQ(text.size(), std::string(test.text).size());
        EXPECT_TRUE(Replaced(text, test.at, test.count)) << test.text << " -> " << text;
        EXPECT_EQ(text.substr(0, test.at), std::string(test.text).substr(0, test.at));
        EXPECT_EQ(text.substr(test.at + test.count), std::string(test.text).substr(test.at + test.count));
    }
}

TEST(NetFilter, AWordTwiceIsReplacedTwiceAndCleanTextStays)
{
    net_random_c random;
    std::string text = "fool and fool";
    FilterWords(text, random);
    EXPECT_TRUE(Replaced(text, 0, 4));
    EXPECT_TRUE(Replaced(text, 9, 4));
    EXPECT_EQ(text.substr(4, 5), " and ");
    std::string clean = "good hunting over the lines";
    FilterWords(clean, random);
    EXPECT_EQ(clean, "good hunting over the lines");
}

TEST(NetFilter, SameSeedGivesTheSameReplacement)
{
    net_random_c first(42), second(42);
    std::string a = "idiot", b = "idiot";
    FilterWords(a, first);
    FilterWords(b, second);
    EXPECT_EQ(a, b);
}

TEST(NetFilter, RandomValuesStayInRange)
{
    net_random_c random;
    for (int i = 0; i < 100000; ++i) {
        const int value = random.Next();
        ASSERT_GE(value, 0);
        ASSERT_LE(value, 32767);
    }
}
