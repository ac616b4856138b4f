#include <algorithm>

#include <gtest/gtest.h>

#include "net/net_protocol.h"
#include "net/testing/net_node.h"
#include "platform/dplay8/dplay8_peer.h"

namespace {

const char kReplacementSet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZ!@#$%^*()";

class NetSession : public ::testing::Test {
protected:
    // Hosts "Sky" and joins the host's own player.
    void HostSession(const char* password = nullptr, u32 max_players = 8)
    {
        ASSERT_TRUE(HostAndJoin(host, "Hal", password, max_players));
    }

    std::string Address() const { return "127.0.0.1:" + std::to_string(host.Port()); }

    // Connects, and on event 7 sends the join request, as the menu does.
    void Join(net_node_c& client, const char* name, const char* password = nullptr)
    {
        client.manager.Connect(Address().c_str(), password);
        ASSERT_TRUE(RunUntil({&host, &client}, [&] { return client.HasHeard(net_connected); }));
        client.manager.SendJoinRequest(name);
        ASSERT_TRUE(RunUntil({&host, &client}, [&] { return client.Session().IsJoined(); }));
    }

    std::vector<net_node_c*> All() { return {&host, &anna, &bert}; }

    net_fake_clock_c clock;
    net_node_c host, anna, bert;
};

} // namespace

TEST_F(NetSession, HostAndTwoClientsJoinWithIdsTimeAndPlayerLists)
{
    HostSession();
    EXPECT_EQ(host.manager.GetLocalPlayerId(), 0);
    host.manager.Update(5.0f); // the session is 5 s old when Anna joins
    Join(anna, "Anna");
    Join(bert, "Bert");
    EXPECT_EQ(anna.manager.GetLocalPlayerId(), 0x9EC3);
    EXPECT_EQ(bert.manager.GetLocalPlayerId(), 0x8E7A);
    const auto welcome = anna.Heard(net_welcome);
    ASSERT_EQ(welcome.size(), 1u);
    EXPECT_EQ(welcome[0].U16(0), 0x9EC3);
    EXPECT_GE(anna.manager.GetSessionTime(), 5.0f);

    const std::vector<std::string> everyone = {"Hal", "Anna", "Bert"};
    ASSERT_TRUE(RunUntil(All(), [&] {
        return host.PlayerNames() == everyone && anna.PlayerNames() == everyone && bert.PlayerNames() == everyone;
    }));
    // Anna heard Bert announced when he joined.
    const auto announced = anna.Heard(net_player_announcement);
    EXPECT_TRUE(std::any_of(announced.begin(), announced.end(),
                            [](const net_heard_c& heard) { return heard.String() == "Bert"; }));
    // The host heard both join requests from their new records.
    const auto joins = host.Heard(net_join_request);
    ASSERT_EQ(joins.size(), 3u);
    EXPECT_EQ(joins[1].sender_id, 0x9EC3);
    EXPECT_EQ(joins[2].sender_name, "Bert");
}

TEST_F(NetSession, ChatIsFilteredAndReachesEveryoneWithTheSpeakersId)
{
    HostSession();
    Join(anna, "Anna");
    Join(bert, "Bert");
    anna.manager.SendChat("you idiot, and a moron");
    ASSERT_TRUE(RunUntil(All(), [&] {
        return host.HasHeard(net_chat_line) && anna.HasHeard(net_chat_line) && bert.HasHeard(net_chat_line);
    }));
    for (net_node_c* node : All()) {
        const auto lines = node->Heard(net_chat_line);
        ASSERT_EQ(lines.size(), 1u);
        EXPECT_EQ(lines[0].U16(0), 0x9EC3);
        const std::string text = lines[0].String(2);
        ASSERT_EQ(text.size(), std::string("you idiot, and a moron").size());
        EXPECT_EQ(text.substr(0, 4), "you ");
        EXPECT_EQ(text.substr(9, 7), ", and a");
        for (std::size_t i : {4, 5, 6, 7, 8, 17, 18, 19, 20, 21})
            EXPECT_NE(std::string(kReplacementSet).find(text[i]), std::string::npos) << text;
    }
}

TEST_F(NetSession, NameChangeIsRelayedAndOnlyForOneself)
{
    HostSession();
    Join(anna, "Anna");
    Join(bert, "Bert");
    bert.manager.SendNameChange("Bertram");
    ASSERT_TRUE(RunUntil(All(), [&] {
        return host.manager.FindPlayer(0x8E7A)->name == "Bertram" && anna.manager.FindPlayer(0x8E7A) != nullptr &&
               anna.manager.FindPlayer(0x8E7A)->name == "Bertram";
    }));
    // Bert cannot rename Anna: the server takes no such message.
    net_message_c forged;
    forged.WriteString(std::string("Mud")).WriteU16(0x9EC3);
    bert.manager.Send(net_name_change, &forged, false, false, false);
    bert.manager.SendChat("after");
    ASSERT_TRUE(RunUntil(All(), [&] { return anna.HasHeard(net_chat_line); }));
    EXPECT_EQ(host.manager.FindPlayer(0x9EC3)->name, "Anna");
    EXPECT_EQ(anna.manager.FindPlayer(0x9EC3)->name, "Anna");
}

TEST_F(NetSession, GameMessagesAreRelayedToTheOthersOnly)
{
    HostSession();
    Join(anna, "Anna");
    Join(bert, "Bert");
    net_message_c state;
    state.WriteU32(0xC0FFEE).WriteBit(true);
    anna.manager.Send(0x105, &state, true, false, false);
    ASSERT_TRUE(RunUntil(All(), [&] { return host.HasHeard(0x105) && bert.HasHeard(0x105); }));
    EXPECT_EQ(host.Heard(0x105)[0].sender_id, 0x9EC3);
    EXPECT_EQ(bert.Heard(0x105)[0].body, std::vector<u8>({0xEE, 0xFF, 0xC0, 0x00, 0x80}));
    // And a scrambled game message arrives in clear.
    host.manager.Send(0x106, &state, true, true, false);
    ASSERT_TRUE(RunUntil(All(), [&] { return anna.HasHeard(0x106) && bert.HasHeard(0x106); }));
    EXPECT_EQ(anna.Heard(0x106)[0].body, bert.Heard(0x105)[0].body);
    EXPECT_FALSE(anna.HasHeard(0x105));
}

TEST_F(NetSession, AClientLeavesAndTheOthersStay)
{
    HostSession();
    Join(anna, "Anna");
    Join(bert, "Bert");
    ASSERT_TRUE(RunUntil(All(), [&] { return bert.PlayerNames().size() == 3; }));
    anna.manager.Close();
    ASSERT_TRUE(RunUntil({&host, &bert}, [&] {
        return host.manager.FindPlayer(0x9EC3) == nullptr && bert.manager.FindPlayer(0x9EC3) == nullptr;
    }));
    EXPECT_TRUE(bert.Session().IsJoined());
    EXPECT_FALSE(bert.HasHeard(net_session_closed));
    EXPECT_EQ(host.PlayerNames(), std::vector<std::string>({"Hal", "Bert"}));
    bert.manager.SendChat("still here");
    ASSERT_TRUE(RunUntil({&host, &bert}, [&] { return bert.HasHeard(net_chat_line); }));
}

TEST_F(NetSession, ServerDropsAClientThatStopsAnsweringPings)
{
    HostSession();
    Join(anna, "Anna");
    Join(bert, "Bert");
    // Nothing of Bert's may still be on its way when his machine stops.
    ASSERT_TRUE(RunUntil({&host, &anna, &bert}, [&] {
        const auto requests = host.Heard(net_player_list_request);
        return bert.PlayerNames().size() == 3 &&
               std::any_of(requests.begin(), requests.end(),
                           [](const net_heard_c& heard) { return heard.sender_id == 0x8E7A; });
    }));
    // Bert's machine stops running frames: it never answers.
    for (int interval = 1; interval <= kMaxMissedPings; ++interval) {
        EXPECT_NE(host.manager.FindPlayer(0x8E7A), nullptr) << interval;
        clock.Advance(kPingInterval + 0.1);
        const std::size_t pings = anna.Heard(net_ping).size();
        ASSERT_TRUE(RunUntil({&host, &anna}, [&] { return anna.Heard(net_ping).size() > pings; }));
        // Anna's answer comes back before the next interval.
        ASSERT_TRUE(RunUntil({&host, &anna}, [&] { return host.manager.FindPlayer(0x9EC3)->missed_pings == 0; }));
    }
    ASSERT_TRUE(RunUntil({&host, &anna}, [&] { return host.manager.FindPlayer(0x8E7A) == nullptr; }));
    EXPECT_NE(host.manager.FindPlayer(0x9EC3), nullptr);
    ASSERT_TRUE(RunUntil({&host, &anna}, [&] { return anna.manager.FindPlayer(0x8E7A) == nullptr; }));
    EXPECT_TRUE(anna.Session().IsJoined());
    // Bert, running again, finds his session ended.
    ASSERT_TRUE(RunUntil({&bert}, [&] { return bert.HasHeard(net_session_closed); }));
}

TEST_F(NetSession, ClientClosesAfterAMinuteOfSilence)
{
    HostSession();
    Join(anna, "Anna");
    // Her own announcement is the last thing the server has for her.
    ASSERT_TRUE(RunUntil({&host, &anna}, [&] { return anna.PlayerNames().size() == 2; }));
    clock.Advance(kServerSilence - 1.0);
    for (int i = 0; i < 3; ++i)
        anna.manager.Update(0.01f);
    EXPECT_TRUE(anna.Session().IsJoined());
    clock.Advance(2.0);
    anna.manager.Update(0.01f);
    EXPECT_FALSE(anna.Session().IsJoined());
    ASSERT_TRUE(RunUntil({&anna}, [&] { return anna.HasHeard(net_session_closed); }));
    EXPECT_TRUE(anna.manager.GetPlayers(0).empty());
}

TEST_F(NetSession, WrongPasswordAndFullSessionAreRefusedWithTheirReasons)
{
    HostSession("sesame", 2);
    anna.manager.Connect(Address().c_str(), "open");
    ASSERT_TRUE(RunUntil({&host, &anna}, [&] { return anna.HasHeard(net_connect_failed); }));
    EXPECT_EQ(anna.Heard(net_connect_failed)[0].body, std::vector<u8>{net_failure_invalid_password});
    Join(bert, "Bert", "sesame");
    net_node_c third;
    third.manager.Connect(Address().c_str(), "sesame");
    ASSERT_TRUE(RunUntil({&host, &bert, &third}, [&] { return third.HasHeard(net_connect_failed); }));
    EXPECT_EQ(third.Heard(net_connect_failed)[0].body, std::vector<u8>{net_failure_session_full});
}

TEST_F(NetSession, PlayerLimitSurvivesChangingThePassword)
{
    HostSession(nullptr, 2);
    host.manager.SetPassword("late");
    Join(anna, "Anna", "late");
    bert.manager.Connect(Address().c_str(), "late");
    ASSERT_TRUE(RunUntil({&host, &anna, &bert}, [&] { return bert.HasHeard(net_connect_failed); }));
    EXPECT_EQ(bert.Heard(net_connect_failed)[0].body, std::vector<u8>{net_failure_session_full});
}

TEST_F(NetSession, UnreadableHostTextFailsAtOnce)
{
    for (const char* text : {"", "host:", "host:port", "host:70000", "[::1", "x-dplay8:/port=zz"}) {
        net_node_c client;
        client.manager.Connect(text, nullptr);
        ASSERT_TRUE(RunUntil({&client}, [&] { return client.HasHeard(net_connect_failed); })) << text;
        EXPECT_EQ(client.Heard(net_connect_failed)[0].body, std::vector<u8>{net_failure_other}) << text;
    }
}

TEST_F(NetSession, SearchFindsTheHostOnLoopbackAndItsAddressJoins)
{
    const dplay8_search_config_c saved = Dplay8GetSearchConfig();
    HostSession("pw");
    dplay8_search_config_c config;
    config.hosts = {"127.0.0.1"};
    config.port = host.Port();
    config.retry_count = 2;
    config.retry_interval_ms = 50;
    config.timeout_ms = 200;
    Dplay8SetSearchConfig(config);
    anna.manager.EnumerateSessions();
    const bool finished = RunUntil({&host, &anna}, [&] { return anna.HasHeard(net_search_finished); });
    Dplay8SetSearchConfig(saved);
    ASSERT_TRUE(finished);
    const auto found = anna.Heard(net_session_found);
    ASSERT_EQ(found.size(), 1u); // answered twice, reported once
    EXPECT_EQ(found[0].String(0), "Sky");
    const std::string url = found[0].String(4);
    EXPECT_EQ(url.rfind("x-dplay8:/", 0), 0u);
    EXPECT_EQ(found[0].body.back() & 0x80, 0x80); // password required
    anna.manager.Connect(url.c_str(), "pw");
    ASSERT_TRUE(RunUntil({&host, &anna}, [&] { return anna.HasHeard(net_connected); }));
}

TEST_F(NetSession, ServerCloseEndsEveryClientsSession)
{
    HostSession();
    Join(anna, "Anna");
    Join(bert, "Bert");
    host.manager.Close();
    ASSERT_TRUE(RunUntil(All(), [&] {
        return host.HasHeard(net_session_closed) && anna.HasHeard(net_session_closed) &&
               bert.HasHeard(net_session_closed);
    }));
    EXPECT_FALSE(anna.Session().IsJoined());
    EXPECT_TRUE(anna.manager.GetPlayers(0).empty());
    EXPECT_TRUE(host.manager.GetPlayers(0).empty());
}

TEST_F(NetSession, RejoiningAfterLeavingStartsClean)
{
    HostSession();
    Join(anna, "Anna");
    ASSERT_TRUE(RunUntil({&host, &anna}, [&] { return anna.PlayerNames().size() == 2; }));
    anna.manager.Close();
    ASSERT_TRUE(RunUntil({&host}, [&] { return host.manager.FindPlayer(0x9EC3) == nullptr; }));
    clock.Advance(kServerSilence * 2); // an old record would time the new session out at once
    anna.heard.clear();
    Join(anna, "Anna");
    ASSERT_TRUE(RunUntil({&host, &anna}, [&] { return anna.PlayerNames().size() == 2; }));
    for (int i = 0; i < 5; ++i)
        anna.manager.Update(0.01f);
    EXPECT_TRUE(anna.Session().IsJoined());
    EXPECT_EQ(anna.PlayerNames(), std::vector<std::string>({"Hal", "Anna"}));
}

namespace {

class counter_object_c : public net_object_c {
public:
    void RemovalData(net_message_c& _message) override
    {
        if (remote != 0)
            removal = _message.ReadU32();
        else
            _message.WriteU32(0xDEAD);
    }
    void WriteUpdate(f32, net_message_c& _message) override { _message.WriteU32(++written); }
    void AdvanceRemote(f32 _seconds) override { advanced += _seconds; }
    void ApplyUpdate(f32 _age, net_message_c& _message) override
    {
        ages.push_back(_age);
        applied.push_back(_message.ReadU32());
    }

    u32 written = 0;
    u32 removal = 0;
    f32 advanced = 0.0f;
    std::vector<f32> ages;
    std::vector<u32> applied;
};

} // namespace

TEST_F(NetSession, ServerObjectsReachTheirRemoteCopiesAndTheirRemoval)
{
    HostSession();
    Join(anna, "Anna");
    ASSERT_TRUE(RunUntil({&host, &anna}, [&] { return anna.PlayerNames().size() == 2; }));
    counter_object_c original, copy, stranger;
    original.object_id = copy.object_id = stranger.object_id = 5;
    copy.remote = stranger.remote = 1;
    stranger.owner_id = 0x9EC3; // same id, other owner: not this object's copy
    anna.manager.AddObject(&stranger);
    anna.manager.AddObject(&copy);
    host.manager.AddObject(&original);
    ASSERT_TRUE(RunUntil({&host, &anna}, [&] { return copy.applied.size() >= 3; }));
    EXPECT_EQ(copy.applied[0], 1u);
    EXPECT_EQ(copy.applied[2], 3u);
    EXPECT_GT(copy.ages[2], copy.ages[0]);
    EXPECT_GT(copy.advanced, 0.0f);
    EXPECT_TRUE(stranger.applied.empty());
    host.manager.RemoveObject(&original);
    ASSERT_TRUE(RunUntil({&host, &anna}, [&] { return copy.removal != 0; }));
    EXPECT_EQ(copy.removal, 0xDEADu);
    EXPECT_EQ(anna.manager.FindObject(0, 5), nullptr);
    EXPECT_EQ(anna.manager.FindObject(0x9EC3, 5), &stranger);
}
