#include "screens/menu_music.h"

#include <gtest/gtest.h>

#include "screens/testing/screens_fixture.h"

namespace {

using namespace screens_testing;

class MenuMusic : public ::testing::Test {
protected:
    MenuMusic()
    {
        music.AddMusic("Main", "main.ogg");
        music.AddMusic("Career", "career.ogg");
        music.AddMusic("Multi", "multi.ogg");
    }

    silent_source_c& Track(const char* _name) const { return dynamic_cast<silent_source_c&>(*music.FindTrack(_name)); }

    screens_world_c world;
    menu_music_c music{&world.app};
};

TEST_F(MenuMusic, TracksAreLoopingStreamsWithVolumeControl)
{
    const silent_source_c& main = Track("main");
    EXPECT_EQ(main.name, "main.ogg");
    EXPECT_TRUE(main.looping);
    EXPECT_EQ(main.flags, static_cast<u32>(sound_flag_refill_thread | sound_flag_volume));
}

TEST_F(MenuMusic, PlayMusicStartsOneTrackAtOnce)
{
    music.PlayMusic("Career");
    EXPECT_TRUE(Track("Career").playing);
    EXPECT_EQ(Track("Career").decibels, 0.0f);
    EXPECT_FALSE(Track("Main").playing);
    EXPECT_EQ(Track("Main").decibels, -100.0f);
    EXPECT_STREQ(music.GetCurrent(), "Career");
}

TEST_F(MenuMusic, ACrossFadeTakesTheOldTrackOutThenBringsTheNewOneIn)
{
    music.PlayMusic("Main");
    music.SwitchMusic("Career", 10.0f, 2.5f);
    EXPECT_EQ(music.GetSwitchState(), menu_music_c::switch_cross);
    EXPECT_TRUE(Track("Career").playing);
    struct step_s {
        f32 now;
        f32 main;
        f32 career;
    };
    // The first 1.25 s: "Main" falls; the next 1.25 s: "Career" rises.
    for (const step_s& step : {step_s{10.5f, 0.6f, 0.0f}, {11.25f, 0.0f, 0.0f}, {11.875f, 0.0f, 0.5f}}) {
        music.Update(step.now);
        EXPECT_NEAR(Track("Main").decibels, GainToDecibel(step.main), 1e-3) << step.now;
        EXPECT_NEAR(Track("Career").decibels, GainToDecibel(step.career), 1e-3) << step.now;
    }
    EXPECT_TRUE(Track("Main").playing);
    music.Update(12.5f);
    EXPECT_FALSE(Track("Main").playing);
    EXPECT_STREQ(music.GetCurrent(), "Career");
    EXPECT_EQ(music.GetSwitchState(), menu_music_c::switch_steady);
}

TEST_F(MenuMusic, TheMusicVolumeScalesTheFinishedTrack)
{
    music.PlayMusic("Main");
    music.SetVolume(0.5f);
    music.SwitchMusic("Career", 0.0f, 2.5f);
    music.Update(3.0f);
    music.Update(4.0f);
    EXPECT_NEAR(Track("Career").decibels, -6.0206f, 1e-3);
    EXPECT_FALSE(Track("Main").playing);
}

TEST_F(MenuMusic, ASwitchDuringASwitchStopsAllAndFadesTheNewTrackIn)
{
    music.PlayMusic("Main");
    music.SwitchMusic("Career", 0.0f, 2.5f);
    music.SwitchMusic("Multi", 1.0f, 2.5f);
    EXPECT_EQ(music.GetSwitchState(), menu_music_c::switch_fade_in);
    EXPECT_FALSE(Track("Main").playing);
    EXPECT_FALSE(Track("Career").playing);
    music.Update(2.25f);
    EXPECT_NEAR(Track("Multi").decibels, GainToDecibel(0.5f), 1e-3);
    music.Update(3.5f);
    EXPECT_STREQ(music.GetCurrent(), "Multi");
}

TEST_F(MenuMusic, SwitchingToThePlayingTrackLeavesItPlaying)
{
    music.PlayMusic("Main");
    music.Update(1.0f);
    const int plays = Track("Main").plays;
    music.SwitchMusic("main", 2.0f, 2.5f);
    EXPECT_EQ(music.GetSwitchState(), menu_music_c::switch_steady);
    music.Update(3.0f);
    EXPECT_EQ(Track("Main").plays, plays);
    EXPECT_EQ(Track("Main").decibels, 0.0f);
}

TEST_F(MenuMusic, SwitchingToNothingFadesOutAndStops)
{
    music.PlayMusic("Main");
    music.SwitchMusic("", 0.0f, 2.0f);
    EXPECT_EQ(music.GetSwitchState(), menu_music_c::switch_fade_out);
    music.Update(1.0f);
    EXPECT_NEAR(Track("Main").decibels, GainToDecibel(0.5f), 1e-3);
    music.Update(2.5f);
    EXPECT_FALSE(Track("Main").playing);
    EXPECT_TRUE(music.GetCurrent().IsEmpty());
}

TEST_F(MenuMusic, AFadeRunsToItsEndBeforeAnotherStarts)
{
    music.PlayMusic("Main");
    music.FadeTo(0.12f, 1.0f, 0.0f);
    music.FadeTo(1.0f, 1.0f, 0.5f);
    music.Update(0.5f);
    EXPECT_NEAR(music.GetGain(), 0.56f, 1e-5);
    music.Update(1.5f);
    EXPECT_FLOAT_EQ(music.GetGain(), 0.12f);
    EXPECT_FALSE(music.IsFading());
    EXPECT_NEAR(Track("Main").decibels, GainToDecibel(0.12f), 1e-3);
    music.FadeTo(0.12f, 1.0f, 2.0f);
    EXPECT_FALSE(music.IsFading()) << "already there";
}

TEST_F(MenuMusic, AMissingFileLeavesItsNameSilent)
{
    world.Sound().missing.insert("gone.ogg");
    music.AddMusic("Gone", "gone.ogg");
    EXPECT_EQ(music.FindTrack("Gone"), nullptr);
    music.PlayMusic("Gone");
    music.Update(1.0f);
    EXPECT_FALSE(Track("Main").playing);
}

} // namespace
