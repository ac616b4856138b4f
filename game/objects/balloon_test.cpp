#include "game/objects/balloon.h"

#include "engine/null_object.h"
#include "game/game_world.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <memory>

namespace {

class BalloonTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        world.Init(game_world_context_c());
        node.position = vec3_c(100.0f, 150.0f, 200.0f);
        auto made = std::make_unique<game_object_balloon_c>();
        made->Init(50.0f, nullptr, &node);
        balloon = static_cast<game_object_balloon_c*>(world.AddObject(std::move(made)));
    }

    // Steps of 0.1 s from _from to _to.
    void Run(float _from, float _to)
    {
        for (float t = _from; t <= _to; t += 0.1f)
            balloon->Update(t);
    }

    null_object_c node{"balloon"};
    game_world_c world;
    game_object_balloon_c* balloon = nullptr;
};

TEST_F(BalloonTest, FloatsWithinTheNoiseAboveItsGround)
{
    EXPECT_FLOAT_EQ(balloon->heightOffset, 100.0f);
    Run(0.1f, 20.0f);
    EXPECT_FALSE(balloon->destroyed);
    EXPECT_NEAR(node.position.y, 150.0f, 40.0f);
}

TEST_F(BalloonTest, SinksFasterTheMoreItIsDamaged)
{
    balloon->TakeDamage(vec3_c(), vec3_c(), 4.0f, nullptr, 0); // 0.6
    Run(0.1f, 10.0f);
    EXPECT_NEAR(balloon->heightOffset, 100.0f - 10.0f * 0.6f, 0.2f);
    EXPECT_FALSE(balloon->destroyed);
}

TEST_F(BalloonTest, FallsWhenDestroyedAndLandsOnce)
{
    Run(0.1f, 1.0f);
    balloon->TakeDamage(vec3_c(), vec3_c(), 7.0f, nullptr, 0);
    balloon->TakeDamage(vec3_c(), vec3_c(), 7.0f, nullptr, 0);
    ASSERT_TRUE(balloon->destroyed);
    EXPECT_EQ(world.counters.balloons, 1u);
    const float before = node.position.y;
    Run(1.1f, 2.0f);
    EXPECT_LT(node.position.y, before - 5.0f);
    Run(2.1f, 60.0f);
    EXPECT_TRUE(balloon->fallen);
    EXPECT_LE(node.position.y, 51.0f);
    const vec3_c landed = node.position;
    Run(60.1f, 61.0f);
    EXPECT_EQ(node.position, landed);
    EXPECT_EQ(world.counters.balloons, 1u);
    EXPECT_TRUE(std::isfinite(node.rotation.x));
}

TEST_F(BalloonTest, SameStepsGiveBitIdenticalHeights)
{
    auto run = [] {
        null_object_c entity("balloon");
        entity.position = vec3_c(-300.0f, 80.0f, 40.0f);
        game_object_balloon_c b;
        b.Init(20.0f, nullptr, &entity);
        b.TakeDamage(vec3_c(), vec3_c(), 3.0f, nullptr, 0);
        for (int i = 1; i <= 500; ++i)
            b.Update(i * 0.033f);
        return entity.position.y;
    };
    const float first = run();
    const float second = run();
    EXPECT_EQ(std::memcmp(&first, &second, sizeof(float)), 0);
}

} // namespace
