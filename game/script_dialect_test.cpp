#include "game/script_dialect.h"

#include <gtest/gtest.h>

#include <algorithm>

TEST(ScriptDialect, RewritesOnlyWhatTheDialectsReadDifferently)
{
    struct {
        const char* old;
        const char* now;
    } const cases[] = {
        {"x = %y + 1", "x = y + 1"},
        {"f = function() return %count end", "f = function() return count end"},
        {"for k, v in t do end", "for k, v in __next, t do end"},
        {"for k,v in list do x = v end", "for k,v in __next, list do x = v end"},
        {"for\tname ,\nvalue\tin\tt do end", "for\tname ,\nvalue\tin __next,\tt do end"},
        {"for i = 1, 10 do end", "for i = 1, 10 do end"},
        {"for i=1,n do end", "for i=1,n do end"},
        {"s = \"100%sure for k, v in t\"", "s = \"100%sure for k, v in t\""},
        {"s = '%name'", "s = '%name'"},
        {"s = [[ %a for k, v in t ]]", "s = [[ %a for k, v in t ]]"},
        {"-- %x for k, v in t do\ny = %x", "-- %x for k, v in t do\ny = x"},
        {"--[[ not a block\nx = 1", "-- [[ not a block\nx = 1"},
        {"s = \"a\\\"%b\" .. %c", "s = \"a\\\"%b\" .. c"},
        {"a = b % 2", "a = b % 2"},
        {"format = 5%", "format = 5%"},
        {"", ""},
        {"\"unterminated %x\nz = %w", "\"unterminated %x\nz = w"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.now, RewriteOldDialect(c.old)) << c.old;
}

TEST(ScriptDialect, KeepsLineNumbers)
{
    const std::string text = "a = 1\n-- note\nfor k, v in t do\n  b = %c\nend\n";
    const std::string rewritten = RewriteOldDialect(text);
    EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), std::count(rewritten.begin(), rewritten.end(), '\n'));
}
