#include <atomic>
#include <memory>
#include <cstdio>
#include <unistd.h>

#include <gtest/gtest.h>

#include "net/net_protocol.h"
#include "net/testing/net_node.h"
#include "platform/dplay8/dplay8_client.h"

namespace {

// A peer that passes the transport's admission and then says anything.
class hostile_peer_c {
public:
    explicit hostile_peer_c(u16 port)
    {
        client.Initialize(this, Handler, 0);
        dpn_application_desc_c desc;
        desc.application = kApplicationGuid;
        dplay8_address_c host;
        host.AddComponent(DPNA_KEY_HOSTNAME, "127.0.0.1");
        host.AddComponent(DPNA_KEY_PORT, port);
        client.Connect(desc, host, nullptr);
    }

    void Send(const std::vector<u8>& bytes) { client.Send(bytes.data(), static_cast<u32>(bytes.size()), 0); }

    static std::vector<u8> Wire(u16 word, const std::vector<u8>& body)
    {
        std::vector<u8> bytes = {0, 0, 0x80, 0x3F, static_cast<u8>(word), static_cast<u8>(word >> 8)};
        bytes.insert(bytes.end(), body.begin(), body.end());
        return bytes;
    }

    std::atomic<int> connected{0};
    std::atomic<int> terminated{0};
    dplay8_client_c client;

private:
    static dpn_result Handler(void* context, u32 id, void* message)
    {
        auto* self = static_cast<hostile_peer_c*>(context);
        if (id == DPN_MSGID_CONNECT_COMPLETE && static_cast<dpn_msg_connect_complete_c*>(message)->result == DPN_OK)
            self->connected = 1;
        if (id == DPN_MSGID_TERMINATE_SESSION)
            self->terminated = 1;
        return DPN_OK;
    }
};

// What a hostile peer sends: short, long, falsely scrambled, wrongly typed
// and random messages, from a fixed seed.
class garbage_c {
public:
    std::vector<u8> Next()
    {
        switch (_count++ % 8) {
        case 0: return std::vector<u8>(Value() % 6, 0x41); // shorter than time and type
        case 1: return std::vector<u8>(kMaxWireSize + 1 + Value() % 8000, 0x42);
        case 2: return hostile_peer_c::Wire(0x8000 | static_cast<u16>(Value() % 20), std::vector<u8>(Value() % 2, 1));
        case 3: {
            static const u16 forged[] = {0x1003, 4, 6, 7, 8, 9, 10, 19, 0x1002, 0x900C, 0x1011, 15, 16, 13};
            return hostile_peer_c::Wire(forged[Value() % 14], std::vector<u8>(Value() % 12, 0xFF));
        }
        case 4: return hostile_peer_c::Wire(0x2105, std::vector<u8>(Value() % 64, 7)); // relayed game message
        default: {
            std::vector<u8> bytes(Value() % 300);
            for (u8& byte : bytes)
                byte = static_cast<u8>(Value());
            return bytes;
        }
        }
    }

private:
    u32 Value()
    {
        _state = _state * 1664525u + 1013904223u;
        return _state >> 8;
    }
    u32 _state = 12345;
    u32 _count = 0;
};

std::size_t ResidentBytes()
{
    long pages = 0, resident = 0;
    FILE* statm = std::fopen("/proc/self/statm", "r");
    if (statm == nullptr)
        return 0;
    const int read = std::fscanf(statm, "%ld %ld", &pages, &resident);
    std::fclose(statm);
    return read == 2 ? static_cast<std::size_t>(resident) * static_cast<std::size_t>(sysconf(_SC_PAGESIZE)) : 0;
}

#if defined(__SANITIZE_ADDRESS__)
constexpr bool kSanitized = true;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer) || __has_feature(thread_sanitizer)
constexpr bool kSanitized = true;
#else
constexpr bool kSanitized = false;
#endif
#else
constexpr bool kSanitized = false;
#endif

class NetHostile : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(HostAndJoin(host, "Hal"));
        bert.manager.Connect(("127.0.0.1:" + std::to_string(host.Port())).c_str(), nullptr);
        ASSERT_TRUE(RunUntil({&host, &bert}, [&] { return bert.HasHeard(net_connected); }));
        bert.manager.SendJoinRequest("Bert");
        ASSERT_TRUE(RunUntil({&host, &bert}, [&] { return bert.manager.GetPlayers(0).size() == 2; }));
    }

    // Bert chats and hears his line back through the host.
    bool BertIsServed(int round)
    {
        const std::size_t lines = bert.Heard(net_chat_line).size();
        bert.manager.SendChat(("round " + std::to_string(round)).c_str());
        return RunUntil({&host, &bert}, [&] { return bert.Heard(net_chat_line).size() > lines; });
    }

    net_fake_clock_c clock;
    net_node_c host, bert;
};

} // namespace

TEST_F(NetHostile, HostStaysUpServesOthersAndKeepsItsMemory)
{
    garbage_c garbage;
    std::size_t resident_after_warm_up = 0;
    const int rounds = 40;
    std::unique_ptr<hostile_peer_c> mallory;
    for (int round = 0; round < rounds; ++round) {
        // A slow host may cut a burst off as a flood: the attacker comes back.
        if (!mallory || mallory->terminated.load() != 0) {
            mallory = std::make_unique<hostile_peer_c>(host.Port());
            ASSERT_TRUE(RunUntil({&host, &bert}, [&] { return mallory->connected.load() == 1; }));
        }
        for (int i = 0; i < 400; ++i)
            mallory->Send(garbage.Next());
        ASSERT_TRUE(BertIsServed(round)) << round;
        if (round == rounds / 4)
            resident_after_warm_up = ResidentBytes();
    }
    EXPECT_NE(host.Port(), 0);
    EXPECT_TRUE(bert.Session().IsJoined());
    EXPECT_EQ(host.manager.FindPlayer(0)->name, "Hal");
    EXPECT_EQ(host.manager.GetLocalPlayerId(), 0);
    EXPECT_EQ(bert.manager.FindPlayer(0x9EC3)->name, "Bert");
    EXPECT_LE(host.Session().GetIncoming().GetHighWater(), kMaxQueuedPerSender + 64);
    if (!kSanitized && resident_after_warm_up != 0) {
        EXPECT_LT(ResidentBytes(), resident_after_warm_up + (32u << 20));
    }
}

TEST_F(NetHostile, AFloodingClientIsDroppedAndTheOthersStay)
{
    hostile_peer_c mallory(host.Port());
    ASSERT_TRUE(RunUntil({&host, &bert}, [&] { return mallory.connected.load() == 1; }));
    mallory.Send(hostile_peer_c::Wire(0x1001, {'M', 0}));
    ASSERT_TRUE(RunUntil({&host, &bert}, [&] { return host.manager.GetPlayers(0).size() == 3; }));
    // The host runs no frame while the flood arrives.
    const std::vector<u8> message = hostile_peer_c::Wire(0x105, std::vector<u8>(100, 5));
    for (u32 i = 0; i < 3 * kMaxQueuedPerSender; ++i)
        mallory.Send(message);
    ASSERT_TRUE(RunUntil({}, [&] { return host.Session().GetIncoming().GetRefused() > 0; }));
    ASSERT_TRUE(RunUntil({&host, &bert}, [&] { return mallory.terminated.load() == 1; }));
    ASSERT_TRUE(RunUntil({&host, &bert}, [&] { return host.manager.GetPlayers(0).size() == 2; }));
    EXPECT_LE(host.Session().GetIncoming().GetHighWater(), kMaxQueuedPerSender + 64);
    EXPECT_TRUE(BertIsServed(0));
    ASSERT_TRUE(RunUntil({&host, &bert}, [&] { return bert.manager.GetPlayers(0).size() == 2; }));
}
