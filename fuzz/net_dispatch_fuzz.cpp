// Records as peers would send them reach a hosting session's dispatcher: it
// never reads past a record, crashes, hangs, or lets a client speak for the
// server, and the host's own player and session survive every input.
//
// Input: records, each a u8 sender choice (even: a joined client, odd: a
// connection that never joined), a u16 length and that many payload bytes
// (the type word first); the sender id is appended as the transport does.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <memory>

#include "net/direct_play_net_manager.h"
#include "net/game_net_manager.h"
#include "net/net_protocol.h"

namespace {

constexpr u32 kClient = 77;
constexpr u16 kClientId = 0x1234;

GameNetManager& Host()
{
    static GameNetManager* manager = [] {
        auto* created = new GameNetManager();
        created->Init(1);
        if (created->Host("fuzz", 16, nullptr, 0) != 0)
            std::abort();
        return created;
    }();
    return *manager;
}

void AddPlayer(GameNetManager& manager, const char* name, u16 id, u32 dpnid)
{
    auto player = std::make_unique<net_player_c>();
    player->name = name;
    player->player_id = id;
    player->dpnid = dpnid;
    manager.AddPlayer(std::move(player));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    GameNetManager& manager = Host();
    auto& session = *static_cast<DirectPlayNetManager*>(manager.GetImplementation());
    manager.ClearPlayers();
    manager.SetLocalPlayerId(0);
    AddPlayer(manager, "Hal", 0, kLocalSender);
    AddPlayer(manager, "Mallory", kClientId, kClient);

    const u32 senders[] = {kClient, 99};
    std::size_t at = 0;
    while (at + 3 <= size) {
        const u32 sender = senders[data[at] % 2];
        const std::size_t length = static_cast<std::size_t>(data[at + 1] | data[at + 2] << 8);
        at += 3;
        const std::size_t taken = length < size - at ? length : size - at;
        if (taken + 4 > net_message_c::kPayloadSize)
            break;
        u8 payload[net_message_c::kPayloadSize];
        for (std::size_t i = 0; i < taken; ++i)
            payload[i] = data[at + i];
        for (int i = 0; i < 4; ++i)
            payload[taken + i] = static_cast<u8>(sender >> (8 * i));
        net_message_c record;
        record.Assign(payload, taken + 4);
        record.SetTime(0.0f);
        session.PushIncoming(record, sender);
        at += taken;
    }
    manager.Update(0.01f);

    // No peer can end the session or change who the host's own player is.
    const net_player_c* own = manager.FindPlayer(manager.GetLocalPlayerId());
    if (session.GetHostPort() == 0 || manager.GetLocalPlayerId() != 0 || own == nullptr || own->name != "Hal" ||
        own->dpnid != kLocalSender)
        std::abort();
    return 0;
}
