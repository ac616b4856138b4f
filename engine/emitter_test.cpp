#include "engine/emitter.h"

#include "engine/aabb.h"
#include "engine/effect_maps.h"
#include "engine/object_chunk.h"
#include "engine/sequent_map.h"
#include "engine/testing/effect_fixtures.h"
#include "engine/testing/recording_renderer.h"
#include "foundation/command.h"
#include "foundation/file_error.h"
#include "foundation/random_numbers.h"

#include <gtest/gtest.h>

#include <bit>
#include <cfloat>
#include <algorithm>
#include <cmath>
#include <cstring>
#include <vector>

namespace {

// One particle as its four vertices carry it.
struct particle_s {
    vec3_c position;
    vec3_c velocity;
    float birth;
    float lifetime;
};

particle_s ParticleOf(const emitter_c& _emitter, u32 _index)
{
    const vertex_c& v = _emitter.GetParticles()->GetSet().vertices[4 * _index];
    return {v.position, v.normal, v.texCoords[1][0], v.texCoords[1][1]};
}

struct emitter_scene_c {
    recording_renderer_c renderer;
    emitter_c emitter{"smoke", &renderer};
    std::unique_ptr<camera_c> camera = MakeTestCamera(vec3_c(0, 0, -50));
    random_c random;
    object_list_t pass0;
    object_list_t pass1;

    explicit emitter_scene_c(u32 _seed = 1234)
    {
        random.SetSeed(_seed);
        emitter.SetRandomSource(&random);
    }

    // Animate and place at _time, then cull.
    bool Tick(float _time)
    {
        pass0.clear();
        pass1.clear();
        emitter.Animate(_time);
        emitter.UpdateTransform(nullptr);
        return emitter.Cull(pass0, pass1, nullptr, camera.get(), 0, 0);
    }

    u32 Updates() const
    {
        return static_cast<const recording_geometry_c*>(emitter.GetParticles()->GetGeometry())->updateCount;
    }
};

} // namespace

TEST(EmitterTest, Defaults)
{
    recording_renderer_c renderer;
    emitter_c emitter("e", &renderer);
    EXPECT_EQ(emitter.GetFlags(), 0xA015u);
    EXPECT_FLOAT_EQ(emitter.GetEmissionInterval(), 0.1f);
    EXPECT_EQ(emitter.GetParticleCount(), 0u);
    EXPECT_FLOAT_EQ(emitter.GetBirthSize(), 1.0f);
    EXPECT_FLOAT_EQ(emitter.GetDeathColor().y, 1.0f);
    // No particles: never queued.
    auto camera = MakeTestCamera(vec3_c(0, 0, -10));
    object_list_t pass0;
    object_list_t pass1;
    emitter.UpdateTransform(nullptr);
    EXPECT_FALSE(emitter.Cull(pass0, pass1, nullptr, camera.get(), 0, 0));
    EXPECT_EQ(emitter.GetParticles(), nullptr);
}

TEST(EmitterTest, ModesAndShapesStayExclusive)
{
    recording_renderer_c renderer;
    emitter_c emitter("e", &renderer);
    emitter.SetEmissionMode(emitter_eruption | emitter_explosion);
    EXPECT_TRUE(emitter.HasFlags(emitter_eruption));
    EXPECT_FALSE(emitter.HasFlags(emitter_explosion));
    emitter.SetEmissionMode(emitter_explosion);
    EXPECT_EQ(emitter.GetFlags() & 0x6000u, emitter_explosion);
    emitter.SetEmissionMode(0);
    EXPECT_EQ(emitter.GetFlags() & 0x6000u, emitter_eruption);
    emitter.ClearFlags(emitter_disc | emitter_circle);
    EXPECT_EQ(emitter.GetFlags() & 0x18000u, emitter_disc);
    emitter.SetShape(emitter_circle);
    EXPECT_EQ(emitter.GetFlags() & 0x18000u, emitter_circle);
    emitter.SetFlags(emitter_disc);
    EXPECT_EQ(emitter.GetFlags() & 0x18000u, emitter_disc);
    emitter.ClearFlags(emitter_eruption);
    EXPECT_TRUE(emitter.HasFlags(emitter_eruption));
}

TEST(EmitterTest, Keywords)
{
    recording_renderer_c renderer;
    emitter_c emitter("e", &renderer);
    EXPECT_TRUE(emitter.SetParameter(command_c("Explosion")));
    EXPECT_TRUE(emitter.HasFlags(emitter_explosion));
    EXPECT_TRUE(emitter.SetParameter(command_c("Eruption")));
    EXPECT_TRUE(emitter.HasFlags(emitter_eruption));
    EXPECT_FLOAT_EQ(emitter.GetEmissionInterval(), 0.1f);
    EXPECT_TRUE(emitter.SetParameter(command_c("Eruption FREQUENCY=100")));
    EXPECT_FLOAT_EQ(emitter.GetEmissionInterval(), 1.0f / 30.0f);
    EXPECT_TRUE(emitter.SetParameter(command_c("eruption F=4")));
    EXPECT_FLOAT_EQ(emitter.GetEmissionInterval(), 0.25f);
    EXPECT_TRUE(emitter.SetParameter(command_c("Eruption F=0")));
    EXPECT_FLOAT_EQ(emitter.GetEmissionInterval(), 1.0f / FLT_EPSILON);

    EXPECT_TRUE(emitter.SetParameter(command_c("Circle R=3")));
    EXPECT_TRUE(emitter.HasFlags(emitter_circle));
    EXPECT_FLOAT_EQ(emitter.GetRadius(), 3.0f);
    EXPECT_TRUE(emitter.SetParameter(command_c("Disc RADIUS=-2")));
    EXPECT_TRUE(emitter.HasFlags(emitter_disc));
    EXPECT_EQ(emitter.GetRadius(), 0.0f);

    EXPECT_TRUE(emitter.SetParameter(command_c("ParticleSize 2 END=0")));
    EXPECT_FLOAT_EQ(emitter.GetBirthSize(), 2.0f);
    EXPECT_EQ(emitter.GetDeathSize(), 0.0f);
    EXPECT_TRUE(emitter.SetParameter(command_c("ParticleSize -1")));
    EXPECT_EQ(emitter.GetBirthSize(), 0.0f);
    EXPECT_EQ(emitter.GetDeathSize(), 0.0f);
    EXPECT_TRUE(emitter.SetParameter(command_c("ParticleSize")));
    EXPECT_FLOAT_EQ(emitter.GetBirthSize(), 1.0f);

    EXPECT_TRUE(emitter.SetParameter(command_c("ParticleColor \"255 0 0\" END=\"0 0 1\"")));
    EXPECT_FLOAT_EQ(emitter.GetBirthColor().x, 1.0f);
    EXPECT_FLOAT_EQ(emitter.GetDeathColor().z, 1.0f);
    EXPECT_EQ(emitter.GetDeathColor().x, 0.0f);

    EXPECT_TRUE(emitter.SetParameter(command_c("Angle 90")));
    EXPECT_FLOAT_EQ(emitter.GetAngleMinimum(), 1.5707964f);
    EXPECT_FLOAT_EQ(emitter.GetAngleMaximum(), 1.5707964f);
    EXPECT_TRUE(emitter.SetParameter(command_c("Velocity 4 MAX=9")));
    EXPECT_FLOAT_EQ(emitter.GetSpeedMinimum(), 4.0f);
    EXPECT_FLOAT_EQ(emitter.GetSpeedMaximum(), 9.0f);
    EXPECT_TRUE(emitter.SetParameter(command_c("Lifetime MINIMUM=1 MAXIMUM=3")));
    EXPECT_FLOAT_EQ(emitter.GetLifetimeMinimum(), 1.0f);
    EXPECT_FLOAT_EQ(emitter.GetLifetimeMaximum(), 3.0f);
    EXPECT_TRUE(emitter.SetParameter(command_c("Gravity \"0 -9.81 0\"")));
    EXPECT_FLOAT_EQ(emitter.GetGravity().y, -9.81f);
    EXPECT_TRUE(emitter.SetParameter(command_c("Additive 1")));
    EXPECT_TRUE(emitter.HasFlags(emitter_additive));

    EXPECT_TRUE(emitter.SetParameter(command_c("Particles 12")));
    EXPECT_EQ(emitter.GetParticleCount(), 12u);
    EXPECT_TRUE(emitter.HasFlags(emitter_pool_dirty));
    EXPECT_TRUE(emitter.SetParameter(command_c("Particles -1")));
    EXPECT_EQ(emitter.GetParticleCount(), 0u);
    EXPECT_TRUE(emitter.SetParameter(command_c("Particles 99999999")));
    EXPECT_EQ(emitter.GetParticleCount(), emitter_c::max_particles);
    EXPECT_FALSE(emitter.SetParameter(command_c("Segments 3")));
    for (const char* line : {"Disc", "Circle", "Particles", "Map", "MapList", "Additive", "Gravity"})
        EXPECT_THROW(emitter.SetParameter(command_c(line)), command_error_c) << line;
}

TEST(EmitterTest, MapListOfBlankLinesKeepsTheMap)
{
    memory_file_system_c files;
    AddTestPicture(files, "fx\\s1.bmp");
    AddTestPicture(files, "fx\\s2.bmp");
    recording_renderer_c renderer;
    emitter_c emitter("e", &renderer);
    // No map to keep: nothing happens.
    EXPECT_TRUE(emitter.SetParameter(command_c("MapList \"\n  \n\t\"")));
    EXPECT_EQ(emitter.GetMap(), nullptr);
    EXPECT_TRUE(emitter.SetParameter(command_c("MapList \"fx\\s1.bmp\nfx\\s2.bmp\" FPS=10 BIDI=1")));
    auto* sequence = dynamic_cast<sequent_map_c*>(emitter.GetMap());
    ASSERT_NE(sequence, nullptr);
    EXPECT_EQ(sequence->GetFrameCount(), 2u);
    EXPECT_FLOAT_EQ(sequence->GetFrameRate(), 10.0f);
    EXPECT_TRUE(sequence->IsBidirectional());
    EXPECT_EQ(sequence->GetRepeat(), 0);
    EXPECT_TRUE(emitter.SetParameter(command_c("MapList \" \"")));
    EXPECT_EQ(emitter.GetMap(), sequence);
    EXPECT_TRUE(emitter.SetParameter(command_c("Map fx\\s1.bmp")));
    EXPECT_EQ(emitter.GetMap()->GetFrameCount(), 1u);
}

TEST(EmitterTest, PoolIsBuiltOnceForACount)
{
    emitter_scene_c scene;
    scene.emitter.SetParticleCount(3);
    scene.emitter.SetLifetime(1, 1);
    ASSERT_TRUE(scene.Tick(0));
    const effect_geometry_c* pool = scene.emitter.GetParticles();
    ASSERT_NE(pool, nullptr);
    const geometry_def_c& definition = pool->GetDefinition();
    EXPECT_EQ(definition.name, "smoke");
    EXPECT_EQ(definition.format.hasPosition, 1);
    EXPECT_EQ(definition.format.hasNormal, 1);
    EXPECT_EQ(definition.format.texCoordSetCount, 2u);
    EXPECT_EQ(definition.format.hasDiffuse, 0);
    EXPECT_EQ(definition.privateGeometry, 1);
    EXPECT_EQ(definition.needsVertexShader, 1);
    const primitive_set_c& set = pool->GetSet();
    ASSERT_EQ(set.vertices.size(), 12u);
    const std::vector<u32> second = {4, 5, 6, 6, 7, 4};
    EXPECT_EQ(std::vector<u32>(set.indices.begin() + 6, set.indices.begin() + 12), second);
    const float corners[4][2] = {{0, 0}, {1, 0}, {1, 1}, {0, 1}};
    for (u32 i = 0; i < 4; ++i) {
        EXPECT_EQ(set.vertices[8 + i].texCoords[0][0], corners[i][0]);
        EXPECT_EQ(set.vertices[8 + i].texCoords[0][1], corners[i][1]);
    }
    EXPECT_FALSE(scene.emitter.HasFlags(emitter_pool_dirty));
    scene.emitter.SetParticleCount(3);
    EXPECT_FALSE(scene.emitter.HasFlags(emitter_pool_dirty));
    scene.Tick(0.01f);
    EXPECT_EQ(scene.emitter.GetParticles(), pool);
    scene.emitter.SetParticleCount(100000);
    EXPECT_EQ(scene.emitter.GetParticleCount(), emitter_c::max_particles);
}

TEST(EmitterTest, SeededPositionsAndVelocities)
{
    emitter_scene_c scene(777);
    emitter_c& emitter = scene.emitter;
    emitter.position = vec3_c(2, 3, 4);
    emitter.rotation = vec3_c(0.4f, -0.3f, 0.2f);
    emitter.SetShape(emitter_circle);
    emitter.SetRadius(2.0f);
    emitter.SetAngle(1.5707964f, 1.5707964f);
    emitter.SetSpeed(5.0f, 5.0f);
    emitter.SetLifetime(2.0f, 2.0f);
    emitter.SetParticleCount(6);
    ASSERT_TRUE(scene.Tick(0));

    const mat3_c turn = emitter.GetMatrix().GetRotation();
    vec3_c axis = vec3_c(0, 0, 1) * turn;
    axis.NormalizeSelf();
    const vec3_c origin(2, 3, 4);
    for (u32 k = 0; k < 6; ++k) {
        const particle_s p = ParticleOf(emitter, k);
        // On the circle around the emitter, in the plane across its z axis ...
        EXPECT_NEAR((p.position - origin).Length(), 2.0f, 1e-4f) << k;
        EXPECT_NEAR(Dot(p.position - origin, axis), 0.0f, 1e-4f) << k;
        // ... leaving at 45 degrees from that axis at speed 5.
        EXPECT_NEAR(p.velocity.Length(), 5.0f, 1e-3f) << k;
        EXPECT_NEAR(Dot(p.velocity, axis), 5.0f * 0.70710678f, 1e-3f) << k;
        EXPECT_FLOAT_EQ(p.lifetime, 2.0f);
        // Births spread over a whole lifetime before the first emission.
        EXPECT_GE(p.birth, -2.0f);
        EXPECT_LT(p.birth, 0.0f);
    }

    // The same draws, in the documented order, give the first particle.
    random_c replica;
    replica.SetSeed(777);
    vec3_c d(1, 0, 0);
    d.Rotate(2, replica.Float(0, 6.2831855f));
    d = d * turn;
    d.NormalizeSelf();
    vec3_c direction(0, 0, 1);
    direction.Rotate(0, replica.Float(0.7853982f, 0.7853982f));
    direction.Rotate(2, replica.Float(0, 6.2831855f));
    direction = direction * turn;
    direction.NormalizeSelf();
    const float speed = replica.Float(5, 5);
    const float lifetime = replica.Float(2, 2);
    const float birth = replica.Float(0 - lifetime, 0);
    const particle_s first = ParticleOf(emitter, 0);
    const vec3_c expected = origin + d * 2.0f;
    EXPECT_NEAR(first.position.x, expected.x, 1e-5f);
    EXPECT_NEAR(first.position.y, expected.y, 1e-5f);
    EXPECT_NEAR(first.position.z, expected.z, 1e-5f);
    EXPECT_NEAR(first.velocity.x, direction.x * speed, 1e-5f);
    EXPECT_NEAR(first.velocity.z, direction.z * speed, 1e-5f);
    EXPECT_FLOAT_EQ(first.birth, birth);

    // Where the renderer puts a particle after a known time: straight on
    // from its birth position (no gravity here).
    const float t = 0.5f;
    const vec3_c at = first.position + first.velocity * (t - first.birth);
    EXPECT_NEAR((at - first.position).Length(), 5.0f * (t - first.birth), 1e-3f);
}

TEST(EmitterTest, DiscSpawnsWithinTheRadius)
{
    emitter_scene_c scene(99);
    scene.emitter.SetRadius(3.0f);
    scene.emitter.SetParticleCount(50);
    scene.emitter.SetLifetime(1, 1);
    ASSERT_TRUE(scene.Tick(0));
    float farthest = 0.0f;
    for (u32 k = 0; k < 50; ++k) {
        const particle_s p = ParticleOf(scene.emitter, k);
        EXPECT_LE(p.position.Length(), 3.0f + 1e-4f);
        EXPECT_NEAR(p.position.z, 0.0f, 1e-5f);
        farthest = std::max(farthest, p.position.Length());
        // No cone and no speed: particles stand still.
        EXPECT_EQ(p.velocity.Length(), 0.0f);
    }
    EXPECT_GT(farthest, 1.5f);
}

TEST(EmitterTest, EruptionRefillsExpiredParticles)
{
    emitter_scene_c scene;
    scene.emitter.SetLifetime(1.0f, 1.0f);
    scene.emitter.SetParticleCount(40);
    ASSERT_TRUE(scene.Tick(0));
    EXPECT_EQ(scene.Updates(), 2u);
    for (u32 k = 0; k < 40; ++k) {
        const float birth = ParticleOf(scene.emitter, k).birth;
        EXPECT_GE(birth, -1.0f);
        EXPECT_LT(birth, 0.0f);
    }
    // Less than an interval later nothing is emitted.
    scene.Tick(0.05f);
    EXPECT_EQ(scene.Updates(), 2u);

    std::vector<float> before;
    for (u32 k = 0; k < 40; ++k)
        before.push_back(ParticleOf(scene.emitter, k).birth);
    scene.Tick(0.35f);
    EXPECT_EQ(scene.Updates(), 3u);
    u32 respawned = 0;
    for (u32 k = 0; k < 40; ++k) {
        const float birth = ParticleOf(scene.emitter, k).birth;
        if (before[k] + 1.0f <= 0.35f) {
            // Refilled over the last whole interval: [0.2, 0.3).
            EXPECT_GE(birth, 0.2f - 1e-5f) << k;
            EXPECT_LT(birth, 0.3f + 1e-5f) << k;
            ++respawned;
        } else {
            EXPECT_EQ(birth, before[k]) << k;
        }
    }
    EXPECT_GT(respawned, 0u);
    EXPECT_FLOAT_EQ(scene.emitter.GetEmitterTime(), 0.35f);
    EXPECT_EQ(scene.pass1.size(), 1u);
    EXPECT_TRUE(scene.pass0.empty());
}

TEST(EmitterTest, RewindSpreadsBirthsOverALifetimeAgain)
{
    emitter_scene_c scene;
    scene.emitter.SetLifetime(1.0f, 1.0f);
    scene.emitter.SetParticleCount(30);
    scene.Tick(0);
    scene.Tick(2.0f);
    // Local time runs backwards: the emitter's own clock stays at 2.
    scene.Tick(0.5f);
    EXPECT_FLOAT_EQ(scene.emitter.GetEmitterTime(), 2.0f);
    scene.Tick(0.6f);
    EXPECT_NEAR(scene.emitter.GetEmitterTime(), 2.1f, 1e-5f);
    bool spread = false;
    for (u32 k = 0; k < 30; ++k) {
        const float birth = ParticleOf(scene.emitter, k).birth;
        EXPECT_LE(birth, 2.1f);
        if (birth < 2.0f)
            spread = true;
    }
    EXPECT_TRUE(spread);
}

TEST(EmitterTest, ExplosionBurstsEveryLifetime)
{
    emitter_scene_c scene;
    scene.emitter.SetEmissionMode(emitter_explosion);
    scene.emitter.SetLifetime(0.5f, 1.0f);
    scene.emitter.SetParticleCount(4);
    const struct {
        float time;
        float burst;
        u32 updates;
    } steps[] = {{0.0f, 0.0f, 2}, {0.5f, 0.0f, 2}, {0.99f, 0.0f, 2}, {1.0f, 1.0f, 3}, {2.3f, 2.0f, 4}, {2.9f, 2.0f, 4}};
    for (const auto& step : steps) {
        scene.Tick(step.time);
        EXPECT_EQ(scene.Updates(), step.updates) << step.time;
        for (u32 k = 0; k < 4; ++k) {
            const particle_s p = ParticleOf(scene.emitter, k);
            EXPECT_NEAR(p.birth, step.burst, 1e-5f) << step.time;
            EXPECT_GE(p.lifetime, 0.5f);
            EXPECT_LT(p.lifetime, 1.0f);
        }
    }
}

TEST(EmitterTest, ExplosionWithoutLifetimeStillBursts)
{
    emitter_scene_c scene;
    scene.emitter.SetParameter(command_c("Explosion"));
    scene.emitter.SetParameter(command_c("Lifetime 0"));
    scene.emitter.SetParticleCount(2);
    for (float time : {0.0f, 0.1f, 0.2f}) {
        scene.Tick(time);
        const float birth = ParticleOf(scene.emitter, 0).birth;
        EXPECT_FALSE(std::isnan(birth));
        EXPECT_NEAR(birth, time, 1e-6f);
    }
    EXPECT_EQ(scene.Updates(), 4u);
}

TEST(EmitterTest, BoundsHoldFallingAndFarParticles)
{
    emitter_scene_c scene;
    scene.emitter.SetGravity(vec3_c(0, -9.81f, 0));
    scene.emitter.SetLifetime(2.0f, 2.0f);
    scene.emitter.SetParticleSize(1.0f, 3.0f);
    aabb_c box;
    scene.emitter.GetBoundingBox(box);
    // A particle falls 0.5 x 9.81 x 2^2 before it dies.
    EXPECT_GE(-box.min.y, 19.62f + 1.5f - 1e-3f);
    EXPECT_FLOAT_EQ(box.max.x, -box.min.x);

    scene.emitter.SetGravity(vec3_c());
    scene.emitter.SetSpeed(-4.0f, 1.0f);
    scene.emitter.SetRadius(5.0f);
    scene.emitter.GetBoundingBox(box);
    EXPECT_NEAR(box.max.x, 4.0f * 2.0f + 1.5f + 5.0f, 1e-4f);

    // Bounds live in the emitter's space, particles in the world's.
    scene.emitter.scale = vec3_c(0.5f, 0.5f, 0.5f);
    scene.emitter.UpdateTransform(nullptr);
    scene.emitter.GetBoundingBox(box);
    EXPECT_NEAR(box.max.x, 2.0f * (4.0f * 2.0f + 1.5f + 5.0f), 1e-3f);
}

TEST(EmitterTest, SpeedTrackingGrowsTheBounds)
{
    emitter_scene_c scene;
    scene.emitter.SetLifetime(1.0f, 1.0f);
    scene.emitter.SetParticleSize(0.0f, 0.0f);
    scene.emitter.SetParticleCount(1);
    scene.Tick(0);
    scene.emitter.position = vec3_c(10, 0, 0);
    scene.Tick(0.5f);
    EXPECT_FLOAT_EQ(scene.emitter.GetGreatestSpeed(), 20.0f);
    scene.emitter.position = vec3_c(11, 0, 0);
    scene.Tick(1.0f);
    EXPECT_FLOAT_EQ(scene.emitter.GetGreatestSpeed(), 20.0f);
    EXPECT_FLOAT_EQ(aabb_c(scene.emitter.GetBoundingVolume()).max.x, 20.0f);
}

TEST(EmitterTest, RenderAndBoundsGoToTheRenderer)
{
    emitter_scene_c scene;
    scene.emitter.SetParticleCount(2);
    scene.emitter.SetLifetime(1, 1);
    scene.Tick(0.75f);
    scene.renderer.ClearCalls();
    scene.emitter.Render(1);
    scene.emitter.DrawBounds();
    const recorded_call_c* draw = scene.renderer.FindCall("DrawParticles");
    ASSERT_NE(draw, nullptr);
    EXPECT_EQ(draw->objects[0], &scene.emitter);
    EXPECT_DOUBLE_EQ(draw->numbers[0], 0.75);
    EXPECT_NE(scene.renderer.FindCall("DrawBox"), nullptr);
    // Behind the camera: not queued.
    emitter_scene_c behind;
    behind.emitter.SetParticleCount(2);
    behind.emitter.SetLifetime(1, 1);
    behind.emitter.position = vec3_c(0, 0, -500);
    EXPECT_FALSE(behind.Tick(0.0f));
    EXPECT_TRUE(behind.pass1.empty());
}

TEST(EmitterTest, WriteThenRead)
{
    memory_file_system_c files;
    AddTestPicture(files, "fx\\smoke.bmp");
    recording_renderer_c renderer;
    emitter_c emitter("smoke", &renderer);
    emitter.SetEmissionMode(emitter_explosion);
    emitter.SetShape(emitter_circle);
    emitter.SetParticleCount(7);
    emitter.SetParticleSize(2, 5);
    emitter.SetSpeed(1, 2);
    emitter.SetAngle(0.1f, 0.2f);
    emitter.SetLifetime(3, 4);
    emitter.SetGravity(vec3_c(0.5f, -1, 2));
    emitter.SetRadius(6);
    emitter.SetFrequency(20);
    emitter.SetMap("fx\\smoke.bmp");

    auto object = RoundTrip(emitter, &renderer);
    auto* read = dynamic_cast<emitter_c*>(object.get());
    ASSERT_NE(read, nullptr);
    EXPECT_EQ(read->GetName(), "smoke");
    EXPECT_EQ(read->GetFlags(), emitter.GetFlags() | emitter_pool_dirty);
    EXPECT_EQ(read->GetParticleCount(), 7u);
    EXPECT_FLOAT_EQ(read->GetBirthSize(), 2);
    EXPECT_FLOAT_EQ(read->GetDeathSize(), 5);
    EXPECT_FLOAT_EQ(read->GetSpeedMinimum(), 1);
    EXPECT_FLOAT_EQ(read->GetSpeedMaximum(), 2);
    EXPECT_FLOAT_EQ(read->GetAngleMinimum(), 0.1f);
    EXPECT_FLOAT_EQ(read->GetAngleMaximum(), 0.2f);
    EXPECT_FLOAT_EQ(read->GetLifetimeMinimum(), 3);
    EXPECT_FLOAT_EQ(read->GetLifetimeMaximum(), 4);
    EXPECT_FLOAT_EQ(read->GetGravity().z, 2);
    EXPECT_FLOAT_EQ(read->GetRadius(), 6);
    EXPECT_EQ(read->GetEmissionInterval(), emitter.GetEmissionInterval());
    ASSERT_NE(read->GetMap(), nullptr);
    EXPECT_EQ(read->GetMap()->GetTexture(0), emitter.GetMap()->GetTexture(0));

    std::unique_ptr<null_object_c> copy(read->Clone());
    EXPECT_EQ(dynamic_cast<emitter_c*>(copy.get())->GetParticleCount(), 7u);
}

namespace {

// An "EMIT" chunk of a plain emitter with the particle count and the
// thirteen floats replaced.
std::vector<u8> EmitterChunk(u32 _count, const float (&_values)[13])
{
    recording_renderer_c renderer;
    emitter_c plain("bad", &renderer);
    std::vector<u8> body = BodyBytes(plain, MakeTag("EMIT"), emitter_c::version);
    const size_t start = body.size() - 14 * 4;
    std::memcpy(&body[start], &_count, 4);
    for (int i = 0; i < 13; ++i) {
        const u32 bits = std::bit_cast<u32>(_values[i]);
        std::memcpy(&body[start + 4 + 4 * i], &bits, 4);
    }
    return ChunkBytes(MakeTag("EMIT"), emitter_c::version, body);
}

} // namespace

TEST(EmitterTest, ReadBringsStoredValuesInsideTheLimits)
{
    recording_renderer_c renderer;
    const float nan = std::nanf("");
    const float values[13] = {-1, nan, 1, 2, 0, 0, 0, 0, 0, INFINITY, 0, -5, 0};
    const std::vector<u8> chunk = EmitterChunk(3, values);
    input_file_c in(chunk.data(), static_cast<u32>(chunk.size()));
    std::unique_ptr<emitter_c> read(emitter_c::Read(in, &renderer));
    ASSERT_NE(read, nullptr);
    EXPECT_EQ(read->GetBirthSize(), 0.0f);
    EXPECT_EQ(read->GetDeathSize(), 0.0f);
    EXPECT_EQ(read->GetGravity().y, 0.0f);
    EXPECT_EQ(read->GetRadius(), 0.0f);
    // A stored interval of 0 would stop emission for good.
    EXPECT_FLOAT_EQ(read->GetEmissionInterval(), 1.0f / 30.0f);

    // It emits, and keeps emitting.
    auto camera = MakeTestCamera(vec3_c(0, 0, -10));
    object_list_t pass0;
    object_list_t pass1;
    for (float time : {0.0f, 0.5f, 1.0f}) {
        read->Animate(time);
        read->UpdateTransform(nullptr);
        ASSERT_TRUE(read->Cull(pass0, pass1, nullptr, camera.get(), 0, 0));
        EXPECT_NEAR(ParticleOf(*read, 0).birth, time, 1.0f / 30.0f + 1e-5f);
    }
}

TEST(EmitterTest, ParticleCountsNothingCanHoldAreRefused)
{
    recording_renderer_c renderer;
    const float values[13] = {1, 1, 0, 0, 0, 0, 0, 1, 0, 0, 0, 0, 0.1f};
    for (u32 count : {emitter_c::max_particles + 1, 0xFFFFFFFFu}) {
        const std::vector<u8> chunk = EmitterChunk(count, values);
        input_file_c in(chunk.data(), static_cast<u32>(chunk.size()));
        try {
            delete emitter_c::Read(in, &renderer);
            ADD_FAILURE() << count;
        } catch (const file_error_c& error) {
            EXPECT_STREQ(error.what(), "Particle count out of range!");
        }
    }
    const std::vector<u8> chunk = EmitterChunk(emitter_c::max_particles, values);
    input_file_c in(chunk.data(), static_cast<u32>(chunk.size()));
    std::unique_ptr<emitter_c> read(emitter_c::Read(in, &renderer));
    ASSERT_NE(read, nullptr);
    EXPECT_EQ(read->GetParticleCount(), emitter_c::max_particles);
}

TEST(EmitterTest, ChannelsDriveTheRanges)
{
    recording_renderer_c renderer;
    emitter_c emitter("e", &renderer);
    const struct {
        u32 index;
        float (emitter_c::*get)() const;
    } targets[] = {{137, &emitter_c::GetSpeedMinimum},    {138, &emitter_c::GetSpeedMaximum},
                   {139, &emitter_c::GetAngleMinimum},    {140, &emitter_c::GetAngleMaximum},
                   {141, &emitter_c::GetLifetimeMinimum}, {142, &emitter_c::GetLifetimeMaximum}};
    for (const auto& target : targets) {
        envelope_c ramp;
        ramp.keys.resize(2);
        ramp.keys[0].value = 0.0f;
        ramp.keys[1].value = static_cast<float>(target.index);
        ramp.keys[1].time = 1.0f;
        ramp.keys[0].shape = ramp.keys[1].shape = shape_linear;
        float* member = emitter.GetEnvelopeTarget(target.index);
        ASSERT_NE(member, nullptr) << target.index;
        emitter.AddEnvelope(ramp, member);
    }
    auto object = RoundTrip(emitter, &renderer);
    auto* read = dynamic_cast<emitter_c*>(object.get());
    ASSERT_NE(read, nullptr);
    ASSERT_EQ(read->GetEnvelopeCount(), 6u);
    read->Animate(0.5f);
    for (const auto& target : targets)
        EXPECT_FLOAT_EQ((read->*target.get)(), 0.5f * static_cast<float>(target.index)) << target.index;
    EXPECT_EQ(read->GetEnvelopeTarget(143), nullptr);
}
