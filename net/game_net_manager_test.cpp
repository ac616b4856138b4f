#include "net/game_net_manager.h"

#include <bit>
#include <functional>
#include <stdexcept>

#include <gtest/gtest.h>

#include "net/net_protocol.h"
#include "net/testing/net_node.h"

TEST(GameNetManager, EveryOperationNeedingTheSessionThrowsWithoutIt)
{
    GameNetManager manager;
    net_message_c message;
    net_player_c player;
    const std::vector<std::function<void()>> calls = {
        [&] { manager.Update(0.1f); },
        [&] { manager.Host("s", 4, nullptr, 0); },
        [&] { manager.Close(); },
        [&] { manager.Connect("h", nullptr); },
        [&] { manager.EnumerateSessions(); },
        [&] { manager.SendTo(&player, 0x105, &message, false, false); },
        [&] { manager.Send(0x105, &message, false, false, false); },
        [&] { manager.DropPlayer(3); },
        [&] { manager.SendJoinRequest("me"); },
    };
    for (const auto& call : calls) {
        try {
            call();
            ADD_FAILURE() << "no exception";
        } catch (const std::runtime_error& error) {
            EXPECT_STREQ(error.what(), "GameNetManager not initialized.");
        }
    }
    EXPECT_FALSE(manager.IsReady());
    manager.SetPassword("pw"); // not hosting: nothing
    EXPECT_EQ(manager.Init(3), 2);
    EXPECT_EQ(manager.GetImplementation(), nullptr);
}

TEST(GameNetManager, InitOneGivesTheSessionImplementation)
{
    GameNetManager manager;
    EXPECT_EQ(manager.Init(1), 0);
    ASSERT_NE(manager.GetImplementation(), nullptr);
    EXPECT_EQ(manager.GetImplementation()->GetOwner(), &manager);
    EXPECT_TRUE(manager.IsReady());
    manager.DropPlayer(0); // nothing, and no session needed for it
    manager.Update(0.5f);
    EXPECT_EQ(manager.GetSessionTime(), 0.5f);
}

TEST(GameNetManager, PlayerIdsFollowTheGeneratorAndSkipIdsInUse)
{
    net_node_c node;
    ASSERT_EQ(node.manager.Host("ids", 0, nullptr, 0), 0);
    DirectPlayNetManager& session = node.Session();
    EXPECT_EQ(session.NewPlayerId(), 0x0000);
    EXPECT_EQ(session.NewPlayerId(), 0x9EC3);
    EXPECT_EQ(session.NewPlayerId(), 0x8E7A);
    // 0x5B55 comes next unless taken: then state + 1 gives the following candidate.
    auto taken = std::make_unique<net_player_c>();
    taken->player_id = 0x5B55;
    node.manager.AddPlayer(std::move(taken));
    const u16 next = session.NewPlayerId();
    EXPECT_NE(next, 0x5B55);
    ASSERT_EQ(node.manager.Host("ids", 0, nullptr, 0), 0);
    EXPECT_EQ(session.NewPlayerId(), 0x0000); // hosting starts over
    EXPECT_EQ(session.NewPlayerId(), 0x9EC3);
}

TEST(GameNetManager, HostJoinsItselfThroughItsOwnQueue)
{
    net_fake_clock_c clock;
    net_node_c node;
    ASSERT_TRUE(HostAndJoin(node, "Hal"));
    ASSERT_EQ(node.manager.GetPlayers(0).size(), 1u);
    const net_player_c* own = node.manager.GetPlayers(0)[0];
    EXPECT_EQ(own->player_id, 0);
    EXPECT_EQ(own->dpnid, kLocalSender);
    EXPECT_EQ(node.Heard(net_join_request).size(), 1u);
    // Its type-2 answer to itself adds nobody.
    ASSERT_TRUE(RunUntil({&node}, [&] { return node.HasHeard(net_player_announcement); }));
    EXPECT_EQ(node.manager.GetPlayers(0).size(), 1u);
    // Its own game messages reach its own callback, stamped with the session time.
    node.manager.Update(2.0f);
    net_message_c message;
    message.WriteU32(7);
    node.manager.Send(0x10F, &message, true, false, false);
    ASSERT_TRUE(RunUntil({&node}, [&] { return node.HasHeard(0x10F); }));
    EXPECT_GE(node.Heard(0x10F)[0].time, 2.0f);
    EXPECT_EQ(node.Heard(0x10F)[0].sender_id, 0);
    node.manager.Send(0x1104, &message, false, false, false);
    ASSERT_TRUE(RunUntil({&node}, [&] { return node.HasHeard(0x104); }));
    EXPECT_EQ(node.Heard(0x104)[0].time, -1.0f);
    // Dropping its own id or 0 leaves it hosting.
    node.manager.DropPlayer(0);
    EXPECT_NE(node.Port(), 0);
    node.manager.Close();
    ASSERT_TRUE(RunUntil({&node}, [&] { return node.HasHeard(net_session_closed); }));
    EXPECT_TRUE(node.manager.GetPlayers(0).empty());
    EXPECT_EQ(node.Port(), 0);
}

TEST(GameNetManager, LogLinesCarryTheSystemsTexts)
{
    net_node_c node;
    ASSERT_EQ(node.manager.Host("logged", 8, nullptr, 0), 0);
    ASSERT_GE(node.log.size(), 3u);
    EXPECT_EQ(node.log[0], "Starting session ...");
    EXPECT_EQ(node.log[1].rfind("SetServerUrl: \"x-dplay8:/", 0), 0u);
    EXPECT_EQ(node.log[2], "... server is running!.");
    const std::string long_name(70000, 'n');
    GameNetManager::Log(&node.manager, 4, "Welcome new player: \"%s\"", long_name.c_str());
    EXPECT_EQ(node.log.back().size(), long_name.size() + 22);
}

TEST(GameNetManager, BodiesTooLongForTheRecordAreNotSent)
{
    net_fake_clock_c clock;
    net_node_c node;
    ASSERT_TRUE(HostAndJoin(node, "Hal"));
    const std::vector<u8> largest(kMaxBodySize, 1);
    const std::vector<u8> larger(kMaxBodySize + 1, 2);
    net_message_c fits, too_long;
    fits.Assign(largest.data(), largest.size());
    too_long.Assign(larger.data(), larger.size());
    node.manager.Send(0x120, &too_long, false, false, false);
    node.manager.Send(0x121, &fits, false, true, false);
    ASSERT_TRUE(RunUntil({&node}, [&] { return node.HasHeard(0x121); }));
    EXPECT_EQ(node.Heard(0x121)[0].body, largest);
    EXPECT_FALSE(node.HasHeard(0x120));
}

TEST(GameNetManager, ServesTheApplicationAsItsSession)
{
    net_fake_clock_c clock;
    net_node_c node;
    ASSERT_TRUE(HostAndJoin(node, "Hal"));
    net_session_c& session = node.manager;
    EXPECT_EQ(session.GetLocalId(), 0);
    session.OnGameState(std::bit_cast<u32>(12.5f));
    EXPECT_EQ(node.manager.GetSessionTime(), 12.5f);
    net_message_c message;
    message.WriteU16(0x0102);
    session.Send(0x1111, message, false, false, false);
    session.SendToGroup(0, 0x112, message, nullptr, nullptr, true, false);
    ASSERT_TRUE(RunUntil({&node}, [&] { return node.HasHeard(0x111) && node.HasHeard(0x112); }));
    EXPECT_EQ(node.Heard(0x112)[0].U16(), 0x0102);
    EXPECT_EQ(message.GetLength(), 2u); // the caller's record is left as it was
}
