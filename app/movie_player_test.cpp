#include "app/movie_player.h"

#include <gtest/gtest.h>

#include <SDL.h>

#include <chrono>
#include <filesystem>
#include <thread>

#include "foundation/testing/scratch_folder.h"
#include "platform/dshow/testing/movie_clip.h"

namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

// Clips are looked up in the current folder, as the program does.
class MoviePlayer : public ::testing::Test {
protected:
    void SetUp() override
    {
        _previous = fs::current_path();
        fs::current_path(_folder.GetPath());
        fs::create_directories("movies");
    }
    void TearDown() override { fs::current_path(_previous); }

    static void Clip(const char* name, i32 frames)
    {
        movie_testing::WriteClip(name, {.frames = frames, .width = 32, .height = 32, .sound = true});
    }

    scratch_folder_c _folder;
    fs::path _previous;
};

TEST_F(MoviePlayer, NoClipsMeansNoWaitingAndNoWindowLeft)
{
    movie_player_c::PlayClips(nullptr, nullptr, "movies/intro%d.avi");
    MSG m;
    EXPECT_FALSE(PeekMessage(&m, nullptr, WM_QUIT, WM_QUIT, PM_NOREMOVE));

    movie_player_c player;
    player.Init();
    ASSERT_TRUE(player.CreateWindow(nullptr, nullptr));
    player.Play("movies/intro1.avi");
    player.Close();
    EXPECT_FALSE(IsWindow(player.GetWindow())) << "the player window stayed over the screen";
}

TEST_F(MoviePlayer, ClipsPlayToTheirEndsAndDamagedOnesAreSkipped)
{
    Clip("movies/intro1.avi", 3);
    _folder.WriteFile("movies/intro2.avi", std::string("RIFF") + std::string(200, '\x07'));
    Clip("movies/intro4.avi", 2);
    movie_player_c player;
    player.Init();
    ASSERT_TRUE(player.CreateWindow(nullptr, nullptr));
    for (const char* name : {"movies/intro1.avi", "movies/intro2.avi", "movies/intro3.avi", "movies/intro4.avi"}) {
        player.Play(name);
        EXPECT_TRUE(player.IsFinished()) << name;
    }
    HWND window = player.GetWindow();
    player.Close();
    EXPECT_FALSE(IsWindow(window)) << "a finished player closes";
}

TEST_F(MoviePlayer, KeysAndClicksSkipAClip)
{
    // Ten seconds each: a skipped clip ends long before that.
    Clip("movies/long.avi", 250);
    SDL_Event key{};
    key.type = SDL_KEYDOWN;
    key.key.state = SDL_PRESSED;
    key.key.keysym.scancode = SDL_SCANCODE_SPACE;
    key.key.keysym.sym = SDLK_SPACE;
    SDL_Event click{};
    click.type = SDL_MOUSEBUTTONDOWN;
    click.button.button = SDL_BUTTON_LEFT;
    click.button.state = SDL_PRESSED;
    click.button.x = 5;
    click.button.y = 5;
    for (SDL_Event event : {key, click}) {
        movie_player_c player;
        player.Init();
        ASSERT_TRUE(player.CreateWindow(nullptr, nullptr));
        const u32 id = SDL_GetWindowID(GetSdlWindow(player.GetWindow()));
        if (event.type == SDL_KEYDOWN)
            event.key.windowID = id;
        else
            event.button.windowID = id;
        std::thread user([event]() mutable {
            std::this_thread::sleep_for(200ms);
            SDL_PushEvent(&event);
        });
        const auto start = std::chrono::steady_clock::now();
        player.Play("movies/long.avi");
        user.join();
        EXPECT_LT(std::chrono::steady_clock::now() - start, 9s) << "the clip was not skipped";
        EXPECT_TRUE(player.IsFinished());
        player.Close();
    }
}

TEST_F(MoviePlayer, ClosingThePlayerWindowDuringAClipIsRefused)
{
    movie_player_c player;
    player.Init();
    ASSERT_TRUE(player.CreateWindow(nullptr, nullptr));
    Clip("movies/intro1.avi", 2);
    // The clip has not finished before it starts: WM_CLOSE is refused then.
    player.Play("movies/none.avi");
    EXPECT_FALSE(player.IsFinished());
    EXPECT_EQ(SendMessage(player.GetWindow(), WM_CLOSE, 0, 0), 0);
    EXPECT_TRUE(IsWindow(player.GetWindow()));
    player.Play("movies/intro1.avi");
    ASSERT_TRUE(player.IsFinished());
    player.Close();
    EXPECT_FALSE(IsWindow(player.GetWindow()));
}

TEST_F(MoviePlayer, AQuitDuringAClipEndsItAndStaysQueued)
{
    Clip("movies/long.avi", 250);
    movie_player_c player;
    player.Init();
    ASSERT_TRUE(player.CreateWindow(nullptr, nullptr));
    PostQuitMessage(7);
    player.Play("movies/long.avi");
    EXPECT_TRUE(player.IsFinished());
    player.Stop();
    MSG m;
    ASSERT_TRUE(PeekMessage(&m, nullptr, 0, 0, PM_REMOVE));
    EXPECT_EQ(m.message, WM_QUIT);
    EXPECT_EQ(m.wParam, 7u);
    player.Close();
}

} // namespace
