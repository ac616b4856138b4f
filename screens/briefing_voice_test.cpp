#include "screens/briefing_voice.h"

#include <gtest/gtest.h>

#include "screens/testing/screens_fixture.h"

namespace {

using namespace screens_testing;

class BriefingVoice : public ::testing::Test {
protected:
    silent_source_c* Source() const { return dynamic_cast<silent_source_c*>(voice.GetSource()); }

    screens_world_c world;
    briefing_voice_c voice{&world.app};
};

TEST_F(BriefingVoice, SpeaksOnceItsDelayHasPassed)
{
    voice.SetVolume(0.5f);
    voice.Play("one.ogg", 10.0f);
    voice.Update(12.0f);
    EXPECT_FALSE(voice.IsPlaying());
    voice.Update(12.05f);
    EXPECT_FALSE(voice.IsPlaying()) << "strictly after the delay";
    voice.Update(12.1f);
    ASSERT_TRUE(voice.IsPlaying());
    EXPECT_EQ(Source()->name, "one.ogg");
    EXPECT_EQ(Source()->flags, static_cast<u32>(sound_flag_volume));
    EXPECT_NEAR(Source()->decibels, GainToDecibel(0.5f), 1e-4);
    EXPECT_TRUE(Source()->playing);
}

TEST_F(BriefingVoice, ANewRequestBeforeTheDelayReplacesTheOldOneSilently)
{
    voice.Play("one.ogg", 0.0f);
    voice.Play("two.ogg", 1.0f);
    voice.Update(2.5f);
    EXPECT_FALSE(voice.IsPlaying());
    EXPECT_TRUE(world.Sound().sources.empty() || world.Sound().sources.back()->name != "one.ogg");
    voice.Update(3.1f);
    ASSERT_TRUE(voice.IsPlaying());
    EXPECT_EQ(Source()->name, "two.ogg");
    // Asking for the same file again changes nothing.
    voice.Play("two.ogg", 4.0f);
    EXPECT_TRUE(voice.IsPlaying());
}

TEST_F(BriefingVoice, ASpokenBriefingThatEndsIsForgotten)
{
    voice.Play("one.ogg", 0.0f);
    voice.Update(3.0f);
    ASSERT_TRUE(voice.IsPlaying());
    Source()->playing = false;
    voice.Update(4.0f);
    EXPECT_FALSE(voice.IsPlaying());
    EXPECT_EQ(voice.GetSource(), nullptr);
    EXPECT_TRUE(voice.GetFile().IsEmpty());
}

TEST_F(BriefingVoice, AMissingFileIsNotSpoken)
{
    world.Sound().missing.insert("gone.ogg");
    voice.Play("gone.ogg", 0.0f);
    voice.Update(3.0f);
    EXPECT_FALSE(voice.IsPlaying());
    EXPECT_TRUE(voice.GetFile().IsEmpty());
    voice.Play("", 4.0f);
    EXPECT_TRUE(voice.GetFile().IsEmpty());
}

} // namespace
