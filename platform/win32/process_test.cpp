#include "platform/win32/process.h"

#include <gtest/gtest.h>

#include <string>

namespace {

TEST(Process, ModuleFileNameIsTheProgramOrTheReplacement)
{
    char path[4096];
    const DWORD length = GetModuleFileNameA(nullptr, path, sizeof path);
    ASSERT_GT(length, 0u);
    EXPECT_EQ(path[0], '/');
    EXPECT_NE(std::string(path).find("skyvarn_platform_win32_test"), std::string::npos);

    char tiny[4];
    EXPECT_EQ(GetModuleFileNameA(nullptr, tiny, sizeof tiny), 0u) << "a path that does not fit is not cut";

    ReplaceModuleFileName("/somewhere/else/skyvarn");
    EXPECT_EQ(GetModuleFileNameA(nullptr, path, sizeof path), 23u);
    EXPECT_STREQ(path, "/somewhere/else/skyvarn");
    ReplaceModuleFileName({});
    EXPECT_EQ(GetModuleFileNameA(nullptr, path, sizeof path), length);
}

TEST(Process, CurrentDirectoryFollowsTheSwitch)
{
    char before[4096];
    ASSERT_GT(GetCurrentDirectoryA(sizeof before, before), 0u);
    ASSERT_TRUE(SetCurrentDirectoryA("/"));
    char now[4096];
    EXPECT_EQ(GetCurrentDirectoryA(sizeof now, now), 1u);
    EXPECT_STREQ(now, "/");
    char tiny[1];
    EXPECT_EQ(GetCurrentDirectoryA(sizeof tiny, tiny), 2u) << "the size needed";
    EXPECT_FALSE(SetCurrentDirectoryA("/no/such/folder/here"));
    EXPECT_FALSE(SetCurrentDirectoryA(nullptr));
    EXPECT_TRUE(SetCurrentDirectoryA(before));
}

} // namespace
