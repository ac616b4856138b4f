#include "app/loading_screen.h"

#include <gtest/gtest.h>

#include "engine/scene.h"
#include "engine/testing/effect_fixtures.h"
#include "engine/testing/recording_renderer.h"
#include "foundation/file_error.h"
#include "foundation/memory_file.h"
#include "platform/win32/performance_counter.h"

namespace {

class LoadingScreen : public ::testing::Test {
protected:
    LoadingScreen()
    {
        scene_c scene("loading", &renderer);
        scene.Play(0.0f, 2.0f, 6.0f, false);
        output_file_c out;
        scene.Write(out);
        files.Add("data\\common\\loading\\loading.scn", out);
        AddTestPicture(files, "data\\common\\loading\\loading_3.dds");
    }
    ~LoadingScreen() override { ReplaceClock({}); }

    // The clock at a number of milliseconds.
    static void ClockAt(i64 _milliseconds)
    {
        ReplaceClock([_milliseconds] { return _milliseconds * 1000000; });
    }

    memory_file_system_c files;
    recording_renderer_c renderer{640, 480};
};

TEST_F(LoadingScreen, PictureFollowsTheMillisecondCount)
{
    loading_screen_c screen;
    // 7 ms with five pictures: the third; 12 ms: the third again.
    for (const i64 ms : {7, 12}) {
        ClockAt(ms);
        screen.Open(&renderer, "data\\common\\loading\\loading_", 5, "data\\common\\loading\\loading.scn");
        ASSERT_NE(screen.GetScene(), nullptr);
        EXPECT_NE(screen.GetScene()->GetBackgroundMap(), nullptr);
    }
    ClockAt(8);
    EXPECT_THROW(screen.Open(&renderer, "data\\common\\loading\\loading_", 5, "data\\common\\loading\\loading.scn"),
                 file_error_c)
        << "the fourth picture does not exist";
    EXPECT_THROW(screen.Open(&renderer, "data\\common\\loading\\loading_", 5, "data\\common\\loading\\none.scn"),
                 file_error_c);
}

TEST_F(LoadingScreen, DrawClearsDrawsAndPresentsOneFrame)
{
    loading_screen_c screen;
    renderer.calls.clear();
    screen.Draw(0.5f);
    EXPECT_TRUE(renderer.calls.empty()) << "nothing without an open scene";

    ClockAt(2);
    // A count of 0 counts as 1: the first picture would be needed.
    EXPECT_THROW(screen.Open(&renderer, "data\\common\\loading\\loading_", 0, "data\\common\\loading\\loading.scn"),
                 file_error_c);
    screen.Open(&renderer, "data\\common\\loading\\loading_", 3, "data\\common\\loading\\loading.scn");
    renderer.calls.clear();
    screen.Draw(0.5f);
    // The whole output first, then the frame; the scene sets its own
    // viewport as it draws.
    ASSERT_FALSE(renderer.calls.empty());
    EXPECT_EQ(renderer.calls.front().name, "SetViewportRect");
    EXPECT_EQ(renderer.calls.front().numbers, (std::vector<double>{0, 0, 640, 480}));
    std::vector<std::string> order;
    for (const recorded_call_c& call : renderer.calls)
        if (call.name == "Clear" || call.name == "BeginScene" || call.name == "EndScene" || call.name == "Present")
            order.push_back(call.name);
    EXPECT_EQ(order, (std::vector<std::string>{"Clear", "BeginScene", "EndScene", "Present"}));
    screen.Close();
    EXPECT_EQ(screen.GetScene(), nullptr);
}

} // namespace
