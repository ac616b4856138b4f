#include "platform/win32/crt_text.h"

#include <gtest/gtest.h>

TEST(CrtTextTest, CompareFoldsAsciiLettersOnly)
{
    struct Case {
        const char* a;
        const char* b;
        int sign;
    } cases[] = {{"abc", "ABC", 0},   {"Data\\X", "data\\x", 0}, {"a", "b", -1},
                 {"B", "a", 1},       {"ab", "abc", -1},         {"", "", 0},
                 {"_", "a", -1},        // '_' folds nowhere
                 {"\xc4", "\xe4", -1}}; // bytes above 127 stay apart
    for (const Case& c : cases) {
        const int r = _stricmp(c.a, c.b);
        EXPECT_EQ((r > 0) - (r < 0), c.sign) << c.a << " vs " << c.b;
    }
    EXPECT_EQ(_strnicmp("abcX", "ABCy", 3), 0);
    EXPECT_NE(_strnicmp("abcX", "ABCy", 4), 0);
}
