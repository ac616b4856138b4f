// Entry point of every test program: tests run without a display, a sound
// card or the user's own settings, whatever the calling shell has set.
#include <cstdlib>

#include <gtest/gtest.h>

int main(int argc, char** argv)
{
    setenv("SDL_VIDEODRIVER", "offscreen", 1);
    setenv("ALSOFT_DRIVERS", "null", 1);
    setenv("XDG_CONFIG_HOME", SKYVARN_TEST_CONFIG_HOME, 1);
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
