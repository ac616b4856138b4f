// Messages through the session layer on loopback: a host sending 100-byte game
// messages to 8 joined clients, and the round trip of a protocol ping.
#include <memory>
#include <string>
#include <vector>

#include <benchmark/benchmark.h>

#include "net/direct_play_net_manager.h"
#include "net/game_net_manager.h"
#include "net/net_protocol.h"

namespace {

struct machine_c {
    machine_c()
    {
        manager.SetMessageCallback(OnMessage, this);
        manager.Init(1);
    }
    static void OnMessage(u16 type, net_message_c&, net_player_c*, void* context)
    {
        auto* self = static_cast<machine_c*>(context);
        self->heard[type & 0x3FF]++;
    }
    DirectPlayNetManager& Session() { return *static_cast<DirectPlayNetManager*>(manager.GetImplementation()); }

    GameNetManager manager;
    std::vector<u64> heard = std::vector<u64>(0x400, 0);
};

template <typename condition_t>
void Pump(const std::vector<machine_c*>& machines, condition_t done)
{
    while (!done())
        for (machine_c* machine : machines)
            machine->manager.Update(0.001f);
}

// A host with its own player and the given number of joined clients.
struct session_c {
    explicit session_c(int clients)
    {
        host.manager.Host("bench", 0, nullptr, 0);
        host.manager.SendJoinRequest("host");
        all.push_back(&host);
        Pump(all, [&] { return host.Session().IsJoined(); });
        const std::string address = "127.0.0.1:" + std::to_string(host.Session().GetHostPort());
        for (int i = 0; i < clients; ++i) {
            auto client = std::make_unique<machine_c>();
            client->manager.Connect(address.c_str(), nullptr);
            all.push_back(client.get());
            Pump(all, [&] { return client->heard[net_connected] > 0; });
            client->manager.SendJoinRequest(("client" + std::to_string(i)).c_str());
            Pump(all, [&] { return client->Session().IsJoined(); });
            this->clients.push_back(std::move(client));
        }
    }

    machine_c host;
    std::vector<std::unique_ptr<machine_c>> clients;
    std::vector<machine_c*> all;
};

void BM_HostToEightClients(benchmark::State& state)
{
    session_c session(8);
    net_message_c message;
    for (int i = 0; i < 25; ++i)
        message.WriteU32(0x01020304);
    const int batch = 100;
    u64 sent = 0;
    for (auto _ : state) {
        for (int i = 0; i < batch; ++i)
            session.host.manager.SendToGroup(0, 0x105, &message, session.host.manager.FindPlayer(0), nullptr, false,
                                             false);
        sent += batch;
        Pump(session.all, [&] {
            for (const auto& client : session.clients)
                if (client->heard[0x105] < sent)
                    return false;
            return true;
        });
    }
    state.SetItemsProcessed(static_cast<int64_t>(sent) * 8);
    state.SetBytesProcessed(static_cast<int64_t>(sent) * 8 * 100);
}
BENCHMARK(BM_HostToEightClients)->Unit(benchmark::kMillisecond);

void BM_PingRoundTrip(benchmark::State& state)
{
    session_c session(1);
    net_player_c* client = session.host.manager.FindPlayer(0x9EC3);
    for (auto _ : state) {
        const u64 answers = session.host.heard[net_ping_answer];
        net_message_c ping;
        ping.WriteU32(0);
        session.host.manager.SendTo(client, kNetNoTimeStamp | net_ping, &ping, false, false);
        Pump(session.all, [&] { return session.host.heard[net_ping_answer] > answers; });
    }
}
BENCHMARK(BM_PingRoundTrip)->Unit(benchmark::kMicrosecond);

} // namespace

BENCHMARK_MAIN();
