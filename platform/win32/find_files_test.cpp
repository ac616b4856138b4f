#include "platform/win32/find_files.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include <stdlib.h>

namespace {

class FindFilesTest : public testing::Test {
protected:
    FindFilesTest()
    {
        // A name of its own: tests run side by side in processes whose
        // objects can sit at the same addresses.
        std::string name = (std::filesystem::temp_directory_path() / "skyvarn-find-XXXXXX").string();
        folder = mkdtemp(name.data());
        std::filesystem::create_directories(folder / "Sub");
        for (const char* name : {"b.ffe", "A.FFE", "c.ffe.bak", "readme.txt", "x.ffe"})
            std::ofstream(folder / name) << name;
    }
    ~FindFilesTest() override { std::filesystem::remove_all(folder); }

    std::vector<std::string> Search(const std::string& _pattern)
    {
        std::vector<std::string> names;
        _finddata_t data;
        const std::intptr_t handle = _findfirst(_pattern.c_str(), &data);
        if (handle == -1)
            return names;
        do
            names.push_back(data.name);
        while (_findnext(handle, &data) == 0);
        EXPECT_EQ(errno, ENOENT);
        EXPECT_EQ(_findclose(handle), 0);
        return names;
    }

    std::filesystem::path folder;
};

TEST_F(FindFilesTest, MatchesComeInNameOrderWithoutRegardToCase)
{
    EXPECT_EQ(Search(folder.string() + "\\*.ffe"), (std::vector<std::string>{"A.FFE", "b.ffe", "x.ffe"}));
    EXPECT_EQ(Search(folder.string() + "/?.*"), (std::vector<std::string>{"A.FFE", "b.ffe", "c.ffe.bak", "x.ffe"}));
    EXPECT_EQ(Search(folder.string() + "/*"),
              (std::vector<std::string>{"A.FFE", "Sub", "b.ffe", "c.ffe.bak", "readme.txt", "x.ffe"}));
}

TEST_F(FindFilesTest, EntryDescribesTheFile)
{
    _finddata_t data;
    const std::intptr_t handle = _findfirst((folder.string() + "/readme*").c_str(), &data);
    ASSERT_NE(handle, -1);
    EXPECT_EQ(data.size, std::string("readme.txt").size());
    EXPECT_EQ(data.attrib, _A_NORMAL);
    EXPECT_EQ(_findclose(handle), 0);
    EXPECT_EQ(_findclose(handle), -1);
    ASSERT_NE(_findfirst((folder.string() + "/sub").c_str(), &data), -1);
    EXPECT_EQ(data.attrib, _A_SUBDIR);
}

TEST_F(FindFilesTest, NoMatchOrNoFolderGivesMinusOne)
{
    _finddata_t data;
    errno = 0;
    EXPECT_EQ(_findfirst((folder.string() + "/*.wav").c_str(), &data), -1);
    EXPECT_EQ(errno, ENOENT);
    EXPECT_EQ(_findfirst((folder.string() + "/missing/*.ffe").c_str(), &data), -1);
    EXPECT_EQ(_findfirst(nullptr, &data), -1);
    EXPECT_EQ(errno, EINVAL);
}

TEST(FindPatternTest, Wildcards)
{
    struct case_s {
        const char* pattern;
        const char* name;
        bool matches;
    };
    const case_s cases[] = {
        {"*.ffe", "gun.ffe", true}, {"*.ffe", "gun.ffe2", false}, {"*", "", true},
        {"a*b*c", "aXbYbZc", true}, {"a*b*c", "aXbYbZ", false},   {"g?n.FFE", "gun.ffe", true},
        {"??", "a", false},         {"*a", "bbb", false},         {"**x", "yx", true},
    };
    for (const case_s& c : cases)
        EXPECT_EQ(FindPatternMatches(c.pattern, c.name), c.matches) << c.pattern << " " << c.name;
}

} // namespace
