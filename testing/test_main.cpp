// Entry point of every test program: tests run without a display, a sound
// card or the user's own settings, whatever the calling shell has set, and
// each test case starts from the process state a fresh run starts from, so
// that it passes or fails alike alone and after any other case.
#include "foundation/random_numbers.h"

#include <cstdlib>

#include <gtest/gtest.h>

namespace {

class fresh_start_c : public testing::EmptyTestEventListener {
public:
    void OnTestStart(const testing::TestInfo&) override { RestartRandom(); }
};

} // namespace

int main(int argc, char** argv)
{
    setenv("SDL_VIDEODRIVER", "offscreen", 1);
    setenv("ALSOFT_DRIVERS", "null", 1);
    setenv("XDG_CONFIG_HOME", SKYVARN_TEST_CONFIG_HOME, 1);
    testing::InitGoogleTest(&argc, argv);
    testing::UnitTest::GetInstance()->listeners().Append(new fresh_start_c);
    return RUN_ALL_TESTS();
}
