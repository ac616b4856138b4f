#include "platform/win32/message_box.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

struct shown_s {
    std::string text;
    std::string caption;
    UINT type;
};

void Record(const char* _text, const char* _caption, UINT _type, void* _context)
{
    static_cast<std::vector<shown_s>*>(_context)->push_back({_text, _caption, _type});
}

TEST(MessageBoxTest, HookReceivesEveryBox)
{
    std::vector<shown_s> shown;
    SetMessageBoxHook(Record, &shown);
    EXPECT_EQ(MessageBoxA(nullptr, "Could not find item!", nullptr, MB_OK), IDOK);
    EXPECT_EQ(MessageBoxA(nullptr, nullptr, "Caption", MB_ICONERROR), IDOK);
    SetMessageBoxHook(nullptr, nullptr);
    ASSERT_EQ(shown.size(), 2u);
    EXPECT_EQ(shown[0].text, "Could not find item!");
    EXPECT_EQ(shown[0].caption, "");
    EXPECT_EQ(shown[1].text, "");
    EXPECT_EQ(shown[1].caption, "Caption");
    EXPECT_EQ(shown[1].type, MB_ICONERROR);
}

TEST(MessageBoxTest, WithoutADisplayTheBoxGoesToStandardError)
{
    // The test environment uses SDL's offscreen driver.
    testing::internal::CaptureStderr();
    EXPECT_EQ(MessageBoxA(nullptr, "Couldn't find or load specified file: \n\"a.txt\"", "", MB_OK), IDOK);
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "\nCouldn't find or load specified file: \n\"a.txt\"\n");
}

} // namespace
