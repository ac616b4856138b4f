#include "game/birds.h"

#include "engine/scene.h"
#include "engine/testing/landscape_fixtures.h"
#include "engine/testing/recording_renderer.h"
#include "game/testing/bit_identical.h"
#include "level/testing/memory_files.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

namespace {

class BirdFlockTest : public ::testing::Test {
protected:
    void SetUp() override { files.files["crow.vob"] = Written(null_object_c("crow")); }

    memory_file_system_c files;
    recording_renderer_c renderer;
    scene_c scene{"scene", &renderer};
};

TEST_F(BirdFlockTest, BirdsFlyClonesAroundTheirHomesAndStayFinite)
{
    bird_flock_c flock;
    const vec3_c centre(100.0f, 200.0f, -50.0f);
    flock.Create(centre, "crow.vob", &scene, &renderer, 8, 30.0f, 12.0f);
    ASSERT_EQ(8u, flock.GetBirds().size());
    EXPECT_EQ(8u, scene.GetObjects().GetCount()) << "one clone each; the loaded model stays with the flock";
    for (const bird_c& bird : flock.GetBirds()) {
        EXPECT_LE(std::fabs(bird.position.x - centre.x), 30.0f);
        EXPECT_LE(std::fabs(bird.position.y - centre.y), 3.0f);
        EXPECT_NEAR(1.0f, bird.direction.Length(), 1e-5f);
        EXPECT_EQ(0.0f, bird.direction.y);
    }
    for (int frame = 1; frame <= 3000; ++frame)
        flock.Update(static_cast<f32>(frame) * 0.05f);
    for (const bird_c& bird : flock.GetBirds()) {
        EXPECT_TRUE(std::isfinite(bird.position.x) && std::isfinite(bird.position.y) && std::isfinite(bird.position.z));
        EXPECT_EQ(bird.position, bird.model->position);
        EXPECT_LT((bird.position - bird.home).Length(), 12.0f * 150.0f) << "the pull home keeps it near";
        EXPECT_NEAR(1.0f, bird.direction.Length(), 1e-4f);
        EXPECT_EQ(0.0f, bird.model->rotation.z);
    }
}

TEST_F(BirdFlockTest, AnEmptyFlockDoesNothing)
{
    bird_flock_c flock;
    flock.Create(vec3_c(), "crow.vob", &scene, &renderer, 0, 10.0f, 5.0f);
    flock.Update(1.0f);
    flock.Update(2.0f);
    EXPECT_TRUE(flock.GetBirds().empty());
    EXPECT_EQ(0u, scene.GetObjects().GetCount());
}

TEST_F(BirdFlockTest, ACountFromTheLevelIsBounded)
{
    bird_flock_c flock;
    flock.Create(vec3_c(), "crow.vob", &scene, &renderer, 1 << 30, 10.0f, 5.0f);
    EXPECT_EQ(static_cast<size_t>(bird_max_count), flock.GetBirds().size());
}

TEST_F(BirdFlockTest, SameStepsGiveBitIdenticalFlights)
{
    auto run = [this] {
        bird_flock_c flock;
        flock.Create(vec3_c(0.0f, 100.0f, 0.0f), "crow.vob", &scene, &renderer, 5, 40.0f, 8.0f);
        for (int frame = 1; frame <= 500; ++frame)
            flock.Update(static_cast<f32>(frame) * 0.033f);
        std::vector<f32> state;
        for (const bird_c& bird : flock.GetBirds())
            state.insert(state.end(), {bird.position.x, bird.position.y, bird.position.z, bird.direction.x});
        return state;
    };
    ExpectBitIdenticalRuns(run);
}

} // namespace
