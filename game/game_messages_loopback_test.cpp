// Two programs of one network game in one test: the host and a client, each
// with its own world, joined over the loopback session. Every state sample
// is waited for before the next frame, so the frames are the same on a
// slow machine as on a fast one.
#include "app/message/net_message_type.h"
#include "game/game_messages.h"
#include "game/testing/net_game.h"
#include "net/net_protocol.h"
#include "net/testing/net_node.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

constexpr u32 own = 0xFFFFFFFF;
constexpr float frame_step = 0.02f;
constexpr int frames_per_sample = 5;
constexpr int frames = 300;
// How far the client's copy of the host's plane may be from where the host
// flies it: a sample every 0.1 s, predicted on along the last two.
constexpr float copy_distance = 1.0f;

void Dispatch(u16 _type, net_message_c& _message, net_player_c* _sender, void* _context)
{
    static_cast<net_game_side_c*>(_context)->messages.OnNetMessage(_type, _message, _sender);
}

float NewestSample(const game_object_plane_ghost_c& _plane)
{
    const prediction_value_c<vec3_c>& samples = _plane.GetPositionPredictor();
    return samples.GetCount() == 0 ? -1.0f : samples.GetTime(samples.GetCount() - 1);
}

float Distance(const vec3_c& _a, const vec3_c& _b)
{
    return (_a - _b).Length();
}

class GameMessagesLoopbackTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(HostAndJoin(hostNode, "Hal"));
        const std::string address = "127.0.0.1:" + std::to_string(hostNode.Port());
        clientNode.manager.Connect(address.c_str(), nullptr);
        ASSERT_TRUE(Run([&] { return clientNode.HasHeard(net_connected); }));
        clientNode.manager.SendJoinRequest("Anna");
        ASSERT_TRUE(Run([&] { return clientNode.Session().IsJoined(); }));
        ASSERT_TRUE(Run([&] { return clientNode.PlayerNames().size() == 2 && hostNode.PlayerNames().size() == 2; }));

        host = std::make_unique<net_game_side_c>(3, hostNode.manager.GetLocalId(), &hostNode.manager);
        client = std::make_unique<net_game_side_c>(4, clientNode.manager.GetLocalId(), &clientNode.manager);
        hostNode.manager.SetMessageCallback(Dispatch, host.get());
        clientNode.manager.SetMessageCallback(Dispatch, client.get());

        host->AddUserPlane(vec3_c(0.0f, 300.0f, 0.0f));
        client->AddUserPlane(vec3_c(150.0f, 300.0f, 0.0f));
        for (net_game_side_c* side : {host.get(), client.get()}) {
            side->user->SetSpeed(40.0f);
            side->setting.world.StartMission(0.0f);
        }
        client->messages.AnnouncePlayerPlane();
        ASSERT_TRUE(Run([&] { return HostCopy() != nullptr && ClientCopy() != nullptr; }));
    }

    bool Run(const std::function<bool()>& _condition) { return RunUntil({&hostNode, &clientNode}, _condition); }

    // The host's plane as the client shows it, and the other way round.
    game_object_plane_ghost_c* HostCopy() const
    {
        return client->messages.FindNetworkPlane(hostNode.manager.GetLocalId(), own);
    }
    game_object_plane_ghost_c* ClientCopy() const
    {
        return host->messages.FindNetworkPlane(clientNode.manager.GetLocalId(), own);
    }

    // Scripted controls: a gentle climbing turn one way, then the other.
    static void Steer(test_plane_c& _plane, int _frame, float _sign)
    {
        _plane.roll = _sign * 0.3f * std::sin(static_cast<float>(_frame) * 0.02f);
        _plane.pitch = 0.1f * std::cos(static_cast<float>(_frame) * 0.03f);
    }

    // Both planes fly the frames; each sends its state every 0.1 s and the
    // test waits until the other program has it. The largest distance
    // between the host's plane and the client's copy of it.
    float Fly(int _first, int _count)
    {
        float worst = 0.0f;
        for (int frame = _first; frame < _first + _count; ++frame) {
            const float t = static_cast<float>(frame + 1) * frame_step;
            Steer(*host->user, frame, 1.0f);
            Steer(*client->user, frame, -1.0f);
            host->time = client->time = t;
            host->setting.world.Process(t);
            client->setting.world.Process(t);
            worst = std::max(worst, Distance(HostCopy()->GetPosition(), host->user->GetPosition()));
            if ((frame + 1) % frames_per_sample != 0)
                continue;
            host->messages.SendPlaneState(*host->user, t);
            client->messages.SendPlaneState(*client->user, t);
            EXPECT_TRUE(Run([&] { return NewestSample(*HostCopy()) == t && NewestSample(*ClientCopy()) == t; }));
        }
        return worst;
    }

    net_fake_clock_c clock;
    net_node_c hostNode, clientNode;
    std::unique_ptr<net_game_side_c> host, client;
};

TEST_F(GameMessagesLoopbackTest, ClientsCopyFollowsTheHostsPlane)
{
    // The first sample pair settles the copy; from then on it keeps close.
    Fly(0, 2 * frames_per_sample);
    const float worst = Fly(2 * frames_per_sample, frames);
    EXPECT_LT(worst, copy_distance);
    EXPECT_GT(Distance(host->user->GetPosition(), vec3_c(0.0f, 300.0f, 0.0f)), 100.0f) << "the plane flew";
    EXPECT_LT(Distance(ClientCopy()->GetPosition(), client->user->GetPosition()), copy_distance);
}

// The host decides that its plane's bullet hit the client's copy (as its
// world does); the client's own plane takes the hit, at the same place on
// the plane.
TEST_F(GameMessagesLoopbackTest, HitOnOneSideIsSeenOnTheOther)
{
    Fly(0, 4 * frames_per_sample);
    game_object_plane_ghost_c* target = ClientCopy();
    const vec3_c point = target->GetPosition() + vec3_c(0.5f, 0.2f, -1.0f);
    host->messages.SendHit(host->user, target, point, vec3_c(0.0f, 1.0f, 0.0f));
    ASSERT_TRUE(Run([&] { return !client->user->hits.empty(); }));
    const flown_test_plane_c::hit_c& hit = client->user->hits[0];
    EXPECT_EQ(hit.attacker, HostCopy());
    EXPECT_FLOAT_EQ(hit.amount, 1.0f);
    EXPECT_EQ(hit.direction, vec3_c(0.0f, 1.0f, 0.0f));
    const vec3_c onCopy = ToObjectFrame(*target, point);
    const vec3_c onPlane = ToObjectFrame(*client->user, hit.point);
    EXPECT_LT(Distance(onPlane, onCopy), 1e-3f);
}

TEST_F(GameMessagesLoopbackTest, ScoresAgreeAfterKills)
{
    Fly(0, 2 * frames_per_sample);
    host->user->side = -1;
    HostCopy()->side = -1;
    client->user->side = 1;
    ClientCopy()->side = 1;
    // The client's plane falls to the host's, then the host's to the client's.
    client->user->AnnounceDestroyed(clientNode.manager.GetLocalId(), own, HostCopy());
    ASSERT_TRUE(Run([&] { return host->user->score == 1; }));
    host->user->AnnounceDestroyed(hostNode.manager.GetLocalId(), own, ClientCopy());
    ASSERT_TRUE(Run([&] { return client->user->score == 1; }));
    EXPECT_EQ(host->user->score, HostCopy()->score);
    EXPECT_EQ(client->user->score, ClientCopy()->score);
    EXPECT_EQ(host->sideScores[0], client->sideScores[0]);
    EXPECT_EQ(host->sideScores[1], client->sideScores[1]);
    EXPECT_EQ(host->sideScores[0], 1);
    EXPECT_EQ(host->sideScores[1], 1);
}

TEST_F(GameMessagesLoopbackTest, DepartureRemovesThePlaneOnTheOtherSide)
{
    Fly(0, 2 * frames_per_sample);
    client->messages.SendDeparture(true);
    ASSERT_TRUE(Run([&] { return ClientCopy() == nullptr; }));
    EXPECT_TRUE(host->Ghosts().empty());
    EXPECT_TRUE(Run([&] { return host->ended; }));
}

} // namespace
