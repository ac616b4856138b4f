#include "engine/anim_sprite.h"

#include "engine/sequent_map.h"
#include "engine/testing/effect_fixtures.h"
#include "engine/testing/recording_renderer.h"
#include "foundation/command.h"

#include <gtest/gtest.h>

namespace {

struct anim_fixture_c {
    memory_file_system_c files;
    recording_renderer_c renderer;

    anim_fixture_c()
    {
        for (const char* name : {"fx\\boom1.bmp", "fx\\boom2.bmp", "fx\\boom3.bmp"})
            AddTestPicture(files, name);
    }
};

const sequent_map_c* SequenceOf(const anim_sprite_c& _sprite)
{
    return dynamic_cast<const sequent_map_c*>(_sprite.GetMap());
}

} // namespace

TEST(AnimSpriteTest, FramePositionFollowsLocalTime)
{
    recording_renderer_c renderer;
    anim_sprite_c sprite("boom", &renderer);
    EXPECT_FLOAT_EQ(sprite.GetFrameRate(), 30.0f);
    EXPECT_TRUE(sprite.HasFlags(object_rendered | anim_sprite_filtering));
    EXPECT_FLOAT_EQ(sprite.Animate(2.0f), 2.0f);
    EXPECT_FLOAT_EQ(sprite.GetFramePosition(), 60.0f);
    sprite.timeOffset = 1.5f;
    EXPECT_FLOAT_EQ(sprite.Animate(2.0f), 0.5f);
    EXPECT_FLOAT_EQ(sprite.GetFramePosition(), 15.0f);

    auto camera = MakeTestCamera(vec3_c());
    sprite.position = vec3_c(0, 0, 10);
    sprite.UpdateTransform(nullptr);
    object_list_t pass0;
    object_list_t pass1;
    ASSERT_TRUE(sprite.Cull(pass0, pass1, nullptr, camera.get(), 0, 0));
    sprite.Render(0);
    const recorded_call_c* draw = renderer.FindCall("DrawAnimSprite");
    ASSERT_NE(draw, nullptr);
    EXPECT_EQ(draw->objects[0], &sprite);
    EXPECT_DOUBLE_EQ(draw->numbers[0], 15.0);
    // Always drawn with clipping.
    EXPECT_EQ(draw->numbers[1], 1.0);
}

TEST(AnimSpriteTest, MapListBuildsASequence)
{
    anim_fixture_c fixture;
    anim_sprite_c sprite("boom", &fixture.renderer);
    ASSERT_TRUE(
        sprite.SetParameter(command_c("MapList \"fx\\boom1.bmp\n  fx\\boom2.bmp\t\n\n\tfx\\boom3.bmp\" FPS=12.5")));
    const sequent_map_c* map = SequenceOf(sprite);
    ASSERT_NE(map, nullptr);
    EXPECT_EQ(map->GetFrameCount(), 3u);
    EXPECT_FLOAT_EQ(map->GetFrameRate(), 1.0f);
    EXPECT_TRUE(map->IsLooping());
    EXPECT_FALSE(map->IsBidirectional());
    EXPECT_EQ(map->GetFrameOffset(), 0);
    EXPECT_EQ(map->GetRepeat(), 0);
    EXPECT_FLOAT_EQ(sprite.GetFrameRate(), 12.5f);
    EXPECT_EQ(map->GetTexture(1.0f)->definition.imagePath, "fx\\boom2.bmp");

    ASSERT_TRUE(sprite.SetParameter(command_c("maplist \"fx\\boom3.bmp\" OFFSET=2 LOOP=0 BIDI=1")));
    map = SequenceOf(sprite);
    ASSERT_NE(map, nullptr);
    EXPECT_EQ(map->GetFrameCount(), 1u);
    EXPECT_EQ(map->GetFrameOffset(), 2);
    EXPECT_FALSE(map->IsLooping());
    EXPECT_TRUE(map->IsBidirectional());
    EXPECT_FLOAT_EQ(sprite.GetFrameRate(), 30.0f);

    // Only blank lines: no map, but the rate is taken.
    ASSERT_TRUE(sprite.SetParameter(command_c("MapList \" \n\t\n\" FPS=5")));
    EXPECT_EQ(sprite.GetMap(), nullptr);
    EXPECT_FLOAT_EQ(sprite.GetFrameRate(), 5.0f);
}

TEST(AnimSpriteTest, Keywords)
{
    recording_renderer_c renderer;
    anim_sprite_c sprite("boom", &renderer);
    EXPECT_TRUE(sprite.SetParameter(command_c("Filtering 0")));
    EXPECT_FALSE(sprite.HasFlags(anim_sprite_filtering));
    EXPECT_TRUE(sprite.SetParameter(command_c("Filtering 1")));
    EXPECT_TRUE(sprite.HasFlags(anim_sprite_filtering));
    EXPECT_TRUE(sprite.SetParameter(command_c("Additive 1")));
    EXPECT_TRUE(sprite.HasFlags(sprite_additive));
    EXPECT_TRUE(sprite.SetParameter(command_c("AlphaBlending 1")));
    EXPECT_TRUE(sprite.HasFlags(sprite_alpha_blending));
    EXPECT_TRUE(sprite.SetParameter(command_c("AlphaThreshold 3")));
    EXPECT_EQ(sprite.GetAlphaThreshold(), 1.0f);
    EXPECT_TRUE(sprite.SetParameter(command_c("ShadowCasting 1")));
    // An animated sprite takes no single image.
    EXPECT_FALSE(sprite.SetParameter(command_c("Map a.bmp")));
    EXPECT_THROW(sprite.SetParameter(command_c("MapList")), command_error_c);
    EXPECT_THROW(sprite.SetParameter(command_c("Filtering")), command_error_c);
}

TEST(AnimSpriteTest, WriteThenReadKeepsRateAndSequence)
{
    anim_fixture_c fixture;
    anim_sprite_c sprite("boom", &fixture.renderer);
    sprite.SetMapSequence({"fx\\boom1.bmp", "fx\\boom2.bmp"}, 1, 24.0f, false, true);
    sprite.SetAlphaThreshold(0.5f);
    auto object = RoundTrip(sprite, &fixture.renderer);
    auto* read = dynamic_cast<anim_sprite_c*>(object.get());
    ASSERT_NE(read, nullptr);
    EXPECT_FLOAT_EQ(read->GetFrameRate(), 24.0f);
    EXPECT_FLOAT_EQ(read->GetAlphaThreshold(), 0.01f);
    const sequent_map_c* map = SequenceOf(*read);
    ASSERT_NE(map, nullptr);
    EXPECT_EQ(map->GetFrameCount(), 2u);
    EXPECT_EQ(map->GetFrameOffset(), 1);
    EXPECT_FALSE(map->IsLooping());
    EXPECT_TRUE(map->IsBidirectional());

    std::unique_ptr<null_object_c> copy(read->Clone());
    auto* clone = dynamic_cast<anim_sprite_c*>(copy.get());
    ASSERT_NE(clone, nullptr);
    EXPECT_NE(clone->GetMap(), read->GetMap());
    EXPECT_FLOAT_EQ(clone->GetFrameRate(), 24.0f);
}
