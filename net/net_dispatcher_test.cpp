#include <gtest/gtest.h>

#include "net/net_protocol.h"
#include "net/testing/net_node.h"

namespace {

constexpr u32 kMallory = 77;
constexpr u16 kMalloryId = 0x1234;

// A host that joined itself and knows one client, Mallory, whose records
// the tests put on the queue as the transport would.
class NetDispatcher : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(HostAndJoin(host, "Hal"));
        auto mallory = std::make_unique<net_player_c>();
        mallory->name = "Mallory";
        mallory->player_id = kMalloryId;
        mallory->dpnid = kMallory;
        host.manager.AddPlayer(std::move(mallory));
        host.heard.clear();
    }

    void Push(u32 sender, u16 word, std::vector<u8> body)
    {
        std::vector<u8> payload = {static_cast<u8>(word), static_cast<u8>(word >> 8)};
        payload.insert(payload.end(), body.begin(), body.end());
        for (int i = 0; i < 4; ++i)
            payload.push_back(static_cast<u8>(sender >> (8 * i)));
        net_message_c record;
        record.Assign(payload.data(), payload.size());
        record.SetTime(1.0f);
        host.Session().PushIncoming(record, sender);
    }

    static std::vector<u8> Text(const std::string& text, std::vector<u8> after = {})
    {
        std::vector<u8> bytes(text.begin(), text.end());
        bytes.push_back(0);
        bytes.insert(bytes.end(), after.begin(), after.end());
        return bytes;
    }

    void ExpectSessionIntact()
    {
        ASSERT_EQ(host.manager.GetPlayers(0).size(), 2u);
        EXPECT_EQ(host.manager.FindPlayer(0)->name, "Hal");
        EXPECT_EQ(host.manager.FindPlayer(kMalloryId)->name, "Mallory");
        EXPECT_EQ(host.manager.GetLocalPlayerId(), 0);
        EXPECT_TRUE(host.Session().IsJoined());
        EXPECT_NE(host.Port(), 0);
    }

    net_fake_clock_c clock;
    net_node_c host;
};

} // namespace

TEST_F(NetDispatcher, AClientCannotSpeakForTheServerOrTheMachine)
{
    const struct {
        const char* what;
        u16 word;
        std::vector<u8> body;
    } cases[] = {
        {"welcome resetting the host's id", 0x1003, {0x34, 0x12, 0, 0, 0x80, 0x3F}},
        {"drop of the host's player", 4, {0, 0}},
        {"drop of another", 4, {0x34, 0x12}},
        {"announcement", 0x1002, Text("Ghost", {9, 9})},
        {"session closed", 6, {0}},
        {"connected", 7, {0}},
        {"connect failed", 8, {4}},
        {"session found", 9, Text("fake", Text("x-dplay8:/hostname=evil;port=1", {0x80}))},
        {"search finished", 10, {0}},
        {"connection lost", net_connection_lost, {0xFF, 0xFF, 0xFF, 0xFF}},
        {"a second join", 0x1001, Text("Mallory2")},
        {"renaming another", 13, Text("Fool", {0, 0})},
        {"a chat line as the server", 0x900C, {0, 0, 'h', 'i', 0}},
        {"a ping", 0x1011, {0, 0, 0, 0}},
    };
    for (const auto& test : cases)
        Push(kMallory, test.word, test.body);
    host.manager.Update(0.01f);
    host.manager.Update(0.01f);
    ExpectSessionIntact();
    for (const net_heard_c& heard : host.heard)
        ADD_FAILURE() << "delivered type " << heard.type;
}

TEST_F(NetDispatcher, MalformedBodiesAreDroppedUnread)
{
    const struct {
        const char* what;
        u16 word;
        std::vector<u8> body;
    } cases[] = {
        {"chat without its end", 0x800B, {'a', 'b', 0x12, 0x34}},
        {"scrambled without a seed", 0x800B, {}},
        {"scrambled with half a seed", 0x800B, {7}},
        {"rename cut short", 13, Text("Mal", {0x34})},
        {"rename without its end", 13, {'M', 'a'}},
        {"object removal too short", 15, {1, 2, 3}},
        {"object update too short", 16, {1, 2, 3, 4, 5, 6, 7}},
        {"list request with nothing", 0x1005, {}},
    };
    for (const auto& test : cases)
        Push(kMallory, test.word, test.body);
    // And records too short to carry a type word and a sender.
    net_message_c cut_short;
    const u8 bytes[] = {1, 2, 3, 4, 5};
    cut_short.Assign(bytes, sizeof bytes);
    host.Session().PushIncoming(cut_short, kMallory);
    host.manager.Update(0.01f);
    host.manager.Update(0.01f);
    ExpectSessionIntact();
    std::vector<u16> types;
    for (const net_heard_c& heard : host.heard)
        types.push_back(heard.type);
    // The list request carries nothing the server reads: it is answered.
    EXPECT_EQ(types, std::vector<u16>({net_player_list_request}));
    EXPECT_FALSE(host.HasHeard(net_chat_line));
}

TEST_F(NetDispatcher, StrangersAreHeardOnlyAskingToJoin)
{
    Push(99, 0x105, {1, 2, 3});
    Push(99, 0x2105, {1, 2, 3});
    Push(99, 0x1005, {0, 0, 0, 0});
    Push(99, 0x800B, {1, 2, 3, 4});
    host.manager.Update(0.01f);
    EXPECT_TRUE(host.heard.empty());
    Push(99, 0x1001, Text("Newcomer"));
    host.manager.Update(0.01f);
    ASSERT_EQ(host.Heard(net_join_request).size(), 1u);
    EXPECT_EQ(host.Heard(net_join_request)[0].sender_name, "Newcomer");
}

TEST_F(NetDispatcher, AClientMayRenameItselfAndSendGameMessages)
{
    Push(kMallory, 13, Text("Mal", {0x34, 0x12}));
    Push(kMallory, 0x105, {});
    Push(kMallory, 0x1012, {0, 0, 0, 0});
    host.manager.Update(0.01f);
    EXPECT_EQ(host.manager.FindPlayer(kMalloryId)->name, "Mal");
    ASSERT_EQ(host.Heard(0x105).size(), 1u);
    EXPECT_EQ(host.Heard(0x105)[0].sender_id, kMalloryId);
    EXPECT_TRUE(host.Heard(0x105)[0].body.empty());
    EXPECT_EQ(host.Heard(net_ping_answer).size(), 1u);
}

TEST_F(NetDispatcher, ALostConnectionIsAnnouncedAsADroppedPlayer)
{
    net_message_c lost;
    lost.WriteU32(kMallory);
    host.Session().PostLocal(net_connection_lost, lost);
    ASSERT_TRUE(RunUntil({&host}, [&] { return host.HasHeard(net_player_dropped); }));
    EXPECT_EQ(host.Heard(net_player_dropped)[0].U16(), kMalloryId);
    EXPECT_EQ(host.manager.FindPlayer(kMalloryId), nullptr);
    EXPECT_NE(host.manager.FindPlayer(0), nullptr);
    // A connection nobody knew is forgotten quietly.
    host.heard.clear();
    lost.Clear();
    lost.WriteU32(12345);
    host.Session().PostLocal(net_connection_lost, lost);
    host.manager.Update(0.01f);
    host.manager.Update(0.01f);
    EXPECT_TRUE(host.heard.empty());
}
