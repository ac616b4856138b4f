#include "foundation/path.h"

#include <memory>

#include <gtest/gtest.h>

#include "foundation/file_error.h"

namespace {
std::string Text(const string_c& s)
{
    return s.GetData();
}

// Resolves name against directory the way MakeFullPath does.
std::string Full(const char* directory, const char* name)
{
    string_c path(directory);
    ResolveRelativePath(name, path);
    CollapseBackslashes(path);
    return Text(path);
}
}

TEST(PathTest, ResolvesAgainstADirectory)
{
    struct Case {
        const char* directory;
        const char* name;
        const char* expected;
    } cases[] = {
        {"data\\planes\\", "..\\textures\\a.dds", "data\\textures\\a.dds"},
        {"data\\planes\\", ".\\a.dds", "data\\planes\\a.dds"},
        {"data\\planes\\", "c:\\x.bmp", "c:\\x.bmp"},
        {"data\\planes\\", "\\x.bmp", "\\x.bmp"},
        {"data\\planes\\", "a.dds", "data\\planes\\a.dds"},
        {"data\\planes\\", "...\\a", "a"},
        {"data\\planes\\", "..\\..\\..\\a", "..\\a"},
        {"data\\planes\\", "..", "data\\"},
        {"data\\planes\\", ".\\\\\\a", "data\\planes\\a"},
        {"data\\planes\\", "", "data\\planes\\"},
        {"data\\planes\\", nullptr, "data\\planes\\"},
        {"", "..\\a", "..\\a"},
        {"", "a\\b", "a\\b"},
        // Climbing on above the root keeps every level.
        {"", "..\\..\\a", "..\\..\\a"},
        {"..\\", "..\\a", "..\\..\\a"},
        // A one-letter folder goes up like any other.
        {"x\\", "..\\t.dds", "t.dds"},
        // A drive has nothing above it.
        {"c:", "..\\a", "c:a"},
        {"c:\\", "..\\a", "c:\\a"},
        {"c:\\games\\", "..\\a", "c:\\a"},
        {"c:games\\", "..\\a", "c:a"},
        {"\\", "..\\a", "\\a"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(Full(c.directory, c.name), c.expected) << c.directory << " + " << (c.name ? c.name : "null");
}

TEST(PathTest, DotsNotFollowedByABackslashAreInvalid)
{
    for (const char* name : {".hidden", "..x", "./a", "...a", "data\\..x"}) {
        string_c path("data\\");
        if (std::string(name) == "data\\..x") {
            // Dots inside a name are only checked at its start.
            ResolveRelativePath(name, path);
            EXPECT_EQ(Text(path), "data\\data\\..x");
            continue;
        }
        try {
            ResolveRelativePath(name, path);
            ADD_FAILURE() << name << " resolved to " << Text(path);
        } catch (const file_error_c& e) {
            EXPECT_STREQ(e.what(), "Invalid path!");
            EXPECT_EQ(Text(e.GetFileName()), name);
        }
    }
}

TEST(PathTest, CollapseBackslashes)
{
    struct Case {
        const char* in;
        const char* out;
    } cases[] = {{"data\\\\\\b", "data\\b"}, {"\\\\a\\\\b\\\\", "\\a\\b\\"}, {"\\", "\\"}, {"", ""}, {"ab", "ab"}};
    for (const Case& c : cases) {
        string_c s(c.in);
        CollapseBackslashes(s);
        EXPECT_EQ(Text(s), c.out);
    }
}

TEST(PathTest, GetDirectory)
{
    struct Case {
        const char* path;
        const char* directory;
    } cases[] = {
        {"data\\b.lwo", "data\\"}, {"c:b.lwo", "c:"}, {"b.lwo", ""}, {"a\\b\\", "a\\b\\"}, {"c:\\x:y", "c:\\"}};
    for (const Case& c : cases)
        EXPECT_EQ(Text(GetDirectory(c.path)), c.directory) << c.path;
}

TEST(PathTest, GuardsNestAndRestore)
{
    EXPECT_TRUE(GetCurrentDirectoryPath().IsEmpty());
    {
        directory_cache_c model(string_c("data\\planes\\camel.lwo"));
        EXPECT_EQ(Text(GetCurrentDirectoryPath()), "data\\planes\\");
        EXPECT_EQ(Text(path_c("..\\textures\\a.dds").GetPath()), "data\\textures\\a.dds");
        {
            directory_cache_c root;
            EXPECT_TRUE(GetCurrentDirectoryPath().IsEmpty());
            EXPECT_EQ(Text(MakeFullPath("x\\\\y")), "x\\y");
            {
                directory_cache_c unchanged((string_c()));
                EXPECT_TRUE(GetCurrentDirectoryPath().IsEmpty());
            }
        }
        EXPECT_EQ(Text(GetCurrentDirectoryPath()), "data\\planes\\");
    }
    EXPECT_TRUE(GetCurrentDirectoryPath().IsEmpty());
}

TEST(PathTest, GuardDestroyedOutOfOrderKeepsTheStackSound)
{
    auto outer = std::make_unique<directory_cache_c>(string_c("a\\x"));
    auto inner = std::make_unique<directory_cache_c>(string_c("a\\b\\y"));
    outer.reset();
    // The inner guard is still in force...
    EXPECT_EQ(Text(GetCurrentDirectoryPath()), "a\\b\\");
    inner.reset();
    // ...and its end restores what was there before either.
    EXPECT_TRUE(GetCurrentDirectoryPath().IsEmpty());
}

TEST(PathTest, PathCopies)
{
    const path_c a("q\\r");
    path_c b;
    EXPECT_TRUE(b.IsEmpty());
    b = a;
    const path_c& self = b;
    b = self;
    EXPECT_EQ(Text(b.GetPath()), "q\\r");
    EXPECT_STREQ(static_cast<const char*>(b), "q\\r");
}
