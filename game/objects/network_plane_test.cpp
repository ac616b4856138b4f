#include "game/objects/network_plane.h"

#include "app/message/net_message.h"
#include "game/testing/plane_world.h"

#include <gtest/gtest.h>

namespace {

class NetworkPlaneTest : public ::testing::Test {
protected:
    plane_world_c setting;
    game_object_plane_ghost_c* plane = nullptr;

    void SetUp() override
    {
        test_plane_file_c file;
        file.impactEffects = true;
        AddTestPlane(setting.files.files, "planes\\testbird.op", file, &setting.renderer);
        auto made = std::make_unique<game_object_plane_ghost_c>();
        made->Load("planes\\testbird.op", &setting.renderer, &setting.scene, &setting.sound, false);
        plane = static_cast<game_object_plane_ghost_c*>(setting.world.AddPlane(std::move(made)));
        plane->SetPosition(vec3_c(0.0f, 300.0f, 0.0f));
        plane->OnMissionStart(0.0f);
    }

    // A 0x105 body after its owner and index: time, place, rotation.
    static net_message_c State(float _time, const vec3_c& _position, const vec3_c& _rotation)
    {
        net_message_c message;
        message.WriteF32(_time).WriteVec3(_position).WriteEuler(euler_c(_rotation.x, _rotation.y, _rotation.z));
        return message;
    }

    bool Push(float _time, const vec3_c& _position, const vec3_c& _rotation = vec3_c())
    {
        net_message_c message = State(_time, _position, _rotation);
        return plane->ReadState(message);
    }

    static net_message_c Crash(u32 _kind, const vec3_c& _position, const vec3_c& _rotation)
    {
        net_message_c message;
        message.WriteU32(_kind).WriteVec3(_position).WriteEuler(euler_c(_rotation.x, _rotation.y, _rotation.z));
        return message;
    }

    int Plays(const char* _file) const
    {
        const recording_source_c* source = setting.sound.Find(_file);
        return source ? source->plays : 0;
    }
};

TEST_F(NetworkPlaneTest, IsTheNetworkCopyType)
{
    EXPECT_EQ(plane->GetType(), object_plane_ghost);
    EXPECT_EQ(plane->remoteId, -1);
}

TEST_F(NetworkPlaneTest, StaysWhereItWasPutBeforeAnySample)
{
    plane->Update(0.5f);
    EXPECT_EQ(plane->GetPosition(), vec3_c(0.0f, 300.0f, 0.0f));
}

TEST_F(NetworkPlaneTest, OneSampleHoldsThePlaneThere)
{
    ASSERT_TRUE(Push(10.0f, vec3_c(5.0f, 200.0f, 7.0f), vec3_c(1.0f, 0.2f, 0.3f)));
    plane->Update(0.1f);
    plane->Update(0.2f);
    EXPECT_EQ(plane->GetPosition(), vec3_c(5.0f, 200.0f, 7.0f));
    EXPECT_EQ(plane->GetRotation(), vec3_c(1.0f, 0.2f, 0.3f));
}

// The sample clock moves with the local frames after the newest sample, so
// the plane flies on along its last two samples.
TEST_F(NetworkPlaneTest, TwoSamplesCarryThePlaneOnAlongThem)
{
    Push(10.0f, vec3_c(0.0f, 200.0f, 0.0f));
    Push(10.1f, vec3_c(0.0f, 200.0f, 3.0f));
    EXPECT_FLOAT_EQ(plane->GetSampleClock(), 10.1f);
    plane->Update(0.1f);
    EXPECT_NEAR(plane->GetSampleClock(), 10.2f, 1e-5f);
    EXPECT_NEAR(plane->GetPosition().z, 6.0f, 1e-3f);
    plane->Update(0.3f);
    EXPECT_NEAR(plane->GetPosition().z, 12.0f, 1e-3f);
}

TEST_F(NetworkPlaneTest, HeadingAcrossTheSeamTurnsTheShortWay)
{
    Push(1.0f, vec3_c(0.0f, 200.0f, 0.0f), vec3_c(3.1f, 0.0f, 0.0f));
    Push(2.0f, vec3_c(0.0f, 200.0f, 0.0f), vec3_c(-3.1f, 0.0f, 0.0f));
    plane->SetSampleClock(1.5f);
    plane->Update(0.0f);
    EXPECT_NEAR(std::fabs(plane->GetRotation().x), 3.1415927f, 1e-4f);
}

TEST_F(NetworkPlaneTest, ClockPullBack)
{
    const struct {
        float shown;
        float sample;
        float expected;
    } cases[] = {
        {5.0f, 6.0f, 6.0f},  // a later sample sets the clock
        {5.0f, 4.8f, 5.0f},  // a little behind: the clock stays
        {5.0f, 4.5f, 5.0f},  // exactly 0.5 behind: still kept
        {5.0f, 3.0f, 3.5f},  // far behind: pulled back to the sample + 0.5
        {50.0f, 1.0f, 1.5f}, // a stale clock is no exception
    };
    for (const auto& c : cases) {
        plane->SetSampleClock(c.shown);
        Push(c.sample, vec3_c());
        EXPECT_FLOAT_EQ(plane->GetSampleClock(), c.expected) << c.shown << " " << c.sample;
    }
}

TEST_F(NetworkPlaneTest, ShortStateChangesNothing)
{
    net_message_c message;
    message.WriteF32(20.0f).WriteF32(1.0f);
    EXPECT_FALSE(plane->ReadState(message));
    EXPECT_EQ(plane->GetPositionPredictor().GetCount(), 0);
    EXPECT_FLOAT_EQ(plane->GetSampleClock(), 0.0f);
}

TEST_F(NetworkPlaneTest, FiringFlagFiresTheGunsEveryUpdate)
{
    net_message_c message;
    message.WriteBit(true);
    ASSERT_TRUE(plane->ReadFiringFlag(message));
    plane->Update(1.0f);
    plane->Update(1.2f);
    EXPECT_EQ(setting.world.GetProjectiles().size(), 2u);
    net_message_c stop;
    stop.WriteBit(false);
    plane->ReadFiringFlag(stop);
    plane->Update(1.4f);
    EXPECT_EQ(setting.world.GetProjectiles().size(), 2u);
    net_message_c empty;
    EXPECT_FALSE(plane->ReadFiringFlag(empty));
}

// However large, local hits only add a tenth of their amount.
TEST_F(NetworkPlaneTest, LocalHitsNeverDestroyIt)
{
    plane->TakeDamage(vec3_c(), vec3_c(0.0f, 1.0f, 0.0f), 3.0f, nullptr, 0);
    EXPECT_NEAR(plane->damage, 0.3f, 1e-6f);
    plane->TakeDamage(vec3_c(), vec3_c(0.0f, 1.0f, 0.0f), 1000.0f, nullptr, 6);
    EXPECT_FLOAT_EQ(plane->damage, 1.0f);
    EXPECT_EQ(plane->destroyed, 0);
}

TEST_F(NetworkPlaneTest, HitKindsOutsideTheEffectTableShowNothing)
{
    const u32 before = setting.effects.GetEffectCount();
    for (int kind : {-1, 10, 1000})
        plane->TakeDamage(vec3_c(), vec3_c(0.0f, 1.0f, 0.0f), 1.0f, nullptr, kind);
    EXPECT_EQ(setting.effects.GetEffectCount(), before);
    EXPECT_NEAR(plane->damage, 0.3f, 1e-6f);
}

TEST_F(NetworkPlaneTest, DestroyedMessageBurnsThePlaneWhereTheOwnerSaw)
{
    net_message_c message;
    message.WriteVec3(vec3_c(10.0f, 150.0f, -20.0f)).WriteEuler(euler_c(0.5f, 0.1f, 0.2f));
    ASSERT_TRUE(plane->ApplyDestroyed(message));
    EXPECT_EQ(plane->destroyed, 1);
    EXPECT_FLOAT_EQ(plane->damage, 1.0f);
    EXPECT_EQ(plane->GetModelView(), plane_view_burned);
    EXPECT_EQ(plane->GetPosition(), vec3_c(10.0f, 150.0f, -20.0f));
    EXPECT_EQ(plane->GetRotation(), vec3_c(0.5f, 0.1f, 0.2f));
    EXPECT_EQ(Plays("snd\\boom.wav"), 1);
}

TEST_F(NetworkPlaneTest, TerrainCrashWrecksThePlaneOnTheGround)
{
    net_message_c message = Crash(2, vec3_c(30.0f, 2.0f, 40.0f), vec3_c(0.3f, -0.4f, 0.1f));
    EXPECT_EQ(plane->ApplyCrash(message), 2);
    EXPECT_TRUE(plane->IsWrecked());
    EXPECT_EQ(plane->destroyed, 1);
    EXPECT_EQ(plane->GetModelView(), plane_view_crashed);
    EXPECT_EQ(Plays("snd\\crash.wav"), 1);
    EXPECT_NEAR(plane->GetPosition().y, -0.5f, 1e-4f);
}

TEST_F(NetworkPlaneTest, WaterCrashSinksThePlaneWingsLevel)
{
    net_message_c message = Crash(1, vec3_c(30.0f, 0.0f, 40.0f), vec3_c(0.3f, -0.4f, 0.1f));
    EXPECT_EQ(plane->ApplyCrash(message), 1);
    EXPECT_EQ(plane->destroyed, 1);
    EXPECT_EQ(plane->sinking, 1);
    EXPECT_EQ(plane->GetModelView(), plane_view_burned);
    EXPECT_EQ(plane->GetRotation(), vec3_c(0.3f, 0.0f, 0.0f));
    EXPECT_EQ(Plays("snd\\splash.wav"), 1);
}

TEST_F(NetworkPlaneTest, SecondCrashOnlyMovesTheWreck)
{
    net_message_c first = Crash(0, vec3_c(30.0f, 50.0f, 40.0f), vec3_c());
    EXPECT_EQ(plane->ApplyCrash(first), 0);
    EXPECT_EQ(plane->sinking, 0);
    net_message_c second = Crash(2, vec3_c(31.0f, 49.0f, 41.0f), vec3_c(0.2f, 0.3f, 0.4f));
    EXPECT_EQ(plane->ApplyCrash(second), -1);
    EXPECT_FALSE(plane->IsWrecked());
    EXPECT_EQ(plane->GetPosition(), vec3_c(31.0f, 49.0f, 41.0f));
    EXPECT_EQ(plane->GetRotation(), vec3_c(0.2f, 0.3f, 0.4f));
    EXPECT_EQ(Plays("snd\\splash.wav"), 1);
}

TEST_F(NetworkPlaneTest, RespawnStopsTheGuns)
{
    setting.world.SetSpawnPoints(1, {vec3_c(100.0f, 400.0f, 0.0f)}, {vec3_c()});
    plane->side = 1;
    net_message_c firing;
    firing.WriteBit(true);
    plane->ReadFiringFlag(firing);
    plane->damage = 1.0f;
    plane->destroyed = 1;
    plane->Respawn();
    EXPECT_FALSE(plane->IsFiring());
    EXPECT_EQ(plane->destroyed, 0);
    EXPECT_EQ(plane->GetPosition(), vec3_c(100.0f, 400.0f, 0.0f));
}

} // namespace
